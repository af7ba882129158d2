#pragma once

#include "history/AnswerRecord.h"
#include "morse/MorseTable.h"

#include <array>
#include <cstdint>
#include <random>
#include <vector>

// Draws the characters of the random dictation under the Koch lesson and adaptive settings.
//
// - Lesson 0 and adaptive off: the draw of RandomPicker, unchanged (the runtime library's
//   generator seeded with the calendar second before every pick, modulo 36).
// - Otherwise the characters in play are those of the lesson (all 36 for lesson 0), drawn with
//   a std::mt19937 that Start() seeds once per Play: uniformly, or, adaptive on, in proportion
//   to the AdaptiveWeights of their last answers. Learn() adds each scored answer, so the
//   weights follow the run.
//
// Used on the UI thread only.
class LessonPicker {
public:
    LessonPicker();

    // lesson: a KochLessons lesson (anything but 2-41 counts as 0).
    void Configure(int32_t lesson, bool adaptive);

    int32_t Lesson() const { return lesson; }
    bool Adaptive() const { return adaptive; }

    // True when the draw is RandomPicker's.
    bool IsPlain() const { return lesson == 0 && !adaptive; }

    // At each Play: seeds the generator and takes the last answers of each character (any
    // order; the history's LastAnswersPerCharacter) for the weights.
    void Start(uint32_t seed, const std::vector<AnswerRecord>& recentAnswers);

    // Replaces the answers the weights come from, keeping the generator where it is.
    void SetRecentAnswers(const std::vector<AnswerRecord>& recentAnswers);

    // One more scored answer, for the weights.
    void Learn(const AnswerRecord& answer);

    // The next character index, 0-25 'A'-'Z', 26-35 '0'-'9', a sign index of the lesson's
    // punctuation (36 to 40) in lessons 37 to 41.
    int32_t PickIndex();

    // The character indices in play and their weights (all 1 when not adaptive), in Koch order.
    const std::vector<int32_t>& Candidates() const { return candidates; }
    std::vector<double> Weights() const;

private:
    void Reweigh();

    int32_t lesson = 0;
    bool adaptive = false;
    std::vector<int32_t> candidates;
    std::array<std::vector<AnswerRecord>, MorseTable::kSignCount> recentByIndex; // newest first, at most the window
    std::vector<double> cumulative; // running sums of the candidates' weights
    std::mt19937 generator;
};
