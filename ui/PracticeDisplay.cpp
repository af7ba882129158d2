#include "ui/PracticeDisplay.h"

#include "morse/MorseTable.h"
#include "ui/AnnouncedLabel.h"
#include "ui/PracticeTexts.h"

void PracticeDisplay::Bind(AnnouncedLabel* keyboardLine, AnnouncedLabel* patternLine, AnnouncedLabel* scoreLine) {
    keyboardText = keyboardLine;
    dictationText = patternLine;
    scoreText = scoreLine;
}

void PracticeDisplay::HideBoth() {
    showDictation = false;
    showKeyboard = false;
}

void PracticeDisplay::ToggleKeyboard() {
    showKeyboard = !showKeyboard;
    keyboardText->setText(QStringLiteral(" "));
}

void PracticeDisplay::ShowKey(int32_t index) {
    if (index != MorseTable::kNoIndex && showKeyboard) {
        keyboardText->Announce(PracticeTexts::KeyboardLine(index), PracticeTexts::SpokenKeyboardLine(index));
    }
}

void PracticeDisplay::ToggleDictation() {
    showDictation = !showDictation;
    dictationText->setText(QStringLiteral(" "));
}

void PracticeDisplay::ShowPattern(int32_t index) {
    if (showDictation) {
        dictationText->Announce(PracticeTexts::Pattern(index), PracticeTexts::SpokenPattern(index));
    }
}

void PracticeDisplay::ShowScore(int32_t score, int32_t total) {
    scoreText->Announce(PracticeTexts::Score(score, total), 0, 0, PracticeTexts::SpokenScore(score, total));
}

void PracticeDisplay::ShowScoreWithPrevious(int32_t score, int32_t total, int32_t previousIndex) {
    scoreText->Announce(PracticeTexts::ScoreWithPrevious(score, total, previousIndex), score, total,
                        PracticeTexts::SpokenScoreWithPrevious(score, total, previousIndex));
}
