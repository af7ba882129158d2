// The file dictation in the main window: "Ouvrir", Play, the ticks of timer 31 reading one
// byte each, "Fin", Stop, and files that change, vanish or hold unusual bytes.

#include "tests/app/DictationRig.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <string>

using namespace MainControl;

namespace {

QString WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        qWarning("cannot write %s", qPrintable(path));
        return path;
    }
    file.write(bytes);
    return path;
}

// The code of a character index, from the Morse table.
MorseCode CodeOf(int32_t index) {
    MorseCode code{};
    MorseTable().CodeForIndex(index, code);
    return code;
}

} // namespace

class FileDictationWiringTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void lettersDigitsAndSilentSlotsThenFin();
    void lineEndIsTwoSilentSlots();
    void upperHalfBytesAreSilent();
    void ctrlZEndsTheFile();
    void emptyFile();
    void anotherFileChosenMidRun();
    void fileDeletedMidRunAndRestored();
    void lastLetterAfterASilentSlotPlaysA();
    void longPathWithAccents();
    void fileThatCannotBeOpenedAtPlay();
    void folderFifoAndDeviceAreRefusedWithAMessage();
    void cancelledDialogChangesNothing();
    void stopRewindsAndFinKeepsButtons();
    void timerThatCannotBeSet();

private:
    // Chooses path with "Ouvrir" and presses Play.
    void OpenAndPlay(DictationRig& rig, const QString& path) {
        rig.fileDialog.nextPath = path;
        rig.Click(kOpenFile);
        rig.Click(kFilePlay);
    }

    std::unique_ptr<QTemporaryDir> folder;
};

void FileDictationWiringTest::init() {
    folder = std::make_unique<QTemporaryDir>();
    QVERIFY(folder->isValid());
}

void FileDictationWiringTest::lettersDigitsAndSilentSlotsThenFin() {
    DictationRig rig;
    UseShortElements(rig.trainer);
    TrainerDialog& dialog = rig.Open();
    const QString path = WriteFile(folder->filePath("cinq.txt"), QByteArray("Ab1 ?"));
    OpenAndPlay(rig, path);
    QCOMPARE(rig.Text(kFilePath), QDir::toNativeSeparators(path));
    QVERIFY(dialog.GetFileDictation().Active());
    QCOMPARE(dialog.GetFileDictation().Offset(), 1);
    QCOMPARE(dialog.GetFileDictation().CurrentIndex(), 0);
    QCOMPARE(Hear(rig.trainer), std::string(".-"));

    QVERIFY(rig.Tick());
    QCOMPARE(dialog.GetFileDictation().CurrentIndex(), 1);
    QCOMPARE(Hear(rig.trainer), std::string("-..."));
    QVERIFY(rig.Tick());
    QCOMPARE(dialog.GetFileDictation().CurrentIndex(), 27);
    QCOMPARE(Hear(rig.trainer), std::string(".----"));
    for (int silent = 0; silent < 2; ++silent) {
        QVERIFY(rig.Tick());
        QCOMPARE(dialog.GetFileDictation().CurrentIndex(), 0);
        QVERIFY(!dialog.GetSynthesiser().IsPlaying());
        QVERIFY(dialog.GetSynthesiser().currentCode == CodeOf(0));
        QCOMPARE(Hear(rig.trainer), std::string());
    }
    QCOMPARE(dialog.GetFileDictation().Offset(), 5);
    QVERIFY(rig.trainer.messages.texts.isEmpty());
    QVERIFY(rig.Tick());
    QCOMPARE(rig.trainer.messages.texts, QStringList({"Fin"}));
    QVERIFY(!rig.timers.IsSet(31));
    QVERIFY(dialog.GetFileDictation().Active());
    QCOMPARE(dialog.GetFileDictation().Offset(), 5);
    QVERIFY(!rig.Tick()); // the timer is gone
}

