#pragma once

#include "settings/RegistryStore.h"

// The Windows registry itself. Each operation is the one ADVAPI32 call of the same purpose;
// keys are opened with KEY_ALL_ACCESS, or KEY_READ for reading only. Built on Windows only.
class WindowsRegistryStore : public RegistryStore {
public:
    int32_t OpenKey(RegistryHandle parent, const char* path, RegistryHandle* result) override;
    int32_t OpenKeyForReading(RegistryHandle parent, const char* path, RegistryHandle* result) override;
    int32_t CreateKey(RegistryHandle parent, const char* path, RegistryHandle* result) override;
    int32_t QueryValue(RegistryHandle key, const char* name, uint32_t* type, uint8_t* data, uint32_t* size) override;
    int32_t SetValue(RegistryHandle key, const char* name, uint32_t type, const uint8_t* data, uint32_t size) override;
    int32_t CloseKey(RegistryHandle key) override;
};
