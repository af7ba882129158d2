#pragma once

#include "morse/MorseTable.h"

#include <cstdint>

// The character index of a virtual-key code: the letter keys (65-90) and the main-block digit
// keys (48-57) carry the code of their character, so the table maps them; every other key
// (keypad digits 96-105, Space, Enter, F1...) gives MorseTable::kNoIndex. The code is taken
// as an unsigned number.
inline int32_t VirtualKeyIndex(const MorseTable& table, uint32_t virtualKey) {
    const bool letter = virtualKey >= 'A' && virtualKey <= 'Z';
    const bool digit = virtualKey >= '0' && virtualKey <= '9';
    if (!letter && !digit) {
        return MorseTable::kNoIndex;
    }
    return table.IndexOfChar(static_cast<char>(virtualKey));
}

// The key codes of the punctuation that the Koch lessons add, beyond the platform's virtual
// keys (which name keys, not the characters they type on a layout): kFirstSignKey plus the
// sign's MorseTable index, for the key that typed '.', ',', '?', '/' or '='.
constexpr uint32_t kFirstSignKey = 0x100;

// The sign index (36-40) of such a code; MorseTable::kNoIndex for any other.
inline int32_t VirtualKeySignIndex(uint32_t virtualKey) {
    const uint32_t first = kFirstSignKey + MorseTable::kCharacterCount;
    if (virtualKey < first || virtualKey > first + 4) {
        return MorseTable::kNoIndex;
    }
    return static_cast<int32_t>(virtualKey - kFirstSignKey);
}
