// Plays through the real PortAudio and ALSA stack, with no sound card: the test runs inside
// tools/pulse-sandbox, whose ALSA default device records every byte written to it in
// $ZELBIN_TAP before passing it on to a private PulseAudio null sink paced in real time.
#include "audio/PcmConversion.h"
#include "audio/PortAudioDevice.h"
#include "audio/PortAudioSidetoneDevice.h"
#include "audio/WaveOutDriver.h"
#include "keying/KeyingEngine.h"
#include "morse/MorseTable.h"
#include "morse/Synthesiser.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr int32_t kPauseMs = 50;
constexpr int32_t kDihMs = 50;
constexpr int32_t kDahMs = 150;
constexpr float kFrequency = 650.0f; // [Hz]
constexpr float kVolume = 0.6f;

void PrepareSynth(Synthesiser& synth) {
    synth.Initialise();
    synth.SetElementLengths(kPauseMs, kDihMs, kDahMs);
    synth.SetFrequency(kFrequency);
    synth.SetVolume(kVolume);
}

// The synthesiser's own output for one character, from its restart, rendered in the
// driver's 512-frame requests and converted as the driver converts it, followed by a ring's
// worth of silence.
std::vector<uint32_t> ReferencePcm(char character) {
    Synthesiser synth;
    PrepareSynth(synth);
    MorseTable table;
    table.CodeForChar(character, synth.currentCode);
    synth.PlayCode();
    std::vector<uint32_t> pcm;
    int32_t silentBlocks = 0;
    while (silentBlocks < 8) {
        int32_t filled = 0;
        while (filled < 512) {
            int32_t count = 512 - filled;
            const StereoFrame* frames = ToneCallback(&synth, &count);
            const size_t at = pcm.size();
            pcm.resize(at + static_cast<size_t>(count));
            ConvertToPcm16(frames, pcm.data() + at, count);
            filled += count;
        }
        silentBlocks = synth.IsPlaying() ? 0 : silentBlocks + 1;
    }
    return pcm;
}

std::vector<uint32_t> ReadTap() {
    const char* path = std::getenv("ZELBIN_TAP");
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<uint32_t> frames(bytes.size() / 4);
    for (size_t i = 0; i < frames.size(); ++i) {
        const auto* b = reinterpret_cast<const unsigned char*>(bytes.data() + 4 * i);
        frames[i] = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
    }
    return frames;
}

size_t FirstNonZero(const std::vector<uint32_t>& pcm, size_t from = 0) {
    for (size_t i = from; i < pcm.size(); ++i) {
        if (pcm[i] != 0) {
            return i;
        }
    }
    return pcm.size();
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

void ExpectCharacterInTap(char character, size_t from);

// The synthesiser on the real device through the system's stream.
struct RealStream {
    RealStream() : driver(MakeDevice()) {
        PrepareSynth(synth);
        driver.SetCallback(nullptr, &ToneCallback, &synth);
        driver.Configure(44100, 2048, 8, 10, 0);
    }
    std::unique_ptr<PortAudioDevice> MakeDevice() {
        auto device = std::make_unique<PortAudioDevice>();
        portAudio = device.get();
        return device;
    }
    Synthesiser synth;
    MorseTable table;
    PortAudioDevice* portAudio = nullptr;
    WaveOutDriver driver;
};

TEST(RealAudio, DefaultOutputComesFirstInTheDeviceList) {
    WaveOutDriver driver;
    ASSERT_GE(driver.GetDeviceCount(), 1);
    EXPECT_STREQ(driver.GetDeviceName(0), "default");
    const int32_t count = driver.GetDeviceCount();
    for (int32_t id = 1; id < count; ++id) {
        EXPECT_STRNE(driver.GetDeviceName(id), "default") << id;
        EXPECT_LE(std::string(driver.GetDeviceName(id)).size(), 31u);
    }
    EXPECT_EQ(driver.GetDeviceCount(), count); // stable
}

TEST(RealAudio, NoUnderflowIsCountedBeforeTheFirstWrite) {
    const size_t tapBefore = ReadTap().size();
    PortAudioDevice device;
    ASSERT_EQ(device.Open(0, 44100), kWaveOk);
    // The stream runs and its callback finds nothing queued, many times over (the silence it
    // plays reaches the tap): that is no underflow yet, since nothing was ever fed.
    std::this_thread::sleep_for(300ms);
    EXPECT_GT(ReadTap().size(), tapBefore + 44100 / 10);
    EXPECT_EQ(device.GetUnderflowCount(), 0u);
    EXPECT_EQ(device.Close(), kWaveOk);
}

TEST(RealAudio, CharacterReachesTheDeviceBitExactAndUnbroken) {
    RealStream stream;
    Synthesiser& synth = stream.synth;
    WaveOutDriver& driver = stream.driver;
    PortAudioDevice* portAudio = stream.portAudio;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(driver.Start());
    std::this_thread::sleep_for(300ms); // silence first
    stream.table.CodeForChar('C', synth.currentCode);
    synth.PlayCode();
    ASSERT_TRUE(WaitUntil([&] { return !synth.IsPlaying(); }, 10s));
    std::this_thread::sleep_for(400ms); // the ring and the sink play out
    const int32_t played = driver.GetPlayedFrames();
    EXPECT_TRUE(driver.Stop());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), ""); // no ALSA or JACK chatter, no report
    EXPECT_GT(played, 44100 / 2);
    // Underflows depend on how busy the machine is, so they are reported here and measured by
    // tools/driver-figures; the tap comparison below is what proves the tone arrived unbroken.
    RecordProperty("underflows", static_cast<int>(portAudio->GetUnderflowCount()));

    ExpectCharacterInTap('C', 0);
}

