#pragma once

#include <QDialog>

#include <array>
#include <cstdint>
#include <string>

class QLineEdit;
class QListWidget;

// The "Configuration" dialog, built from template 129: the output device list and five value
// rows (frequency, dih, dah, pause, dictation interval), each stepped by "<<", "<", ">" and
// ">>" within fixed bounds, plus "Reset". The dialog works on the copies held in its public
// fields: the caller fills them before DoModal and takes them back after an OK.
class ConfigDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int32_t kMaxDevices = 16; // names the dialog holds; further devices are left out

    explicit ConfigDialog(QWidget* parent = nullptr);

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

    // The values, in the order of the original dialog's fields.
    int32_t deviceCount = 0;                          // valid entries of deviceNames, at most kMaxDevices
    std::array<std::string, kMaxDevices> deviceNames; // in the driver's device order (UTF-8)
    int32_t deviceIndex = 0;                          // the chosen device; -1 never comes from the list
    float frequency = 0.0f;                           // [Hz]
    int32_t dahMs = 0;                                // [ms]
    int32_t dihMs = 0;                                // [ms]
    int32_t pauseMs = 0;                              // [ms]
    int32_t dictationIntervalMs = 0;                  // [ms]

private:
    void BindControls();
    void ConnectButton(int32_t controlId, void (ConfigDialog::*handler)());
    void OnDeviceSelectionChanged(int row);
    void SelectDevice(int32_t index);
    void ShowValues();
    void ShowFrequency();
    void ShowInteger(QLineEdit* edit, int32_t value);

    QLineEdit* intervalEdit = nullptr;  // 1035
    QLineEdit* pauseEdit = nullptr;     // 1029
    QLineEdit* dihEdit = nullptr;       // 1012
    QLineEdit* dahEdit = nullptr;       // 1023
    QLineEdit* frequencyEdit = nullptr; // 1011
    QListWidget* deviceList = nullptr;  // 1003
};
