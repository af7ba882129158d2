#include "morse/Synthesiser.h"
#include "morse/MorseTable.h"

#include "SynthesiserTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <vector>

namespace {

using reference::Lengths;

MorseCode CodeOf(char character) {
    MorseCode code{};
    MorseTable().CodeForChar(character, code);
    return code;
}

// A synthesiser as the main window sets it up: initialised, default lengths, 440 Hz.
struct Fixture : ::testing::Test {
    Synthesiser synth;

    void SetUp() override {
        synth.Initialise();
        synth.SetElementLengths(100, 100, 300);
        synth.SetFrequency(440.0f);
    }

    void Play(char character) {
        synth.currentCode = CodeOf(character);
        synth.PlayCode();
    }

    // Renders total frames in blocks of blockFrames through the callback.
    std::vector<StereoFrame> Render(size_t total, int32_t blockFrames = 512) {
        std::vector<StereoFrame> out;
        while (out.size() < total) {
            int32_t count = blockFrames;
            const StereoFrame* frames = ToneCallback(&synth, &count);
            EXPECT_EQ(count, blockFrames);
            out.insert(out.end(), frames, frames + count);
        }
        out.resize(total);
        return out;
    }

    // Renders one frame at a time and returns the index of the frame during which the
    // synthesiser stopped playing, or -1.
    int64_t FrameWherePlayingEnds(int64_t limit) {
        for (int64_t i = 0; i < limit; ++i) {
            int32_t count = 1;
            ToneCallback(&synth, &count);
            if (!synth.IsPlaying()) {
                return i;
            }
        }
        return -1;
    }
};

// Left channel; both channels must hold the same value wherever this is used.
std::vector<float> Left(const std::vector<StereoFrame>& frames) {
    std::vector<float> out;
    for (const StereoFrame& f : frames) {
        EXPECT_EQ(f.left, f.right);
        out.push_back(f.left);
    }
    return out;
}

// Compares bit for bit and reports the first difference only.
void ExpectSameSamples(const std::vector<float>& actual, const std::vector<float>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        if (actual[i] != expected[i]) {
            ADD_FAILURE() << "sample " << i << ": " << actual[i] << " instead of " << expected[i];
            return;
        }
    }
}

TEST(SynthesiserConstants, ReferenceConstantsHaveTheirExactValues) {
    EXPECT_EQ(reference::SamplePeriod(), 2.267573655e-05f);
    EXPECT_EQ(reference::PhaseStep(), 1.424758666e-04f);
    EXPECT_EQ(std::nextafter(reference::PhaseStep(), 0.0f), 1.424758520e-04f);
    EXPECT_EQ(reference::Ramp(), 9.999999776e-03f);
}

TEST_F(Fixture, InitialValuesAndElementLengths) {
    EXPECT_EQ(synth.Volume(), 0.3f);
    EXPECT_FALSE(synth.Noise());
    EXPECT_FALSE(synth.IsPlaying());
    synth.SetElementLengths(10, 250, 1000);
    EXPECT_EQ(synth.ElementSeconds(Gap), reference::Seconds(10));
    EXPECT_NE(synth.ElementSeconds(Gap), 0.01f) << "10 * 0.001f is one step above 0.01f";
    EXPECT_EQ(synth.ElementSeconds(Dih), reference::Seconds(250));
    EXPECT_EQ(synth.ElementSeconds(Dah), 1.0f);
    EXPECT_EQ(synth.ElementSeconds(End), 0.0f);
}

TEST_F(Fixture, IdleWithoutNoiseIsExactSilence) {
    for (float sample : Left(Render(2048))) {
        EXPECT_EQ(sample, 0.0f);
    }
    // Also after a character has left its samples in the work buffers.
    Play('T');
    Render(512);
    synth.currentCode = CodeOf('T');
    synth.PlaySilentSlot();
    for (float sample : Left(Render(1024))) {
        ASSERT_EQ(sample, 0.0f);
    }
}

TEST_F(Fixture, LetterEAtTheDefaults) {
    ASSERT_EQ(reference::SamplesIn(reference::Seconds(100)), 4411);
    Play('E');
    EXPECT_TRUE(synth.IsPlaying());
    const auto samples = Left(Render(4411 + 1 + 3 * 512));
    std::vector<float> expected(samples.size(), 0.0f);
    for (int32_t n = 0; n < 4411; ++n) {
        expected[n] = 0.3f * reference::Tone(n, 0.1f, 440.0f);
    }
    ASSERT_NE(expected[4409], 0.0f) << "the tone lasts to its end (its very last sample fades to 0)";
    ExpectSameSamples(samples, expected);
    EXPECT_FALSE(synth.IsPlaying());

    Play('E');
    EXPECT_EQ(FrameWherePlayingEnds(100000), 4411) << "playing turns false at the boundary sample";
}

