#pragma once

#include <cstdint>

// What one byte of a dictated text file becomes: the character index that is loaded into
// the synthesiser, and whether the slot sounds. Letters (either case) and ASCII digits sound;
// every other byte, 0x00-0xFF, is a silent slot that still loads index 0 ('A').
struct ByteSlot {
    int32_t index; // 0-25 'A'-'Z', 26-35 '0'-'9'
    bool sounds;

    friend bool operator==(const ByteSlot&, const ByteSlot&) = default;
};

class ByteClassifier {
public:
    // '0'-'9' give 26-35, 'A'-'Z' and 'a'-'z' give 0-25, anything else index 0, silent.
    static ByteSlot Classify(unsigned char byte);
};
