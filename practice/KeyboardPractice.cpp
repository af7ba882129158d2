#include "practice/KeyboardPractice.h"

#include "morse/MorseTable.h"
#include "morse/Synthesiser.h"
#include "practice/VirtualKeyIndex.h"

KeyboardPractice::KeyboardPractice(const MorseTable& table, Synthesiser& synthesiser)
    : table(table), synthesiser(synthesiser) {}

int32_t KeyboardPractice::Key(uint32_t virtualKey) {
    const int32_t index = VirtualKeyIndex(table, virtualKey);
    if (index == MorseTable::kNoIndex) {
        return index;
    }
    table.CodeForIndex(index, synthesiser.currentCode);
    synthesiser.PlayCode();
    return index;
}

void KeyboardPractice::ReplayLast() {
    synthesiser.PlayCode();
}
