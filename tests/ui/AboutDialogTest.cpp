// The About box: its version line, its link, and the three ways to close it.
#include "ui/AboutDialog.h"
#include "tests/ui/seams/RecordingUrlOpener.h"
#include "ui/HomePage.h"
#include "ui/TemplateBuilder.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

const QString kAboutQuery = QStringLiteral("?utm_source=about&utm_medium=zelbin&utm_campaign=executable");

QLabel* Control(const QWidget& dialog, int id) {
    return TemplateBuilder::Control<QLabel>(dialog, id);
}

} // namespace

class AboutDialogTest : public QObject {
    Q_OBJECT

private slots:
    void versionLineReplacesTheTemplateText() {
        AboutDialog about;
        QCOMPARE(about.windowTitle(), QStringLiteral("A propos de Zelbin"));
        QLabel* version = Control(about, 1010);
        QVERIFY(version != nullptr);
        QCOMPARE(version->text(), QStringLiteral("Zelbin version 1.0"));
        QVERIFY(about.OnInitDialog());
        QCOMPARE(version->text(), QStringLiteral("Version: 1, 0, 0, 549"));
        // What a screen reader reads as the box opens: the version as a version, and the line
        // that leads to the link followed by the link's name; Tab then reaches the link.
        QCOMPARE(QAccessible::queryAccessibleInterface(version)->text(QAccessible::Name),
                 QStringLiteral("Version 1.0.0.549 de Zelbin"));
        QLabel* siteLine = about.findChild<QLabel*>(QStringLiteral("label6"));
        QCOMPARE(siteLine->text(),
                 QStringLiteral("News, aide, mise à jour et support sont disponibles sur le site suivant:"));
        QCOMPARE(QAccessible::queryAccessibleInterface(siteLine)->text(QAccessible::Name),
                 siteLine->text() + QLatin1Char(' ') + HomePage::LinkName() + QLatin1Char('.'));
        QCOMPARE(about.link.focusPolicy(), Qt::TabFocus);
        QCOMPARE(QAccessible::queryAccessibleInterface(&about.link)->text(QAccessible::Name), HomePage::LinkName());
    }

    void linkLeadsToTheWebPageWithTheAboutQuery() {
        RecordingUrlOpener opener;
        AboutDialog about(nullptr, &opener);
        about.OnInitDialog();
        // Control 1023 is the link itself, in the template's place.
        QCOMPARE(TemplateBuilder::FindControl(about, 1023), &about.link);
        QCOMPARE(about.link.URL(), HomePage::Address() + kAboutQuery);
        QVERIFY(!about.link.URL().contains(QStringLiteral("principale")));
        QCOMPARE(about.link.Tooltip().text(), QStringLiteral("Aide, dernières versions, support..."));
        QCOMPARE(about.link.Tooltip().palette().color(QPalette::Window), QColor(0, 0, 0));
        QCOMPARE(about.link.Tooltip().palette().color(QPalette::WindowText), QColor(0, 255, 0));
        QVERIFY(!about.link.font().underline());

        // The link shows the address it opens, shortened only when it does not fit.
        const QString shown = about.link.text();
        QVERIFY(!shown.isEmpty());
        QVERIFY(QFontMetrics(about.link.font()).horizontalAdvance(shown) <= about.link.width());
        if (!shown.contains(QChar(0x2026))) {
            QCOMPARE(shown, HomePage::Address());
        } else {
            QVERIFY(HomePage::Address().startsWith(shown.section(QChar(0x2026), 0, 0)));
            QVERIFY(HomePage::Address().endsWith(shown.section(QChar(0x2026), 1)));
        }

        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QTest::mouseClick(&about.link, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(opener.opened, QStringList{HomePage::Address() + kAboutQuery});
        QVERIFY(about.link.IsVisited());

        // A new box starts with an unvisited link.
        AboutDialog again(nullptr, &opener);
        again.OnInitDialog();
        QVERIFY(!again.link.IsVisited());
    }

    void okEscapeAndCloseBoxEndIt() {
        for (int way = 0; way < 3; ++way) {
            AboutDialog about;
            int result = -1;
            QTimer::singleShot(0, &about, [&] {
                QVERIFY(about.isVisible());
                if (way == 0) {
                    auto* ok = TemplateBuilder::Control<QPushButton>(about, 1);
                    QVERIFY(ok != nullptr);
                    QVERIFY(ok->isDefault());
                    ok->click();
                } else if (way == 1) {
                    QTest::keyClick(&about, Qt::Key_Escape);
                } else {
                    about.close();
                }
            });
            // A box that does not close fails here instead of hanging the test.
            QTimer::singleShot(5000, &about, [&] { about.done(99); });
            result = about.DoModal();
            QVERIFY2(!about.isVisible(), qPrintable(QString::number(way)));
            QCOMPARE(result, way == 0 ? int(QDialog::Accepted) : int(QDialog::Rejected));
            QCOMPARE(Control(about, 1010)->text(), QStringLiteral("Version: 1, 0, 0, 549"));
        }
    }
};

QTEST_MAIN(AboutDialogTest)
#include "AboutDialogTest.moc"
