#pragma once

#include "band/BandRandom.h"

#include <cstdint>

// QRN: static crashes at random moments, a Poisson process of a given mean rate. Each crash is
// a burst of 5 to 100 ms (uniform) at a level of 0.5 to 2 times the tone's amplitude: it rises
// over 1 ms and dies away exponentially to 5 % by its end. Next gives the crash's envelope,
// which the band stage lays on white noise before the receiver filter. A rate that changes
// while the crashes run takes effect at once (the wait is drawn as a unit of hazard, not as a
// time). Audio thread: no allocation.
class QrnCrashes {
public:
    static constexpr double kShortestS = 0.005; // [s]
    static constexpr double kLongestS = 0.100;  // [s]

    void Reset();
    // The envelope of the next sample (0 between crashes); perFrame is the mean number of
    // crashes per frame.
    double Next(BandRandom& random, double perFrame, int32_t sampleRate);

private:
    void Start(BandRandom& random, int32_t sampleRate);

    double hazard = 0.0;     // mean crashes accumulated since the last one
    double threshold = -1.0; // the hazard at which the next one comes; below 0: not drawn yet
    int32_t framesLeft = 0;  // of the crash that sounds
    int32_t attackLeft = 0;  // [frames] of its rise
    double attackStep = 0.0;
    double decay = 1.0; // per frame
    double envelope = 0.0;
};
