#include "audio/WaveOutDriver.h"
#include "audio/ErrorBoxGate.h"
#include "tests/audio/DriverTestSupport.h"
#include "tests/audio/FakeWaveDevice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#ifdef _WIN32
#include <windows.h>

#include <tlhelp32.h>
#else
#include <dirent.h>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif
#include <fstream>
#include <future>
#include <string>
#include <thread>
#include <vector>

using Call = FakeWaveDevice::Call;
using Strings = std::vector<std::string>;

namespace {

using namespace std::chrono_literals;

constexpr int32_t kFramesPerBuffer = 2048 / 4; // the system's 2048-byte buffers
constexpr int32_t kRingFrames = 8 * kFramesPerBuffer;

// A stepped driver on a fake device, with the system's parameters and a numbered source.
struct Stepped {
    FakeWaveDevice* fake;
    SteppedDriver driver;
    NumberedSource source;
    RecordingReporter reporter;

    explicit Stepped(int32_t devices = 1) : Stepped(std::make_unique<FakeWaveDevice>(devices)) {}
    explicit Stepped(std::unique_ptr<FakeWaveDevice> device) : fake(device.get()), driver(std::move(device)) {
        driver.SetErrorReporter(&reporter);
        driver.SetCallback(nullptr, &NumberedSource::Callback, &source);
        driver.Configure(44100, 2048, 8, 10, 0);
    }
    // The PCM played so far must be the numbered stream from its first frame, unbroken.
    void ExpectPlayedStreamIsContiguous() {
        const std::vector<uint32_t> pcm = fake->ConsumedPcm();
        for (size_t i = 0; i < pcm.size(); ++i) {
            ASSERT_EQ(pcm[i], NumberedSource::ExpectedPcm(static_cast<int64_t>(i))) << "frame " << i;
        }
    }
};

// A driver with its real audio thread on a fake device.
struct Threaded {
    FakeWaveDevice* fake;
    WaveOutDriver driver;
    NumberedSource source;
    RecordingReporter reporter;

    Threaded() : Threaded(std::make_unique<FakeWaveDevice>()) {}
    explicit Threaded(std::unique_ptr<FakeWaveDevice> device) : fake(device.get()), driver(std::move(device)) {
        driver.SetErrorReporter(&reporter);
        driver.SetCallback(nullptr, &NumberedSource::Callback, &source);
        driver.Configure(44100, 2048, 8, 10, 0);
    }
};

// The threads of this process, or -1 when they cannot be counted.
#ifdef _WIN32
int ThreadCount() {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return -1;
    }
    int count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    }
    CloseHandle(snapshot);
    return count;
}
#else
int ThreadCount() {
    int count = -1;
    if (DIR* dir = opendir("/proc/self/task")) {
        count = 0;
        while (dirent* entry = readdir(dir)) {
            count += entry->d_name[0] != '.';
        }
        closedir(dir);
    }
    return count;
}
#endif

TEST(WaveOutDriver, IdentityAndInitialState) {
    WaveOutDriver driver(std::make_unique<FakeWaveDevice>());
    const char* name = driver.GetName();
    EXPECT_STREQ(name, "Windows WaveOut MME");
    EXPECT_EQ(driver.GetName(), name);
    EXPECT_FALSE(driver.QueryCapability());
    EXPECT_FALSE(driver.HasCallback());
    EXPECT_FALSE(driver.IsConfigured());
    EXPECT_EQ(driver.GetBufferCount(), 7);
    EXPECT_EQ(driver.GetBufferBytes(), 4096);
    EXPECT_EQ(driver.GetRefillIntervalMs(), 10);
    EXPECT_EQ(driver.GetQueuedFrames(), 0);
    EXPECT_EQ(driver.GetPlayedFrames(), 0);
}

TEST(WaveOutDriver, ConfigureTakesValuesInRangeAndKeepsThePreviousOtherwise) {
    Stepped s(8);
    EXPECT_TRUE(s.driver.IsConfigured());
    // Out of range, each alone: always true, value unchanged.
    EXPECT_TRUE(s.driver.Configure(48000, 0, 2, 0, 3));
    EXPECT_EQ(s.driver.GetBufferBytes(), 2048);
    EXPECT_EQ(s.driver.GetBufferCount(), 8);
    EXPECT_EQ(s.driver.GetRefillIntervalMs(), 10);
    EXPECT_TRUE(s.driver.Configure(11025, 32768, 9, 200, 3));
    EXPECT_EQ(s.driver.GetBufferBytes(), 2048);
    EXPECT_EQ(s.driver.GetBufferCount(), 8);
    EXPECT_EQ(s.driver.GetRefillIntervalMs(), 10);
    ASSERT_TRUE(s.driver.Start());
    EXPECT_EQ(s.fake->OpenedSampleRate(), 44100);
    EXPECT_EQ(s.fake->OpenedDeviceId(), 3); // the device id is never validated
    s.driver.Stop();
    // The bounds themselves are taken.
    EXPECT_TRUE(s.driver.Configure(22050, 1, 3, 1, 7));
    EXPECT_EQ(s.driver.GetBufferBytes(), 1);
    EXPECT_EQ(s.driver.GetBufferCount(), 3);
    EXPECT_EQ(s.driver.GetRefillIntervalMs(), 1);
    ASSERT_TRUE(s.driver.Start());
    EXPECT_EQ(s.fake->OpenedSampleRate(), 22050);
    EXPECT_EQ(s.fake->OpenedDeviceId(), 7);
    s.driver.Stop();
    EXPECT_TRUE(s.driver.Configure(96000, 32767, 8, 199, 2));
    EXPECT_EQ(s.driver.GetBufferBytes(), 32767);
    EXPECT_EQ(s.driver.GetBufferCount(), 8);
    EXPECT_EQ(s.driver.GetRefillIntervalMs(), 199);
    // Without a device id the device is 0.
    EXPECT_TRUE(s.driver.Configure(96000, 32767, 8, 199));
    ASSERT_TRUE(s.driver.Start());
    EXPECT_EQ(s.fake->OpenedSampleRate(), 96000);
    EXPECT_EQ(s.fake->OpenedDeviceId(), 0);
    s.driver.Stop();
    EXPECT_TRUE(s.reporter.Texts().empty());
}

