#pragma once
#include <cstdint>
#include <string>
// One scored answer of a dictation, as the history keeps it.
struct AnswerRecord {
    int64_t atMs = 0;        // [ms] Unix time at which the character began to play
    std::string mode;        // "random"
    char played = 0;         // the character played: 'A'-'Z' or '0'-'9'
    char typed = 0;          // the last letter or digit typed for it, upper-cased; 0 when none
    int64_t responseMs = -1; // [ms] from the character's start to that key; -1 when none (NULL)
};
