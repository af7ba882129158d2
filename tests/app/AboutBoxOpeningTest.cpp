// The main window's link (control 1031) and the two ways the main window opens the About box:
// the "A propos" button and the system-menu command, tested through its handler.
#include "tests/app/TrainerFixture.h"
#include "tests/ui/seams/RecordingUrlOpener.h"

#include "res/ResourceIds.h"
#include "ui/AboutDialog.h"
#include "ui/HomePage.h"
#include "ui/LinkLabel.h"
#include "ui/TemplateBuilder.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// Runs inspect on the About box as soon as a modal loop shows it, then closes the box. Counts
// the boxes seen.
class AboutBoxWatcher {
public:
    explicit AboutBoxWatcher(std::function<void(AboutDialog&)> inspect = {}) : inspect(std::move(inspect)) {}

    // Arms the watcher for the next modal run; an armed watcher that finds no box does nothing.
    void Arm() {
        QTimer::singleShot(0, [this] {
            auto* box = qobject_cast<AboutDialog*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            ++opened;
            if (inspect) {
                inspect(*box);
            }
            box->reject();
        });
    }

    int opened = 0;

private:
    std::function<void(AboutDialog&)> inspect;
};

} // namespace

class AboutBoxOpeningTest : public QObject {
    Q_OBJECT

private slots:
    void mainWindowLinkLeadsToTheWebPageWithItsQuery() {
        RecordingUrlOpener opener;
        TrainerFixture trainer;
        trainer.environment.urlOpener = &opener;
        TrainerDialog& dialog = trainer.Open();

        auto* link = qobject_cast<LinkLabel*>(TemplateBuilder::FindControl(dialog, MainControl::kLink));
        QVERIFY(link != nullptr);
        const QString expected =
            HomePage::Address() + QStringLiteral("?utm_source=principale&utm_medium=zelbin&utm_campaign=executable");
        QCOMPARE(link->URL(), expected);
        QCOMPARE(link->Tooltip().text(), QStringLiteral("Aide, dernières versions, support..."));
        QCOMPARE(link->Tooltip().palette().color(QPalette::Window), QColor(0, 0, 0));
        QCOMPARE(link->Tooltip().palette().color(QPalette::WindowText), QColor(0, 255, 0));
        // The link shows the address, not the template's placeholder.
        QVERIFY(link->text() != QStringLiteral("Aide de Zelbin"));
        QVERIFY(HomePage::Address().startsWith(link->text().section(QChar(0x2026), 0, 0)));

        QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(opener.opened, QStringList{expected});
        QCOMPARE(link->TextColor(), QColor(5, 34, 143));

        // The main window's link stays visited after an About box came and went.
        AboutBoxWatcher watcher;
        watcher.Arm();
        dialog.OnAbout();
        QCOMPARE(watcher.opened, 1);
        QVERIFY(link->IsVisited());
    }

    void aboutButtonOpensTheBox() {
        RecordingUrlOpener opener;
        TrainerFixture trainer;
        trainer.environment.urlOpener = &opener;
        trainer.Open();
        auto* button = trainer.Control<QPushButton>(MainControl::kAbout);
        QVERIFY(button != nullptr);
        QVERIFY(button->isEnabled());

        QString version;
        QString url;
        AboutBoxWatcher watcher([&](AboutDialog& box) {
            version = TemplateBuilder::Control<QLabel>(box, AboutControl::kVersion)->text();
            url = box.link.URL();
            QTest::mouseClick(&box.link, Qt::LeftButton, {}, QPoint(2, 2));
        });
        watcher.Arm();
        button->click();
        QCOMPARE(watcher.opened, 1);
        QCOMPARE(version, QStringLiteral("Version: 1, 0, 0, 549"));
        const QString expected =
            HomePage::Address() + QStringLiteral("?utm_source=about&utm_medium=zelbin&utm_campaign=executable");
        QCOMPARE(url, expected);
        // The box's link goes through the window's opener too.
        QCOMPARE(opener.opened, QStringList{expected});
    }

