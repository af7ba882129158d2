// The main window's start-up, volume, noise, messages and closing, over a fake sound device,
// settings in memory and recorded message boxes.

#include "tests/app/TrainerFixture.h"

#include "app/TrainerApp.h"
#include "audio/WaveOutDriver.h"
#include "res/ResourceIds.h"
#include "ui/TemplateBuilder.h"

#include <QCheckBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <algorithm>

namespace {

// A driver that refuses every configuration, as a driver without a usable device would: it
// is then not configured, so Start fails too without opening anything.
class RefusingDriver : public WaveOutDriver {
public:
    using WaveOutDriver::WaveOutDriver;
    bool Configure(int32_t, int32_t, int32_t, int32_t, int32_t) override { return false; }
};

int CountCalls(const MemoryRegistryStore& store, const std::string& operation) {
    return static_cast<int>(std::count_if(store.Calls().begin(), store.Calls().end(), [&](const std::string& call) {
        return call.rfind(operation + " ", 0) == 0;
    }));
}

bool AllSilent(const std::vector<int16_t>& samples) {
    return std::all_of(samples.begin(), samples.end(), [](int16_t s) { return s == 0; });
}

} // namespace

class TrainerDialogTest : public QObject {
    Q_OBJECT

private slots:
    void startsWithTheDefaults();
    void storedDeviceWaitsForTheConfigurationDialog();
    void storedSettingsAreTaken();
    void lastLetterRightAfterStartPlaysOne();
    void lastLetterKeepsTheFocus();
    void volumeSliderSetsTheVolume();
    void sliderAtZeroIsSilentWhileTheStreamRuns();
    void noiseToggles();
    void everyControlStartsEnabled();
    void bothDriverFailuresAreShownInOrderAndTheWindowWorks();
    void deviceThatCannotOpenIsReportedByTheDriverFirst();
    void eachCloseRouteStopsAndWritesOnlyTheVolume_data();
    void eachCloseRouteStopsAndWritesOnlyTheVolume();
    void movedSliderComesBackAfterARestart();
    void failedSaveIsSaidOnceAndTheWindowEndsAnyway_data();
    void failedSaveIsSaidOnceAndTheWindowEndsAnyway();
    void enterNeverPressesOk();
    void escapeDoesNotClose();
    void qtOwnButtonsSpeakFrench();
};

void TrainerDialogTest::startsWithTheDefaults() {
    TrainerFixture trainer;
    TrainerDialog& dialog = trainer.Open();

    QCOMPARE(dialog.windowTitle(), QStringLiteral("Zelbin"));
    QCOMPARE(dialog.GetSynthesiser().Frequency(), 440.0f);
    QCOMPARE(dialog.GetSynthesiser().Volume(), 0.3f);
    QCOMPARE(trainer.Control<QSlider>(MainControl::kVolume)->value(), 30);
    QCOMPARE(trainer.Control<QSlider>(MainControl::kVolume)->minimum(), 0);
    QCOMPARE(trainer.Control<QSlider>(MainControl::kVolume)->maximum(), 100);
    // Lengths in seconds: the milliseconds times the single-precision 0.001.
    QCOMPARE(dialog.GetSynthesiser().ElementSeconds(Gap), 100 * 0.001f);
    QCOMPARE(dialog.GetSynthesiser().ElementSeconds(Dih), 100 * 0.001f);
    QCOMPARE(dialog.GetSynthesiser().ElementSeconds(Dah), 300 * 0.001f);
    QCOMPARE(dialog.GetSettings().dihMs, 100);
    QCOMPARE(dialog.GetSettings().dahMs, 300);
    QCOMPARE(dialog.GetSettings().pauseMs, 100);
    QCOMPARE(dialog.GetSettings().dictationIntervalMs, 3000);
    QCOMPARE(dialog.GetSettings().driverId, 0);
    QVERIFY(!dialog.GetSynthesiser().Noise());
    QVERIFY(!trainer.Control<QCheckBox>(MainControl::kNoise)->isChecked());
    QVERIFY(!dialog.GetSynthesiser().IsPlaying());
    QVERIFY(!dialog.GetRandomDictation().Active());
    QVERIFY(!dialog.GetFileDictation().Active());
    QVERIFY(!dialog.ShowsKeyboard());
    QVERIFY(!dialog.ShowsDictation());
    QVERIFY(trainer.device->IsOpen());
    QCOMPARE(trainer.device->OpenedDeviceId(), 0);
    QCOMPARE(trainer.device->OpenedSampleRate(), 44100);
    QCOMPARE(dialog.WaveOut().GetBufferBytes(), 2048);
    QCOMPARE(dialog.WaveOut().GetBufferCount(), 8);
    QVERIFY(trainer.messages.texts.isEmpty());
    // The focus starts on the first tab stop, OK.
    QCOMPARE(QApplication::focusWidget(), trainer.Control<QWidget>(ResourceId::kOk));
    // Nothing is written at start-up.
    QVERIFY(trainer.store.Writes().empty());
}

