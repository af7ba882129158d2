#include "morse/MorseTable.h"

namespace {

constexpr int32_t kLetterCount = 26;
constexpr int32_t kDigitCount = 10;

// A short name for End keeps the rows of the table readable.
constexpr int32_t E = End;

// Letters 'A' to 'Z'.
constexpr MorseCode kLetters[kLetterCount] = {
    {{Dih, Gap, Dah, E, E, E, E, E, E, E, E, E}},         // A .-
    {{Dah, Gap, Dih, Gap, Dih, Gap, Dih, E, E, E, E, E}}, // B -...
    {{Dah, Gap, Dih, Gap, Dah, Gap, Dih, E, E, E, E, E}}, // C -.-.
    {{Dah, Gap, Dih, Gap, Dih, E, E, E, E, E, E, E}},     // D -..
    {{Dih, E, E, E, E, E, E, E, E, E, E, E}},             // E .
    {{Dih, Gap, Dih, Gap, Dah, Gap, Dih, E, E, E, E, E}}, // F ..-.
    {{Dah, Gap, Dah, Gap, Dih, E, E, E, E, E, E, E}},     // G --.
    {{Dih, Gap, Dih, Gap, Dih, Gap, Dih, E, E, E, E, E}}, // H ....
    {{Dih, Gap, Dih, E, E, E, E, E, E, E, E, E}},         // I ..
    {{Dih, Gap, Dah, Gap, Dah, Gap, Dah, E, E, E, E, E}}, // J .---
    {{Dah, Gap, Dih, Gap, Dah, E, E, E, E, E, E, E}},     // K -.-
    {{Dih, Gap, Dah, Gap, Dih, Gap, Dih, E, E, E, E, E}}, // L .-..
    {{Dah, Gap, Dah, E, E, E, E, E, E, E, E, E}},         // M --
    {{Dah, Gap, Dih, E, E, E, E, E, E, E, E, E}},         // N -.
    {{Dah, Gap, Dah, Gap, Dah, E, E, E, E, E, E, E}},     // O ---
    {{Dih, Gap, Dah, Gap, Dah, Gap, Dih, E, E, E, E, E}}, // P .--.
    {{Dah, Gap, Dah, Gap, Dih, Gap, Dah, E, E, E, E, E}}, // Q --.-
    {{Dih, Gap, Dah, Gap, Dih, E, E, E, E, E, E, E}},     // R .-.
    {{Dih, Gap, Dih, Gap, Dih, E, E, E, E, E, E, E}},     // S ...
    {{Dah, E, E, E, E, E, E, E, E, E, E, E}},             // T -
    {{Dih, Gap, Dih, Gap, Dah, E, E, E, E, E, E, E}},     // U ..-
    {{Dih, Gap, Dih, Gap, Dih, Gap, Dah, E, E, E, E, E}}, // V ...-
    {{Dih, Gap, Dah, Gap, Dah, E, E, E, E, E, E, E}},     // W .--
    {{Dah, Gap, Dih, Gap, Dih, Gap, Dah, E, E, E, E, E}}, // X -..-
    {{Dah, Gap, Dih, Gap, Dah, Gap, Dah, E, E, E, E, E}}, // Y -.--
    {{Dah, Gap, Dah, Gap, Dih, Gap, Dih, E, E, E, E, E}}, // Z --..
};

// Digits '0' to '9'.
constexpr MorseCode kDigits[kDigitCount] = {
    {{Dah, Gap, Dah, Gap, Dah, Gap, Dah, Gap, Dah, E, E, E}}, // 0 -----
    {{Dih, Gap, Dah, Gap, Dah, Gap, Dah, Gap, Dah, E, E, E}}, // 1 .----
    {{Dih, Gap, Dih, Gap, Dah, Gap, Dah, Gap, Dah, E, E, E}}, // 2 ..---
    {{Dih, Gap, Dih, Gap, Dih, Gap, Dah, Gap, Dah, E, E, E}}, // 3 ...--
    {{Dih, Gap, Dih, Gap, Dih, Gap, Dih, Gap, Dah, E, E, E}}, // 4 ....-
    {{Dih, Gap, Dih, Gap, Dih, Gap, Dih, Gap, Dih, E, E, E}}, // 5 .....
    {{Dah, Gap, Dih, Gap, Dih, Gap, Dih, Gap, Dih, E, E, E}}, // 6 -....
    {{Dah, Gap, Dah, Gap, Dih, Gap, Dih, Gap, Dih, E, E, E}}, // 7 --...
    {{Dah, Gap, Dah, Gap, Dah, Gap, Dih, Gap, Dih, E, E, E}}, // 8 ---..
    {{Dah, Gap, Dah, Gap, Dah, Gap, Dah, Gap, Dih, E, E, E}}, // 9 ----.
};

// Punctuation ". , ? / = +", then the prosigns <AR> <SK> <BT> <KN>: sign indices 36 to 45.
constexpr int32_t kSignsBeyondCharacters = MorseTable::kSignCount - MorseTable::kCharacterCount;
constexpr MorseCode kSigns[kSignsBeyondCharacters] = {
    {{Dih, Gap, Dah, Gap, Dih, Gap, Dah, Gap, Dih, Gap, Dah, E}}, // .  .-.-.-
    {{Dah, Gap, Dah, Gap, Dih, Gap, Dih, Gap, Dah, Gap, Dah, E}}, // ,  --..--
    {{Dih, Gap, Dih, Gap, Dah, Gap, Dah, Gap, Dih, Gap, Dih, E}}, // ?  ..--..
    {{Dah, Gap, Dih, Gap, Dih, Gap, Dah, Gap, Dih, E, E, E}},     // /  -..-.
    {{Dah, Gap, Dih, Gap, Dih, Gap, Dih, Gap, Dah, E, E, E}},     // =  -...-
    {{Dih, Gap, Dah, Gap, Dih, Gap, Dah, Gap, Dih, E, E, E}},     // +  .-.-.
    {{Dih, Gap, Dah, Gap, Dih, Gap, Dah, Gap, Dih, E, E, E}},     // <AR> .-.-.
    {{Dih, Gap, Dih, Gap, Dih, Gap, Dah, Gap, Dih, Gap, Dah, E}}, // <SK> ...-.-
    {{Dah, Gap, Dih, Gap, Dih, Gap, Dih, Gap, Dah, E, E, E}},     // <BT> -...-
    {{Dah, Gap, Dih, Gap, Dah, Gap, Dah, Gap, Dih, E, E, E}},     // <KN> -.--.
};
constexpr std::string_view kSignNames[kSignsBeyondCharacters] = {
    ".", ",", "?", "/", "=", "+", "<AR>", "<SK>", "<BT>", "<KN>",
};

// The entry of a valid index, or 'A' for 36 and above. Callers reject negative indices.
const MorseCode& EntryFor(int32_t index) {
    if (index < kLetterCount) {
        return kLetters[index];
    }
    if (index < kLetterCount + kDigitCount) {
        return kDigits[index - kLetterCount];
    }
    return kLetters[0];
}

char ElementText(int32_t code) {
    switch (code) {
    case Gap:
        return ' ';
    case Dih:
        return '.';
    case Dah:
        return '_';
    default:
        return '\0';
    }
}

} // namespace

