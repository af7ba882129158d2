#pragma once
#include <cstdint>
// One copy run as the history keeps it beside its answers: when it began, its speeds and its
// score.
struct CopyRunRecord {
    int64_t atMs = 0;       // [ms] Unix time at which its first sign began to sound
    int32_t wpm = 0;        // character speed [words/min]
    int32_t farnsworth = 0; // effective speed [words/min]; 0 for none
    int32_t played = 0;     // signs played (spaces excluded)
    int32_t correct = 0;    // signs copied right
};
