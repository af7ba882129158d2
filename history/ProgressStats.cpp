#include "history/ProgressStats.h"

#include <algorithm>
#include <cctype>
#include <ctime>
#include <limits>

namespace {

std::tm LocalTime(std::time_t time) {
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &time);
#else
    localtime_r(&time, &local);
#endif
    return local;
}

// Local midnight [ms] of the day that lies dayOffset days from the local day of nowMs. mktime
// normalises the day of the month and picks summer or winter time itself, so the days of a
// clock change last 23 or 25 hours as they do on the wall.
int64_t LocalMidnightMs(int64_t nowMs, int dayOffset, std::tm* dayOut) {
    const std::time_t now = static_cast<std::time_t>(nowMs / 1000);
    std::tm local = LocalTime(now);
    local.tm_mday += dayOffset;
    local.tm_hour = 0;
    local.tm_min = 0;
    local.tm_sec = 0;
    local.tm_isdst = -1;
    const std::time_t midnight = std::mktime(&local);
    if (dayOut != nullptr) {
        *dayOut = local;
    }
    return static_cast<int64_t>(midnight) * 1000;
}

// Median of values, which it reorders; the mean of the two middle values for an even count.
double Median(std::vector<int64_t>& values) {
    if (values.empty()) {
        return -1.0;
    }
    const size_t middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(middle), values.end());
    const double upper = static_cast<double>(values[middle]);
    if (values.size() % 2 == 1) {
        return upper;
    }
    const int64_t lower = *std::max_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(middle));
    return (static_cast<double>(lower) + upper) / 2.0;
}

} // namespace

std::string ProgressStats::Confusion::Text() const {
    return std::string(1, played) + " \xE2\x86\x92 " + std::string(1, typed) + " : " + std::to_string(count) + " fois";
}

int ProgressStats::KochIndex(char symbol) {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(symbol)));
    const size_t at = upper == 0 ? std::string_view::npos : kKochOrder.find(upper);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

int64_t ProgressStats::PeriodStartMs(Period period, int64_t sessionStartMs, int64_t nowMs) {
    switch (period) {
    case Period::Session:
        return sessionStartMs;
    case Period::SevenDays:
        return nowMs - 7 * kDayMs;
    case Period::All:
        break;
    }
    return std::numeric_limits<int64_t>::min();
}

int64_t ProgressStats::DaysStartMs(int64_t nowMs) {
    return LocalMidnightMs(nowMs, 1 - kDayCount, nullptr);
}

ProgressStats ProgressStats::Compute(const std::vector<AnswerRecord>& records, int64_t sinceMs, int64_t nowMs) {
    ProgressStats stats;
    for (int i = 0; i < kCharacterCount; ++i) {
        stats.characters[static_cast<size_t>(i)].symbol = kKochOrder[static_cast<size_t>(i)];
    }
    // Day boundaries: boundaries[i] begins day i, boundaries[kDayCount] ends today.
    std::array<int64_t, kDayCount + 1> boundaries{};
    for (int i = 0; i <= kDayCount; ++i) {
        std::tm day{};
        boundaries[static_cast<size_t>(i)] = LocalMidnightMs(nowMs, i + 1 - kDayCount, &day);
        if (i < kDayCount) {
            Day& entry = stats.days[static_cast<size_t>(i)];
            entry.startMs = boundaries[static_cast<size_t>(i)];
            entry.year = day.tm_year + 1900;
            entry.month = day.tm_mon + 1;
            entry.day = day.tm_mday;
        }
    }

    std::array<std::vector<int64_t>, kCharacterCount> responses;
    for (const AnswerRecord& record : records) {
        const int played = KochIndex(record.played);
        if (played < 0) {
            continue;
        }
        const bool right = record.typed != 0 && KochIndex(record.typed) == played;
        if (record.atMs >= boundaries.front() && record.atMs < boundaries.back()) {
            const auto next = std::upper_bound(boundaries.begin(), boundaries.end(), record.atMs);
            Day& day = stats.days[static_cast<size_t>(next - boundaries.begin() - 1)];
            ++day.answers;
            day.correct += right ? 1 : 0;
        }
        if (record.atMs < sinceMs) {
            continue;
        }
        Character& character = stats.characters[static_cast<size_t>(played)];
        ++character.answers;
        character.correct += right ? 1 : 0;
        const int typed = KochIndex(record.typed);
        if (typed >= 0) {
            ++stats.matrix[static_cast<size_t>(played)][static_cast<size_t>(typed)];
        } else if (record.typed == 0) {
            ++stats.unanswered[static_cast<size_t>(played)];
        }
        if (record.typed != 0 && record.responseMs >= 0) {
            responses[static_cast<size_t>(played)].push_back(record.responseMs);
        }
    }

    for (int i = 0; i < kCharacterCount; ++i) {
        stats.characters[static_cast<size_t>(i)].medianResponseMs = Median(responses[static_cast<size_t>(i)]);
        for (int j = 0; j < kCharacterCount; ++j) {
            const int count = stats.matrix[static_cast<size_t>(i)][static_cast<size_t>(j)];
            if (i != j && count > 0) {
                stats.topConfusions.push_back(
                    {kKochOrder[static_cast<size_t>(i)], kKochOrder[static_cast<size_t>(j)], count});
            }
        }
    }
    // Most frequent first; ties in Koch order of the played, then of the typed character, which
    // is the order they were gathered in.
    std::stable_sort(stats.topConfusions.begin(), stats.topConfusions.end(),
                     [](const Confusion& a, const Confusion& b) { return a.count > b.count; });
    if (stats.topConfusions.size() > static_cast<size_t>(kTopConfusionCount)) {
        stats.topConfusions.resize(static_cast<size_t>(kTopConfusionCount));
    }
    return stats;
}

std::array<int, ProgressStats::kDayCount> ProgressStats::BestCopySpeeds(const std::vector<CopyRunRecord>& runs,
                                                                        int64_t nowMs) {
    std::array<int64_t, kDayCount + 1> boundaries{};
    for (int i = 0; i <= kDayCount; ++i) {
        boundaries[static_cast<size_t>(i)] = LocalMidnightMs(nowMs, i + 1 - kDayCount, nullptr);
    }
    std::array<int, kDayCount> best{};
    for (const CopyRunRecord& run : runs) {
        const bool copied = run.played > 0 && run.correct * 10 >= run.played * 9;
        if (!copied || run.atMs < boundaries.front() || run.atMs >= boundaries.back()) {
            continue;
        }
        const auto next = std::upper_bound(boundaries.begin(), boundaries.end(), run.atMs);
        int& day = best[static_cast<size_t>(next - boundaries.begin() - 1)];
        day = std::max(day, static_cast<int>(run.wpm));
    }
    return best;
}

int ProgressStats::TotalAnswers() const {
    int total = 0;
    for (const Character& character : characters) {
        total += character.answers;
    }
    return total;
}

int ProgressStats::TotalCorrect() const {
    int total = 0;
    for (const Character& character : characters) {
        total += character.correct;
    }
    return total;
}
