// zelbin-render: writes the Morse code of a text to a WAV file (44100 Hz, 16-bit stereo),
// through the trainer's own synthesiser and PCM conversion, so that it can be heard and
// checked without the trainer's window or a sound card.

#include "audio/PcmConversion.h"
#include "morse/MorseTable.h"
#include "morse/Synthesiser.h"
#include "tools/Utf8Files.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int32_t kSampleRate = 44100; // [frames/s]
constexpr int32_t kBlockFrames = 512;  // [frames] per callback, as the sound driver asks
constexpr int kExitOk = 0;
constexpr int kExitFailure = 2;

struct Options {
    float frequency = 440.0f; // [Hz]
    int32_t dihMs = 100;
    int32_t dahMs = 300;
    int32_t pauseMs = 100; // between the elements of a character
    int32_t gapMs = 300;   // between characters
    float volume = 0.3f;
    bool noise = false;
    bool help = false;
    std::string text;
    std::string outputPath;
};

void PrintUsage(FILE* stream) {
    std::fprintf(stream, "Usage: zelbin-render [OPTIONS] TEXT OUT.wav\n"
                         "Writes the Morse code of TEXT to OUT.wav (44100 Hz, 16-bit stereo PCM).\n"
                         "Letters (either case) and digits are played in Morse; any other character is\n"
                         "a silent interval as long as the gap. Characters are separated by the gap.\n"
                         "\n"
                         "  --freq HZ     tone frequency, 100 to 1000 (default 440)\n"
                         "  --dih MS      length of a dih, 10 to 1000 (default 100)\n"
                         "  --dah MS      length of a dah, 10 to 1000 (default 300)\n"
                         "  --pause MS    silence between the elements of a character, 10 to 1000 (default 100)\n"
                         "  --gap MS      silence between characters, 0 to 60000 (default 300)\n"
                         "  --volume V    gain, 0 to 1 (default 0.3)\n"
                         "  --noise       add the trainer's background noise\n"
                         "  --help        show this text\n"
                         "\n"
                         "Exit status: 0 on success, 2 on a bad argument or a file that cannot be written.\n");
}

bool ParseFloat(const std::string& text, float low, float high, float& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const double parsed = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(parsed) || parsed < low || parsed > high) {
        return false;
    }
    value = static_cast<float>(parsed);
    return true;
}

bool ParseMs(const std::string& text, int32_t low, int32_t high, int32_t& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high) {
        return false;
    }
    value = static_cast<int32_t>(parsed);
    return true;
}

// Applies one option that takes a value. Returns false with a message for a bad value or an
// unknown option.
bool ApplyOption(const std::string& name, const std::string& value, Options& options, std::string& error) {
    bool ok = false;
    const char* range = "";
    if (name == "--freq") {
        ok = ParseFloat(value, 100.0f, 1000.0f, options.frequency);
        range = "a frequency from 100 to 1000 Hz";
    } else if (name == "--dih" || name == "--dah" || name == "--pause") {
        int32_t& target = name == "--dih" ? options.dihMs : name == "--dah" ? options.dahMs : options.pauseMs;
        ok = ParseMs(value, 10, 1000, target);
        range = "a whole number of milliseconds from 10 to 1000";
    } else if (name == "--gap") {
        ok = ParseMs(value, 0, 60000, options.gapMs);
        range = "a whole number of milliseconds from 0 to 60000";
    } else if (name == "--volume") {
        ok = ParseFloat(value, 0.0f, 1.0f, options.volume);
        range = "a gain from 0 to 1";
    } else {
        error = "unknown option " + name;
        return false;
    }
    if (!ok) {
        error = "bad value '" + value + "' for " + name + ": expected " + range;
    }
    return ok;
}

bool TakesValue(const std::string& name) {
    return name == "--freq" || name == "--dih" || name == "--dah" || name == "--pause" || name == "--gap" ||
           name == "--volume";
}