void FileDictationWiringTest::lineEndIsTwoSilentSlots() {
    DictationRig rig;
    TrainerDialog& dialog = rig.Open();
    OpenAndPlay(rig, WriteFile(folder->filePath("ligne.txt"), QByteArray("K\r\nM")));
    QCOMPARE(dialog.GetFileDictation().CurrentIndex(), 10);
    QVERIFY(dialog.GetSynthesiser().IsPlaying());
    for (int slot = 0; slot < 2; ++slot) {
        rig.Tick();
        QVERIFY(!dialog.GetSynthesiser().IsPlaying());
        QCOMPARE(dialog.GetFileDictation().CurrentIndex(), 0);
    }
    rig.Tick();
    QCOMPARE(dialog.GetFileDictation().CurrentIndex(), 12);
    QVERIFY(dialog.GetSynthesiser().IsPlaying());
    QVERIFY(rig.trainer.messages.texts.isEmpty());
    rig.Tick();
    QCOMPARE(rig.trainer.messages.texts, QStringList({"Fin"}));
}

void FileDictationWiringTest::upperHalfBytesAreSilent() {
    DictationRig rig;
    TrainerDialog& dialog = rig.Open();
    QByteArray bytes;
    for (int b = 0x80; b <= 0xFF; ++b) {
        bytes.append(static_cast<char>(b));
    }
    bytes.append('T');
    OpenAndPlay(rig, WriteFile(folder->filePath("accents.txt"), bytes));
    QVERIFY(!dialog.GetSynthesiser().IsPlaying()); // 0x80 at Play
    for (int b = 0x81; b <= 0xFF; ++b) {
        rig.Tick();
        QVERIFY2(!dialog.GetSynthesiser().IsPlaying(), qPrintable(QString::number(b, 16)));
        QCOMPARE(dialog.GetFileDictation().CurrentIndex(), 0);
    }
    rig.Tick();
    QCOMPARE(dialog.GetFileDictation().CurrentIndex(), 19); // T
    QVERIFY(dialog.GetSynthesiser().IsPlaying());
    QCOMPARE(dialog.GetFileDictation().Offset(), 129);
}

void FileDictationWiringTest::ctrlZEndsTheFile() {
    DictationRig rig;
    TrainerDialog& dialog = rig.Open();
    OpenAndPlay(rig, WriteFile(folder->filePath("ctrlz.txt"), QByteArray("AB\x1A"
                                                                         "CD",
                                                                         5)));
    rig.Tick();
    QCOMPARE(dialog.GetFileDictation().CurrentIndex(), 1);
    QVERIFY(rig.trainer.messages.texts.isEmpty());
    rig.Tick();
    QCOMPARE(rig.trainer.messages.texts, QStringList({"Fin"}));
    QVERIFY(!rig.timers.IsSet(31));
    QCOMPARE(dialog.GetFileDictation().Offset(), 2);
}

void FileDictationWiringTest::emptyFile() {
    DictationRig rig;
    TrainerDialog& dialog = rig.Open();
    OpenAndPlay(rig, WriteFile(folder->filePath("vide.txt"), QByteArray()));
    QCOMPARE(rig.Interlock(), QString("0001"));
    QVERIFY(rig.timers.IsSet(31));
    QVERIFY(!dialog.GetSynthesiser().IsPlaying());
    QCOMPARE(dialog.GetFileDictation().Offset(), 1);
    QVERIFY(rig.trainer.messages.texts.isEmpty());
    rig.Tick();
    QCOMPARE(rig.trainer.messages.texts, QStringList({"Fin"}));
}

void FileDictationWiringTest::anotherFileChosenMidRun() {
    DictationRig rig;
    TrainerDialog& dialog = rig.Open();
    OpenAndPlay(rig, WriteFile(folder->filePath("un.txt"), QByteArray("AAAA")));
    const QString second = WriteFile(folder->filePath("deux.txt"), QByteArray("XYZW"));
    rig.fileDialog.nextPath = second;
    rig.Click(kOpenFile);
    QCOMPARE(rig.Text(kFilePath), QDir::toNativeSeparators(second));
    QVERIFY(dialog.GetFileDictation().Active());
    rig.Tick(); // offset 1 of the new file
    QCOMPARE(dialog.GetFileDictation().CurrentIndex(), 'Y' - 'A');
    rig.Tick();
    QCOMPARE(dialog.GetFileDictation().CurrentIndex(), 'Z' - 'A');
}

