// The words-per-minute and Farnsworth timing of the renderer, to the frame.

#include "render/MorseRenderer.h"
#include "render/TextFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr double kRate = 44100.0; // [frames/s]

// Keeps the left channel; can refuse frames after a given number.
class MemorySink : public FrameSink {
public:
    bool Write(const StereoFrame* frames, int32_t count) override {
        if (refuseAfter >= 0 && static_cast<int64_t>(left.size()) + count > refuseAfter) {
            return false;
        }
        for (int32_t i = 0; i < count; ++i) {
            left.push_back(frames[i].left);
        }
        return true;
    }
    std::vector<float> left;
    int64_t refuseAfter = -1;
};

std::vector<float> RenderWpm(const std::string& text, int32_t wpm, int32_t overallWpm = 0) {
    MorseRenderer::Options options;
    options.wpm = wpm;
    options.overallWpm = overallWpm;
    MorseRenderer renderer(options);
    MemorySink sink;
    EXPECT_TRUE(renderer.Render(TextFolder::Fold(text), sink));
    EXPECT_EQ(renderer.FramesWritten(), static_cast<int64_t>(sink.left.size()));
    return sink.left;
}

std::string Repeat(const std::string& word, int32_t times) {
    std::string text;
    for (int32_t i = 0; i < times; ++i) {
        text += word;
    }
    return text;
}

TEST(WpmTiming, ParisRepeatedLastsOneMinute) {
    struct Speeds {
        int32_t wpm;
        int32_t overallWpm; // 0: no Farnsworth spacing
    };
    // 13 and 35 words per minute give units that are not whole frames (4070.77 and 1512),
    // 16 gives units of exactly half a frame more (3307.5).
    for (const Speeds speeds : {Speeds{5, 0}, Speeds{13, 0}, Speeds{16, 0}, Speeds{20, 0}, Speeds{35, 0}, Speeds{18, 5},
                                Speeds{20, 10}, Speeds{25, 13}, Speeds{100, 1}}) {
        const int32_t words = speeds.overallWpm > 0 ? speeds.overallWpm : speeds.wpm;
        const std::vector<float> frames = RenderWpm(Repeat("PARIS ", words), speeds.wpm, speeds.overallWpm);
        EXPECT_EQ(frames.size(), 2646000u) << speeds.wpm << "/" << speeds.overallWpm << ": 60 s at 44100 Hz";
    }
}

// Every tone begins at the frame nearest to its exact start time, lasts up to the frame
// nearest to its exact end, and the silence between tones is exact silence.
TEST(WpmTiming, EveryElementStartsAtTheNearestFrame) {
    const int32_t wpm = 13;
    const int32_t overall = 7;
    // Units of "PARIS PARIS" by hand: characters as dots and dashes.
    const std::vector<std::string> word = {".--.", ".-", ".-.", "..", "..."};
    const double characterUnit = 1.2 / wpm * kRate;                                        // [frames]
    const double gapUnit = (60.0 * wpm - 37.2 * overall) / (wpm * overall) / 19.0 * kRate; // [frames]
    struct Tone {
        double start; // [frames], exact
        double end;
    };
    std::vector<Tone> tones;
    double at = 0.0;
    for (int w = 0; w < 2; ++w) {
        for (size_t c = 0; c < word.size(); ++c) {
            for (size_t e = 0; e < word[c].size(); ++e) {
                const double length = (word[c][e] == '.' ? 1 : 3) * characterUnit;
                tones.push_back({at, at + length});
                at += length + (e + 1 < word[c].size() ? characterUnit : 0.0);
            }
            at += (c + 1 < word.size() ? 3 : 7) * gapUnit;
        }
    }
    const std::vector<float> frames = RenderWpm("PARIS PARIS", wpm, overall);
    ASSERT_EQ(frames.size(), static_cast<size_t>(std::llround(tones.back().end)));
    size_t silentFrom = 0;
    for (const Tone& tone : tones) {
        const auto start = static_cast<size_t>(std::llround(tone.start));
        const auto end = static_cast<size_t>(std::llround(tone.end));
        for (size_t i = silentFrom; i <= start; ++i) {
            ASSERT_EQ(frames[i], 0.0f) << "silence up to and with the tone's first frame (phase 0), " << i;
        }
        EXPECT_GT(std::abs(frames[start + 1]), 0.01f) << "the tone sounds from the frame after " << start;
        float lastFrames = 0.0f; // the fade reaches 0 just after the last frame of the tone
        for (size_t i = end - 4; i < end; ++i) {
            lastFrames = std::max(lastFrames, std::abs(frames[i]));
        }
        EXPECT_GT(lastFrames, 0.0f) << "the tone lasts to frame " << end - 1;
        EXPECT_LT(lastFrames, 0.01f) << "faded at its end";
        silentFrom = end;
    }
}