// The first sound recorded from frame `from` on must be the synthesiser's character, bit-exact
// and unbroken: nothing else sounded before it (no click) and nothing broke it.
void ExpectCharacterInTap(char character, size_t from) {
    const std::vector<uint32_t> reference = ReferencePcm(character);
    const std::vector<uint32_t> tap = ReadTap();
    const size_t r0 = FirstNonZero(reference);
    const size_t t0 = FirstNonZero(tap, from);
    ASSERT_LT(r0, reference.size());
    ASSERT_LT(t0, tap.size()) << "no tone reached the device (" << tap.size() << " frames recorded)";
    const size_t length = reference.size() - r0;
    // 'C' is dah dih dah dih with gaps: 4 tones of 150, 50, 150, 50 ms and 3 gaps of 50 ms.
    ASSERT_GT(length, static_cast<size_t>(44100 * 0.55));
    ASSERT_GE(tap.size() - t0, length) << "the recording ends inside the character";
    size_t mismatches = 0;
    size_t first = length;
    for (size_t i = 0; i < length; ++i) {
        if (tap[t0 + i] != reference[r0 + i]) {
            ++mismatches;
            first = std::min(first, i);
        }
    }
    EXPECT_EQ(mismatches, 0u) << "first difference " << first << " frames after the tone began";
}

// The sending window's sidetone on its own stream: the dit paddle held 170 ms at 20 WPM keys two
// dits, which reach the device sample for sample as the engine renders them anywhere.
TEST(RealAudio, SidetoneReachesTheDeviceBitExact) {
    const auto configure = [](KeyingEngine& engine) {
        engine.Configure(KeyingMode::IambicA, 20, false);
        engine.SetTone(kFrequency, kVolume);
    };
    KeyingEngine engine;
    configure(engine);
    PortAudioSidetoneDevice device;
    ASSERT_TRUE(device.Open(0, 44100, &KeyingEngine::RenderCallback, &engine));
    std::this_thread::sleep_for(200ms); // silence first
    engine.Input(KeyInput::LeftControl, true);
    std::this_thread::sleep_for(170ms); // past the second dit's start (120 ms), before a third's (240 ms)
    engine.Input(KeyInput::LeftControl, false);
    std::this_thread::sleep_for(400ms);
    device.Close();

    // The same two dits rendered here: 2646 frames each, 2646 apart, each with its 221-frame fall.
    KeyingEngine offline;
    configure(offline);
    offline.Input(KeyInput::LeftControl, true);
    std::vector<uint32_t> reference(3 * 2646 + 221);
    constexpr int32_t kReleaseFrame = 7497; // 170 ms
    offline.Render(reference.data(), kReleaseFrame);
    offline.Input(KeyInput::LeftControl, false);
    offline.Render(reference.data() + kReleaseFrame, static_cast<int32_t>(reference.size()) - kReleaseFrame);
    const std::vector<uint32_t> tap = ReadTap();
    const size_t t0 = FirstNonZero(tap);
    const size_t r0 = FirstNonZero(reference);
    ASSERT_LT(t0, tap.size()) << "no tone reached the device (" << tap.size() << " frames recorded)";
    ASSERT_GE(tap.size() - t0, reference.size() - r0);
    size_t mismatches = 0;
    for (size_t i = 0; r0 + i < reference.size(); ++i) {
        mismatches += tap[t0 + i] != reference[r0 + i] ? 1 : 0;
    }
    EXPECT_EQ(mismatches, 0u);
    KeyingEngine::Transition t;
    std::vector<int64_t> changes;
    while (engine.TakeTransition(t)) {
        changes.push_back(t.frame);
    }
    ASSERT_EQ(changes.size(), 4u);
    EXPECT_EQ(changes[1] - changes[0], 2646);
    EXPECT_EQ(changes[3] - changes[1], 2 * 2646);
}

