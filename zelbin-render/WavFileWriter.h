#pragma once

#include "render/FrameSink.h"

#include <cstdint>
#include <cstdio>
#include <string>

// Writes rendered frames to a 16-bit PCM WAV file (44,100 Hz or the rate given, the plain 44-byte header), with
// the sound driver's own PCM conversion. It serves builds that have no libsndfile (the
// Windows build), so it offers the same calls as SoundFileWriter and knows only ".wav".
// The file is opened by its UTF-8 name (the wide-character open on Windows).
class WavFileWriter : public FrameSink {
public:
    enum class Type { Wav };
    struct Options {
        int32_t channels = 2;       // 1 (the left channel) or 2
        double quality = -1.0;      // unused: WAV is lossless
        int32_t sampleRate = 44100; // [frames/s]
    };

    static constexpr const char* kKnownExtensions = ".wav (this build has no libsndfile for other types)";

    // True for a name ending in ".wav", any case, after at least one character of its own.
    static bool TypeForPath(const std::string& path, Type& type);

    WavFileWriter() = default;
    WavFileWriter(const WavFileWriter&) = delete;
    WavFileWriter& operator=(const WavFileWriter&) = delete;
    ~WavFileWriter() override;

    bool Open(const std::string& path, Type type, const Options& options, std::string& error);
    bool Write(const StereoFrame* frames, int32_t count) override;
    // Fills in the sizes of the header, flushes the file to the disk and closes it.
    bool Close(std::string& error);
    static bool CanWrite(Type, const Options&) { return true; }
    // Stereo at 44,100 Hz: the trainer's own sound.
    static Options DefaultOptions(Type) { return {}; }
    const std::string& WriteError() const { return writeError; }

private:
    bool WriteHeader(uint32_t dataBytes);

    std::FILE* file = nullptr;
    int32_t channels = 2;
    uint32_t sampleRate = 44100; // [frames/s]
    uint64_t dataBytes = 0;      // [bytes] of samples written so far
    std::string writeError;
};
