// The iambic keyer and the keying engine, to the frame: at N WPM a unit lasts 1200 / N ms, that
// is 44100 * 1.2 / N frames, and a boundary k units into a run lies at k * 52920 / N frames,
// rounded to the nearest frame.
#include "keying/IambicKeyer.h"
#include "keying/KeyingEngine.h"
#include "keying/SidetoneGenerator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

namespace {

using Paddle = IambicKeyer::Paddle;

struct Change {
    bool down;
    int64_t frame;
    friend bool operator==(const Change&, const Change&) = default;
};

class RecordingSink : public KeySink {
public:
    void KeyChanged(bool down, int64_t frame) override { changes.push_back({down, frame}); }
    std::vector<Change> changes;
};

int64_t FrameOfUnits(double units, int wpm) {
    return std::llround(units * 44100.0 * 1.2 / wpm);
}

// A paddle goes down or up at a moment given in units.
struct PaddleEvent {
    Paddle paddle;
    bool down;
    double atUnits;
};

struct KeyerRow {
    const char* what;
    IambicKeyer::Mode mode;
    int wpm;
    std::vector<PaddleEvent> events;
    std::vector<std::pair<bool, double>> expected; // key down or up, at whole units
};

TEST(KeyerTest, ElementsLandOnTheirFrames) {
    using enum IambicKeyer::Mode;
    const KeyerRow rows[] = {
        {"a dit held 0.30 s at 20 WPM gives three dits",
         A,
         20,
         {{Paddle::Dit, true, 0}, {Paddle::Dit, false, 5}},
         {{true, 0}, {false, 1}, {true, 2}, {false, 3}, {true, 4}, {false, 5}}},
        {"a squeeze alternates, dit first; mode A stops after the element it was let go in",
         A,
         20,
         {{Paddle::Dit, true, 0}, {Paddle::Dah, true, 0}, {Paddle::Dit, false, 9}, {Paddle::Dah, false, 9}},
         {{true, 0}, {false, 1}, {true, 2}, {false, 5}, {true, 6}, {false, 7}, {true, 8}, {false, 11}}},
        {"mode B adds the opposite element after a squeeze let go",
         B,
         20,
         {{Paddle::Dit, true, 0}, {Paddle::Dah, true, 0}, {Paddle::Dit, false, 9}, {Paddle::Dah, false, 9}},
         {{true, 0},
          {false, 1},
          {true, 2},
          {false, 5},
          {true, 6},
          {false, 7},
          {true, 8},
          {false, 11},
          {true, 12},
          {false, 13}}},
        {"dit memory: a dit tapped during a dah follows it",
         A,
         20,
         {{Paddle::Dah, true, 0}, {Paddle::Dit, true, 1}, {Paddle::Dit, false, 1.5}, {Paddle::Dah, false, 2.5}},
         {{true, 0}, {false, 3}, {true, 4}, {false, 5}}},
        {"dah memory: a dah tapped during a dit follows it",
         A,
         20,
         {{Paddle::Dit, true, 0}, {Paddle::Dah, true, 0.25}, {Paddle::Dah, false, 0.5}, {Paddle::Dit, false, 0.75}},
         {{true, 0}, {false, 1}, {true, 2}, {false, 5}}},
        {"a dah held 0.30 s at 20 WPM gives two dahs",
         A,
         20,
         {{Paddle::Dah, true, 0}, {Paddle::Dah, false, 5}},
         {{true, 0}, {false, 3}, {true, 4}, {false, 7}}},
        {"at 13 WPM each boundary is rounded on its own",
         B,
         13,
         {{Paddle::Dah, true, 0}, {Paddle::Dit, true, 0.5}, {Paddle::Dit, false, 13.5}, {Paddle::Dah, false, 13.5}},
         {{true, 0},
          {false, 3},
          {true, 4},
          {false, 5},
          {true, 6},
          {false, 9},
          {true, 10},
          {false, 11},
          {true, 12},
          {false, 15},
          {true, 16},
          {false, 17}}},
        {"a paddle let go where the silence ends counts as up",
         A,
         20,
         {{Paddle::Dit, true, 0}, {Paddle::Dit, false, 2}},
         {{true, 0}, {false, 1}}},
    };
    for (const KeyerRow& row : rows) {
        SCOPED_TRACE(row.what);
        const int64_t start = 1000; // the run need not begin at frame 0
        IambicKeyer keyer(row.mode, row.wpm);
        RecordingSink sink;
        for (const PaddleEvent& event : row.events) {
            const int64_t frame = start + FrameOfUnits(event.atUnits, row.wpm);
            if (event.down) {
                keyer.Press(event.paddle, frame, sink);
            } else {
                keyer.Release(event.paddle, frame, sink);
            }
        }
        keyer.AdvanceTo(start + FrameOfUnits(40, row.wpm), sink);
        std::vector<Change> expected;
        for (const auto& [down, units] : row.expected) {
            expected.push_back({down, start + FrameOfUnits(units, row.wpm)});
        }
        EXPECT_EQ(sink.changes, expected);
        EXPECT_TRUE(keyer.IsIdle());
    }
}

// The engine as the sending window drives it, rendered in blocks of 441 frames (10 ms): each
// input takes effect at the first frame of the next block.
class EngineRig {
public:
    explicit EngineRig(KeyingMode mode, int wpm = 20, bool swapped = false) {
        engine.Configure(mode, wpm, swapped);
        engine.SetTone(700.0f, 0.5f);
    }
    void Blocks(int count) {
        for (int i = 0; i < count; ++i) {
            uint32_t pcm[441];
            engine.Render(pcm, 441);
            for (uint32_t word : pcm) {
                pcmLeft.push_back(static_cast<int16_t>(word & 0xFFFF));
            }
        }
    }
    std::vector<Change> Changes() {
        std::vector<Change> changes;
        KeyingEngine::Transition t;
        while (engine.TakeTransition(t)) {
            changes.push_back({t.down, t.frame});
        }
        return changes;
    }
    KeyingEngine engine;
    std::vector<int16_t> pcmLeft;
};

TEST(KeyerTest, EngineKeysFromTheInputsAndSoundsTheKey) {
    // Left Ctrl held 0.30 s at 20 WPM: three dits of 2646 frames, 2646 apart.
    EngineRig iambic(KeyingMode::IambicA);
    iambic.engine.Input(KeyInput::LeftControl, true);
    iambic.engine.Input(KeyInput::LeftControl, true); // auto-repeat changes nothing
    iambic.Blocks(30);
    iambic.engine.Input(KeyInput::LeftControl, false);
    iambic.Blocks(20);
    const std::vector<Change> dits = {{true, 0},     {false, 2646}, {true, 5292},
                                      {false, 7938}, {true, 10584}, {false, 13230}};
    EXPECT_EQ(iambic.Changes(), dits);
    // The tone follows the key, and falls silent 221 frames (5 ms) after each key-up.
    for (size_t i = 0; i < dits.size(); i += 2) {
        const auto up = static_cast<size_t>(dits[i + 1].frame);
        EXPECT_NE(iambic.pcmLeft[static_cast<size_t>(dits[i].frame) + 100], 0);
        EXPECT_NE(iambic.pcmLeft[up - 1], 0);
        for (size_t f = up + SidetoneGenerator::kRampFrames; f < up + 2000; ++f) {
            ASSERT_EQ(iambic.pcmLeft[f], 0) << "frame " << f;
        }
    }

    // "Inverser": Left Ctrl becomes the dah paddle, and the right mouse button the dit.
    EngineRig swapped(KeyingMode::IambicB, 20, true);
    swapped.engine.Input(KeyInput::LeftControl, true);
    swapped.Blocks(2);
    swapped.engine.Input(KeyInput::LeftControl, false);
    swapped.engine.Input(KeyInput::RightButton, true);
    swapped.Blocks(1);
    swapped.engine.Input(KeyInput::RightButton, false);
    swapped.Blocks(30);
    EXPECT_EQ(swapped.Changes(), (std::vector<Change>{{true, 0}, {false, 7938}, {true, 10584}, {false, 13230}}));

    // A straight key: down from the block after Space went down, up from the block after it came
    // up, whatever else is held meanwhile; the right mouse button does not key it, nor does Space
    // key paddles.
    EngineRig straight(KeyingMode::Straight);
    straight.engine.Input(KeyInput::RightButton, true);
    straight.Blocks(1);
    straight.engine.Input(KeyInput::Space, true);
    straight.Blocks(3);
    straight.engine.Input(KeyInput::LeftButton, true);
    straight.engine.Input(KeyInput::Space, false);
    straight.Blocks(2);
    straight.engine.Input(KeyInput::LeftButton, false);
    straight.Blocks(2);
    EXPECT_EQ(straight.Changes(), (std::vector<Change>{{true, 441}, {false, 2646}}));
    EngineRig spaceOnPaddles(KeyingMode::IambicA);
    spaceOnPaddles.engine.Input(KeyInput::Space, true);
    spaceOnPaddles.Blocks(5);
    EXPECT_TRUE(spaceOnPaddles.Changes().empty());

    // A new configuration cuts the tone and forgets what is held.
    EngineRig cut(KeyingMode::Straight);
    cut.engine.Input(KeyInput::RightControl, true);
    cut.Blocks(2);
    cut.engine.Configure(KeyingMode::IambicA, 20, false);
    cut.Blocks(2);
    cut.engine.Input(KeyInput::RightControl, false);
    cut.Blocks(2);
    EXPECT_EQ(cut.Changes(), (std::vector<Change>{{true, 0}, {false, 882}}));
}

// The sidetone rises and falls over 5 ms along a raised cosine: no step between two samples is
// larger than the sine's own steepest step plus the envelope's, so it never clicks.
TEST(KeyerTest, SidetoneRisesAndFallsWithoutAClick) {
    const float volume = 0.8f;
    const float frequency = 1000.0f;
    SidetoneGenerator generator;
    std::vector<StereoFrame> frames(3000);
    generator.Render(frames.data(), 1000, true, frequency, volume);
    generator.Render(frames.data() + 1000, 2000, false, frequency, volume);
    const double sineStep = volume * 2 * std::numbers::pi * frequency / 44100.0;
    const double envelopeStep = volume * std::numbers::pi / (2.0 * 221);
    double steepest = 0;
    float peak = 0;
    for (size_t i = 1; i < frames.size(); ++i) {
        steepest = std::max(steepest, static_cast<double>(std::fabs(frames[i].left - frames[i - 1].left)));
        peak = std::max(peak, std::fabs(frames[i].left));
        ASSERT_EQ(frames[i].left, frames[i].right);
    }
    EXPECT_LE(steepest, sineStep + envelopeStep);
    EXPECT_NEAR(peak, volume, volume * 0.01);
    EXPECT_EQ(frames[0].left, 0.0f); // the sine starts at phase 0
    // Full amplitude from frame 221 on; silence from frame 221 after the key-up on.
    EXPECT_LT(std::fabs(frames[110].left), volume * 0.51f);
    EXPECT_NE(frames[1000 + 219].left, 0.0f);
    for (size_t i = 1000 + 220; i < frames.size(); ++i) {
        ASSERT_EQ(frames[i].left, 0.0f) << "frame " << i;
    }
    EXPECT_TRUE(generator.IsSilent());
}

} // namespace
