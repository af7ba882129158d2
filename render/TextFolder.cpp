#include "render/TextFolder.h"

#include "morse/MorseTable.h"

#include <array>
#include <cctype>
#include <iterator>

namespace {

// Runs of consecutive Latin-1 and Latin Extended-A code points that share base letters.
// Code points missing from the table (×, ÷, Þ, þ) are not letters with a mark.
struct LatinRun {
    char32_t first;
    char32_t last;
    const char* base;
};

constexpr std::array<LatinRun, 46> kLatinRuns = {{
    {0x00C0, 0x00C5, "A"}, {0x00C6, 0x00C6, "AE"}, {0x00C7, 0x00C7, "C"}, {0x00C8, 0x00CB, "E"},
    {0x00CC, 0x00CF, "I"}, {0x00D0, 0x00D0, "D"},  {0x00D1, 0x00D1, "N"}, {0x00D2, 0x00D6, "O"},
    {0x00D8, 0x00D8, "O"}, {0x00D9, 0x00DC, "U"},  {0x00DD, 0x00DD, "Y"}, {0x00DF, 0x00DF, "SS"},
    {0x00E0, 0x00E5, "A"}, {0x00E6, 0x00E6, "AE"}, {0x00E7, 0x00E7, "C"}, {0x00E8, 0x00EB, "E"},
    {0x00EC, 0x00EF, "I"}, {0x00F0, 0x00F0, "D"},  {0x00F1, 0x00F1, "N"}, {0x00F2, 0x00F6, "O"},
    {0x00F8, 0x00F8, "O"}, {0x00F9, 0x00FC, "U"},  {0x00FD, 0x00FD, "Y"}, {0x00FF, 0x00FF, "Y"},
    {0x0100, 0x0105, "A"}, {0x0106, 0x010D, "C"},  {0x010E, 0x0111, "D"}, {0x0112, 0x011B, "E"},
    {0x011C, 0x0123, "G"}, {0x0124, 0x0127, "H"},  {0x0128, 0x0131, "I"}, {0x0132, 0x0133, "IJ"},
    {0x0134, 0x0135, "J"}, {0x0136, 0x0138, "K"},  {0x0139, 0x0142, "L"}, {0x0143, 0x014B, "N"},
    {0x014C, 0x0151, "O"}, {0x0152, 0x0153, "OE"}, {0x0154, 0x0159, "R"}, {0x015A, 0x0161, "S"},
    {0x0162, 0x0167, "T"}, {0x0168, 0x0173, "U"},  {0x0174, 0x0175, "W"}, {0x0176, 0x0178, "Y"},
    {0x0179, 0x017E, "Z"}, {0x017F, 0x017F, "S"},
}};

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0u) == 0x80u;
}

constexpr std::string_view kPunctuation = ".,?/=+";
constexpr int32_t kProsignCount = MorseTable::kSignCount - MorseTable::kFirstProsign;
constexpr size_t kProsignLength = 4; // [bytes] "<AR>"

// The prosign written at text[at] ("<AR>", "<sk>"...), as its sign index, or kNoIndex.
int32_t ProsignAt(std::string_view text, size_t at) {
    if (text.size() - at < kProsignLength || text[at] != '<' || text[at + 3] != '>') {
        return MorseTable::kNoIndex;
    }
    std::string name(text.substr(at, kProsignLength));
    for (char& c : name) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    const int32_t sign = MorseTable().IndexOfSign(name);
    return sign >= MorseTable::kFirstProsign ? sign : MorseTable::kNoIndex;
}

} // namespace

int32_t TextFolder::SignOfSlot(char slot) {
    const auto code = static_cast<unsigned char>(slot);
    const auto first = static_cast<unsigned char>(kFirstProsignSlot);
    if (code >= first && code < first + kProsignCount) {
        return MorseTable::kFirstProsign + (code - first);
    }
    if (kPunctuation.find(slot) != std::string_view::npos) {
        return MorseTable().IndexOfSign(std::string_view(&slot, 1));
    }
    return MorseTable().IndexOfChar(slot);
}

