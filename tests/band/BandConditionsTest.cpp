// The band conditions measured from what the synthesiser renders: the noise's level and its
// filter by FFT, the depth of the fading, the other station's tone and keying, the rate of the
// crashes, and the repeatability from one seed.

#include "band/BandConditions.h"
#include "band/QrmScript.h"
#include "morse/MorseTable.h"
#include "morse/Synthesiser.h"
#include "tests/band/WelchFft.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <thread>
#include <vector>

// Every allocation of the process is counted while `counting` is set, to prove that the audio
// path allocates nothing.
namespace {
std::atomic<bool> counting{false};
std::atomic<int> allocations{0};
} // namespace

void* operator new(std::size_t size) {
    if (counting.load()) {
        ++allocations;
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

constexpr int32_t kRate = 44100; // [frames/s]
constexpr int32_t kBlock = 512;  // [frames] per callback
constexpr uint64_t kSeed = 2024;

// Renders `seconds` of the left channel at volume 1: a steady tone (one dah of 1000 s) when
// `tone`, else silence, with the band conditions on.
std::vector<float> Render(const BandParameters& parameters, double seconds, float toneHz, bool tone,
                          uint64_t seed = kSeed) {
    Synthesiser synth;
    synth.Initialise();
    synth.SetVolume(1.0f);
    synth.SetFrequency(toneHz);
    synth.SetElementSeconds(0.1f, 1000.0f, 1000.0f);
    MorseTable().CodeForChar('T', synth.currentCode);
    synth.Band().Configure(parameters, seed);
    synth.Band().SetEnabled(true);
    if (tone) {
        synth.PlayCode();
    }
    std::vector<float> left;
    const auto frames = static_cast<int64_t>(seconds * kRate);
    while (static_cast<int64_t>(left.size()) < frames) {
        int32_t count = kBlock;
        const StereoFrame* block = ToneCallback(&synth, &count);
        for (int32_t i = 0; i < count; ++i) {
            left.push_back(block[i].left);
        }
    }
    left.resize(static_cast<size_t>(frames));
    return left;
}

BandParameters Noise(float snrDb) {
    return {.noise = true, .snrDb = snrDb};
}

size_t BinOf(double hz, size_t size) {
    return static_cast<size_t>(std::lround(hz * static_cast<double>(size) / kRate));
}

// Root mean square of samples[from, to).
double Rms(const std::vector<float>& samples, size_t from, size_t to) {
    double sum = 0.0;
    for (size_t i = from; i < to; ++i) {
        sum += static_cast<double>(samples[i]) * samples[i];
    }
    return std::sqrt(sum / static_cast<double>(to - from));
}

// The RMS of each window of `window` samples.
std::vector<double> Levels(const std::vector<float>& samples, size_t window) {
    std::vector<double> levels;
    for (size_t from = 0; from + window <= samples.size(); from += window) {
        levels.push_back(Rms(samples, from, from + window));
    }
    return levels;
}

// How often the levels cross `enter` (upward when enter > leave, else downward), each time
// after they were back beyond `leave`.
int Crossings(const std::vector<double>& levels, double enter, double leave) {
    const double sign = enter > leave ? 1.0 : -1.0;
    int count = 0;
    bool armed = true;
    for (const double level : levels) {
        if (armed && sign * level > sign * enter) {
            ++count;
            armed = false;
        } else if (!armed && sign * level < sign * leave) {
            armed = true;
        }
    }
    return count;
}

// The steady tone's power over the noise's within 250 Hz of it, from the spectrum alone: the
// tone's bins are its peak +-8 bins; the noise's are the rest of the band, scaled up to the
// whole band.
TEST(BandNoise, SignalToNoiseRatioInTheReceiverBand) {
    constexpr float kToneHz = 600.0f;
    constexpr size_t kSize = 65536;
    constexpr size_t kToneBins = 8;
    for (const float snrDb : {-6.0f, 0.0f, 10.0f}) {
        const std::vector<float> samples = Render(Noise(snrDb), 0.5 + 4.0 * kSize / kRate, kToneHz, true);
        const std::vector<float> steady(samples.begin() + kRate / 2, samples.end());
        const std::vector<double> power = spectrum::Welch(steady, kSize);
        const size_t centre = BinOf(kToneHz, kSize);
        double tone = 0.0;
        double noise = 0.0;
        size_t noiseBins = 0;
        for (size_t k = BinOf(kToneHz - 250.0, kSize); k <= BinOf(kToneHz + 250.0, kSize); ++k) {
            if (k + kToneBins >= centre && k <= centre + kToneBins) {
                tone += power[k];
            } else {
                noise += power[k];
                ++noiseBins;
            }
        }
        const size_t bandBins = BinOf(kToneHz + 250.0, kSize) - BinOf(kToneHz - 250.0, kSize) + 1;
        noise *= static_cast<double>(bandBins) / static_cast<double>(noiseBins);
        EXPECT_NEAR(spectrum::Decibels(tone / noise), snrDb, 1.0) << snrDb << " dB";
    }
}

// The noise's spectrum around a silent 1000 Hz tone, relative to its level within 50 Hz of it.
TEST(BandNoise, ShapedLikeAFiveHundredHertzReceiverFilter) {
    constexpr float kToneHz = 1000.0f;
    constexpr size_t kSize = 4096;
    const std::vector<double> power = spectrum::Welch(Render(Noise(0.0f), 30.0, kToneHz, false), kSize);
    const auto level = [&](double hz, double halfWidthHz) {
        double sum = 0.0;
        const size_t from = BinOf(hz - halfWidthHz, kSize);
        const size_t to = BinOf(hz + halfWidthHz, kSize);
        for (size_t k = from; k <= to; ++k) {
            sum += power[k];
        }
        return sum / static_cast<double>(to - from + 1);
    };
    const double centre = level(kToneHz, 50.0);
    struct Case {
        double offsetHz;
        double lowestDb;
        double highestDb;
    };
    for (const Case c : {Case{-100, -1, 1}, Case{100, -1, 1}, Case{-250, -4, -2}, Case{250, -4, -2},
                         Case{-750, -200, -20}, Case{750, -200, -20}, Case{1000, -200, -20}, Case{3000, -200, -20}}) {
        const double db = spectrum::Decibels(level(kToneHz + c.offsetHz, 11.0) / centre);
        EXPECT_GE(db, c.lowestDb) << c.offsetHz << " Hz";
        EXPECT_LE(db, c.highestDb) << c.offsetHz << " Hz";
    }
}

// Over 60 s of a steady tone, the level per 20 ms falls to (100 - depth) % within 10 points,
// comes back to full between the fades, and fades about once a period.
TEST(Qsb, FadesToTheDepthAndRisesAgainAboutOnceAPeriod) {
    constexpr size_t kWindow = kRate / 50;
    struct Case {
        float depth;
        float periodS;
    };
    for (const Case c : {Case{0.5f, 8.0f}, Case{1.0f, 4.0f}, Case{0.3f, 15.0f}}) {
        const BandParameters parameters{.qsbDepth = c.depth, .qsbPeriodS = c.periodS};
        std::vector<double> levels = Levels(Render(parameters, 60.0, 600.0f, true), kWindow);
        levels.erase(levels.begin()); // the tone's start
        for (double& level : levels) {
            level *= std::sqrt(2.0); // amplitude
        }
        const double lowest = *std::min_element(levels.begin(), levels.end());
        const double highest = *std::max_element(levels.begin(), levels.end());
        const int dips = Crossings(levels, 1.0 - 0.9 * c.depth, 1.0 - 0.1 * c.depth);
        const double expectedDips = 60.0 / c.periodS;
        EXPECT_NEAR(lowest, 1.0 - c.depth, 0.1) << c.depth;
        EXPECT_GE(highest, 0.95) << c.depth;
        EXPECT_LE(highest, 1.0 + 1e-3) << c.depth;
        EXPECT_GE(dips, std::floor(0.5 * expectedDips)) << c.depth;
        EXPECT_LE(dips, std::ceil(1.5 * expectedDips)) << c.depth;
    }
}

// The keying of a text, against frames worked out by hand: a unit is 1.2 / wpm s, that is
// 2646 frames at 20 WPM and 2116.8 at 25, each boundary rounded from the start.
TEST(Qrm, KeyingFollowsWordsPerMinuteTiming) {
    // "CQ TE": C -.-. Q --.- (word gap) T - E .
    const int64_t units[] = {3, 1, 1, 1, 3, 1, 1, 3, 3, 1, 3, 1, 1, 1, 3, 7, 3, 3, 1};
    for (const int32_t wpm : {20, 25}) {
        std::vector<int32_t> runs = {1000};
        QrmScript::AppendKeying("CQ TE", wpm, kRate, runs);
        std::vector<int32_t> expected = {1000};
        int64_t position = 0;
        for (const int64_t length : units) {
            const auto start = std::llround(static_cast<double>(position) * 52920.0 / wpm);
            position += length;
            expected.push_back(
                static_cast<int32_t>(std::llround(static_cast<double>(position) * 52920.0 / wpm) - start));
        }
        EXPECT_EQ(runs, expected) << wpm << " WPM";
    }
}

// One station over a silent tone: its samples are exactly zero while its key is up, and a sine
// of its level at the tone frequency plus its offset while the key is down.
TEST(Qrm, IsASecondKeyedToneAtItsOffset) {
    constexpr float kToneHz = 600.0f;
    const std::vector<float> samples = Render({.qrmStations = 1}, 30.0, kToneHz, false);
    const QrmScript script = QrmScript::Build(kSeed, 0, kRate);
    ASSERT_GE(std::abs(script.offsetHz), 100.0);
    ASSERT_LE(std::abs(script.offsetHz), 800.0);
    const double expectedHz =
        kToneHz + script.offsetHz >= 150.0 ? kToneHz + script.offsetHz : kToneHz - script.offsetHz;
    const double amplitude = script.level / (1.0 + script.level); // with the headroom of one station
    constexpr size_t kEdge = kRate * 6 / 1000;                    // the 5 ms ramps, and a little more
    size_t start = 0;
    int keyDowns = 0;
    double halfPeriods = 0.0; // between the first and last zero crossing of each key-down
    double crossingFrames = 0.0;
    for (size_t run = 0; run < script.runs.size() && start + script.runs[run] <= samples.size(); ++run) {
        const size_t from = start + kEdge;
        const size_t to = start + static_cast<size_t>(script.runs[run]) - kEdge;
        start += static_cast<size_t>(script.runs[run]);
        if (from + kEdge >= to) {
            continue;
        }
        const bool down = run % 2 == 1;
        EXPECT_NEAR(Rms(samples, from, to), down ? amplitude / std::sqrt(2.0) : 0.0, down ? 0.01 * amplitude : 0.0)
            << "run " << run;
        std::vector<double> crossings;
        for (size_t i = from; i + 1 < to && down; ++i) {
            if ((samples[i] < 0.0f) != (samples[i + 1] < 0.0f)) {
                crossings.push_back(static_cast<double>(i) + samples[i] / (samples[i] - samples[i + 1]));
            }
        }
        if (crossings.size() > 1) {
            ++keyDowns;
            halfPeriods += static_cast<double>(crossings.size() - 1);
            crossingFrames += crossings.back() - crossings.front();
        }
    }
    EXPECT_GT(keyDowns, 20);
    EXPECT_NEAR(halfPeriods / 2.0 / (crossingFrames / kRate), expectedHz, 0.1);
}

// Crashes counted over 2 minutes of static alone: a rise of the 5 ms level above 0.1 after it
// was below 0.02.
TEST(Qrn, CrashRateWithinHalfOfTheMeanOverTwoMinutes) {
    constexpr size_t kWindow = kRate / 200;
    for (const float perMinute : {20.0f, 40.0f, 60.0f}) {
        const BandParameters parameters{.qrnPerMinute = perMinute};
        const int crashes = Crossings(Levels(Render(parameters, 120.0, 600.0f, false), kWindow), 0.1, 0.02);
        EXPECT_GE(crashes, 0.5 * 2.0 * perMinute) << perMinute;
        EXPECT_LE(crashes, 1.5 * 2.0 * perMinute) << perMinute;
    }
}

BandParameters AllFour() {
    return {
        .noise = true, .snrDb = 3.0f, .qsbDepth = 0.6f, .qsbPeriodS = 5.0f, .qrmStations = 3, .qrnPerMinute = 30.0f};
}

TEST(BandConditions, SameSeedSameSamplesAnotherSeedOthers) {
    const std::vector<float> first = Render(AllFour(), 5.0, 700.0f, true);
    EXPECT_EQ(first, Render(AllFour(), 5.0, 700.0f, true));
    EXPECT_NE(first, Render(AllFour(), 5.0, 700.0f, true, kSeed + 1));
}

// Switched off again, the stage is skipped: a character sounds exactly as from a synthesiser
// that never had one; and while on, the audio path allocates nothing.
TEST(BandConditions, OffIsBitExactAndOnAllocatesNothing) {
    Synthesiser plain;
    Synthesiser band;
    for (Synthesiser* synth : {&plain, &band}) {
        synth->Initialise();
        MorseTable().CodeForChar('K', synth->currentCode);
    }
    band.Band().Configure(AllFour(), kSeed);
    band.Band().SetEnabled(true);
    allocations = 0;
    counting = true;
    for (int i = 0; i < 200; ++i) {
        int32_t count = kBlock;
        ToneCallback(&band, &count);
    }
    counting = false;
    EXPECT_EQ(allocations.load(), 0);
    band.Band().SetEnabled(false);
    plain.PlayCode();
    band.PlayCode();
    for (int i = 0; i < 200; ++i) {
        int32_t plainCount = kBlock;
        int32_t bandCount = kBlock;
        const StereoFrame* expected = ToneCallback(&plain, &plainCount);
        const StereoFrame* actual = ToneCallback(&band, &bandCount);
        ASSERT_EQ(bandCount, plainCount);
        ASSERT_EQ(std::memcmp(actual, expected, sizeof(StereoFrame) * static_cast<size_t>(bandCount)), 0) << i;
    }
}

// The UI thread reconfigures the band (other effects, stations and seeds) as fast as it can
// while the audio thread renders: every sample stays a number within the mix's range. Under the
// tsan build it proves that the two threads share no unsynchronised data.
TEST(BandConditions, NewSettingsRaceTheAudioThread) {
    Synthesiser synth;
    synth.Initialise();
    synth.SetVolume(1.0f);
    synth.SetElementSeconds(0.01f, 1000.0f, 1000.0f);
    MorseTable().CodeForChar('T', synth.currentCode);
    synth.PlayCode();
    synth.Band().Configure(AllFour(), kSeed);
    synth.Band().SetEnabled(true);
    std::atomic<bool> done{false};
    std::thread audio([&] {
        for (int block = 0; block < 2000; ++block) {
            int32_t count = kBlock;
            const StereoFrame* frames = ToneCallback(&synth, &count);
            for (int32_t i = 0; i < count; ++i) {
                ASSERT_TRUE(std::isfinite(frames[i].left) && std::abs(frames[i].left) < 8.0f) << block;
            }
        }
        done = true;
    });
    for (uint64_t round = 0; !done; ++round) {
        BandParameters parameters = AllFour();
        parameters.qrmStations = static_cast<int32_t>(round % 4);
        parameters.snrDb = round % 2 == 0 ? -10.0f : 30.0f;
        synth.Band().Configure(parameters, kSeed + round % 3);
        synth.Band().SetEnabled(round % 5 != 0);
    }
    audio.join();
}

} // namespace
