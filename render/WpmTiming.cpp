#include "render/WpmTiming.h"

namespace {

// All weights are taken five times, so that they stay whole at any rate: a unit at 1 WPM
// lasts 1.2 s, 6/5 of the rate in frames.
constexpr int64_t kScale = 5;
constexpr int64_t kUnitSecondsScaled = 6;       // 1.2 s * 5
constexpr int64_t kMinuteScaled = 300;          // 60 s * 5
constexpr int64_t kCharacterSecondsParis = 186; // 31 units at 1 WPM: 37.2 s * 5
constexpr int64_t kGapUnitsPerWord = 19;

} // namespace

WpmTiming::WpmTiming(int32_t characterWpm, int32_t overallWpm, int32_t sampleRate)
    : characterWeight(kUnitSecondsScaled * sampleRate * kGapUnitsPerWord * overallWpm),
      gapWeight((kMinuteScaled * characterWpm - kCharacterSecondsParis * overallWpm) * sampleRate),
      divisor(kScale * kGapUnitsPerWord * characterWpm * overallWpm) {}

int64_t WpmTiming::FrameAt(int64_t characterUnits, int64_t gapUnits) const {
    const int64_t numerator = characterUnits * characterWeight + gapUnits * gapWeight;
    return (2 * numerator + divisor) / (2 * divisor);
}