void TrainerDialogTest::storedDeviceWaitsForTheConfigurationDialog() {
    TrainerFixture trainer(3);
    trainer.store.PutDword(TrainerFixture::kConfigurationKey, "DriverID", 2);
    TrainerDialog& dialog = trainer.Open();
    QCOMPARE(dialog.GetSettings().driverId, 2);
    QCOMPARE(trainer.device->OpenedDeviceId(), 0);
}

void TrainerDialogTest::storedSettingsAreTaken() {
    TrainerFixture trainer;
    trainer.store.PutDword(TrainerFixture::kConfigurationKey, "Frequency", 700);
    trainer.store.PutDword(TrainerFixture::kConfigurationKey, "Volume", 550);
    trainer.store.PutDword(TrainerFixture::kConfigurationKey, "DIHLenght", 60);
    trainer.store.PutDword(TrainerFixture::kConfigurationKey, "DAHLenght", 180);
    trainer.store.PutDword(TrainerFixture::kConfigurationKey, "PauseLenght", 70);
    TrainerDialog& dialog = trainer.Open();
    QCOMPARE(dialog.GetSynthesiser().Frequency(), 700.0f);
    QCOMPARE(dialog.GetSynthesiser().Volume(), 550 * 0.001f);
    // 0.55 x 100 truncated.
    QCOMPARE(trainer.Control<QSlider>(MainControl::kVolume)->value(), 55);
    QCOMPARE(dialog.GetSynthesiser().ElementSeconds(Dih), 60 * 0.001f);
    QCOMPARE(dialog.GetSynthesiser().ElementSeconds(Dah), 180 * 0.001f);
    QCOMPARE(dialog.GetSynthesiser().ElementSeconds(Gap), 70 * 0.001f);
}

void TrainerDialogTest::lastLetterRightAfterStartPlaysOne() {
    TrainerFixture trainer;
    trainer.store.PutDword(TrainerFixture::kConfigurationKey, "DIHLenght", 20);
    trainer.store.PutDword(TrainerFixture::kConfigurationKey, "DAHLenght", 60);
    trainer.store.PutDword(TrainerFixture::kConfigurationKey, "PauseLenght", 20);
    trainer.Open();
    QVERIFY(AllSilent(trainer.Listen(4 * TrainerFixture::kRingFrames)));

    QTest::mouseClick(trainer.Control<QPushButton>(MainControl::kLastLetter), Qt::LeftButton);
    // The digit 1 is a dih and four dahs: 20 + 4 x (20 + 60) ms, plus the ring queued ahead.
    const auto sound = trainer.Listen(TrainerFixture::kRingFrames + FramesOfMs(20 + 4 * 80) + 4096);
    const std::vector<int64_t> runs = ToneRuns(sound);
    QCOMPARE(RunsToMorse(runs, FramesOfMs(20), FramesOfMs(60)), std::string(".----"));
    QVERIFY(std::abs(runs[0] - FramesOfMs(20)) <= 2);
    QVERIFY(std::abs(runs[1] - FramesOfMs(60)) <= 2);
}

