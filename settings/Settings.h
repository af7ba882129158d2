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
    int32_t kochLesson = 0;             // Koch lesson of the random dictation: 0 none, 2 to 41
    int32_t adaptive = 0;               // adaptive drill of the random dictation: 0 off, 1 on
    // The copy practice ("Copie").
    int32_t copyMaterial = 0;   // 0 groups of five, 1 French words, 2 English words, 3 callsigns, 4 QSO
    int32_t copyWpm = 20;       // [words/min] character speed, 5 to 60
    int32_t copyFarnsworth = 0; // [words/min] effective speed: 0 none, else 3 to copyWpm
    int32_t copyCount = 5;      // items in a run, 1 to 50
    int32_t copyAutoSpeed = 0;  // "Vitesse auto": 0 off, 1 on

    // Band conditions laid over the tone: noise through a receiver filter, fading, other
    // stations and static crashes.
    struct Band {
        int32_t on = 0;           // "Band": 0 off, 1 on
        int32_t snrDb = 10;       // "BandSnr" [dB] tone over the noise in 500 Hz
        int32_t qsbPercent = 0;   // "BandQsb": depth of the fading, 0 none
        int32_t qsbPeriodS = 8;   // "BandQsbPeriod" [s] typical period of a fade
        int32_t qrmStations = 0;  // "BandQrm": other stations nearby
        int32_t qrnPerMinute = 0; // "BandQrn" [crashes/min] mean rate of the static crashes

        friend bool operator==(const Band&, const Band&) = default;
    };
    Band band;

    // The sending practice ("Manipulation").
    int32_t keyerMode = 0; // the sending window's key: 0 straight, 1 iambic A, 2 iambic B
    int32_t keyerWpm = 20; // [WPM] the iambic keyer's speed
    int32_t keyerSwap = 0; // the paddles swapped: 0 no, 1 yes

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
    static constexpr int32_t kKochLessonHighest = 41;
    static constexpr int32_t kCopyMaterialHighest = 4; // lowest 0
    static constexpr int32_t kCopyWpmLowest = 5;
    static constexpr int32_t kCopyWpmHighest = 60;
    static constexpr int32_t kCopyFarnsworthLowest = 3; // besides 0, none; highest copyWpm
    static constexpr int32_t kCopyCountLowest = 1;
    static constexpr int32_t kCopyCountHighest = 50;
    static constexpr int32_t kBandSnrLowestDb = -10;
    static constexpr int32_t kBandSnrHighestDb = 30;
    static constexpr int32_t kBandQsbHighestPercent = 100; // lowest 0
    static constexpr int32_t kBandQsbPeriodLowestS = 2;
    static constexpr int32_t kBandQsbPeriodHighestS = 30;
    static constexpr int32_t kBandQrmHighest = 3;           // lowest 0
    static constexpr int32_t kBandQrnHighestPerMinute = 60; // lowest 0
    static constexpr int32_t kKeyerModeHighest = 2;         // 0 is the lowest
    static constexpr int32_t kKeyerWpmLowest = 5;           // [WPM]
    static constexpr int32_t kKeyerWpmHighest = 50;         // [WPM]

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
    // on or off is off; a Koch lesson other than 0 or 2 to 41 and an adaptive value other than
    // 0 or 1 become 0; a copy value out of its range (a Farnsworth speed above the copy speed
    // included) reads as its default.
    // on or off is off; a Koch lesson other than 0 or 2 to 36 and an adaptive value other than
    // 0 or 1 become 0; each band value out of its range (Band other than 0 or 1) is its default,
    // and so is a keyer mode, keyer speed or swap outside its range.
    void Validate();
};
