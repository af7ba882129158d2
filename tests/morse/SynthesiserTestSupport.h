#pragma once

// Reference values for the synthesiser tests, derived here from first principles rather than
// taken from the code under test.

#include "audio/StereoFrame.h"
#include "morse/MorseCode.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace reference {

// 1/44100 rounded to the nearest float.
inline float SamplePeriod() {
    return static_cast<float>(1.0 / 44100.0);
}

// 2*pi/44100 rounded to the nearest float, then one unit in the last place up.
inline float PhaseStep() {
    const float nearest = static_cast<float>(2.0 * 3.14159265358979323846 / 44100.0);
    return std::nextafter(nearest, 1.0f);
}

inline float Ramp() {
    return 0.01f;
}

inline float Seconds(int32_t ms) {
    return static_cast<float>(ms) * 0.001f;
}

// Number of samples n = 0, 1, ... for which n * period lies below the duration.
inline int32_t SamplesIn(float duration) {
    int32_t n = 0;
    while (static_cast<double>(n) * static_cast<double>(SamplePeriod()) < static_cast<double>(duration)) {
        ++n;
    }
    return n;
}

// Sample n of a tone element of the given duration: the sine from phase 0, with its last
// 0.01 s faded linearly to zero, the fade computed on the time rounded to a float.
inline float Tone(int32_t n, float duration, float frequency) {
    const double sine = std::sin(static_cast<double>(n) * frequency * static_cast<double>(PhaseStep()));
    const auto t = static_cast<float>(static_cast<double>(n) * SamplePeriod());
    float amplitude = 1.0f;
    if (static_cast<double>(t) >= static_cast<double>(duration) - static_cast<double>(Ramp())) {
        amplitude = duration / Ramp() - t / Ramp();
    }
    return static_cast<float>(amplitude * sine);
}

struct Lengths {
    int32_t pauseMs = 100;
    int32_t dihMs = 100;
    int32_t dahMs = 300;
};

inline float ElementSeconds(int32_t element, Lengths lengths) {
    return Seconds(element == Gap ? lengths.pauseMs : element == Dih ? lengths.dihMs : lengths.dahMs);
}

// The whole mono output of a character, element by element: tone or silence for the length
// of the element and one silent sample after each element. The last sample is the one at
// which the synthesiser stops playing.
inline std::vector<float> Character(const MorseCode& code, Lengths lengths, float frequency) {
    std::vector<float> out;
    for (int32_t slot = 0; slot < 12 && code.codes[slot] != End; ++slot) {
        const int32_t element = code.codes[slot];
        const float duration = ElementSeconds(element, lengths);
        const int32_t count = SamplesIn(duration);
        for (int32_t n = 0; n < count; ++n) {
            out.push_back(element == Gap ? 0.0f : Tone(n, duration, frequency));
        }
        out.push_back(0.0f);
    }
    return out;
}

// The same followed by silence up to totalSamples.
inline std::vector<float> Character(const MorseCode& code, Lengths lengths, float frequency, size_t totalSamples) {
    std::vector<float> out = Character(code, lengths, frequency);
    out.resize(totalSamples, 0.0f);
    return out;
}

inline std::vector<float> Scaled(const std::vector<float>& samples, float gain) {
    std::vector<float> out;
    for (float s : samples) {
        out.push_back(gain * s);
    }
    return out;
}

} // namespace reference
