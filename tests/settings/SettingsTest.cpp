// The one place of the settings' defaults and ranges: Validate, value by value, at and
// beyond each bound, and values that no stored number can give (NaN).
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(Settings, DefaultsAreTheFirstRunValues) {
    const Settings settings;
    EXPECT_EQ(settings.frequency, 440.0f);
    EXPECT_EQ(settings.driverId, 0);
    EXPECT_EQ(settings.dihMs, 100);
    EXPECT_EQ(settings.dahMs, 300);
    EXPECT_EQ(settings.pauseMs, 100);
    EXPECT_EQ(settings.volume, 0.3f);
    EXPECT_EQ(settings.dictationIntervalMs, 3000);
    EXPECT_EQ(settings.kochLesson, 0);
    EXPECT_EQ(settings.adaptive, 0);
}

// A Koch lesson is 0 (none) or 2 to 41; the adaptive drill 0 or 1. Anything else is 0.
TEST(Settings, ValidateTakesOnlyKnownLessonsAndAdaptiveValues) {
    const std::pair<int32_t, int32_t> lessons[] = {{0, 0},
                                                   {1, 0},
                                                   {2, 2},
                                                   {20, 20},
                                                   {36, 36},
                                                   {37, 37},
                                                   {41, 41},
                                                   {42, 0},
                                                   {-2, 0},
                                                   {std::numeric_limits<int32_t>::min(), 0},
                                                   {std::numeric_limits<int32_t>::max(), 0}};
    for (const auto& [stored, taken] : lessons) {
        Settings settings;
        settings.kochLesson = stored;
        settings.Validate();
        EXPECT_EQ(settings.kochLesson, taken) << stored;
    }
    const std::pair<int32_t, int32_t> adaptives[] = {{0, 0}, {1, 1}, {2, 0}, {-1, 0}};
    for (const auto& [stored, taken] : adaptives) {
        Settings settings;
        settings.adaptive = stored;
        settings.Validate();
        EXPECT_EQ(settings.adaptive, taken) << stored;
    }
}

TEST(Settings, ValidateFallsBackOrClampsEachValue) {
    struct Case {
        float frequency, expectedFrequency;
        int32_t driverId, expectedDriverId;
        int32_t lengthMs, expectedLengthMs; // dih, dah and pause alike
        int32_t intervalMs, expectedIntervalMs;
        float volume, expectedVolume;
    };
    const Case cases[] = {
        {100.0f, 100.0f, 0, 0, 10, 10, 500, 500, 0.0f, 0.0f},                 // lower bounds kept
        {1000.0f, 1000.0f, 1000, 1000, 1000, 1000, 10000, 10000, 1.0f, 1.0f}, // upper bounds kept
        {99.0f, 440.0f, -1, 0, 9, 10, 499, 500, -0.001f, 0.0f},               // below: default or bound
        {1001.0f, 440.0f, 1001, 0, 1001, 1000, 10001, 10000, 1.001f, 1.0f},   // above
        {kNaN, 440.0f, 7, 7, 555, 555, 2500, 2500, kNaN, 0.0f},               // NaN: default, lowest
    };
    for (const Case& c : cases) {
        Settings settings;
        settings.frequency = c.frequency;
        settings.driverId = c.driverId;
        settings.dihMs = settings.dahMs = settings.pauseMs = c.lengthMs;
        settings.dictationIntervalMs = c.intervalMs;
        settings.volume = c.volume;
        settings.Validate();
        EXPECT_EQ(settings.frequency, c.expectedFrequency) << c.frequency;
        EXPECT_EQ(settings.driverId, c.expectedDriverId) << c.driverId;
        EXPECT_EQ(settings.dihMs, c.expectedLengthMs) << c.lengthMs;
        EXPECT_EQ(settings.dahMs, c.expectedLengthMs) << c.lengthMs;
        EXPECT_EQ(settings.pauseMs, c.expectedLengthMs) << c.lengthMs;
        EXPECT_EQ(settings.dictationIntervalMs, c.expectedIntervalMs) << c.intervalMs;
        EXPECT_EQ(settings.volume, c.expectedVolume) << c.volume;
    }
}

} // namespace
