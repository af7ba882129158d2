#include "ui/PracticeTexts.h"

#include "morse/MorseTable.h"

#include <QStringList>

#include <string_view>

namespace {

constexpr const char* kKeyboardLineFormat = "Caractère %c     %s";
constexpr const char* kScoreFormat = "Score: %d sur %d";
constexpr const char* kScoreWithPreviousFormat = "Score: %d sur %d\nPrécédent:%c";
constexpr const char* kPatternFormat = "Caractère      %s";
constexpr const char* kSpokenKeyboardFormat = "%s : %s";
constexpr const char* kSpokenScoreFormat = "Score : %d sur %d";
constexpr const char* kSpokenScoreWithPreviousFormat = "Score : %d sur %d, précédent : %s";

// The French names of the punctuation signs, as a listener needs them.
struct SpokenName {
    const char* sign;
    const char* words;
};
constexpr SpokenName kSpokenNames[] = {
    {".", "point"},         {",", "virgule"}, {"?", "point d'interrogation"},
    {"/", "barre oblique"}, {"=", "égal"},    {"+", "plus"},
};

struct CodeText {
    char text[MorseTable::kTextLength + 1] = {};
};

// The code text of a character, or of the punctuation of the Koch lessons past 36, in the
// form of MorseTable::CodeToText.
CodeText TextOf(int32_t index) {
    CodeText code;
    MorseCode sign;
    if (index < MorseTable::kCharacterCount || !MorseTable().CodeForSign(index, sign)) {
        MorseTable().CodeToText(index, code.text);
        return code;
    }
    constexpr char kElementText[] = {' ', '.', '_'};
    for (int32_t slot = 0; slot < MorseCode::kLength && sign.codes[slot] != End; ++slot) {
        code.text[slot] = kElementText[sign.codes[slot]];
    }
    return code;
}

char SymbolOf(int32_t index) {
    const std::string_view name = MorseTable().SignName(index);
    return name.size() == 1 ? name[0] : MorseTable().IndexToChar(index);
}

// "point trait" for ". _": a word per element, the gaps left out.
QString SpokenCode(int32_t index) {
    QStringList words;
    const auto code = TextOf(index); // kept: a range over a view of a temporary would dangle
    for (const char element : std::string_view(code.text)) {
        if (element == '.') {
            words.append(QStringLiteral("point"));
        } else if (element == '_') {
            words.append(QStringLiteral("trait"));
        }
    }
    return words.join(QLatin1Char(' '));
}

} // namespace

QString PracticeTexts::KeyboardLine(int32_t index) {
    return QString::asprintf(kKeyboardLineFormat, SymbolOf(index), TextOf(index).text);
}

QString PracticeTexts::Score(int32_t score, int32_t total) {
    return QString::asprintf(kScoreFormat, score, total);
}

QString PracticeTexts::ScoreWithPrevious(int32_t score, int32_t total, int32_t previousIndex) {
    return QString::asprintf(kScoreWithPreviousFormat, score, total, SymbolOf(previousIndex));
}

QString PracticeTexts::Pattern(int32_t index) {
    return QString::asprintf(kPatternFormat, TextOf(index).text);
}

QString PracticeTexts::SpokenKeyboardLine(int32_t index) {
    return QString::asprintf(kSpokenKeyboardFormat, qUtf8Printable(SpokenSign(index)),
                             qUtf8Printable(SpokenCode(index)));
}

QString PracticeTexts::SpokenScore(int32_t score, int32_t total) {
    return QString::asprintf(kSpokenScoreFormat, score, total);
}

QString PracticeTexts::SpokenScoreWithPrevious(int32_t score, int32_t total, int32_t previousIndex) {
    return QString::asprintf(kSpokenScoreWithPreviousFormat, score, total, qUtf8Printable(SpokenSign(previousIndex)));
}

QString PracticeTexts::SpokenPattern(int32_t index) {
    return SpokenCode(index);
}

QString PracticeTexts::SpokenSign(int32_t index) {
    const std::string_view name = MorseTable().SignName(index);
    if (name.size() > 2 && name.front() == '<') { // a prosign: its letters, one by one
        QStringList letters;
        for (const char letter : name.substr(1, name.size() - 2)) {
            letters.append(QString(QChar::fromLatin1(letter)));
        }
        return letters.join(QLatin1Char(' '));
    }
    for (const SpokenName& spoken : kSpokenNames) {
        if (name == spoken.sign) {
            return QString::fromUtf8(spoken.words);
        }
    }
    return name.empty() ? QStringLiteral("inconnu")
                        : QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

QString PracticeTexts::SpokenText(std::string_view text) {
    const MorseTable table;
    QStringList words;
    for (const char character : text) {
        const int32_t sign = table.IndexOfSign(std::string_view(&character, 1));
        words.append(sign >= 0 ? SpokenSign(sign) : QString(QChar::fromLatin1(character)));
    }
    return words.join(QLatin1Char(' '));
}
