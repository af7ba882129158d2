#pragma once

#include "settings/RegistryStore.h"

#include <cstdint>

// Owns a product key and one of its subkeys in a RegistryStore for the length of one read or
// write sequence. Each operation returns the store's status and does nothing else with it.
// The destructor closes whatever is still open, the subkey first, so every way out of a
// sequence releases what it opened.
class RegistryKey {
public:
    explicit RegistryKey(RegistryStore& store);
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    ~RegistryKey();

    // Opens `path` under `root` as the product key; when it is not found (status 2), creates
    // it and returns the status of the creation. Other statuses are returned unchanged.
    int32_t OpenKey(RegistryHandle root, const char* path);
    // The same for reading only (see RegistryStore::OpenKeyForReading); a product key that is
    // not found is still created.
    int32_t OpenKeyForReading(RegistryHandle root, const char* path);
    // Opens the existing subkey `name` of the product key.
    int32_t OpenSubKey(const char* name);
    // The same for reading only.
    int32_t OpenSubKeyForReading(const char* name);
    // Opens the subkey `name` of the product key, creating it when missing.
    int32_t CreateSubKey(const char* name);
    // Reads a value of the subkey; see RegistryStore::QueryValue.
    int32_t QueryValue(const char* name, uint32_t* type, uint8_t* data, uint32_t* size);
    // Writes a value of the subkey; see RegistryStore::SetValue.
    int32_t SetValue(const char* name, uint32_t type, const uint8_t* data, uint32_t size);
    // Closes the subkey; on success its handle becomes null.
    int32_t CloseSubKey();
    // Closes the product key; on success its handle becomes null.
    int32_t CloseKey();

    bool IsKeyOpen() const { return productKey != 0; }
    bool IsSubKeyOpen() const { return subKey != 0; }

private:
    using StoreOpen = int32_t (RegistryStore::*)(RegistryHandle, const char*, RegistryHandle*);
    int32_t OpenProductKey(RegistryHandle root, const char* path, StoreOpen open);
    int32_t OpenSubKeyWith(const char* name, StoreOpen open);

    RegistryStore& store;
    RegistryHandle productKey = 0; // null while not open
    RegistryHandle subKey = 0;     // null while not open
};
