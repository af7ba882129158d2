#include "morse/MorseTable.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// International Morse code, written out as dots and dashes independently of the table.
const char* const kExpected[36] = {
    ".-",   "-...", "-.-.",  "-..",   ".",     "..-.",  "--.",   "....",  "..",    ".---",  "-.-",   ".-..",
    "--",   "-.",   "---",   ".--.",  "--.-",  ".-.",   "...",   "-",     "..-",   "...-",  ".--",   "-..-",
    "-.--", "--..", "-----", ".----", "..---", "...--", "....-", ".....", "-....", "--...", "---..", "----.",
};
const char kCharacters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

// Lays a dot-dash string out as element codes: one Gap between elements, End after them.
MorseCode FromDots(const std::string& dots) {
    MorseCode code{};
    size_t slot = 0;
    for (size_t i = 0; i < dots.size(); ++i) {
        if (i > 0) {
            code.codes[slot++] = 0;
        }
        code.codes[slot++] = dots[i] == '.' ? 1 : 2;
    }
    while (slot < 12) {
        code.codes[slot++] = 3;
    }
    return code;
}

MorseCode Filled(int32_t value) {
    MorseCode code{};
    for (int32_t& c : code.codes) {
        c = value;
    }
    return code;
}

std::string Text(const MorseTable& table, int32_t index) {
    char text[12];
    std::memset(text, '#', sizeof text);
    table.CodeToText(index, text);
    return std::string(text, sizeof text);
}

TEST(MorseTable, ElementCodesHaveTheirFixedValues) {
    EXPECT_EQ(Gap, 0);
    EXPECT_EQ(Dih, 1);
    EXPECT_EQ(Dah, 2);
    EXPECT_EQ(End, 3);
    EXPECT_EQ(sizeof(MorseCode), 48u);
}

TEST(MorseTable, EveryEntryIsInternationalMorse) {
    const MorseTable table;
    for (int32_t index = 0; index < 36; ++index) {
        const MorseCode expected = FromDots(kExpected[index]);
        MorseCode byIndex = Filled(7);
        table.CodeForIndex(index, byIndex);
        EXPECT_EQ(byIndex, expected) << "index " << index;
        MorseCode byChar = Filled(7);
        table.CodeForChar(kCharacters[index], byChar);
        EXPECT_EQ(byChar, expected) << "character " << kCharacters[index];
        EXPECT_EQ(table.IndexToChar(index), kCharacters[index]);
    }
}

TEST(MorseTable, EntriesAlternateElementsAndGapsThenFillWithEnd) {
    const MorseTable table;
    for (int32_t index = 0; index < 36; ++index) {
        MorseCode code = Filled(7);
        table.CodeForIndex(index, code);
        int32_t slot = 0;
        while (slot < 12 && code.codes[slot] != End) {
            const bool elementSlot = slot % 2 == 0;
            if (elementSlot) {
                EXPECT_TRUE(code.codes[slot] == Dih || code.codes[slot] == Dah) << index << "/" << slot;
            } else {
                EXPECT_EQ(code.codes[slot], Gap) << index << "/" << slot;
            }
            ++slot;
        }
        EXPECT_GE(slot, 1) << "entry starts with an element";
        EXPECT_EQ(slot % 2, 1) << "entry ends with an element, not a gap: " << index;
        EXPECT_LT(slot, 12) << "at least one End: " << index;
        for (; slot < 12; ++slot) {
            EXPECT_EQ(code.codes[slot], End) << index << "/" << slot;
        }
    }
}

TEST(MorseTable, CodeForCharLeavesOtherCharactersAlone) {
    const MorseTable table;
    const MorseCode marker = Filled(9);
    for (int value = -128; value < 128; ++value) {
        const char c = static_cast<char>(value);
        const bool known = (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (known) {
            continue;
        }
        MorseCode code = marker;
        table.CodeForChar(c, code);
        EXPECT_EQ(code, marker) << "character code " << value;
    }
    MorseCode z = marker;
    table.CodeForChar('Z', z);
    EXPECT_EQ(z, (MorseCode{{Dah, Gap, Dah, Gap, Dih, Gap, Dih, End, End, End, End, End}}));
}

TEST(MorseTable, IndexOfCharIsThePositionInTheAlphabetThenTheDigits) {
    const MorseTable table;
    const std::string order = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int value = -128; value < 128; ++value) {
        const char c = static_cast<char>(value);
        const size_t position = order.find(c);
        const int32_t expected = c != '\0' && position != std::string::npos ? static_cast<int32_t>(position) : -1;
        EXPECT_EQ(table.IndexOfChar(c), expected) << "character code " << value;
        if (expected >= 0) {
            EXPECT_EQ(table.IndexToChar(expected), c);
        }
    }
}

