#pragma once

#include "render/FrameSink.h"

#include <cstdint>
#include <string>
#include <vector>

struct sf_private_tag;
struct SRC_STATE_tag;

// Writes rendered frames to a sound file through libsndfile. The frames are first converted
// to 16-bit PCM exactly as the trainer's sound driver converts them, so a WAV file holds the
// very samples the trainer plays, in the plain 44-byte-header layout, and a FLAC file the
// same samples losslessly. Ogg Vorbis and MP3 are encoded from those samples at 44,100 Hz;
// Opus, which takes no 44,100 Hz input, from those samples resampled to 48,000 Hz.
// Mono files take the left channel (the synthesiser writes the same value to both).
class SoundFileWriter : public FrameSink {
public:
    enum class Type { Wav, Flac, Ogg, Opus, Mp3 };
    struct Options {
        int32_t channels = 2;  // 1 or 2
        double quality = -1.0; // 0 (smallest) to 1 (best) for Ogg, Opus and MP3; below 0: libsndfile's default
    };

    static constexpr const char* kKnownExtensions = ".wav, .flac, .ogg, .opus or .mp3";

    // The type that the file name's extension (any case) names; false for any other name.
    static bool TypeForPath(const std::string& path, Type& type);

    SoundFileWriter() = default;
    SoundFileWriter(const SoundFileWriter&) = delete;
    SoundFileWriter& operator=(const SoundFileWriter&) = delete;
    ~SoundFileWriter() override;

    // Creates or truncates the file. False with a message when the installed libsndfile
    // cannot write this type (nothing is created then) or the file cannot be written.
    bool Open(const std::string& path, Type type, const Options& options, std::string& error);
    bool Write(const StereoFrame* frames, int32_t count) override;
    // Writes what is buffered, finishes the file and closes it.
    bool Close(std::string& error);
    // Why the last Write failed.
    const std::string& WriteError() const { return writeError; }

private:
    static int32_t FileSampleRate(Type type);
    bool SetQuality(double quality, std::string& error);
    bool FlushBuffer(bool lastOne);
    bool WriteFloats(const float* samples, long frameCount);
    long FramesIn(const std::vector<float>& samples) const;
    bool WriteResampled(bool lastOne);
    bool Fail(const std::string& why);
    void Release();

    Type type = Type::Wav;
    int32_t channels = 2;
    int fd = -1;
    sf_private_tag* file = nullptr;
    SRC_STATE_tag* resampler = nullptr; // Opus only
    std::vector<int16_t> buffer;        // interleaved samples not yet written, room for kBufferFrames
    int32_t bufferedFrames = 0;         // [frames] in buffer
    std::vector<float> floatSamples;    // the buffer as floats, for the encoders
    std::vector<float> resampled;       // Opus only: floatSamples at 48 kHz
    uint64_t dataBytes = 0;             // 16-bit samples written so far, in bytes
    std::string writeError;
};
