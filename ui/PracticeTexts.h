#pragma once

#include <QString>

#include <cstdint>
#include <string_view>

// The lines the main window shows for the practices, built from the Morse table: the typed
// character with its code, the score, and the pattern of the character being dictated.
class PracticeTexts {
public:
    // "Caractère %c     %s": the character of index, five spaces, its code text.
    static QString KeyboardLine(int32_t index);
    // "Score: %d sur %d".
    static QString Score(int32_t score, int32_t total);
    // "Score: %d sur %d\nPrécédent:%c" with the character of previousIndex.
    static QString ScoreWithPrevious(int32_t score, int32_t total, int32_t previousIndex);
    // "Caractère      %s" (six spaces) with the code text of index.
    static QString Pattern(int32_t index);

    // The same lines as a screen reader says them: the code as French Morse words ("point",
    // "trait"), the punctuation spoken.
    // "A : point trait".
    static QString SpokenKeyboardLine(int32_t index);
    // "Score : %d sur %d".
    static QString SpokenScore(int32_t score, int32_t total);
    // "Score : %d sur %d, précédent : %c".
    static QString SpokenScoreWithPrevious(int32_t score, int32_t total, int32_t previousIndex);
    // "point trait": the code of index alone.
    static QString SpokenPattern(int32_t index);

    // A sign as a listener hears it: a letter or digit as itself, punctuation by its French name
    // ("virgule", "barre oblique"), a prosign by its letters ("A R"); "inconnu" for no sign.
    static QString SpokenSign(int32_t index);
    // Each character of text in turn, separated by spaces, punctuation by its name: "A R",
    // "B virgule".
    static QString SpokenText(std::string_view text);
};
