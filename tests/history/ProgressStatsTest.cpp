// The figures of the progress window: accuracy, median response time, confusions, the days of
// the accuracy line and the periods.
#include "history/ProgressStats.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <limits>
#include <string>
#include <vector>

namespace {

AnswerRecord Answer(char played, char typed, int64_t responseMs = -1, int64_t atMs = 1'000) {
    AnswerRecord record;
    record.atMs = atMs;
    record.mode = "random";
    record.played = played;
    record.typed = typed;
    record.responseMs = responseMs;
    return record;
}

const ProgressStats::Character& Of(const ProgressStats& stats, char symbol) {
    return stats.characters[static_cast<size_t>(ProgressStats::KochIndex(symbol))];
}

// [ms] since the epoch of a UTC wall time, by the civil-from-days rule, independent of the C
// library's time zone handling.
int64_t UtcMs(int year, int month, int day, int hour, int minute = 0) {
    year -= month <= 2 ? 1 : 0;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const int64_t days = era * 146097 + dayOfEra - 719468;
    return ((days * 24 + hour) * 60 + minute) * 60'000;
}

// Central European time with its summer time, written as a POSIX rule so that no time zone
// database is needed: UTC+1, UTC+2 from the last Sunday of March to the last of October.
class CentralEuropeanTime {
public:
    CentralEuropeanTime() {
        const char* old = std::getenv("TZ");
        had_ = old != nullptr;
        old_ = had_ ? old : "";
        Set("CET-1CEST,M3.5.0,M10.5.0/3");
    }
    ~CentralEuropeanTime() {
        if (had_) {
            Set(old_.c_str());
        } else {
            Unset();
        }
    }

private:
#ifdef _WIN32
    static void Set(const char* zone) {
        _putenv_s("TZ", zone);
        _tzset();
    }
    static void Unset() {
        Set("");
    }
#else
    static void Set(const char* zone) {
        setenv("TZ", zone, 1);
        tzset();
    }
    static void Unset() {
        unsetenv("TZ");
        tzset();
    }
#endif
    bool had_ = false;
    std::string old_;
};

} // namespace

TEST(ProgressStats, KochOrderIndexesEveryCharacterOnce) {
    EXPECT_EQ(ProgressStats::KochIndex('K'), 0);
    EXPECT_EQ(ProgressStats::KochIndex('M'), 1);
    EXPECT_EQ(ProgressStats::KochIndex('5'), 19);
    EXPECT_EQ(ProgressStats::KochIndex('X'), 35);
    EXPECT_EQ(ProgressStats::KochIndex('q'), ProgressStats::KochIndex('Q'));
    for (char c : {'\0', ' ', '?', '\xC3'}) {
        EXPECT_EQ(ProgressStats::KochIndex(c), -1) << static_cast<int>(c);
    }
    std::string seen;
    for (char c = 'A'; c <= 'Z'; ++c) {
        seen += c;
    }
    for (char c = '0'; c <= '9'; ++c) {
        seen += c;
    }
    for (char c : seen) {
        EXPECT_GE(ProgressStats::KochIndex(c), 0) << c;
    }
    EXPECT_EQ(ProgressStats::kKochOrder.size(), 36u);
}

