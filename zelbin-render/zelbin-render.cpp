// zelbin-render: writes the Morse code of a text to a sound file (44100 Hz, 16-bit, stereo
// or mono: WAV, FLAC, Ogg Vorbis, Opus or MP3), through the trainer's own synthesiser and
// PCM conversion, so that it can be heard without the trainer's window or a sound card.

#include "render/MorseRenderer.h"
#include "render/RenderProgress.h"
#include "render/TextFolder.h"
#include "zelbin-render/Utf8Files.h"
#ifdef ZELBIN_HAVE_SNDFILE
#include "zelbin-render/SoundFileWriter.h"
#else
#include "zelbin-render/WavFileWriter.h"
#endif

#include <unistd.h>

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

// The file writer: libsndfile where the build has it, else WAV only.
#ifdef ZELBIN_HAVE_SNDFILE
using OutputWriter = SoundFileWriter;
#else
using OutputWriter = WavFileWriter;
#endif

constexpr int kExitOk = 0;
constexpr int kExitFailure = 2;
constexpr int32_t kMaxWpm = 100;

struct Options {
    MorseRenderer::Options render;
    bool lengthsGiven = false; // --dih, --dah, --pause or --gap
    bool mono = false;
    double quality = -1.0; // below 0: the encoder's default
    bool help = false;
    std::string textFile; // empty: the text is an operand
    std::string text;
    std::string outputPath;
};

