#include "zelbin-render/SoundFileWriter.h"

#include "audio/PcmConversion.h"

#include <samplerate.h>
#include <sndfile.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <iterator>

namespace {

constexpr int32_t kOpusRate = 48000;                      // [frames/s] Opus files of other rates are resampled to
constexpr int32_t kBufferFrames = 4096;                   // [frames] gathered before each write
constexpr float kPcmToFloat = 1.0f / 32768;               // libsndfile's scale for 16-bit samples
constexpr uint64_t kMaxWavDataBytes = 0xFFFFFFFFull - 36; // RIFF size field limit

struct Extension {
    const char* name;
    SoundFileWriter::Type type;
};

constexpr Extension kExtensions[] = {
    {".wav", SoundFileWriter::Type::Wav}, {".flac", SoundFileWriter::Type::Flac},
    {".ogg", SoundFileWriter::Type::Ogg}, {".opus", SoundFileWriter::Type::Opus},
    {".mp3", SoundFileWriter::Type::Mp3},
};

int FormatOf(SoundFileWriter::Type type) {
    switch (type) {
    case SoundFileWriter::Type::Wav:
        return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    case SoundFileWriter::Type::Flac:
        return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    case SoundFileWriter::Type::Ogg:
        return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    case SoundFileWriter::Type::Opus:
        return SF_FORMAT_OGG | SF_FORMAT_OPUS;
    case SoundFileWriter::Type::Mp3:
        return SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III; // libsndfile checks at run time that it can
    }
    return 0;
}

bool IsLossy(SoundFileWriter::Type type) {
    return type == SoundFileWriter::Type::Ogg || type == SoundFileWriter::Type::Opus ||
           type == SoundFileWriter::Type::Mp3;
}

std::string Lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

bool SoundFileWriter::TypeForPath(const std::string& path, Type& type) {
    const std::string lowered = Lowered(path);
    for (const Extension& extension : kExtensions) {
        const size_t length = std::strlen(extension.name);
        const bool hasName = lowered.size() > length && lowered[lowered.size() - length - 1] != '/';
        if (hasName && lowered.compare(lowered.size() - length, length, extension.name) == 0) {
            type = extension.type;
            return true;
        }
    }
    return false;
}

SoundFileWriter::~SoundFileWriter() {
    Release();
}

SoundFileWriter::Options SoundFileWriter::DefaultOptions(Type type) {
    switch (type) {
    case Type::Ogg:
        return {1, kOggQuality, kPhoneRate};
    case Type::Opus:
        return {1, kOpusQuality, kPhoneRate};
    case Type::Mp3:
        return {1, kMp3Quality, kPhoneRate};
    default:
        return {};
    }
}

// Opus takes a few rates only; frames at any other are resampled to 48 kHz.
int32_t SoundFileWriter::FileSampleRate(Type type, int32_t renderRate) {
    if (type != Type::Opus) {
        return renderRate;
    }
    for (const int32_t opusRate : {8000, 12000, 16000, 24000, 48000}) {
        if (renderRate == opusRate) {
            return renderRate;
        }
    }
    return kOpusRate;
}

// sf_format_check passes MP3 at any rate; the encoder then refuses the rates MPEG audio has
// not (and libsndfile 1.2 leaks it), so they are refused here first.
bool SoundFileWriter::CanWrite(Type type, const Options& options) {
    constexpr int32_t kMp3Rates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
    if (type == Type::Mp3 &&
        std::find(std::begin(kMp3Rates), std::end(kMp3Rates), options.sampleRate) == std::end(kMp3Rates)) {
        return false;
    }
    SF_INFO info{};
    info.samplerate = FileSampleRate(type, options.sampleRate);
    info.channels = options.channels;
    info.format = FormatOf(type);
    return info.format != 0 && sf_format_check(&info) != 0;
}

bool SoundFileWriter::Open(const std::string& path, Type fileType, const Options& options, std::string& error) {
    type = fileType;
    channels = options.channels;
    renderRate = options.sampleRate;
    fileRate = FileSampleRate(type, renderRate);
    SF_INFO info{};
    info.samplerate = fileRate;
    info.channels = channels;
    info.format = FormatOf(type);
    if (!CanWrite(type, options)) {
        error = "this build of libsndfile cannot write such files at " + std::to_string(renderRate) + " Hz";
        return false;
    }
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    SF_VIRTUAL_IO io{&GetLength, &Seek, &Read, &WriteBytes, &Tell};
    file = sf_open_virtual(&io, SFM_WRITE, &info, this);
    if (file == nullptr) {
        error = ioErrno != 0 ? std::strerror(ioErrno) : sf_strerror(nullptr);
        Release();
        return false;
    }
    if (type == Type::Opus && fileRate != renderRate) {
        int status = 0;
        resampler = src_new(SRC_SINC_MEDIUM_QUALITY, channels, &status);
        if (resampler == nullptr) {
            error = src_strerror(status);
            Release();
            return false;
        }
    }
    if (options.quality >= 0.0 && IsLossy(type) && !SetQuality(options.quality, error)) {
        Release();
        return false;
    }
    buffer.assign(static_cast<size_t>(kBufferFrames * channels), 0);
    bufferedFrames = 0;
    return true;
}

// ---- The file's callbacks for libsndfile: every byte is checked, and the first error kept ----

int64_t SoundFileWriter::GetLength(void* self) {
    struct stat status {};
    return fstat(static_cast<SoundFileWriter*>(self)->fd, &status) == 0 ? status.st_size : -1;
}

int64_t SoundFileWriter::Seek(int64_t offset, int whence, void* self) {
    auto* writer = static_cast<SoundFileWriter*>(self);
    const off_t at = lseek(writer->fd, static_cast<off_t>(offset), whence);
    if (at < 0 && writer->ioErrno == 0) {
        writer->ioErrno = errno;
    }
    return at;
}

int64_t SoundFileWriter::Read(void* to, int64_t count, void* self) {
    const ssize_t got = ::read(static_cast<SoundFileWriter*>(self)->fd, to, static_cast<size_t>(count));
    return got < 0 ? 0 : got;
}

int64_t SoundFileWriter::WriteBytes(const void* from, int64_t count, void* self) {
    auto* writer = static_cast<SoundFileWriter*>(self);
    const auto* bytes = static_cast<const char*>(from);
    int64_t done = 0;
    while (done < count && writer->ioErrno == 0) {
        const ssize_t put = ::write(writer->fd, bytes + done, static_cast<size_t>(count - done));
        if (put > 0) {
            done += put;
        } else if (put < 0 && errno != EINTR) {
            writer->ioErrno = errno;
        } else if (put == 0) {
            writer->ioErrno = EIO;
        }
    }
    return done;
}

int64_t SoundFileWriter::Tell(void* self) {
    return lseek(static_cast<SoundFileWriter*>(self)->fd, 0, SEEK_CUR);
}

// True, with the reason kept, once a callback has failed.
bool SoundFileWriter::IoFailed() {
    if (ioErrno == 0) {
        return false;
    }
    writeError = std::strerror(ioErrno);
    return true;
}

// libsndfile's compression level runs the other way: 0 is the best quality. Its MP3 encoder
// refuses the level 1 itself, so MP3 files stop just short of it.
bool SoundFileWriter::SetQuality(double quality, std::string& error) {
    constexpr double kMaxMp3Level = 0.99;
    double level = 1.0 - quality;
    if (type == Type::Mp3) {
        level = std::min(level, kMaxMp3Level);
    }
    if (sf_command(file, SFC_SET_COMPRESSION_LEVEL, &level, sizeof(level)) != SF_TRUE) {
        error = "this build of libsndfile cannot set the quality of such files";
        return false;
    }
    return true;
}

bool SoundFileWriter::Write(const StereoFrame* frames, int32_t count) {
    if (file == nullptr) {
        return Fail("the file is not open");
    }
    uint32_t words[kBufferFrames];
    while (count > 0) {
        const int32_t chunk = std::min(count, kBufferFrames - bufferedFrames);
        ConvertToPcm16(frames, words, chunk);
        int16_t* to = buffer.data() + static_cast<ptrdiff_t>(bufferedFrames) * channels;
        if (channels == 2) {
            for (int32_t i = 0; i < chunk; ++i) {
                to[2 * i] = static_cast<int16_t>(words[i] & 0xFFFFu); // left
                to[2 * i + 1] = static_cast<int16_t>(words[i] >> 16); // right
            }
        } else {
            for (int32_t i = 0; i < chunk; ++i) {
                to[i] = static_cast<int16_t>(words[i] & 0xFFFFu);
            }
        }
        bufferedFrames += chunk;
        dataBytes += static_cast<uint64_t>(chunk) * static_cast<uint64_t>(channels) * 2u;
        if (type == Type::Wav && dataBytes > kMaxWavDataBytes) {
            return Fail("the sound is too long for a WAV file");
        }
        if (bufferedFrames == kBufferFrames && !FlushBuffer(false)) {
            return false;
        }
        frames += chunk;
        count -= chunk;
    }
    return true;
}

// WAV and FLAC take the 16-bit samples as they are. The encoders take them as floats: that is
// what they work on anyway, and libsndfile 1.2's MP3 encoder garbles stereo 16-bit input.
bool SoundFileWriter::FlushBuffer(bool lastOne) {
    const auto sampleCount = static_cast<size_t>(bufferedFrames) * static_cast<size_t>(channels);
    const int32_t frameCount = bufferedFrames;
    bufferedFrames = 0;
    if (IsLossy(type)) {
        floatSamples.resize(sampleCount);
        std::transform(buffer.begin(), buffer.begin() + static_cast<ptrdiff_t>(sampleCount), floatSamples.begin(),
                       [](int16_t sample) { return static_cast<float>(sample) * kPcmToFloat; });
        return resampler != nullptr ? WriteResampled(lastOne) : WriteFloats(floatSamples.data(), frameCount);
    }
    const sf_count_t written = sf_writef_short(file, buffer.data(), frameCount);
    if (IoFailed()) {
        return false;
    }
    return written == frameCount || Fail(sf_strerror(file));
}

bool SoundFileWriter::WriteFloats(const float* samples, long frameCount) {
    const sf_count_t written = frameCount > 0 ? sf_writef_float(file, samples, frameCount) : 0;
    if (IoFailed()) {
        return false;
    }
    return (written == frameCount && sf_error(file) == SF_ERR_NO_ERROR) || Fail(sf_strerror(file));
}

long SoundFileWriter::FramesIn(const std::vector<float>& samples) const {
    return static_cast<long>(samples.size() / static_cast<size_t>(channels));
}

// Resamples floatSamples to 48 kHz and writes them; the last call also drains what the
// resampler still holds.
bool SoundFileWriter::WriteResampled(bool lastOne) {
    resampled.resize(static_cast<size_t>(kBufferFrames * 2 * channels));
    SRC_DATA data{};
    data.data_in = floatSamples.data();
    data.input_frames = FramesIn(floatSamples);
    data.src_ratio = static_cast<double>(fileRate) / renderRate;
    data.end_of_input = lastOne ? 1 : 0;
    do {
        data.data_out = resampled.data();
        data.output_frames = kBufferFrames * 2;
        const int status = src_process(resampler, &data);
        if (status != 0) {
            return Fail(src_strerror(status));
        }
        if (!WriteFloats(resampled.data(), data.output_frames_gen)) {
            return false;
        }
        data.data_in += data.input_frames_used * channels;
        data.input_frames -= data.input_frames_used;
    } while (data.input_frames > 0 || (lastOne && data.output_frames_gen > 0));
    return true;
}

// The encoders write their last frames and the headers their sizes at sf_close; fsync then
// brings out what the disk could not take (a full disk, a quota), and close what a network
// file system reports last.
bool SoundFileWriter::Close(std::string& error) {
    if (file == nullptr) {
        error = writeError.empty() ? "the file is not open" : writeError;
        return false;
    }
    bool ok = FlushBuffer(true);
    const int closeStatus = sf_close(file);
    file = nullptr;
    if (ok && !IoFailed() && closeStatus != 0) {
        writeError = sf_error_number(closeStatus);
    }
    ok = ok && ioErrno == 0 && closeStatus == 0;
    struct stat status {};
    const bool regular = fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    if (ok && regular && fsync(fd) != 0) {
        ok = Fail(std::strerror(errno));
    }
    const int fdStatus = ::close(fd);
    fd = -1;
    if (ok && fdStatus != 0) {
        ok = Fail(std::strerror(errno));
    }
    Release();
    error = writeError;
    return ok;
}

bool SoundFileWriter::Fail(const std::string& why) {
    writeError = why;
    return false;
}

void SoundFileWriter::Release() {
    if (file != nullptr) {
        sf_close(file);
        file = nullptr;
    }
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
    if (resampler != nullptr) {
        src_delete(resampler);
        resampler = nullptr;
    }
}
