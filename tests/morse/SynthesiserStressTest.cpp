// One thread restarts the synthesiser thousands of times on two very different characters
// while another renders blocks through the callback. Every block must be the continuation
// of what the previous block played or the first block of one whole restart, and the code
// being walked must always be one of the two characters as a whole. Run under the tsan
// build it also proves that the two threads share no unsynchronised data.

#include "morse/MorseTable.h"
#include "morse/Synthesiser.h"

#include "SynthesiserTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace {

constexpr int32_t kBlock = 512;           // [frames]
constexpr int32_t kBurstRestarts = 20000; // at least, and for at least kBurstBlocks blocks
constexpr int64_t kBurstBlocks = 1000;
constexpr int32_t kPacedRestarts = 300;
constexpr float kGain = 0.3f;
constexpr float kFrequency = 600.0f;           // [Hz]
const reference::Lengths kLengths{10, 10, 20}; // [ms] short, so whole characters fit in a few blocks

MorseCode CodeOf(char character) {
    MorseCode code{};
    MorseTable().CodeForChar(character, code);
    return code;
}

// What the rendering thread expects: the stream it is in and how far it has played it.
struct Expectation {
    const std::vector<float>* stream = nullptr; // nullptr: silence
    size_t position = 0;                        // [frames] already rendered of stream

    bool Continues(const std::vector<float>& block) const {
        for (size_t i = 0; i < block.size(); ++i) {
            const size_t at = position + i;
            const float expected = stream != nullptr && at < stream->size() ? (*stream)[at] : 0.0f;
            if (block[i] != expected) {
                return false;
            }
        }
        return true;
    }
};

bool StartsWith(const std::vector<float>& stream, const std::vector<float>& block) {
    return std::equal(block.begin(), block.end(), stream.begin());
}

struct RenderReport {
    int64_t blocks = 0;
    int64_t restartsSeen = 0;
    int64_t inconsistentBlocks = 0;
    int64_t mixedCodes = 0;
};

class Renderer {
public:
    Renderer(Synthesiser& synth, const MorseCode& x, const MorseCode& y)
        : synth(synth), x(x), y(y),
          streamX(reference::Scaled(reference::Character(x, kLengths, kFrequency, 20 * kBlock), kGain)),
          streamY(reference::Scaled(reference::Character(y, kLengths, kFrequency, 20 * kBlock), kGain)) {}

    void RenderOne() {
        int32_t count = kBlock;
        const StereoFrame* frames = ToneCallback(&synth, &count);
        std::vector<float> block;
        for (int32_t i = 0; i < count; ++i) {
            block.push_back(frames[i].left);
        }
        Check(block);
        const MorseCode walked = synth.AudioState().codes;
        if (!(walked == x) && !(walked == y) && !(walked == initial)) {
            ++report.mixedCodes;
        }
        ++report.blocks;
    }

    RenderReport report;

private:
    void Check(const std::vector<float>& block) {
        if (expectation.Continues(block)) {
            expectation.position += block.size();
        } else if (StartsWith(streamX, block)) {
            expectation = {&streamX, block.size()};
            ++report.restartsSeen;
        } else if (StartsWith(streamY, block)) {
            expectation = {&streamY, block.size()};
            ++report.restartsSeen;
        } else if (std::all_of(block.begin(), block.end(), [](float s) { return s == 0.0f; })) {
            expectation = {nullptr, 0}; // a silent slot
            ++report.restartsSeen;
        } else {
            ++report.inconsistentBlocks;
            expectation = {nullptr, 0};
        }
    }

    Synthesiser& synth;
    const MorseCode x;
    const MorseCode y;
    const MorseCode initial = synth.AudioState().codes;
    const std::vector<float> streamX;
    const std::vector<float> streamY;
    Expectation expectation;
};