// The signs beyond the 36 characters, by name, written out as dots and dashes.
TEST(MorseTable, SignsAreFoundByNameAndAreInternationalMorse) {
    struct Row {
        int32_t index;
        const char* name;
        const char* dots;
    };
    const Row rows[] = {
        {0, "A", ".-"},        {35, "9", "----."},     {36, ".", ".-.-.-"},   {37, ",", "--..--"},
        {38, "?", "..--.."},   {39, "/", "-..-."},     {40, "=", "-...-"},    {41, "+", ".-.-."},
        {42, "<AR>", ".-.-."}, {43, "<SK>", "...-.-"}, {44, "<BT>", "-...-"}, {45, "<KN>", "-.--."},
    };
    const MorseTable table;
    for (const Row& row : rows) {
        EXPECT_EQ(table.IndexOfSign(row.name), row.index) << row.name;
        EXPECT_EQ(table.SignName(row.index), row.name);
        MorseCode code = Filled(9);
        EXPECT_TRUE(table.CodeForSign(row.index, code));
        EXPECT_EQ(code, FromDots(row.dots)) << row.name;
    }
    for (const char* unknown : {"", "a", "AR", "<ar>", "<AR", "!", "<SOS>", "AB"}) {
        EXPECT_EQ(table.IndexOfSign(unknown), MorseTable::kNoIndex) << unknown;
    }
    for (int32_t index : {-1, 46, 1000}) {
        MorseCode code = Filled(9);
        EXPECT_FALSE(table.CodeForSign(index, code));
        EXPECT_EQ(code, Filled(9));
        EXPECT_TRUE(table.SignName(index).empty());
    }
}

TEST(MorseTable, CodeForIndexBeyondTheTableGivesAAndNegativeChangesNothing) {
    const MorseTable table;
    const MorseCode a = FromDots(".-");
    for (int32_t index : {36, 37, 1000, INT32_MAX}) {
        MorseCode code = Filled(9);
        table.CodeForIndex(index, code);
        EXPECT_EQ(code, a) << index;
    }
    for (int32_t index : {-1, -36, INT32_MIN}) {
        MorseCode code = Filled(9);
        table.CodeForIndex(index, code);
        EXPECT_EQ(code, Filled(9)) << index;
    }
}

TEST(MorseTable, IndexToCharOutsideTheTableTakesTheLowByte) {
    const MorseTable table;
    EXPECT_EQ(table.IndexToChar(25), 'Z');
    EXPECT_EQ(table.IndexToChar(26), '0');
    EXPECT_EQ(table.IndexToChar(35), '9');
    EXPECT_EQ(table.IndexToChar(36), '$');
    EXPECT_EQ(table.IndexToChar(-1), static_cast<char>(0xFF));
    EXPECT_EQ(table.IndexToChar(0x141), 'A');
    EXPECT_EQ(table.IndexToChar(1000), static_cast<char>(1000 & 0xFF));
}

TEST(MorseTable, CodeToTextWritesAllTwelveSlots) {
    const MorseTable table;
    EXPECT_EQ(Text(table, 0), std::string(". _\0\0\0\0\0\0\0\0\0", 12));
    EXPECT_EQ(Text(table, 1), std::string("_ . . .\0\0\0\0\0", 12));
    EXPECT_EQ(Text(table, 4), std::string(".\0\0\0\0\0\0\0\0\0\0\0", 12));
    EXPECT_EQ(Text(table, 26), std::string("_ _ _ _ _\0\0\0", 12));
    EXPECT_EQ(Text(table, 35), std::string("_ _ _ _ .\0\0\0", 12));
    EXPECT_EQ(Text(table, 36), Text(table, 0));
    EXPECT_EQ(Text(table, 5000), Text(table, 0));
    EXPECT_EQ(Text(table, -1), std::string(12, '#'));
}

TEST(MorseTable, CodeToTextMatchesTheDotsOfEveryEntry) {
    const MorseTable table;
    for (int32_t index = 0; index < 36; ++index) {
        std::string expected;
        for (char dot : std::string(kExpected[index])) {
            if (!expected.empty()) {
                expected += ' ';
            }
            expected += dot == '.' ? '.' : '_';
        }
        expected.resize(12, '\0');
        EXPECT_EQ(Text(table, index), expected) << index;
    }
}

} // namespace
