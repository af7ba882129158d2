#pragma once

#include "band/Phasor.h"

#include <cstdint>

// The band noise as a CW receiver's 500 Hz filter leaves it. Two white noises, in phase and in
// quadrature, pass through the same 4th-order Butterworth low-pass with its -3 dB corner at
// 250 Hz, and the pair is turned up to the tone frequency (I cos wt - Q sin wt). The noise is
// then centred on the tone: -3 dB at 250 Hz either side of it and, as 1 / (1 + (f / 250)^8)
// says, about -38 dB at 750 Hz; whatever would lie below 0 Hz folds back, as in a receiver
// tuned that close.
//
// Design runs on the UI thread (it integrates the response); Reset, SetToneHz and Next are for
// the audio thread: no allocation, no lock.
class ReceiverFilter {
public:
    static constexpr double kCornerHz = 250.0; // [Hz] -3 dB point on either side of the tone

    // One second-order section, transposed direct form II.
    struct Section {
        double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
    };
    struct Design {
        int32_t sampleRate = 0; // [frames/s]
        Section sections[2];
        // Sum of the squares of the low-pass's impulse response: its output power for white
        // input of power 1.
        double impulseEnergy = 0.0;
        // Share of that power within +-kCornerHz.
        double bandShare = 0.0;
    };

    static Design DesignFor(int32_t sampleRate);

    // Takes the coefficients and clears the filters; the tone frequency is set again on the next
    // SetToneHz.
    void Reset(const Design& design);
    void SetToneHz(double hz);
    // The next output sample for one white sample in phase and one in quadrature.
    double Next(double inPhase, double quadrature);

private:
    struct State {
        double z1 = 0.0, z2 = 0.0;
    };
    static double Step(const Section& section, State& state, double input);

    Section sections[2];
    State inPhaseStates[2];
    State quadratureStates[2];
    int32_t sampleRate = 44100;
    double toneHz = -1.0;
    Phasor phasor; // at the tone frequency
};
