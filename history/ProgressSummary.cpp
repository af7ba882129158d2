#include "history/ProgressSummary.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace ProgressSummary {

namespace {

int Percent(double fraction) {
    return static_cast<int>(std::lround(100.0 * fraction));
}

std::string Symbol(int index) {
    return std::string(1, ProgressStats::kKochOrder[static_cast<size_t>(index)]);
}

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int year, int month, int day) {
    const int64_t y = month <= 2 ? year - 1 : year;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yearOfEra = y - era * 400;
    const int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// "lundi 1 décembre".
std::string DayName(const ProgressStats::Day& day) {
    static constexpr std::array<const char*, 7> kWeekdays = {"jeudi", "vendredi", "samedi",  "dimanche",
                                                             "lundi", "mardi",    "mercredi"}; // from 1970-01-01
    static constexpr std::array<const char*, 12> kMonths = {"janvier",   "février", "mars",     "avril",
                                                            "mai",       "juin",    "juillet",  "août",
                                                            "septembre", "octobre", "novembre", "décembre"};
    const int64_t days = DaysFromCivil(day.year, day.month, day.day);
    const int64_t weekday = ((days % 7) + 7) % 7;
    const int month = std::clamp(day.month, 1, 12);
    return std::string(kWeekdays[static_cast<size_t>(weekday)]) + " " + std::to_string(day.day) + " " +
           kMonths[static_cast<size_t>(month - 1)];
}

std::string Answers(int count) {
    return std::to_string(count) + (count == 1 ? " réponse" : " réponses");
}

std::string Points(int count) {
    return std::to_string(count) + (count == 1 ? " point" : " points");
}

} // namespace

std::string Weakest(const ProgressStats& stats) {
    std::vector<int> answered;
    for (int i = 0; i < ProgressStats::kCharacterCount; ++i) {
        if (stats.characters[static_cast<size_t>(i)].answers > 0) {
            answered.push_back(i);
        }
    }
    if (answered.empty()) {
        return "aucune réponse";
    }
    std::stable_sort(answered.begin(), answered.end(), [&stats](int a, int b) {
        const ProgressStats::Character& left = stats.characters[static_cast<size_t>(a)];
        const ProgressStats::Character& right = stats.characters[static_cast<size_t>(b)];
        // Compared as fractions, exactly: correct_a / answers_a < correct_b / answers_b.
        const int64_t leftCross = int64_t{left.correct} * right.answers;
        const int64_t rightCross = int64_t{right.correct} * left.answers;
        if (leftCross != rightCross) {
            return leftCross < rightCross;
        }
        return left.answers > right.answers;
    });
    std::string text = "les plus faibles ";
    const size_t listed = std::min(answered.size(), static_cast<size_t>(kListed));
    for (size_t n = 0; n < listed; ++n) {
        const ProgressStats::Character& character = stats.characters[static_cast<size_t>(answered[n])];
        text += (n == 0 ? "" : ", ") + Symbol(answered[n]) + " " + std::to_string(Percent(character.Accuracy())) +
                " % (" + Answers(character.answers) + ")";
    }
    const int total = stats.TotalAnswers();
    return text + " ; moyenne " +
           std::to_string(Percent(static_cast<double>(stats.TotalCorrect()) / static_cast<double>(total))) + " %";
}

std::string Slowest(const ProgressStats& stats) {
    std::vector<int> timed;
    for (int i = 0; i < ProgressStats::kCharacterCount; ++i) {
        if (stats.characters[static_cast<size_t>(i)].medianResponseMs >= 0.0) {
            timed.push_back(i);
        }
    }
    if (timed.empty()) {
        return "aucun temps de réponse";
    }
    std::stable_sort(timed.begin(), timed.end(), [&stats](int a, int b) {
        return stats.characters[static_cast<size_t>(a)].medianResponseMs >
               stats.characters[static_cast<size_t>(b)].medianResponseMs;
    });
    std::string text = "les plus lents ";
    const size_t listed = std::min(timed.size(), static_cast<size_t>(kListed));
    for (size_t n = 0; n < listed; ++n) {
        const double medianMs = stats.characters[static_cast<size_t>(timed[n])].medianResponseMs;
        text += (n == 0 ? "" : ", ") + Symbol(timed[n]) + " " + std::to_string(std::llround(medianMs)) + " ms";
    }
    return text;
}

std::string Trend(const ProgressStats& stats) {
    std::vector<const ProgressStats::Day*> active;
    for (size_t i = stats.days.size() - kTrendDays; i < stats.days.size(); ++i) {
        if (stats.days[i].answers > 0) {
            active.push_back(&stats.days[i]);
        }
    }
    if (active.empty()) {
        return "aucune réponse ces " + std::to_string(kTrendDays) + " derniers jours";
    }
    std::string text = "sur " + std::to_string(kTrendDays) + " jours : ";
    for (size_t n = 0; n < active.size(); ++n) {
        text +=
            (n == 0 ? "" : ", ") + DayName(*active[n]) + " " + std::to_string(Percent(active[n]->Accuracy())) + " %";
    }
    if (active.size() < 2) {
        return text;
    }
    const int change = Percent(active.back()->Accuracy()) - Percent(active.front()->Accuracy());
    if (change > 0) {
        return text + " ; en hausse de " + Points(change);
    }
    if (change < 0) {
        return text + " ; en baisse de " + Points(-change);
    }
    return text + " ; stable";
}

std::string CopySpeeds(const ProgressStats& stats, const std::array<int, ProgressStats::kDayCount>& best) {
    const int highest = *std::max_element(best.begin(), best.end());
    if (highest <= 0) {
        return "aucune copie à 90 % ou plus ces " + std::to_string(ProgressStats::kDayCount) + " derniers jours";
    }
    std::string recent;
    for (size_t i = best.size() - kTrendDays; i < best.size(); ++i) {
        if (best[i] > 0) {
            recent +=
                (recent.empty() ? "" : ", ") + DayName(stats.days[i]) + " " + std::to_string(best[i]) + " mots/min";
        }
    }
    return "meilleure vitesse sur " + std::to_string(ProgressStats::kDayCount) + " jours : " + std::to_string(highest) +
           " mots/min ; " +
           (recent.empty() ? "aucune ces " + std::to_string(kTrendDays) + " derniers jours"
                           : "sur " + std::to_string(kTrendDays) + " jours : " + recent);
}

std::string Spoken(const ProgressStats::Confusion& confusion) {
    return std::string(1, confusion.played) + " pris pour " + std::string(1, confusion.typed) + " : " +
           std::to_string(confusion.count) + " fois";
}

} // namespace ProgressSummary
