#include "zelbin-render/OutputFile.h"

#include "zelbin-render/Utf8Files.h"

#ifdef _WIN32
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr int kNameTries = 100; // temporary names tried before giving up

std::string Utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

int ProcessId() {
#ifdef _WIN32
    return _getpid();
#else
    return static_cast<int>(getpid());
#endif
}

} // namespace

OutputFile::~OutputFile() {
    Discard();
}

bool OutputFile::Create(const std::string& targetName, std::string& error) {
    target = PathFromUtf8(targetName);
    std::error_code ignored;
    if (fs::is_symlink(fs::symlink_status(target, ignored))) {
        const fs::path resolved = fs::canonical(target, ignored);
        target = ignored ? target : resolved; // a dangling link: its own name is replaced
    }
    const fs::file_type type = fs::status(target, ignored).type();
    if (type == fs::file_type::directory) {
        error = std::strerror(EISDIR);
        return false;
    }
    if (type != fs::file_type::not_found && type != fs::file_type::regular) {
        writePath = Utf8(target); // a device or a pipe: written in place
        return true;
    }
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string stem = "." + Utf8(target.filename()) + "." + std::to_string(ProcessId());
    int savedErrno = 0;
    for (int i = 0; i < kNameTries; ++i) {
        const fs::path candidate = folder / PathFromUtf8(stem + (i == 0 ? "" : "-" + std::to_string(i)) + ".part");
        if (CreateExclusive(candidate, savedErrno)) {
            temporary = candidate;
            break;
        }
        if (savedErrno != EEXIST) {
            break;
        }
    }
    if (temporary.empty()) {
        error = std::strerror(savedErrno);
        return false;
    }
    if (type == fs::file_type::regular) {
        fs::permissions(temporary, fs::status(target, ignored).permissions(), ignored);
    }
    writePath = Utf8(temporary);
    return true;
}

bool OutputFile::Commit(std::string& error) {
    if (temporary.empty()) {
        return true;
    }
    int savedErrno = 0;
    if (!Replace(temporary, target, savedErrno)) {
        error = std::strerror(savedErrno);
        Discard();
        return false;
    }
    temporary.clear();
    return true;
}

void OutputFile::Discard() {
    if (!temporary.empty()) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        temporary.clear();
    }
}

#ifdef _WIN32

bool OutputFile::CreateExclusive(const fs::path& path, int& savedErrno) {
    const int fd = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    savedErrno = errno;
    return fd >= 0 && _close(fd) == 0;
}

// MoveFileEx replaces an existing target, which rename() does not do on Windows.
bool OutputFile::Replace(const fs::path& from, const fs::path& to, int& savedErrno) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    savedErrno = GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
    return false;
}

#else

bool OutputFile::CreateExclusive(const fs::path& path, int& savedErrno) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    savedErrno = errno;
    return fd >= 0 && ::close(fd) == 0;
}

bool OutputFile::Replace(const fs::path& from, const fs::path& to, int& savedErrno) {
    if (std::rename(from.c_str(), to.c_str()) == 0) {
        return true;
    }
    savedErrno = errno;
    return false;
}

#endif