TEST(WaveOutDriver, StartNeedsCallbackAndConfigurationAndSaysNothingWithout) {
    {
        auto device = std::make_unique<FakeWaveDevice>();
        FakeWaveDevice* fake = device.get();
        WaveOutDriver driver(std::move(device));
        RecordingReporter reporter;
        driver.SetErrorReporter(&reporter);
        driver.Configure(44100, 2048, 8, 10, 0);
        EXPECT_FALSE(driver.Start());
        EXPECT_EQ(fake->Calls(Call::Open), 0);
        EXPECT_TRUE(reporter.Texts().empty());
    }
    {
        auto device = std::make_unique<FakeWaveDevice>();
        FakeWaveDevice* fake = device.get();
        WaveOutDriver driver(std::move(device));
        RecordingReporter reporter;
        driver.SetErrorReporter(&reporter);
        NumberedSource source;
        driver.SetCallback(nullptr, &NumberedSource::Callback, &source);
        EXPECT_FALSE(driver.Start());
        EXPECT_EQ(fake->Calls(Call::Open), 0);
        EXPECT_TRUE(reporter.Texts().empty());
        // SetActive skips the configuration check; without a callback Open fails silently.
        EXPECT_TRUE(driver.SetActive(true));
        EXPECT_EQ(fake->Calls(Call::Open), 1);
        EXPECT_TRUE(driver.SetActive(false));
        EXPECT_FALSE(fake->IsOpen());
    }
    {
        auto device = std::make_unique<FakeWaveDevice>();
        FakeWaveDevice* fake = device.get();
        WaveOutDriver driver(std::move(device));
        driver.SetCallback(nullptr, nullptr, nullptr);
        driver.Configure(44100, 2048, 8, 10, 0);
        EXPECT_FALSE(driver.Start());
        EXPECT_FALSE(driver.SetActive(true));
        EXPECT_EQ(fake->Calls(Call::Open), 0);
    }
}

TEST(WaveOutDriver, FirstPassFillsTheWholeRingWithWholeBuffers) {
    Stepped s;
    ASSERT_TRUE(s.driver.Start());
    EXPECT_EQ(s.source.Calls(), 0); // no pass yet
    s.driver.Refill();
    EXPECT_EQ(s.source.requests, std::vector<int32_t>(8, 512));
    EXPECT_EQ(s.driver.GetQueuedFrames(), 4096);
    EXPECT_EQ(s.fake->Writes(), 8);
    EXPECT_EQ(s.source.seenUserData, &s.source);
    // A second pass finds slot 0 still queued and does nothing.
    s.driver.Refill();
    EXPECT_EQ(s.source.Calls(), 8);
    EXPECT_EQ(s.fake->PlayQueued(), kRingFrames);
    s.ExpectPlayedStreamIsContiguous();
    EXPECT_EQ(s.fake->Misuses(), 0);
}

// A pause after 100 ms of silence: 4410 frames, reached by the 9th silent buffer (9 x 512 =
// 4608), which is not written. While paused, each pass renders one buffer and drops it while it
// is silent; the first sound is written at once and the ring refilled behind it.
TEST(WaveOutDriver, SilencePausesTheStreamAndTheNextSoundStartsItAgain) {
    Stepped s;
    s.driver.SetIdlePause(100);
    s.source.silent = true;
    ASSERT_TRUE(s.driver.Start());
    s.driver.Refill();
    EXPECT_EQ(s.fake->PlayFrames(kFramesPerBuffer), kFramesPerBuffer);
    s.driver.Refill();
    EXPECT_TRUE(s.driver.IsPausedForSilence());
    EXPECT_EQ(s.fake->Calls(Call::Reset), 1);
    EXPECT_EQ(s.fake->Writes(), 8);
    EXPECT_EQ(s.fake->QueuedBuffers(), 0u);
    for (int pass = 0; pass < 5; ++pass) {
        s.driver.Refill();
    }
    EXPECT_EQ(s.source.Calls(), 9 + 5);
    EXPECT_EQ(s.fake->Writes(), 8);
    EXPECT_EQ(s.driver.GetQueuedFrames(), 8 * kFramesPerBuffer);

    s.source.silent = false;
    s.driver.Refill();
    EXPECT_FALSE(s.driver.IsPausedForSilence());
    EXPECT_EQ(s.fake->Writes(), 16);
    EXPECT_EQ(s.fake->Calls(Call::Restart), 1); // once the ring is written
    EXPECT_EQ(s.driver.GetQueuedFrames(), 16 * kFramesPerBuffer);
    EXPECT_EQ(s.fake->PlayQueued(), kRingFrames);
    const std::vector<uint32_t> pcm = s.fake->ConsumedPcm();
    ASSERT_EQ(pcm.size(), static_cast<size_t>(kFramesPerBuffer + kRingFrames));
    for (size_t i = 0; i < pcm.size(); ++i) {
        const uint32_t expected = i < kFramesPerBuffer ? 0 : NumberedSource::ExpectedPcm(i - kFramesPerBuffer);
        ASSERT_EQ(pcm[i], expected) << "frame " << i;
    }
    EXPECT_EQ(s.fake->Calls(Call::Reset), 1);
    EXPECT_EQ(s.fake->Misuses(), 0);
}

