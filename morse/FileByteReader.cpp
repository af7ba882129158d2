#include "morse/FileByteReader.h"

#include <cstdio>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Opens a regular file only. Anything else (a folder, a FIFO, a device) gives null, and never
// blocks: a FIFO is opened without waiting for a writer and closed again at once.
std::FILE* OpenForReading(const std::filesystem::path& path) {
#ifdef _WIN32
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return nullptr;
    }
    return _wfopen(path.c_str(), L"rb");
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
    if (offset < 0 || path.empty()) {
        return {Status::OpenFailed, 0};
    }
    std::FILE* file = OpenForReading(path);
    if (file == nullptr) {
        return {Status::OpenFailed, 0};
    }
    Result result{Status::OpenFailed, 0};
    if (SeekFromStart(file, offset)) {
        const int value = std::fgetc(file);
        if (value != EOF) {
            const auto byte = static_cast<unsigned char>(value);
            result = byte == kTextEnd ? Result{Status::EndOfFile, 0} : Result{Status::Byte, byte};
        } else if (!std::ferror(file)) {
            result = {Status::EndOfFile, 0};
        }
        // A read error (a folder opened by name, an I/O fault) stays OpenFailed: the caller
        // tries the same offset again later instead of taking it for the end of the file.
    }
    std::fclose(file);
    return result;
}