TEST(ProgressStats, AccuracyAndCountPerCharacter) {
    // K: right, right, M typed, nothing typed -> 2 of 4. M: one right. A record of a character
    // outside the table is ignored.
    const std::vector<AnswerRecord> records = {
        Answer('K', 'K', 300), Answer('K', 'K', 500), Answer('K', 'M', 200),
        Answer('K', 0),        Answer('M', 'M', 400), Answer('?', '?', 100),
    };
    const ProgressStats stats = ProgressStats::Compute(records, 0, 10'000);
    EXPECT_EQ(Of(stats, 'K').answers, 4);
    EXPECT_EQ(Of(stats, 'K').correct, 2);
    EXPECT_DOUBLE_EQ(Of(stats, 'K').Accuracy(), 0.5);
    EXPECT_EQ(Of(stats, 'M').answers, 1);
    EXPECT_DOUBLE_EQ(Of(stats, 'M').Accuracy(), 1.0);
    EXPECT_EQ(Of(stats, 'X').answers, 0);
    EXPECT_DOUBLE_EQ(Of(stats, 'X').Accuracy(), 0.0);
    EXPECT_EQ(stats.TotalAnswers(), 5);
    EXPECT_EQ(stats.TotalCorrect(), 3);
    EXPECT_EQ(stats.matrix[0][0], 2); // K -> K
    EXPECT_EQ(stats.matrix[0][1], 1); // K -> M
    EXPECT_EQ(stats.unanswered[0], 1);
    for (int i = 0; i < 36; ++i) {
        EXPECT_EQ(stats.characters[static_cast<size_t>(i)].symbol, "KMRSUAPTLOWINJEFYVG5Q9ZH38B427C1D60X"[i]);
    }
}

TEST(ProgressStats, MedianResponseTime) {
    struct Case {
        const char* name;
        std::vector<AnswerRecord> answers;
        double medianMs;
    };
    const Case cases[] = {
        {"none", {}, -1.0},
        {"no key typed", {Answer('E', 0), Answer('E', 0)}, -1.0},
        {"one", {Answer('E', 'E', 300)}, 300.0},
        {"odd, unsorted", {Answer('E', 'E', 500), Answer('E', 'E', 100), Answer('E', 'E', 300)}, 300.0},
        {"even: mean of the middle two",
         {Answer('E', 'E', 400), Answer('E', 'E', 100), Answer('E', 'E', 300), Answer('E', 'E', 200)},
         250.0},
        {"even, half a millisecond", {Answer('E', 'E', 101), Answer('E', 'E', 100)}, 100.5},
        {"wrong keys count, no key does not",
         {Answer('E', 'T', 900), Answer('E', 0), Answer('E', 'E', 100), Answer('E', 'I', 700)},
         700.0},
        {"a key without a time does not count", {Answer('E', 'E', -1), Answer('E', 'E', 80)}, 80.0},
        {"duplicates",
         {Answer('E', 'E', 200), Answer('E', 'E', 200), Answer('E', 'E', 900), Answer('E', 'E', 10)},
         200.0},
    };
    for (const Case& c : cases) {
        const ProgressStats stats = ProgressStats::Compute(c.answers, 0, 10'000);
        EXPECT_DOUBLE_EQ(Of(stats, 'E').medianResponseMs, c.medianMs) << c.name;
    }
}

TEST(ProgressStats, TopFiveConfusionsMostFrequentFirstWithTheirText) {
    std::vector<AnswerRecord> records;
    auto add = [&records](char played, char typed, int count) {
        for (int i = 0; i < count; ++i) {
            records.push_back(Answer(played, typed, 250));
        }
    };
    add('Q', 'Y', 12);
    add('E', 'I', 5);
    add('M', 'K', 3); // ties with K -> M: K comes first in Koch order
    add('K', 'M', 3);
    add('5', 'H', 2);
    add('A', 'R', 1);  // sixth, left out
    add('A', 'A', 40); // right answers are no confusion
    add('B', 0, 30);   // nor are answers without a key
    const ProgressStats stats = ProgressStats::Compute(records, 0, 10'000);
    const std::vector<std::string> expected = {
        "Q → Y : 12 fois", "E → I : 5 fois", "K → M : 3 fois", "M → K : 3 fois", "5 → H : 2 fois",
    };
    ASSERT_EQ(stats.topConfusions.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(stats.topConfusions[i].Text(), expected[i]) << i;
    }
    // The arrow is U+2192 in UTF-8.
    EXPECT_EQ(stats.topConfusions[0].Text(), std::string("Q \xE2\x86\x92 Y : 12 fois"));
    EXPECT_EQ((ProgressStats::Confusion{'D', '6', 1}.Text()), std::string("D \xE2\x86\x92 6 : 1 fois"));

    const ProgressStats few = ProgressStats::Compute({Answer('S', 'H', 100), Answer('S', 'S', 100)}, 0, 10'000);
    ASSERT_EQ(few.topConfusions.size(), 1u);
    EXPECT_EQ(few.topConfusions[0].played, 'S');
    EXPECT_EQ(few.topConfusions[0].typed, 'H');
}

TEST(ProgressStats, PeriodsStartAtTheSessionSevenDaysAgoOrNever) {
    const int64_t nowMs = UtcMs(2026, 12, 7, 14, 30);
    const int64_t sessionMs = nowMs - 1'234'567;
    EXPECT_EQ(ProgressStats::PeriodStartMs(ProgressStats::Period::Session, sessionMs, nowMs), sessionMs);
    EXPECT_EQ(ProgressStats::PeriodStartMs(ProgressStats::Period::SevenDays, sessionMs, nowMs),
              UtcMs(2026, 11, 30, 14, 30));
    EXPECT_EQ(ProgressStats::PeriodStartMs(ProgressStats::Period::All, sessionMs, nowMs),
              std::numeric_limits<int64_t>::min());

    // The period limits the characters and the confusions; a record at the limit is inside it.
    const std::vector<AnswerRecord> records = {
        Answer('K', 'M', 100, sessionMs - 1),
        Answer('K', 'K', 100, sessionMs),
        Answer('K', 'K', 300, nowMs),
    };
    const ProgressStats session = ProgressStats::Compute(records, sessionMs, nowMs);
    EXPECT_EQ(Of(session, 'K').answers, 2);
    EXPECT_EQ(Of(session, 'K').correct, 2);
    EXPECT_DOUBLE_EQ(Of(session, 'K').medianResponseMs, 200.0);
    EXPECT_TRUE(session.topConfusions.empty());
    const ProgressStats all = ProgressStats::Compute(records, std::numeric_limits<int64_t>::min(), nowMs);
    EXPECT_EQ(Of(all, 'K').answers, 3);
    EXPECT_EQ(all.topConfusions.size(), 1u);
}

TEST(ProgressStats, DaysAreTheLastThirtyLocalDaysAcrossAClockChange) {
#ifdef _WIN32
    GTEST_SKIP() << "the Windows C library reads no summer time rule from TZ";
#endif
    CentralEuropeanTime zone;
    // Monday 30 March 2026, 10:00 summer time; summer time began on Sunday 29 March at 02:00,
    // so that day lasted 23 hours.
    const int64_t nowMs = UtcMs(2026, 3, 30, 8);
    struct Case {
        const char* name;
        int64_t atMs;
        int day; // index in days, -1 when outside the 30 days
        char typed;
    };
    const Case cases[] = {
        {"last minute before the first day", UtcMs(2026, 2, 28, 22, 59), -1, 'K'},
        {"first day, 00:30 winter time", UtcMs(2026, 2, 28, 23, 30), 0, 'K'},
        {"28 March, 23:59 winter time", UtcMs(2026, 3, 28, 22, 59), 27, 'K'},
        {"29 March, midnight", UtcMs(2026, 3, 28, 23, 0), 28, 'M'},
        {"29 March, 23:30 summer time", UtcMs(2026, 3, 29, 21, 30), 28, 'K'},
        {"30 March, 00:30 summer time", UtcMs(2026, 3, 29, 22, 30), 29, 'K'},
        {"now", nowMs, 29, 'M'},
        {"tomorrow", UtcMs(2026, 3, 30, 22, 0), -1, 'K'},
    };
    std::vector<AnswerRecord> records;
    std::array<int, 30> answers{};
    std::array<int, 30> correct{};
    for (const Case& c : cases) {
        records.push_back(Answer('K', c.typed, 100, c.atMs));
        if (c.day >= 0) {
            ++answers[static_cast<size_t>(c.day)];
            correct[static_cast<size_t>(c.day)] += c.typed == 'K' ? 1 : 0;
        }
    }
    // The days ignore the period: only today's answers are in the session, all 30 days show.
    const ProgressStats stats = ProgressStats::Compute(records, UtcMs(2026, 3, 30, 7), nowMs);
    EXPECT_EQ(Of(stats, 'K').answers, 2);
    for (size_t i = 0; i < 30; ++i) {
        EXPECT_EQ(stats.days[i].answers, answers[i]) << "day " << i;
        EXPECT_EQ(stats.days[i].correct, correct[i]) << "day " << i;
    }
    EXPECT_DOUBLE_EQ(stats.days[28].Accuracy(), 0.5);
    EXPECT_EQ(stats.days[0].year, 2026);
    EXPECT_EQ(stats.days[0].month, 3);
    EXPECT_EQ(stats.days[0].day, 1);
    EXPECT_EQ(stats.days[0].startMs, UtcMs(2026, 2, 28, 23));
    EXPECT_EQ(stats.days[28].startMs, UtcMs(2026, 3, 28, 23));
    EXPECT_EQ(stats.days[29].startMs, UtcMs(2026, 3, 29, 22));
    EXPECT_EQ(stats.days[29].day, 30);
    EXPECT_EQ(ProgressStats::DaysStartMs(nowMs), UtcMs(2026, 2, 28, 23));
}

namespace {

// The highest speed of each local day among the runs copied at 90 % or more; no clock change
// falls in these 30 days of Central European time, whose midnight is 23:00 UTC.
TEST(ProgressStats, BestCopySpeedOfEachDayAtNinetyPercent) {
    const CentralEuropeanTime zone;
    const int64_t nowMs = UtcMs(2026, 12, 7, 14, 30);
    const int64_t today = UtcMs(2026, 12, 6, 23);
    const std::vector<CopyRunRecord> runs = {
        {today + 1000, 20, 0, 10, 9},             // 90 %: counts
        {today + 2000, 24, 0, 10, 8},             // 80 %: does not
        {today + 3000, 22, 15, 20, 20},           // the best of today
        {today - 86'400'000, 30, 0, 3, 3},        // yesterday
        {today - 29LL * 86'400'000, 12, 0, 1, 1}, // the first of the 30 days
        {today - 30LL * 86'400'000, 40, 0, 1, 1}, // before them
        {today + 86'400'000, 50, 0, 1, 1},        // tomorrow
        {today + 4000, 60, 0, 0, 0},              // nothing played
    };
    const std::array<int, ProgressStats::kDayCount> best = ProgressStats::BestCopySpeeds(runs, nowMs);
    std::array<int, ProgressStats::kDayCount> expected{};
    expected[29] = 22;
    expected[28] = 30;
    expected[0] = 12;
    EXPECT_EQ(best, expected);
}

} // namespace