TEST(WpmTiming, SpacesOtherCharactersAndTheEnds) {
    const int32_t wpm = 20; // 2646 frames per unit
    const size_t unit = 2646;
    const size_t e = RenderWpm("E", wpm).size();
    EXPECT_EQ(e, unit) << "a dih alone";
    EXPECT_EQ(RenderWpm("EE", wpm).size(), 5 * unit) << "characters 3 units apart";
    EXPECT_EQ(RenderWpm("E E", wpm).size(), 9 * unit) << "words 7 units apart";
    EXPECT_EQ(RenderWpm("E \t\n \r\nE", wpm), RenderWpm("E E", wpm)) << "a run of white space is one word gap";
    EXPECT_EQ(RenderWpm(" E ", wpm).size(), 15 * unit) << "white space at either end is a word gap";
    EXPECT_EQ(RenderWpm("E!E", wpm).size(), 11 * unit) << "another character is a silent character gap";
    EXPECT_EQ(RenderWpm("", wpm).size(), 0u);
    const std::vector<float> accented = RenderWpm("\xC3\xA9t\xC3\xA9", wpm);
    EXPECT_EQ(accented, RenderWpm("ETE", wpm));
}

// Punctuation and prosigns at 20 words per minute, between two E: 1 + 3 + the sign + 3 + 1
// units, the sign's units counted by hand from its dots and dashes (a dih 1, a dah 3, 1
// between two elements).
TEST(WpmTiming, PunctuationAndProsignsAreSignsWithoutLetterGaps) {
    const size_t unit = 2646;
    struct Sign {
        const char* text;
        size_t units;
    };
    for (const Sign sign : {Sign{".", 17}, Sign{",", 19}, Sign{"?", 15}, Sign{"/", 13}, Sign{"=", 13}, Sign{"+", 13},
                            Sign{"<AR>", 13}, Sign{"<SK>", 15}, Sign{"<BT>", 13}, Sign{"<kn>", 15}}) {
        EXPECT_EQ(RenderWpm(std::string("E") + sign.text + "E", 20).size(), (8 + sign.units) * unit) << sign.text;
    }
    EXPECT_EQ(RenderWpm("<AR>", 20), RenderWpm("+", 20)) << "<AR> sounds as +";
    EXPECT_EQ(RenderWpm("<BT>", 20), RenderWpm("=", 20)) << "<BT> sounds as =";
    EXPECT_EQ(RenderWpm("AR", 20).size(), 15 * unit) << "the letters A R keep their letter gap: 5 + 3 + 7";
}

// In the trainer's millisecond timing a sign is played as a letter is, no longer a silence.
TEST(MorseRenderer, MillisecondTimingPlaysSigns) {
    for (const char* text : {"/", "<SK>", "?"}) {
        MorseRenderer renderer(MorseRenderer::Options{});
        MemorySink sink;
        ASSERT_TRUE(renderer.Render(TextFolder::Fold(text), sink));
        EXPECT_GT(*std::max_element(sink.left.begin(), sink.left.end()), 0.2f) << text;
    }
}

TEST(MorseRenderer, StopsWhenTheSinkRefuses) {
    for (const int32_t wpm : {0, 20}) {
        MorseRenderer::Options options;
        options.wpm = wpm;
        MorseRenderer renderer(options);
        MemorySink sink;
        sink.refuseAfter = 10000;
        EXPECT_FALSE(renderer.Render("PARIS PARIS", sink)) << wpm;
        EXPECT_LE(sink.left.size(), 10000u);
    }
}

TEST(MorseRenderer, ReportsProgressAfterEachCharacter) {
    MorseRenderer::Options options;
    options.wpm = 20;
    MorseRenderer renderer(options);
    std::vector<double> done;
    std::vector<int64_t> frames;
    renderer.SetProgressObserver([&](double share, int64_t written) {
        done.push_back(share);
        frames.push_back(written);
    });
    MemorySink sink;
    ASSERT_TRUE(renderer.Render("EE E", sink));
    EXPECT_EQ(done, (std::vector<double>{0.25, 0.5, 0.75, 1.0}));
    EXPECT_EQ(frames, (std::vector<int64_t>{2646, 5 * 2646, 5 * 2646, 13 * 2646}));
}

} // namespace