    void systemCommandSixteenOpensTheBox() {
        TrainerFixture trainer;
        TrainerDialog& dialog = trainer.Open();
        AboutBoxWatcher watcher;
        // The low four bits belong to the platform: 16 to 31 are all the About item.
        int expectedBoxes = 0;
        for (uint32_t id : {16u, 17u, 24u, 31u}) {
            watcher.Arm();
            QVERIFY2(dialog.OnSysCommand(id, 0), qPrintable(QString::number(id)));
            QCOMPARE(watcher.opened, ++expectedBoxes);
        }
        // Every other command, Move (0xF010) and Close (0xF060) among them, goes to the default
        // processing and opens nothing.
        for (uint32_t id : {0u, 15u, 32u, 0x110u, 0xF010u, 0xF060u, 0xF020u}) {
            watcher.Arm();
            QVERIFY2(!dialog.OnSysCommand(id, 0), qPrintable(QString::number(id)));
            QApplication::processEvents();
            QCOMPARE(watcher.opened, expectedBoxes);
        }
        QVERIFY(dialog.isVisible());
    }

    void keysTypedInTheBoxAreNotTheMainWindows() {
        TrainerFixture trainer;
        TrainerDialog& dialog = trainer.Open();
        const MorseCode one = dialog.GetSynthesiser().currentCode;
        auto* keyboardText = trainer.Control<QLabel>(MainControl::kKeyboardText);
        const QString shown = keyboardText->text();

        AboutBoxWatcher watcher([&](AboutDialog& box) {
            // Keys to the box's OK button, which has its focus, and to the box itself.
            auto* ok = TemplateBuilder::Control<QPushButton>(box, ResourceId::kOk);
            QVERIFY(ok != nullptr);
            QTest::keyClick(ok, Qt::Key_E);
            QTest::keyClick(&box, Qt::Key_T);
        });
        watcher.Arm();
        dialog.OnAbout();
        QCOMPARE(watcher.opened, 1);
        QVERIFY(dialog.GetSynthesiser().currentCode == one);
        QVERIFY(!dialog.GetSynthesiser().IsPlaying());
        QCOMPARE(keyboardText->text(), shown);

        // The same key typed in the main window is played: the check above can see a key.
        QTest::keyClick(&dialog, Qt::Key_E);
        QVERIFY(!(dialog.GetSynthesiser().currentCode == one));
    }

    void dictationGoesOnWhileTheBoxIsOpen() {
        // Real window timers, at the shortest dictation interval the settings allow.
        TrainerFixture trainer;
        trainer.store.PutDword(TrainerFixture::kConfigurationKey, "DicteeLenght", 500);
        TrainerDialog& dialog = trainer.Open();
        QTest::mouseClick(trainer.Control<QPushButton>(MainControl::kDictationPlay), Qt::LeftButton);
        QVERIFY(dialog.GetRandomDictation().Active());
        QTest::keyClick(&dialog, Qt::Key_K);
        QCOMPARE(dialog.GetRandomDictation().AnswerIndex(), 10); // 'K' answers the character being dictated

        int totalWhileOpen = -1;
        AboutBoxWatcher watcher([&](AboutDialog& box) {
            // The window's timer still ticks under the box: two dictation steps pass.
            QTRY_VERIFY_WITH_TIMEOUT(dialog.GetRandomDictation().Total() >= 2, 10000);
            QCOMPARE(QApplication::activeModalWidget(), &box);
            totalWhileOpen = dialog.GetRandomDictation().Total();
            // A key typed in the box is no answer.
            QTest::keyClick(TemplateBuilder::Control<QPushButton>(box, ResourceId::kOk), Qt::Key_E);
            QTest::keyClick(&box, Qt::Key_T);
            QCOMPARE(dialog.GetRandomDictation().AnswerIndex(), 10);
        });
        watcher.Arm();
        QTest::mouseClick(trainer.Control<QPushButton>(MainControl::kAbout), Qt::LeftButton);
        QCOMPARE(watcher.opened, 1);
        QVERIFY(totalWhileOpen >= 2);
        QVERIFY(dialog.GetRandomDictation().Active());
        QCOMPARE(dialog.GetRandomDictation().AnswerIndex(), 10);
        dialog.OnDictationStop();
    }
};

QTEST_MAIN(AboutBoxOpeningTest)
#include "AboutBoxOpeningTest.moc"
