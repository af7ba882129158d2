// The keyboard practice without a window: which keys play, and the replay of the last letter.
#include "practice/KeyboardPractice.h"
#include "tests/practice/PracticeTestSupport.h"

namespace {

using KeyboardPracticeTest = PracticeTest;

TEST_F(KeyboardPracticeTest, LetterAndMainBlockDigitKeysPlayEveryOtherKeyNothing) {
    KeyboardPractice keyboard(table, synthesiser);
    struct Case {
        uint32_t virtualKey;
        int32_t index; // -1: plays nothing
    };
    // Letters 65-90, main-block digits 48-57; Enter 13, Tab 9, Space 32, Shift 16, keypad
    // 96-105, F1 112 and the codes just outside both ranges are no characters.
    const Case cases[] = {{'A', 0},  {'Q', 16}, {'Z', 25}, {'0', 26}, {'1', 27},   {'9', 35},  {13, -1},
                          {9, -1},   {32, -1},  {16, -1},  {96, -1},  {105, -1},   {112, -1},  {'a', -1},
                          {'@', -1}, {'[', -1}, {'/', -1}, {':', -1}, {0x141, -1}, {0x130, -1}};
    for (const Case& c : cases) {
        Reset();
        EXPECT_EQ(keyboard.Key(c.virtualKey), c.index) << c.virtualKey;
        EXPECT_EQ(Loaded(), c.index >= 0 ? kMorse[c.index] : "") << c.virtualKey;
        EXPECT_EQ(Sounding(), c.index >= 0) << c.virtualKey;
    }
}

TEST_F(KeyboardPracticeTest, LastLetterReplaysWhatWasLoadedLast) {
    KeyboardPractice keyboard(table, synthesiser);
    table.CodeForChar('1', synthesiser.currentCode);
    keyboard.ReplayLast();
    EXPECT_TRUE(Sounding());
    EXPECT_EQ(Loaded(), ".----");
    keyboard.Key('K');
    Sounding();
    keyboard.Key(32); // no character: K stays loaded
    keyboard.ReplayLast();
    EXPECT_TRUE(Sounding());
    EXPECT_EQ(Loaded(), "-.-");
}

} // namespace
