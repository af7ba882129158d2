#pragma once

#include <cstdint>

// The persisted settings, held by the main window: the one place for their defaults and
// their ranges. The first seven are the trainer's configuration; the others choose the tone's
// onset and how the random dictation draws its characters. The member initialisers are the
// defaults that a first run (or a missing
// value) leaves in force, that the configuration dialog's "Reset" restores and that the
// synthesiser starts with.
struct Settings {
    float frequency = 440.0f;           // [Hz] tone frequency
    int32_t driverId = 0;               // output device index, counted from 0
    int32_t dihMs = 100;                // [ms] length of a dih
    int32_t dahMs = 300;                // [ms] length of a dah
    int32_t pauseMs = 100;              // [ms] silent gap between two elements of a character
    float volume = 0.3f;                // output amplitude factor, 0 to 1
    int32_t dictationIntervalMs = 3000; // [ms] period of the dictation timer
    int32_t softOnset = kSoftOnsetOff;  // tones start at once, or rise over 5 ms (kSoftOnsetOn)
    int32_t kochLesson = 0;             // Koch lesson of the random dictation: 0 none, 2 to 36
    int32_t adaptive = 0;               // adaptive drill of the random dictation: 0 off, 1 on
    int32_t keyerMode = 0;              // the sending window's key: 0 straight, 1 iambic A, 2 iambic B
    int32_t keyerWpm = 20;              // [WPM] the iambic keyer's speed
    int32_t keyerSwap = 0;              // the paddles swapped: 0 no, 1 yes

    // The two values of softOnset.
    static constexpr int32_t kSoftOnsetOff = 0;
    static constexpr int32_t kSoftOnsetOn = 1;

    // The ranges, bounds included.
    static constexpr float kFrequencyLowest = 100.0f;   // [Hz]
    static constexpr float kFrequencyHighest = 1000.0f; // [Hz]
    static constexpr int32_t kDriverIdLowest = 0;
    static constexpr int32_t kDriverIdHighest = 1000;
    static constexpr int32_t kLengthLowestMs = 10;       // [ms] dih, dah and pause
    static constexpr int32_t kLengthHighestMs = 1000;    // [ms]
    static constexpr int32_t kIntervalLowestMs = 500;    // [ms] dictation interval
    static constexpr int32_t kIntervalHighestMs = 10000; // [ms]
    static constexpr float kVolumeLowest = 0.0f;
    static constexpr float kVolumeHighest = 1.0f;
    static constexpr int32_t kKochLessonLowest = 2; // besides 0, none
    static constexpr int32_t kKochLessonHighest = 36;
    static constexpr int32_t kKeyerModeHighest = 2; // 0 is the lowest
    static constexpr int32_t kKeyerWpmLowest = 5;   // [WPM]
    static constexpr int32_t kKeyerWpmHighest = 50; // [WPM]

    // The volume slider of the main window, positions 0 to 100, and the volume: a position
    // gives position x 0.01 in single precision; a volume shows at the nearest position, so
    // that every position comes back from the stored thousandths as it was (0.51 shows 51,
    // though 51 x 0.01 lies just under 0.51).
    static float VolumeOfSliderPosition(int32_t position);
    static int32_t SliderPositionOfVolume(float volume);
    // The volume as it is stored: the nearest thousandth (0.3 is 300, the slider's 0.51 is 510).
    static int32_t StoredVolume(float volume);

    // Brings every value into its range: a frequency outside it (or NaN) and a driver id
    // outside it fall back to their defaults; the lengths, the interval and the volume are
    // clamped to the nearer bound (a NaN volume becomes the lowest); a soft onset other than
    // on or off is off; a Koch lesson other than 0 or 2 to 36 and an adaptive value other than
    // 0 or 1 become 0; a keyer mode, keyer speed or swap outside its range takes its default.
    void Validate();
};
