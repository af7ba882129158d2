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
