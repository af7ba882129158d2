#pragma once

#include <cstdint>

// The element codes of a Morse character, as the synthesiser plays them.
enum ElementCode : int32_t {
    Gap = 0, // silence between two elements of one character, lasting the pause length
    Dih = 1, // short tone, lasting the dih length
    Dah = 2, // long tone, lasting the dah length
    End = 3, // end of the sequence; never played
};

// One character's element sequence: its elements in order with one Gap between two
// consecutive elements, then End in every remaining slot (a character of n elements fills
// 2n - 1 slots). Every table entry ends with at least one End. Copied by value.
struct MorseCode {
    static constexpr int32_t kLength = 12; // [codes]

    int32_t codes[kLength];

    friend bool operator==(const MorseCode&, const MorseCode&) = default;
};
