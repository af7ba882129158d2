// Where the links lead: the help page found next to the program, and the queries of the two links.
#include "ui/HomePage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

class HomePageTest : public QObject {
    Q_OBJECT

private slots:
    void helpPageIsFoundBesideTheProgram() {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QDir dir(root.path());
        QVERIFY(dir.mkpath(QStringLiteral("bin")));
        QVERIFY(dir.mkpath(QStringLiteral("tests/ui")));
        const QString installed = QStringLiteral("/opt/nowhere/share/zelbin/help/index.html");

        // Nothing beside the program: the installed location.
        QCOMPARE(HomePage::LocateHelpPage(dir.filePath(QStringLiteral("bin")), installed),
                 QStringLiteral("file:///opt/nowhere/share/zelbin/help/index.html"));

        QVERIFY(dir.mkpath(QStringLiteral("share/zelbin/help")));
        QFile page(dir.filePath(QStringLiteral("share/zelbin/help/index.html")));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.close();
        const QString expected = QUrl::fromLocalFile(root.path() + "/share/zelbin/help/index.html").toString();
        // bin/../share as installed or in the build tree, and one folder deeper for test programs.
        QCOMPARE(HomePage::LocateHelpPage(dir.filePath(QStringLiteral("bin")), installed), expected);
        QCOMPARE(HomePage::LocateHelpPage(dir.filePath(QStringLiteral("tests/ui")), installed), expected);
    }

    void linksAppendTheirQueries() {
        const QString base = HomePage::Address();
        QVERIFY(!base.isEmpty());
        if (base.contains('?')) {
            QSKIP("built with a web page address that has a query of its own");
        }
        QCOMPARE(HomePage::MainWindowLink(), base + "?utm_source=principale&utm_medium=zelbin&utm_campaign=executable");
        QCOMPARE(HomePage::AboutLink(), base + "?utm_source=about&utm_medium=zelbin&utm_campaign=executable");
    }

    void queryGoesOnAnAddressThatHasOne() {
        QCOMPARE(HomePage::WithQuery(QStringLiteral("https://zelbin.example/"), HomePage::kAboutQuery),
                 QStringLiteral("https://zelbin.example/?utm_source=about&utm_medium=zelbin&utm_campaign=executable"));
        QCOMPARE(HomePage::WithQuery(QStringLiteral("https://zelbin.example/aide?lang=fr"), HomePage::kMainWindowQuery),
                 QStringLiteral("https://zelbin.example/aide?lang=fr&utm_source=principale&utm_medium=zelbin&utm_"
                                "campaign=executable"));
    }

    void builtWithoutAWebPageTheHelpPageOfTheBuildTreeIsUsed() {
        if (!QString::fromUtf8(ZELBIN_TEST_HOMEPAGE_URL).isEmpty()) {
            QCOMPARE(HomePage::Address(), QString::fromUtf8(ZELBIN_TEST_HOMEPAGE_URL));
            return;
        }
        const QUrl url(HomePage::Address());
        QVERIFY(url.isLocalFile());
        QVERIFY(url.toLocalFile().endsWith(QStringLiteral("/share/zelbin/help/index.html")));
        QFile page(url.toLocalFile());
        QVERIFY2(page.open(QIODevice::ReadOnly), qPrintable(url.toLocalFile()));
        const QString html = QString::fromUtf8(page.readAll());
        QVERIFY(html.contains(QStringLiteral("lang=\"fr\"")));
        for (const char* practice : {"Clavier", "Dictée simple", "Dictée à l'aide d'un fichier", "Configuration"}) {
            QVERIFY2(html.contains(QString::fromUtf8(practice)), practice);
        }
    }
};

QTEST_MAIN(HomePageTest)
#include "HomePageTest.moc"
