// zelbin-render: writes the Morse code of a text to a sound file (16-bit, stereo or mono:
// WAV, FLAC, Ogg Vorbis, Opus or MP3), through the trainer's own synthesiser and PCM
// conversion, so that it can be heard without the trainer's window or a sound card. WAV and
// FLAC files hold the trainer's own samples (44,100 Hz, stereo); the compressed types are
// made for a phone (one channel at 8,000 Hz) unless told otherwise: see the writers'
// DefaultOptions.

#include "render/MorseRenderer.h"
#include "render/RenderProgress.h"
#include "render/TextFolder.h"
#include "zelbin-render/InputCheck.h"
#include "zelbin-render/InterruptSignals.h"
#include "zelbin-render/OutputFile.h"
#include "zelbin-render/Utf8Files.h"
#ifdef ZELBIN_HAVE_SNDFILE
#include "zelbin-render/SoundFileWriter.h"
#else
#include "zelbin-render/WavFileWriter.h"
#endif

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
constexpr int32_t kMinRate = 8000;  // [frames/s]
constexpr int32_t kMaxRate = 96000; // [frames/s]

struct Options {
    MorseRenderer::Options render;
    bool lengthsGiven = false; // --dih, --dah, --pause or --gap
    int32_t channels = 0;      // 0: the file type's default
    int32_t rate = 0;          // [frames/s]; 0: the file type's default
    double quality = -1.0;     // below 0: the file type's default
    bool help = false;
    std::string textFile; // empty: the text is an operand
    std::string text;
    std::string outputPath;
};

void PrintUsage(FILE* stream) {
    std::fprintf(stream, "Usage: zelbin-render [OPTIONS] TEXT OUT\n"
                         "       zelbin-render [OPTIONS] --text-file PATH OUT\n"
                         "Writes the Morse code of TEXT (UTF-8; '-' reads standard input) to OUT, a sound file\n"
                         "whose type follows its extension: .wav (16-bit PCM), .flac, .ogg (Vorbis), .opus or .mp3\n"
                         "(when the installed libsndfile writes it). .wav and .flac files hold the trainer's own\n"
                         "sound, in stereo at 44100 Hz; .ogg, .opus and .mp3 files are made for a phone: one\n"
                         "channel at 8000 Hz, small and clean.\n"
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
                         "  --rate HZ          sample rate, 8000 to 96000 (default 44100 for .wav and .flac, 8000\n"
                         "                     for the others); .mp3 takes 8000, 11025, 12000, 16000, 22050, 24000,\n"
                         "                     32000, 44100 or 48000, and .opus is resampled to 48000 from any rate\n"
                         "                     but 8000, 12000, 16000, 24000 and 48000\n"
                         "  --mono             write one channel (the default for .ogg, .opus and .mp3)\n"
                         "  --stereo           write two channels (the default for .wav and .flac)\n"
                         "  --quality Q        quality of .ogg, .opus and .mp3 files, 0 (smallest) to 1 (best)\n"
                         "                     (default 0.25 for .ogg, 0.04 for .opus, 0.1 for .mp3)\n"
                         "  --text-file PATH   read the text from the file PATH ('-': standard input)\n"
                         "  --help             show this text\n"
                         "Band conditions, as on the air (any of the first four turns them on):\n"
                         "  --snr DB           band noise: the tone's power over the noise's within 250 Hz of it,\n"
                         "                     -10 to 30 dB; the noise is shaped by a 500 Hz receiver filter\n"
                         "  --qsb DEPTH        fading: the tone fades down to (100 - DEPTH) %% of its level, 0 to 100\n"
                         "  --qsb-period S     typical length of one fade, down and up again, 2 to 30 s (default 8)\n"
                         "  --qrm N            N other stations (0 to 3) calling CQ and sending contest reports,\n"
                         "                     each 100 to 800 Hz from the tone, at its own level and speed\n"
                         "  --qrn N            static crashes, N a minute on average (0 to 60), 5 to 100 ms each\n"
                         "  --seed N           the draw of the conditions, 0 to 4294967295 (default 1): the same\n"
                         "                     seed and options give the same file\n"
                         "\n"
                         "OUT appears only once it is complete: a render that fails or is interrupted leaves no\n"
                         "file, and an older file of that name as it was. A render that takes more than 2 s shows\n"
                         "its progress when standard error is a terminal.\n"
                         "Exit status: 0 on success; 2 on a bad argument, an unknown file type, a text with\n"
                         "nothing to play or that is not text, or a file that cannot be read or written; a\n"
                         "render stopped by SIGINT, SIGTERM or SIGHUP ends by that signal.\n");
}

// A decimal number as people write it: digits, with at most one decimal point for a
// fraction, and a minus sign in front; no spaces, no sign '+', no hexadecimal, no exponent.
bool IsPlainNumber(const std::string& text, bool fraction) {
    size_t at = !text.empty() && text[0] == '-' ? 1 : 0;
    size_t digits = 0;
    size_t points = 0;
    for (; at < text.size(); ++at) {
        if (text[at] >= '0' && text[at] <= '9') {
            ++digits;
        } else if (text[at] == '.' && fraction) {
            ++points;
        } else {
            return false;
        }
    }
    return digits > 0 && points <= 1;
}

