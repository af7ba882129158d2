// Koch lessons, the lesson progression rule, the adaptive weights and the draw.
#include "practice/LessonPicker.h"
#include "morse/RandomPicker.h"
#include "practice/AdaptiveWeights.h"
#include "practice/KochLessons.h"
#include "tests/history/HistoryTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <ctime>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// n answers of one character, newest first, every `wrongEvery`-th one wrong (0: none wrong).
std::vector<AnswerRecord> Answers(char played, int n, int wrongEvery, int64_t responseMs, int64_t newestMs = 100000) {
    std::vector<AnswerRecord> answers;
    for (int i = 0; i < n; ++i) {
        const bool wrong = wrongEvery > 0 && i % wrongEvery == 0;
        answers.push_back(Answer(newestMs - i, played, wrong ? (played == 'E' ? 'T' : 'E') : played, responseMs));
    }
    return answers;
}

TEST(KochLessons, LessonsAreThePrefixesOfTheKochOrderAndOtherNumbersMeanOff) {
    const std::string koch = "KMRSUAPTLOWINJEFYVG5Q9ZH38B427C1D60X";
    const std::string all = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    EXPECT_EQ(KochLessons::Characters(2), "KM");
    EXPECT_EQ(KochLessons::Characters(5), "KMRSU");
    EXPECT_EQ(KochLessons::Characters(20), "KMRSUAPTLOWINJEFYVG5");
    EXPECT_EQ(KochLessons::Characters(36), koch);
    EXPECT_EQ(std::set<char>(koch.begin(), koch.end()), std::set<char>(all.begin(), all.end()));
    EXPECT_EQ(KochLessons::Indices(2), (std::vector<int32_t>{10, 12})); // K, M
    EXPECT_EQ(KochLessons::Indices(20).back(), 31);                     // '5'
    EXPECT_EQ(KochLessons::Indices(36).back(), 23);                     // 'X'
    for (const auto& [stored, taken] : std::map<int32_t, int32_t>{
             {INT_MIN, 0}, {-2, 0}, {0, 0}, {1, 0}, {2, 2}, {17, 17}, {36, 36}, {42, 0}, {INT_MAX, 0}}) {
        EXPECT_EQ(KochLessons::Validated(stored), taken) << stored;
        EXPECT_EQ(KochLessons::Characters(stored), taken == 0 ? all : koch.substr(0, taken)) << stored;
    }
    // Past 36, one punctuation sign per lesson, with its MorseTable index.
    const std::pair<int32_t, std::string> punctuation[] = {
        {37, "."}, {38, ".,"}, {39, ".,?"}, {40, ".,?/"}, {41, ".,?/="}};
    for (const auto& [lesson, signs] : punctuation) {
        const std::string expected = koch + signs;
        EXPECT_EQ(KochLessons::Validated(lesson), lesson);
        EXPECT_EQ(KochLessons::Characters(lesson), expected) << lesson;
        ASSERT_EQ(KochLessons::Indices(lesson).size(), static_cast<size_t>(lesson));
        EXPECT_EQ(KochLessons::Indices(lesson).back(), lesson - 1) << "'.' is 36 ... '=' is 40";
    }
    EXPECT_EQ(KochLessons::Indices(0).size(), 36u);
    EXPECT_EQ(KochLessons::Indices(0).front(), 0);
    EXPECT_EQ(KochLessons::Indices(0).back(), 35);
}

TEST(KochLessons, NextLessonIsDueAfterAHundredAnswersWithNinetyRight) {
    struct Case {
        const char* name;
        int32_t lesson;
        std::vector<AnswerRecord> answers;
        bool due;
    };
    std::vector<AnswerRecord> ninetyRight = Answers('K', 100, 10, 500); // 10 wrong
    std::vector<AnswerRecord> eightyNineRight = Answers('K', 100, 10, 500);
    eightyNineRight[1].typed = 0; // one more wrong: no key typed
    std::vector<AnswerRecord> oldMistakes = Answers('K', 100, 0, 500);
    for (AnswerRecord& r : Answers('M', 60, 1, 500, 0)) {
        oldMistakes.push_back(r); // older wrong answers beyond the last hundred do not count
    }
    std::vector<AnswerRecord> recentMistakes = eightyNineRight;
    for (AnswerRecord& r : Answers('M', 60, 0, 500, 0)) {
        recentMistakes.push_back(r);
    }
    const std::vector<Case> cases = {
        {"99 answers, all right", 2, Answers('K', 99, 0, 500), false},
        {"100 answers, 90 right", 2, ninetyRight, true},
        {"100 answers, 89 right", 2, eightyNineRight, false},
        {"last 100 right, older wrong", 5, oldMistakes, true},
        {"last 100 with 89 right, older right", 5, recentMistakes, false},
        {"last lesson", 41, Answers('K', 200, 0, 500), false},
        {"lesson 36 leads on to the punctuation", 36, Answers('K', 200, 0, 500), true},
        {"no lesson", 0, Answers('K', 200, 0, 500), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KochLessons::NextLessonDue(c.lesson, c.answers), c.due) << c.name;
    }
}

