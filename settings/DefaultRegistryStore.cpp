#include "settings/DefaultRegistryStore.h"

#ifdef _WIN32
#include "settings/WindowsRegistryStore.h"
#else
#include "settings/IniFileStore.h"
#endif

std::unique_ptr<RegistryStore> CreateDefaultRegistryStore() {
#ifdef _WIN32
    return std::make_unique<WindowsRegistryStore>();
#else
    return std::make_unique<IniFileStore>(IniFileStore::DefaultConfigHome());
#endif
}