// Reads the options (as "--name value" or "--name=value") and the two operands.
bool ParseArguments(int argc, char** argv, Options& options, std::string& error) {
    std::string operands[2];
    int operandCount = 0;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && argument.size() > 1 && argument[0] == '-') {
            std::string name = argument;
            std::string value;
            const size_t equals = argument.find('=');
            if (equals != std::string::npos) {
                name = argument.substr(0, equals);
                value = argument.substr(equals + 1);
            }
            if (name == "--help" || name == "-h") {
                options.help = true;
            } else if (name == "--noise" && equals == std::string::npos) {
                options.noise = true;
            } else if (!TakesValue(name)) {
                error = "unknown option " + argument;
                return false;
            } else if (equals == std::string::npos && i + 1 >= argc) {
                error = "option " + name + " needs a value";
                return false;
            } else if (!ApplyOption(name, equals == std::string::npos ? argv[++i] : value, options, error)) {
                return false;
            }
        } else if (operandCount < 2) {
            operands[operandCount++] = argument;
        } else {
            error = "too many arguments: '" + argument + "'";
            return false;
        }
    }
    if (!options.help && operandCount < 2) {
        error = operandCount == 0 ? "missing TEXT and OUT.wav" : "missing OUT.wav";
        return false;
    }
    options.text = operands[0];
    options.outputPath = operands[1];
    return true;
}

void PutLe16(unsigned char* at, uint32_t value) {
    at[0] = static_cast<unsigned char>(value & 0xFFu);
    at[1] = static_cast<unsigned char>((value >> 8) & 0xFFu);
}

void PutLe32(unsigned char* at, uint32_t value) {
    PutLe16(at, value & 0xFFFFu);
    PutLe16(at + 2, value >> 16);
}

// A 16-bit stereo PCM WAV file written as it goes; the sizes in the header are filled in
// when it is closed.
class WavWriter {
public:
    static constexpr uint32_t kHeaderBytes = 44;
    static constexpr uint64_t kMaxDataBytes = 0xFFFFFFFFull - 36; // RIFF size field limit

    ~WavWriter() {
        if (file != nullptr) {
            std::fclose(file);
        }
    }

    bool Open(const std::string& path) {
        file = OpenUtf8(path, "wb");
        unsigned char header[kHeaderBytes] = {};
        return file != nullptr && WriteHeader(header, 0);
    }

    bool Write(const uint32_t* words, int32_t count) {
        dataBytes += static_cast<uint64_t>(count) * 4;
        if (dataBytes > kMaxDataBytes) {
            return false;
        }
        unsigned char bytes[kBlockFrames * 4];
        for (int32_t i = 0; i < count; ++i) {
            PutLe32(bytes + 4 * i, words[i]);
        }
        return std::fwrite(bytes, 4, static_cast<size_t>(count), file) == static_cast<size_t>(count);
    }

    // Fills in the sizes and closes the file.
    bool Close() {
        unsigned char header[kHeaderBytes] = {};
        const bool ok = std::fseek(file, 0, SEEK_SET) == 0 && WriteHeader(header, static_cast<uint32_t>(dataBytes));
        const bool closed = std::fclose(file) == 0;
        file = nullptr;
        return ok && closed;
    }

    bool TooLong() const { return dataBytes > kMaxDataBytes; }

private:
    bool WriteHeader(unsigned char* header, uint32_t dataSize) {
        std::memcpy(header, "RIFF", 4);
        PutLe32(header + 4, 36 + dataSize);
        std::memcpy(header + 8, "WAVEfmt ", 8);
        PutLe32(header + 16, 16);              // fmt chunk size
        PutLe16(header + 20, 1);               // PCM
        PutLe16(header + 22, 2);               // channels
        PutLe32(header + 24, kSampleRate);     // frames per second
        PutLe32(header + 28, kSampleRate * 4); // bytes per second
        PutLe16(header + 32, 4);               // bytes per frame
        PutLe16(header + 34, 16);              // bits per sample
        std::memcpy(header + 36, "data", 4);
        PutLe32(header + 40, dataSize);
        return std::fwrite(header, 1, kHeaderBytes, file) == kHeaderBytes;
    }

