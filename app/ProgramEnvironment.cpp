#include "app/ProgramEnvironment.h"

#include "app/HistoryMessageReporter.h"
#include "app/TrainerSound.h"
#include "audio/PortAudioSidetoneDevice.h"
#include "audio/WaveOutDriver.h"
#include "history/HistoryPath.h"
#include "history/HistoryStore.h"
#include "settings/DefaultRegistryStore.h"
#include "ui/seams/QtFileDialogSeam.h"
#include "ui/seams/QtMessageSeam.h"
#include "ui/seams/QtTimerSeam.h"

ProgramEnvironment::ProgramEnvironment()
    : settingsStore(CreateDefaultRegistryStore()), messages(std::make_unique<QtMessageSeam>()),
      timers(std::make_unique<QtTimerSeam>()), fileDialog(std::make_unique<QtFileDialogSeam>()),
      historyReporter(std::make_unique<HistoryMessageReporter>(*messages)),
      history(std::make_unique<HistoryStore>(HistoryPath::Default(), historyReporter.get())) {
    environment.makeSoundDriver = [] {
        auto driver = std::make_unique<WaveOutDriver>();
        driver->SetIdlePause(TrainerSound::kIdlePauseMs);
        return driver;
    };
    environment.makeSidetoneDevice = [] { return std::make_unique<PortAudioSidetoneDevice>(); };
    environment.settingsStore = settingsStore.get();
    environment.messages = messages.get();
    environment.timers = timers.get();
    environment.fileDialog = fileDialog.get();
    environment.history = history.get();
}

ProgramEnvironment::~ProgramEnvironment() = default;
