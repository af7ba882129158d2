#pragma once

#include "settings/Settings.h"

#include <QDialog>

#include <functional>

class Chooser;
class QCheckBox;
class QFormLayout;
class QSpinBox;

// "Conditions de bande": a small modeless dialog over the main window that sets the band
// conditions laid over the tone while any practice plays. "Activer" switches them on; a preset
// ("Calme", "Bande moyenne", "Bande difficile") fills the five values at once, and any value
// changed by hand makes it "Personnalisé". Every change is handed to onChange at once, so that it
// is heard from the next block. Within the ranges of Settings. Screen readers hear each field once,
// with its label and value, and a preset chosen with the values it brings.
class BandDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* kTitle = "Conditions de bande";
    static constexpr const char* kCustom = "Personnalisé";

    // A preset: its name and its values ("on" is left as it is).
    struct Preset {
        const char* name;
        Settings::Band values;
    };
    static const Preset kPresets[3];

    BandDialog(const Settings::Band& band, std::function<void(const Settings::Band&)> onChange,
               QWidget* parent = nullptr);

    // Shows these values, without handing them to onChange.
    void ShowValues(const Settings::Band& band);
    Settings::Band Values() const;

private:
    QSpinBox* AddValue(const char* label, const char* accessibleName, const char* objectName, int lowest, int highest,
                       const char* suffix);
    void ValueEdited();
    void PresetChosen(int index);
    void SelectMatchingPreset();

    std::function<void(const Settings::Band&)> onChange;
    QCheckBox* enable = nullptr;
    Chooser* preset = nullptr;
    QSpinBox* snr = nullptr;
    QSpinBox* qsbDepth = nullptr;
    QSpinBox* qsbPeriod = nullptr;
    QSpinBox* qrm = nullptr;
    QSpinBox* qrn = nullptr;
    QFormLayout* form = nullptr;
};
