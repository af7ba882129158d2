#include "morse/FileByteReader.h"

#include <cstdio>

namespace {

std::FILE* OpenForReading(const std::filesystem::path& path) {
#ifdef _WIN32
    return _wfopen(path.c_str(), L"rb");
#else
    return std::fopen(path.c_str(), "rb");
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
