// UTF-8 decoding and folding of text into the slots the renderer plays.

#include "render/TextFolder.h"
#include "morse/MorseTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

struct Case {
    const char* name;
    std::string utf8;
    std::string folded;
};

TEST(TextFolder, FoldsEachCharacterToItsSlots) {
    const Case cases[] = {
        {"ASCII letters of both cases and digits", "Abc xyZ 09", "ABC XYZ 09"},
        {"the punctuation of the table is itself, other punctuation another character", "a,b.c?!/=+-", "A,B.C?#/=+#"},
        {"prosigns in angle brackets, either case, are one slot each", "<AR> <sk> <Bt> <KN>", "\x01 \x02 \x03 \x04"},
        {"angle brackets around anything else are other characters", "<AA><AR<KN", "#AA##AR#KN"},
        {"a prosign cut off at the end", "<SK", "#SK"},
        {"white space of every kind is a space", "a\tb\nc\r\nd\fe\vf", "A B C  D E F"},
        {"French accents",
         "\xC3\xA9\xC3\xA8\xC3\xAA\xC3\xAB\xC3\xA0\xC3\xA2\xC3\xA7\xC3\xB4\xC3\xB9\xC3\xBB\xC3\xAE\xC3\xAF",
         "EEEEAACOUUII"},
        {"capital accents", "\xC3\x89\xC3\x80\xC3\x87\xC3\x94\xC3\x9C\xC3\x91\xC3\x98\xC3\x85", "EACOUNOA"},
        {"ligatures and sharp s", "c\xC5\x93ur \xC3\x86 \xC3\x9F \xC4\xB3", "COEUR AE SS IJ"},
        {"Latin Extended-A",
         "\xC5\x81\xC3\xB3\xC5\xBA \xC5\xBE\xC4\x8D\xC5\x99 \xC4\x9F\xC5\x9F\xC4\xB1 \xC5\xB8\xC5\xBF",
         "LOZ ZCR GSI YS"},
        {"first and last of each run of Latin-1 letters", "ÀÅÆÇÈËÌÏÐÑÒÖØÙÜÝßàåæçèëìïðñòöøùüýÿ",
         "AAAECEEIIDNOOOUUYSSAAAECEEIIDNOOOUUYY"},
        {"first and last of each run of Latin Extended-A letters", "ĀąĆčĎđĒěĜģĤħĨıĲĳĴĵĶĸĹłŃŋŌőŒœŔřŚšŢŧŨųŴŵŶŸŹžſ",
         "AACCDDEEGGHHIIIJIJJJKKLLNNOOOEOERRSSTTUUWWYYZZS"},
        {"first and last combining marks, and their neighbours", "A\xCC\x80\xCD\xAF\xCB\xBF\xCD\xB0", "A##"},
        {"U+2000 to U+200A and the other spaces, and their neighbours",
         "a\xE2\x80\x80"
         "b\xE2\x80\x8A"
         "c\xE2\x80\xA8"
         "d\xE2\x80\xA9"
         "e\xE2\x81\x9F"
         "f\xE3\x80\x80"
         "g\xE2\x80\x8B"
         "h\xE1\xBF\xBF"
         "i",
         "A B C D E F G#H#I"},
        {"letters just outside the table", "\xC3\x97\xC3\xB7\xC3\x9E\xC3\xBE\xC6\x80", "#####"},
        {"y with diaeresis and d with stroke", "\xC3\xBF\xC4\x91", "YD"},
        {"decomposed e and combining acute", "e\xCC\x81t\xCC\x88\xCD\xAF", "ET"},
        {"byte-order mark is dropped", "\xEF\xBB\xBFOK", "OK"},
        {"no-break, narrow no-break and thin spaces",
         "a\xC2\xA0"
         "b\xE2\x80\xAF"
         "c\xE2\x80\x89"
         "d",
         "A B C D"},
        {"other scripts and symbols", "\xCE\xB1\xE2\x82\xAC\xE6\x97\xA5\xF0\x9F\x98\x80", "####"},
        {"a lone continuation byte",
         "A\x80"
         "B",
         "A#B"},
        {"a truncated sequence at the end", "A\xC3", "A#"},
        {"a truncated sequence before ASCII",
         "\xE2\x82"
         "A",
         "##A"},
        {"overlong forms", "\xC0\x80\xE0\x80\x80", "#####"},
        {"surrogates", "\xED\xA0\x80", "###"},
        {"beyond U+10FFFF and invalid lead bytes", "\xF4\x90\x80\x80\xFF\xFE", "######"},
        {"the largest code points of each length", "\xDF\xBF\xEF\xBF\xBF\xF4\x8F\xBF\xBF", "###"},
        {"an embedded NUL is another character", std::string("A\0B", 3), "A#B"},
        {"empty", "", ""},
    };
    for (const Case& c : cases) {
        std::string folded = c.folded; // '#' stands for the other-character slot
        std::replace(folded.begin(), folded.end(), '#', TextFolder::kOther);
        EXPECT_EQ(TextFolder::Fold(c.utf8), folded) << c.name;
    }
}

// Every sign of the Morse table has one slot, and back.
TEST(TextFolder, SlotsAndSignsMatch) {
    const MorseTable table;
    for (int32_t sign = 0; sign < MorseTable::kSignCount; ++sign) {
        const char slot = TextFolder::SlotOfSign(sign);
        EXPECT_EQ(TextFolder::SignOfSlot(slot), sign) << table.SignName(sign);
        EXPECT_EQ(TextFolder::Fold(table.SignName(sign)), std::string(1, slot)) << table.SignName(sign);
    }
    for (const char slot : {TextFolder::kSpace, TextFolder::kOther, '\0', '\x05', '!', 'a'}) {
        EXPECT_EQ(TextFolder::SignOfSlot(slot), MorseTable::kNoIndex) << static_cast<int>(slot);
    }
    EXPECT_EQ(TextFolder::SlotOfSign(MorseTable::kSignCount), TextFolder::kOther);
    EXPECT_EQ(TextFolder::SlotOfSign(-1), TextFolder::kOther);
}

} // namespace