TEST(WaveOutDriver, PassRefillsFinishedBuffersInRingOrder) {
    Stepped s;
    ASSERT_TRUE(s.driver.Start());
    s.driver.Refill();
    // Three buffers and a half played: three refilled, the fourth is still queued.
    s.fake->PlayFrames(3 * kFramesPerBuffer + kFramesPerBuffer / 2);
    s.driver.Refill();
    EXPECT_EQ(s.source.Calls(), 11);
    EXPECT_EQ(s.driver.GetQueuedFrames(), 11 * kFramesPerBuffer);
    const auto headers = s.fake->WrittenHeaders();
    ASSERT_EQ(headers.size(), 11u);
    for (size_t i = 8; i < 11; ++i) {
        EXPECT_EQ(headers[i], headers[i - 8]) << "slot " << i - 8 << " is reused in ring order";
    }
    // Round and round the ring several times; the stream stays unbroken.
    for (int round = 0; round < 5; ++round) {
        s.fake->PlayFrames(5 * kFramesPerBuffer);
        s.driver.Refill();
    }
    s.fake->PlayQueued();
    s.ExpectPlayedStreamIsContiguous();
    EXPECT_EQ(s.fake->ConsumedPcm().size(), static_cast<size_t>(s.driver.GetQueuedFrames()));
    EXPECT_EQ(s.fake->Misuses(), 0);
}

TEST(WaveOutDriver, RingOfThreeIsRefilledTwiceRoundInSlotOrder) {
    Stepped s;
    ASSERT_TRUE(s.driver.Configure(44100, 2048, 3, 10, 0));
    ASSERT_TRUE(s.driver.Start());
    s.driver.Refill();
    // One buffer played per pass, six passes: twice round the ring of three.
    for (int pass = 0; pass < 6; ++pass) {
        s.fake->PlayFrames(kFramesPerBuffer);
        s.driver.Refill();
    }
    const auto headers = s.fake->WrittenHeaders();
    ASSERT_EQ(headers.size(), 9u);
    EXPECT_NE(headers[0], headers[1]);
    EXPECT_NE(headers[1], headers[2]);
    EXPECT_NE(headers[0], headers[2]);
    for (size_t i = 3; i < headers.size(); ++i) {
        EXPECT_EQ(headers[i], headers[i % 3]) << "write " << i << " goes to slot " << i % 3;
    }
    s.fake->PlayQueued();
    EXPECT_EQ(s.fake->ConsumedPcm().size(), 9u * kFramesPerBuffer);
    s.ExpectPlayedStreamIsContiguous();
    EXPECT_EQ(s.fake->Misuses(), 0);
}

TEST(WaveOutDriver, ShortDeliveryIsCompletedAtOnceInTheSameBuffer) {
    Stepped s;
    s.source.deliver = {100, 1, 411};
    ASSERT_TRUE(s.driver.Start());
    s.driver.Refill();
    ASSERT_GE(s.source.requests.size(), 3u);
    EXPECT_EQ(s.source.requests[0], 512);
    EXPECT_EQ(s.source.requests[1], 412);
    EXPECT_EQ(s.source.requests[2], 411);
    EXPECT_EQ(s.source.requests[3], 512); // the next buffer
    EXPECT_EQ(s.driver.GetQueuedFrames(), 4096);
    EXPECT_EQ(s.fake->Writes(), 8);
    s.fake->PlayQueued();
    s.ExpectPlayedStreamIsContiguous();
}

TEST(WaveOutDriver, CallbackBreakingItsContractCannotOverrunOrStall) {
    Stepped s;
    // 600 frames when 512 are asked: the excess is dropped. Then 0 frames: silence.
    s.source.deliver = {600, 10, 0};
    ASSERT_TRUE(s.driver.Start());
    s.driver.Refill();
    EXPECT_EQ(s.fake->Writes(), 8);
    s.fake->PlayFrames(2 * kFramesPerBuffer);
    const std::vector<uint32_t> pcm = s.fake->ConsumedPcm();
    for (int i = 0; i < kFramesPerBuffer; ++i) {
        ASSERT_EQ(pcm[i], NumberedSource::ExpectedPcm(i));
    }
    // Buffer 2: 10 frames taken from the source (which had counted 600 + 10), then silence.
    for (int i = 0; i < 10; ++i) {
        ASSERT_EQ(pcm[kFramesPerBuffer + i], NumberedSource::ExpectedPcm(600 + i));
    }
    for (int i = 10; i < kFramesPerBuffer; ++i) {
        ASSERT_EQ(pcm[kFramesPerBuffer + i], 0u);
    }
}

TEST(WaveOutDriver, BufferSizeNotAMultipleOfFourPlaysWholeFrames) {
    Stepped s;
    s.driver.Configure(44100, 2051, 3, 10, 0);
    ASSERT_TRUE(s.driver.Start());
    s.driver.Refill();
    EXPECT_EQ(s.source.requests, std::vector<int32_t>(3, 512));
    EXPECT_EQ(s.driver.GetQueuedFrames(), 3 * 512);
    EXPECT_EQ(s.fake->PlayQueued(), 3 * 512);
    s.ExpectPlayedStreamIsContiguous();
}

