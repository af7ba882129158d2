#include "settings/IniFileStore.h"

#include "settings/IniDocument.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr std::string_view kSoftwarePrefix = "Software\\";

// The Win32 status closest to a failed file-system call.
int32_t StatusFromErrno(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return kRegistryPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return kRegistryAccessDenied;
    case ENOSPC:
    case EDQUOT:
        return kRegistryDiskFull;
    default:
        return kRegistryCannotWrite;
    }
}

// One path component that cannot climb out of its directory or hide as a dot file.
bool IsPlainComponent(std::string_view name) {
    return !name.empty() && name.front() != '.' && name.find('/') == std::string_view::npos &&
           name.find('\\') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

// Whether this process (its effective ids) may use `path` so.
bool Accessible(const std::string& path, int mode) {
    return ::faccessat(AT_FDCWD, path.c_str(), mode, AT_EACCESS) == 0;
}

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Closes a descriptor when it leaves scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    int Get() const { return fd; }
    // Closes now and tells whether the close succeeded (a failed close can lose written data).
    bool Close() {
        const int closing = std::exchange(fd, -1);
        return closing < 0 || ::close(closing) == 0;
    }

private:
    int fd;
};

// mkdir -p with mode 0700, as the XDG base directories ask for.
int32_t MakeDirectories(const std::string& path) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) {
            return StatusFromErrno(errno);
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return StatusFromErrno(errno);
    }
    return S_ISDIR(info.st_mode) ? kRegistrySuccess : kRegistryPathNotFound;
}

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            if (written == 0) {
                errno = EIO;
            }
            return false;
        }
        done += static_cast<size_t>(written);
    }
    return true;
}

bool IsTemporarySuffix(std::string_view suffix) {
    constexpr size_t kTemporarySuffixLength = 6; // the XXXXXX of mkostemp
    if (suffix.size() != kTemporarySuffixLength) {
        return false;
    }
    for (const char c : suffix) {
        const bool alphanumeric = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (!alphanumeric) {
            return false;
        }
    }
    return true;
}

// Removes what writers killed between creating their temporary and renaming it left behind:
// files of this user named <file>.XXXXXX as mkostemp names them, untouched for
// kStaleTemporaryAge. Runs under the directory lock, so no writer of this store can still be
// using one; the age spares the temporary of a writer that takes no lock. Nothing else in
// the directory is touched.
void RemoveStaleTemporaries(const std::string& path) {
    constexpr time_t kStaleTemporaryAge = 10; // [s]
    const std::string directory = DirectoryOf(path);
    const std::string prefix = path.substr(path.rfind('/') + 1) + ".";
    DIR* listing = ::opendir(directory.c_str());
    if (listing == nullptr) {
        return;
    }
    const time_t now = ::time(nullptr);
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name(entry->d_name);
        if (name.substr(0, prefix.size()) != prefix || !IsTemporarySuffix(name.substr(prefix.size()))) {
            continue;
        }
        struct stat info {};
        if (::fstatat(::dirfd(listing), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode) &&
            info.st_uid == ::geteuid() && now - info.st_mtime >= kStaleTemporaryAge) {
            ::unlinkat(::dirfd(listing), entry->d_name, 0);
        }
    }
    ::closedir(listing);
}

void SyncDirectory(const std::string& directory) {
    FileDescriptor fd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Get() >= 0) {
        ::fsync(fd.Get());
    }
}

} // namespace

IniFileStore::IniFileStore(std::string configHome) : configHome(std::move(configHome)) {}

IniFileStore::~IniFileStore() = default;

std::string IniFileStore::DefaultConfigHome() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the base-directory rules say.
    if (xdg != nullptr && xdg[0] == '/') {
        return xdg;
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') {
        return std::string(home) + "/.config";
    }
    struct passwd entry {};
    struct passwd* found = nullptr;
    std::vector<char> buffer(16384);
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
        found->pw_dir != nullptr && found->pw_dir[0] != '\0') {
        return std::string(found->pw_dir) + "/.config";
    }
    return "";
}

void IniFileStore::SetBeforeReplaceHook(std::function<bool()> hook) {
    beforeReplace = std::move(hook);
}

RegistryHandle IniFileStore::Remember(OpenedKey key) {
    const RegistryHandle handle = nextHandle++;
    handles[handle] = std::move(key);
    return handle;
}

const IniFileStore::OpenedKey* IniFileStore::Find(RegistryHandle handle) const {
    const auto found = handles.find(handle);
    return found == handles.end() ? nullptr : &found->second;
}

int32_t IniFileStore::OpenKey(RegistryHandle parent, const char* path, RegistryHandle* result) {
    return Open(parent, path, false, Access::ReadWrite, result);
}