void TrainerDialogTest::lastLetterKeepsTheFocus() {
    TrainerFixture trainer;
    trainer.Open();
    auto* lastLetter = trainer.Control<QPushButton>(MainControl::kLastLetter);
    lastLetter->setFocus();
    QCOMPARE(QApplication::focusWidget(), lastLetter);
    lastLetter->click();
    // The button keeps the focus, for the next replay.
    QCOMPARE(QApplication::focusWidget(), lastLetter);
    QVERIFY(trainer.Dialog().GetSynthesiser().IsPlaying());
}

void TrainerDialogTest::volumeSliderSetsTheVolume() {
    TrainerFixture trainer;
    TrainerDialog& dialog = trainer.Open();
    auto* slider = trainer.Control<QSlider>(MainControl::kVolume);
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_End);
    QCOMPARE(slider->value(), 100);
    QCOMPARE(dialog.GetSynthesiser().Volume(), 1.0f);
    QTest::keyClick(slider, Qt::Key_Home);
    QCOMPARE(dialog.GetSynthesiser().Volume(), 0.0f);
    slider->setValue(30);
    // 30 x 0.01 in single precision is the float just below 0.3.
    QCOMPARE(dialog.GetSynthesiser().Volume(), 0.29999998f);
    QVERIFY(dialog.GetSynthesiser().Volume() != 0.3f);
}

void TrainerDialogTest::sliderAtZeroIsSilentWhileTheStreamRuns() {
    TrainerFixture trainer;
    trainer.Open();
    auto* slider = trainer.Control<QSlider>(MainControl::kVolume);
    QTest::keyClick(slider, Qt::Key_Home);
    QTest::keyClick(slider, Qt::Key_T);
    QVERIFY(trainer.Dialog().GetSynthesiser().IsPlaying());
    const int64_t writesBefore = trainer.device->Writes();
    const auto sound = trainer.Listen(TrainerFixture::kRingFrames + FramesOfMs(300));
    QVERIFY(trainer.device->Writes() > writesBefore + 8);
    QVERIFY(AllSilent(sound));
    QVERIFY(trainer.device->IsOpen());
}

void TrainerDialogTest::noiseToggles() {
    TrainerFixture trainer;
    TrainerDialog& dialog = trainer.Open();
    auto* noise = trainer.Control<QCheckBox>(MainControl::kNoise);
    QTest::mouseClick(noise, Qt::LeftButton);
    QVERIFY(noise->isChecked());
    QVERIFY(dialog.GetSynthesiser().Noise());
    // Noise is heard although no character plays.
    QVERIFY(!AllSilent(trainer.Listen(2 * TrainerFixture::kRingFrames)));
    QTest::mouseClick(noise, Qt::LeftButton);
    QVERIFY(!noise->isChecked());
    QVERIFY(!dialog.GetSynthesiser().Noise());
}

void TrainerDialogTest::everyControlStartsEnabled() {
    TrainerFixture trainer;
    trainer.Open();
    for (int32_t id :
         {ResourceId::kOk, ResourceId::kCancel, MainControl::kLastLetter, MainControl::kConfiguration,
          MainControl::kAbout, MainControl::kNoise, MainControl::kVolume, MainControl::kFilePlay,
          MainControl::kFileStop, MainControl::kOpenFile, MainControl::kFileShow, MainControl::kDictationShow,
          MainControl::kDictationPlay, MainControl::kDictationStop, MainControl::kKeyboardShow}) {
        QVERIFY2(trainer.Control<QWidget>(id)->isEnabled(), qPrintable(QString::number(id)));
    }
}

