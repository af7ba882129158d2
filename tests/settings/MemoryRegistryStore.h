#pragma once

#include "settings/RegistryStore.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// An in-memory RegistryStore for tests. Keys are named by their full path from the user's
// root ("Software\\Zelbin\\Configuration"). It behaves as the registry does, records every
// call and every write, and can be told to fail any single call with a chosen status.
class MemoryRegistryStore : public RegistryStore {
public:
    enum class Operation { OpenKey, CreateKey, QueryValue, SetValue, CloseKey };

    struct Value {
        uint32_t type = 0;
        std::vector<uint8_t> data;
    };

    // One successful SetValue, in call order.
    struct Write {
        std::string keyPath;
        std::string name;
        uint32_t type = 0;
        std::vector<uint8_t> data;
    };

    int32_t OpenKey(RegistryHandle parent, const char* path, RegistryHandle* result) override;
    int32_t CreateKey(RegistryHandle parent, const char* path, RegistryHandle* result) override;
    int32_t QueryValue(RegistryHandle key, const char* name, uint32_t* type, uint8_t* data, uint32_t* size) override;
    int32_t SetValue(RegistryHandle key, const char* name, uint32_t type, const uint8_t* data, uint32_t size) override;
    int32_t CloseKey(RegistryHandle key) override;

    // Makes the `occurrence`-th call (counted from 1 since construction) of `operation` return
    // `status` without doing anything.
    void FailCall(Operation operation, int occurrence, int32_t status);

    // Seeding and inspection, bypassing the call log.
    void AddKey(const std::string& keyPath);
    void PutDword(const std::string& keyPath, const std::string& name, int32_t value);
    void PutRaw(const std::string& keyPath, const std::string& name, uint32_t type, std::vector<uint8_t> data);
    bool HasKey(const std::string& keyPath) const;
    std::optional<int32_t> Dword(const std::string& keyPath, const std::string& name) const;
    std::map<std::string, Value> Values(const std::string& keyPath) const;

    // Every call in order, as "OpenKey Software\\Zelbin", "QueryValue Volume",
    // "CloseKey Software\\Zelbin\\Configuration", ..., failed ones included.
    const std::vector<std::string>& Calls() const { return calls; }
    const std::vector<Write>& Writes() const { return writes; }
    // The names of the successful writes, in order.
    std::vector<std::string> WrittenNames() const;
    size_t OpenHandleCount() const { return handles.size(); }
    void ClearLog();

private:
    int32_t InjectedFailure(Operation operation);
    std::optional<std::string> PathOf(RegistryHandle handle) const;
    RegistryHandle NewHandle(const std::string& keyPath);

    std::map<std::string, std::map<std::string, Value>> keys; // full path -> values
    std::map<RegistryHandle, std::string> handles;
    RegistryHandle nextHandle = 1;
    std::map<Operation, int> callCounts;
    std::map<std::pair<Operation, int>, int32_t> failures;
    std::vector<std::string> calls;
    std::vector<Write> writes;
};
