#pragma once

#include "history/AnswerRecord.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The Koch lessons of the random dictation: lesson N (2 to 41) draws only from the first N
// signs of the Koch order, and lesson 0 is off (all 36 characters, drawn as ever). Lessons 2
// to 36 hold the letters and digits; 37 to 41 add the punctuation . , ? / = in that order.
class KochLessons {
public:
    static constexpr std::string_view kOrder = "KMRSUAPTLOWINJEFYVG5Q9ZH38B427C1D60X.,?/=";
    static constexpr int32_t kOff = 0;
    static constexpr int32_t kFirstLesson = 2;
    static constexpr int32_t kLastLesson = 41;
    static constexpr int32_t kLastCharacterLesson = 36; // the first with all 36 letters and digits
    static constexpr int32_t kAnswersToPass = 100;      // answers in a lesson before the next one is offered
    static constexpr int32_t kRightToPass = 90;         // right answers among the last kAnswersToPass

    // A stored lesson number as the program takes it: 2 to 41 as they are, anything else 0.
    static int32_t Validated(int32_t stored);

    // The characters of a lesson in Koch order; lesson 0: "A"-"Z" then "0"-"9".
    static std::string Characters(int32_t lesson);

    // The sign indices of Characters(lesson), in the same order: 0-25 'A'-'Z', 26-35 '0'-'9',
    // and MorseTable's indices of the punctuation (36 '.', 37 ',', 38 '?', 39 '/', 40 '=').
    static std::vector<int32_t> Indices(int32_t lesson);

    // Whether the next lesson is to be offered: at least kAnswersToPass answers were given in
    // `lesson` and at least kRightToPass of the last kAnswersToPass are right. lessonAnswers are
    // the answers given in that lesson, newest first. Never true for lesson 0 or the last lesson.
    static bool NextLessonDue(int32_t lesson, const std::vector<AnswerRecord>& lessonAnswers);
};