void TrainerDialogTest::bothDriverFailuresAreShownInOrderAndTheWindowWorks() {
    TrainerFixture trainer;
    trainer.makeDriver = [](std::unique_ptr<WaveDevice> fake) {
        return std::make_unique<RefusingDriver>(std::move(fake));
    };
    TrainerDialog& dialog = trainer.Open();
    QCOMPARE(trainer.messages.texts, QStringList({"Unable to configure audio driver", "Unable to start audio driver"}));
    QCOMPARE(trainer.messages.captions, QStringList({"Zelbin", "Zelbin"}));
    QVERIFY(!trainer.device->IsOpen());
    QVERIFY(dialog.isVisible());
    // The settings were loaded after the messages, and keys still work, silently.
    QCOMPARE(trainer.Control<QSlider>(MainControl::kVolume)->value(), 30);
    QTest::mouseClick(trainer.Control<QCheckBox>(MainControl::kKeyboardShow), Qt::LeftButton);
    QTest::keyClick(trainer.Control<QWidget>(ResourceId::kOk), Qt::Key_E);
    QVERIFY(trainer.Control<QLabel>(MainControl::kKeyboardText)->text().startsWith(QStringLiteral("Caractère E")));
    QTest::mouseClick(trainer.Control<QPushButton>(ResourceId::kOk), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
}

void TrainerDialogTest::deviceThatCannotOpenIsReportedByTheDriverFirst() {
    TrainerFixture trainer;
    trainer.device->Fail(FakeWaveDevice::Call::Open, 0, -1);
    TrainerDialog& dialog = trainer.Open();
    QCOMPARE(trainer.messages.texts.size(), 2);
    QCOMPARE(trainer.messages.captions.first(), QStringLiteral("WaveOut driver"));
    QCOMPARE(trainer.messages.texts.last(), QStringLiteral("Unable to start audio driver"));
    QCOMPARE(trainer.messages.captions.last(), QStringLiteral("Zelbin"));
    QVERIFY(dialog.isVisible());
}

void TrainerDialogTest::eachCloseRouteStopsAndWritesOnlyTheVolume_data() {
    QTest::addColumn<QString>("route");
    QTest::addColumn<int>("result");
    QTest::newRow("OK") << "ok" << int(QDialog::Accepted);
    QTest::newRow("Annuler") << "cancel" << int(QDialog::Rejected);
    QTest::newRow("close box") << "close" << int(QDialog::Rejected);
}

void TrainerDialogTest::eachCloseRouteStopsAndWritesOnlyTheVolume() {
    QFETCH(QString, route);
    QFETCH(int, result);
    TrainerFixture trainer;
    TrainerDialog& dialog = trainer.Open();
    dialog.setResult(-1);
    trainer.store.ClearLog();
    if (route == "ok") {
        QTest::mouseClick(trainer.Control<QPushButton>(ResourceId::kOk), Qt::LeftButton);
    } else if (route == "cancel") {
        QTest::mouseClick(trainer.Control<QPushButton>(ResourceId::kCancel), Qt::LeftButton);
    } else {
        QVERIFY(dialog.close());
    }
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), result);
    QVERIFY(!trainer.device->IsOpen());
    QCOMPARE(trainer.store.WrittenNames(), std::vector<std::string>({"Volume"}));
    QCOMPARE(trainer.store.Dword(TrainerFixture::kConfigurationKey, "Volume"), std::optional<int32_t>(300));
    QVERIFY(trainer.messages.texts.isEmpty());
}

void TrainerDialogTest::movedSliderComesBackAfterARestart() {
    TrainerFixture trainer;
    trainer.Open();
    auto* slider = trainer.Control<QSlider>(MainControl::kVolume);
    slider->setValue(52);
    slider->setValue(51); // 0.50999999 in single precision
    QTest::mouseClick(trainer.Control<QPushButton>(ResourceId::kOk), Qt::LeftButton);
    QCOMPARE(trainer.store.Dword(TrainerFixture::kConfigurationKey, "Volume"), std::optional<int32_t>(510));

    // The next start, on the same settings, shows 51 again.
    TrainerFixture next;
    next.store.PutDword(TrainerFixture::kConfigurationKey, "Volume", 510);
    next.Open();
    QCOMPARE(next.Control<QSlider>(MainControl::kVolume)->value(), 51);
}

