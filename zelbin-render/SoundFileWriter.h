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
// same samples losslessly. Ogg Vorbis and MP3 are encoded from those samples at their rate;
// Opus too at the rates it takes (8, 12, 16, 24 or 48 kHz), and from those samples resampled
// to 48,000 Hz at any other. Mono files take the left channel (the synthesiser writes the
// same value to both).
//
// libsndfile writes through callbacks of this class, which check every byte: its MP3 encoder
// takes a short write for a warning and goes on, so that a full disk would pass unseen.
// Every failure is told in the system's words ("No space left on device").
class SoundFileWriter : public FrameSink {
public:
    enum class Type { Wav, Flac, Ogg, Opus, Mp3 };
    struct Options {
        int32_t channels = 2;       // 1 or 2
        double quality = -1.0;      // 0 (smallest) to 1 (best) for Ogg, Opus and MP3; below 0: libsndfile's default
        int32_t sampleRate = 44100; // [frames/s] of the frames given to Write
    };

    static constexpr const char* kKnownExtensions = ".wav, .flac, .ogg, .opus or .mp3";

    // The compressed types are made for a phone: one channel at 8000 Hz keeps the tone (100 to
    // 1000 Hz) and a receiver's band of noise around it (up to 4 kHz), and these qualities
    // keep the keying edges clean: the codec adds no energy far from the tone where an element
    // ends, and what it leaves in the silences stays 35 dB or more below the tone. Opus: about
    // 16 kbit/s; MP3: a variable bitrate, whose header lets decoders take out the encoder's
    // delay (at 8000 Hz a constant 16 kbit/s leaves no room for that header).
    static constexpr int32_t kPhoneRate = 8000; // [frames/s]
    static constexpr double kOggQuality = 0.25;
    static constexpr double kOpusQuality = 0.04;
    static constexpr double kMp3Quality = 0.1;
    // WAV and FLAC hold the trainer's own sound (stereo, 44,100 Hz, the quality unused); the
    // compressed types the phone's.
    static Options DefaultOptions(Type type);

    // The type that the file name's extension (any case) names; false for any other name.
    static bool TypeForPath(const std::string& path, Type& type);

    SoundFileWriter() = default;
    SoundFileWriter(const SoundFileWriter&) = delete;
    SoundFileWriter& operator=(const SoundFileWriter&) = delete;
    ~SoundFileWriter() override;

    // Creates or truncates the file. False with a message when the installed libsndfile
    // cannot write this type at this rate (nothing is created then) or the file cannot be
    // written.
    bool Open(const std::string& path, Type type, const Options& options, std::string& error);
    bool Write(const StereoFrame* frames, int32_t count) override;
    // Writes what is buffered, finishes the file, flushes it to the disk and closes it.
    bool Close(std::string& error);
    // Why the last Write failed.
    const std::string& WriteError() const { return writeError; }

    // Whether this build's libsndfile writes files of this type, channels and rate.
    static bool CanWrite(Type type, const Options& options);

private:
    static int32_t FileSampleRate(Type type, int32_t renderRate);
    static int64_t GetLength(void* self);
    static int64_t Seek(int64_t offset, int whence, void* self);
    static int64_t Read(void* to, int64_t count, void* self);
    static int64_t WriteBytes(const void* from, int64_t count, void* self);
    static int64_t Tell(void* self);
    bool IoFailed();
    bool SetQuality(double quality, std::string& error);
    bool FlushBuffer(bool lastOne);
    bool WriteFloats(const float* samples, long frameCount);
    long FramesIn(const std::vector<float>& samples) const;
    bool WriteResampled(bool lastOne);
    bool Fail(const std::string& why);
    void Release();

    Type type = Type::Wav;
    int32_t channels = 2;
    int32_t renderRate = 44100; // [frames/s] of the frames given to Write
    int32_t fileRate = 44100;   // [frames/s] of the file
    int fd = -1;
    int ioErrno = 0; // the first error of a callback
    sf_private_tag* file = nullptr;
    SRC_STATE_tag* resampler = nullptr; // Opus only
    std::vector<int16_t> buffer;        // interleaved samples not yet written, room for kBufferFrames
    int32_t bufferedFrames = 0;         // [frames] in buffer
    std::vector<float> floatSamples;    // the buffer as floats, for the encoders
    std::vector<float> resampled;       // Opus only: floatSamples at 48 kHz
    uint64_t dataBytes = 0;             // 16-bit samples written so far, in bytes
    std::string writeError;
};
