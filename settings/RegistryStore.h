#pragma once

#include <cstdint>

// A handle of an open key in a RegistryStore. 0 is never a valid handle.
using RegistryHandle = std::uintptr_t;

// The predefined root of the current user's keys (HKEY_CURRENT_USER). Always open; each
// store maps it to its own notion of the user's root.
constexpr RegistryHandle kRegistryCurrentUser = 0x80000001u;

// Status codes: those of the Win32 registry calls, so that every store speaks the same way.
constexpr int32_t kRegistrySuccess = 0;           // ERROR_SUCCESS
constexpr int32_t kRegistryNotFound = 2;          // ERROR_FILE_NOT_FOUND: key or value missing
constexpr int32_t kRegistryPathNotFound = 3;      // ERROR_PATH_NOT_FOUND: no place for the key
constexpr int32_t kRegistryAccessDenied = 5;      // ERROR_ACCESS_DENIED
constexpr int32_t kRegistryInvalidHandle = 6;     // ERROR_INVALID_HANDLE
constexpr int32_t kRegistryInvalidData = 13;      // ERROR_INVALID_DATA: a stored value is unreadable
constexpr int32_t kRegistryInvalidParameter = 87; // ERROR_INVALID_PARAMETER
constexpr int32_t kRegistryDiskFull = 112;        // ERROR_DISK_FULL
constexpr int32_t kRegistryMoreData = 234;        // ERROR_MORE_DATA: the caller's buffer is too small
constexpr int32_t kRegistryBadDatabase = 1009;    // ERROR_BADDB: the store cannot be read
constexpr int32_t kRegistryCannotWrite = 1013;    // ERROR_CANTWRITE

// Value types. The settings use only REG_DWORD: 4 bytes, a little-endian signed 32-bit integer.
constexpr uint32_t kRegistryDword = 4; // REG_DWORD

// The per-user key/value store under RegistryKey, shaped after the Win32 registry calls.
// Every operation returns a status (kRegistrySuccess or a non-zero code) and changes its
// out-arguments only as documented. Keys are opened for reading and writing, except by
// OpenKeyForReading.
class RegistryStore {
public:
    virtual ~RegistryStore() = default;

    // Opens the existing key `path` under `parent` (a root or an open key) into *result.
    // kRegistryNotFound when the key does not exist.
    virtual int32_t OpenKey(RegistryHandle parent, const char* path, RegistryHandle* result) = 0;
    // Opens the existing key `path` under `parent` for reading only, so that a key the user
    // may read but not change can still be read; SetValue on the handle fails
    // (kRegistryAccessDenied). A store whose keys can always be written opens them as OpenKey.
    virtual int32_t OpenKeyForReading(RegistryHandle parent, const char* path, RegistryHandle* result) {
        return OpenKey(parent, path, result);
    }
    // Opens `path` under `parent`, creating it (and any missing keys on the way) first.
    virtual int32_t CreateKey(RegistryHandle parent, const char* path, RegistryHandle* result) = 0;
    // Reads value `name` of `key`. *type (when type is not null) receives its type. When
    // data is null only *size is set to the value's size. Otherwise *size is the capacity of
    // data on entry: a larger value gives kRegistryMoreData, sets *size to the size needed and
    // writes nothing; a value that fits is copied and *size becomes its size. No store ever
    // writes more than *size bytes into data.
    virtual int32_t QueryValue(RegistryHandle key, const char* name, uint32_t* type, uint8_t* data, uint32_t* size) = 0;
    // Stores `size` bytes of `data` as value `name` of `key` with the given type.
    virtual int32_t SetValue(RegistryHandle key, const char* name, uint32_t type, const uint8_t* data,
                             uint32_t size) = 0;
    // Closes a handle returned by OpenKey or CreateKey.
    virtual int32_t CloseKey(RegistryHandle key) = 0;
};
