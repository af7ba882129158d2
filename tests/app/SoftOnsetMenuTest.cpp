// The main window's context menu and its "Attaque douce" item: the soft onset of the tones,
// switched live, saved at once and loaded at start; with the default nothing changes.

#include "tests/app/TrainerFixture.h"

#include "res/ResourceIds.h"
#include "settings/Settings.h"
#include "ui/ConfigDialog.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace {

constexpr const char* kKey = TrainerFixture::kConfigurationKey;

QAction* SoftOnsetItem(TrainerDialog& dialog) {
    QMenu* menu = dialog.ContextMenu();
    if (menu == nullptr) {
        return nullptr;
    }
    for (QAction* action : menu->actions()) {
        if (action->text() == QStringLiteral("Attaque douce")) {
            return action;
        }
    }
    return nullptr;
}

// A right-click on the window's background, at a point clear of every control.
void RightClickBackground(TrainerDialog& dialog) {
    const QPoint at(2, dialog.height() - 2);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, dialog.mapToGlobal(at));
    QApplication::sendEvent(&dialog, &event);
}

// The left channel of what the window plays for the next 'E' typed.
std::vector<int16_t> HearE(TrainerFixture& trainer) {
    QTest::keyClick(trainer.Control<QWidget>(ResourceId::kOk), Qt::Key_E);
    return trainer.Listen(TrainerFixture::kRingFrames + FramesOfMs(100) + 4096);
}

// Where a tone starts in a recording that holds the same tone as `reference` (which starts at
// referenceStart) from its 221st frame on; the recording's size if nowhere.
size_t MatchingStart(const std::vector<int16_t>& recording, const std::vector<int16_t>& reference,
                     size_t referenceStart) {
    constexpr size_t kFrom = 221;
    constexpr size_t kCompared = 2000;
    for (size_t start = 0; start + kFrom + kCompared <= recording.size(); ++start) {
        if (std::equal(recording.begin() + static_cast<std::ptrdiff_t>(start + kFrom),
                       recording.begin() + static_cast<std::ptrdiff_t>(start + kFrom + kCompared),
                       reference.begin() + static_cast<std::ptrdiff_t>(referenceStart + kFrom))) {
            return start;
        }
    }
    return recording.size();
}

} // namespace

class SoftOnsetMenuTest : public QObject {
    Q_OBJECT

private slots:
    void defaultIsOffAndWritesNothing();
    void rightClickOnTheBackgroundOpensTheMenu();
    void itemSwitchesLiveAndSavesEachTime();
    void switchChangesOnlyTheFirstFiveMillisecondsOfTheTone();
    void storedValueIsLoadedAndAnythingElseIsOff();
    void failedSaveIsReportedAndTheSwitchStands();
    void configurationKeepsTheSoftOnset();
};

void SoftOnsetMenuTest::defaultIsOffAndWritesNothing() {
    TrainerFixture trainer;
    TrainerDialog& dialog = trainer.Open();
    QAction* item = SoftOnsetItem(dialog);
    QVERIFY(item != nullptr);
    QVERIFY(item->isCheckable());
    QVERIFY(!item->isChecked());
    QVERIFY(!dialog.GetSynthesiser().SoftOnset());
    QCOMPARE(dialog.GetSettings().softOnset, 0);
    QVERIFY(trainer.store.Writes().empty());
}

void SoftOnsetMenuTest::rightClickOnTheBackgroundOpensTheMenu() {
    TrainerFixture trainer;
    trainer.store.PutDword(kKey, "SoftOnset", 1);
    TrainerDialog& dialog = trainer.Open();
    QVERIFY(!dialog.ContextMenu()->isVisible());
    RightClickBackground(dialog);
    QTRY_VERIFY(dialog.ContextMenu()->isVisible());
    QVERIFY(SoftOnsetItem(dialog)->isChecked());
    dialog.ContextMenu()->close();
}

void SoftOnsetMenuTest::itemSwitchesLiveAndSavesEachTime() {
    TrainerFixture trainer;
    TrainerDialog& dialog = trainer.Open();
    QAction* item = SoftOnsetItem(dialog);
    for (const int32_t expected : {1, 0, 1}) {
        trainer.store.ClearLog();
        item->trigger();
        QCOMPARE(item->isChecked(), expected == 1);
        QCOMPARE(dialog.GetSynthesiser().SoftOnset(), expected == 1);
        QCOMPARE(dialog.GetSettings().softOnset, expected);
        QCOMPARE(trainer.store.WrittenNames(), std::vector<std::string>({"SoftOnset"}));
        QCOMPARE(trainer.store.Dword(kKey, "SoftOnset"), std::optional<int32_t>(expected));
    }
    QVERIFY(trainer.messages.texts.isEmpty());
}

