// Tests of the two seams of the dictation modes on their real Qt side: window timers on Qt
// timers, and the open-file dialog on QFileDialog.
#include "tests/ui/seams/FakeTimerSeam.h"
#include "ui/seams/QtFileDialogSeam.h"
#include "ui/seams/QtTimerSeam.h"

#include <QApplication>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <vector>

class DictationSeamsTest : public QObject {
    Q_OBJECT
private slots:
    void qtTimerTicksWithItsOwnId();
    void qtTimerSetAgainReplacesTheRunningOne();
    void qtTimerKilledDeliversNothing();
    void qtTimerRejectsNegativePeriod();
    void fakeTimerFiresOnlyWhenSet();
    void fileDialogIsConfiguredForTextFiles();
    void fileDialogSelectionGivesFileOrFolder();
    void fileDialogRunsAndReturnsTheChosenFile();
    void fileDialogCancelledGivesNothing();
};

void DictationSeamsTest::qtTimerTicksWithItsOwnId() {
    QtTimerSeam timers;
    std::vector<uint32_t> ticks;
    timers.SetTickHandler([&](uint32_t id) { ticks.push_back(id); });
    QVERIFY(timers.SetTimer(31, 5));
    QVERIFY(timers.SetTimer(7, 100000));
    QTRY_VERIFY(ticks.size() >= 3);
    for (uint32_t id : ticks) {
        QCOMPARE(id, 31u);
    }
}

void DictationSeamsTest::qtTimerSetAgainReplacesTheRunningOne() {
    QtTimerSeam timers;
    int ticks = 0;
    timers.SetTickHandler([&](uint32_t) { ++ticks; });
    QVERIFY(timers.SetTimer(31, 5));
    // The long period replaces the short one: no tick may follow within the next 200 ms.
    QVERIFY(timers.SetTimer(31, 600000));
    ticks = 0;
    QTest::qWait(200);
    QCOMPARE(ticks, 0);
    // And a short period replaces the long one again.
    QVERIFY(timers.SetTimer(31, 5));
    QTRY_VERIFY(ticks >= 1);
}

void DictationSeamsTest::qtTimerKilledDeliversNothing() {
    QtTimerSeam timers;
    int ticks = 0;
    timers.SetTickHandler([&](uint32_t) { ++ticks; });
    QVERIFY(timers.SetTimer(31, 5));
    QTRY_VERIFY(ticks >= 1);
    timers.KillTimer(31);
    timers.KillTimer(31); // killing a timer that is not set is harmless
    ticks = 0;
    QTest::qWait(100);
    QCOMPARE(ticks, 0);
}

void DictationSeamsTest::qtTimerRejectsNegativePeriod() {
    QtTimerSeam timers;
    int ticks = 0;
    timers.SetTickHandler([&](uint32_t) { ++ticks; });
    QVERIFY(timers.SetTimer(31, 5));
    QVERIFY(!timers.SetTimer(31, -1));
    ticks = 0;
    QTest::qWait(100);
    QCOMPARE(ticks, 0); // the failed setting left no timer behind
}

void DictationSeamsTest::fakeTimerFiresOnlyWhenSet() {
    FakeTimerSeam timers;
    int ticks = 0;
    timers.SetTickHandler([&](uint32_t id) {
        QCOMPARE(id, 31u);
        ++ticks;
    });
    QVERIFY(!timers.Fire(31));
    QVERIFY(timers.SetTimer(31, 3000));
    QCOMPARE(timers.PeriodMs(31), 3000);
    QVERIFY(timers.Fire(31));
    timers.failSet = true;
    QVERIFY(!timers.SetTimer(31, 500));
    QVERIFY(!timers.IsSet(31));
    QVERIFY(!timers.Fire(31));
    QCOMPARE(ticks, 1);
}

void DictationSeamsTest::fileDialogIsConfiguredForTextFiles() {
    QFileDialog dialog;
    QtFileDialogSeam::Configure(dialog);
    QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptOpen);
    QCOMPARE(dialog.fileMode(), QFileDialog::ExistingFiles);
    QCOMPARE(dialog.defaultSuffix(), QString("txt"));
    QCOMPARE(dialog.nameFilters(), QStringList({"Fichier texte (*.txt)", "Tous les fichiers (*.*)"}));
    QCOMPARE(dialog.selectedNameFilter(), QString("Fichier texte (*.txt)"));
    QVERIFY(!dialog.testOption(QFileDialog::ReadOnly));
    QVERIFY(dialog.isSizeGripEnabled());
}

void DictationSeamsTest::fileDialogSelectionGivesFileOrFolder() {
    QCOMPARE(QtFileDialogSeam::PathForSelection({}), QString());
    QCOMPARE(QtFileDialogSeam::PathForSelection({"/home/élève/dictée.txt"}), QString("/home/élève/dictée.txt"));
    QCOMPARE(QtFileDialogSeam::PathForSelection({"/home/élève/a.txt", "/home/élève/b.txt"}), QString("/home/élève"));
}

namespace {

// Answers the next open-file dialog from the event loop, since it runs modally.
void AnswerNextFileDialog(const QString& fileToChoose) {
    QTimer::singleShot(0, [fileToChoose] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        if (fileToChoose.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->selectFile(fileToChoose);
        static_cast<QDialog*>(dialog)->accept(); // accept() is protected in QFileDialog
    });
}

} // namespace

void DictationSeamsTest::fileDialogRunsAndReturnsTheChosenFile() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath("leçon.txt");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("SOS");
    file.close();

    QtFileDialogSeam seam;
    AnswerNextFileDialog(path);
    const std::optional<QString> chosen = seam.GetOpenPath(nullptr);
    QVERIFY(chosen.has_value());
    QCOMPARE(*chosen, QDir::toNativeSeparators(path));
}

void DictationSeamsTest::fileDialogCancelledGivesNothing() {
    QtFileDialogSeam seam;
    AnswerNextFileDialog(QString());
    QVERIFY(!seam.GetOpenPath(nullptr).has_value());
}

QTEST_MAIN(DictationSeamsTest)
#include "DictationSeamsTest.moc"
