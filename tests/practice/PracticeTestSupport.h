#pragma once

// A synthesiser with its buffers for the practice tests, and the Morse of the 36 characters
// written out by hand, to compare what a practice loaded.
#include "morse/MorseCode.h"
#include "morse/MorseTable.h"
#include "morse/Synthesiser.h"

#include <gtest/gtest.h>

#include <string>

// International Morse of the 36 characters in index order, 'A'-'Z' then '0'-'9'.
inline const char* const kMorse[36] = {".-",    "-...",  "-.-.",  "-..",   ".",     "..-.",  "--.",   "....",  "..",
                                       ".---",  "-.-",   ".-..",  "--",    "-.",    "---",   ".--.",  "--.-",  ".-.",
                                       "...",   "-",     "..-",   "...-",  ".--",   "-..-",  "-.--",  "--..",  "-----",
                                       ".----", "..---", "...--", "....-", ".....", "-....", "--...", "---..", "----."};

// A code as dots and dashes: Dih 1, Dah 2, Gap 0 skipped, End 3 ends it.
inline std::string MorseOf(const MorseCode& code) {
    std::string text;
    for (int32_t element : code.codes) {
        if (element == End) {
            break;
        }
        if (element != Gap) {
            text += element == Dih ? '.' : '-';
        }
    }
    return text;
}

class PracticeTest : public ::testing::Test {
protected:
    PracticeTest() { synthesiser.Initialise(); }

    // Renders one frame, as the audio thread would, and says whether the walk then plays a
    // character: true after a PlayCode, false after a silent slot or with nothing started.
    bool Sounding() {
        int32_t frames = 1;
        synthesiser.Render(&frames);
        return synthesiser.AudioState().playing;
    }
    // What is loaded for the synthesiser's next restart.
    std::string Loaded() const { return MorseOf(synthesiser.currentCode); }
    // Silences the synthesiser and leaves nothing loaded.
    void Reset() {
        synthesiser.PlaySilentSlot();
        Sounding();
        for (int32_t& element : synthesiser.currentCode.codes) {
            element = End;
        }
    }

    MorseTable table;
    Synthesiser synthesiser;
};
