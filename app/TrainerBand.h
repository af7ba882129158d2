#pragma once

#include "settings/Settings.h"

#include <QPointer>

#include <cstdint>

class BandDialog;
class QWidget;
class SettingsReporter;
class Synthesiser;
struct TrainerEnvironment;

// The main window's band conditions: its settings applied to the synthesiser's band stage, and
// the dialog "Conditions de bande", which the window opens from its context menu. They apply to
// every practice that plays through the synthesiser. Each change in the dialog is heard from the
// next block the audio thread renders and saved at once (only the values that differ from the
// store are written).
//
// The conditions are drawn from one seed per run of the program. Everything runs on the UI
// thread.
class TrainerBand {
public:
    static constexpr const char* kMenuItem = "Conditions de bande...";

    TrainerBand(QWidget& window, const TrainerEnvironment& environment, Settings& settings, SettingsReporter& reporter,
                Synthesiser& synthesiser);
    TrainerBand(const TrainerBand&) = delete;
    TrainerBand& operator=(const TrainerBand&) = delete;

    // Hands settings.band to the synthesiser. With the band off and never configured, nothing is
    // prepared at all.
    void Apply();
    // Shows the dialog, made on first use, with the values in force.
    void OpenDialog();
    BandDialog* Dialog() const;

private:
    void Change(const Settings::Band& band);

    QWidget& window;
    const TrainerEnvironment& environment;
    Settings& settings;
    SettingsReporter& reporter;
    Synthesiser& synthesiser;
    uint64_t seed;
    bool configured = false;
    QPointer<BandDialog> dialog;
};
