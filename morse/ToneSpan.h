#pragma once

#include <cstdint>

// One tone of a run that the synthesiser plays on exact frames (Synthesiser::PlayRun): it
// sounds from startFrame, counted from the start of the run, for lengthFrames frames.
struct ToneSpan {
    int64_t startFrame = 0;   // [frames]
    int64_t lengthFrames = 0; // [frames]

    friend bool operator==(const ToneSpan&, const ToneSpan&) = default;
};
