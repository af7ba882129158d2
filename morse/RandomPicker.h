#pragma once

#include <cstdint>
#include <ctime>

// Draws the characters of the random dictation. Before every single pick the runtime
// library's generator (std::srand/std::rand) is seeded anew with the calendar time in
// whole seconds, and its next value is reduced modulo 36. Two picks within the same second
// therefore give the same character; that is the dictation's documented behaviour.
// The generator is used on the UI thread only: the synthesiser's noise has a generator of
// its own, so nothing on the audio thread disturbs the value drawn right after the seed.
class RandomPicker {
public:
    static constexpr int32_t kCharacterCount = 36;

    // Seeds with time(nullptr) and returns a character index, 0-25 'A'-'Z', 26-35 '0'-'9'.
    static int32_t PickIndex();

    // The same pick for a given calendar time [s], so that tests can fix the second.
    static int32_t PickIndexAt(std::time_t now);
};
