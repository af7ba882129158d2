#pragma once

#include <cstdint>

class MorseTable;
class Synthesiser;

// The keyboard practice: every letter key ('A'-'Z', 65-90) and main-block digit key ('0'-'9',
// 48-57) pressed is loaded into the synthesiser and played at once, cutting off whatever still
// sounds. It has no state of its own and no start or stop: the main window hands it the keys
// whenever no random dictation runs.
class KeyboardPractice {
public:
    KeyboardPractice(const MorseTable& table, Synthesiser& synthesiser);

    // A key-down with its virtual-key code. A letter or digit key loads its character and plays
    // it, and the character's index (0-35) is returned; any other key plays nothing and gives
    // MorseTable::kNoIndex.
    int32_t Key(uint32_t virtualKey);

    // "Dernière lettre": plays the character loaded last, whichever practice loaded it.
    void ReplayLast();

private:
    const MorseTable& table;
    Synthesiser& synthesiser;
};