TEST_F(Fixture, LetterAAtTheDefaultsElementByElement) {
    ASSERT_EQ(reference::SamplesIn(reference::Seconds(300)), 13231);
    synth.SetFrequency(523.25f);
    synth.SetVolume(0.7f);
    Play('A');
    const auto samples = Left(Render(30000));
    std::vector<float> expected;
    for (int32_t n = 0; n < 4411; ++n) {
        expected.push_back(reference::Tone(n, 0.1f, 523.25f));
    }
    expected.insert(expected.end(), 1 + 4411 + 1, 0.0f);
    for (int32_t n = 0; n < 13231; ++n) {
        expected.push_back(reference::Tone(n, 0.3f, 523.25f));
    }
    expected.resize(30000, 0.0f);
    ExpectSameSamples(samples, reference::Scaled(expected, 0.7f));

    Play('A');
    EXPECT_EQ(FrameWherePlayingEnds(100000), 4411 + 1 + 4411 + 1 + 13231);
}

TEST_F(Fixture, BlockCrossingAnElementBoundaryGoesOnInTheSameBlock) {
    // 'A' in 512-frame blocks: the gap ends at frame 8822, 8823 is the boundary, the dah
    // starts at 8824; all inside block 17 (frames 8704 to 9215).
    Play('A');
    const auto samples = Left(Render(18 * 512));
    const std::vector<float> block(samples.begin() + 17 * 512, samples.end());
    for (int32_t i = 0; i < 8824 - 8704; ++i) {
        ASSERT_EQ(block[i], 0.0f) << i;
    }
    for (int32_t n = 0; n < 9216 - 8824; ++n) {
        ASSERT_EQ(block[8824 - 8704 + n], 0.3f * reference::Tone(n, 0.3f, 440.0f)) << n;
    }
    EXPECT_NE(block[8825 - 8704], 0.0f);
}

TEST_F(Fixture, OutputDoesNotDependOnTheBlockSizes) {
    Play('Q');
    const auto even = Render(40000, 512);
    Play('Q');
    std::vector<StereoFrame> uneven;
    for (int32_t count = 1; uneven.size() < 40000; count = count % 1024 + 97) {
        int32_t asked = count;
        const StereoFrame* frames = ToneCallback(&synth, &asked);
        uneven.insert(uneven.end(), frames, frames + asked);
    }
    uneven.resize(40000);
    ExpectSameSamples(Left(uneven), Left(even));
}

TEST_F(Fixture, ShortestDihLasts442SamplesFadedFromTheSecond) {
    synth.SetElementLengths(100, 10, 300);
    const float duration = reference::Seconds(10);
    ASSERT_EQ(reference::SamplesIn(duration), 442);
    Play('E');
    const auto samples = Left(Render(1024));
    for (int32_t n = 0; n < 442; ++n) {
        ASSERT_EQ(samples[n], 0.3f * reference::Tone(n, duration, 440.0f)) << n;
    }
    EXPECT_EQ(samples[0], 0.0f);
    const float unfaded = 0.3f * static_cast<float>(std::sin(440.0 * reference::PhaseStep()));
    EXPECT_LT(std::fabs(samples[1]), std::fabs(unfaded) * 0.9999f) << "faded from the second sample";
    for (size_t i = 442; i < samples.size(); ++i) {
        ASSERT_EQ(samples[i], 0.0f) << i;
    }
    Play('E');
    EXPECT_EQ(FrameWherePlayingEnds(10000), 442);
}

TEST_F(Fixture, OneSecondElementLasts44101Samples) {
    synth.SetElementLengths(100, 1000, 300);
    Play('E');
    EXPECT_EQ(FrameWherePlayingEnds(100000), 44101);
}

TEST_F(Fixture, FadeCoversTheLast441ToneSamples) {
    synth.SetVolume(1.0f);
    Play('E');
    const auto samples = Left(Render(4411));
    // Unfaded samples equal the plain sine; faded ones are smaller in magnitude.
    int32_t firstFaded = -1;
    for (int32_t n = 1; n < 4411; ++n) {
        const auto sine = static_cast<float>(std::sin(n * 440.0 * reference::PhaseStep()));
        if (samples[n] != sine) {
            firstFaded = n;
            break;
        }
    }
    EXPECT_EQ(firstFaded, 4411 - 441);
    EXPECT_LT(std::fabs(samples[4410]), 0.001f);
}