// A stream paused after 200 ms of silence writes nothing more to the device; the next
// character starts it again and arrives whole.
TEST(RealAudio, CharacterAfterAnIdlePauseReachesTheDeviceBitExact) {
    RealStream stream;
    Synthesiser& synth = stream.synth;
    WaveOutDriver& driver = stream.driver;
    driver.SetIdlePause(200);
    synth.SetSoundListener([](void* context) { static_cast<WaveOutDriver*>(context)->WakeForSound(); }, &driver);
    ASSERT_TRUE(driver.Start());
    ASSERT_TRUE(WaitUntil([&] { return driver.IsPausedForSilence(); }, 10s));
    const size_t tapAtPause = ReadTap().size();
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(ReadTap().size(), tapAtPause) << "the paused stream still wrote to the device";
    stream.table.CodeForChar('C', synth.currentCode);
    synth.PlayCode();
    ASSERT_TRUE(WaitUntil([&] { return !synth.IsPlaying(); }, 10s));
    std::this_thread::sleep_for(400ms);
    EXPECT_FALSE(stream.portAudio->HasFailed());
    RecordProperty("underflows", static_cast<int>(stream.portAudio->GetUnderflowCount()));
    EXPECT_TRUE(driver.Stop());
    ExpectCharacterInTap('C', tapAtPause);
}

TEST(RealAudio, DeviceIdOutsideTheListFailsToOpen) {
    Synthesiser synth;
    PrepareSynth(synth);
    WaveOutDriver driver;
    driver.SetCallback(nullptr, &ToneCallback, &synth);
    for (int32_t id : {driver.GetDeviceCount(), -1}) {
        driver.Configure(44100, 2048, 8, 10, id);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(driver.Start()) << id;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "WaveOut driver: waveOutOpen() failed\n");
    }
}

