#include "practice/SendingPractice.h"
#include "morse/MorseTable.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// The columns of an alignment written out: "A" a character right, "a>B" the target's a read as
// B, "a>_" the target's a missing, "+B" a B too many, "|" where a target word ends, "*" a code
// that is no sign.
std::string Written(const std::vector<SendingPractice::Column>& columns) {
    const MorseTable table;
    const auto name = [&](int32_t sign) {
        return sign == MorseTable::kNoIndex ? std::string("*") : std::string(table.SignName(sign));
    };
    std::string text;
    for (const SendingPractice::Column& c : columns) {
        if (!text.empty()) {
            text += ' ';
        }
        if (c.target == SendingPractice::kExtra) {
            text += "+" + name(c.sent);
        } else if (c.Right()) {
            text += name(c.target);
        } else {
            std::string lower = name(c.target);
            for (char& ch : lower) {
                ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
            }
            text += lower + ">" + (c.sent == SendingPractice::kMissing ? "_" : name(c.sent));
        }
        if (c.wordEnd) {
            text += " |";
        }
    }
    return text;
}

struct Case {
    const char* target;
    std::vector<std::string> sent; // sign names; "" for a code that is no sign
    std::string alignment;
    bool complete;
    std::string typed; // the rows' typed characters, '_' for none
};

TEST(SendingPracticeTest, AlignsWhatWasReadWithTheTargetAndWritesARowPerCharacter) {
    const Case cases[] = {
        {"PARIS", {"P", "A", "R", "I", "S"}, "P A R I S", true, "PARIS"},
        {"PARIS", {"P", "A"}, "P A", false, "PA"},
        {"PARIS", {"P", "A", "R", "I", "H"}, "P A R I s>H", true, "PARIH"},
        {"PARIS", {"P", "R", "I", "S"}, "P a>_ R I S", true, "P_RIS"},
        {"PARIS", {"P", "A", "E", "R", "I"}, "P A +E R I", false, "PARI"},
        {"PARIS", {"P", "A", "E", "R", "I", "S"}, "P A +E R I S", true, "PARIS"},
        {"AB CD", {"A", "B", "", "D"}, "A B | c>* D", true, "AB*D"},
        {"CQ <SK>", {"C", "Q", "<SK>"}, "C Q | <SK>", true, "CQ<SK>"},
        {"KM", {"X", "X", "X"}, "k>X m>X +X", true, "XX"},
        {"KM", {}, "", false, ""},
    };
    const MorseTable table;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        SendingPractice practice;
        practice.Start(c.target, 1000);
        int64_t atMs = 2000;
        for (const std::string& name : c.sent) {
            practice.Add(name.empty() ? MorseTable::kNoIndex : table.IndexOfSign(name), atMs);
            atMs += 500;
        }
        EXPECT_EQ(Written(practice.Alignment()), c.alignment);
        EXPECT_EQ(practice.IsComplete(), c.complete);
        std::string typed;
        for (const AnswerRecord& row : practice.Rows()) {
            typed += !row.typedName.empty() ? row.typedName : std::string(1, row.typed == 0 ? '_' : row.typed);
            EXPECT_EQ(row.mode, "send");
            EXPECT_EQ(row.responseMs, -1);
        }
        EXPECT_EQ(typed, c.typed);
    }

    // Each row's time: when its character was begun; a missing one takes the one read before.
    SendingPractice practice;
    practice.Start("PARIS", 1000);
    practice.Add(table.IndexOfSign("A"), 2000); // P missing: before anything was read
    practice.Add(table.IndexOfSign("R"), 2500);
    practice.Add(table.IndexOfSign("S"), 3000); // I missing
    std::vector<int64_t> times;
    std::string played;
    for (const AnswerRecord& row : practice.Rows()) {
        times.push_back(row.atMs);
        played += row.played;
    }
    EXPECT_EQ(played, "PARIS");
    EXPECT_EQ(times, (std::vector<int64_t>{1000, 2000, 2500, 2500, 3000}));
    EXPECT_EQ(practice.Right(), 3);
}

TEST(SendingPracticeTest, DrawsFiveGroupsOfFiveFromTheLesson) {
    std::mt19937 random(7);
    const std::string text = SendingPractice::LessonGroups(3, random);
    ASSERT_EQ(text.size(), 29u);
    for (size_t i = 0; i < text.size(); ++i) {
        if (i % 6 == 5) {
            EXPECT_EQ(text[i], ' ');
        } else {
            EXPECT_NE(std::string("KMR").find(text[i]), std::string::npos) << text;
        }
    }
}

} // namespace