    FILE* file = nullptr;
    uint64_t dataBytes = 0;
};

// Renders frames through the callback, in blocks of at most kBlockFrames, into the file.
bool RenderFrames(Synthesiser& synth, int64_t frameCount, WavWriter& wav) {
    uint32_t words[kBlockFrames];
    while (frameCount > 0) {
        int32_t count = static_cast<int32_t>(std::min<int64_t>(frameCount, kBlockFrames));
        const StereoFrame* frames = ToneCallback(&synth, &count);
        ConvertToPcm16(frames, words, count);
        if (!wav.Write(words, count)) {
            return false;
        }
        frameCount -= count;
    }
    return true;
}

// Plays the character in currentCode to its end, in whole blocks.
bool RenderCharacter(Synthesiser& synth, WavWriter& wav) {
    synth.PlayCode();
    do {
        if (!RenderFrames(synth, kBlockFrames, wav)) {
            return false;
        }
    } while (synth.IsPlaying());
    return true;
}

bool RenderText(const Options& options, WavWriter& wav) {
    Synthesiser synth;
    synth.Initialise();
    synth.SetElementLengths(options.pauseMs, options.dihMs, options.dahMs);
    synth.SetFrequency(options.frequency);
    synth.SetVolume(options.volume);
    synth.SetNoise(options.noise);
    const MorseTable table;
    const int64_t gapFrames = static_cast<int64_t>(options.gapMs) * kSampleRate / 1000;
    for (size_t i = 0; i < options.text.size(); ++i) {
        if (i > 0 && !RenderFrames(synth, gapFrames, wav)) {
            return false;
        }
        const auto character = static_cast<char>(std::toupper(static_cast<unsigned char>(options.text[i])));
        const bool known = (character >= 'A' && character <= 'Z') || (character >= '0' && character <= '9');
        if (known) {
            table.CodeForChar(character, synth.currentCode);
        }
        if (!(known ? RenderCharacter(synth, wav) : RenderFrames(synth, gapFrames, wav))) {
            return false;
        }
    }
    return true;
}

// A half-written output is removed, unless the path names something other than a regular
// file (a device such as /dev/full, a pipe), which must be left alone.
bool MayRemoveOnFailure(const std::string& path) {
    std::error_code error;
    const auto status = std::filesystem::status(PathFromUtf8(path), error);
    return status.type() == std::filesystem::file_type::not_found ||
           status.type() == std::filesystem::file_type::regular;
}

int Run(const Options& options) {
    const bool removable = MayRemoveOnFailure(options.outputPath);
    WavWriter wav;
    if (!wav.Open(options.outputPath)) {
        std::fprintf(stderr, "zelbin-render: cannot write %s: %s\n", options.outputPath.c_str(), std::strerror(errno));
        return kExitFailure;
    }
    const bool rendered = RenderText(options, wav);
    const bool tooLong = wav.TooLong();
    const int savedErrno = errno;
    if (!wav.Close() || !rendered) {
        if (removable) {
            std::error_code ignored;
            std::filesystem::remove(PathFromUtf8(options.outputPath), ignored);
        }
        std::fprintf(stderr, "zelbin-render: cannot write %s: %s\n", options.outputPath.c_str(),
                     tooLong ? "the sound is too long for a WAV file" : std::strerror(savedErrno ? savedErrno : errno));
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments = Utf8Arguments(argc, argv); // names are UTF-8 from here on
    std::vector<char*> pointers;
    for (std::string& argument : arguments) {
        pointers.push_back(argument.data());
    }
    Options options;
    std::string error;
    if (!ParseArguments(static_cast<int>(pointers.size()), pointers.data(), options, error)) {
        std::fprintf(stderr, "zelbin-render: %s\nTry 'zelbin-render --help'.\n", error.c_str());
        return kExitFailure;
    }
    if (options.help) {
        PrintUsage(stdout);
        return kExitOk;
    }
    return Run(options);
}
