// The copy practice without a window: the alignment of what was typed with what was played,
// the run as the synthesiser plays it, its history rows, and "Vitesse auto".
#include "practice/CopyPractice.h"
#include "morse/MorseTable.h"
#include "morse/Synthesiser.h"
#include "practice/CopyAlignment.h"
#include "render/TextFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<int32_t> SignsOf(const std::string& text) {
    std::vector<int32_t> signs;
    for (const char slot : TextFolder::Fold(text)) {
        if (slot != TextFolder::kSpace) {
            signs.push_back(TextFolder::SignOfSlot(slot));
        }
    }
    return signs;
}

// The marks as one string: '=' copied, 'x' and what was typed for a wrong sign, '-' missed.
std::string Marks(const std::string& played, const std::string& typed) {
    std::string out;
    for (const CopyAlignment::Mark& mark : CopyAlignment::Align(SignsOf(played), typed)) {
        out += mark.correct ? "=" : mark.typed.empty() ? "-" : "x" + mark.typed;
        out += ' ';
    }
    return out;
}

TEST(CopyAlignment, MissedExtraSwappedWrongAndProsignSpellings) {
    struct Case {
        const char* name;
        const char* played;
        const char* typed;
        const char* marks;
        int32_t distance;
    };
    const Case cases[] = {
        {"all right, case and spaces aside", "PARIS PARIS", "paris  PA RIS", "= = = = = = = = = = ", 0},
        {"a missed sign", "PARIS", "PRIS", "= - = = = ", 1},
        {"an extra character", "PARIS", "PAARIS", "= = = = = ", 1},
        {"two signs swapped", "PARIS", "PRAIS", "= xR xA = = ", 2},
        {"a wrong sign", "PARIS", "PAROS", "= = = xO = ", 1},
        {"nothing typed", "CQ", "", "- - ", 2},
        {"only extras", "E", "EEE", "= ", 2},
        {"accents folded", "ETE", "été", "= = = ", 0},
        {"a prosign in two letters", "CQ <AR>", "CQ AR", "= = = ", 0},
        {"... in either case, spaced", "<SK>", "s k", "= ", 0},
        {"... between letters", "E<KN>E", "EKNE", "= = = ", 0},
        {"<AR> as +, <BT> as =", "<AR> <BT>", "+=", "= = ", 0},
        {"+ and = played, typed as prosigns", "+ =", "<AR> <BT>", "= = ", 0},
        {"= played, BT typed as letters is wrong", "=", "BT", "xT ", 2},
        {"a prosign half typed", "<KN>", "K", "xK ", 1},
        {"the letters A R are no prosign", "AR", "+", "- x+ ", 2},
        {"punctuation", "QTH? 5/9,", "QTH? 5/9.", "= = = = = = = x. ", 1},
        {"a character that is no sign", "AB", "A!", "= x* ", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Marks(c.played, c.typed), c.marks) << c.name;
        EXPECT_EQ(CopyAlignment::Distance(SignsOf(c.played), c.typed), c.distance) << c.name;
    }
}

// The banded alignment gives the distance of the plain dynamic programme over the whole
// table, on long texts with scattered errors and with many prosigns spelled.
TEST(CopyAlignment, BandedDistanceIsTheFullDistance) {
    std::mt19937 random(5);
    const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (const int errors : {0, 3, 40, 400}) {
        std::string played;
        for (int i = 0; i < 600; ++i) {
            played += alphabet[random() % alphabet.size()];
        }
        std::string typed = played;
        for (int e = 0; e < errors; ++e) {
            const size_t at = random() % typed.size();
            switch (random() % 3) {
            case 0:
                typed.erase(at, 1);
                break;
            case 1:
                typed.insert(at, 1, alphabet[random() % alphabet.size()]);
                break;
            default:
                typed[at] = alphabet[random() % alphabet.size()];
            }
        }
        // Levenshtein over the whole table, row by row.
        std::vector<int32_t> row(typed.size() + 1);
        for (size_t j = 0; j <= typed.size(); ++j) {
            row[j] = static_cast<int32_t>(j);
        }
        for (size_t i = 1; i <= played.size(); ++i) {
            int32_t diagonal = row[0];
            row[0] = static_cast<int32_t>(i);
            for (size_t j = 1; j <= typed.size(); ++j) {
                const int32_t up = row[j];
                row[j] = std::min({up + 1, row[j - 1] + 1, diagonal + (played[i - 1] == typed[j - 1] ? 0 : 1)});
                diagonal = up;
            }
        }
        EXPECT_EQ(CopyAlignment::Distance(SignsOf(played), typed), row.back()) << errors << " errors";
    }
    std::string prosigns;
    std::string spelled;
    for (int i = 0; i < 60; ++i) {
        prosigns += "<AR>";
        spelled += "AR";
    }
    EXPECT_EQ(CopyAlignment::Distance(SignsOf(prosigns), spelled), 0);
    EXPECT_EQ(CopyAlignment::Distance(SignsOf(prosigns + "E"), spelled), 1);
}