void FileDictationWiringTest::fileDeletedMidRunAndRestored() {
    DictationRig rig;
    TrainerDialog& dialog = rig.Open();
    const QString path = WriteFile(folder->filePath("fuyant.txt"), QByteArray("ABC"));
    OpenAndPlay(rig, path);
    QVERIFY(QFile::remove(path));
    const int sets = rig.timers.setCalls;
    QVERIFY(rig.Tick());
    // Skipped: nothing changed, nothing said, the timer runs on with its period.
    QCOMPARE(dialog.GetFileDictation().Offset(), 1);
    QCOMPARE(dialog.GetFileDictation().CurrentIndex(), 0);
    QVERIFY(dialog.GetSynthesiser().currentCode == CodeOf(0));
    QVERIFY(rig.trainer.messages.texts.isEmpty());
    QVERIFY(rig.timers.IsSet(31));
    QCOMPARE(rig.timers.setCalls, sets);
    QVERIFY(rig.Tick());
    QCOMPARE(dialog.GetFileDictation().Offset(), 1);

    WriteFile(path, QByteArray("ABC"));
    rig.Tick();
    QCOMPARE(dialog.GetFileDictation().CurrentIndex(), 1); // B, at the same offset
    QCOMPARE(dialog.GetFileDictation().Offset(), 2);
}

void FileDictationWiringTest::lastLetterAfterASilentSlotPlaysA() {
    DictationRig rig;
    UseShortElements(rig.trainer);
    TrainerDialog& dialog = rig.Open();
    OpenAndPlay(rig, WriteFile(folder->filePath("espace.txt"), QByteArray("Q ")));
    QCOMPARE(Hear(rig.trainer), std::string("--.-"));
    rig.Tick();
    QVERIFY(!dialog.GetSynthesiser().IsPlaying());
    QCOMPARE(Hear(rig.trainer), std::string());
    rig.Click(kLastLetter);
    QCOMPARE(Hear(rig.trainer), std::string(".-"));
}

void FileDictationWiringTest::longPathWithAccents() {
    DictationRig rig;
    TrainerDialog& dialog = rig.Open();
    QString deep = folder->path();
    const QString segment = QStringLiteral("Répertoire_très_profond_àéèêëîïôùûç_0123456789");
    while (deep.size() < 420) {
        deep += QLatin1Char('/') + segment;
    }
    QVERIFY(QDir().mkpath(deep));
    const QString path = WriteFile(deep + QStringLiteral("/dictée_élève.txt"), QByteArray("K7"));
    QVERIFY(path.size() > 300);
    QVERIFY(QFile::exists(path));
    OpenAndPlay(rig, path);
    QCOMPARE(rig.Text(kFilePath), QDir::toNativeSeparators(path));
    QVERIFY(dialog.GetFileDictation().Active());
    QCOMPARE(dialog.GetFileDictation().CurrentIndex(), 10); // K
    rig.Tick();
    QCOMPARE(dialog.GetFileDictation().CurrentIndex(), 33); // 7
}

void FileDictationWiringTest::fileThatCannotBeOpenedAtPlay() {
    DictationRig rig;
    TrainerDialog& dialog = rig.Open();
    // No file chosen yet.
    rig.Click(kFilePlay);
    // A file that is gone.
    rig.fileDialog.nextPath = folder->filePath("absent.txt");
    rig.Click(kOpenFile);
    rig.Click(kFilePlay);
    // A file chosen, then replaced by a FIFO: Play neither waits for a writer nor plays.
    const QString swapped = WriteFile(folder->filePath("swapped.txt"), QByteArray("E"));
    rig.fileDialog.nextPath = swapped;
    rig.Click(kOpenFile);
    QVERIFY(QFile::remove(swapped));
    QCOMPARE(::mkfifo(QFile::encodeName(swapped).constData(), 0600), 0);
    rig.Click(kFilePlay);
    QVERIFY(!dialog.GetFileDictation().Active());
    QCOMPARE(dialog.GetFileDictation().Offset(), 0);
    QCOMPARE(rig.Interlock(), QString("1111"));
    QCOMPARE(rig.timers.setCalls, 0);
    QVERIFY(rig.trainer.messages.texts.isEmpty());
}

