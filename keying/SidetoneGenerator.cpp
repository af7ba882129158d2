#include "keying/SidetoneGenerator.h"

#include <cmath>
#include <numbers>

void SidetoneGenerator::Render(StereoFrame* frames, int32_t count, bool keyDown, float frequency, float volume) {
    const double step = 2.0 * std::numbers::pi * static_cast<double>(frequency) / kSampleRate;
    for (int32_t i = 0; i < count; ++i) {
        if (keyDown && rampPosition < kRampFrames) {
            if (rampPosition == 0) {
                phase = 0;
            }
            ++rampPosition;
        } else if (!keyDown && rampPosition > 0) {
            --rampPosition;
        }
        float sample = 0.0f;
        if (rampPosition > 0) {
            const double envelope = 0.5 - 0.5 * std::cos(std::numbers::pi * rampPosition / kRampFrames);
            sample = static_cast<float>(volume * envelope * std::sin(phase));
            phase += step;
            if (phase >= 2.0 * std::numbers::pi) {
                phase -= 2.0 * std::numbers::pi;
            }
        }
        frames[i] = {sample, sample};
    }
}