TEST(AdaptiveWeights, MissedWeighTenTimesTheRightOnesNewOnesAreWeakAndNoneIsZero) {
    const double missedFast = AdaptiveWeights::WeightOf(Answers('Q', 50, 1, 0));
    const double missedSilent = AdaptiveWeights::WeightOf(Answers('Q', 50, 1, -1));
    const double rightFast = AdaptiveWeights::WeightOf(Answers('E', 50, 0, 0));
    const double rightSlow = AdaptiveWeights::WeightOf(Answers('E', 50, 0, 10000));
    EXPECT_GE(std::min(missedFast, missedSilent), 10.0 * std::max(rightFast, rightSlow));
    EXPECT_GT(rightFast, 0.0); // the floor
    // Fewer than ten answers, even all right: weak, like an always-missed character.
    EXPECT_GE(AdaptiveWeights::WeightOf(Answers('E', 9, 0, 100)), missedFast);
    EXPECT_GE(AdaptiveWeights::WeightOf({}), missedFast);
    EXPECT_LT(AdaptiveWeights::WeightOf(Answers('E', 10, 0, 100)), missedFast / 10.0);
    // The weight grows with the error rate and with the median response time.
    EXPECT_GT(AdaptiveWeights::WeightOf(Answers('E', 50, 5, 500)), AdaptiveWeights::WeightOf(Answers('E', 50, 0, 500)));
    EXPECT_GT(AdaptiveWeights::WeightOf(Answers('E', 50, 0, 1500)),
              AdaptiveWeights::WeightOf(Answers('E', 50, 0, 500)));
    // The median, not the mean: a few very slow answers do not make a fast character slow.
    std::vector<AnswerRecord> fewSlow = Answers('E', 50, 0, 300);
    for (int i = 0; i < 5; ++i) {
        fewSlow[i].responseMs = 60000;
    }
    EXPECT_DOUBLE_EQ(AdaptiveWeights::WeightOf(fewSlow), AdaptiveWeights::WeightOf(Answers('E', 50, 0, 300)));
    // Only the last 50 count.
    std::vector<AnswerRecord> oldMisses = Answers('E', 50, 0, 300);
    for (AnswerRecord& r : Answers('E', 50, 1, 300, 0)) {
        oldMisses.push_back(r);
    }
    EXPECT_DOUBLE_EQ(AdaptiveWeights::WeightOf(oldMisses), AdaptiveWeights::WeightOf(Answers('E', 50, 0, 300)));
}

// The weights the adaptive draw uses, from the history's answers in any order. Exact values:
// 1 + 19 x the error rate + min(median response / 3000 ms, 1).
TEST(AdaptiveWeights, TheDrawWeighsEachCharacterByItsNewestAnswers) {
    std::vector<AnswerRecord> mix;
    const std::vector<AnswerRecord> k = Answers('K', 50, 1, 500); // missed
    const std::vector<AnswerRecord> m = Answers('M', 80, 0, 500); // right
    // Oldest first and interleaved, as a plain query would give them.
    for (size_t i = 80; i-- > 0;) {
        mix.push_back(m[i]);
        if (i < k.size()) {
            mix.push_back(k[i]);
        }
    }
    std::vector<AnswerRecord> evenWindow = Answers('K', 25, 0, 1000);
    for (AnswerRecord& r : Answers('K', 25, 0, 2000, 0)) {
        evenWindow.push_back(r);
    }
    std::vector<AnswerRecord> unanswered = Answers('K', 50, 0, -1);
    for (AnswerRecord& r : unanswered) {
        r.typed = 0; // no key typed
    }
    std::vector<AnswerRecord> someUnanswered = Answers('K', 40, 0, 0, 200000);
    someUnanswered.insert(someUnanswered.end(), unanswered.begin(), unanswered.begin() + 10);
    std::vector<AnswerRecord> newestLast = Answers('K', 50, 1, 600, 0); // older misses first
    for (AnswerRecord& r : Answers('K', 50, 0, 600)) {
        newestLast.push_back(r);
    }
    struct Case {
        const char* name;
        std::vector<AnswerRecord> answers;
        std::vector<double> weights; // of K, M and R (lesson 3)
    };
    const std::vector<Case> cases = {
        {"a mix of K and M, oldest first", mix, {20.0 + 500.0 / 3000, 1.0 + 500.0 / 3000, 21.0}},
        {"no key ever typed", unanswered, {21.0, 21.0, 21.0}},
        {"even window: median between 1000 and 2000 ms", evenWindow, {1.5, 21.0, 21.0}},
        {"right at once: the floor", Answers('K', 50, 0, 0), {1.0, 21.0, 21.0}},
        {"1500 ms: half the slowest", Answers('K', 50, 0, 1500), {1.5, 21.0, 21.0}},
        {"4500 ms: slowness capped at 3000 ms", Answers('K', 50, 0, 4500), {2.0, 21.0, 21.0}},
        {"no key typed counts as missed", someUnanswered, {1.0 + 19.0 * 10 / 50, 21.0, 21.0}},
        {"the newest 50 count, wherever they come", newestLast, {1.2, 21.0, 21.0}},
    };
    for (const Case& c : cases) {
        LessonPicker picker;
        picker.Configure(3, true);
        picker.Start(1, c.answers);
        const std::vector<double> weights = picker.Weights();
        ASSERT_EQ(weights.size(), 3u) << c.name;
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_NEAR(weights[i], c.weights[i], 1e-12) << c.name << ", character " << i;
        }
    }
}

