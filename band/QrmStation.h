#pragma once

#include "band/Phasor.h"
#include "band/QrmScript.h"

#include <cstddef>
#include <cstdint>

// Plays one QrmScript on the audio thread: a sine at the tone frequency plus the script's
// offset, keyed by its runs with a 5 ms linear rise and fall (no clicks), at the script's level;
// at the end of the runs it starts again. A station that would sit below 150 Hz moves to the
// other side of the tone. No allocation.
class QrmStation {
public:
    static constexpr double kLowestHz = 150.0; // [Hz]

    // Back to the start of the script, key up, silent.
    void Reset();
    // The station's sample for the next frame.
    double Next(const QrmScript& script, double toneHz, int32_t sampleRate);

private:
    void Tune(double hz, int32_t sampleRate);

    size_t run = 0;         // index in script.runs
    int32_t framesLeft = 0; // in that run
    bool started = false;
    double envelope = 0.0;
    double stationHz = -1.0; // [Hz] tuned
    Phasor phasor;
};
