#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// One other station as the band stage plays it: where it sits from the tone, how loud, how fast,
// and its keying written out in frames. Built on the UI thread (it allocates), then walked by a
// QrmStation on the audio thread, over and over.
struct QrmScript {
    static constexpr double kNearestHz = 100.0;  // [Hz] from the tone
    static constexpr double kFarthestHz = 800.0; // [Hz]
    static constexpr double kLowestLevel = 0.2;  // of the wanted tone's amplitude
    static constexpr double kHighestLevel = 0.8;
    static constexpr int32_t kSlowestWpm = 16; // [words/min]
    static constexpr int32_t kFastestWpm = 32;
    static constexpr int32_t kMessages = 32;       // texts in a script, before it starts again
    static constexpr double kShortestPauseS = 0.5; // [s] between two texts
    static constexpr double kLongestPauseS = 4.0;

    double offsetHz = 0.0; // [Hz] from the tone: above it when positive, below when negative
    double level = 0.0;    // amplitude, the wanted tone's being 1
    int32_t wpm = 0;       // [words/min]
    // [frames] key up and key down in turn, starting with key up (even indices up, odd down).
    std::vector<int32_t> runs;

    // Station number `station` (0, 1, 2) of the band drawn from seed: its place, level, speed,
    // and kMessages texts from QrmTexts, each after a pause.
    static QrmScript Build(uint64_t seed, int32_t station, int32_t sampleRate);

    // Appends the keying of text (capital letters, digits and spaces) at wpm words per minute:
    // a dih and the pause inside a character are one unit of 1.2 / wpm s, a dah 3 units,
    // characters 3 units apart and words 7. Each boundary is rounded to the nearest frame from the
    // start of the text, so that rounding errors never add up. Key-up runs next to each other are
    // joined; the text ends on its last key-down.
    static void AppendKeying(std::string_view text, int32_t wpm, int32_t sampleRate, std::vector<int32_t>& runs);
    // Appends frames of key up (down: false) or key down (true), joined with a last run of the
    // same kind.
    static void AppendRun(bool down, int32_t frames, std::vector<int32_t>& runs);
};