TEST(LessonPicker, WithNoLessonAndNoAdaptiveTheDrawIsTheUsualOne) {
    LessonPicker picker;
    picker.Configure(0, false);
    picker.Start(12345, Answers('K', 50, 1, 500));
    ASSERT_TRUE(picker.IsPlain());
    for (int attempt = 0; attempt < 5; ++attempt) {
        const std::time_t second = std::time(nullptr);
        const int32_t drawn = picker.PickIndex();
        if (std::time(nullptr) == second) {
            EXPECT_EQ(drawn, RandomPicker::PickIndexAt(second));
            return;
        }
    }
    FAIL() << "the clock kept changing second";
}

TEST(LessonPicker, ALessonDrawsOnlyItsCharactersUniformlyAndTheSeedFixesTheSequence) {
    LessonPicker picker;
    picker.Configure(2, false);
    picker.Start(42, {});
    std::map<int32_t, int> counts;
    std::vector<int32_t> first;
    for (int i = 0; i < 4000; ++i) {
        const int32_t index = picker.PickIndex();
        ++counts[index];
        first.push_back(index);
    }
    ASSERT_EQ(counts.size(), 2u);
    EXPECT_NEAR(counts[10], 2000, 200); // K
    EXPECT_NEAR(counts[12], 2000, 200); // M
    picker.Start(42, {});
    for (size_t i = 0; i < 100; ++i) {
        ASSERT_EQ(picker.PickIndex(), first[i]) << i;
    }
    picker.Configure(36, false);
    std::set<int32_t> seen;
    for (int i = 0; i < 3000; ++i) {
        seen.insert(picker.PickIndex());
    }
    EXPECT_EQ(seen.size(), 36u);
}

TEST(LessonPicker, AdaptiveDrawFavoursTheMissedOnesFollowsTheRunAndKeepsEveryCharacter) {
    LessonPicker picker;
    picker.Configure(2, true);
    std::vector<AnswerRecord> history = Answers('K', 50, 1, 900);
    for (const AnswerRecord& r : Answers('M', 50, 0, 900)) {
        history.push_back(r);
    }
    picker.Start(7, history);
    const std::vector<double> weights = picker.Weights();
    ASSERT_EQ(weights.size(), 2u);
    EXPECT_GE(weights[0], 10.0 * weights[1]);
    int k = 0;
    const int draws = 6000;
    for (int i = 0; i < draws; ++i) {
        k += picker.PickIndex() == 10;
    }
    const double expectedK = weights[0] / (weights[0] + weights[1]);
    EXPECT_NEAR(static_cast<double>(k) / draws, expectedK, 0.02);
    EXPECT_LT(k, draws); // M still comes up

    // M missed from now on: its weight climbs as the answers come in.
    for (int i = 0; i < 50; ++i) {
        picker.Learn(Answer(200000 + i, 'M', 'K', 900));
    }
    EXPECT_DOUBLE_EQ(picker.Weights()[1], AdaptiveWeights::WeightOf(Answers('M', 50, 1, 900)));

    // Over all 36, one well-known character among 35 new ones still comes up.
    picker.Configure(0, true);
    picker.Start(9, Answers('E', 50, 0, 100));
    int e = 0;
    for (int i = 0; i < 40000; ++i) {
        e += picker.PickIndex() == 4;
    }
    EXPECT_GT(e, 0);
    EXPECT_LT(e, 200); // about 40000 / 701
}

} // namespace
