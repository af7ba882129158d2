#include "ui/PracticeTexts.h"

#include "morse/MorseTable.h"

namespace {

constexpr const char* kKeyboardLineFormat = "Caractère %c     %s";
constexpr const char* kScoreFormat = "Score: %d sur %d";
constexpr const char* kScoreWithPreviousFormat = "Score: %d sur %d\nPrécédent:%c";
constexpr const char* kPatternFormat = "Caractère      %s";

struct CodeText {
    char text[MorseTable::kTextLength + 1] = {};
};

CodeText TextOf(int32_t index) {
    CodeText code;
    MorseTable().CodeToText(index, code.text);
    return code;
}

} // namespace

QString PracticeTexts::KeyboardLine(int32_t index) {
    return QString::asprintf(kKeyboardLineFormat, MorseTable().IndexToChar(index), TextOf(index).text);
}

QString PracticeTexts::Score(int32_t score, int32_t total) {
    return QString::asprintf(kScoreFormat, score, total);
}

QString PracticeTexts::ScoreWithPrevious(int32_t score, int32_t total, int32_t previousIndex) {
    return QString::asprintf(kScoreWithPreviousFormat, score, total, MorseTable().IndexToChar(previousIndex));
}

QString PracticeTexts::Pattern(int32_t index) {
    return QString::asprintf(kPatternFormat, TextOf(index).text);
}
