#include "app/TrainerBand.h"

#include "app/TrainerEnvironment.h"
#include "band/BandParameters.h"
#include "morse/Synthesiser.h"
#include "settings/SettingsPersistence.h"
#include "ui/BandDialog.h"

#include <random>

TrainerBand::TrainerBand(QWidget& window, const TrainerEnvironment& environment, Settings& settings,
                         SettingsReporter& reporter, Synthesiser& synthesiser)
    : window(window), environment(environment), settings(settings), reporter(reporter), synthesiser(synthesiser),
      seed(std::random_device{}()) {}

void TrainerBand::Apply() {
    const bool on = settings.band.on == 1;
    if (on || configured) {
        synthesiser.Band().Configure(BandParameters::Of(settings.band), seed);
        configured = true;
    }
    synthesiser.Band().SetEnabled(on);
    if (on) {
        synthesiser.SoundMayBegin();
    }
}

BandDialog* TrainerBand::Dialog() const {
    return dialog;
}

void TrainerBand::OpenDialog() {
    if (!dialog) {
        dialog = new BandDialog(
            settings.band, [this](const Settings::Band& band) { Change(band); }, &window);
    } else {
        dialog->ShowValues(settings.band);
    }
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void TrainerBand::Change(const Settings::Band& band) {
    settings.band = band;
    settings.Validate();
    Apply();
    SaveBand(*environment.settingsStore, settings, reporter);
}