TEST(WaveOutDriver, StopThenStartBeginsAFreshRingAtSlotZero) {
    Stepped s;
    ASSERT_TRUE(s.driver.Start());
    s.driver.Refill();
    s.fake->PlayFrames(3 * kFramesPerBuffer);
    s.driver.Refill(); // the next pass would begin at slot 3
    EXPECT_TRUE(s.driver.Stop());
    EXPECT_EQ(s.driver.GetQueuedFrames(), 0);
    EXPECT_EQ(s.driver.GetPlayedFrames(), 0);
    EXPECT_EQ(s.fake->LiveBlocks(), 0);
    EXPECT_FALSE(s.fake->IsOpen());

    ASSERT_TRUE(s.driver.Start());
    EXPECT_EQ(s.driver.GetQueuedFrames(), 0);
    s.driver.Refill();
    EXPECT_EQ(s.source.Calls(), 11 + 8); // every slot filled afresh
    EXPECT_EQ(s.driver.GetQueuedFrames(), 4096);
    s.fake->PlayFrames(kFramesPerBuffer);
    s.driver.Refill();
    const auto headers = s.fake->WrittenHeaders();
    ASSERT_EQ(headers.size(), 9u);
    EXPECT_EQ(headers[8], headers[0]); // the ring went on from slot 0
    EXPECT_EQ(s.fake->Misuses(), 0);
}

TEST(WaveOutDriver, CountsWrapAfterTwoToTheTwentyThirdFrames) {
    Stepped s;
    ASSERT_TRUE(s.driver.Start());
    constexpr int64_t kWrap = int64_t{1} << 23; // 8,388,608 frames
    int64_t queued = 0;
    while (queued < kWrap - kRingFrames) {
        s.driver.Refill();
        queued += kRingFrames;
        s.fake->PlayQueued();
    }
    EXPECT_EQ(s.driver.GetQueuedFrames(), kWrap - kRingFrames);
    EXPECT_EQ(s.driver.GetPlayedFrames(), kWrap - kRingFrames);
    s.driver.Refill();
    EXPECT_EQ(s.driver.GetQueuedFrames(), 0);
    s.fake->PlayFrames(kRingFrames - 1);
    EXPECT_EQ(s.driver.GetPlayedFrames(), kWrap - 1);
    s.fake->PlayFrames(1);
    EXPECT_EQ(s.driver.GetPlayedFrames(), 0);
    s.driver.Refill();
    s.fake->PlayFrames(5);
    EXPECT_EQ(s.driver.GetPlayedFrames(), 5);
    EXPECT_EQ(s.driver.GetQueuedFrames(), kRingFrames);
}

TEST(WaveOutDriver, StopOnAStoppedDriverTouchesNothing) {
    auto device = std::make_unique<FakeWaveDevice>();
    FakeWaveDevice* fake = device.get();
    WaveOutDriver driver(std::move(device));
    EXPECT_TRUE(driver.Stop());
    NumberedSource source;
    driver.SetCallback(nullptr, &NumberedSource::Callback, &source);
    driver.Configure(44100, 2048, 8, 10, 0);
    EXPECT_TRUE(driver.Stop());
    EXPECT_TRUE(driver.Close());
    for (int c = 0; c < static_cast<int>(Call::kCount); ++c) {
        EXPECT_EQ(fake->Calls(static_cast<Call>(c)), 0) << "call kind " << c;
    }
}

TEST(WaveOutDriver, GetDeviceNameIsOneBufferOfAtMost31Characters) {
    auto device = std::make_unique<FakeWaveDevice>();
    FakeWaveDevice* fake = device.get();
    WaveOutDriver driver(std::move(device));
    fake->SetDeviceNames({"Built-in Audio Analog Stereo with a very long name", "USB"});
    EXPECT_EQ(driver.GetDeviceCount(), 2);
    const char* first = driver.GetDeviceName(0);
    EXPECT_EQ(std::string(first), std::string("Built-in Audio Analog Stereo with a very long name").substr(0, 31));
    const char* second = driver.GetDeviceName(1);
    EXPECT_EQ(second, first);
    EXPECT_STREQ(first, "USB");
    EXPECT_STREQ(driver.GetDeviceName(2), ""); // unreadable: an empty name
    fake->Fail(Call::DeviceName);
    EXPECT_STREQ(driver.GetDeviceName(1), "");
    fake->SetDeviceNames({});
    EXPECT_EQ(driver.GetDeviceCount(), 0);
}

TEST(WaveOutDriverFailures, OpenFailureIsReportedAndLeavesNothingBehind) {
    Stepped s(2);
    s.fake->Fail(Call::Open);
    EXPECT_FALSE(s.driver.Start());
    EXPECT_EQ(s.reporter.Texts(), Strings{"waveOutOpen() failed"});
    EXPECT_EQ(s.reporter.Captions(), Strings{"WaveOut driver"});
    EXPECT_EQ(s.reporter.Threads(), std::vector<std::thread::id>{std::this_thread::get_id()});
    EXPECT_EQ(s.fake->LiveBlocks(), 0);
    EXPECT_EQ(s.driver.GetQueuedFrames(), 0);
    EXPECT_TRUE(s.driver.Stop());
    EXPECT_EQ(s.fake->Calls(Call::Reset), 0);
    // A device id beyond the list fails the same way.
    s.driver.Configure(44100, 2048, 8, 10, 5);
    EXPECT_FALSE(s.driver.Start());
    EXPECT_EQ(s.reporter.Texts(), (Strings{"waveOutOpen() failed", "waveOutOpen() failed"}));
    s.driver.Configure(44100, 2048, 8, 10, 1);
    EXPECT_TRUE(s.driver.Start());
    EXPECT_EQ(s.fake->OpenedDeviceId(), 1);
}

