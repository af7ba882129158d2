#include "material/WordList.h"

#include "render/TextFolder.h"

#include <fstream>
#include <set>

namespace {

bool AllLetters(const std::string& word) {
    if (word.empty()) {
        return false;
    }
    for (const char c : word) {
        if (c < 'A' || c > 'Z') {
            return false;
        }
    }
    return true;
}

std::string Quoted(const std::filesystem::path& path) {
    const std::u8string utf8 = path.u8string();
    return "« " + std::string(utf8.begin(), utf8.end()) + " »";
}

} // namespace

std::optional<WordList> WordList::Load(const std::filesystem::path& file, std::string& error) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = "La liste de mots " + Quoted(file) + " ne peut pas être lue.";
        return std::nullopt;
    }
    WordList list;
    std::set<std::string> seen;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line.front() == '#') {
            continue;
        }
        std::string word = TextFolder::Fold(line);
        if (AllLetters(word) && seen.insert(word).second) {
            list.words.push_back(std::move(word));
        }
    }
    if (list.words.empty()) {
        error = "La liste de mots " + Quoted(file) + " ne contient aucun mot.";
        return std::nullopt;
    }
    return list;
}

std::filesystem::path WordList::Find(const std::vector<std::filesystem::path>& folders, std::string_view fileName,
                                     std::string& error) {
    std::string tried;
    for (const std::filesystem::path& folder : folders) {
        const std::filesystem::path candidate = folder / std::filesystem::path(fileName);
        std::error_code ignored;
        if (std::filesystem::is_regular_file(candidate, ignored)) {
            return candidate;
        }
        tried += (tried.empty() ? "" : ", ") + Quoted(folder);
    }
    error = "La liste de mots « " + std::string(fileName) + " » est introuvable (cherchée dans " +
            (tried.empty() ? std::string("aucun dossier") : tried) + ").";
    return {};
}

std::vector<std::string> WordList::SpelledWith(std::string_view characters) const {
    std::vector<std::string> spelled;
    for (const std::string& word : words) {
        if (word.find_first_not_of(characters) == std::string::npos) {
            spelled.push_back(word);
        }
    }
    return spelled;
}
