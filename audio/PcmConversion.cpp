#include "audio/PcmConversion.h"

#include <cmath>

namespace {
constexpr float kPcmScale = 32767.0f;
constexpr int32_t kPcmLimit = 32000;

// Scale, truncate toward zero, then clamp. The product is formed in double so that it
// is exact; values far beyond full scale (infinities included) end at the clamp, and NaN
// becomes silence (0), never an out-of-range float-to-integer conversion.
int32_t ToPcm(float sample) {
    const double scaled = static_cast<double>(sample) * static_cast<double>(kPcmScale);
    if (std::isnan(scaled)) {
        return 0;
    }
    if (scaled <= -kPcmLimit) {
        return -kPcmLimit;
    }
    if (scaled >= kPcmLimit) {
        return kPcmLimit;
    }
    return static_cast<int32_t>(scaled);
}
} // namespace

void ConvertToPcm16(const StereoFrame* frames, uint32_t* destination, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        const int32_t right = ToPcm(frames[i].right);
        const int32_t left = ToPcm(frames[i].left);
        destination[i] = (static_cast<uint32_t>(right) << 16) | (static_cast<uint32_t>(left) & 0xFFFFu);
    }
}
