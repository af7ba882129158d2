#pragma once

#include "band/BandRandom.h"
#include "band/Phasor.h"

#include <cstdint>

// QSB: the slow fading of the wanted signal. Its level glides along a half cosine from full
// down to the floor and along another back up, again and again; each half lasts a random
// quarter to three quarters of the period (drawn when it starts), so that a whole fade lasts
// the period on average, never repeats exactly, and the level has no corner anywhere.
// Audio thread: no allocation.
class QsbFader {
public:
    // Full level, at the top of a fade.
    void Reset();
    // The gain of the next sample, from floor (0 to 1) to 1; periodFrames is the typical length
    // of a whole fade [frames].
    double Next(BandRandom& random, double floor, double periodFrames);

private:
    int64_t framesLeft = 0; // in the half being played
    bool down = false;      // the half being played goes down
    Phasor phasor;          // from angle 0 to pi over the half
};
