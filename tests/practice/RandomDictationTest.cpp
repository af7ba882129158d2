// The random dictation without a window: the draw, the scoring rule, what each scored
// interval reports, and Stop.
#include "practice/RandomDictation.h"
#include "morse/RandomPicker.h"
#include "practice/VirtualKeyIndex.h"
#include "tests/practice/PracticeTestSupport.h"

#include <ctime>
#include <deque>
#include <string>
#include <vector>

namespace {

// A dictation that draws the given indices in order and records what it scores.
class RandomDictationTest : public PracticeTest {
protected:
    RandomDictationTest() : dictation(table, synthesiser) {
        dictation.SetPicker([this] {
            const int32_t index = picks.front();
            picks.pop_front();
            return index;
        });
        dictation.SetAnswerObserver([this](const ScoredAnswer& answer) { observed.push_back(answer); });
    }

    std::deque<int32_t> picks;
    std::vector<ScoredAnswer> observed;
    RandomDictation dictation;
};

TEST_F(RandomDictationTest, PlayDrawsAndSoundsTheFirstCharacterAndScoresNothing) {
    picks = {7};
    dictation.Play();
    EXPECT_TRUE(dictation.Active());
    EXPECT_EQ(dictation.CurrentIndex(), 7);
    EXPECT_EQ(Loaded(), "....");
    EXPECT_TRUE(Sounding());
    EXPECT_EQ(dictation.Score(), 0);
    EXPECT_EQ(dictation.Total(), 0);
    EXPECT_TRUE(observed.empty());
}

// One interval per row: the keys typed in it, the character that sounded, whether it counts,
// and the letter or digit reported as typed. The answer carries over intervals without a key;
// a key that is no letter or digit answers 'A' (index 0), though the letter or digit typed
// before it in the interval stays the one reported; before any key the answer is 'A'.
TEST_F(RandomDictationTest, ScoringRule) {
    struct Interval {
        std::vector<uint32_t> keys;
        int32_t played;
        bool correct;
        int32_t typed; // the last letter or digit key in this interval; -1: none
    };
    const Interval intervals[] = {
        {{}, 0, true, -1},           // no key yet: 'A' answers
        {{'E'}, 4, true, 4},         // E typed, E played
        {{}, 4, true, -1},           // E still stands
        {{}, 19, false, -1},         // ... and is wrong for T
        {{'E', 'T'}, 4, false, 19},  // only the last key counts
        {{'T', 'E'}, 4, true, 4},    //
        {{'7'}, 33, true, 33},       // a main-block digit key
        {{'7', 103}, 33, false, 33}, // keypad 7 is no digit key: it answers 'A'
        {{'E', 32}, 0, true, 4},     // so does Space
        {{'1', 13}, 0, true, 27},    // and Enter
        {{32}, 0, true, -1},         // no letter or digit at all
        {{'Z'}, 25, true, 25},       //
    };
    for (const Interval& interval : intervals) {
        picks.push_back(interval.played);
    }
    picks.push_back(0); // drawn at the last tick
    dictation.Play();
    int32_t score = 0;
    int32_t total = 0;
    for (const Interval& interval : intervals) {
        for (uint32_t key : interval.keys) {
            dictation.Key(key);
        }
        const ScoredAnswer answer = dictation.Tick();
        score += interval.correct ? 1 : 0;
        ++total;
        EXPECT_EQ(answer.playedIndex, interval.played) << total;
        EXPECT_EQ(answer.correct, interval.correct) << total;
        EXPECT_EQ(answer.typedIndex.value_or(-1), interval.typed) << total;
        EXPECT_EQ(dictation.Score(), score) << total;
        EXPECT_EQ(dictation.Total(), total);
    }
    // The observer saw each interval as Tick returned it.
    ASSERT_EQ(observed.size(), std::size(intervals));
    for (size_t i = 0; i < observed.size(); ++i) {
        EXPECT_EQ(observed[i].playedIndex, intervals[i].played) << i;
        EXPECT_EQ(observed[i].correct, intervals[i].correct) << i;
    }
}

// The punctuation of the lessons past 36: played with its own code, and answered by its key
// only once the dictation takes sign answers (else the key answers 'A', as before).
TEST_F(RandomDictationTest, PunctuationIsPlayedAndAnsweredInTheLessonsThatHoldIt) {
    struct Row {
        int32_t played;
        bool signAnswers;
        uint32_t key;
        std::string loaded;
        bool correct;
        int32_t typed;
    };
    const Row rows[] = {
        {36, true, kFirstSignKey + 36, ".-.-.-", true, 36}, {37, true, kFirstSignKey + 37, "--..--", true, 37},
        {38, true, kFirstSignKey + 38, "..--..", true, 38}, {39, true, kFirstSignKey + 39, "-..-.", true, 39},
        {40, true, kFirstSignKey + 40, "-...-", true, 40},  {40, true, kFirstSignKey + 39, "-...-", false, 39},
        {0, false, kFirstSignKey + 36, ".-", true, -1},     {36, false, kFirstSignKey + 36, ".-.-.-", false, -1},
    };
    for (const Row& row : rows) {
        picks = {row.played, 0};
        dictation.SetSignAnswers(row.signAnswers);
        dictation.Play();
        EXPECT_EQ(Loaded(), row.loaded) << row.played;
        dictation.Key(row.key);
        const ScoredAnswer answer = dictation.Tick();
        EXPECT_EQ(answer.correct, row.correct) << row.played;
        EXPECT_EQ(answer.typedIndex.value_or(-1), row.typed) << row.played;
    }
}

// Each scored interval says when its character began to play and how long after that the
// reported key came.
TEST_F(RandomDictationTest, ScoredIntervalsCarryTheStartAndTheDelayOfTheKey) {
    int64_t nowMs = 1'700'000'000'000;
    dictation.SetClock([&nowMs] { return nowMs; });
    picks = {10, 12, 10, 12};
    dictation.Play(); // K starts at 1'700'000'000'000
    nowMs += 400;
    dictation.Key('M');
    nowMs += 500;
    dictation.Key('K'); // the last letter: 900 ms after the start
    nowMs += 2100;
    dictation.Tick(); // M starts at +3000
    nowMs += 3000;
    dictation.Tick(); // nothing typed; K starts at +6000
    nowMs += 1200;
    dictation.Key('K');
    nowMs += 300;
    dictation.Key(32); // Space after K: K stays the key typed, 1200 ms after the start
    nowMs += 1500;
    dictation.Tick();
    ASSERT_EQ(observed.size(), 3u);
    EXPECT_EQ(observed[0].startMs, 1'700'000'000'000);
    EXPECT_EQ(observed[0].responseMs, 900);
    EXPECT_EQ(observed[1].startMs, 1'700'000'003'000);
    EXPECT_FALSE(observed[1].typedIndex.has_value());
    EXPECT_EQ(observed[1].responseMs, -1);
    EXPECT_EQ(observed[2].startMs, 1'700'000'006'000);
    EXPECT_EQ(observed[2].typedIndex.value_or(-1), 10);
    EXPECT_EQ(observed[2].responseMs, 1200);
}

TEST_F(RandomDictationTest, EveryTickPlaysTheNextCharacterTheSameOneIncluded) {
    picks = {1, 1, 26};
    dictation.Play();
    Sounding();
    dictation.Tick();
    EXPECT_EQ(dictation.CurrentIndex(), 1);
    EXPECT_EQ(Loaded(), "-...");
    EXPECT_TRUE(Sounding());
    dictation.Tick();
    EXPECT_EQ(dictation.CurrentIndex(), 26);
    EXPECT_EQ(Loaded(), "-----");
    EXPECT_TRUE(Sounding());
}

TEST_F(RandomDictationTest, KeysPlayNothingAndStopThenPlayStartsFromZeroKeepingTheAnswer) {
    picks = {4, 8, 4, 0};
    dictation.Play();
    dictation.Key('K');
    EXPECT_EQ(Loaded(), ".");
    EXPECT_EQ(dictation.AnswerIndex(), 10);
    dictation.Key('E');
    dictation.Tick();
    EXPECT_EQ(dictation.Score(), 1);
    dictation.Stop();
    EXPECT_FALSE(dictation.Active());
    EXPECT_EQ(Loaded(), ".."); // the character sounding at Stop is never scored
    EXPECT_EQ(observed.size(), 1u);

    dictation.Play();
    EXPECT_EQ(dictation.Score(), 0);
    EXPECT_EQ(dictation.Total(), 0);
    EXPECT_EQ(dictation.AnswerIndex(), 4); // never cleared: E answers the first interval again
    EXPECT_TRUE(dictation.Tick().correct);
}

TEST_F(RandomDictationTest, WithoutAPickerItDrawsAsRandomPickerDoes) {
    RandomDictation dictation(table, synthesiser);
    dictation.SetPicker(nullptr);
    // Retried when the second rolls over between the two clock reads.
    for (int attempt = 0; attempt < 5; ++attempt) {
        const std::time_t before = std::time(nullptr);
        dictation.Play();
        if (std::time(nullptr) == before) {
            EXPECT_EQ(dictation.CurrentIndex(), RandomPicker::PickIndexAt(before));
            return;
        }
    }
    FAIL() << "the clock never stood still for one Play";
}

} // namespace
