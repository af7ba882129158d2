#include "material/CopyMaterial.h"

namespace {

void AppendItem(std::string& text, std::string_view item) {
    if (!text.empty()) {
        text += ' ';
    }
    text += item;
}

} // namespace

CopyMaterial::CopyMaterial(uint32_t seed) : draw(seed), calls(seed + 1), seed(seed) {}

std::string CopyMaterial::Groups(int32_t count, std::string_view characters) {
    std::string text;
    if (characters.empty()) {
        return text;
    }
    for (int32_t item = 0; item < count; ++item) {
        std::string group;
        for (int32_t i = 0; i < kGroupLength; ++i) {
            group += characters[draw.Below(static_cast<uint32_t>(characters.size()))];
        }
        AppendItem(text, group);
    }
    return text;
}

std::string CopyMaterial::Words(int32_t count, const std::vector<std::string>& words) {
    std::string text;
    for (int32_t item = 0; item < count && !words.empty(); ++item) {
        AppendItem(text, words[draw.Below(static_cast<uint32_t>(words.size()))]);
    }
    return text;
}

std::string CopyMaterial::Callsigns(int32_t count) {
    std::string text;
    for (int32_t item = 0; item < count; ++item) {
        AppendItem(text, calls.Next());
    }
    return text;
}

std::string CopyMaterial::Qso(int32_t count, QsoGenerator::Language language) {
    QsoGenerator qsos(seed + 2, language);
    std::string text;
    std::vector<std::string> overs;
    size_t next = 0;
    for (int32_t item = 0; item < count; ++item) {
        if (next == overs.size()) {
            overs = qsos.NextQso();
            next = 0;
        }
        AppendItem(text, overs[next++]);
    }
    return text;
}