int32_t IniFileStore::OpenKeyForReading(RegistryHandle parent, const char* path, RegistryHandle* result) {
    return Open(parent, path, false, Access::Read, result);
}

int32_t IniFileStore::CreateKey(RegistryHandle parent, const char* path, RegistryHandle* result) {
    return Open(parent, path, true, Access::ReadWrite, result);
}

int32_t IniFileStore::Open(RegistryHandle parent, const char* path, bool create, Access access,
                           RegistryHandle* result) {
    if (path == nullptr || result == nullptr) {
        return kRegistryInvalidParameter;
    }
    if (parent == kRegistryCurrentUser) {
        return OpenProduct(path, create, access, result);
    }
    const OpenedKey* key = Find(parent);
    if (key == nullptr) {
        return kRegistryInvalidHandle;
    }
    if (!key->subKey.empty()) {
        // A subkey is a file: it has no subkeys of its own.
        return create ? kRegistryInvalidParameter : kRegistryNotFound;
    }
    return OpenSubKeyFile(*key, path, create, access, result);
}

int32_t IniFileStore::OpenProduct(const char* path, bool create, Access access, RegistryHandle* result) {
    const std::string_view keyPath(path);
    const std::string_view product =
        keyPath.substr(0, kSoftwarePrefix.size()) == kSoftwarePrefix ? keyPath.substr(kSoftwarePrefix.size()) : "";
    if (!IsPlainComponent(product)) {
        return create ? kRegistryInvalidParameter : kRegistryNotFound;
    }
    if (configHome.empty() || configHome.front() != '/') {
        return create ? kRegistryPathNotFound : kRegistryNotFound;
    }
    const std::string directory = configHome + "/" + std::string(product);
    struct stat info {};
    if (::stat(directory.c_str(), &info) != 0) {
        if (errno != ENOENT && errno != ENOTDIR) {
            return StatusFromErrno(errno);
        }
        if (!create) {
            return kRegistryNotFound;
        }
        if (const int32_t status = MakeDirectories(directory); status != kRegistrySuccess) {
            return status;
        }
    } else if (!S_ISDIR(info.st_mode)) {
        return kRegistryBadDatabase;
    }
    // Reading a file of the directory only needs the right to pass through it.
    if (!Accessible(directory, access == Access::Read ? X_OK : R_OK | W_OK | X_OK)) {
        return kRegistryAccessDenied;
    }
    *result = Remember(OpenedKey{directory, "", access});
    return kRegistrySuccess;
}

int32_t IniFileStore::OpenSubKeyFile(const OpenedKey& product, const char* name, bool create, Access access,
                                     RegistryHandle* result) {
    if (!IsPlainComponent(name)) {
        return create ? kRegistryInvalidParameter : kRegistryNotFound;
    }
    const std::string file = product.directory + "/" + name + ".ini";
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) {
        if (errno != ENOENT) {
            return StatusFromErrno(errno);
        }
        if (!create) {
            return kRegistryNotFound;
        }
        FileDescriptor fd(::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (fd.Get() < 0 && errno != EEXIST) {
            return StatusFromErrno(errno);
        }
        if (!fd.Close()) {
            return StatusFromErrno(errno);
        }
        SyncDirectory(product.directory);
        if (::stat(file.c_str(), &info) != 0) {
            return StatusFromErrno(errno);
        }
    }
    if (!S_ISREG(info.st_mode) || info.st_size > kMaxFileBytes) {
        return kRegistryBadDatabase;
    }
    // Writing replaces the file inside the directory that really holds it.
    char real[PATH_MAX];
    if (::realpath(file.c_str(), real) == nullptr) {
        return StatusFromErrno(errno);
    }
    const bool allowed = access == Access::Read
                             ? Accessible(real, R_OK)
                             : Accessible(real, R_OK | W_OK) && Accessible(DirectoryOf(real), W_OK | X_OK);
    if (!allowed) {
        return kRegistryAccessDenied;
    }
    *result = Remember(OpenedKey{product.directory, name, access});
    return kRegistrySuccess;
}

int32_t IniFileStore::ReadFile(const std::string& path, std::string& text) const {
    // Non-blocking, so that a pipe put in place of the file cannot stall the open.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.Get() < 0) {
        return errno == ENOENT ? kRegistryNotFound : kRegistryBadDatabase;
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMaxFileBytes) {
        return kRegistryBadDatabase;
    }
    // Read at most one byte past the limit, to notice a file that grew meanwhile.
    text.assign(static_cast<size_t>(kMaxFileBytes) + 1, '\0');
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t got = ::read(fd.Get(), text.data() + done, text.size() - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return kRegistryBadDatabase;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<size_t>(got);
    }
    if (done > static_cast<size_t>(kMaxFileBytes)) {
        return kRegistryBadDatabase;
    }
    text.resize(done);
    return kRegistrySuccess;
}

