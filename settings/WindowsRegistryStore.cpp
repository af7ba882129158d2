#include "settings/WindowsRegistryStore.h"

#include <windows.h>

namespace {

// kRegistryCurrentUser stands for HKEY_CURRENT_USER, whose value is sign-extended on 64-bit
// Windows; every other handle is an HKEY returned by the registry.
HKEY ToHkey(RegistryHandle handle) {
    return handle == kRegistryCurrentUser ? HKEY_CURRENT_USER : reinterpret_cast<HKEY>(handle);
}

int32_t OpenWithAccess(RegistryHandle parent, const char* path, REGSAM access, RegistryHandle* result) {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExA(ToHkey(parent), path, 0, access, &opened);
    if (status == ERROR_SUCCESS) {
        *result = reinterpret_cast<RegistryHandle>(opened);
    }
    return status;
}

} // namespace

int32_t WindowsRegistryStore::OpenKey(RegistryHandle parent, const char* path, RegistryHandle* result) {
    return OpenWithAccess(parent, path, KEY_ALL_ACCESS, result);
}

int32_t WindowsRegistryStore::OpenKeyForReading(RegistryHandle parent, const char* path, RegistryHandle* result) {
    return OpenWithAccess(parent, path, KEY_READ, result);
}

int32_t WindowsRegistryStore::CreateKey(RegistryHandle parent, const char* path, RegistryHandle* result) {
    HKEY created = nullptr;
    const LONG status = RegCreateKeyA(ToHkey(parent), path, &created);
    if (status == ERROR_SUCCESS) {
        *result = reinterpret_cast<RegistryHandle>(created);
    }
    return status;
}

int32_t WindowsRegistryStore::QueryValue(RegistryHandle key, const char* name, uint32_t* type, uint8_t* data,
                                         uint32_t* size) {
    DWORD valueType = 0;
    DWORD valueSize = size != nullptr ? *size : 0;
    const LONG status =
        RegQueryValueExA(ToHkey(key), name, nullptr, &valueType, data, size != nullptr ? &valueSize : nullptr);
    if (type != nullptr) {
        *type = valueType;
    }
    if (size != nullptr) {
        *size = valueSize;
    }
    return status;
}

int32_t WindowsRegistryStore::SetValue(RegistryHandle key, const char* name, uint32_t type, const uint8_t* data,
                                       uint32_t size) {
    return RegSetValueExA(ToHkey(key), name, 0, type, data, size);
}

int32_t WindowsRegistryStore::CloseKey(RegistryHandle key) {
    return RegCloseKey(ToHkey(key));
}