void TrainerDialogTest::failedSaveIsSaidOnceAndTheWindowEndsAnyway_data() {
    eachCloseRouteStopsAndWritesOnlyTheVolume_data();
}

void TrainerDialogTest::failedSaveIsSaidOnceAndTheWindowEndsAnyway() {
    QFETCH(QString, route);
    QFETCH(int, result);
    TrainerFixture trainer;
    TrainerDialog& dialog = trainer.Open();
    dialog.setResult(-1);
    // The store can be read but not written: every open for the save is refused.
    for (int occurrence = 1; occurrence <= 4; ++occurrence) {
        trainer.store.FailCall(MemoryRegistryStore::Operation::OpenKey,
                               CountCalls(trainer.store, "OpenKey") + occurrence, kRegistryAccessDenied);
    }
    if (route == "ok") {
        QTest::mouseClick(trainer.Control<QPushButton>(ResourceId::kOk), Qt::LeftButton);
    } else if (route == "cancel") {
        QTest::mouseClick(trainer.Control<QPushButton>(ResourceId::kCancel), Qt::LeftButton);
    } else {
        QVERIFY(dialog.close());
    }
    QCOMPARE(trainer.messages.texts, QStringList({"Unable to write configuration to the registry"}));
    QCOMPARE(trainer.messages.captions, QStringList({"Zelbin"}));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), result);
    QVERIFY(!trainer.device->IsOpen());
    QVERIFY(trainer.store.WrittenNames().empty());
}

void TrainerDialogTest::enterNeverPressesOk() {
    TrainerFixture trainer;
    TrainerDialog& dialog = trainer.Open();
    auto* ok = trainer.Control<QPushButton>(ResourceId::kOk);
    auto* cancel = trainer.Control<QPushButton>(ResourceId::kCancel);
    QCOMPARE(QApplication::focusWidget(), ok);
    QTest::keyClick(ok, Qt::Key_Return);
    QVERIFY(dialog.isVisible());
    // Enter became Tab: the focus moved on to Annuler, which Enter does not press either.
    QCOMPARE(QApplication::focusWidget(), cancel);
    QTest::keyClick(cancel, Qt::Key_Enter, Qt::KeypadModifier);
    QVERIFY(dialog.isVisible());
    QVERIFY(QApplication::focusWidget() != cancel);
    QVERIFY(trainer.store.Writes().empty());
    QVERIFY(trainer.device->IsOpen());
}

void TrainerDialogTest::escapeDoesNotClose() {
    TrainerFixture trainer;
    TrainerDialog& dialog = trainer.Open();
    QTest::keyClick(trainer.Control<QWidget>(ResourceId::kOk), Qt::Key_Escape);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(dialog.isVisible());
    QVERIFY(trainer.store.Writes().empty());
}

// The confirmation boxes' buttons come from Qt: French where the system has Qt's translations.
void TrainerDialogTest::qtOwnButtonsSpeakFrench() {
    const QString translations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFile::exists(translations + QStringLiteral("/qtbase_fr.qm"))) {
        QVERIFY(!TrainerApp::LoadQtTranslation(*qApp));
        QSKIP("Qt's French translation is not installed (qt6-translations-l10n)");
    }
    QVERIFY(TrainerApp::LoadQtTranslation(*qApp));
    QMessageBox box(QMessageBox::Question, QStringLiteral("Zelbin"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.button(QMessageBox::Yes)->text(), QStringLiteral("&Oui"));
    QCOMPARE(box.button(QMessageBox::No)->text(), QStringLiteral("&Non"));
}

QTEST_MAIN(TrainerDialogTest)
#include "TrainerDialogTest.moc"
