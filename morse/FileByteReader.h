#pragma once

#include <cstdint>
#include <filesystem>

// The one-byte read of the file dictation. Nothing stays open between two reads: each call
// opens the file, seeks to the offset, reads one byte and closes the file again, so the
// user may edit, replace or delete the file while a dictation runs.
//
// The file is read as a DOS-style text file: the byte 0x1A (Ctrl-Z) ends the file on every
// platform. Line ends are not translated, so CR and LF each give a byte of their own.
//
// The path is a std::filesystem::path of any length, so that long paths and names that are
// not ASCII (UTF-8 on Linux, UTF-16 on Windows) open as they are.
class FileByteReader {
public:
    enum class Status {
        Byte,       // byte holds the byte read at the offset
        EndOfFile,  // the offset is at or past the end, or the byte there is 0x1A
        OpenFailed, // the file could not be opened or read (missing, no permission), or the
                    // path names no regular file (a folder, a FIFO, a device)
    };

    struct Result {
        Status status;
        unsigned char byte; // valid when status is Byte
    };

    // Up to kMaxBytes bytes from one offset: enough for any UTF-8 character.
    static constexpr int32_t kMaxBytes = 4;
    struct Bytes {
        Status status;
        unsigned char bytes[kMaxBytes]; // the first `count` are valid when status is Byte
        int32_t count;                  // 1 to kMaxBytes when status is Byte
    };

    static constexpr unsigned char kTextEnd = 0x1A; // Ctrl-Z, end of a text file

    // offset [bytes] from the start of the file; a negative offset counts as a failed open.
    static Result ReadByteAt(const std::filesystem::path& path, int64_t offset);
    // The same read of the byte at offset and of those after it, up to kMaxBytes, the end of
    // the file or a Ctrl-Z, whichever comes first.
    static Bytes ReadBytesAt(const std::filesystem::path& path, int64_t offset);
};
