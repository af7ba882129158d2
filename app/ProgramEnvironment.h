#pragma once

#include "app/TrainerEnvironment.h"

#include <memory>

class HistoryMessageReporter;

// The real world of the program: PortAudio for sound, the platform's per-user store for the
// settings, the history file of the answers, message boxes on screen, Qt timers and
// QFileDialog. Owns them for as long as it lives.
class ProgramEnvironment {
public:
    ProgramEnvironment();
    ~ProgramEnvironment();

    const TrainerEnvironment& Environment() const { return environment; }

private:
    std::unique_ptr<RegistryStore> settingsStore;
    std::unique_ptr<MessageSeam> messages;
    std::unique_ptr<TimerSeam> timers;
    std::unique_ptr<FileDialogSeam> fileDialog;
    std::unique_ptr<HistoryMessageReporter> historyReporter;
    std::unique_ptr<HistoryStore> history; // written to the end before its reporter goes
    TrainerEnvironment environment;
};
