#include "morse/FileByteReader.h"

#include <cstdio>

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

std::FILE* OpenForReading(const std::filesystem::path& path) {
#ifdef _WIN32
    return _wfopen(OpenName(path).c_str(), L"rb");
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