// Run in a child process, one per ALSA configuration (PortAudio reads it once per process).
// ZELBIN_NO_AUDIO_CHILD says what the configuration allows: "none" (no device) or "starts".
TEST(RealAudioChild, NoUsableDevice) {
    const char* expected = std::getenv("ZELBIN_NO_AUDIO_CHILD");
    if (expected == nullptr) {
        GTEST_SKIP() << "run by RealAudio.NoUsableDeviceFailsTheStart";
    }
    const bool starts = std::string(expected) == "starts";
    if (!starts) {
        PortAudioDevice device;
        EXPECT_EQ(device.GetDeviceCount(), 0);
        EXPECT_NE(device.Open(0, 44100), kWaveOk);
    }
    Synthesiser synth;
    PrepareSynth(synth);
    WaveOutDriver driver;
    driver.SetCallback(nullptr, &ToneCallback, &synth);
    driver.Configure(44100, 2048, 8, 10, 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(driver.Start(), starts);
    EXPECT_EQ(driver.GetDeviceCount() > 0, starts);
    EXPECT_EQ(std::string(driver.GetDeviceName(0)).empty(), !starts);
    EXPECT_TRUE(driver.Stop());
    // At most one report, that of a device that cannot open, and no chatter of ALSA or PortAudio.
    EXPECT_EQ(testing::internal::GetCapturedStderr(), starts ? "" : "WaveOut driver: waveOutOpen() failed\n");
}

// Configurations in which nothing can play. Without a PCM named "default" or "dmix",
// Debian's PortAudio 19.6 aborts inside Pa_Initialize; the driver must fail its start instead.
// With a dmix PCM alone, it starts.
TEST(RealAudio, NoUsableDeviceFailsTheStart) {
    const char* sandbox = std::getenv("ZELBIN_SANDBOX_DIR");
    const char* noAudio = std::getenv("ZELBIN_NO_AUDIO_ALSA_CONFIG");
    ASSERT_NE(sandbox, nullptr);
    ASSERT_NE(noAudio, nullptr);
    const auto written = [&](const char* name, const char* text) {
        const std::string path = std::string(sandbox) + "/" + name;
        std::ofstream(path) << text;
        return path;
    };
    const struct {
        const char* what;
        std::string configPath;
        const char* outcome = "none";
    } kCases[] = {
        {"a default PCM on a card that does not exist", noAudio},
        {"ALSA_CONFIG_PATH=/dev/null", "/dev/null"},
        {"an empty configuration", written("empty.conf", "")},
        {"a configuration with controls only", written("ctl-only.conf", "ctl.!default { type hw card 0 }\n")},
        {"a configuration whose one PCM is neither default nor dmix",
         written("quiet-only.conf", "pcm.quiet { type null }\n")},
        {"a configuration whose one PCM is dmix", written("dmix-only.conf", "pcm.dmix { type null }\n"), "starts"},
    };
    for (const auto& c : kCases) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            setenv("ALSA_CONFIG_PATH", c.configPath.c_str(), 1);
            setenv("ZELBIN_NO_AUDIO_CHILD", c.outcome, 1);
            unsetenv("PULSE_SERVER");
            execl("/proc/self/exe", "real_audio_test", "--gtest_filter=RealAudioChild.NoUsableDevice", nullptr);
            _exit(127);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status)) << c.what << ": ended by signal " << WTERMSIG(status);
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0) << c.what;
    }
}

// Last: it takes the sound server away.
TEST(RealAudioZ, ServerThatVanishesMidStreamDoesNotHangTheDriver) {
    const char* pid = std::getenv("ZELBIN_PULSE_PID");
    ASSERT_NE(pid, nullptr);
    Synthesiser synth;
    PrepareSynth(synth);
    auto device = std::make_unique<PortAudioDevice>();
    PortAudioDevice* portAudio = device.get();
    WaveOutDriver driver(std::move(device));
    driver.SetCallback(nullptr, &ToneCallback, &synth);
    driver.Configure(44100, 2048, 8, 10, 0);
    ASSERT_TRUE(driver.Start());
    std::this_thread::sleep_for(200ms);
    testing::internal::CaptureStderr();
    kill(std::atoi(pid), SIGKILL);
    // The PortAudio stream stops with an error; its queued buffers come back as done, and
    // the driver goes on at its pace with writes that fail, reported once.
    EXPECT_TRUE(WaitUntil([&] { return portAudio->HasFailed(); }, 10s));
    std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(driver.Stop());
    const std::string err = testing::internal::GetCapturedStderr();
    size_t reports = 0;
    for (size_t at = err.find("WaveOut driver: "); at != std::string::npos; at = err.find("WaveOut driver: ", at + 1)) {
        ++reports;
    }
    EXPECT_EQ(reports, 1u) << err;
    EXPECT_NE(err.find("WaveOut driver: waveOutWrite() failed\n"), std::string::npos) << err;
}

} // namespace

int main(int argc, char** argv) {
    // Outside the sandbox, run again inside it. If PulseAudio cannot start, the sandbox
    // exits non-zero and the test fails.
    if (std::getenv("ZELBIN_TAP") == nullptr) {
        char self[4096] = {};
        if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0) {
            std::perror("/proc/self/exe");
            return 1;
        }
        std::vector<char*> args;
        args.push_back(const_cast<char*>(ZELBIN_PULSE_SANDBOX));
        args.push_back(self);
        for (int i = 1; i < argc; ++i) {
            args.push_back(argv[i]);
        }
        args.push_back(nullptr);
        execv(ZELBIN_PULSE_SANDBOX, args.data());
        std::perror("pulse-sandbox");
        return 1;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