void FileDictationWiringTest::folderFifoAndDeviceAreRefusedWithAMessage() {
    DictationRig rig;
    TrainerDialog& dialog = rig.Open();
    const QString kept = WriteFile(folder->filePath("garde.txt"), QByteArray("E"));
    rig.fileDialog.nextPath = kept;
    rig.Click(kOpenFile);
    const QString fifo = folder->filePath("tube");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // A folder (what a multiple selection gives), a FIFO and a device.
    const QStringList refused = {folder->path(), fifo, QStringLiteral("/dev/zero")};
    for (const QString& path : refused) {
        rig.fileDialog.nextPath = path;
        rig.Click(kOpenFile);
    }
    QStringList expected;
    for (const QString& path : refused) {
        expected << QStringLiteral("Impossible de dicter « %1 » : ce n'est pas un fichier ordinaire.").arg(path);
    }
    QCOMPARE(rig.trainer.messages.texts, expected);
    // The file chosen before stays: its label, and Play plays it.
    QCOMPARE(rig.Text(kFilePath), kept);
    rig.Click(kFilePlay);
    QVERIFY(dialog.GetFileDictation().Active());
    QCOMPARE(dialog.GetFileDictation().CurrentIndex(), 4);
}

void FileDictationWiringTest::cancelledDialogChangesNothing() {
    DictationRig rig;
    TrainerDialog& dialog = rig.Open();
    QCOMPARE(rig.Text(kFilePath), QString("Fichier"));
    rig.Click(kOpenFile); // cancelled
    QCOMPARE(rig.fileDialog.calls, 1);
    QCOMPARE(rig.Text(kFilePath), QString("Fichier"));
    const QString path = WriteFile(folder->filePath("garde.txt"), QByteArray("E"));
    rig.fileDialog.nextPath = path;
    rig.Click(kOpenFile);
    QCOMPARE(rig.fileDialog.lastParent, static_cast<QWidget*>(&dialog));
    rig.fileDialog.nextPath.reset();
    rig.Click(kOpenFile);
    QCOMPARE(rig.Text(kFilePath), QDir::toNativeSeparators(path));
    rig.Click(kFilePlay);
    QCOMPARE(dialog.GetFileDictation().CurrentIndex(), 4); // the kept path is played
}

void FileDictationWiringTest::stopRewindsAndFinKeepsButtons() {
    DictationRig rig;
    TrainerDialog& dialog = rig.Open();
    OpenAndPlay(rig, WriteFile(folder->filePath("deux.txt"), QByteArray("ST")));
    rig.Tick();
    rig.Tick(); // Fin
    QCOMPARE(rig.trainer.messages.texts, QStringList({"Fin"}));
    QCOMPARE(rig.Interlock(), QString("0001"));
    rig.Click(kFileStop);
    QVERIFY(!dialog.GetFileDictation().Active());
    QCOMPARE(dialog.GetFileDictation().Offset(), 0);
    QVERIFY(!rig.timers.IsSet(31));
    QCOMPARE(rig.Interlock(), QString("1111"));
    // Play again starts from the first byte.
    rig.Click(kFilePlay);
    QCOMPARE(dialog.GetFileDictation().CurrentIndex(), 'S' - 'A');
    QCOMPARE(dialog.GetFileDictation().Offset(), 1);
    // Stop in the middle rewinds as well.
    rig.Click(kFileStop);
    QCOMPARE(dialog.GetFileDictation().Offset(), 0);
    QVERIFY(!rig.timers.IsSet(31));
}

void FileDictationWiringTest::timerThatCannotBeSet() {
    DictationRig rig;
    TrainerDialog& dialog = rig.Open();
    rig.timers.failSet = true;
    OpenAndPlay(rig, WriteFile(folder->filePath("t.txt"), QByteArray("EE")));
    QCOMPARE(rig.trainer.messages.texts, QStringList({"Unable to set timer"}));
    QVERIFY(dialog.GetFileDictation().Active());
    QCOMPARE(rig.Interlock(), QString("0001"));
    rig.timers.failSet = false;
    rig.Click(kFileStop);
    rig.Click(kFilePlay);
    rig.timers.failSet = true;
    rig.trainer.messages.Clear();
    QVERIFY(rig.Tick());
    QCOMPARE(dialog.GetFileDictation().Offset(), 2);
    QCOMPARE(rig.trainer.messages.texts, QStringList({"Unable to set timer"}));
}

QTEST_MAIN(FileDictationWiringTest)
#include "FileDictationWiringTest.moc"
