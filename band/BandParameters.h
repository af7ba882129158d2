#pragma once

#include "settings/Settings.h"

#include <cstdint>

// What the band conditions lay over the wanted tone, in the stage's own units. Each effect is
// off at its zero; the band noise has a switch of its own, since 0 dB is a signal-to-noise ratio.
struct BandParameters {
    static constexpr int32_t kMaxStations = 3;

    bool noise = false;        // band noise through the receiver filter
    float snrDb = 10.0f;       // [dB] power of the steady tone over the noise in the 500 Hz band
    float qsbDepth = 0.0f;     // 0 to 1: the wanted signal fades down to (1 - qsbDepth) of its level
    float qsbPeriodS = 8.0f;   // [s] typical period of a fade, down and up again
    int32_t qrmStations = 0;   // 0 to kMaxStations other stations nearby
    float qrnPerMinute = 0.0f; // [crashes/min] mean rate of the static crashes

    friend bool operator==(const BandParameters&, const BandParameters&) = default;

    // The trainer's settings as parameters: the noise is always on when the band is.
    static BandParameters Of(const Settings::Band& band) {
        BandParameters parameters;
        parameters.noise = true;
        parameters.snrDb = static_cast<float>(band.snrDb);
        parameters.qsbDepth = static_cast<float>(band.qsbPercent) * 0.01f;
        parameters.qsbPeriodS = static_cast<float>(band.qsbPeriodS);
        parameters.qrmStations = band.qrmStations;
        parameters.qrnPerMinute = static_cast<float>(band.qrnPerMinute);
        return parameters;
    }
};