TEST(SynthesiserStress, EveryBlockShowsOneWholeStateWhileRestartsRace) {
    Synthesiser synth;
    synth.Initialise();
    synth.SetElementLengths(kLengths.pauseMs, kLengths.dihMs, kLengths.dahMs);
    synth.SetFrequency(kFrequency);
    synth.SetVolume(kGain);
    const MorseCode x = CodeOf('0'); // five dahs
    const MorseCode y = CodeOf('5'); // five dihs
    ASSERT_FALSE(StartsWith(reference::Character(x, kLengths, kFrequency, kBlock),
                            reference::Character(y, kLengths, kFrequency, kBlock)));

    Renderer renderer(synth, x, y);
    std::atomic<int64_t> blocks{0};
    std::atomic<bool> done{false};
    std::thread audio([&] {
        while (!done.load(std::memory_order_acquire)) {
            renderer.RenderOne();
            blocks.fetch_add(1, std::memory_order_release);
        }
    });
    const auto waitForBlocks = [&](int64_t count) {
        const int64_t target = blocks.load(std::memory_order_acquire) + count;
        while (blocks.load(std::memory_order_acquire) < target) {
            std::this_thread::yield();
        }
    };
    bool playingSeen = false;
    const auto restart = [&](int32_t i, bool silentAllowed) {
        synth.currentCode = i % 2 == 0 ? x : y;
        if (silentAllowed && i % 7 == 3) {
            synth.PlaySilentSlot();
        } else {
            synth.PlayCode();
        }
        synth.SetVolume(kGain); // a single store racing the callback's read
        playingSeen = synth.IsPlaying() || playingSeen;
    };
    // First a burst: restarts as fast as they come, many of them while the audio thread
    // reads the mailbox. Then paced restarts, each published between blocks and left alone
    // for two blocks, so that every one of them must be seen.
    waitForBlocks(1);
    const int64_t burstEnd = blocks.load(std::memory_order_acquire) + kBurstBlocks;
    int32_t burst = 0;
    for (; burst < kBurstRestarts || blocks.load(std::memory_order_acquire) < burstEnd; ++burst) {
        restart(burst, true);
    }
    for (int32_t i = 0; i < kPacedRestarts; ++i) {
        restart(i, false);
        waitForBlocks(2);
    }
    done.store(true, std::memory_order_release);
    audio.join();

    // The last restart is taken at the latest by the next block.
    renderer.RenderOne();
    EXPECT_EQ(synth.AudioState().codes, y);

    std::printf("%d restarts, %lld blocks rendered, %lld restarts seen whole\n", burst + kPacedRestarts,
                static_cast<long long>(renderer.report.blocks), static_cast<long long>(renderer.report.restartsSeen));
    EXPECT_TRUE(playingSeen);
    EXPECT_GE(renderer.report.restartsSeen, kPacedRestarts) << "every paced restart is seen";
    EXPECT_EQ(renderer.report.inconsistentBlocks, 0);
    EXPECT_EQ(renderer.report.mixedCodes, 0);
}

} // namespace

namespace {

// Runs of tones published while the audio thread renders, among restarts of characters: the
// walk only ever reads the run it owns (ThreadSanitizer proves the hand-over), the frames it
// reports stay within the run, and the last run is taken from its start.
TEST(SynthesiserStress, RunsHandedOverWhileTheAudioThreadRenders) {
    Synthesiser synth;
    synth.Initialise();
    const std::vector<ToneSpan> shortRun = {{10, 300}, {700, 900}};
    const std::vector<ToneSpan> longRun = {{0, 2000}, {3000, 5000}, {9000, 882}};
    std::atomic<bool> done{false};
    std::atomic<int64_t> blocks{0};
    std::thread audio([&] {
        while (!done.load(std::memory_order_acquire)) {
            int32_t count = kBlock;
            ToneCallback(&synth, &count);
            blocks.fetch_add(1, std::memory_order_release);
        }
    });
    // Publishing goes on until the audio thread has rendered many blocks meanwhile.
    for (int32_t i = 0; i < 20000 || blocks.load(std::memory_order_acquire) < 200; ++i) {
        if (i % 5 == 4) {
            synth.currentCode = CodeOf('E');
            synth.PlayCode();
        } else {
            synth.PlayRun(i % 2 == 0 ? shortRun : longRun);
        }
        const int64_t reached = synth.RunFrames();
        ASSERT_GE(reached, 0);
        ASSERT_LE(reached, 9882 + kBlock);
    }
    done.store(true, std::memory_order_release);
    audio.join();

    synth.PlayRun(longRun);
    int32_t count = kBlock;
    ToneCallback(&synth, &count);
    EXPECT_EQ(synth.RunFrames(), kBlock) << "the last run is taken whole, from its start";
}

} // namespace