bool ParseFloat(const std::string& text, float low, float high, float& value) {
    if (!IsPlainNumber(text, true)) {
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
    if (!IsPlainNumber(text, false)) {
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

bool ParseSeed(const std::string& text, uint64_t& value) {
    if (text.empty() || text[0] < '0' || text[0] > '9') {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const unsigned long long parsed = std::strtoull(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed > 4294967295ULL) {
        return false;
    }
    value = parsed;
    return true;
}

// Applies one option of the band conditions.
bool ApplyBand(const std::string& name, const std::string& value, Options& options, const char*& range) {
    MorseRenderer::Options& render = options.render;
    BandParameters& band = render.band;
    float number = 0.0f;
    int32_t whole = 0;
    bool ok = false;
    if (name == "--snr") {
        ok = ParseFloat(value, -10.0f, 30.0f, band.snrDb);
        band.noise = true;
        range = "a signal-to-noise ratio from -10 to 30 dB";
    } else if (name == "--qsb") {
        ok = ParseFloat(value, 0.0f, 100.0f, number);
        band.qsbDepth = number / 100.0f;
        range = "a depth from 0 to 100 %";
    } else if (name == "--qsb-period") {
        ok = ParseFloat(value, 2.0f, 30.0f, band.qsbPeriodS);
        range = "a period from 2 to 30 s";
        return ok;
    } else if (name == "--qrm") {
        ok = ParseWhole(value, 0, BandParameters::kMaxStations, band.qrmStations);
        range = "a whole number of stations from 0 to 3";
    } else if (name == "--qrn") {
        ok = ParseWhole(value, 0, 60, whole);
        band.qrnPerMinute = static_cast<float>(whole);
        range = "a whole number of crashes per minute from 0 to 60";
    } else {
        ok = ParseSeed(value, render.seed);
        range = "a whole number from 0 to 4294967295";
        return ok;
    }
    render.bandOn = true;
    return ok;
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
    } else if (name == "--rate") {
        ok = ParseWhole(value, kMinRate, kMaxRate, options.rate);
        range = "a whole number of frames per second from 8000 to 96000";
    } else if (name == "--snr" || name == "--qsb" || name == "--qsb-period" || name == "--qrm" || name == "--qrn" ||
               name == "--seed") {
        ok = ApplyBand(name, value, options, range);
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
    for (const char* option :
         {"--freq", "--dih", "--dah", "--pause", "--gap", "--volume", "--wpm", "--farnsworth", "--rate", "--quality",
          "--text-file", "--snr", "--qsb", "--qsb-period", "--qrm", "--qrn", "--seed"}) {
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
    } else if (name == "--mono" || name == "--stereo") {
        options.channels = name == "--mono" ? 1 : 2;
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
#ifdef _WIN32
        _setmode(_fileno(stdin), _O_BINARY); // every byte as it is, as from a --text-file
#endif
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

int CannotWrite(const std::string& path, const std::string& why) {
    std::fprintf(stderr, "zelbin-render: cannot write %s: %s\n", path.c_str(), why.c_str());
    return kExitFailure;
}

// The file's channels, rate and quality: the options', else the defaults of its type.
OutputWriter::Options WriterOptions(const Options& options, OutputWriter::Type type) {
    OutputWriter::Options writer = OutputWriter::DefaultOptions(type);
    writer.channels = options.channels > 0 ? options.channels : writer.channels;
    writer.sampleRate = options.rate > 0 ? options.rate : writer.sampleRate;
    writer.quality = options.quality >= 0.0 ? options.quality : writer.quality;
    return writer;
}

// Hands the frames on to the writer until a signal comes.
class InterruptibleSink : public FrameSink {
public:
    explicit InterruptibleSink(FrameSink& writer) : writer(writer) {}
    bool Write(const StereoFrame* frames, int32_t count) override {
        return InterruptSignals::Caught() == 0 && writer.Write(frames, count);
    }

private:
    FrameSink& writer;
};

// Renders the text into the open writer, with the progress line on a terminal.
bool RenderInto(MorseRenderer::Options renderOptions, const std::string& folded, OutputWriter& writer) {
    RenderProgress progress(isatty(STDERR_FILENO) ? stderr : nullptr, renderOptions.sampleRate);
    MorseRenderer renderer(renderOptions);
    renderer.SetProgressObserver([&progress](double done, int64_t frames) { progress.Update(done, frames); });
    InterruptibleSink sink(writer);
    const bool rendered = renderer.Render(folded, sink);
    progress.Finish(renderer.FramesWritten());
    return rendered;
}

// Writes the sound into output's temporary file; false with the reason.
bool WriteSound(const Options& options, const std::string& folded, OutputWriter::Type type,
                const OutputWriter::Options& writerOptions, const OutputFile& output, std::string& error) {
    OutputWriter writer;
    if (!writer.Open(output.WritePath(), type, writerOptions, error)) {
        return false;
    }
    MorseRenderer::Options render = options.render;
    render.sampleRate = writerOptions.sampleRate;
    if (!RenderInto(render, folded, writer)) {
        error = writer.WriteError();
        return false;
    }
    return writer.Close(error);
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
    const std::string folded = TextFolder::Fold(text);
    const std::string refusal = InputCheck::Refusal(text, folded);
    if (!refusal.empty()) {
        std::fprintf(stderr, "zelbin-render: %s; %s was not written\n", refusal.c_str(), path.c_str());
        return kExitFailure;
    }
    const OutputWriter::Options writerOptions = WriterOptions(options, type);
    if (!OutputWriter::CanWrite(type, writerOptions)) {
        return CannotWrite(path, "this build of libsndfile cannot write such files at " +
                                     std::to_string(writerOptions.sampleRate) + " Hz");
    }
    InterruptSignals::Catch();
    OutputFile output;
    const bool written = output.Create(path, error) && WriteSound(options, folded, type, writerOptions, output, error);
    if (const int signal = InterruptSignals::Caught(); signal != 0) {
        output.Discard();
        std::fprintf(stderr, "zelbin-render: interrupted by %s; %s was not written\n", InterruptSignals::Name(signal),
                     path.c_str());
        InterruptSignals::EndBy(signal);
    }
    if (!written || !output.Commit(error)) {
        output.Discard();
        return CannotWrite(path, error);
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
