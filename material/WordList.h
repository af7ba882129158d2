#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A list of common words of one language, read from a data file installed with the program:
// UTF-8, one word per line, the most frequent first; lines that begin with '#' and blank lines
// are skipped. Words are kept as they are played: folded to capitals without accents
// (TextFolder), in the file's order, each once; a line that folds to anything but letters is
// left out.
class WordList {
public:
    static constexpr const char* kFrenchFile = "fr.txt";
    static constexpr const char* kEnglishFile = "en.txt";

    // Reads a list; on failure, error says why, in French, with the path.
    static std::optional<WordList> Load(const std::filesystem::path& file, std::string& error);

    // The first folder of folders that holds fileName, joined with it; when none does, empty,
    // and error names the file and every folder looked in.
    static std::filesystem::path Find(const std::vector<std::filesystem::path>& folders, std::string_view fileName,
                                      std::string& error);

    const std::vector<std::string>& Words() const { return words; }

    // The words spelled only with the given characters (upper case), in frequency order.
    std::vector<std::string> SpelledWith(std::string_view characters) const;

private:
    std::vector<std::string> words;
};
