// Runs zelbin-render and reads back the sound files it writes: WAV by hand, the other types
// through libsndfile.

#include "audio/PcmConversion.h"
#include "morse/MorseTable.h"

#include "tests/morse/SynthesiserTestSupport.h"

#include <gtest/gtest.h>
#ifdef ZELBIN_HAVE_SNDFILE
#include <sndfile.h>
#endif

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct ToolResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

#ifdef _WIN32
// The tool's arguments never hold a double quote, so quoting each is enough for cmd.exe and
// for the program's own command-line parsing.
std::string Quote(const std::string& argument) {
    return "\"" + argument + "\"";
}

// Runs a command line (UTF-8) through cmd.exe, which takes it in UTF-16 so that names
// outside the ANSI code page reach the tool. The outer quotes keep cmd.exe from stripping
// those of the first and the last argument.
int RunCommand(const std::string& command) {
    const std::string line = "\"" + command + "\"";
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, line.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, line.c_str(), -1, wide.data(), wideLength);
    return _wsystem(wide.c_str());
}

fs::path MakeScratchFolder() {
    const fs::path folder =
        fs::temp_directory_path() / ("zelbin-render-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
    return fs::create_directories(folder) ? folder : fs::path();
}
#else
std::string Quote(const std::string& argument) {
    std::string quoted = "'";
    for (char c : argument) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

int RunCommand(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

fs::path MakeScratchFolder() {
    char pattern[] = "/tmp/zelbin-render-test.XXXXXX";
    return mkdtemp(pattern) != nullptr ? fs::path(pattern) : fs::path();
}
#endif

fs::path Utf8Path(const std::string& utf8) {
    return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string Utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class RenderTool : public ::testing::Test {
protected:
    void SetUp() override {
        dir = MakeScratchFolder();
        ASSERT_FALSE(dir.empty());
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs the tool with the given standard input, after shellPrefix (such as a ulimit).
    ToolResult Run(const std::vector<std::string>& arguments, const std::string& input = "",
                   const std::string& shellPrefix = "") const {
        std::ofstream(dir / "stdin", std::ios::binary) << input;
        std::string command = shellPrefix + Quote(Utf8(fs::path(ZELBIN_RENDER_TOOL).make_preferred()));
        for (const std::string& argument : arguments) {
            command += " " + Quote(argument);
        }
        command += " <" + Quote(Utf8(dir / "stdin"));
        command += " >" + Quote(Utf8(dir / "stdout")) + " 2>" + Quote(Utf8(dir / "stderr"));
        ToolResult result;
        result.exitCode = RunCommand(command);
        result.out = ReadText(dir / "stdout");
        result.err = ReadText(dir / "stderr");
        return result;
    }

    fs::path dir;
};

uint32_t Le32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

uint32_t Le16(const std::string& bytes, size_t at) {
    return static_cast<unsigned char>(bytes[at]) | (static_cast<unsigned char>(bytes[at + 1]) << 8);
}

// Checks the 44-byte header of a 44100 Hz 16-bit stereo PCM file and returns its frames,
// each as (right << 16) | left.
std::vector<uint32_t> ReadWav(const fs::path& path) {
    const std::string bytes = ReadText(path);
    EXPECT_GE(bytes.size(), 44u);
    if (bytes.size() < 44) {
        return {};
    }
    EXPECT_EQ(bytes.substr(0, 4), "RIFF");
    EXPECT_EQ(Le32(bytes, 4), bytes.size() - 8);
    EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(Le32(bytes, 16), 16u);
    EXPECT_EQ(Le16(bytes, 20), 1u);          // PCM
    EXPECT_EQ(Le16(bytes, 22), 2u);          // stereo
    EXPECT_EQ(Le32(bytes, 24), 44100u);      // frames per second
    EXPECT_EQ(Le32(bytes, 28), 44100u * 4u); // bytes per second
    EXPECT_EQ(Le16(bytes, 32), 4u);          // bytes per frame
    EXPECT_EQ(Le16(bytes, 34), 16u);         // bits per sample
    EXPECT_EQ(bytes.substr(36, 4), "data");
    EXPECT_EQ(Le32(bytes, 40), bytes.size() - 44);
    EXPECT_EQ((bytes.size() - 44) % 4, 0u);
    std::vector<uint32_t> frames;
    for (size_t at = 44; at + 4 <= bytes.size(); at += 4) {
        frames.push_back(Le32(bytes, at));
    }
    return frames;
}

std::vector<uint32_t> Pcm(const std::vector<float>& samples) {
    std::vector<uint32_t> words(samples.size());
    for (size_t i = 0; i < samples.size(); ++i) {
        const StereoFrame frame{samples[i], samples[i]};
        ConvertToPcm16(&frame, &words[i], 1);
    }
    return words;
}

// A character as the tool writes it: played to the block in which it ends, 512 frames each.
std::vector<uint32_t> CharacterBlocks(char c, reference::Lengths lengths, float frequency, float gain) {
    MorseCode code{};
    MorseTable().CodeForChar(c, code);
    const size_t length = reference::Character(code, lengths, frequency).size();
    const size_t blocks = (length - 1) / 512 + 1;
    return Pcm(reference::Scaled(reference::Character(code, lengths, frequency, blocks * 512), gain));
}

void Append(std::vector<uint32_t>& to, const std::vector<uint32_t>& what) {
    to.insert(to.end(), what.begin(), what.end());
}

void ExpectSameFrames(const std::vector<uint32_t>& actual, const std::vector<uint32_t>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        ASSERT_EQ(actual[i], expected[i]) << "frame " << i;
    }
}

TEST_F(RenderTool, WritesALetterAtTheDefaults) {
    const ToolResult result = Run({"E", (dir / "e.wav").string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<uint32_t> frames = ReadWav(dir / "e.wav");
    ASSERT_EQ(frames.size(), 9u * 512u) << "4411 tone samples and the stop sample, in whole blocks";
    ExpectSameFrames(frames, CharacterBlocks('E', {}, 440.0f, 0.3f));
    EXPECT_NE(frames[100], 0u);
    EXPECT_EQ(frames[100] & 0xFFFFu, frames[100] >> 16) << "left equals right";
}

TEST_F(RenderTool, OptionsLowerCaseAndOtherCharacters) {
    const reference::Lengths lengths{40, 50, 150};
    const ToolResult result = Run({"--freq", "600", "--dih", "50", "--dah=150", "--pause", "40", "--gap", "100",
                                   "--volume", "0.5", "e 5", (dir / "e5.wav").string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<uint32_t> gap(4410, 0u); // 100 ms
    std::vector<uint32_t> expected = CharacterBlocks('E', lengths, 600.0f, 0.5f);
    Append(expected, gap);
    Append(expected, gap); // the space: a silent interval
    Append(expected, gap);
    Append(expected, CharacterBlocks('5', lengths, 600.0f, 0.5f));
    ExpectSameFrames(ReadWav(dir / "e5.wav"), expected);
}

TEST_F(RenderTool, NoiseFillsTheSilenceToo) {
    const ToolResult result = Run({"--noise", "--gap", "200", "TT", (dir / "noise.wav").string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<uint32_t> frames = ReadWav(dir / "noise.wav");
    const size_t tBlocks = (reference::SamplesIn(0.3f) + 1 - 1) / 512 + 1;
    ASSERT_EQ(frames.size(), 2 * tBlocks * 512 + 8820);
    // 0.3 * 0.099 * 32767 truncates to 973 at most.
    bool someNoise = false;
    for (size_t i = tBlocks * 512; i < tBlocks * 512 + 8820; ++i) {
        const auto left = static_cast<int16_t>(frames[i] & 0xFFFFu);
        ASSERT_EQ(frames[i] & 0xFFFFu, frames[i] >> 16) << i;
        ASSERT_GE(left, 0) << i;
        ASSERT_LE(left, 973) << i;
        someNoise = someNoise || left != 0;
    }
    EXPECT_TRUE(someNoise);
}

// A name outside every 8-bit code page, in a folder with accents: on Windows it reaches the tool
// only through the UTF-16 command line and is opened with the wide-character calls.
TEST_F(RenderTool, WritesToANonAsciiPath) {
    const fs::path folder = dir / Utf8Path("Répertoire été");
    fs::create_directories(folder);
    const fs::path out = folder / Utf8Path("Морзе_モールス.wav");
    const ToolResult result = Run({"E", Utf8(out)});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    ExpectSameFrames(ReadWav(out), CharacterBlocks('E', {}, 440.0f, 0.3f));
}

TEST_F(RenderTool, HelpNamesTheDefaults) {
    const ToolResult result = Run({"--help"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.out.find("--gap MS"), std::string::npos);
    EXPECT_NE(result.out.find("(default 300)"), std::string::npos);
    EXPECT_NE(result.out.find("(default 440)"), std::string::npos);
}

TEST_F(RenderTool, BadArgumentsExitWithTwoAndWriteNothing) {
    const std::string out = (dir / "bad.wav").string();
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"E"},
        {"E", out, "extra"},
        {"--bogus", "E", out},
        {"--freq", "abc", "E", out},
        {"--freq", "99", "E", out},
        {"--freq", "nan", "E", out},
        {"--dih", "9", "E", out},
        {"--dah", "1001", "E", out},
        {"--pause", "12.5", "E", out},
        {"--gap", "-1", "E", out},
        {"--volume", "1.5", "E", out},
        {"--volume", "", "E", out},
        {"--noise=1", "E", out},
        {"E", out, "--dih"},
    };
    for (const auto& arguments : cases) {
        const ToolResult result = Run(arguments);
        std::string joined;
        for (const auto& a : arguments) {
            joined += a + " ";
        }
        EXPECT_EQ(result.exitCode, 2) << joined;
        EXPECT_EQ(result.err.rfind("zelbin-render: ", 0), 0u) << joined << "-> " << result.err;
        EXPECT_FALSE(fs::exists(out)) << joined;
    }
}

TEST_F(RenderTool, UnwritableOutputExitsWithTwo) {
    // ".wav" alone, in the scratch folder as the current one, names no file of a known type.
    const fs::path previous = fs::current_path();
    fs::current_path(dir);
    for (const fs::path& out : {dir / "missing" / "x.wav", dir, fs::path(".wav"), dir / ".wav"}) {
        const ToolResult result = Run({"E", out.string()});
        EXPECT_EQ(result.exitCode, 2) << out;
        EXPECT_NE(result.err.find("cannot write"), std::string::npos) << result.err;
    }
    fs::current_path(previous);
    EXPECT_FALSE(fs::exists(dir / ".wav"));
    if (fs::exists("/dev/full")) {
        const ToolResult result = Run({"EEEE", "/dev/full"});
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_TRUE(fs::exists("/dev/full")) << "a device is never removed";
    }
}

// ---- Sound file types, text input, words-per-minute timing, soft onset ----
// They read the files back through libsndfile, which the Windows build does not have.
// The band conditions: --seed and --qsb-period alone change nothing; the four effects give the
// same bytes for the same seed and others for another, over the same frames.
TEST_F(RenderTool, BandConditionsRepeatFromTheirSeedAndAreOffWithoutThem) {
    const std::vector<std::string> effects = {"--snr", "3", "--qsb", "60", "--qrm", "2", "--qrn", "20"};
    std::vector<std::string> otherSeed = {"--seed", "8"};
    otherSeed.insert(otherSeed.end(), effects.begin(), effects.end());
    struct Case {
        std::vector<std::string> options;
        int sameAs; // index of the file with the same bytes, or -1
        int unlike; // index of a file of the same size with other bytes, or -1
    };
    const Case cases[] = {
        {{}, -1, -1},
        {{"--seed", "7", "--qsb-period", "5"}, 0, -1},
        {effects, -1, 0},
        {effects, 2, -1},
        {{"--seed=4294967295"}, 0, -1},
        {otherSeed, -1, 2},
    };
    std::vector<std::string> files;
    for (const Case& c : cases) {
        const fs::path path = dir / (std::to_string(files.size()) + ".wav");
        std::vector<std::string> arguments = {"--wpm", "25"};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        arguments.insert(arguments.end(), {"CQ DE F4ABC", path.string()});
        const ToolResult result = Run(arguments);
        ASSERT_EQ(result.exitCode, 0) << path << ": " << result.err;
        files.push_back(ReadText(path));
        if (c.sameAs >= 0) {
            EXPECT_EQ(files.back(), files[static_cast<size_t>(c.sameAs)]) << path;
        }
        if (c.unlike >= 0) {
            EXPECT_NE(files.back(), files[static_cast<size_t>(c.unlike)]) << path;
            EXPECT_EQ(files.back().size(), files[static_cast<size_t>(c.unlike)].size()) << path;
        }
    }

    const std::string out = (dir / "bad.wav").string();
    const char* const bad[][2] = {{"--snr", "-11"},         {"--snr", "30.5"},      {"--qsb", "101"},
                                  {"--qsb-period", "1"},    {"--qsb-period", "31"}, {"--qrm", "4"},
                                  {"--qrn", "61"},          {"--qrn", "2.5"},       {"--seed", "-1"},
                                  {"--seed", "4294967296"}, {"--seed", "x"}};
    for (const auto& [name, value] : bad) {
        const ToolResult result = Run({name, value, "E", out});
        EXPECT_EQ(result.exitCode, 2) << name << " " << value;
        EXPECT_EQ(result.err.rfind("zelbin-render: bad value", 0), 0u) << result.err;
        EXPECT_FALSE(fs::exists(out)) << name << " " << value;
    }
}

#ifdef ZELBIN_HAVE_SNDFILE

struct Decoded {
    int rate = 0; // [frames/s]
    int channels = 0;
    std::vector<int16_t> samples; // interleaved
};

// Reads any file libsndfile reads, as 16-bit samples.
Decoded Decode(const fs::path& path) {
    Decoded decoded;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    EXPECT_NE(file, nullptr) << path << ": " << sf_strerror(nullptr);
    if (file == nullptr) {
        return decoded;
    }
    decoded.rate = info.samplerate;
    decoded.channels = info.channels;
    std::vector<int16_t> chunk(4096 * static_cast<size_t>(info.channels));
    sf_count_t count = 0;
    while ((count = sf_readf_short(file, chunk.data(), 4096)) > 0) {
        decoded.samples.insert(decoded.samples.end(), chunk.begin(), chunk.begin() + count * info.channels);
    }
    sf_close(file);
    return decoded;
}

std::vector<double> Channel(const Decoded& decoded, int channel) {
    std::vector<double> out;
    for (size_t i = static_cast<size_t>(channel); i < decoded.samples.size();
         i += static_cast<size_t>(decoded.channels)) {
        out.push_back(decoded.samples[i] / 32768.0);
    }
    return out;
}

bool CanWriteMp3() {
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 2;
    info.format = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    return sf_format_check(&info) != 0;
}

// The times [s] at which the sound rises above and falls back below a tenth of full scale.
std::vector<double> Edges(const std::vector<double>& samples, int rate) {
    std::vector<double> edges;
    bool on = false;
    for (size_t i = 0; i < samples.size(); ++i) {
        // A tone is on while some sample of the last 3 ms is loud.
        const size_t from = i >= static_cast<size_t>(rate) * 3 / 1000 ? i - static_cast<size_t>(rate) * 3 / 1000 : 0;
        const bool loud = std::any_of(samples.begin() + static_cast<std::ptrdiff_t>(from),
                                      samples.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                      [](double s) { return std::abs(s) > 0.1; });
        if (loud != on) {
            edges.push_back(static_cast<double>(i) / rate - (on ? 0.003 : 0.0));
            on = loud;
        }
    }
    return edges;
}

// Frequency [Hz] from the first and last upward zero crossings between two times [s].
double Frequency(const std::vector<double>& samples, int rate, double from, double to) {
    double first = -1.0;
    double last = -1.0;
    int crossings = 0;
    for (auto i = static_cast<size_t>(from * rate); i + 1 < static_cast<size_t>(to * rate); ++i) {
        if (samples[i] < 0.0 && samples[i + 1] >= 0.0) {
            const double at = static_cast<double>(i) + samples[i] / (samples[i] - samples[i + 1]);
            first = first < 0.0 ? at : first;
            last = at;
            ++crossings;
        }
    }
    return crossings < 2 ? 0.0 : (crossings - 1) * rate / (last - first);
}

TEST_F(RenderTool, FlacAndMonoHoldExactlyTheWavSamples) {
    const std::vector<std::string> sound = {"--wpm", "25", "--noise", "PARIS 73"};
    for (const char* name : {"s.wav", "s.flac", "m.wav", "m.flac"}) {
        std::vector<std::string> arguments = sound;
        if (name[0] == 'm') {
            arguments.insert(arguments.begin(), "--mono");
        }
        arguments.push_back((dir / name).string());
        const ToolResult result = Run(arguments);
        ASSERT_EQ(result.exitCode, 0) << name << ": " << result.err;
    }
    const std::vector<uint32_t> wav = ReadWav(dir / "s.wav");
    ASSERT_FALSE(wav.empty());
    const Decoded flac = Decode(dir / "s.flac");
    EXPECT_EQ(flac.rate, 44100);
    ASSERT_EQ(flac.channels, 2);
    ASSERT_EQ(flac.samples.size(), 2 * wav.size());
    for (size_t i = 0; i < wav.size(); ++i) {
        ASSERT_EQ(static_cast<uint16_t>(flac.samples[2 * i]), wav[i] & 0xFFFFu) << "left, frame " << i;
        ASSERT_EQ(static_cast<uint16_t>(flac.samples[2 * i + 1]), wav[i] >> 16) << "right, frame " << i;
    }
    for (const char* name : {"m.wav", "m.flac"}) {
        const Decoded mono = Decode(dir / name);
        ASSERT_EQ(mono.channels, 1) << name;
        ASSERT_EQ(mono.samples.size(), wav.size()) << name;
        for (size_t i = 0; i < wav.size(); ++i) {
            ASSERT_EQ(static_cast<uint16_t>(mono.samples[i]), wav[i] & 0xFFFFu) << name << ", frame " << i;
        }
    }
    EXPECT_EQ(ReadText(dir / "m.wav").size(), 44 + 2 * wav.size()) << "16-bit mono after a 44-byte header";
}

// " TE " at 20 words per minute: a word gap (420 ms), T from 0.42 to 0.60 s, a character gap,
// E from 0.78 to 0.84 s, a word gap to 1.26 s. "E" alone: a tone from 0 to 0.06 s and nothing
// after it, whose end must not be lost. The encoders' delays are taken out by libsndfile's
// decoders. At their defaults the compressed files have one channel at 8000 Hz.
TEST_F(RenderTool, CompressedFilesDecodeToTheToneAtItsTimes) {
    struct Type {
        const char* name;
        int rate;
        const char* text = " TE ";
        std::vector<double> edges = {0.42, 0.60, 0.78, 0.84}; // [s]
        double lengthS = 1.26;
        double lengthToleranceS = 0.03; // the lossy encoders pad the end
    };
    const bool mp3 = CanWriteMp3();
    for (const Type& type : {Type{"t.ogg", 8000}, Type{"t.opus", 8000}, Type{"t.mp3", 8000},
                             Type{"e.opus", 8000, "E", {0.0, 0.06}, 0.06, 0.0005}}) {
        const fs::path out = dir / type.name;
        const ToolResult result = Run({"--wpm", "20", "--volume", "0.8", "--freq", "600", type.text, out.string()});
        if (std::string(type.name) == "t.mp3" && !mp3) {
            EXPECT_EQ(result.exitCode, 2);
            EXPECT_NE(result.err.find("cannot write such files"), std::string::npos) << result.err;
            EXPECT_FALSE(fs::exists(out));
            continue;
        }
        ASSERT_EQ(result.exitCode, 0) << type.name << ": " << result.err;
        const Decoded decoded = Decode(out);
        EXPECT_EQ(decoded.rate, type.rate) << type.name;
        ASSERT_EQ(decoded.channels, 1) << type.name;
        std::vector<double> left = Channel(decoded, 0);
        const double lengthS = static_cast<double>(left.size()) / decoded.rate;
        left.resize(left.size() + static_cast<size_t>(decoded.rate) / 100, 0.0); // so that a last tone falls
        const std::vector<double> edges = Edges(left, decoded.rate);
        ASSERT_EQ(edges.size(), type.edges.size()) << type.name;
        for (size_t i = 0; i < edges.size(); ++i) {
            EXPECT_NEAR(edges[i], type.edges[i], 0.002) << type.name << ", edge " << i;
        }
        if (type.edges[1] - type.edges[0] > 0.1) { // a tone long enough to measure
            EXPECT_NEAR(Frequency(left, decoded.rate, type.edges[0] + 0.03, type.edges[1] - 0.03), 600.0, 1.0)
                << type.name;
        }
        EXPECT_NEAR(lengthS, type.lengthS, type.lengthToleranceS) << type.name;
    }
}

TEST_F(RenderTool, QualityChangesTheSizeOfCompressedFiles) {
    const std::string text(40, 'E');
    for (const std::string type : {".ogg", ".opus", ".mp3"}) {
        if (type == ".mp3" && !CanWriteMp3()) {
            continue;
        }
        for (const char* quality : {"0", "1"}) {
            const ToolResult result = Run({"--quality", quality, text, (dir / (quality + type)).string()});
            ASSERT_EQ(result.exitCode, 0) << type << " " << quality << ": " << result.err;
        }
        EXPECT_GT(fs::file_size(dir / ("1" + type)), fs::file_size(dir / ("0" + type))) << type;
    }
}

TEST_F(RenderTool, UnknownFileTypesAreRefusedAndLeaveNoFile) {
    for (const char* name : {"x.aiff", "x", "x.wav.txt", ".wav", "x.wave"}) {
        const ToolResult result = Run({"E", (dir / name).string()});
        EXPECT_EQ(result.exitCode, 2) << name;
        EXPECT_NE(result.err.find("unknown file type: use .wav, .flac, .ogg, .opus or .mp3"), std::string::npos)
            << result.err;
        EXPECT_FALSE(fs::exists(dir / name)) << name;
    }
    const ToolResult upper = Run({"E", (dir / "UPPER.FLAC").string()});
    EXPECT_EQ(upper.exitCode, 0) << upper.err;
    EXPECT_EQ(Decode(dir / "UPPER.FLAC").rate, 44100);
}

TEST_F(RenderTool, UnwritableOutputOfEachTypeExitsWithTwo) {
    for (const char* name : {"x.wav", "x.flac", "x.ogg", "x.opus", "x.mp3"}) {
        const ToolResult result = Run({"E", (dir / "missing" / name).string()});
        EXPECT_EQ(result.exitCode, 2) << name;
        EXPECT_NE(result.err.find("cannot write"), std::string::npos) << result.err;
    }
    if (fs::exists("/dev/full")) {
        for (const char* name : {"full.wav", "full.flac", "full.ogg"}) {
            fs::create_symlink("/dev/full", dir / name);
            const ToolResult result = Run({"PARIS PARIS", (dir / name).string()});
            EXPECT_EQ(result.exitCode, 2) << name;
            EXPECT_NE(result.err.find("cannot write"), std::string::npos) << result.err;
            EXPECT_TRUE(fs::exists("/dev/full")) << "a device is never removed";
        }
    }
}

TEST_F(RenderTool, TextFromStandardInputOrAFileInUtf8) {
    const std::string text = "\xC3\xA9t\xC3\xA9 \xC5\x93 e\xCC\x81\n"; // "été œ é", the last one decomposed
    ASSERT_EQ(Run({"ETE OE E!", (dir / "ascii.wav").string()}).exitCode, 0);
    std::ofstream(dir / "text.txt", std::ios::binary) << text;
    const ToolResult fromStdin = Run({"-", (dir / "stdin.wav").string()}, text);
    const ToolResult fromFile = Run({"--text-file", (dir / "text.txt").string(), (dir / "file.wav").string()});
    const ToolResult fileStdin = Run({"--text-file=-", (dir / "filestdin.wav").string()}, text);
    const ToolResult operand = Run({text, (dir / "operand.wav").string()});
    for (const ToolResult* result : {&fromStdin, &fromFile, &fileStdin, &operand}) {
        EXPECT_EQ(result->exitCode, 0) << result->err;
    }
    const std::string expected = ReadText(dir / "ascii.wav");
    ASSERT_GT(expected.size(), 44u);
    for (const char* name : {"stdin.wav", "file.wav", "filestdin.wav", "operand.wav"}) {
        EXPECT_TRUE(ReadText(dir / name) == expected) << name << ": the newline is another character, like '!'";
    }
    for (const fs::path& source : {dir / "absent.txt", dir}) {
        const ToolResult result = Run({"--text-file", source.string(), (dir / "none.wav").string()});
        EXPECT_EQ(result.exitCode, 2) << source;
        EXPECT_EQ(result.err.rfind("zelbin-render: cannot read " + source.string() + ": ", 0), 0u) << result.err;
        EXPECT_FALSE(fs::exists(dir / "none.wav"));
    }
}

TEST_F(RenderTool, WordsPerMinuteWithFarnsworthLastExactlyAMinute) {
    std::string text;
    for (int i = 0; i < 7; ++i) {
        text += "PARIS ";
    }
    const ToolResult result = Run({"--wpm", "18", "--farnsworth", "7", text, (dir / "wpm.wav").string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(ReadWav(dir / "wpm.wav").size(), 2646000u) << "60 s at 44100 Hz";
}

TEST_F(RenderTool, SoftOnsetChangesOnlyTheFirstFiveMillisecondsOfEachTone) {
    ASSERT_EQ(Run({"--wpm", "20", "EE", (dir / "hard.wav").string()}).exitCode, 0);
    ASSERT_EQ(Run({"--wpm", "20", "--soft-onset", "EE", (dir / "soft.wav").string()}).exitCode, 0);
    const std::vector<uint32_t> hard = ReadWav(dir / "hard.wav");
    const std::vector<uint32_t> soft = ReadWav(dir / "soft.wav");
    ASSERT_EQ(hard.size(), 5u * 2646u);
    ASSERT_EQ(soft.size(), hard.size());
    double hardRise = 0.0; // sums of the magnitudes over the first 5 ms of the tones
    double softRise = 0.0;
    for (size_t i = 0; i < hard.size(); ++i) {
        const size_t inTone = i % (4 * 2646); // the second E starts 4 units after the first
        const auto hardLeft = static_cast<int16_t>(hard[i] & 0xFFFFu);
        const auto softLeft = static_cast<int16_t>(soft[i] & 0xFFFFu);
        if (inTone < 221) {
            ASSERT_LE(std::abs(softLeft), std::abs(hardLeft)) << "frame " << i;
            hardRise += std::abs(hardLeft);
            softRise += std::abs(softLeft);
        } else {
            ASSERT_EQ(soft[i], hard[i]) << "frame " << i;
        }
    }
    EXPECT_NEAR(softRise / hardRise, 0.5, 0.05) << "a raised cosine averages one half";
}

TEST_F(RenderTool, BadValuesOfTheNewOptionsExitWithTwoAndWriteNothing) {
    const std::string out = (dir / "bad.ogg").string();
    const std::vector<std::vector<std::string>> cases = {
        {"--wpm", "0", "E", out},
        {"--wpm", "101", "E", out},
        {"--wpm", "12.5", "E", out},
        {"--farnsworth", "10", "E", out},
        {"--wpm", "20", "--farnsworth", "20", "E", out},
        {"--wpm", "20", "--farnsworth", "25", "E", out},
        {"--wpm", "20", "--farnsworth", "0", "E", out},
        {"--wpm", "20", "--dih", "50", "E", out},
        {"--gap=300", "--wpm=20", "E", out},
        {"--quality", "1.5", "E", out},
        {"--quality", "-0.1", "E", out},
        {"--quality", "x", "E", out},
        {"--mono=1", "E", out},
        {"--soft-onset=yes", "E", out},
        {"--text-file", "", out},
        {"--text-file", "t.txt", "E", out},
        {"--text-file", "t.txt"},
        {"E", out, "--text-file"},
    };
    for (const auto& arguments : cases) {
        const ToolResult result = Run(arguments);
        std::string joined;
        for (const auto& a : arguments) {
            joined += a + " ";
        }
        EXPECT_EQ(result.exitCode, 2) << joined;
        EXPECT_EQ(result.err.rfind("zelbin-render: ", 0), 0u) << joined << "-> " << result.err;
        EXPECT_FALSE(fs::exists(out)) << joined;
    }
}

// The sample rate and channels of each type at its defaults and with --rate, --mono and
// --stereo, and the length of "E" at 20 words per minute: one unit, 1.2 s / 20 = 60 ms, at
// the file's rate (11025 * 0.06 = 661.5 rounds up). In the millisecond timing at 8000 Hz, E
// is the 801 samples below 100 ms (the period 1/8000 is a little under 125 us as a float),
// the stop sample, and the rest of two 512-frame blocks.
TEST_F(RenderTool, RatesAndChannelsOfEachTypeAndTheirDefaults) {
    struct Case {
        std::vector<std::string> arguments;
        const char* name;
        int rate;
        int channels;
        size_t frames;
    };
    const std::vector<Case> cases = {
        {{"--wpm", "20"}, "d.wav", 44100, 2, 2646},
        {{"--wpm", "20"}, "d.flac", 44100, 2, 2646},
        {{"--wpm", "20"}, "d.ogg", 8000, 1, 480},
        {{"--wpm", "20"}, "d.opus", 8000, 1, 480},
        {{"--wpm", "20"}, "d.mp3", 8000, 1, 480},
        {{"--wpm", "20", "--rate", "11025", "--mono"}, "r.flac", 11025, 1, 662},
        {{"--wpm", "20", "--rate", "22050", "--stereo"}, "r.ogg", 22050, 2, 1323},
        {{"--wpm", "20", "--rate", "12000"}, "r.opus", 12000, 1, 720},
        {{"--rate", "8000"}, "ms.wav", 8000, 2, 1024},
    };
    for (const Case& c : cases) {
        if (std::string(c.name).ends_with(".mp3") && !CanWriteMp3()) {
            continue;
        }
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.end(), {"E", (dir / c.name).string()});
        const ToolResult result = Run(arguments);
        ASSERT_EQ(result.exitCode, 0) << c.name << ": " << result.err;
        const Decoded decoded = Decode(dir / c.name);
        EXPECT_EQ(decoded.rate, c.rate) << c.name;
        EXPECT_EQ(decoded.channels, c.channels) << c.name;
        EXPECT_EQ(decoded.samples.size(), c.frames * static_cast<size_t>(c.channels)) << c.name;
    }
    // Synthesised at 8000 Hz, not resampled: the 440 Hz sine at gain 0.3, truncated to 16 bits.
    const Decoded wav = Decode(dir / "ms.wav");
    for (size_t n = 0; n < 700 && 2 * n < wav.samples.size(); ++n) {
        const double expected = std::trunc(0.3 * std::sin(2.0 * 3.14159265358979 * 440.0 * n / 8000.0) * 32767.0);
        ASSERT_NEAR(wav.samples[2 * n], expected, 1.0) << "frame " << n;
    }
    ASSERT_EQ(Run({"--rate", "44100", "--noise", "PARIS 5", (dir / "44100.wav").string()}).exitCode, 0);
    ASSERT_EQ(Run({"--noise", "PARIS 5", (dir / "default.wav").string()}).exitCode, 0);
    EXPECT_TRUE(ReadText(dir / "44100.wav") == ReadText(dir / "default.wav")) << "--rate 44100 is the default";
}

#endif // ZELBIN_HAVE_SNDFILE

// ---- Failures: no file half-written, an older file kept, one line of reason ----

// 100 KB of noise, as from a binary file.
std::string NoiseBytes() {
    std::string bytes(100000, '\0');
    uint32_t state = 12345;
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 23);
    }
    return bytes;
}

#ifndef _WIN32
// Runs the tool with standard input from dir/stdin and, once the file it writes has data in its
// folder (the temporary file), sends it a signal. Returns its wait status.
int RunAndSignal(const std::vector<std::string>& arguments, const fs::path& dir, int signal) {
    const pid_t pid = fork();
    if (pid == 0) {
        for (const int caught : {SIGINT, SIGTERM, SIGHUP}) {
            std::signal(caught, SIG_DFL); // as at a terminal, whatever ran the tests ignores
        }
        const int in = open((dir / "stdin").c_str(), O_RDONLY);
        const int err = open((dir / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(in, STDIN_FILENO);
        dup2(err, STDERR_FILENO);
        std::vector<char*> argv{const_cast<char*>(ZELBIN_RENDER_TOOL)};
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        execv(ZELBIN_RENDER_TOOL, argv.data());
        _exit(127);
    }
    // The temporary file starts with a dot; wait until it holds something (60 s at most).
    for (int tries = 0; tries < 6000; ++tries) {
        bool writing = false;
        for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
            std::error_code ignored;
            writing = writing || (entry.path().filename().string()[0] == '.' && entry.file_size(ignored) > 0);
        }
        if (writing) {
            break;
        }
        usleep(10000);
    }
    kill(pid, signal);
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}
#endif

// Each case fails with one line on standard error and exit status 2 (or by its signal), leaves
// no file of its own in the folder, and an older file of the same name as it was. A size limit
// and /dev/full make the writes of every type fail (MP3 included, whose encoder goes on after
// a short write), signals stop a long render, and bad input is refused before any writing.
TEST_F(RenderTool, FailuresLeaveNoFileAndKeepTheOlderOne) {
    struct Case {
        std::vector<std::string> arguments; // the output name is added at the end
        const char* out;                    // in dir; "full.*" names a link to /dev/full
        std::string input;
        int limitKb = 0; // file size limit (ulimit -f), 0 for none
        int signal = 0;  // sent during the render, 0 for none
        const char* message = "";
    };
    std::string paris;
    for (int i = 0; i < 20000; ++i) {
        paris += "PARIS "; // 1000 minutes at 20 words per minute
    }
    const std::vector<std::string> longText = {"--wpm", "20", "-"};
    std::vector<Case> cases = {
        {{""}, "empty.wav", "", 0, 0, "the text is empty: nothing to play"},
        {{"-"}, "spaces.wav", " #! \n", 0, 0, "nothing to play: no character of the text has a Morse code"},
        {{"-"}, "binary.wav", NoiseBytes(), 0, 0, "the input is not text: it holds a zero byte"},
        {{"-"},
         "controls.wav",
         std::string(11, '\x01') + std::string(89, 'E'),
         0,
         0,
         "the input is not text: 11% of its bytes are control characters or not UTF-8"},
        {{"--wpm", " 20", "E"}, "n.wav", "", 0, 0, "bad value ' 20' for --wpm"},
        {{"--wpm", "20abc", "E"}, "n.wav", "", 0, 0, "bad value '20abc' for --wpm"},
        {{"--freq", "0x1f4", "E"}, "n.wav", "", 0, 0, "bad value '0x1f4' for --freq"},
        {{"--freq", "5e2", "E"}, "n.wav", "", 0, 0, "bad value '5e2' for --freq"},
        {{"--volume", "+0.5", "E"}, "n.wav", "", 0, 0, "bad value '+0.5' for --volume"},
        {{"--rate", "8000.0", "E"}, "n.wav", "", 0, 0, "bad value '8000.0' for --rate"},
#ifndef _WIN32
        {{"-"}, "empty.ogg", "", 0, 0, "the text is empty: nothing to play"},
        {{"--rate", "9000", "E"}, "n.mp3", "", 0, 0, "cannot write such files at 9000 Hz"},
        {longText, "limit.wav", paris, 50, 0, "File too large"},
        {longText, "limit.flac", paris, 50, 0, "File too large"},
        {longText, "limit.ogg", paris, 50, 0, "File too large"},
        {longText, "limit.opus", paris, 50, 0, "File too large"},
        {longText, "limit.mp3", paris, 50, 0, "File too large"},
        {longText, "full.wav", paris, 0, 0, "No space left on device"},
        {longText, "full.flac", paris, 0, 0, "No space left on device"},
        {longText, "full.ogg", paris, 0, 0, "No space left on device"},
        {longText, "full.opus", paris, 0, 0, "No space left on device"},
        {longText, "full.mp3", paris, 0, 0, "No space left on device"},
        {{"--wpm", "20", "--rate", "8000", "-"}, "int.wav", paris, 0, SIGINT, "interrupted by SIGINT"},
        {longText, "term.ogg", paris, 0, SIGTERM, "interrupted by SIGTERM"},
        {longText, "hup.mp3", paris, 0, SIGHUP, "interrupted by SIGHUP"},
#endif
    };
    for (const Case& c : cases) {
        const std::string name = c.out;
        const fs::path out = dir / name;
        const bool toFull = name.starts_with("full.");
        if (toFull) {
            fs::create_symlink("/dev/full", out);
        } else {
            std::ofstream(out, std::ios::binary) << "older sound";
        }
        std::vector<std::string> arguments = c.arguments;
        arguments.push_back(out.string());
        ToolResult result;
#ifndef _WIN32
        if (c.signal != 0) {
            std::ofstream(dir / "stdin", std::ios::binary) << c.input;
            const int status = RunAndSignal(arguments, dir, c.signal);
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << name << ": status " << status;
            result.err = ReadText(dir / "stderr");
        }
#endif
        if (c.signal == 0) {
            const std::string limit = c.limitKb > 0 ? "ulimit -f " + std::to_string(c.limitKb) + "; " : "";
            result = Run(arguments, c.input, limit);
            EXPECT_EQ(result.exitCode, 2) << name;
        }
        // One line of reason; a bad argument adds the pointer to --help.
        std::erase(result.err, '\r'); // Windows ends its lines with CR LF
        const std::string reason = result.err.substr(0, result.err.find('\n') + 1);
        const std::string rest = result.err.substr(reason.size());
        EXPECT_EQ(reason.rfind("zelbin-render: ", 0), 0u) << name << ": " << result.err;
        EXPECT_NE(reason.find(c.message), std::string::npos) << name << ": " << result.err;
        EXPECT_TRUE(rest.empty() || rest == "Try 'zelbin-render --help'.\n") << name << ": " << result.err;
        if (toFull) {
            EXPECT_TRUE(fs::is_character_file(out)) << name << ": the link and the device stay";
        } else {
            EXPECT_EQ(ReadText(out), "older sound") << name;
        }
        for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
            const std::string left = entry.path().filename().string();
            EXPECT_TRUE(left == name || left == "stdin" || left == "stdout" || left == "stderr")
                << name << ": " << left;
        }
        fs::remove(out);
    }
    // The same render, when it can finish, replaces the older file.
    std::ofstream(dir / "new.wav", std::ios::binary) << "older sound";
    ASSERT_EQ(Run({"E", (dir / "new.wav").string()}).exitCode, 0);
    ExpectSameFrames(ReadWav(dir / "new.wav"), CharacterBlocks('E', {}, 440.0f, 0.3f));
}

} // namespace
