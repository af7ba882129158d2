#include "morse/FileByteReader.h"

#include <cstdio>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
// A name of MAX_PATH (260) characters or more opens only in its extended-length form
// ("\\?\C:\...", "\\?\UNC\server\share\..."), which Windows takes without that limit
// unless long paths are enabled for the whole system. The form is taken literally, so it is
// built from the absolute path with its "." and ".." resolved and backslashes only.
std::wstring OpenName(const std::filesystem::path& path) {
    constexpr size_t kMaxPathChars = 260;
    const std::wstring extendedPrefix = L"\\\\?\\";
    std::wstring name = path.wstring();
    if (name.size() < kMaxPathChars || name.starts_with(extendedPrefix)) {
        return name;
    }
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error) {
        return name;
    }
    const std::wstring full = absolute.lexically_normal().make_preferred().wstring();
    if (full.starts_with(L"\\\\")) {
        return extendedPrefix + L"UNC\\" + full.substr(2);
    }
    return extendedPrefix + full;
}
#endif

// Opens a regular file only. Anything else (a folder, a FIFO, a device) gives null, and never
// blocks: a FIFO is opened without waiting for a writer and closed again at once.
std::FILE* OpenForReading(const std::filesystem::path& path) {
#ifdef _WIN32
    std::error_code error;
    if (!std::filesystem::is_regular_file(OpenName(path), error)) {
        return nullptr;
    }
    return _wfopen(OpenName(path).c_str(), L"rb");
#else
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, "rb");
    if (file == nullptr) {
        ::close(fd);
    }
    return file;
#endif
}

bool SeekFromStart(std::FILE* file, int64_t offset) {
#ifdef _WIN32
    return _fseeki64(file, offset, SEEK_SET) == 0;
#else
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

} // namespace

FileByteReader::Result FileByteReader::ReadByteAt(const std::filesystem::path& path, int64_t offset) {
    const Bytes read = ReadBytesAt(path, offset);
    return {read.status, read.status == Status::Byte ? read.bytes[0] : static_cast<unsigned char>(0)};
}

FileByteReader::Bytes FileByteReader::ReadBytesAt(const std::filesystem::path& path, int64_t offset) {
    Bytes result{Status::OpenFailed, {}, 0};
    if (offset < 0 || path.empty()) {
        return result;
    }
    std::FILE* file = OpenForReading(path);
    if (file == nullptr) {
        return result;
    }
    if (SeekFromStart(file, offset)) {
        int value = 0;
        while (result.count < kMaxBytes && (value = std::fgetc(file)) != EOF && value != kTextEnd) {
            result.bytes[result.count++] = static_cast<unsigned char>(value);
        }
        // A read error (a folder opened by name, an I/O fault) before the first byte stays
        // OpenFailed: the caller tries the same offset again later instead of taking it for
        // the end of the file.
        if (result.count > 0) {
            result.status = Status::Byte;
        } else if (value == kTextEnd || !std::ferror(file)) {
            result.status = Status::EndOfFile;
        }
    }
    std::fclose(file);
    return result;
}