TEST(WaveOutDriverFailures, FailedAllocationGivesBackEverythingAndFails) {
    // The 4th data block, then the 2nd header block.
    for (int skip : {3, 8 + 1}) {
        Stepped s;
        s.fake->Fail(Call::Allocate, skip);
        EXPECT_FALSE(s.driver.Start()) << skip;
        EXPECT_EQ(s.reporter.Texts(), Strings{"GlobalAlloc() failed"});
        EXPECT_EQ(s.fake->LiveBlocks(), 0);
        EXPECT_FALSE(s.fake->IsOpen());
        EXPECT_EQ(s.fake->Writes(), 0);
        EXPECT_EQ(s.driver.GetQueuedFrames(), 0);
        EXPECT_TRUE(s.driver.Stop());
        EXPECT_EQ(s.fake->Calls(Call::Reset), 0);
        // The next start allocates all 16 blocks again.
        EXPECT_TRUE(s.driver.Start());
        EXPECT_EQ(s.fake->LiveBlocks(), 16);
        EXPECT_TRUE(s.driver.Stop());
        EXPECT_EQ(s.fake->LiveBlocks(), 0);
        EXPECT_EQ(s.fake->Misuses(), 0);
    }
}

TEST(WaveOutDriverFailures, ThreadThatCannotStartFailsTheStartWithoutAWaitLater) {
    Stepped s;
    s.driver.failThreadStart = true;
    EXPECT_FALSE(s.driver.Start());
    EXPECT_FALSE(s.fake->IsOpen());
    EXPECT_EQ(s.fake->LiveBlocks(), 0);
    EXPECT_TRUE(s.driver.Stop());
    EXPECT_TRUE(s.driver.Close());
    s.driver.failThreadStart = false;
    EXPECT_TRUE(s.driver.Start());
    EXPECT_TRUE(s.driver.Stop());
}

TEST(WaveOutDriverFailures, UnprepareAndPrepareFailuresInAPassStillPlayTheSlot) {
    Stepped s;
    ASSERT_TRUE(s.driver.Start());
    s.driver.Refill();
    s.fake->PlayFrames(kFramesPerBuffer);
    s.fake->Fail(Call::Unprepare);
    s.driver.Refill();
    EXPECT_EQ(s.reporter.Texts(), Strings{"waveOutUnprepareHeader() failed"});
    EXPECT_EQ(s.fake->Writes(), 9); // refilled and written all the same
    EXPECT_EQ(s.driver.GetQueuedFrames(), 9 * kFramesPerBuffer);

    // A failed prepare: the slot is still written (the fake then refuses the unprepared
    // buffer, as a real device would).
    s.fake->PlayFrames(kFramesPerBuffer);
    s.fake->Fail(Call::Prepare);
    s.driver.Refill();
    EXPECT_EQ(s.reporter.Texts(),
              (Strings{"waveOutUnprepareHeader() failed", "waveOutPrepareHeader() failed", "waveOutWrite() failed"}));
    EXPECT_EQ(s.fake->Calls(Call::Write), 10);
    EXPECT_TRUE(s.driver.Stop());
    EXPECT_EQ(s.fake->LiveBlocks(), 0);
}

TEST(WaveOutDriverFailures, RefusedWriteGivesTheSlotBackToTheRing) {
    Stepped s;
    s.fake->Fail(Call::Write, 3); // the 4th buffer of the first pass
    ASSERT_TRUE(s.driver.Start());
    s.driver.Refill();
    EXPECT_EQ(s.reporter.Texts(), Strings{"waveOutWrite() failed"});
    EXPECT_EQ(s.fake->Calls(Call::Write), 8); // the pass went on
    EXPECT_EQ(s.fake->Writes(), 7);
    EXPECT_EQ(s.source.Calls(), 8); // and did not come back to the refused slot
    // The next pass refills slots 0 to 2 once played, then the refused slot 3.
    s.fake->PlayFrames(3 * kFramesPerBuffer);
    s.driver.Refill();
    EXPECT_EQ(s.source.Calls(), 12);
    EXPECT_EQ(s.fake->Writes(), 11);
    // Stop does not wait for a buffer the device never had.
    EXPECT_TRUE(s.driver.Stop());
    EXPECT_EQ(s.fake->LiveBlocks(), 0);
    EXPECT_EQ(s.fake->Misuses(), 0);
}

TEST(WaveOutDriverFailures, ResetOrCloseFailureKeepsTheStreamUntilALaterStop) {
    for (Call failing : {Call::Reset, Call::Close}) {
        Stepped s;
        ASSERT_TRUE(s.driver.Start());
        s.driver.Refill();
        s.fake->Fail(failing);
        EXPECT_FALSE(s.driver.Close());
        EXPECT_EQ(s.reporter.Texts(),
                  Strings{failing == Call::Reset ? "waveOutReset() failed" : "waveOutClose() failed"});
        EXPECT_EQ(s.fake->LiveBlocks(), 16);         // memory stays
        EXPECT_EQ(s.driver.GetQueuedFrames(), 4096); // still running
        EXPECT_TRUE(s.fake->IsOpen());
        // Stop says true whatever Close said, and a later Stop finishes the job.
        s.fake->Fail(failing);
        EXPECT_TRUE(s.driver.Stop());
        EXPECT_EQ(s.reporter.Texts().size(), 2u);
        EXPECT_TRUE(s.driver.Stop());
        EXPECT_EQ(s.fake->LiveBlocks(), 0);
        EXPECT_FALSE(s.fake->IsOpen());
        EXPECT_EQ(s.driver.GetQueuedFrames(), 0);
    }
}

