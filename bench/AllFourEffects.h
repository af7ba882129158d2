#pragma once

#include "band/BandParameters.h"

// The band conditions the figures are taken under: every effect on, at a hard evening's
// levels (0 dB, QSB 70 % over 5 s, 3 stations, 30 crashes a minute).
inline BandParameters AllFourEffects() {
    BandParameters parameters;
    parameters.noise = true;
    parameters.snrDb = 0.0f;
    parameters.qsbDepth = 0.7f;
    parameters.qsbPeriodS = 5.0f;
    parameters.qrmStations = 3;
    parameters.qrnPerMinute = 30.0f;
    return parameters;
}
