#include "band/QrnCrashes.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kAttackS = 0.001;   // [s] rise of a crash
constexpr double kEndLevel = 0.05;   // of its peak, where it stops
constexpr double kLowestLevel = 0.5; // of the tone's amplitude
constexpr double kHighestLevel = 2.0;
} // namespace

void QrnCrashes::Reset() {
    hazard = 0.0;
    threshold = -1.0;
    framesLeft = 0;
    attackLeft = 0;
    envelope = 0.0;
}

double QrnCrashes::Next(BandRandom& random, double perFrame, int32_t sampleRate) {
    if (perFrame > 0.0) {
        if (threshold < 0.0) {
            threshold = random.Exponential();
        }
        hazard += perFrame;
        if (hazard >= threshold) {
            Start(random, sampleRate);
            hazard = 0.0;
            threshold = random.Exponential();
        }
    }
    if (framesLeft == 0) {
        return 0.0;
    }
    --framesLeft;
    if (attackLeft > 0) {
        --attackLeft;
        envelope += attackStep;
    } else {
        envelope *= decay;
    }
    return envelope;
}

// A crash that comes while another sounds takes its place.
void QrnCrashes::Start(BandRandom& random, int32_t sampleRate) {
    const double level = random.Between(kLowestLevel, kHighestLevel);
    const int32_t frames =
        std::max(2, static_cast<int32_t>(std::lround(random.Between(kShortestS, kLongestS) * sampleRate)));
    attackLeft = std::clamp(static_cast<int32_t>(std::lround(kAttackS * sampleRate)), 1, frames / 2);
    attackStep = (level - envelope) / attackLeft;
    decay = std::pow(kEndLevel, 1.0 / (frames - attackLeft));
    framesLeft = frames;
}