TEST(WaveOutDriverFailures, NewCallbackAfterAFailedCloseOpensAnewWithoutLeaking) {
    Stepped s;
    ASSERT_TRUE(s.driver.Start());
    s.driver.Refill();
    s.fake->Fail(Call::Close);
    EXPECT_TRUE(s.driver.Stop());
    EXPECT_EQ(s.fake->LiveBlocks(), 16);
    NumberedSource other;
    s.driver.SetCallback(nullptr, &NumberedSource::Callback, &other);
    EXPECT_EQ(s.driver.GetQueuedFrames(), 0); // no longer running
    ASSERT_TRUE(s.driver.Start());
    EXPECT_EQ(s.fake->Calls(Call::Open), 2);
    EXPECT_EQ(s.fake->LiveBlocks(), 16); // the abandoned blocks were freed on reopening
    s.driver.Refill();
    EXPECT_EQ(other.Calls(), 8);
    EXPECT_TRUE(s.driver.Stop());
    EXPECT_EQ(s.fake->LiveBlocks(), 0);
}

TEST(WaveOutDriverFailures, UnprepareFailureInCloseGoesOnWithTheOtherSlots) {
    Stepped s;
    ASSERT_TRUE(s.driver.Start());
    s.driver.Refill();
    s.fake->Fail(Call::Unprepare, 2, 2);
    const int64_t before = s.fake->Calls(Call::Unprepare);
    EXPECT_TRUE(s.driver.Close());
    EXPECT_EQ(s.fake->Calls(Call::Unprepare) - before, 8);
    EXPECT_EQ(s.reporter.Texts(), (Strings{"waveOutUnprepareHeader() failed", "waveOutUnprepareHeader() failed"}));
    EXPECT_FALSE(s.fake->IsOpen());
    EXPECT_EQ(s.fake->LiveBlocks(), 0);
}

TEST(WaveOutDriverFailures, PositionFailuresAreReported) {
    Stepped s;
    ASSERT_TRUE(s.driver.Start());
    s.driver.Refill();
    s.fake->PlayFrames(1000);
    EXPECT_EQ(s.driver.GetPlayedFrames(), 1000);
    s.fake->Fail(Call::Position);
    EXPECT_EQ(s.driver.GetPlayedFrames(), 0);
    EXPECT_EQ(s.reporter.Texts(), Strings{"waveOutGetPosition() failed"});
    s.fake->AnswerPositionInBytes(true);
    EXPECT_EQ(s.driver.GetPlayedFrames(), 4000); // the number as if it were frames
    EXPECT_EQ(s.reporter.Texts(),
              (Strings{"waveOutGetPosition() failed", "waveOutGetPosition() doesn't support TIME_SAMPLES"}));
}

TEST(WaveOutDriverFailures, VanishedDeviceIsReportedOnceAndNeitherHangsNorSpins) {
    Stepped s;
    ASSERT_TRUE(s.driver.Start());
    s.driver.Refill();
    s.fake->PlayFrames(1000);
    s.fake->Vanish();
    for (int pass = 0; pass < 20; ++pass) {
        s.driver.Refill();
    }
    EXPECT_EQ(s.source.Calls(), 8 + 20 * 8); // each pass visits each slot once at most
    EXPECT_EQ(s.reporter.Texts(), Strings{"waveOutWrite() failed"});
    EXPECT_TRUE(s.driver.Stop());
    EXPECT_FALSE(s.fake->IsOpen());
    EXPECT_EQ(s.fake->LiveBlocks(), 0);
}

TEST(WaveOutDriverThread, StreamsOnItsOwnThreadAndStartTwiceKeepsOneThread) {
    Threaded t;
    const int before = ThreadCount();
    ASSERT_GT(before, 0);
    ASSERT_TRUE(t.driver.Start());
    ASSERT_TRUE(t.fake->WaitForWrites(8));
    EXPECT_EQ(ThreadCount(), before + 1);
    EXPECT_TRUE(t.driver.Start());
    EXPECT_EQ(ThreadCount(), before + 1);
    EXPECT_EQ(t.fake->Calls(Call::Open), 1);
    // Play and let the thread refill a few rounds.
    for (int round = 1; round <= 4; ++round) {
        t.fake->PlayFrames(4 * kFramesPerBuffer);
        ASSERT_TRUE(t.fake->WaitForWrites(8 + 4 * round));
    }
    EXPECT_TRUE(t.driver.Stop());
    EXPECT_EQ(ThreadCount(), before);
    {
        std::lock_guard lock(t.source.mutex);
        for (std::thread::id id : t.source.threads) {
            ASSERT_NE(id, std::this_thread::get_id());
        }
    }
    t.fake->PlayQueued();
    const std::vector<uint32_t> pcm = t.fake->ConsumedPcm();
    ASSERT_GE(pcm.size(), static_cast<size_t>(16 * kFramesPerBuffer));
    for (size_t i = 0; i < pcm.size(); ++i) {
        ASSERT_EQ(pcm[i], NumberedSource::ExpectedPcm(static_cast<int64_t>(i)));
    }
    EXPECT_EQ(t.fake->Misuses(), 0);
    EXPECT_EQ(t.fake->LiveBlocks(), 0);
}

#if defined(_WIN32) || defined(__linux__)
#ifdef __linux__
constexpr int kRealTime = -1000; // stands for the lowest round-robin real-time priority
#endif

// The calling thread's scheduling priority: the Windows thread priority, or on Linux kRealTime
// or the nice value of the thread (lower is more urgent).
int OwnPriority() {
#ifdef _WIN32
    return GetThreadPriority(GetCurrentThread());
#else
    int policy = 0;
    sched_param param{};
    if (pthread_getschedparam(pthread_self(), &policy, &param) == 0 && policy == SCHED_RR &&
        param.sched_priority == sched_get_priority_min(SCHED_RR)) {
        return kRealTime;
    }
    return getpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)));
