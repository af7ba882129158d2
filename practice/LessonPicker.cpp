#include "practice/LessonPicker.h"

#include "morse/MorseTable.h"
#include "morse/RandomPicker.h"
#include "practice/AdaptiveWeights.h"
#include "practice/KochLessons.h"

#include <algorithm>
#include <numeric>

LessonPicker::LessonPicker() : candidates(KochLessons::Indices(KochLessons::kOff)) {
    Reweigh();
}

void LessonPicker::Configure(int32_t newLesson, bool newAdaptive) {
    lesson = KochLessons::Validated(newLesson);
    adaptive = newAdaptive;
    candidates = KochLessons::Indices(lesson);
    Reweigh();
}

void LessonPicker::Start(uint32_t seed, const std::vector<AnswerRecord>& recentAnswers) {
    generator.seed(seed);
    SetRecentAnswers(recentAnswers);
}

void LessonPicker::SetRecentAnswers(const std::vector<AnswerRecord>& recentAnswers) {
    for (std::vector<AnswerRecord>& own : recentByIndex) {
        own.clear();
    }
    for (const AnswerRecord& r : recentAnswers) {
        const int32_t index = MorseTable().IndexOfSign(std::string_view(&r.played, 1));
        if (index >= 0) {
            recentByIndex[static_cast<size_t>(index)].push_back(r);
        }
    }
    for (std::vector<AnswerRecord>& own : recentByIndex) {
        std::stable_sort(own.begin(), own.end(),
                         [](const AnswerRecord& a, const AnswerRecord& b) { return a.atMs > b.atMs; });
        if (own.size() > static_cast<size_t>(AdaptiveWeights::kWindow)) {
            own.resize(AdaptiveWeights::kWindow);
        }
    }
    Reweigh();
}

void LessonPicker::Learn(const AnswerRecord& answer) {
    const int32_t index = MorseTable().IndexOfSign(std::string_view(&answer.played, 1));
    if (index < 0) {
        return;
    }
    std::vector<AnswerRecord>& own = recentByIndex[static_cast<size_t>(index)];
    own.insert(own.begin(), answer);
    if (own.size() > static_cast<size_t>(AdaptiveWeights::kWindow)) {
        own.pop_back();
    }
    if (adaptive) {
        Reweigh();
    }
}

int32_t LessonPicker::PickIndex() {
    if (IsPlain()) {
        return RandomPicker::PickIndex();
    }
    if (!adaptive) {
        std::uniform_int_distribution<size_t> uniform(0, candidates.size() - 1);
        return candidates[uniform(generator)];
    }
    std::uniform_real_distribution<double> point(0.0, cumulative.back());
    const auto chosen = std::upper_bound(cumulative.begin(), cumulative.end(), point(generator));
    const size_t slot = std::min(static_cast<size_t>(chosen - cumulative.begin()), candidates.size() - 1);
    return candidates[slot];
}

std::vector<double> LessonPicker::Weights() const {
    std::vector<double> weights(cumulative.size());
    std::adjacent_difference(cumulative.begin(), cumulative.end(), weights.begin());
    return weights;
}

void LessonPicker::Reweigh() {
    cumulative.resize(candidates.size());
    double sum = 0.0;
    for (size_t i = 0; i < candidates.size(); ++i) {
        sum += adaptive ? AdaptiveWeights::WeightOf(recentByIndex[static_cast<size_t>(candidates[i])]) : 1.0;
        cumulative[i] = sum;
    }
}
