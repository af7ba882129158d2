// The window "Copie" from the main window: its menu item, a run played through the window's
// sound driver, Return and Escape, the correction, the history rows, "Vitesse auto", and keys
// that never reach the main window's practices.

#include "tests/app/TrainerFixture.h"
#include "tests/history/HistoryTestSupport.h"

#include "history/HistoryStore.h"
#include "material/CopyMaterial.h"
#include "practice/KochLessons.h"
#include "render/TextFolder.h"
#include "render/WpmSchedule.h"
#include "ui/AnnouncedLabel.h"
#include "ui/CopyWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>

namespace {

constexpr const char* kKey = TrainerFixture::kConfigurationKey;
constexpr uint32_t kSeed = 77;

// A main window with a real history file and a fixed seed for the copy material.
class CopyRig {
public:
    CopyRig() : history(folder.filePath(QStringLiteral("history.sqlite")).toStdString(), &reporter) {
        trainer.environment.history = &history;
        trainer.environment.clockMs = [this] { return nowMs; };
        trainer.environment.copySeed = [] { return kSeed; };
        trainer.environment.wordFolders = {ZELBIN_WORDS_BUILD_DIR};
    }
    CopyWindow* Open() {
        trainer.Open().OnCopy();
        return trainer.Dialog().Copy().Window();
    }
    // Return in the answer field, as a key typed there.
    void Return(CopyWindow* window) { QTest::keyClick(window->findChild<QLineEdit*>("answerField"), Qt::Key_Return); }
    // Return on the empty field, and the whole run played out of the device.
    void Listen(CopyWindow* window) {
        Return(window);
        trainer.Listen(TrainerFixture::kRingFrames + 5 * 44100);
    }
    int64_t nowMs = 1'765'000'000'000;
    QTemporaryDir folder;
    RecordingHistoryReporter reporter;
    HistoryStore history;
    TrainerFixture trainer; // last: the window goes first
};

// The group the fixed seed gives, one item, in the course's signs (no lesson) or a lesson's.
std::string SeededGroup(int32_t lesson = KochLessons::kLastLesson) {
    return CopyMaterial(kSeed).Groups(1, KochLessons::Characters(lesson));
}

} // namespace

class CopyWiringTest : public QObject {
    Q_OBJECT

private slots:
    void menuOrderAndDefaultsWriteNothing();
    void returnPlaysTheRunOnItsFramesThenCorrectsAndRecords();
    void escapeStopsAndKeysStayInTheWindow();
    void autoSpeedRisesAfterAPerfectRunAndIsKept();
    void missingWordListSaysWhere();
};

void CopyWiringTest::menuOrderAndDefaultsWriteNothing() {
    CopyRig rig;
    CopyWindow* window = rig.Open();
    QStringList items;
    for (QAction* action : rig.trainer.Dialog().ContextMenu()->actions()) {
        items.append(action->text());
    }
    QCOMPARE(items,
             QStringList({"Progrès...", "Copie...", "Manipulation...", "Conditions de bande...", "Attaque douce"}));
    QVERIFY(window != nullptr && window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("Copie"));
    QTRY_COMPARE(QApplication::focusWidget(), window->findChild<QLineEdit*>("answerField"));
    const CopyWindow::Options shown = window->CurrentOptions();
    QCOMPARE(shown.material, 0);
    QCOMPARE(shown.wpm, 20);
    QCOMPARE(shown.farnsworth, 0);
    QCOMPARE(shown.count, 5);
    QVERIFY(!shown.autoSpeed);
    QVERIFY(rig.trainer.store.WrittenNames().empty());
}

