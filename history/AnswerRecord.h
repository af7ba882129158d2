#pragma once
#include <cstdint>
#include <string>
// One scored answer of a dictation, as the history keeps it.
struct AnswerRecord {
    int64_t atMs = 0;        // [ms] Unix time at which the character began to play
    std::string mode;        // "random", or "copy"
    char played = 0;         // the character played: 'A'-'Z', '0'-'9' or punctuation
    char typed = 0;          // the last letter or digit typed for it, upper-cased; 0 when none
    int64_t responseMs = -1; // [ms] from the character's start to that key; -1 when none (NULL)
    // A sign whose name is longer than one character (a prosign of the copy practice, "<AR>"):
    // stored as played instead of `played` when not empty; the same for typed.
    std::string playedName = {};
    std::string typedName = {};

    // Stores a MorseTable sign index as played (or typed): its one character, its name when
    // longer ("<AR>"), or '*' for an index that is no sign (a code read that has no meaning).
    void SetPlayedSign(int32_t sign);
    void SetTypedSign(int32_t sign);
};
