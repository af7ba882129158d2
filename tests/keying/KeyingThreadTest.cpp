// The keying engine on a stream thread of its own while the test's thread keys and reads back,
// as the sending window does: every key change comes back once, in order (run it in the
// ThreadSanitizer build to prove that the two threads share nothing but the queues and atomics).
#include "audio/ClockedSidetoneDevice.h"
#include "keying/KeyingEngine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace {

TEST(KeyingThreadTest, EveryKeyChangeComesBackInOrderFromTheStreamThread) {
    KeyingEngine engine;
    engine.Configure(KeyingMode::Straight, 20, false);
    ClockedSidetoneDevice device;
    ASSERT_TRUE(device.Open(0, KeyingEngine::kSampleRate, &KeyingEngine::RenderCallback, &engine));
    ASSERT_FALSE(device.IsAudible());
    constexpr int kPresses = 50;
    std::vector<KeyingEngine::Transition> changes;
    const auto take = [&] {
        KeyingEngine::Transition t;
        while (engine.TakeTransition(t)) {
            changes.push_back(t);
        }
    };
    for (int i = 0; i < kPresses; ++i) {
        ASSERT_TRUE(engine.Input(KeyInput::Space, true));
        engine.SetTone(500.0f + i, 0.5f);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        ASSERT_TRUE(engine.Input(KeyInput::Space, false));
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        take();
    }
    // The last changes come within the next blocks; a minute is far beyond any load.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (changes.size() < 2 * kPresses && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        take();
    }
    device.Close();
    take();
    ASSERT_EQ(changes.size(), 2u * kPresses);
    for (size_t i = 0; i < changes.size(); ++i) {
        EXPECT_EQ(changes[i].down, i % 2 == 0) << i;
        if (i > 0) {
            EXPECT_GE(changes[i].frame, changes[i - 1].frame) << i;
        }
    }
    EXPECT_GE(engine.RenderedFrames(), changes.back().frame);
    EXPECT_EQ(engine.LostTransitions(), 0u);
}

} // namespace
