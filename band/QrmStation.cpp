#include "band/QrmStation.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kRampS = 0.005; // [s] rise and fall of the keying
} // namespace

void QrmStation::Reset() {
    run = 0;
    framesLeft = 0;
    started = false;
    envelope = 0.0;
    stationHz = -1.0;
    phasor.Restart();
}

void QrmStation::Tune(double hz, int32_t sampleRate) {
    if (hz == stationHz) {
        return;
    }
    stationHz = hz;
    phasor.SetStep(2.0 * kPi * hz / sampleRate);
}

double QrmStation::Next(const QrmScript& script, double toneHz, int32_t sampleRate) {
    if (script.runs.empty()) {
        return 0.0;
    }
    for (size_t tries = 0; framesLeft == 0; ++tries) { // runs of 0 frames are passed over
        if (tries > script.runs.size()) {
            return 0.0; // nothing but empty runs
        }
        if (started) {
            run = run + 1 < script.runs.size() ? run + 1 : 0;
        }
        started = true;
        framesLeft = script.runs[run];
    }
    --framesLeft;
    const bool keyed = run % 2 == 1;
    const double ramp = 1.0 / (kRampS * sampleRate);
    envelope = keyed ? std::min(1.0, envelope + ramp) : std::max(0.0, envelope - ramp);
    if (envelope == 0.0) {
        return 0.0;
    }
    double hz = toneHz + script.offsetHz;
    if (hz < kLowestHz) {
        hz = toneHz - script.offsetHz;
    }
    Tune(hz, sampleRate);
    const double output = script.level * envelope * phasor.Sine();
    phasor.Turn();
    return output;
}
