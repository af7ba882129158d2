// The decoder that the end-to-end test relies on: it must find what is there and reject what is
// not, or the end-to-end test could pass on wrong sound.
#include "tests/e2e/ToneRunDecoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr int kRate = 44100;

// Appends a tone of ms milliseconds at hz with a 10 ms linear fade at its end, or silence.
void Tone(std::vector<int16_t>& out, double ms, double hz, double amplitude = 9830) {
    const int n = static_cast<int>(ms * kRate / 1000);
    const int fade = kRate / 100;
    for (int i = 0; i < n; ++i) {
        const double gain = i < n - fade ? 1.0 : static_cast<double>(n - i) / fade;
        out.push_back(static_cast<int16_t>(amplitude * gain * std::sin(2 * std::numbers::pi * hz * i / kRate)));
    }
}
void Silence(std::vector<int16_t>& out, double ms) {
    out.insert(out.end(), static_cast<int>(ms * kRate / 1000), 0);
}

// "A N": .- then -. with 100/300 ms elements and 100 ms gaps, 700 ms between the characters.
std::vector<int16_t> AN(double hz = 440, double dahMs = 300) {
    std::vector<int16_t> s;
    Silence(s, 250);
    Tone(s, 100, hz);
    Silence(s, 100);
    Tone(s, dahMs, hz);
    Silence(s, 700);
    Tone(s, dahMs, hz);
    Silence(s, 100);
    Tone(s, 100, hz);
    Silence(s, 400);
    return s;
}

} // namespace

TEST(ToneRunDecoder, ReadsCharactersLengthsAndFrequency) {
    const ToneRunDecoder decoder(kRate);
    const std::vector<int16_t> samples = AN();
    const auto runs = decoder.FindRuns(samples);
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].startFrame, kRate / 4 + 1); // sample 0 of a sine is 0, below the threshold
    for (const auto& run : runs) {
        EXPECT_NEAR(run.frequencyHz, 440.0, 0.05);
        EXPECT_NEAR(run.peak, 9830, 2);
    }
    const auto text = decoder.Transcribe(runs, {});
    EXPECT_EQ(text.pattern, ".- -.");
    EXPECT_TRUE(text.problems.empty());
    ASSERT_EQ(text.dihMs.size(), 2u);
    ASSERT_EQ(text.dahMs.size(), 2u);
    ASSERT_EQ(text.gapMs.size(), 2u);
    // The end of the fade, below the threshold, is lost: less than 2 ms.
    EXPECT_NEAR(text.dihMs[0], 100, 2);
    EXPECT_NEAR(text.dahMs[0], 300, 2);
    EXPECT_NEAR(text.gapMs[0], 100, 2);
}

TEST(ToneRunDecoder, WrongLengthsAndFrequenciesShow) {
    const ToneRunDecoder decoder(kRate);
    // Dahs of 250 ms are neither dits nor dahs.
    const auto longDah = decoder.Transcribe(decoder.FindRuns(AN(440, 250)), {});
    EXPECT_EQ(longDah.pattern, ".? ?.");
    EXPECT_EQ(longDah.problems.size(), 2u);
    // A tone at 880 Hz measures 880 Hz.
    const auto runs = decoder.FindRuns(AN(880));
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_NEAR(runs[1].frequencyHz, 880.0, 0.1);
    // A gap of 150 ms inside a character is a fault, not a new character.
    std::vector<int16_t> s;
    Tone(s, 100, 440);
    Silence(s, 150);
    Tone(s, 100, 440);
    const auto gap = decoder.Transcribe(decoder.FindRuns(s), {});
    EXPECT_EQ(gap.pattern, "..");
    EXPECT_EQ(gap.problems.size(), 1u);
}

TEST(ToneRunDecoder, SilenceAndChannels) {
    const ToneRunDecoder decoder(kRate);
    const std::vector<int16_t> silent(kRate, 0);
    EXPECT_TRUE(decoder.FindRuns(silent).empty());
    const std::vector<int16_t> stereo{1, -1, 2, -2, 3, -3};
    EXPECT_EQ(ToneRunDecoder::Channel(stereo, 2, 0), (std::vector<int16_t>{1, 2, 3}));
    EXPECT_EQ(ToneRunDecoder::Channel(stereo, 2, 1), (std::vector<int16_t>{-1, -2, -3}));
}