#endif
}

// The priority one step above a new thread's: THREAD_PRIORITY_ABOVE_NORMAL on Windows; on
// Linux real-time where this process may have it, else the nice value one below where it may
// lower it, and the same one if not.
int OneStepAboveNormal() {
#ifdef _WIN32
    return THREAD_PRIORITY_ABOVE_NORMAL;
#else
    int reached = 0;
    std::thread([&reached] {
        sched_param realTime{};
        realTime.sched_priority = sched_get_priority_min(SCHED_RR);
        if (sched_setscheduler(0, SCHED_RR, &realTime) != 0) {
            (void)setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), OwnPriority() - 1);
        }
        reached = OwnPriority();
    }).join();
    return reached;
#endif
}

// Records the priority of the thread that asks for samples, and gives silence.
struct PriorityProbe {
    std::atomic<int> priority{INT32_MIN};
    StereoFrame silence[kFramesPerBuffer] = {};

    static const StereoFrame* Callback(void* userData, int32_t* frameCount) {
        auto* probe = static_cast<PriorityProbe*>(userData);
        probe->priority.store(OwnPriority());
        *frameCount = std::min(*frameCount, kFramesPerBuffer);
        return probe->silence;
    }
};

TEST(WaveOutDriverThread, AudioThreadRunsOneStepAboveNormal) {
    PriorityProbe probe;
    auto device = std::make_unique<FakeWaveDevice>();
    FakeWaveDevice* fake = device.get();
    WaveOutDriver driver(std::move(device));
    driver.SetCallback(nullptr, &PriorityProbe::Callback, &probe);
    driver.Configure(44100, 2048, 8, 10, 0);
    ASSERT_TRUE(driver.Start());
    ASSERT_TRUE(fake->WaitForWrites(8));
    EXPECT_TRUE(driver.Stop());
    EXPECT_EQ(probe.priority.load(), OneStepAboveNormal());
}
#endif

#ifdef __linux__
// The times the audio thread has gone to sleep of its own accord (its voluntary context
// switches), -1 when it cannot be found.
long AudioThreadSleeps() {
    long sleeps = -1;
    if (DIR* dir = opendir("/proc/self/task")) {
        while (dirent* entry = readdir(dir)) {
            const std::string task = std::string("/proc/self/task/") + entry->d_name;
            std::ifstream comm(task + "/comm");
            std::string name;
            if (entry->d_name[0] == '.' || !std::getline(comm, name) || name != "zelbin-audio") {
                continue;
            }
            std::ifstream status(task + "/status");
            for (std::string line; std::getline(status, line);) {
                if (line.rfind("voluntary_ctxt_switches:", 0) == 0) {
                    sleeps = std::stol(line.substr(line.find(':') + 1));
                }
            }
        }
        closedir(dir);
    }
    return sleeps;
}

// With a device that can tell when it finishes a buffer, an idle stream costs no wake-ups:
// the thread sleeps until the slot at which its next pass begins is done, instead of waking
// every 10 ms to find nothing. A finished buffer wakes it, and so does a Stop.
TEST(WaveOutDriverThread, IdleStreamSleepsUntilTheDeviceFinishesABuffer) {
    Threaded t;
    t.fake->WaitForDoneBetweenPasses(true);
    ASSERT_TRUE(t.driver.Start());
    ASSERT_TRUE(t.fake->WaitForWrites(8));
    std::this_thread::sleep_for(20ms); // the end of the first pass
    const long before = AudioThreadSleeps();
    ASSERT_GE(before, 0);
    std::this_thread::sleep_for(300ms);
    EXPECT_LE(AudioThreadSleeps() - before, 1) << "the thread woke with nothing to do";
    EXPECT_EQ(t.source.Calls(), 8);
    t.fake->PlayFrames(2 * kFramesPerBuffer);
    ASSERT_TRUE(t.fake->WaitForWrites(10));
    EXPECT_TRUE(t.driver.Stop());
    EXPECT_EQ(t.fake->Misuses(), 0);
}
#endif

// The same on the audio thread, which resets the device itself: after 50 ms (2205 frames),
// within its first pass, the 5th silent buffer pauses the stream; a sound, and the wake-up
// that says so, then restart it.
TEST(WaveOutDriverThread, SilencePausesTheStreamOnTheAudioThreadUntilASound) {
    Threaded t;
    t.driver.SetIdlePause(50);
    {
        std::lock_guard lock(t.source.mutex);
        t.source.silent = true;
    }
    ASSERT_TRUE(t.driver.Start());
    ASSERT_TRUE(t.fake->WaitForCalls(Call::Reset, 1));
    for (int wait = 0; wait < 5000 && !t.driver.IsPausedForSilence(); ++wait) {
        std::this_thread::sleep_for(2ms); // the store that follows the reset
    }
    EXPECT_TRUE(t.driver.IsPausedForSilence());
    EXPECT_EQ(t.fake->Writes(), 4);
    {
        std::lock_guard lock(t.source.mutex);
        t.source.silent = false;
    }
    t.driver.WakeForSound();
    ASSERT_TRUE(t.fake->WaitForWrites(4 + 8));
    EXPECT_FALSE(t.driver.IsPausedForSilence());
    t.fake->PlayQueued();
    const std::vector<uint32_t> pcm = t.fake->ConsumedPcm();
    ASSERT_GE(pcm.size(), static_cast<size_t>(kRingFrames));
    for (size_t i = 0; i < pcm.size(); ++i) {
        ASSERT_EQ(pcm[i], NumberedSource::ExpectedPcm(static_cast<int64_t>(i))) << "frame " << i;
    }
    EXPECT_TRUE(t.driver.Stop());
    EXPECT_EQ(t.fake->Misuses(), 0);
}

