#include "practice/KochLessons.h"

#include "morse/MorseTable.h"

#include <algorithm>

namespace {

// Lesson 0: every character, in index order.
std::string AllInIndexOrder() {
    std::string all;
    for (int32_t index = 0; index < MorseTable::kCharacterCount; ++index) {
        all += MorseTable().IndexToChar(index);
    }
    return all;
}

} // namespace

int32_t KochLessons::Validated(int32_t stored) {
    return stored >= kFirstLesson && stored <= kLastLesson ? stored : kOff;
}

std::string KochLessons::Characters(int32_t lesson) {
    const int32_t valid = Validated(lesson);
    if (valid == kOff) {
        return AllInIndexOrder();
    }
    return std::string(kOrder.substr(0, static_cast<size_t>(valid)));
}

std::vector<int32_t> KochLessons::Indices(int32_t lesson) {
    std::vector<int32_t> indices;
    for (const char c : Characters(lesson)) {
        indices.push_back(MorseTable().IndexOfSign(std::string_view(&c, 1)));
    }
    return indices;
}

bool KochLessons::NextLessonDue(int32_t lesson, const std::vector<AnswerRecord>& lessonAnswers) {
    const int32_t valid = Validated(lesson);
    if (valid == kOff || valid == kLastLesson || lessonAnswers.size() < static_cast<size_t>(kAnswersToPass)) {
        return false;
    }
    const auto last = lessonAnswers.begin() + kAnswersToPass;
    const auto right = std::count_if(lessonAnswers.begin(), last,
                                     [](const AnswerRecord& r) { return r.typed != 0 && r.typed == r.played; });
    return right >= kRightToPass;
}