void PrintUsage(FILE* stream) {
    std::fprintf(stream, "Usage: zelbin-render [OPTIONS] TEXT OUT\n"
                         "       zelbin-render [OPTIONS] --text-file PATH OUT\n"
                         "Writes the Morse code of TEXT (UTF-8; '-' reads standard input) to OUT, a sound file\n"
                         "at 44100 Hz whose type follows its extension: .wav (16-bit PCM), .flac, .ogg (Vorbis),\n"
                         ".opus (resampled to 48000 Hz) or .mp3 (when the installed libsndfile writes it).\n"
                         "Letters (either case, accents dropped: e-acute plays as E), digits, the punctuation\n"
                         ". , ? / = + and the prosigns <AR> <SK> <BT> <KN> (written so, each one sign) are\n"
                         "played in Morse; any other character is a silent interval as long as the gap.\n"
                         "\n"
                         "Timing in milliseconds (the default); characters are separated by the gap:\n"
                         "  --freq HZ          tone frequency, 100 to 1000 (default 440)\n"
                         "  --dih MS           length of a dih, 10 to 1000 (default 100)\n"
                         "  --dah MS           length of a dah, 10 to 1000 (default 300)\n"
                         "  --pause MS         silence between the elements of a character, 10 to 1000 (default 100)\n"
                         "  --gap MS           silence between characters, 0 to 60000 (default 300)\n"
                         "Timing in words per minute, instead of the four lengths above:\n"
                         "  --wpm N            N words per minute, 1 to 100: a dih lasts 1200/N ms, a dah 3 dihs,\n"
                         "                     the pause 1 dih; characters are 3 dihs apart, words (runs of white\n"
                         "                     space) 7\n"
                         "  --farnsworth M     characters at N words per minute, the gaps stretched so that the\n"
                         "                     text goes at M words per minute overall (M below N)\n"
                         "Sound:\n"
                         "  --volume V         gain, 0 to 1 (default 0.3)\n"
                         "  --noise            add the trainer's background noise\n"
                         "  --soft-onset       let each tone rise over 5 ms instead of starting at once (no click)\n"
                         "  --mono             write one channel instead of two\n"
                         "  --quality Q        quality of .ogg, .opus and .mp3 files, 0 (smallest) to 1 (best)\n"
                         "  --text-file PATH   read the text from the file PATH ('-': standard input)\n"
                         "  --help             show this text\n"
                         "\n"
                         "A render that takes more than 2 s shows its progress when standard error is a terminal.\n"
                         "Exit status: 0 on success, 2 on a bad argument, an unknown file type, or a file that\n"
                         "cannot be read or written.\n");
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

bool ParseWhole(const std::string& text, int32_t low, int32_t high, int32_t& value) {
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

// Applies one option that takes a milliseconds value.
bool ApplyLength(const std::string& name, const std::string& value, Options& options, const char*& range) {
    MorseRenderer::Options& render = options.render;
    options.lengthsGiven = true;
    if (name == "--gap") {
        range = "a whole number of milliseconds from 0 to 60000";
        return ParseWhole(value, 0, 60000, render.gapMs);
    }
    int32_t& target = name == "--dih" ? render.dihMs : name == "--dah" ? render.dahMs : render.pauseMs;
    range = "a whole number of milliseconds from 10 to 1000";
    return ParseWhole(value, 10, 1000, target);
}

// Applies one option that takes a value. Returns false with a message for a bad value or an
// unknown option.
bool ApplyOption(const std::string& name, const std::string& value, Options& options, std::string& error) {
    MorseRenderer::Options& render = options.render;
    bool ok = false;
    const char* range = "";
    float quality = 0.0f;
    if (name == "--freq") {
        ok = ParseFloat(value, 100.0f, 1000.0f, render.frequencyHz);
        range = "a frequency from 100 to 1000 Hz";
    } else if (name == "--dih" || name == "--dah" || name == "--pause" || name == "--gap") {
        ok = ApplyLength(name, value, options, range);
    } else if (name == "--volume") {
        ok = ParseFloat(value, 0.0f, 1.0f, render.volume);
        range = "a gain from 0 to 1";
    } else if (name == "--wpm" || name == "--farnsworth") {
        ok = ParseWhole(value, 1, kMaxWpm, name == "--wpm" ? render.wpm : render.overallWpm);
        range = "a whole number of words per minute from 1 to 100";
    } else if (name == "--quality") {
        ok = ParseFloat(value, 0.0f, 1.0f, quality);
        options.quality = quality;
        range = "a quality from 0 to 1";
    } else if (name == "--text-file") {
        ok = !value.empty();
        options.textFile = value;
        range = "a file name";
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
    for (const char* option : {"--freq", "--dih", "--dah", "--pause", "--gap", "--volume", "--wpm", "--farnsworth",
                               "--quality", "--text-file"}) {
        if (name == option) {
            return true;
        }
    }
    return false;
}

// Applies an option without a value; false if name is none.
bool ApplyFlag(const std::string& name, Options& options) {
    if (name == "--help" || name == "-h") {
        options.help = true;
    } else if (name == "--noise") {
        options.render.noise = true;
    } else if (name == "--soft-onset") {
        options.render.softOnset = true;
    } else if (name == "--mono") {
        options.mono = true;
    } else {
        return false;
    }
    return true;
}

// The options that only make sense together.
bool CheckCombinations(const Options& options, std::string& error) {
    const MorseRenderer::Options& render = options.render;
    if (render.wpm > 0 && options.lengthsGiven) {
        error = "--wpm sets the lengths itself: leave out --dih, --dah, --pause and --gap";
    } else if (render.overallWpm > 0 && render.wpm == 0) {
        error = "--farnsworth needs --wpm";
    } else if (render.overallWpm >= render.wpm && render.overallWpm > 0) {
        error = "--farnsworth must be below --wpm";
    } else {
        return true;
    }
    return false;
}

// Takes the operands: TEXT and OUT, or OUT alone with --text-file.
bool TakeOperands(const std::string* operands, int operandCount, Options& options, std::string& error) {
    const int wanted = options.textFile.empty() ? 2 : 1;
    if (options.help) {
        return true;
    }
    if (operandCount > wanted) {
        error = "too many arguments: '" + operands[wanted] + "'";
        return false;
    }
    if (operandCount < wanted) {
        error = wanted == 1 ? "missing OUT" : operandCount == 0 ? "missing TEXT and OUT" : "missing OUT";
        return false;
    }
    if (wanted == 2) {
        options.text = operands[0];
    }
    options.outputPath = operands[wanted - 1];
    return CheckCombinations(options, error);
}

// Reads the options (as "--name value" or "--name=value") and the operands.
bool ParseArguments(int argc, char** argv, Options& options, std::string& error) {
    std::string operands[3];
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
            if (equals == std::string::npos && ApplyFlag(name, options)) {
                continue;
            } else if (!TakesValue(name)) {
                error = "unknown option " + argument;
                return false;
            } else if (equals == std::string::npos && i + 1 >= argc) {
                error = "option " + name + " needs a value";
                return false;
            } else if (!ApplyOption(name, equals == std::string::npos ? argv[++i] : value, options, error)) {
                return false;
            }
        } else if (operandCount < 3) {
            operands[operandCount++] = argument;
        } else {
            error = "too many arguments: '" + argument + "'";
            return false;
        }
    }
    return TakeOperands(operands, operandCount, options, error);
}

// Reads a whole stream; false with errno set on a read error.
bool ReadAll(FILE* stream, std::string& text) {
    char chunk[65536];
    size_t count = 0;
    while ((count = std::fread(chunk, 1, sizeof chunk, stream)) > 0) {
        text.append(chunk, count);
    }
    return std::ferror(stream) == 0;
}

// The text to render: the operand, standard input ("-") or the --text-file.
bool ReadText(const Options& options, std::string& text, std::string& error) {
    const std::string& source = options.textFile.empty() ? options.text : options.textFile;
    if (options.textFile.empty() && source != "-") {
        text = source;
        return true;
    }
    if (source == "-") {
        if (!ReadAll(stdin, text)) {
            error = std::string("cannot read standard input: ") + std::strerror(errno);
            return false;
        }
        return true;
    }
    FILE* file = OpenUtf8(source, "rb");
    const bool ok = file != nullptr && ReadAll(file, text);
    if (!ok) {
        error = "cannot read " + source + ": " + std::strerror(errno);
    }
    if (file != nullptr) {
        std::fclose(file);
    }
    return ok;
}

std::filesystem::file_type TypeOf(const std::string& path) {
    std::error_code error;
    return std::filesystem::status(PathFromUtf8(path), error).type();
}

void RemoveFile(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove(PathFromUtf8(path), ignored);
}

int CannotWrite(const std::string& path, const std::string& why) {
    std::fprintf(stderr, "zelbin-render: cannot write %s: %s\n", path.c_str(), why.c_str());
    return kExitFailure;
}

// Renders the text into the open writer, with the progress line on a terminal.
bool RenderInto(const Options& options, const std::string& folded, OutputWriter& writer) {
    RenderProgress progress(isatty(STDERR_FILENO) ? stderr : nullptr, MorseRenderer::kSampleRate);
    MorseRenderer renderer(options.render);
    renderer.SetProgressObserver([&progress](double done, int64_t frames) { progress.Update(done, frames); });
    const bool rendered = renderer.Render(folded, writer);
    progress.Finish(renderer.FramesWritten());
    return rendered;
}

int Run(const Options& options) {
    const std::string& path = options.outputPath;
    OutputWriter::Type type = OutputWriter::Type::Wav;
    if (!OutputWriter::TypeForPath(path, type)) {
        return CannotWrite(path, std::string("unknown file type: use ") + OutputWriter::kKnownExtensions);
    }
    std::string text;
    std::string error;
    if (!ReadText(options, text, error)) {
        std::fprintf(stderr, "zelbin-render: %s\n", error.c_str());
        return kExitFailure;
    }
    // A half-written output is removed, unless the path names something other than a regular
    // file (a device such as /dev/full, a pipe), which must be left alone. A file that could
    // not even be opened is removed only if this run created it.
    const std::filesystem::file_type before = TypeOf(path);
    const bool removable =
        before == std::filesystem::file_type::not_found || before == std::filesystem::file_type::regular;
    OutputWriter writer;
    if (!writer.Open(path, type, {options.mono ? 1 : 2, options.quality}, error)) {
        if (before == std::filesystem::file_type::not_found) {
            RemoveFile(path);
        }
        return CannotWrite(path, error);
    }
    const bool rendered = RenderInto(options, TextFolder::Fold(text), writer);
    const std::string renderError = writer.WriteError();
    if (!writer.Close(error) || !rendered) {
        if (removable) {
            RemoveFile(path);
        }
        return CannotWrite(path, rendered ? error : renderError);
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