char TextFolder::SlotOfSign(int32_t sign) {
    if (sign >= MorseTable::kFirstProsign && sign < MorseTable::kSignCount) {
        return static_cast<char>(kFirstProsignSlot + (sign - MorseTable::kFirstProsign));
    }
    const std::string_view name = MorseTable().SignName(sign);
    return name.size() == 1 ? name[0] : kOther;
}

std::string TextFolder::Fold(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    size_t at = 0;
    while (at < utf8.size()) {
        const int32_t prosign = ProsignAt(utf8, at);
        if (prosign != MorseTable::kNoIndex) {
            out += SlotOfSign(prosign);
            at += kProsignLength;
            continue;
        }
        char32_t codePoint = 0;
        const size_t length = Decode(utf8, at, codePoint);
        if (length == 0) {
            out += kOther;
            ++at;
        } else {
            Append(codePoint, out);
            at += length;
        }
    }
    return out;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
size_t TextFolder::Decode(std::string_view text, size_t at, char32_t& codePoint) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80u) {
        codePoint = lead;
        return 1;
    }
    // Sequence length, smallest code point it may carry, and the bits of the lead byte.
    struct Form {
        unsigned char mask;
        unsigned char pattern;
        size_t length;
        char32_t minimum;
    };
    constexpr Form kForms[] = {{0xE0u, 0xC0u, 2, 0x80}, {0xF0u, 0xE0u, 3, 0x800}, {0xF8u, 0xF0u, 4, 0x10000}};
    for (const Form& form : kForms) {
        if ((lead & form.mask) != form.pattern) {
            continue;
        }
        if (at + form.length > text.size()) {
            return 0;
        }
        codePoint = lead & static_cast<unsigned char>(~form.mask);
        for (size_t i = 1; i < form.length; ++i) {
            const auto byte = static_cast<unsigned char>(text[at + i]);
            if (!IsContinuation(byte)) {
                return 0;
            }
            codePoint = (codePoint << 6) | (byte & 0x3Fu);
        }
        const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
        return codePoint < form.minimum || surrogate || codePoint > 0x10FFFF ? 0 : form.length;
    }
    return 0;
}

void TextFolder::Append(char32_t codePoint, std::string& out) {
    if ((codePoint >= 'A' && codePoint <= 'Z') || (codePoint >= '0' && codePoint <= '9')) {
        out += static_cast<char>(codePoint);
    } else if (codePoint >= 'a' && codePoint <= 'z') {
        out += static_cast<char>(codePoint - 'a' + 'A');
    } else if (codePoint < 0x80 && kPunctuation.find(static_cast<char>(codePoint)) != std::string_view::npos) {
        out += static_cast<char>(codePoint);
    } else if (IsSpace(codePoint)) {
        out += kSpace;
    } else if (const char* base = LatinBase(codePoint)) {
        out += base;
    } else if (!IsDropped(codePoint)) {
        out += kOther;
    }
}

bool TextFolder::IsSpace(char32_t codePoint) {
    switch (codePoint) {
    case ' ':
    case '\t':
    case '\n':
    case '\v':
    case '\f':
    case '\r':
    case 0x00A0: // no-break space
    case 0x2028: // line separator
    case 0x2029: // paragraph separator
    case 0x202F: // narrow no-break space, before ; : ! ? in French
    case 0x205F: // medium mathematical space
    case 0x3000: // ideographic space
        return true;
    default:
        return codePoint >= 0x2000 && codePoint <= 0x200A; // en quad to hair space
    }
}

bool TextFolder::IsDropped(char32_t codePoint) {
    return (codePoint >= 0x0300 && codePoint <= 0x036F) || codePoint == 0xFEFF;
}

const char* TextFolder::LatinBase(char32_t codePoint) {
    for (const LatinRun& run : kLatinRuns) {
        if (codePoint >= run.first && codePoint <= run.last) {
            return run.base;
        }
    }
    return nullptr;
}
