// What the progress window's charts say in words: the weakest and the slowest characters, the
// trend of the last seven days, the copy speeds and the confusions. The figures are set by hand, and the French
// sentences, rounding and weekdays (from the calendar) are written out by hand.
#include "history/ProgressSummary.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

struct Counts {
    char symbol;
    int answers;
    int correct;
    double medianMs; // -1 for no key typed
};

ProgressStats StatsOf(const std::vector<Counts>& counts) {
    ProgressStats stats;
    for (const Counts& c : counts) {
        ProgressStats::Character& character = stats.characters[static_cast<size_t>(ProgressStats::KochIndex(c.symbol))];
        character.answers = c.answers;
        character.correct = c.correct;
        character.medianResponseMs = c.medianMs;
    }
    return stats;
}

struct DayCounts {
    int index; // in ProgressStats::days, 29 is today
    int year, month, day, answers, correct;
};

ProgressStats DaysOf(const std::vector<DayCounts>& days) {
    ProgressStats stats;
    for (const DayCounts& d : days) {
        ProgressStats::Day& day = stats.days[static_cast<size_t>(d.index)];
        day = {0, d.year, d.month, d.day, d.answers, d.correct};
    }
    return stats;
}

} // namespace

TEST(ProgressSummaryTest, CharactersInWords) {
    // S 0 %, R and M 25 % (R has more answers), Q 62.5 % (rounds up), K 90 %, then U and A at
    // 100 %, not listed; 42 right out of 68 is 61.8 %.
    const ProgressStats stats = StatsOf({{'K', 10, 9, 1450.0},
                                         {'M', 4, 1, 1300.4},
                                         {'Q', 40, 25, -1.0},
                                         {'R', 8, 2, 2000.5},
                                         {'S', 1, 0, 300.0},
                                         {'U', 2, 2, 1450.0},
                                         {'A', 3, 3, 800.0}});
    EXPECT_EQ(ProgressSummary::Weakest(stats),
              "les plus faibles S 0 % (1 réponse), R 25 % (8 réponses), M 25 % "
              "(4 réponses), Q 63 % (40 réponses), K 90 % (10 réponses) ; moyenne 62 %");
    // Slowest first; K before U at the same time (Koch order); Q typed nothing.
    EXPECT_EQ(ProgressSummary::Slowest(stats), "les plus lents R 2001 ms, K 1450 ms, U 1450 ms, M 1300 ms, A 800 ms");
    const ProgressStats none;
    EXPECT_EQ(ProgressSummary::Weakest(none), "aucune réponse");
    EXPECT_EQ(ProgressSummary::Slowest(StatsOf({{'K', 3, 0, -1.0}})), "aucun temps de réponse");
}

TEST(ProgressSummaryTest, TrendOfTheLastSevenDays) {
    const std::pair<std::vector<DayCounts>, std::string> cases[] = {
        // 7 December 2026 is a Monday; 30 November lies before the seven days; 3 December had no answer.
        {{{22, 2026, 11, 30, 50, 10},
          {23, 2026, 12, 1, 10, 8},
          {25, 2026, 12, 3, 0, 0},
          {26, 2026, 12, 4, 4, 3},
          {29, 2026, 12, 7, 20, 19}},
         "sur 7 jours : mardi 1 décembre 80 %, vendredi 4 décembre 75 %, lundi 7 décembre 95 % ; en hausse de 15 "
         "points"},
        {{{28, 2024, 12, 31, 3, 3}, {29, 2025, 1, 1, 100, 99}},
         "sur 7 jours : mardi 31 décembre 100 %, mercredi 1 janvier 99 % ; en baisse de 1 point"},
        {{{24, 2026, 8, 2, 4, 2}, {27, 2026, 8, 5, 2, 1}},
         "sur 7 jours : dimanche 2 août 50 %, mercredi 5 août 50 % ; stable"},
        {{{29, 2026, 2, 28, 7, 7}}, "sur 7 jours : samedi 28 février 100 %"},
        {{{22, 2026, 11, 30, 50, 10}}, "aucune réponse ces 7 derniers jours"},
    };
    for (const auto& [days, expected] : cases) {
        EXPECT_EQ(ProgressSummary::Trend(DaysOf(days)), expected);
    }
}

TEST(ProgressSummaryTest, CopySpeedsInWords) {
    // 7 December 2026 is a Monday; 30 November lies before the seven days.
    const ProgressStats stats = DaysOf({{22, 2026, 11, 30, 0, 0}, {23, 2026, 12, 1, 0, 0}, {29, 2026, 12, 7, 0, 0}});
    std::array<int, ProgressStats::kDayCount> best{};
    EXPECT_EQ(ProgressSummary::CopySpeeds(stats, best), "aucune copie à 90 % ou plus ces 30 derniers jours");
    best[22] = 22;
    EXPECT_EQ(ProgressSummary::CopySpeeds(stats, best),
              "meilleure vitesse sur 30 jours : 22 mots/min ; aucune ces 7 derniers jours");
    best[23] = 18;
    best[29] = 20;
    EXPECT_EQ(ProgressSummary::CopySpeeds(stats, best), "meilleure vitesse sur 30 jours : 22 mots/min ; sur 7 jours : "
                                                        "mardi 1 décembre 18 mots/min, lundi 7 décembre 20 mots/min");
}

TEST(ProgressSummaryTest, ConfusionInWords) {
    EXPECT_EQ(ProgressSummary::Spoken({'Q', 'Y', 12}), "Q pris pour Y : 12 fois");
    EXPECT_EQ(ProgressSummary::Spoken({'5', 'H', 1}), "5 pris pour H : 1 fois");
}
