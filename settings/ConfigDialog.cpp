#include "settings/ConfigDialog.h"

#include "app/TemplateBuilder.h"
#include "res/DialogTemplates.h"
#include "res/ResourceIds.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>

namespace {

// One step of a value: applied only when the value lies far enough from the bound, so that a
// value within [lowest, highest] never leaves that range and is never snapped onto a bound.
template <class T> void StepDown(T& value, T step, T lowest) {
    if (value >= lowest + step) {
        value -= step;
    }
}

template <class T> void StepUp(T& value, T step, T highest) {
    if (value <= highest - step) {
        value += step;
    }
}

// The ranges that the settings accept when they are loaded.
constexpr float kFrequencyLowest = 100.0f;   // [Hz]
constexpr float kFrequencyHighest = 1000.0f; // [Hz]
constexpr int32_t kLengthLowest = 10;        // [ms]
constexpr int32_t kLengthHighest = 1000;     // [ms]
constexpr int32_t kIntervalLowest = 500;     // [ms]
constexpr int32_t kIntervalHighest = 10000;  // [ms]

constexpr float kFrequencySmallStep = 10.0f;  // [Hz]
constexpr float kFrequencyLargeStep = 100.0f; // [Hz]
constexpr int32_t kSmallStep = 10;            // [ms]
constexpr int32_t kLargeStep = 100;           // [ms]

// The values "Reset" restores.
constexpr int32_t kDefaultDevice = 0;
constexpr float kDefaultFrequency = 440.0f; // [Hz]
constexpr int32_t kDefaultDihMs = 100;
constexpr int32_t kDefaultDahMs = 300;
constexpr int32_t kDefaultPauseMs = 100;
constexpr int32_t kDefaultIntervalMs = 3000;

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

} // namespace

ConfigDialog::ConfigDialog(QWidget* parent) : QDialog(parent) {
    TemplateBuilder(ConfigDialogTemplate()).Build(*this);
    BindControls();

    using namespace ConfigControl;
    ConnectButton(ResourceId::kOk, &ConfigDialog::accept);
    ConnectButton(ResourceId::kCancel, &ConfigDialog::reject);
    ConnectButton(kReset, &ConfigDialog::OnReset);
    ConnectButton(kFrequencyDownFast, &ConfigDialog::OnFrequencyDownFast);
    ConnectButton(kFrequencyDown, &ConfigDialog::OnFrequencyDown);
    ConnectButton(kFrequencyUp, &ConfigDialog::OnFrequencyUp);
    ConnectButton(kFrequencyUpFast, &ConfigDialog::OnFrequencyUpFast);
    ConnectButton(kDihDownFast, &ConfigDialog::OnDihDownFast);
    ConnectButton(kDihDown, &ConfigDialog::OnDihDown);
    ConnectButton(kDihUp, &ConfigDialog::OnDihUp);
    ConnectButton(kDihUpFast, &ConfigDialog::OnDihUpFast);
    ConnectButton(kDahDownFast, &ConfigDialog::OnDahDownFast);
    ConnectButton(kDahDown, &ConfigDialog::OnDahDown);
    ConnectButton(kDahUp, &ConfigDialog::OnDahUp);
    ConnectButton(kDahUpFast, &ConfigDialog::OnDahUpFast);
    ConnectButton(kPauseDownFast, &ConfigDialog::OnPauseDownFast);
    ConnectButton(kPauseDown, &ConfigDialog::OnPauseDown);
    ConnectButton(kPauseUp, &ConfigDialog::OnPauseUp);
    ConnectButton(kPauseUpFast, &ConfigDialog::OnPauseUpFast);
    ConnectButton(kIntervalDownFast, &ConfigDialog::OnIntervalDownFast);
    ConnectButton(kIntervalDown, &ConfigDialog::OnIntervalDown);
    ConnectButton(kIntervalUp, &ConfigDialog::OnIntervalUp);
    ConnectButton(kIntervalUpFast, &ConfigDialog::OnIntervalUpFast);

    // Only a selection made by the user is taken (the list's own selection-change
    // notification); selections set by the program are made with the signals blocked.
    connect(deviceList, &QListWidget::currentRowChanged, this, &ConfigDialog::OnDeviceSelectionChanged);
}

void ConfigDialog::BindControls() {
    using namespace ConfigControl;
    intervalEdit = TemplateBuilder::Control<QLineEdit>(*this, kIntervalEdit);
    pauseEdit = TemplateBuilder::Control<QLineEdit>(*this, kPauseEdit);
    dihEdit = TemplateBuilder::Control<QLineEdit>(*this, kDihEdit);
    dahEdit = TemplateBuilder::Control<QLineEdit>(*this, kDahEdit);
    frequencyEdit = TemplateBuilder::Control<QLineEdit>(*this, kFrequencyEdit);
    deviceList = TemplateBuilder::Control<QListWidget>(*this, kDeviceList);
    Q_ASSERT(intervalEdit && pauseEdit && dihEdit && dahEdit && frequencyEdit && deviceList);
}

void ConfigDialog::ConnectButton(int32_t controlId, void (ConfigDialog::*handler)()) {
    auto* button = TemplateBuilder::Control<QPushButton>(*this, controlId);
    Q_ASSERT(button != nullptr);
    connect(button, &QPushButton::clicked, this, handler);
}

int ConfigDialog::DoModal() {
    OnInitDialog();
    return exec() == QDialog::Accepted ? kIdOk : kIdCancel;
}