// A run of "E <AR>" at 20 words per minute (2646 frames per unit): E on frames 0 to 2646, <AR>
// 8 units later (1 + 7), at 21168 frames, 480 ms after the first.
class CopyPracticeTest : public ::testing::Test {
protected:
    CopyPracticeTest() : practice(synthesiser) { synthesiser.Initialise(); }
    void RenderFrames(int64_t frames) {
        while (frames > 0) {
            int32_t count = static_cast<int32_t>(std::min<int64_t>(frames, 512));
            ToneCallback(&synthesiser, &count);
            frames -= count;
        }
    }
    Synthesiser synthesiser;
    CopyPractice practice;
};

TEST_F(CopyPracticeTest, RunIsPlayedCorrectedAndRecorded) {
    const int64_t startMs = 1'700'000'000'000;
    ASSERT_TRUE(practice.Play("E <AR>", 20, 0, startMs));
    EXPECT_TRUE(practice.Playing());
    RenderFrames(55000);
    EXPECT_TRUE(practice.Playing()) << "E, 7 units, <AR> of 13 units: 21 units of 2646 frames, 55566";
    RenderFrames(1024);
    EXPECT_FALSE(practice.Playing());
    const CopyPractice::Result result = practice.Correct("E AR");
    ASSERT_EQ(result.marks.size(), 2u);
    EXPECT_EQ(result.correct, 2);
    EXPECT_EQ(result.spaceBefore, (std::vector<bool>{false, true}));
    ASSERT_EQ(result.answers.size(), 2u);
    EXPECT_EQ(result.answers[0].atMs, startMs);
    EXPECT_EQ(result.answers[0].mode, "copy");
    EXPECT_EQ(result.answers[0].played, 'E');
    EXPECT_EQ(result.answers[0].typed, 'E');
    EXPECT_EQ(result.answers[0].responseMs, -1);
    EXPECT_EQ(result.answers[1].atMs, startMs + 480);
    EXPECT_EQ(result.answers[1].playedName, "<AR>");
    EXPECT_EQ(result.answers[1].typedName, "<AR>");
    EXPECT_EQ(result.run.atMs, startMs);
    EXPECT_EQ(result.run.wpm, 20);
    EXPECT_EQ(result.run.played, 2);
    EXPECT_EQ(result.run.correct, 2);
    EXPECT_FALSE(practice.HasRun());
    EXPECT_FALSE(practice.Play("   ", 20, 0, startMs)) << "nothing to play";
}

// Stopped before the second sign began, the run scores the first alone; a sign missed is
// recorded with typed '' and a wrong one with what was typed.
TEST_F(CopyPracticeTest, StopCountsOnlyTheSignsThatBegan) {
    ASSERT_TRUE(practice.Play("T E M", 20, 10, 0));
    RenderFrames(1024);
    practice.Stop();
    EXPECT_FALSE(practice.Playing());
    RenderFrames(512);
    const CopyPractice::Result stopped = practice.Correct("");
    ASSERT_EQ(stopped.answers.size(), 1u);
    EXPECT_EQ(stopped.answers[0].typed, 0);
    EXPECT_EQ(stopped.run.farnsworth, 10);

    ASSERT_TRUE(practice.Play("TEM", 20, 0, 0));
    RenderFrames(200000);
    const CopyPractice::Result wrong = practice.Correct("TAM");
    ASSERT_EQ(wrong.answers.size(), 3u);
    EXPECT_EQ(wrong.answers[1].typed, 'A');
    EXPECT_EQ(wrong.correct, 2);
}

TEST(CopyPractice, AutoSpeedRisesOnAPerfectRunAndFallsBelowEightyPercent) {
    struct Case {
        int32_t wpm, correct, played, next;
    };
    for (const Case c : {Case{20, 10, 10, 21}, Case{60, 5, 5, 60}, Case{20, 9, 10, 20}, Case{20, 8, 10, 20},
                         Case{20, 79, 100, 19}, Case{5, 0, 10, 5}, Case{20, 0, 0, 20}}) {
        EXPECT_EQ(CopyPractice::AutoSpeed(c.wpm, c.correct, c.played), c.next)
            << c.wpm << " " << c.correct << "/" << c.played;
    }
}

} // namespace
