#pragma once

#include <QPointer>

#include <cstdint>

class AnnouncedLabel;

// The main window's practice lines: the typed character (1030) and the dictated pattern (1025),
// each shown only while its "Montrer" box (1029, 1024) is on, and the score (1028). Both boxes
// start off. Each line is announced to screen readers as it changes, in words for the ear.
class PracticeDisplay {
public:
    void Bind(AnnouncedLabel* keyboardLine, AnnouncedLabel* patternLine, AnnouncedLabel* scoreLine);

    bool ShowsKeyboard() const { return showKeyboard; }
    bool ShowsDictation() const { return showDictation; }
    // Both "Montrer" boxes off, the lines left as they are.
    void HideBoth();

    // "Montrer" 1029: switches the keyboard line on or off and blanks it.
    void ToggleKeyboard();
    // The key of index (MorseTable::kNoIndex: none) on the keyboard line, when it is shown.
    void ShowKey(int32_t index);

    // "Montrer" 1024: switches the pattern line on or off and blanks it.
    void ToggleDictation();
    // The pattern of the character of index on the pattern line, when it is shown.
    void ShowPattern(int32_t index);
    // At Play: the score alone, announced with no value.
    void ShowScore(int32_t score, int32_t total);
    // At each tick: the score with the character just played, announced as score out of total.
    void ShowScoreWithPrevious(int32_t score, int32_t total, int32_t previousIndex);

private:
    QPointer<AnnouncedLabel> keyboardText;  // 1030
    QPointer<AnnouncedLabel> dictationText; // 1025
    QPointer<AnnouncedLabel> scoreText;     // 1028
    bool showDictation = false;             // "Montrer" 1024
    bool showKeyboard = false;              // "Montrer" 1029
};
