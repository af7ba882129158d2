#include "band/QsbFader.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kShortestHalf = 0.25; // of the period
constexpr double kLongestHalf = 0.75;
} // namespace

void QsbFader::Reset() {
    framesLeft = 0;
    down = false;
    phasor.Restart();
}

double QsbFader::Next(BandRandom& random, double floor, double periodFrames) {
    if (framesLeft == 0) {
        const double half = std::max(1.0, std::round(periodFrames * random.Between(kShortestHalf, kLongestHalf)));
        framesLeft = static_cast<int64_t>(half);
        down = !down;
        phasor.Restart();
        phasor.SetStep(kPi / half);
    }
    // (1 + cos) / 2 goes from 1 to 0 over the half.
    const double fall = (1.0 + phasor.Cosine()) / 2.0;
    const double share = down ? fall : 1.0 - fall;
    phasor.Turn();
    --framesLeft;
    return floor + (1.0 - floor) * share;
}
