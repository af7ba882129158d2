#include "ui/ConfigDialog.h"

#include "res/DialogTemplates.h"
#include "res/ResourceIds.h"
#include "ui/AnnouncedLabel.h"
#include "ui/TemplateBuilder.h"
#include "ui/ValueField.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

#include <utility>

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

constexpr float kFrequencySmallStep = 10.0f;  // [Hz]
constexpr float kFrequencyLargeStep = 100.0f; // [Hz]
constexpr int32_t kSmallStep = 10;            // [ms]
constexpr int32_t kLargeStep = 100;           // [ms]

constexpr int kIdCancel = 2;

} // namespace

ConfigDialog::ConfigDialog(const Settings& settings, std::vector<std::string> names, QWidget* parent)
    : QDialog(parent), deviceNames(std::move(names)), values(settings) {
    if (deviceNames.size() > static_cast<size_t>(kMaxDevices)) {
        deviceNames.resize(kMaxDevices);
    }
    TemplateBuilder builder(ConfigDialogTemplate());
    for (const int32_t field : {ConfigControl::kFrequencyEdit, ConfigControl::kDihEdit, ConfigControl::kDahEdit,
                                ConfigControl::kPauseEdit, ConfigControl::kIntervalEdit}) {
        builder.Bind(field, [](const ControlTemplate&, QWidget* parent) -> QWidget* { return new ValueField(parent); });
    }
    builder.Build(*this);
    BindControls();
    voice = new AnnouncedLabel(this);
    voice->setObjectName(QStringLiteral("voice"));
    voice->hide();

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

    frequencyEdit->SetRange(Settings::kFrequencyLowest, Settings::kFrequencyHighest, kFrequencySmallStep);
    for (ValueField* length : {dihEdit, dahEdit, pauseEdit}) {
        length->SetRange(Settings::kLengthLowestMs, Settings::kLengthHighestMs, kSmallStep);
    }
    intervalEdit->SetRange(Settings::kIntervalLowestMs, Settings::kIntervalHighestMs, kSmallStep);
    ConnectKeyboardSteps(frequencyEdit, &ConfigDialog::OnFrequencyDown, &ConfigDialog::OnFrequencyUp,
                         &ConfigDialog::OnFrequencyDownFast, &ConfigDialog::OnFrequencyUpFast);
    ConnectKeyboardSteps(dihEdit, &ConfigDialog::OnDihDown, &ConfigDialog::OnDihUp, &ConfigDialog::OnDihDownFast,
                         &ConfigDialog::OnDihUpFast);
    ConnectKeyboardSteps(dahEdit, &ConfigDialog::OnDahDown, &ConfigDialog::OnDahUp, &ConfigDialog::OnDahDownFast,
                         &ConfigDialog::OnDahUpFast);
    ConnectKeyboardSteps(pauseEdit, &ConfigDialog::OnPauseDown, &ConfigDialog::OnPauseUp,
                         &ConfigDialog::OnPauseDownFast, &ConfigDialog::OnPauseUpFast);
    ConnectKeyboardSteps(intervalEdit, &ConfigDialog::OnIntervalDown, &ConfigDialog::OnIntervalUp,
                         &ConfigDialog::OnIntervalDownFast, &ConfigDialog::OnIntervalUpFast);

    // Only a selection made by the user is taken (the list's own selection-change
    // notification); selections set by the program are made with the signals blocked.
    connect(deviceList, &QListWidget::currentRowChanged, this, &ConfigDialog::OnDeviceSelectionChanged);
}

void ConfigDialog::BindControls() {
    using namespace ConfigControl;
    intervalEdit = TemplateBuilder::Control<ValueField>(*this, kIntervalEdit);
    pauseEdit = TemplateBuilder::Control<ValueField>(*this, kPauseEdit);
    dihEdit = TemplateBuilder::Control<ValueField>(*this, kDihEdit);
    dahEdit = TemplateBuilder::Control<ValueField>(*this, kDahEdit);
    frequencyEdit = TemplateBuilder::Control<ValueField>(*this, kFrequencyEdit);
    deviceList = TemplateBuilder::Control<QListWidget>(*this, kDeviceList);
    Q_ASSERT(intervalEdit && pauseEdit && dihEdit && dahEdit && frequencyEdit && deviceList);
}

void ConfigDialog::ConnectButton(int32_t controlId, void (ConfigDialog::*handler)()) {
    auto* button = TemplateBuilder::Control<QPushButton>(*this, controlId);
    Q_ASSERT(button != nullptr);
    connect(button, &QPushButton::clicked, this, handler);
}

void ConfigDialog::ConnectKeyboardSteps(ValueField* field, void (ConfigDialog::*down)(), void (ConfigDialog::*up)(),
                                        void (ConfigDialog::*downFast)(), void (ConfigDialog::*upFast)()) {
    connect(field, &ValueField::stepRequested, this, [=, this](int direction, bool large) {
        (this->*(direction > 0 ? (large ? upFast : up) : (large ? downFast : down)))();
    });
}

int ConfigDialog::DoModal() {
    OnInitDialog();
    return exec() == QDialog::Accepted ? kConfirmed : kIdCancel;
}

void ConfigDialog::OnInitDialog() {
    const QSignalBlocker blocker(deviceList);
    deviceList->clear();
    for (const std::string& name : deviceNames) {
        deviceList->addItem(QString::fromStdString(name));
    }
    SelectDevice(values.driverId);
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
        values.driverId = row;
    }
}

