#include "app/ProgramEnvironment.h"

#include "app/QtMessageSeam.h"
#include "app/WaveOutDriverForQt.h"
#include "settings/DefaultRegistryStore.h"

ProgramEnvironment::ProgramEnvironment()
    : settingsStore(CreateDefaultRegistryStore()), messages(std::make_unique<QtMessageSeam>()) {
    environment.makeSoundDriver = [] { return std::make_unique<WaveOutDriver>(); };
    environment.settingsStore = settingsStore.get();
    environment.messages = messages.get();
}

ProgramEnvironment::~ProgramEnvironment() = default;
