#pragma once

#include "settings/Settings.h"

#include <QDialog>

#include <cstdint>
#include <string>
#include <vector>

class AnnouncedLabel;
class QListWidget;
class ValueField;

// The "Configuration" dialog, built from template 129: the output device list and five value
// rows (frequency, dih, dah, pause, dictation interval), each stepped by "<<", "<", ">" and
// ">>" within the ranges of Settings, plus "Reset", which restores the defaults of Settings.
// The dialog works on a copy of the settings: the caller hands them in with the device names
// and takes Values() back after an OK. The volume and the soft onset are not part of the
// dialog and pass through.
//
// From the keyboard, Up and Down (Page Up and Page Down) on a value field step it as "<" and
// ">" ("<<" and ">>") do. The value a step button shows in its field is said to screen readers,
// whose focus stays on the button.
class ConfigDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int32_t kMaxDevices = 16; // names the dialog holds; further devices are left out
    static constexpr int kConfirmed = 1;       // what DoModal returns for OK; 2 for "Annuler"

    // deviceNames in the driver's device order (UTF-8); only the first kMaxDevices are shown.
    ConfigDialog(const Settings& settings, std::vector<std::string> deviceNames, QWidget* parent = nullptr);

    // The settings as the dialog holds them: the device chosen in driverId, the stepped values.
    const Settings& Values() const { return values; }

    // OnInitDialog, then the modal run. Returns 1 for OK and 2 for "Annuler" (or the close box).
    int DoModal();

    // Fills the list with the device names, selects the device index and shows the values.
    // DoModal calls it; tests may call it to work on the dialog without a modal run.
    void OnInitDialog();

    // Step handlers, one per button, and "Reset".
    void OnFrequencyDownFast();
    void OnFrequencyDown();
    void OnFrequencyUp();
    void OnFrequencyUpFast();
    void OnDihDownFast();
    void OnDihDown();
    void OnDihUp();
    void OnDihUpFast();
    void OnDahDownFast();
    void OnDahDown();
    void OnDahUp();
    void OnDahUpFast();
    void OnPauseDownFast();
    void OnPauseDown();
    void OnPauseUp();
    void OnPauseUpFast();
    void OnIntervalDownFast();
    void OnIntervalDown();
    void OnIntervalUp();
    void OnIntervalUpFast();
    void OnReset();

private:
    void BindControls();
    void ConnectButton(int32_t controlId, void (ConfigDialog::*handler)());
    void OnDeviceSelectionChanged(int row);
    void SelectDevice(int32_t index);
    void ShowValues();
    void ShowFrequency();
    void ShowInteger(ValueField* edit, int32_t value);
    void ShowIn(ValueField* field, double value, const QString& text);
    void ConnectKeyboardSteps(ValueField* field, void (ConfigDialog::*down)(), void (ConfigDialog::*up)(),
                              void (ConfigDialog::*downFast)(), void (ConfigDialog::*upFast)());

    std::vector<std::string> deviceNames; // at most kMaxDevices
    Settings values;                      // driverId is the chosen device; -1 never comes from the list

    ValueField* intervalEdit = nullptr;  // 1035
    ValueField* pauseEdit = nullptr;     // 1029
    ValueField* dihEdit = nullptr;       // 1012
    ValueField* dahEdit = nullptr;       // 1023
    ValueField* frequencyEdit = nullptr; // 1011
    QListWidget* deviceList = nullptr;   // 1003
    AnnouncedLabel* voice = nullptr;     // never shown: says the stepped values
    bool announcing = false;             // a step button's value is said
};
