#pragma once

#include <cstdint>

// The seven persisted settings, held by the main window. The member initialisers are the
// defaults that a first run (or a missing value) leaves in force.
struct Settings {
    float frequency = 440.0f;           // [Hz] tone frequency
    int32_t driverId = 0;               // output device index, counted from 0
    int32_t dihMs = 100;                // [ms] length of a dih
    int32_t dahMs = 300;                // [ms] length of a dah
    int32_t pauseMs = 100;              // [ms] silent gap between two elements of a character
    float volume = 0.3f;                // output amplitude factor, 0 to 1
    int32_t dictationIntervalMs = 3000; // [ms] period of the dictation timer
};