void SoftOnsetMenuTest::switchChangesOnlyTheFirstFiveMillisecondsOfTheTone() {
    TrainerFixture trainer;
    TrainerDialog& dialog = trainer.Open();
    const std::vector<int16_t> hard = HearE(trainer);
    SoftOnsetItem(dialog)->trigger();
    const std::vector<int16_t> soft = HearE(trainer);
    // The hard tone starts at phase 0, one frame before its first non-zero frame.
    const auto firstSound = std::find_if(hard.begin(), hard.end(), [](int16_t s) { return s != 0; });
    QVERIFY(firstSound != hard.begin() && firstSound != hard.end());
    const auto hardStart = static_cast<size_t>(firstSound - hard.begin()) - 1;
    const size_t softStart = MatchingStart(soft, hard, hardStart);
    QVERIFY(softStart < soft.size());
    const size_t length = std::min(hard.size() - hardStart, soft.size() - softStart);
    QVERIFY(length > 4411);
    // 221 frames rise (220 x 1/44100 s < 5 ms < 221 x 1/44100 s); a raised cosine averages
    // one half of the hard onset's magnitude there.
    double hardSum = 0.0;
    double softSum = 0.0;
    for (size_t i = 0; i < 221; ++i) {
        const int hardFrame = std::abs(hard[hardStart + i]);
        const int softFrame = std::abs(soft[softStart + i]);
        QVERIFY2(softFrame <= hardFrame, qPrintable(QString::number(i)));
        hardSum += hardFrame;
        softSum += softFrame;
    }
    QVERIFY(std::abs(softSum / hardSum - 0.5) < 0.05);
    for (size_t i = 221; i < length; ++i) {
        QVERIFY2(soft[softStart + i] == hard[hardStart + i], qPrintable(QString::number(i)));
    }
}

void SoftOnsetMenuTest::storedValueIsLoadedAndAnythingElseIsOff() {
    struct Case {
        std::optional<int32_t> stored;
        bool on;
    };
    for (const Case c : {Case{1, true}, Case{0, false}, Case{2, false}, Case{-1, false}, Case{std::nullopt, false}}) {
        TrainerFixture trainer;
        if (c.stored) {
            trainer.store.PutDword(kKey, "SoftOnset", *c.stored);
        }
        TrainerDialog& dialog = trainer.Open();
        QCOMPARE(dialog.GetSynthesiser().SoftOnset(), c.on);
        QCOMPARE(dialog.GetSettings().softOnset, c.on ? 1 : 0);
        RightClickBackground(dialog);
        QCOMPARE(SoftOnsetItem(dialog)->isChecked(), c.on);
        dialog.ContextMenu()->close();
    }
}

void SoftOnsetMenuTest::failedSaveIsReportedAndTheSwitchStands() {
    TrainerFixture trainer;
    TrainerDialog& dialog = trainer.Open();
    const auto openKeys = std::count_if(trainer.store.Calls().begin(), trainer.store.Calls().end(),
                                        [](const std::string& call) { return call.rfind("OpenKey ", 0) == 0; });
    trainer.store.FailCall(MemoryRegistryStore::Operation::OpenKey, static_cast<int>(openKeys) + 1,
                           kRegistryAccessDenied);
    SoftOnsetItem(dialog)->trigger();
    QCOMPARE(trainer.messages.texts, QStringList({"Unable to write configuration to the registry"}));
    QVERIFY(trainer.store.WrittenNames().empty());
    QVERIFY(dialog.GetSynthesiser().SoftOnset());
}

// The configuration dialog neither shows nor resets the soft onset: its Reset keeps it.
void SoftOnsetMenuTest::configurationKeepsTheSoftOnset() {
    Settings settings;
    settings.softOnset = Settings::kSoftOnsetOn;
    settings.dihMs = 50;
    ConfigDialog dialog(settings, {"device"});
    QTest::mouseClick(TemplateBuilder::Control<QPushButton>(dialog, ConfigControl::kReset), Qt::LeftButton);
    QCOMPARE(dialog.Values().dihMs, 100);
    QCOMPARE(dialog.Values().softOnset, Settings::kSoftOnsetOn);
}

QTEST_MAIN(SoftOnsetMenuTest)
#include "SoftOnsetMenuTest.moc"