void ConfigDialog::OnInitDialog() {
    // The names are held in a fixed set of kMaxDevices entries: a larger count never reads
    // past the last of them.
    const int32_t shown = std::clamp(deviceCount, 0, kMaxDevices);
    const QSignalBlocker blocker(deviceList);
    deviceList->clear();
    for (int32_t i = 0; i < shown; ++i) {
        deviceList->addItem(QString::fromStdString(deviceNames[static_cast<size_t>(i)]));
    }
    SelectDevice(deviceIndex);
    ShowValues();
}

void ConfigDialog::SelectDevice(int32_t index) {
    // An index that is not in the list (a device removed since it was stored) leaves the
    // list without a selection; the device index itself keeps its value.
    const QSignalBlocker blocker(deviceList);
    if (index >= 0 && index < deviceList->count()) {
        deviceList->setCurrentRow(index);
    } else {
        deviceList->setCurrentRow(-1);
        deviceList->clearSelection();
    }
}

void ConfigDialog::OnDeviceSelectionChanged(int row) {
    if (row >= 0) {
        deviceIndex = row;
    }
}

void ConfigDialog::ShowValues() {
    ShowFrequency();
    ShowInteger(dihEdit, dihMs);
    ShowInteger(dahEdit, dahMs);
    ShowInteger(pauseEdit, pauseMs);
    ShowInteger(intervalEdit, dictationIntervalMs);
}

void ConfigDialog::ShowFrequency() {
    frequencyEdit->setText(QString::asprintf("%2.2f", static_cast<double>(frequency)));
}

void ConfigDialog::ShowInteger(QLineEdit* edit, int32_t value) {
    edit->setText(QString::asprintf("%d", value));
}

void ConfigDialog::OnFrequencyDownFast() {
    StepDown(frequency, kFrequencyLargeStep, kFrequencyLowest);
    ShowFrequency();
}
void ConfigDialog::OnFrequencyDown() {
    StepDown(frequency, kFrequencySmallStep, kFrequencyLowest);
    ShowFrequency();
}
void ConfigDialog::OnFrequencyUp() {
    StepUp(frequency, kFrequencySmallStep, kFrequencyHighest);
    ShowFrequency();
}
void ConfigDialog::OnFrequencyUpFast() {
    StepUp(frequency, kFrequencyLargeStep, kFrequencyHighest);
    ShowFrequency();
}

void ConfigDialog::OnDihDownFast() {
    StepDown(dihMs, kLargeStep, kLengthLowest);
    ShowInteger(dihEdit, dihMs);
}
void ConfigDialog::OnDihDown() {
    StepDown(dihMs, kSmallStep, kLengthLowest);
    ShowInteger(dihEdit, dihMs);
}
void ConfigDialog::OnDihUp() {
    StepUp(dihMs, kSmallStep, kLengthHighest);
    ShowInteger(dihEdit, dihMs);
}
void ConfigDialog::OnDihUpFast() {
    StepUp(dihMs, kLargeStep, kLengthHighest);
    ShowInteger(dihEdit, dihMs);
}

void ConfigDialog::OnDahDownFast() {
    StepDown(dahMs, kLargeStep, kLengthLowest);
    ShowInteger(dahEdit, dahMs);
}
void ConfigDialog::OnDahDown() {
    StepDown(dahMs, kSmallStep, kLengthLowest);
    ShowInteger(dahEdit, dahMs);
}
void ConfigDialog::OnDahUp() {
    StepUp(dahMs, kSmallStep, kLengthHighest);
    ShowInteger(dahEdit, dahMs);
}
void ConfigDialog::OnDahUpFast() {
    StepUp(dahMs, kLargeStep, kLengthHighest);
    ShowInteger(dahEdit, dahMs);
}

void ConfigDialog::OnPauseDownFast() {
    StepDown(pauseMs, kLargeStep, kLengthLowest);
    ShowInteger(pauseEdit, pauseMs);
}
void ConfigDialog::OnPauseDown() {
    StepDown(pauseMs, kSmallStep, kLengthLowest);
    ShowInteger(pauseEdit, pauseMs);
}
void ConfigDialog::OnPauseUp() {
    StepUp(pauseMs, kSmallStep, kLengthHighest);
    ShowInteger(pauseEdit, pauseMs);
}
void ConfigDialog::OnPauseUpFast() {
    StepUp(pauseMs, kLargeStep, kLengthHighest);
    ShowInteger(pauseEdit, pauseMs);
}

void ConfigDialog::OnIntervalDownFast() {
    StepDown(dictationIntervalMs, kLargeStep, kIntervalLowest);
    ShowInteger(intervalEdit, dictationIntervalMs);
}
void ConfigDialog::OnIntervalDown() {
    StepDown(dictationIntervalMs, kSmallStep, kIntervalLowest);
    ShowInteger(intervalEdit, dictationIntervalMs);
}
void ConfigDialog::OnIntervalUp() {
    StepUp(dictationIntervalMs, kSmallStep, kIntervalHighest);
    ShowInteger(intervalEdit, dictationIntervalMs);
}
void ConfigDialog::OnIntervalUpFast() {
    StepUp(dictationIntervalMs, kLargeStep, kIntervalHighest);
    ShowInteger(intervalEdit, dictationIntervalMs);
}

void ConfigDialog::OnReset() {
    deviceIndex = kDefaultDevice;
    frequency = kDefaultFrequency;
    dihMs = kDefaultDihMs;
    dahMs = kDefaultDahMs;
    pauseMs = kDefaultPauseMs;
    dictationIntervalMs = kDefaultIntervalMs;
    SelectDevice(0);
    ShowValues();
}