TEST(WaveOutDriverThread, NewCallbackOnARunningStreamStopsItFirst) {
    Threaded t;
    ASSERT_TRUE(t.driver.Start());
    ASSERT_TRUE(t.fake->WaitForWrites(8));
    NumberedSource other;
    t.driver.SetCallback(nullptr, &NumberedSource::Callback, &other);
    EXPECT_FALSE(t.fake->IsOpen());
    EXPECT_EQ(t.fake->LiveBlocks(), 0);
    ASSERT_TRUE(t.driver.Start());
    ASSERT_TRUE(t.fake->WaitForWrites(8));
    EXPECT_EQ(other.Calls(), 8);
}

TEST(WaveOutDriverThread, DestructorStopsARunningStream) {
    const int before = ThreadCount();
    ASSERT_GT(before, 0);
    {
        Threaded t;
        ASSERT_TRUE(t.driver.Start());
        ASSERT_TRUE(t.fake->WaitForWrites(8));
    }
    EXPECT_EQ(ThreadCount(), before);
}

TEST(WaveOutDriverThread, VanishedDeviceDoesNotHangTheThreadOrStop) {
    Threaded t;
    ASSERT_TRUE(t.driver.Start());
    ASSERT_TRUE(t.fake->WaitForWrites(8));
    t.fake->Vanish();
    ASSERT_TRUE(t.fake->WaitForCalls(Call::Write, 8 + 24)); // still paced, still refilling
    EXPECT_TRUE(t.driver.Stop());
    EXPECT_FALSE(t.fake->IsOpen());
    EXPECT_EQ(t.reporter.Texts(), Strings{"waveOutWrite() failed"});
    EXPECT_EQ(t.fake->LiveBlocks(), 0);
}

// The audio thread waits for its box while nobody stops it, but a Stop from the UI thread
// (which cannot show that box while it waits for the thread) ends the wait.
TEST(WaveOutDriverThread, AudioThreadReportWaitsForItsBoxButNotAgainstStop) {
    auto device = std::make_unique<FakeWaveDevice>();
    FakeWaveDevice* fake = device.get();
    WaveOutDriver driver(std::move(device));
    HeldBoxReporter boxes;
    driver.SetErrorReporter(&boxes);
    NumberedSource source;
    driver.SetCallback(nullptr, &NumberedSource::Callback, &source);
    driver.Configure(44100, 2048, 8, 1, 0);
    fake->Fail(Call::Write, 8); // the first write of the second pass
    ASSERT_TRUE(driver.Start());
    ASSERT_TRUE(fake->WaitForWrites(8));
    fake->PlayFrames(kFramesPerBuffer);
    ASSERT_TRUE(boxes.WaitForPosts(1));
    EXPECT_EQ(boxes.Texts(), Strings{"waveOutWrite() failed"});

    // While the box is up the thread refills nothing, though the ring has played out.
    fake->PlayQueued();
    const int64_t writeCalls = fake->Calls(Call::Write);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(fake->Calls(Call::Write), writeCalls);
    // Closing the box lets it go on.
    boxes.CloseAll();
    ASSERT_TRUE(fake->WaitForWrites(8 + 8));

    // Another failure, and this time the UI thread stops the driver with the box up.
    fake->Fail(Call::Write, 0, -1);
    fake->PlayQueued();
    ASSERT_TRUE(boxes.WaitForPosts(2));
    auto stopped = std::async(std::launch::async, [&] { return driver.Stop(); });
    ASSERT_EQ(stopped.wait_for(std::chrono::seconds(20)), std::future_status::ready) << "Stop deadlocked";
    EXPECT_TRUE(stopped.get());
    EXPECT_FALSE(fake->IsOpen());
    boxes.CloseAll(); // the box closed after the stop changes nothing
    EXPECT_EQ(fake->LiveBlocks(), 0);
}

TEST(ErrorBoxGate, WaitEndsWhenItsOwnBoxClosesOrOnStop) {
    ErrorBoxGate& gate = ErrorBoxGate::Instance();
    std::atomic<bool> stop{false};
    const uint64_t abandoned = gate.Begin();
    const uint64_t current = gate.Begin();
    EXPECT_NE(abandoned, current);
    gate.Closed(abandoned); // a box closed after its report was given up changes nothing
    auto waited = std::async(std::launch::async, [&] { return gate.Wait(current, stop); });
    EXPECT_EQ(waited.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    gate.Closed(current);
    EXPECT_TRUE(waited.get());

    const uint64_t next = gate.Begin();
    auto stopped = std::async(std::launch::async, [&] { return gate.Wait(next, stop); });
    stop.store(true);
    gate.WakeWaiters();
    EXPECT_FALSE(stopped.get());
}

TEST(DriverErrorReporter, DefaultWritesCaptionAndTextToStderr) {
    auto device = std::make_unique<FakeWaveDevice>();
    device->Fail(Call::Open);
    WaveOutDriver driver(std::move(device));
    NumberedSource source;
    driver.SetCallback(nullptr, &NumberedSource::Callback, &source);
    driver.Configure(44100, 2048, 8, 10, 0);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(driver.Start());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "WaveOut driver: waveOutOpen() failed\n");
    RecordingReporter reporter;
    driver.SetErrorReporter(&reporter);
    driver.SetErrorReporter(nullptr); // back to stderr
    testing::internal::CaptureStderr();
    driver.ReportError("waveOutClose() failed");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "WaveOut driver: waveOutClose() failed\n");
    EXPECT_TRUE(reporter.Texts().empty());
}

} // namespace
