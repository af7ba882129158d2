#pragma once

#include "settings/RegistryStore.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>

// The per-user store on systems without a registry: files under the XDG configuration
// directory.
//
// - The key "Software\<Product>" under the current user is the directory
//   <config home>/<Product>; creating it creates its missing parents (mode 0700).
// - A subkey <Name> of that key is the file <Name>.ini in the directory, and its values are
//   the `Name=value` lines of section [<Name>], each value a signed 32-bit decimal number.
//   Creating the subkey creates the file empty.
// - Keys are opened for reading and writing: a directory or file that cannot be written
//   cannot be opened (kRegistryAccessDenied). OpenKeyForReading needs only the right to
//   read the file (and to pass through the directory), and its handles refuse every write.
// - Every write holds an exclusive lock on the directory, re-reads the file, changes only
//   the line of its value (all other lines are kept byte for byte), writes the result to a
//   temporary file in the same directory, flushes it to disk and renames it over the file.
//   An interrupted write leaves the previous file whole; the temporary file that a writer
//   killed before its rename leaves behind is removed by a later write once it is 10 s old.
// - A value that is not a signed 32-bit decimal number is unreadable (kRegistryInvalidData).
//   A file larger than kMaxFileBytes, or one that cannot be read, holds no values and is
//   never written (kRegistryBadDatabase).
class IniFileStore : public RegistryStore {
public:
    static constexpr long kMaxFileBytes = 1 << 20; // [bytes]

    // configHome: the directory that holds the product directories, e.g. ~/.config.
    explicit IniFileStore(std::string configHome);
    ~IniFileStore() override;

    // $XDG_CONFIG_HOME when it is set to an absolute path, else $HOME/.config (the home
    // directory of the user's account entry when HOME is unset or empty); "" when neither
    // is known.
    static std::string DefaultConfigHome();

    int32_t OpenKey(RegistryHandle parent, const char* path, RegistryHandle* result) override;
    int32_t OpenKeyForReading(RegistryHandle parent, const char* path, RegistryHandle* result) override;
    int32_t CreateKey(RegistryHandle parent, const char* path, RegistryHandle* result) override;
    int32_t QueryValue(RegistryHandle key, const char* name, uint32_t* type, uint8_t* data, uint32_t* size) override;
    int32_t SetValue(RegistryHandle key, const char* name, uint32_t type, const uint8_t* data, uint32_t size) override;
    int32_t CloseKey(RegistryHandle key) override;

    // Test seam: called during every write after the temporary file is complete and flushed,
    // just before it replaces the file. Returning false abandons the write as a failure at
    // that point would: the temporary file is removed and the file is left as it was.
    void SetBeforeReplaceHook(std::function<bool()> hook);

private:
    enum class Access { ReadWrite, Read };

    struct OpenedKey {
        std::string directory; // the product directory
        std::string subKey;    // empty for the product key itself; else the section name
        Access access = Access::ReadWrite;
    };

    int32_t Open(RegistryHandle parent, const char* path, bool create, Access access, RegistryHandle* result);
    int32_t OpenProduct(const char* path, bool create, Access access, RegistryHandle* result);
    int32_t OpenSubKeyFile(const OpenedKey& product, const char* name, bool create, Access access,
                           RegistryHandle* result);
    int32_t ReadFile(const std::string& path, std::string& text) const;
    int32_t WriteValue(const OpenedKey& key, const std::string& name, int32_t value);
    int32_t ReplaceFile(const std::string& path, const std::string& text);
    RegistryHandle Remember(OpenedKey key);
    const OpenedKey* Find(RegistryHandle handle) const;

    std::string configHome;
    std::map<RegistryHandle, OpenedKey> handles;
    RegistryHandle nextHandle = 1;
    std::function<bool()> beforeReplace;
};
