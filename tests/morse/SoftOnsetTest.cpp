// The synthesiser's optional soft onset: a 5 ms raised-cosine rise at the start of each tone.

#include "morse/MorseTable.h"
#include "morse/Synthesiser.h"
#include "settings/Settings.h"

#include "SynthesiserTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int32_t kLeadFrames = 1024; // [frames] of silence rendered before the tone starts

// The left channel of a synthesiser at the trainer's defaults that plays one character
// after kLeadFrames of silence, frameCount frames in all.
std::vector<float> RenderCharacter(char character, bool softOnset, int32_t dihMs = 100, size_t frameCount = 16384) {
    Synthesiser synth;
    synth.Initialise();
    synth.SetElementLengths(100, dihMs, 300);
    synth.SetFrequency(440.0f);
    synth.SetSoftOnset(true);
    synth.SetSoftOnset(softOnset);
    std::vector<float> out;
    int32_t count = kLeadFrames;
    const StereoFrame* frames = ToneCallback(&synth, &count);
    MorseTable().CodeForChar(character, synth.currentCode);
    synth.PlayCode();
    while (true) {
        for (int32_t i = 0; i < count && out.size() < frameCount; ++i) {
            out.push_back(frames[i].left);
        }
        if (out.size() == frameCount) {
            return out;
        }
        count = 512;
        frames = ToneCallback(&synth, &count);
    }
}

// The rise of the soft onset at tone sample n, computed on the time rounded to a float.
double Rise(int32_t n) {
    const auto t = static_cast<float>(static_cast<double>(n) * reference::SamplePeriod());
    return t < 0.005f ? 0.5 - 0.5 * std::cos(kPi * t / 0.005) : 1.0;
}

TEST(SoftOnset, IsOffByDefaultAndOffIsTheHardOnsetBitForBit) {
    EXPECT_FALSE(Synthesiser().SoftOnset());
    Synthesiser fresh;
    fresh.Initialise();
    fresh.SetElementLengths(100, 100, 300);
    const reference::Lengths lengths;
    MorseCode code{};
    MorseTable().CodeForChar('A', code);
    const std::vector<float> expected =
        reference::Scaled(reference::Character(code, lengths, 440.0f, 16384 - kLeadFrames), 0.3f);
    const std::vector<float> switchedOff = RenderCharacter('A', false);
    EXPECT_EQ(std::vector<float>(switchedOff.begin() + kLeadFrames, switchedOff.end()), expected);
    // The stored setting reaches the synthesiser with the others, either way.
    for (const bool on : {true, false}) {
        Settings settings;
        settings.softOnset = on ? Settings::kSoftOnsetOn : Settings::kSoftOnsetOff;
        fresh.SetSoftOnset(!on);
        fresh.ApplySettings(settings);
        EXPECT_EQ(fresh.SoftOnset(), on);
    }
}

// With the shortest dih the rise (221 samples: 220 * period < 5 ms < 221 * period) overlaps the
// fade, which starts at the second sample; the two multiply.
TEST(SoftOnset, RisesOverTheFirstFiveMillisecondsAndLeavesTheRestAlone) {
    for (const int32_t dihMs : {100, 10}) {
        const std::vector<float> hard = RenderCharacter('E', false, dihMs);
        const std::vector<float> soft = RenderCharacter('E', true, dihMs);
        for (int32_t n = 0; n < 221; ++n) {
            const float expected = static_cast<float>(hard[kLeadFrames + n] * Rise(n));
            ASSERT_NEAR(soft[kLeadFrames + n], expected, 1e-7f) << dihMs << " ms, sample " << n;
        }
        EXPECT_LT(Rise(221), 1.0 + 1e-12);
        EXPECT_GT(Rise(220), 0.9999);
        for (size_t i = kLeadFrames + 221; i < hard.size(); ++i) {
            ASSERT_EQ(soft[i], hard[i]) << dihMs << " ms, frame " << i;
        }
    }
}

// One thread switches the soft onset on and off while another restarts a tone and renders its
// first block, again and again. The flag is read once per block, so every block is the whole
// hard or the whole soft onset, never a mix; under the tsan build this also shows that the
// switch shares no unsynchronised data with the audio thread.
TEST(SoftOnset, SwitchingWhileTheAudioThreadRendersGivesWholeBlocks) {
    const std::vector<float> hardCharacter = RenderCharacter('T', false);
    const std::vector<float> softCharacter = RenderCharacter('T', true);
    const std::vector<float> hard(hardCharacter.begin() + kLeadFrames, hardCharacter.begin() + kLeadFrames + 512);
    const std::vector<float> soft(softCharacter.begin() + kLeadFrames, softCharacter.begin() + kLeadFrames + 512);
    ASSERT_NE(hard, soft);
    Synthesiser synth;
    synth.Initialise();
    synth.SetElementLengths(100, 100, 300);
    synth.SetFrequency(440.0f);
    MorseTable().CodeForChar('T', synth.currentCode);
    std::atomic<bool> done{false};
    std::thread switcher([&] {
        for (bool on = true; !done.load(); on = !on) {
            synth.SetSoftOnset(on);
        }
    });
    int32_t mixed = 0;
    for (int32_t block = 0; block < 2000; ++block) {
        synth.PlayCode();
        int32_t count = 512;
        const StereoFrame* frames = ToneCallback(&synth, &count);
        std::vector<float> left;
        for (int32_t i = 0; i < count; ++i) {
            left.push_back(frames[i].left);
        }
        mixed += left != hard && left != soft ? 1 : 0;
    }
    done.store(true);
    switcher.join();
    EXPECT_EQ(mixed, 0);
}

// Share of the energy more than 300 Hz away from the 440 Hz tone, in a 40 ms Blackman window
// centred on the onset (1764 frames, 25 Hz per bin of its discrete Fourier transform).
double SplatterShare(const std::vector<float>& samples) {
    const int32_t size = 1764;
    const int32_t first = kLeadFrames - size / 2;
    std::vector<double> windowed(size);
    for (int32_t n = 0; n < size; ++n) {
        const double phase = 2.0 * kPi * n / (size - 1);
        windowed[n] = samples[first + n] * (0.42 - 0.5 * std::cos(phase) + 0.08 * std::cos(2.0 * phase));
    }
    double total = 0.0;
    double away = 0.0;
    for (int32_t k = 0; k <= size / 2; ++k) {
        double re = 0.0;
        double im = 0.0;
        for (int32_t n = 0; n < size; ++n) {
            re += windowed[n] * std::cos(2.0 * kPi * k * n / size);
            im -= windowed[n] * std::sin(2.0 * kPi * k * n / size);
        }
        const double energy = re * re + im * im;
        total += energy;
        if (std::abs(k * 44100.0 / size - 440.0) > 300.0) {
            away += energy;
        }
    }
    return away / total;
}

TEST(SoftOnset, CutsTheSplatterOfTheOnsetByAtLeastTwentyDecibels) {
    const double hard = SplatterShare(RenderCharacter('E', false));
    const double soft = SplatterShare(RenderCharacter('E', true));
    const double reductionDb = 10.0 * std::log10(hard / soft);
    std::printf("energy more than 300 Hz from the tone: hard onset %.1f dB, soft onset %.1f dB, reduction %.1f dB\n",
                10.0 * std::log10(hard), 10.0 * std::log10(soft), reductionDb);
    EXPECT_GE(reductionDb, 20.0);
}

} // namespace
