#include "zelbin-render/WavFileWriter.h"

#include "audio/PcmConversion.h"
#include "zelbin-render/Utf8Files.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

namespace {

constexpr uint32_t kHeaderBytes = 44;                  // [bytes]
constexpr uint64_t kMaxDataBytes = 0xFFFFFFFFull - 36; // RIFF size field limit
constexpr int32_t kChunkFrames = 1024;                 // [frames] converted at a time

void PutLe16(unsigned char* at, uint32_t value) {
    at[0] = static_cast<unsigned char>(value & 0xFFu);
    at[1] = static_cast<unsigned char>((value >> 8) & 0xFFu);
}

void PutLe32(unsigned char* at, uint32_t value) {
    PutLe16(at, value & 0xFFFFu);
    PutLe16(at + 2, value >> 16);
}

bool FlushToDisk(std::FILE* file) {
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0 || errno == EINVAL; // EINVAL: a device or a pipe
#endif
}

} // namespace

bool WavFileWriter::TypeForPath(const std::string& path, Type& type) {
    constexpr const char* kWav = ".wav";
    // ".wav" alone, or right after a folder separator, is a hidden name without an extension.
    if (path.size() <= 4 || path[path.size() - 5] == '/' || path[path.size() - 5] == '\\') {
        return false;
    }
    std::string tail = path.substr(path.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    type = Type::Wav;
    return tail == kWav;
}

WavFileWriter::~WavFileWriter() {
    if (file != nullptr) {
        std::fclose(file);
    }
}

bool WavFileWriter::Open(const std::string& path, Type, const Options& options, std::string& error) {
    channels = options.channels == 1 ? 1 : 2;
    sampleRate = static_cast<uint32_t>(options.sampleRate);
    file = OpenUtf8(path, "wb");
    if (file == nullptr || !WriteHeader(0)) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

bool WavFileWriter::Write(const StereoFrame* frames, int32_t count) {
    uint32_t words[kChunkFrames];
    unsigned char bytes[kChunkFrames * 4];
    while (count > 0) {
        const int32_t chunk = std::min(count, kChunkFrames);
        ConvertToPcm16(frames, words, chunk);
        size_t size = 0;
        for (int32_t i = 0; i < chunk; ++i) {
            if (channels == 1) {
                PutLe16(bytes + size, words[i] & 0xFFFFu); // the left channel
                size += 2;
            } else {
                PutLe32(bytes + size, words[i]);
                size += 4;
            }
        }
        dataBytes += size;
        if (dataBytes > kMaxDataBytes) {
            writeError = "the WAV file would pass 4 GiB";
            return false;
        }
        if (std::fwrite(bytes, 1, size, file) != size) {
            writeError = std::strerror(errno);
            return false;
        }
        frames += chunk;
        count -= chunk;
    }
    return true;
}

// Every write is checked; fflush and the flush to the disk bring out what the disk could not
// take, before the file is called complete.
bool WavFileWriter::Close(std::string& error) {
    const bool ok = std::fseek(file, 0, SEEK_SET) == 0 && WriteHeader(static_cast<uint32_t>(dataBytes)) &&
                    std::fflush(file) == 0 && FlushToDisk(file);
    const int savedErrno = errno;
    const bool closed = std::fclose(file) == 0;
    file = nullptr;
    if (!ok || !closed) {
        error = std::strerror(ok ? errno : savedErrno);
    }
    return ok && closed;
}

bool WavFileWriter::WriteHeader(uint32_t dataSize) {
    const uint32_t blockAlign = 2 * static_cast<uint32_t>(channels); // [bytes] per frame
    unsigned char header[kHeaderBytes] = {};
    std::memcpy(header, "RIFF", 4);
    PutLe32(header + 4, 36 + dataSize);
    std::memcpy(header + 8, "WAVEfmt ", 8);
    PutLe32(header + 16, 16); // fmt chunk size
    PutLe16(header + 20, 1);  // PCM
    PutLe16(header + 22, static_cast<uint32_t>(channels));
    PutLe32(header + 24, sampleRate);              // frames per second
    PutLe32(header + 28, sampleRate * blockAlign); // bytes per second
    PutLe16(header + 32, blockAlign);
    PutLe16(header + 34, 16); // bits per sample
    std::memcpy(header + 36, "data", 4);
    PutLe32(header + 40, dataSize);
    return std::fwrite(header, 1, kHeaderBytes, file) == kHeaderBytes;
}
