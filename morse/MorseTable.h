#pragma once

#include "morse/MorseCode.h"

#include <cstdint>
#include <string_view>

// The 36 characters of the trainer in International Morse code: indices 0 to 25 are 'A' to
// 'Z', 26 to 35 are '0' to '9'. Beyond them, the signs of real traffic (the *Sign methods):
// 36 to 41 are the punctuation ". , ? / = +" and 42 to 45 the prosigns <AR> <SK> <BT> <KN>,
// each a single character with no letter gap inside (<AR> sounds as "+" and <BT> as "=").
// The 36-character methods never give a sign beyond 35. Stateless; every method may be called
// from any thread.
class MorseTable {
public:
    static constexpr int32_t kCharacterCount = 36;
    static constexpr int32_t kSignCount = 46;        // characters, punctuation and prosigns
    static constexpr int32_t kFirstProsign = 42;     // index of <AR>
    static constexpr int32_t kMaxSignNameLength = 4; // [chars] "<AR>"
    static constexpr int32_t kTextLength = 12;       // [chars] written by CodeToText

    // 'A'-'Z' and '0'-'9' copy that character's entry into destination; any other character,
    // lower-case letters included, leaves destination unchanged.
    void CodeForChar(char character, MorseCode& destination) const;

    // 0-25 copy a letter, 26-35 a digit, 36 or more the entry of 'A'; a negative index leaves
    // destination unchanged.
    void CodeForIndex(int32_t index, MorseCode& destination) const;

    // The index of a character: 'A'-'Z' give 0-25, '0'-'9' give 26-35; any other character,
    // lower-case letters included, gives kNoIndex. The one place where characters become
    // indices.
    static constexpr int32_t kNoIndex = -1;
    int32_t IndexOfChar(char character) const;

    // 'A' + index for 0-25, '0' + (index - 26) for 26-35, otherwise the low 8 bits of index.
    char IndexToChar(int32_t index) const;

    // Writes the entry chosen as CodeForIndex does as 12 characters: Gap ' ', Dih '.',
    // Dah '_', End NUL. A negative index leaves destination unchanged. destination must hold
    // kTextLength characters.
    void CodeToText(int32_t index, char* destination) const;

    // The index of a sign by its name: "A"-"Z" and "0"-"9" as IndexOfChar gives them (upper
    // case only), ".", ",", "?", "/", "=", "+", and "<AR>", "<SK>", "<BT>", "<KN>" for the
    // prosigns; kNoIndex for anything else.
    int32_t IndexOfSign(std::string_view name) const;
    // The name of a sign index 0 to kSignCount - 1 ("A", ".", "<AR>"); empty for any other.
    std::string_view SignName(int32_t index) const;
    // Copies the entry of a sign index 0 to kSignCount - 1 into destination and returns true;
    // any other index leaves destination unchanged and returns false.
    bool CodeForSign(int32_t index, MorseCode& destination) const;
};
