#include "render/WpmTiming.h"

namespace {

constexpr int64_t kFramesPerWordMinute = 52920;    // 44100 [frames/s] * 1.2 [s]: one unit at 1 WPM
constexpr int64_t kFramesPerMinute = 2646000;      // 44100 * 60
constexpr int64_t kCharacterFramesParis = 1640520; // 31 units at 1 WPM: 44100 * 37.2
constexpr int64_t kGapUnitsPerWord = 19;

} // namespace

WpmTiming::WpmTiming(int32_t characterWpm, int32_t overallWpm)
    : characterWeight(kFramesPerWordMinute * kGapUnitsPerWord * overallWpm),
      gapWeight(kFramesPerMinute * characterWpm - kCharacterFramesParis * overallWpm),
      divisor(kGapUnitsPerWord * characterWpm * overallWpm) {}

int64_t WpmTiming::FrameAt(int64_t characterUnits, int64_t gapUnits) const {
    const int64_t numerator = characterUnits * characterWeight + gapUnits * gapWeight;
    return (2 * numerator + divisor) / (2 * divisor);
}