void MorseTable::CodeForChar(char character, MorseCode& destination) const {
    const int32_t index = IndexOfChar(character);
    if (index != kNoIndex) {
        destination = EntryFor(index);
    }
}

void MorseTable::CodeForIndex(int32_t index, MorseCode& destination) const {
    if (index >= 0) {
        destination = EntryFor(index);
    }
}

int32_t MorseTable::IndexOfChar(char character) const {
    const auto code = static_cast<signed char>(character);
    if (code >= 'A' && code <= 'Z') {
        return code - 'A';
    }
    if (code >= '0' && code <= '9') {
        return kLetterCount + (code - '0');
    }
    return kNoIndex;
}

char MorseTable::IndexToChar(int32_t index) const {
    if (index >= 0 && index < kLetterCount) {
        return static_cast<char>('A' + index);
    }
    if (index >= kLetterCount && index < kCharacterCount) {
        return static_cast<char>('0' + (index - kLetterCount));
    }
    return static_cast<char>(index & 0xFF);
}

int32_t MorseTable::IndexOfSign(std::string_view name) const {
    if (name.size() == 1) {
        const int32_t index = IndexOfChar(name[0]);
        if (index != kNoIndex) {
            return index;
        }
    }
    for (int32_t sign = 0; sign < kSignsBeyondCharacters; ++sign) {
        if (kSignNames[sign] == name) {
            return kCharacterCount + sign;
        }
    }
    return kNoIndex;
}

std::string_view MorseTable::SignName(int32_t index) const {
    static constexpr std::string_view kCharacters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    if (index >= 0 && index < kCharacterCount) {
        return kCharacters.substr(static_cast<size_t>(index), 1);
    }
    if (index >= kCharacterCount && index < kSignCount) {
        return kSignNames[index - kCharacterCount];
    }
    return {};
}

bool MorseTable::CodeForSign(int32_t index, MorseCode& destination) const {
    if (index >= 0 && index < kCharacterCount) {
        destination = EntryFor(index);
        return true;
    }
    if (index >= kCharacterCount && index < kSignCount) {
        destination = kSigns[index - kCharacterCount];
        return true;
    }
    return false;
}

void MorseTable::CodeToText(int32_t index, char* destination) const {
    if (index < 0) {
        return;
    }
    const MorseCode& entry = EntryFor(index);
    for (int32_t slot = 0; slot < MorseCode::kLength; ++slot) {
        destination[slot] = ElementText(entry.codes[slot]);
    }
}
