#include "settings/RegistryKey.h"

RegistryKey::RegistryKey(RegistryStore& store) : store(store) {}

RegistryKey::~RegistryKey() {
    if (subKey != 0) {
        store.CloseKey(subKey);
    }
    if (productKey != 0) {
        store.CloseKey(productKey);
    }
}

int32_t RegistryKey::OpenKey(RegistryHandle root, const char* path) {
    return OpenProductKey(root, path, &RegistryStore::OpenKey);
}

int32_t RegistryKey::OpenKeyForReading(RegistryHandle root, const char* path) {
    return OpenProductKey(root, path, &RegistryStore::OpenKeyForReading);
}

int32_t RegistryKey::OpenProductKey(RegistryHandle root, const char* path, StoreOpen open) {
    // Opening again must not leak what an earlier call opened.
    if (productKey != 0 && CloseKey() != kRegistrySuccess) {
        return kRegistryInvalidHandle;
    }
    RegistryHandle opened = 0;
    int32_t status = (store.*open)(root, path, &opened);
    if (status == kRegistryNotFound) {
        opened = 0;
        status = store.CreateKey(root, path, &opened);
    }
    if (status == kRegistrySuccess) {
        productKey = opened;
    }
    return status;
}

int32_t RegistryKey::OpenSubKey(const char* name) {
    return OpenSubKeyWith(name, &RegistryStore::OpenKey);
}

int32_t RegistryKey::OpenSubKeyForReading(const char* name) {
    return OpenSubKeyWith(name, &RegistryStore::OpenKeyForReading);
}

int32_t RegistryKey::OpenSubKeyWith(const char* name, StoreOpen open) {
    if (subKey != 0 && CloseSubKey() != kRegistrySuccess) {
        return kRegistryInvalidHandle;
    }
    if (productKey == 0) {
        return kRegistryInvalidHandle;
    }
    RegistryHandle opened = 0;
    const int32_t status = (store.*open)(productKey, name, &opened);
    if (status == kRegistrySuccess) {
        subKey = opened;
    }
    return status;
}

int32_t RegistryKey::CreateSubKey(const char* name) {
    if (subKey != 0 && CloseSubKey() != kRegistrySuccess) {
        return kRegistryInvalidHandle;
    }
    if (productKey == 0) {
        return kRegistryInvalidHandle;
    }
    RegistryHandle opened = 0;
    const int32_t status = store.CreateKey(productKey, name, &opened);
    if (status == kRegistrySuccess) {
        subKey = opened;
    }
    return status;
}

int32_t RegistryKey::QueryValue(const char* name, uint32_t* type, uint8_t* data, uint32_t* size) {
    if (subKey == 0) {
        return kRegistryInvalidHandle;
    }
    return store.QueryValue(subKey, name, type, data, size);
}

int32_t RegistryKey::SetValue(const char* name, uint32_t type, const uint8_t* data, uint32_t size) {
    if (subKey == 0) {
        return kRegistryInvalidHandle;
    }
    return store.SetValue(subKey, name, type, data, size);
}

int32_t RegistryKey::CloseSubKey() {
    if (subKey == 0) {
        return kRegistryInvalidHandle;
    }
    const int32_t status = store.CloseKey(subKey);
    if (status == kRegistrySuccess) {
        subKey = 0;
    }
    return status;
}

int32_t RegistryKey::CloseKey() {
    if (productKey == 0) {
        return kRegistryInvalidHandle;
    }
    const int32_t status = store.CloseKey(productKey);
    if (status == kRegistrySuccess) {
        productKey = 0;
    }
    return status;
}
