#pragma once

#include "material/CallsignGenerator.h"
#include "material/QsoGenerator.h"
#include "material/SeededDraw.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The text of a copy run: count items, parted by spaces. The same seed always gives the same
// texts.
class CopyMaterial {
public:
    // What a run is made of, as the settings store it (CopyMaterial).
    enum Kind : int32_t { kGroups = 0, kFrenchWords = 1, kEnglishWords = 2, kCallsigns = 3, kQso = 4 };
    static constexpr int32_t kGroupLength = 5; // [signs] in a group

    explicit CopyMaterial(uint32_t seed);

    // Groups of five signs drawn from characters (one byte per sign: letters, digits and the
    // punctuation . , ? / =), each as likely.
    std::string Groups(int32_t count, std::string_view characters);
    // Words drawn from words, each as likely; empty when words is.
    std::string Words(int32_t count, const std::vector<std::string>& words);
    std::string Callsigns(int32_t count);
    // The overs of QSOs in language, from the first: count overs, a new QSO following one that
    // has ended.
    std::string Qso(int32_t count, QsoGenerator::Language language);

private:
    SeededDraw draw;
    CallsignGenerator calls;
    uint32_t seed;
};
