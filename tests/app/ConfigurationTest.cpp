// The "Configuration" button of the main window: what the dialog is given, what OK does
// (driver restarted on the chosen device, six values written) and what cancelling leaves.

#include "tests/app/DictationRig.h"

#include "audio/WaveOutDriver.h"

#include <QLineEdit>
#include <QListWidget>

#include <string>
#include <vector>

using namespace ConfigControl;

namespace {

std::vector<std::string> DeviceNames(int count) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        names.push_back("Sortie " + std::to_string(i));
    }
    return names;
}

void ClickIn(ConfigDialog& dialog, int32_t controlId, int times = 1) {
    for (int i = 0; i < times; ++i) {
        QTest::mouseClick(TemplateBuilder::Control<QAbstractButton>(dialog, controlId), Qt::LeftButton);
    }
}

void ChooseDevice(ConfigDialog& dialog, int row) {
    QListWidget* list = TemplateBuilder::Control<QListWidget>(dialog, kDeviceList);
    list->scrollToItem(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

// A driver that refuses the configuration while told to; it keeps the one it had.
class RefusableDriver : public WaveOutDriver {
public:
    using WaveOutDriver::WaveOutDriver;
    bool Configure(int32_t sampleRate, int32_t bufferBytes, int32_t bufferCount, int32_t refillIntervalMs,
                   int32_t deviceId) override {
        if (refuse) {
            return false;
        }
        return WaveOutDriver::Configure(sampleRate, bufferBytes, bufferCount, refillIntervalMs, deviceId);
    }
    bool refuse = false;
};

const std::vector<std::string> kSixValues = {"Frequency", "DriverID",    "DIHLenght",
                                             "DAHLenght", "PauseLenght", "DicteeLenght"};

} // namespace

class ConfigurationTest : public QObject {
    Q_OBJECT

private slots:
    void dialogGetsTheWindowsValues();
    void okTakesValuesRestartsAndWritesSixValues();
    void driverReopensOnTheChosenDevice();
    void resetThenCancelWritesNothing();
    void moreThanSixteenDevices();
    void storedIdNotInTheList();
    void driverFailuresDoNotStopTheSequence();
    void newIntervalAtTheNextTimerSetting();
};

void ConfigurationTest::dialogGetsTheWindowsValues() {
    DictationRig rig(3);
    rig.trainer.device->SetDeviceNames({"Première", "Deuxième", "Troisième"});
    rig.trainer.store.PutDword(TrainerFixture::kConfigurationKey, "Frequency", 700);
    rig.trainer.store.PutDword(TrainerFixture::kConfigurationKey, "DriverID", 1);
    rig.trainer.store.PutDword(TrainerFixture::kConfigurationKey, "DIHLenght", 60);
    rig.trainer.store.PutDword(TrainerFixture::kConfigurationKey, "DAHLenght", 180);
    rig.trainer.store.PutDword(TrainerFixture::kConfigurationKey, "PauseLenght", 70);
    rig.trainer.store.PutDword(TrainerFixture::kConfigurationKey, "DicteeLenght", 1500);
    rig.Open();
    QStringList shown;
    QString texts[5];
    int row = -2;
    DictationRig::AnswerConfigDialog(
        [&](ConfigDialog& dialog) {
            QListWidget* list = TemplateBuilder::Control<QListWidget>(dialog, kDeviceList);
            for (int i = 0; i < list->count(); ++i) {
                shown << list->item(i)->text();
            }
            row = list->currentRow();
            int n = 0;
            for (int32_t id : {kFrequencyEdit, kDihEdit, kDahEdit, kPauseEdit, kIntervalEdit}) {
                texts[n++] = TemplateBuilder::Control<QLineEdit>(dialog, id)->text();
            }
        },
        ResourceId::kCancel);
    rig.Click(MainControl::kConfiguration);
    QCOMPARE(shown, QStringList({"Première", "Deuxième", "Troisième"}));
    QCOMPARE(row, 1);
    QCOMPARE(texts[0], QString("700.00"));
    QCOMPARE(texts[1], QString("60"));
    QCOMPARE(texts[2], QString("180"));
    QCOMPARE(texts[3], QString("70"));
    QCOMPARE(texts[4], QString("1500"));
}

void ConfigurationTest::okTakesValuesRestartsAndWritesSixValues() {
    DictationRig rig(2);
    TrainerDialog& dialog = rig.Open();
    const float volume = dialog.GetSettings().volume;
    rig.trainer.store.ClearLog();
    const int64_t opens = rig.trainer.device->Calls(FakeWaveDevice::Call::Open);
    DictationRig::AnswerConfigDialog(
        [](ConfigDialog& config) {
            ClickIn(config, kFrequencyUpFast);  // 540
            ClickIn(config, kDihUp, 2);         // 120
            ClickIn(config, kDahDownFast);      // 200
            ClickIn(config, kPauseDown);        // 90
            ClickIn(config, kIntervalDownFast); // 2900
        },
        ResourceId::kOk);
    rig.Click(MainControl::kConfiguration);

    QCOMPARE(dialog.GetSettings().frequency, 540.0f);
    QCOMPARE(dialog.GetSettings().dihMs, 120);
    QCOMPARE(dialog.GetSettings().dahMs, 200);
    QCOMPARE(dialog.GetSettings().pauseMs, 90);
    QCOMPARE(dialog.GetSettings().dictationIntervalMs, 2900);
    QCOMPARE(dialog.GetSettings().driverId, 0);
    QCOMPARE(dialog.GetSettings().volume, volume);
    // The synthesiser takes the new frequency and element lengths (ms x 0.001 in single precision).
    QCOMPARE(dialog.GetSynthesiser().Frequency(), 540.0f);
    QCOMPARE(dialog.GetSynthesiser().ElementSeconds(Gap), 90 * 0.001f);
    QCOMPARE(dialog.GetSynthesiser().ElementSeconds(Dih), 120 * 0.001f);
    QCOMPARE(dialog.GetSynthesiser().ElementSeconds(Dah), 200 * 0.001f);
    // Stopped and started again.
    QCOMPARE(rig.trainer.device->Calls(FakeWaveDevice::Call::Open), opens + 1);
    QVERIFY(rig.trainer.device->IsOpen());
    QVERIFY(rig.trainer.messages.texts.isEmpty());

    QCOMPARE(rig.trainer.store.WrittenNames(), kSixValues);
    const auto key = TrainerFixture::kConfigurationKey;
    QCOMPARE(rig.trainer.store.Dword(key, "Frequency"), std::optional<int32_t>(540));
    QCOMPARE(rig.trainer.store.Dword(key, "DriverID"), std::optional<int32_t>(0));
    QCOMPARE(rig.trainer.store.Dword(key, "DIHLenght"), std::optional<int32_t>(120));
    QCOMPARE(rig.trainer.store.Dword(key, "DAHLenght"), std::optional<int32_t>(200));
    QCOMPARE(rig.trainer.store.Dword(key, "PauseLenght"), std::optional<int32_t>(90));
    QCOMPARE(rig.trainer.store.Dword(key, "DicteeLenght"), std::optional<int32_t>(2900));
    QVERIFY(!rig.trainer.store.Dword(key, "Volume").has_value());
}

void ConfigurationTest::driverReopensOnTheChosenDevice() {
    DictationRig rig(3);
    rig.trainer.device->SetDeviceNames({"un", "deux", "trois"});
    rig.Open();
    QCOMPARE(rig.trainer.device->OpenedDeviceId(), 0);
    DictationRig::AnswerConfigDialog([](ConfigDialog& config) { ChooseDevice(config, 2); }, ResourceId::kOk);
    rig.Click(MainControl::kConfiguration);
    QCOMPARE(rig.Dialog().GetSettings().driverId, 2);
    QCOMPARE(rig.trainer.device->OpenedDeviceId(), 2);
    QVERIFY(rig.trainer.device->IsOpen());
    QCOMPARE(rig.trainer.store.Dword(TrainerFixture::kConfigurationKey, "DriverID"), std::optional<int32_t>(2));
}

void ConfigurationTest::resetThenCancelWritesNothing() {
    DictationRig rig(2);
    rig.trainer.store.PutDword(TrainerFixture::kConfigurationKey, "Frequency", 800);
    rig.trainer.store.PutDword(TrainerFixture::kConfigurationKey, "DriverID", 1);
    TrainerDialog& dialog = rig.Open();
    rig.trainer.store.ClearLog();
    const int64_t opens = rig.trainer.device->Calls(FakeWaveDevice::Call::Open);
    DictationRig::AnswerConfigDialog([](ConfigDialog& config) { ClickIn(config, kReset); }, ResourceId::kCancel);
    rig.Click(MainControl::kConfiguration);
    QCOMPARE(dialog.GetSettings().frequency, 800.0f);
    QCOMPARE(dialog.GetSettings().driverId, 1);
    QVERIFY(rig.trainer.store.Writes().empty());
    QCOMPARE(rig.trainer.device->Calls(FakeWaveDevice::Call::Open), opens);
    QVERIFY(rig.trainer.messages.texts.isEmpty());

    // The same Reset confirmed writes the defaults, and the volume stays as it was.
    DictationRig::AnswerConfigDialog([](ConfigDialog& config) { ClickIn(config, kReset); }, ResourceId::kOk);
    rig.Click(MainControl::kConfiguration);
    QCOMPARE(dialog.GetSettings().frequency, 440.0f);
    QCOMPARE(dialog.GetSettings().driverId, 0);
    QCOMPARE(rig.trainer.store.WrittenNames(), kSixValues);
    QCOMPARE(rig.trainer.store.Dword(TrainerFixture::kConfigurationKey, "Frequency"), std::optional<int32_t>(440));
    QCOMPARE(dialog.GetSettings().volume, 0.3f);
}

void ConfigurationTest::moreThanSixteenDevices() {
    DictationRig rig(20);
    rig.trainer.device->SetDeviceNames(DeviceNames(20));
    rig.Open();
    int count = -1;
    QString last;
    DictationRig::AnswerConfigDialog(
        [&](ConfigDialog& config) {
            QListWidget* list = TemplateBuilder::Control<QListWidget>(config, kDeviceList);
            count = list->count();
            last = list->item(list->count() - 1)->text();
            ChooseDevice(config, 15);
        },
        ResourceId::kOk);
    rig.Click(MainControl::kConfiguration);
    QCOMPARE(count, 16);
    QCOMPARE(last, QString("Sortie 15"));
    QCOMPARE(rig.trainer.device->OpenedDeviceId(), 15);

    // A stored device beyond the sixteenth is not in the list but stays the device.
    DictationRig beyond(20);
    beyond.trainer.device->SetDeviceNames(DeviceNames(20));
    beyond.trainer.store.PutDword(TrainerFixture::kConfigurationKey, "DriverID", 18);
    beyond.Open();
    int row = -2;
    DictationRig::AnswerConfigDialog(
        [&](ConfigDialog& config) { row = TemplateBuilder::Control<QListWidget>(config, kDeviceList)->currentRow(); },
        ResourceId::kOk);
    beyond.Click(MainControl::kConfiguration);
    QCOMPARE(row, -1);
    QCOMPARE(beyond.Dialog().GetSettings().driverId, 18);
    QCOMPARE(beyond.trainer.device->OpenedDeviceId(), 18);
}

void ConfigurationTest::storedIdNotInTheList() {
    DictationRig rig(2);
    rig.trainer.device->SetDeviceNames({"un", "deux"});
    rig.trainer.store.PutDword(TrainerFixture::kConfigurationKey, "DriverID", 5);
    TrainerDialog& dialog = rig.Open();
    int row = -2;
    int selected = -1;
    DictationRig::AnswerConfigDialog(
        [&](ConfigDialog& config) {
            QListWidget* list = TemplateBuilder::Control<QListWidget>(config, kDeviceList);
            row = list->currentRow();
            selected = static_cast<int>(list->selectedItems().size());
        },
        ResourceId::kOk);
    rig.Click(MainControl::kConfiguration);
    QCOMPARE(row, -1);
    QCOMPARE(selected, 0);
    QCOMPARE(dialog.GetSettings().driverId, 5);
    QCOMPARE(rig.trainer.store.Dword(TrainerFixture::kConfigurationKey, "DriverID"), std::optional<int32_t>(5));
}

void ConfigurationTest::driverFailuresDoNotStopTheSequence() {
    // A configuration the driver refuses: said, and the driver is still started.
    DictationRig rig(1);
    RefusableDriver* driver = nullptr;
    rig.trainer.makeDriver = [&driver](std::unique_ptr<WaveDevice> fake) {
        auto made = std::make_unique<RefusableDriver>(std::move(fake));
        driver = made.get();
        return made;
    };
    TrainerDialog& dialog = rig.Open();
    rig.trainer.store.ClearLog();
    driver->refuse = true;
    const int64_t opens = rig.trainer.device->Calls(FakeWaveDevice::Call::Open);
    DictationRig::AnswerConfigDialog([](ConfigDialog& config) { ClickIn(config, kFrequencyUp); }, ResourceId::kOk);
    rig.Click(MainControl::kConfiguration);
    QCOMPARE(rig.trainer.messages.texts, QStringList({"Unable to configure audio driver"}));
    QCOMPARE(rig.trainer.device->Calls(FakeWaveDevice::Call::Open), opens + 1);
    QCOMPARE(dialog.GetSettings().frequency, 450.0f);
    QCOMPARE(rig.trainer.store.WrittenNames(), kSixValues);

    // A device that cannot be opened: the start fails, the values are written all the same.
    driver->refuse = false;
    rig.trainer.messages.Clear();
    rig.trainer.store.ClearLog();
    rig.trainer.device->Fail(FakeWaveDevice::Call::Open, 0, -1);
    DictationRig::AnswerConfigDialog([](ConfigDialog& config) { ClickIn(config, kDihUp); }, ResourceId::kOk);
    rig.Click(MainControl::kConfiguration);
    QVERIFY(rig.trainer.messages.texts.contains("Unable to start audio driver"));
    QVERIFY(!rig.trainer.messages.texts.contains("Unable to configure audio driver"));
    QCOMPARE(dialog.GetSettings().dihMs, 110);
    QCOMPARE(rig.trainer.store.WrittenNames(), kSixValues);
    QVERIFY(!rig.trainer.device->IsOpen());

    // Confirmed again once the device is back: the sound starts again.
    rig.trainer.device->Heal(FakeWaveDevice::Call::Open);
    rig.trainer.messages.Clear();
    DictationRig::AnswerConfigDialog(nullptr, ResourceId::kOk);
    rig.Click(MainControl::kConfiguration);
    QVERIFY(rig.trainer.messages.texts.isEmpty());
    QVERIFY(rig.trainer.device->IsOpen());
}

void ConfigurationTest::newIntervalAtTheNextTimerSetting() {
    QTemporaryDir folder;
    const QString path = folder.filePath("long.txt");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("ABCDEF");
    file.close();

    DictationRig rig;
    TrainerDialog& dialog = rig.Open();
    rig.fileDialog.nextPath = path;
    rig.Click(MainControl::kOpenFile);
    rig.Click(MainControl::kFilePlay);
    QCOMPARE(rig.timers.PeriodMs(31), 3000);
    // The file dictation is not touched by the dialog, and goes on while it is open.
    DictationRig::AnswerConfigDialog(
        [&rig](ConfigDialog& config) {
            rig.Tick();
            ClickIn(config, kIntervalUpFast);
        },
        ResourceId::kOk);
    rig.Click(MainControl::kConfiguration);
    QVERIFY(dialog.GetFileDictation().Active());
    QCOMPARE(dialog.GetFileDictation().Offset(), 2);
    QCOMPARE(rig.timers.PeriodMs(31), 3000);
    rig.Tick();
    QCOMPARE(rig.timers.PeriodMs(31), 3100);
    QCOMPARE(dialog.GetFileDictation().CurrentIndex(), 2); // C
}

QTEST_MAIN(ConfigurationTest)
#include "ConfigurationTest.moc"
