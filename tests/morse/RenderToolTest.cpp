// Runs zelbin-render and reads back the WAV files it writes.

#include "audio/PcmConversion.h"
#include "morse/MorseTable.h"

#include "SynthesiserTestSupport.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#endif

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

    ToolResult Run(const std::vector<std::string>& arguments) const {
        std::string command = Quote(Utf8(fs::path(ZELBIN_RENDER_TOOL).make_preferred()));
        for (const std::string& argument : arguments) {
            command += " " + Quote(argument);
        }
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
    for (const fs::path& out : {dir / "missing" / "x.wav", dir}) {
        const ToolResult result = Run({"E", out.string()});
        EXPECT_EQ(result.exitCode, 2) << out;
        EXPECT_NE(result.err.find("cannot write"), std::string::npos) << result.err;
    }
    if (fs::exists("/dev/full")) {
        const ToolResult result = Run({"EEEE", "/dev/full"});
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_TRUE(fs::exists("/dev/full")) << "a device is never removed";
    }
}

} // namespace