TEST_F(Fixture, GainHasACeilingOfOneAndNoLowerBound) {
    synth.SetFrequency(700.0f);
    std::vector<float> atOne;
    for (float volume : {1.0f, 1.5f, 1000.0f}) {
        synth.SetVolume(volume);
        Play('T');
        const auto samples = Left(Render(3000));
        if (atOne.empty()) {
            atOne = samples;
            for (int32_t n = 0; n < 3000; ++n) {
                ASSERT_EQ(samples[n], reference::Tone(n, 0.3f, 700.0f));
            }
        }
        ExpectSameSamples(samples, atOne);
    }
    synth.SetVolume(-0.5f);
    Play('T');
    ExpectSameSamples(Left(Render(3000)), reference::Scaled(atOne, -0.5f));

    synth.SetVolume(0.0f);
    synth.SetNoise(true);
    Play('T');
    for (float sample : Left(Render(3000))) {
        ASSERT_EQ(sample, 0.0f);
    }
}

// The values noise can take at a gain: r = 0..99, r * 0.01 in single precision, times 0.1.
std::set<float> NoiseValues(float gain, float tone = 0.0f) {
    std::set<float> values;
    for (int32_t r = 0; r < 100; ++r) {
        const double noise = static_cast<double>(static_cast<float>(r) * 0.01f) * 0.1;
        values.insert(gain * static_cast<float>(tone + noise));
    }
    return values;
}

TEST_F(Fixture, NoiseAloneIsNonNegativeEqualOnBothChannelsAndOnAHundredLevels) {
    synth.SetNoise(true);
    synth.SetVolume(0.8f);
    const std::set<float> allowed = NoiseValues(0.8f);
    for (int32_t r = 0; r < 100; ++r) {
        const float nominal = 0.8f * 0.001f * static_cast<float>(r);
        EXPECT_NEAR(*std::next(allowed.begin(), r), nominal, 1e-7f);
    }
    std::set<float> seen;
    for (float sample : Left(Render(44100))) {
        ASSERT_GE(sample, 0.0f);
        ASSERT_TRUE(allowed.count(sample)) << sample;
        seen.insert(sample);
    }
    EXPECT_EQ(seen.size(), 100u) << "every level occurs in a second of noise";
}

TEST_F(Fixture, NoiseIsAddedToTheTone) {
    synth.SetNoise(true);
    synth.SetVolume(1.0f);
    Play('T');
    const auto samples = Left(Render(13231));
    bool someNoise = false;
    for (int32_t n = 0; n < 13231; ++n) {
        const float tone = reference::Tone(n, 0.3f, 440.0f);
        ASSERT_TRUE(NoiseValues(1.0f, tone).count(samples[n])) << n;
        someNoise = someNoise || samples[n] != tone;
    }
    EXPECT_TRUE(someNoise);
}

TEST_F(Fixture, NoiseLeavesTheStandardGeneratorAlone) {
    std::srand(1234);
    const int first = std::rand();
    const int second = std::rand();
    std::srand(1234);
    EXPECT_EQ(std::rand(), first);
    synth.SetNoise(true);
    Render(4096);
    EXPECT_EQ(std::rand(), second);
}

TEST_F(Fixture, PlayCodeInTheMiddleOfADahStartsTheNewCharacterAtTheNextBlock) {
    Play('T');
    const auto before = Left(Render(5 * 512));
    ASSERT_NE(before.back(), 0.0f) << "still in the dah";
    Play('E');
    const auto after = Left(Render(512));
    for (int32_t n = 0; n < 512; ++n) {
        ASSERT_EQ(after[n], 0.3f * reference::Tone(n, 0.1f, 440.0f)) << n;
    }
    EXPECT_EQ(after[0], 0.0f);
    const Synthesiser::Playback state = synth.AudioState();
    EXPECT_EQ(state.codes, CodeOf('E'));
    EXPECT_EQ(state.elementIndex, 0);
    EXPECT_EQ(state.sampleCounter, 512);
}

TEST_F(Fixture, SilentSlotResetsTheWalkWithoutSound) {
    Play('T');
    Render(1024);
    synth.currentCode = CodeOf('A');
    synth.PlaySilentSlot();
    EXPECT_FALSE(synth.IsPlaying());
    for (float sample : Left(Render(512))) {
        ASSERT_EQ(sample, 0.0f);
    }
    const Synthesiser::Playback state = synth.AudioState();
    EXPECT_EQ(state.codes, CodeOf('A'));
    EXPECT_EQ(state.elementIndex, 0);
    EXPECT_EQ(state.sampleCounter, 0);
    EXPECT_FALSE(state.playing);
    // "Dernière lettre" after a silent slot replays what currentCode holds.
    synth.PlayCode();
    EXPECT_TRUE(synth.IsPlaying());
    ExpectSameSamples(Left(Render(512)), reference::Scaled(reference::Character(CodeOf('A'), {}, 440.0f, 512), 0.3f));
}

