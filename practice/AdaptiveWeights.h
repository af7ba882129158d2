#pragma once

#include "history/AnswerRecord.h"

#include <cstdint>
#include <vector>

// The weights of the adaptive drill: how often each character comes up, from its last answers.
//
// For one character, over its last n <= kWindow answers (newest by atMs):
//   e = wrong answers / n                        (no key, or another key, is wrong)
//   s = min(median response_ms / kSlowMs, 1)     (median over the answers with a response;
//                                                 s = 1 when none has one)
//   weight = kFloor + kErrorGain * e + kSlowGain * s
// and a character with fewer than kWeakBelow answers weighs as much as possible,
// kFloor + kErrorGain + kSlowGain, as if always missed.
// So an always-right character weighs 1 to 2 and an always-missed one 20 to 21 (at least 10
// times as much), and every character weighs at least kFloor, so it still comes up.
class AdaptiveWeights {
public:
    static constexpr int32_t kWindow = 50;    // answers of a character taken into account
    static constexpr int32_t kWeakBelow = 10; // fewer answers than this: weak
    static constexpr double kFloor = 1.0;
    static constexpr double kErrorGain = 19.0;
    static constexpr double kSlowGain = 1.0;
    static constexpr int64_t kSlowMs = 3000; // [ms] a median response this long or longer counts as slowest
    static constexpr double kMaxWeight = kFloor + kErrorGain + kSlowGain;

    // The weight of one character from its answers, newest first (only the first kWindow count).
    // LessonPicker keeps each character's answers in that order and draws with these weights.
    static double WeightOf(const std::vector<AnswerRecord>& newestFirst);
};