// Return with an empty field plays the run: its tones come out of the driver with the lengths
// of zelbin-render's schedule; typed text and Return correct it, and each sign is one row.
void CopyWiringTest::returnPlaysTheRunOnItsFramesThenCorrectsAndRecords() {
    CopyRig rig;
    rig.trainer.store.PutDword(kKey, "CopyCount", 1);
    rig.trainer.store.PutDword(kKey, "KochLesson", 36); // letters and digits, which the history reads back
    CopyWindow* window = rig.Open();
    const std::string group = SeededGroup(36);
    rig.Return(window);
    QVERIFY(rig.trainer.Dialog().GetSynthesiser().IsPlaying());
    const WpmSchedule schedule(TextFolder::Fold(group), 20, 0);
    const std::vector<int64_t> runs =
        ToneRuns(rig.trainer.Listen(TrainerFixture::kRingFrames + schedule.EndFrame() + 4096));
    QCOMPARE(runs.size(), schedule.Tones().size());
    for (size_t i = 0; i < runs.size(); ++i) {
        // The first frame of a tone is at phase 0 and its last ones fade into silence.
        QVERIFY2(std::abs(runs[i] - (schedule.Tones()[i].lengthFrames - 1)) <= 3, group.c_str());
    }
    QVERIFY(!rig.trainer.Dialog().GetSynthesiser().IsPlaying());

    std::string typed = group;
    typed[1] = typed[1] == 'E' ? 'T' : 'E'; // the second sign wrong
    QTest::keyClicks(window->findChild<QLineEdit*>("answerField"), QString::fromStdString(typed));
    rig.Return(window);
    auto* score = window->findChild<AnnouncedLabel*>("scoreLabel");
    QCOMPARE(score->text(), QStringLiteral("Score : 4 sur 5 (80 %)"));
    QCOMPARE(score->Value(), 4);
    const std::vector<AnswerRecord> rows = rig.history.ReadSince(0);
    QCOMPARE(rows.size(), size_t{5});
    for (size_t i = 0; i < rows.size(); ++i) {
        QCOMPARE(rows[i].mode, std::string("copy"));
        QCOMPARE(rows[i].played, group[i]);
        QCOMPARE(rows[i].typed, typed[i]);
        QCOMPARE(rows[i].responseMs, int64_t{-1});
    }
    QVERIFY(window->findChild<AnnouncedLabel*>("correctionLabel")->accessibleDescription().contains("tapé"));
}

// Escape stops the run; letters typed in the window neither play nor answer in the main window.
void CopyWiringTest::escapeStopsAndKeysStayInTheWindow() {
    CopyRig rig;
    CopyWindow* window = rig.Open();
    const MorseCode before = rig.trainer.Dialog().GetSynthesiser().currentCode;
    QTest::keyClicks(window->findChild<QLineEdit*>("answerField"), QStringLiteral("EEE"));
    QVERIFY(rig.trainer.Dialog().GetSynthesiser().currentCode == before);
    QVERIFY(!rig.trainer.Dialog().GetSynthesiser().IsPlaying());
    window->findChild<QLineEdit*>("answerField")->clear();
    rig.Return(window);
    QVERIFY(rig.trainer.Dialog().GetSynthesiser().IsPlaying());
    QTest::keyClick(window->findChild<QLineEdit*>("answerField"), Qt::Key_Escape);
    QVERIFY(!rig.trainer.Dialog().GetSynthesiser().IsPlaying());
    QVERIFY(window->isVisible());
}

void CopyWiringTest::autoSpeedRisesAfterAPerfectRunAndIsKept() {
    CopyRig rig;
    rig.trainer.store.PutDword(kKey, "CopyCount", 1);
    rig.trainer.store.PutDword(kKey, "CopyAutoSpeed", 1);
    rig.trainer.store.PutDword(kKey, "CopyFarnsworth", 20);
    CopyWindow* window = rig.Open();
    rig.Listen(window);
    QTest::keyClicks(window->findChild<QLineEdit*>("answerField"), QString::fromStdString(SeededGroup()));
    rig.Return(window);
    QCOMPARE(window->CurrentOptions().wpm, 21);
    QCOMPARE(rig.trainer.store.Dword(kKey, "CopyWpm"), std::optional<int32_t>(21));
    QCOMPARE(rig.trainer.store.WrittenNames(), std::vector<std::string>({"CopyWpm"}));
    QVERIFY(window->findChild<AnnouncedLabel*>("scoreLabel")->text().endsWith("nouvelle vitesse : 21 mots/min"));
    // A run with every sign missed: below 80 %, one less, and the Farnsworth speed follows.
    for (int run = 0; run < 2; ++run) {
        rig.Listen(window);
        window->findChild<QLineEdit*>("answerField")->setText(QStringLiteral("0"));
        rig.Return(window);
    }
    QCOMPARE(window->CurrentOptions().wpm, 19);
    QCOMPARE(rig.trainer.Dialog().GetSettings().copyFarnsworth, 19);
}

void CopyWiringTest::missingWordListSaysWhere() {
    CopyRig rig;
    rig.trainer.environment.wordFolders = {"/nonexistent/words"};
    rig.trainer.store.PutDword(kKey, "CopyMaterial", 1);
    CopyWindow* window = rig.Open();
    rig.Return(window);
    QCOMPARE(window->findChild<AnnouncedLabel*>("correctionLabel")->accessibleDescription(),
             QStringLiteral("La liste de mots « fr.txt » est introuvable (cherchée dans « /nonexistent/words »)."));
    QVERIFY(!rig.trainer.Dialog().GetSynthesiser().IsPlaying());
}

QTEST_MAIN(CopyWiringTest)
#include "CopyWiringTest.moc"