void ConfigDialog::ShowValues() {
    announcing = false; // the whole dialog: nothing is said field by field
    ShowFrequency();
    ShowInteger(dihEdit, values.dihMs);
    ShowInteger(dahEdit, values.dahMs);
    ShowInteger(pauseEdit, values.pauseMs);
    ShowInteger(intervalEdit, values.dictationIntervalMs);
    announcing = true;
}

void ConfigDialog::ShowFrequency() {
    ShowIn(frequencyEdit, values.frequency, QString::asprintf("%2.2f", static_cast<double>(values.frequency)));
}

void ConfigDialog::ShowInteger(ValueField* edit, int32_t value) {
    ShowIn(edit, value, QString::asprintf("%d", value));
}

// A field with the focus says its new value itself; beside it, a step button's press is said.
void ConfigDialog::ShowIn(ValueField* field, double value, const QString& text) {
    field->Show(value, text);
    if (announcing && !field->hasFocus()) {
        voice->Announce(text, field->accessibleName() + QStringLiteral(" : ") + text);
    }
}

void ConfigDialog::OnFrequencyDownFast() {
    StepDown(values.frequency, kFrequencyLargeStep, Settings::kFrequencyLowest);
    ShowFrequency();
}
void ConfigDialog::OnFrequencyDown() {
    StepDown(values.frequency, kFrequencySmallStep, Settings::kFrequencyLowest);
    ShowFrequency();
}
void ConfigDialog::OnFrequencyUp() {
    StepUp(values.frequency, kFrequencySmallStep, Settings::kFrequencyHighest);
    ShowFrequency();
}
void ConfigDialog::OnFrequencyUpFast() {
    StepUp(values.frequency, kFrequencyLargeStep, Settings::kFrequencyHighest);
    ShowFrequency();
}

void ConfigDialog::OnDihDownFast() {
    StepDown(values.dihMs, kLargeStep, Settings::kLengthLowestMs);
    ShowInteger(dihEdit, values.dihMs);
}
void ConfigDialog::OnDihDown() {
    StepDown(values.dihMs, kSmallStep, Settings::kLengthLowestMs);
    ShowInteger(dihEdit, values.dihMs);
}
void ConfigDialog::OnDihUp() {
    StepUp(values.dihMs, kSmallStep, Settings::kLengthHighestMs);
    ShowInteger(dihEdit, values.dihMs);
}
void ConfigDialog::OnDihUpFast() {
    StepUp(values.dihMs, kLargeStep, Settings::kLengthHighestMs);
    ShowInteger(dihEdit, values.dihMs);
}

void ConfigDialog::OnDahDownFast() {
    StepDown(values.dahMs, kLargeStep, Settings::kLengthLowestMs);
    ShowInteger(dahEdit, values.dahMs);
}
void ConfigDialog::OnDahDown() {
    StepDown(values.dahMs, kSmallStep, Settings::kLengthLowestMs);
    ShowInteger(dahEdit, values.dahMs);
}
void ConfigDialog::OnDahUp() {
    StepUp(values.dahMs, kSmallStep, Settings::kLengthHighestMs);
    ShowInteger(dahEdit, values.dahMs);
}
void ConfigDialog::OnDahUpFast() {
    StepUp(values.dahMs, kLargeStep, Settings::kLengthHighestMs);
    ShowInteger(dahEdit, values.dahMs);
}

void ConfigDialog::OnPauseDownFast() {
    StepDown(values.pauseMs, kLargeStep, Settings::kLengthLowestMs);
    ShowInteger(pauseEdit, values.pauseMs);
}
void ConfigDialog::OnPauseDown() {
    StepDown(values.pauseMs, kSmallStep, Settings::kLengthLowestMs);
    ShowInteger(pauseEdit, values.pauseMs);
}
void ConfigDialog::OnPauseUp() {
    StepUp(values.pauseMs, kSmallStep, Settings::kLengthHighestMs);
    ShowInteger(pauseEdit, values.pauseMs);
}
void ConfigDialog::OnPauseUpFast() {
    StepUp(values.pauseMs, kLargeStep, Settings::kLengthHighestMs);
    ShowInteger(pauseEdit, values.pauseMs);
}

void ConfigDialog::OnIntervalDownFast() {
    StepDown(values.dictationIntervalMs, kLargeStep, Settings::kIntervalLowestMs);
    ShowInteger(intervalEdit, values.dictationIntervalMs);
}
void ConfigDialog::OnIntervalDown() {
    StepDown(values.dictationIntervalMs, kSmallStep, Settings::kIntervalLowestMs);
    ShowInteger(intervalEdit, values.dictationIntervalMs);
}
void ConfigDialog::OnIntervalUp() {
    StepUp(values.dictationIntervalMs, kSmallStep, Settings::kIntervalHighestMs);
    ShowInteger(intervalEdit, values.dictationIntervalMs);
}
void ConfigDialog::OnIntervalUpFast() {
    StepUp(values.dictationIntervalMs, kLargeStep, Settings::kIntervalHighestMs);
    ShowInteger(intervalEdit, values.dictationIntervalMs);
}

void ConfigDialog::OnReset() {
    // The defaults of the values this dialog edits; every other setting (the volume, the soft
    // onset, the lessons, the copy, band and keyer values...) keeps its value.
    const Settings defaults;
    values.frequency = defaults.frequency;
    values.driverId = defaults.driverId;
    values.dihMs = defaults.dihMs;
    values.dahMs = defaults.dahMs;
    values.pauseMs = defaults.pauseMs;
    values.dictationIntervalMs = defaults.dictationIntervalMs;
    SelectDevice(values.driverId);
    ShowValues();
    voice->Announce(QString(), QStringLiteral("Valeurs par défaut"));
}