int32_t IniFileStore::QueryValue(RegistryHandle key, const char* name, uint32_t* type, uint8_t* data, uint32_t* size) {
    const OpenedKey* opened = Find(key);
    if (opened == nullptr) {
        return kRegistryInvalidHandle;
    }
    if (name == nullptr || (data != nullptr && size == nullptr)) {
        return kRegistryInvalidParameter;
    }
    if (opened->subKey.empty()) {
        return kRegistryNotFound; // the product directory holds no values of its own
    }
    std::string text;
    if (const int32_t status = ReadFile(opened->directory + "/" + opened->subKey + ".ini", text);
        status != kRegistrySuccess) {
        return status;
    }
    int32_t value = 0;
    switch (IniDocument(text).Find(opened->subKey, name, value)) {
    case IniDocument::Lookup::Missing:
        return kRegistryNotFound;
    case IniDocument::Lookup::NotANumber:
        return kRegistryInvalidData;
    case IniDocument::Lookup::Found:
        break;
    }
    if (type != nullptr) {
        *type = kRegistryDword;
    }
    if (data != nullptr) {
        if (*size < 4) {
            *size = 4;
            return kRegistryMoreData;
        }
        const uint32_t word = static_cast<uint32_t>(value);
        for (int i = 0; i < 4; ++i) {
            data[i] = static_cast<uint8_t>(word >> (8 * i));
        }
    }
    if (size != nullptr) {
        *size = 4;
    }
    return kRegistrySuccess;
}

int32_t IniFileStore::SetValue(RegistryHandle key, const char* name, uint32_t type, const uint8_t* data,
                               uint32_t size) {
    const OpenedKey* opened = Find(key);
    if (opened == nullptr) {
        return kRegistryInvalidHandle;
    }
    if (opened->access == Access::Read) {
        return kRegistryAccessDenied;
    }
    // Only 32-bit numbers have a place in the file, and only under a subkey.
    if (opened->subKey.empty() || name == nullptr || !IniDocument::IsWritableName(name) || type != kRegistryDword ||
        size != 4 || data == nullptr) {
        return kRegistryInvalidParameter;
    }
    uint32_t word = 0;
    for (int i = 0; i < 4; ++i) {
        word |= static_cast<uint32_t>(data[i]) << (8 * i);
    }
    return WriteValue(*opened, name, static_cast<int32_t>(word));
}

int32_t IniFileStore::WriteValue(const OpenedKey& key, const std::string& name, int32_t value) {
    // The lock on the product directory makes the re-read, change and replace of one
    // instance indivisible for every other instance.
    FileDescriptor lock(::open(key.directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (lock.Get() < 0) {
        return StatusFromErrno(errno);
    }
    while (::flock(lock.Get(), LOCK_EX) != 0) {
        if (errno != EINTR) {
            return StatusFromErrno(errno);
        }
    }
    std::string file = key.directory + "/" + key.subKey + ".ini";
    char real[PATH_MAX];
    if (::realpath(file.c_str(), real) != nullptr) {
        file = real; // a link is followed, and the file it names is replaced
    }
    std::string text;
    const int32_t readStatus = ReadFile(file, text);
    if (readStatus != kRegistrySuccess && readStatus != kRegistryNotFound) {
        return readStatus; // never replace a file whose content could not be read
    }
    RemoveStaleTemporaries(file);
    IniDocument document(text);
    document.Set(key.subKey, name, value);
    return ReplaceFile(file, document.Text());
}

int32_t IniFileStore::ReplaceFile(const std::string& path, const std::string& text) {
    const std::string directory = DirectoryOf(path);
    std::string temporary = path + ".XXXXXX";
    FileDescriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.Get() < 0) {
        return StatusFromErrno(errno);
    }
    const auto abandon = [&temporary](int error) {
        ::unlink(temporary.c_str());
        return StatusFromErrno(error);
    };
    struct stat info {};
    const mode_t mode = ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0600;
    if (::fchmod(fd.Get(), mode) != 0 || !WriteAll(fd.Get(), text) || ::fsync(fd.Get()) != 0 || !fd.Close()) {
        return abandon(errno);
    }
    if (beforeReplace && !beforeReplace()) {
        return abandon(EIO);
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        return abandon(errno);
    }
    SyncDirectory(directory);
    return kRegistrySuccess;
}

int32_t IniFileStore::CloseKey(RegistryHandle key) {
    if (key == kRegistryCurrentUser) {
        return kRegistrySuccess;
    }
    return handles.erase(key) == 1 ? kRegistrySuccess : kRegistryInvalidHandle;
}
