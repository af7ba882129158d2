#pragma once

#include "settings/RegistryStore.h"

#include <memory>

// The platform's per-user store: the registry on Windows, the XDG configuration file
// ($XDG_CONFIG_HOME/Zelbin/Configuration.ini, or ~/.config/Zelbin/...) everywhere else.
std::unique_ptr<RegistryStore> CreateDefaultRegistryStore();
