#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Turns UTF-8 text into what the Morse renderer plays, one byte per character slot:
//   'A'-'Z', '0'-'9'  a letter (of either case, accents and other marks dropped: é -> E,
//                     ç -> C, ł -> L; the ligatures æ, œ, ĳ and ß become AE, OE, IJ and SS)
//                     or a digit;
//   . , ? / = +       the punctuation of the Morse table, as itself;
//   kProsignSlots     a prosign written <AR>, <SK>, <BT> or <KN> (either case): one byte each,
//                     '\x01' to '\x04' in that order;
//   kSpace            a white-space character (ASCII, no-break and the typographic spaces);
//   kOther            any other character, and each byte that is not part of valid UTF-8.
// Combining marks (U+0300-U+036F) and the byte-order mark are dropped, so that a decomposed
// "e" + U+0301 plays as E alone.
class TextFolder {
public:
    static constexpr char kSpace = ' ';
    static constexpr char kOther = '\x1A'; // the ASCII substitute character
    static constexpr char kFirstProsignSlot = '\x01';

    static std::string Fold(std::string_view utf8);

    // The MorseTable sign index (0 to MorseTable::kSignCount - 1) of a slot, or
    // MorseTable::kNoIndex for kSpace, kOther and any other byte.
    static int32_t SignOfSlot(char slot);
    // The slot of a sign index; kOther for an index that is no sign.
    static char SlotOfSign(int32_t sign);

    // Decodes the code point at text[at], in strict UTF-8; returns the number of bytes it
    // takes, or 0 for a byte that does not start a valid sequence.
    static size_t Decode(std::string_view text, size_t at, char32_t& codePoint);

private:
    // Appends the slots of one code point; a dropped mark appends nothing.
    static void Append(char32_t codePoint, std::string& out);
    static bool IsSpace(char32_t codePoint);
    static bool IsDropped(char32_t codePoint);
    // The base letters of a Latin letter with a mark (U+00C0-U+017F), or nullptr.
    static const char* LatinBase(char32_t codePoint);
};
