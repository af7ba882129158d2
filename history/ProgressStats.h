#pragma once

#include "history/AnswerRecord.h"
#include "history/CopyRunRecord.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Figures of the progress window, computed from the answers of the history.
// Characters are indexed in Koch order: index 0 is 'K', index 35 is 'X'.
class ProgressStats {
public:
    static constexpr std::string_view kKochOrder = "KMRSUAPTLOWINJEFYVG5Q9ZH38B427C1D60X";
    static constexpr int kCharacterCount = 36;
    static constexpr int kDayCount = 30; // days of the accuracy line, today included
    static constexpr int kTopConfusionCount = 5;
    static constexpr int64_t kDayMs = 86'400'000;

    // The periods the window offers.
    enum class Period { Session, SevenDays, All };

    struct Character {
        char symbol = 0;
        int answers = 0;
        int correct = 0;                // typed == played
        double medianResponseMs = -1.0; // [ms] over the answers with a key; -1 when none
        double Accuracy() const { return answers == 0 ? 0.0 : static_cast<double>(correct) / answers; }
    };

    struct Confusion {
        char played = 0;
        char typed = 0;
        int count = 0;
        std::string Text() const; // "Q → Y : 12 fois", UTF-8
    };

    struct Day {
        int64_t startMs = 0; // [ms] local midnight at which the day begins
        int year = 0;
        int month = 0; // 1-12
        int day = 0;   // 1-31
        int answers = 0;
        int correct = 0;
        double Accuracy() const { return answers == 0 ? 0.0 : static_cast<double>(correct) / answers; }
    };

    // First moment [ms] of a period: the session's start, seven times 24 hours before now, or
    // the beginning of time.
    static int64_t PeriodStartMs(Period period, int64_t sessionStartMs, int64_t nowMs);

    // Local midnight [ms] that begins the first of the 30 days of the accuracy line.
    static int64_t DaysStartMs(int64_t nowMs);

    // The figures of the answers at or after sinceMs (per character, confusions), and of the
    // 30 local days that end with today's (whatever sinceMs says). Records are in any order.
    static ProgressStats Compute(const std::vector<AnswerRecord>& records, int64_t sinceMs, int64_t nowMs);

    // Index of a character in Koch order, or -1 for anything else (lower case counts as upper).
    static int KochIndex(char symbol);

    // For each of the 30 days (oldest first, today last): the highest character speed
    // [words/min] of the copy runs of that day with at least 90 % of their signs right; 0 for a
    // day without one.
    static std::array<int, kDayCount> BestCopySpeeds(const std::vector<CopyRunRecord>& runs, int64_t nowMs);

    int TotalAnswers() const;
    int TotalCorrect() const;

    std::array<Character, kCharacterCount> characters{};
    // confusions[played][typed], both in Koch order; the diagonal holds the right answers.
    std::array<std::array<int, kCharacterCount>, kCharacterCount> matrix{};
    std::array<int, kCharacterCount> unanswered{}; // per played character: no key typed
    std::vector<Confusion> topConfusions;          // at most five, most frequent first
    std::array<Day, kDayCount> days{};             // oldest first, today last
};