// A run: each tone on exactly its frames, as a tone element lasting half a frame less than the
// span (phase 0 on its first frame, faded at its end), exact silence around it, the walk over
// at the first frame after the last tone; a PlayCode cuts the run off at the next block.
TEST_F(Fixture, RunPlaysEachToneOnItsFramesAndPlayCodeEndsIt) {
    const std::vector<ToneSpan> tones = {{100, 2646}, {5000, 7938}, {12938, 882}};
    synth.PlayRun(tones);
    EXPECT_TRUE(synth.IsPlaying());
    EXPECT_EQ(synth.RunFrames(), 0);
    const std::vector<float> samples = Left(Render(14336));
    std::vector<float> expected(samples.size(), 0.0f);
    for (const ToneSpan& tone : tones) {
        const auto duration = static_cast<float>((tone.lengthFrames - 0.5) / 44100.0);
        for (int64_t n = 0; n < tone.lengthFrames; ++n) {
            expected[static_cast<size_t>(tone.startFrame + n)] =
                0.3f * reference::Tone(static_cast<int32_t>(n), duration, 440.0f);
        }
    }
    ExpectSameSamples(samples, expected);
    EXPECT_FALSE(synth.IsPlaying());
    EXPECT_EQ(synth.RunFrames(), 12938 + 882) << "the walk stops after the last tone";

    synth.PlayRun(tones);
    Render(1024);
    EXPECT_EQ(synth.RunFrames(), 1024);
    Play('E');
    ExpectSameSamples(Left(Render(512)), reference::Scaled(reference::Character(CodeOf('E'), {}, 440.0f, 512), 0.3f));
    EXPECT_EQ(synth.AudioState().elementIndex, 0) << "walking E, the run is over";
}

TEST_F(Fixture, ALaterPlayCodeWinsOverAnEarlierOneNotYetRendered) {
    Play('T');
    Play('E');
    const auto samples = Left(Render(5000));
    ExpectSameSamples(samples, reference::Scaled(reference::Character(CodeOf('E'), {}, 440.0f, 5000), 0.3f));
}

TEST_F(Fixture, EveryCharacterMatchesItsElementByElementReference) {
    const Lengths lengths{30, 20, 50};
    synth.SetElementLengths(lengths.pauseMs, lengths.dihMs, lengths.dahMs);
    synth.SetFrequency(880.0f);
    for (char c : std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789")) {
        Play(c);
        const auto samples = Left(Render(20000));
        ExpectSameSamples(samples, reference::Scaled(reference::Character(CodeOf(c), lengths, 880.0f, 20000), 0.3f));
        EXPECT_FALSE(synth.IsPlaying()) << c;
    }
}

TEST_F(Fixture, RequestsBeyondTheBlockLimitAreShortenedNotOverrun) {
    Play('T');
    int32_t count = 3000;
    ToneCallback(&synth, &count);
    EXPECT_EQ(count, 1024);
    EXPECT_EQ(synth.AudioState().sampleCounter, 1024);
    count = 0;
    ToneCallback(&synth, &count);
    count = -7;
    ToneCallback(&synth, &count);
    EXPECT_EQ(count, -7);
    EXPECT_EQ(synth.AudioState().sampleCounter, 1024);
}

TEST_F(Fixture, CodesWithoutEndOrWithUnknownValuesStopSafely) {
    synth.SetElementLengths(10, 10, 10);
    MorseCode gaps{};
    for (int32_t& c : gaps.codes) {
        c = Gap;
    }
    synth.currentCode = gaps;
    synth.PlayCode();
    EXPECT_EQ(FrameWherePlayingEnds(100000), 12 * (442 + 1) - 1) << "twelve gaps, then the walk stops";

    MorseCode unknown = CodeOf('E');
    unknown.codes[0] = 7;
    synth.currentCode = unknown;
    synth.PlayCode();
    EXPECT_EQ(FrameWherePlayingEnds(10), 0);
    unknown.codes[0] = -1;
    synth.currentCode = unknown;
    synth.PlayCode();
    EXPECT_EQ(FrameWherePlayingEnds(10), 0);
}

} // namespace
