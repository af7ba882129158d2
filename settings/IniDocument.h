#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The text of an INI file, kept line by line exactly as read, with lookups and updates of
// `Name=value` entries whose values are signed 32-bit decimal numbers.
//
// Reading is lenient and never fails: a line is a section header `[Name]`, an entry
// `Name=value`, a comment (`;` or `#`), a blank line, or anything else, which is kept and
// otherwise ignored. Spaces and tabs around names and values are ignored, as are a '\r'
// before the '\n' and a UTF-8 byte-order mark at the start. Names are case-sensitive. When
// a name appears more than once in a section, the first entry counts.
//
// Set() changes only the line of the entry it sets (or adds one line, or a section header
// and one line); every other byte of the text is kept.
class IniDocument {
public:
    enum class Lookup { Found, Missing, NotANumber };

    explicit IniDocument(std::string_view text);

    Lookup Find(std::string_view section, std::string_view name, int32_t& value) const;
    void Set(std::string_view section, std::string_view name, int32_t value);
    std::string Text() const;

    // True for a name Set() can write so that Find() reads it back: not empty, no
    // surrounding blanks, no '=', no line break or NUL, not starting like a header or comment.
    static bool IsWritableName(std::string_view name);
    // Parses a whole trimmed field: optional sign, then decimal digits only, within int32_t.
    static bool ParseInt32(std::string_view text, int32_t& value);

private:
    enum class Kind { Other, Section, Entry };
    // One line of `text`: its content is [begin, contentEnd), its terminator ("\n", "\r\n",
    // a lone '\r' or nothing on the last line) is [contentEnd, end).
    struct Line {
        size_t begin = 0;
        size_t contentEnd = 0;
        size_t end = 0;
    };
    struct Parsed {
        Kind kind = Kind::Other;
        std::string_view name;  // the section's or the entry's name
        std::string_view value; // the entry's value, trimmed
    };

    void IndexLines();
    Parsed Parse(size_t index) const;
    // Index of the first entry `name` in a section `section`, or lines.size().
    size_t FindEntry(std::string_view section, std::string_view name) const;
    // Inserts a line after line `index`, with the same line ending.
    void InsertAfter(size_t index, const std::string& content);
    // Gives the last line a line feed when it has none, so that text can follow it.
    void EndLastLine();

    std::string text;
    std::vector<Line> lines;
};
