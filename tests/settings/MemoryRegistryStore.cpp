#include "tests/settings/MemoryRegistryStore.h"

#include <cstring>

namespace {

std::string Join(const std::string& parent, const std::string& child) {
    return parent.empty() ? child : parent + "\\" + child;
}

} // namespace

int32_t MemoryRegistryStore::InjectedFailure(Operation operation) {
    const int occurrence = ++callCounts[operation];
    const auto found = failures.find({operation, occurrence});
    return found == failures.end() ? kRegistrySuccess : found->second;
}

std::optional<std::string> MemoryRegistryStore::PathOf(RegistryHandle handle) const {
    if (handle == kRegistryCurrentUser) {
        return std::string();
    }
    const auto found = handles.find(handle);
    if (found == handles.end()) {
        return std::nullopt;
    }
    return found->second;
}

RegistryHandle MemoryRegistryStore::NewHandle(const std::string& keyPath) {
    const RegistryHandle handle = nextHandle++;
    handles[handle] = keyPath;
    return handle;
}

int32_t MemoryRegistryStore::OpenKey(RegistryHandle parent, const char* path, RegistryHandle* result) {
    const std::optional<std::string> parentPath = PathOf(parent);
    const std::string fullPath = Join(parentPath.value_or("?"), path ? path : "");
    calls.push_back(std::string("OpenKey ") + fullPath);
    if (const int32_t status = InjectedFailure(Operation::OpenKey); status != kRegistrySuccess) {
        return status;
    }
    if (!parentPath || path == nullptr || result == nullptr) {
        return parentPath ? kRegistryInvalidParameter : kRegistryInvalidHandle;
    }
    if (!HasKey(fullPath)) {
        return kRegistryNotFound;
    }
    *result = NewHandle(fullPath);
    return kRegistrySuccess;
}

int32_t MemoryRegistryStore::CreateKey(RegistryHandle parent, const char* path, RegistryHandle* result) {
    const std::optional<std::string> parentPath = PathOf(parent);
    const std::string fullPath = Join(parentPath.value_or("?"), path ? path : "");
    calls.push_back(std::string("CreateKey ") + fullPath);
    if (const int32_t status = InjectedFailure(Operation::CreateKey); status != kRegistrySuccess) {
        return status;
    }
    if (!parentPath || path == nullptr || result == nullptr) {
        return parentPath ? kRegistryInvalidParameter : kRegistryInvalidHandle;
    }
    AddKey(fullPath);
    *result = NewHandle(fullPath);
    return kRegistrySuccess;
}

int32_t MemoryRegistryStore::QueryValue(RegistryHandle key, const char* name, uint32_t* type, uint8_t* data,
                                        uint32_t* size) {
    calls.push_back(std::string("QueryValue ") + (name ? name : ""));
    if (const int32_t status = InjectedFailure(Operation::QueryValue); status != kRegistrySuccess) {
        return status;
    }
    const std::optional<std::string> keyPath = PathOf(key);
    if (!keyPath || key == kRegistryCurrentUser) {
        return kRegistryInvalidHandle;
    }
    if (name == nullptr || (data != nullptr && size == nullptr)) {
        return kRegistryInvalidParameter;
    }
    const auto& values = keys[*keyPath];
    const auto found = values.find(name);
    if (found == values.end()) {
        return kRegistryNotFound;
    }
    const Value& value = found->second;
    const uint32_t needed = static_cast<uint32_t>(value.data.size());
    if (type != nullptr) {
        *type = value.type;
    }
    if (data != nullptr) {
        if (*size < needed) {
            *size = needed;
            return kRegistryMoreData;
        }
        if (needed > 0) {
            std::memcpy(data, value.data.data(), needed);
        }
    }
    if (size != nullptr) {
        *size = needed;
    }
    return kRegistrySuccess;
}

int32_t MemoryRegistryStore::SetValue(RegistryHandle key, const char* name, uint32_t type, const uint8_t* data,
                                      uint32_t size) {
    calls.push_back(std::string("SetValue ") + (name ? name : ""));
    if (const int32_t status = InjectedFailure(Operation::SetValue); status != kRegistrySuccess) {
        return status;
    }
    const std::optional<std::string> keyPath = PathOf(key);
    if (!keyPath || key == kRegistryCurrentUser) {
        return kRegistryInvalidHandle;
    }
    if (name == nullptr || (data == nullptr && size > 0)) {
        return kRegistryInvalidParameter;
    }
    std::vector<uint8_t> bytes(data, data + size);
    keys[*keyPath][name] = Value{type, bytes};
    writes.push_back(Write{*keyPath, name, type, std::move(bytes)});
    return kRegistrySuccess;
}

int32_t MemoryRegistryStore::CloseKey(RegistryHandle key) {
    const std::optional<std::string> keyPath = PathOf(key);
    calls.push_back(std::string("CloseKey ") + keyPath.value_or("?"));
    if (const int32_t status = InjectedFailure(Operation::CloseKey); status != kRegistrySuccess) {
        return status;
    }
    if (key == kRegistryCurrentUser) {
        return kRegistrySuccess;
    }
    return handles.erase(key) == 1 ? kRegistrySuccess : kRegistryInvalidHandle;
}

void MemoryRegistryStore::FailCall(Operation operation, int occurrence, int32_t status) {
    failures[{operation, occurrence}] = status;
}

void MemoryRegistryStore::AddKey(const std::string& keyPath) {
    // Creating a key creates every key on its way, as the registry does.
    for (size_t end = keyPath.find('\\'); end != std::string::npos; end = keyPath.find('\\', end + 1)) {
        keys[keyPath.substr(0, end)];
    }
    keys[keyPath];
}

void MemoryRegistryStore::PutDword(const std::string& keyPath, const std::string& name, int32_t value) {
    const uint32_t word = static_cast<uint32_t>(value);
    PutRaw(keyPath, name, kRegistryDword,
           {static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8), static_cast<uint8_t>(word >> 16),
            static_cast<uint8_t>(word >> 24)});
}

void MemoryRegistryStore::PutRaw(const std::string& keyPath, const std::string& name, uint32_t type,
                                 std::vector<uint8_t> data) {
    AddKey(keyPath);
    keys[keyPath][name] = Value{type, std::move(data)};
}

bool MemoryRegistryStore::HasKey(const std::string& keyPath) const {
    return keys.count(keyPath) == 1;
}

std::optional<int32_t> MemoryRegistryStore::Dword(const std::string& keyPath, const std::string& name) const {
    const auto key = keys.find(keyPath);
    if (key == keys.end()) {
        return std::nullopt;
    }
    const auto value = key->second.find(name);
    if (value == key->second.end() || value->second.data.size() != 4) {
        return std::nullopt;
    }
    const std::vector<uint8_t>& d = value->second.data;
    return static_cast<int32_t>(static_cast<uint32_t>(d[0]) | static_cast<uint32_t>(d[1]) << 8 |
                                static_cast<uint32_t>(d[2]) << 16 | static_cast<uint32_t>(d[3]) << 24);
}

std::map<std::string, MemoryRegistryStore::Value> MemoryRegistryStore::Values(const std::string& keyPath) const {
    const auto key = keys.find(keyPath);
    return key == keys.end() ? std::map<std::string, Value>() : key->second;
}

std::vector<std::string> MemoryRegistryStore::WrittenNames() const {
    std::vector<std::string> names;
    for (const Write& write : writes) {
        names.push_back(write.name);
    }
    return names;
}

void MemoryRegistryStore::ClearLog() {
    calls.clear();
    writes.clear();
}
