#include "settings/IniDocument.h"

#include <limits>

namespace {

std::string_view Trim(std::string_view text) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

} // namespace

IniDocument::IniDocument(std::string_view text) : text(text) {
    IndexLines();
}

void IniDocument::IndexLines() {
    lines.clear();
    size_t begin = 0;
    while (begin < text.size()) {
        const size_t feed = text.find('\n', begin);
        Line line;
        line.begin = begin;
        line.end = feed == std::string::npos ? text.size() : feed + 1;
        line.contentEnd = feed == std::string::npos ? text.size() : feed;
        if (line.contentEnd > begin && text[line.contentEnd - 1] == '\r') {
            --line.contentEnd;
        }
        lines.push_back(line);
        begin = line.end;
    }
}

bool IniDocument::ParseInt32(std::string_view text, int32_t& value) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return false;
    }
    // Accumulate the magnitude in 64 bits; stop as soon as it leaves the int32_t range.
    const int64_t limit = negative ? -static_cast<int64_t>(std::numeric_limits<int32_t>::min())
                                   : static_cast<int64_t>(std::numeric_limits<int32_t>::max());
    int64_t magnitude = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > limit) {
            return false;
        }
    }
    value = static_cast<int32_t>(negative ? -magnitude : magnitude);
    return true;
}

bool IniDocument::IsWritableName(std::string_view name) {
    if (name.empty() || name != Trim(name) || name.front() == '[' || name.front() == ';' || name.front() == '#') {
        return false;
    }
    if (name.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        return false;
    }
    for (const char c : name) {
        if (c == '=' || c == '\n' || c == '\r' || c == '\0') {
            return false;
        }
    }
    return true;
}

IniDocument::Parsed IniDocument::Parse(size_t index) const {
    const Line& line = lines[index];
    std::string_view content = std::string_view(text).substr(line.begin, line.contentEnd - line.begin);
    if (index == 0 && content.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        content.remove_prefix(kByteOrderMark.size());
    }
    content = Trim(content);
    Parsed parsed;
    if (content.empty() || content.front() == ';' || content.front() == '#') {
        return parsed;
    }
    if (content.front() == '[') {
        if (content.size() >= 2 && content.back() == ']') {
            parsed.kind = Kind::Section;
            parsed.name = Trim(content.substr(1, content.size() - 2));
        }
        return parsed;
    }
    const size_t equals = content.find('=');
    if (equals != std::string_view::npos) {
        parsed.kind = Kind::Entry;
        parsed.name = Trim(content.substr(0, equals));
        parsed.value = Trim(content.substr(equals + 1));
    }
    return parsed;
}

size_t IniDocument::FindEntry(std::string_view section, std::string_view name) const {
    bool inSection = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        const Parsed parsed = Parse(i);
        if (parsed.kind == Kind::Section) {
            inSection = parsed.name == section;
        } else if (inSection && parsed.kind == Kind::Entry && parsed.name == name) {
            return i;
        }
    }
    return lines.size();
}

IniDocument::Lookup IniDocument::Find(std::string_view section, std::string_view name, int32_t& value) const {
    const size_t index = FindEntry(section, name);
    if (index == lines.size()) {
        return Lookup::Missing;
    }
    int32_t parsed = 0;
    if (!ParseInt32(Parse(index).value, parsed)) {
        return Lookup::NotANumber;
    }
    value = parsed;
    return Lookup::Found;
}

void IniDocument::EndLastLine() {
    if (!text.empty() && text.back() != '\n') {
        text += '\n';
    }
}

void IniDocument::InsertAfter(size_t index, const std::string& content) {
    if (index + 1 == lines.size()) {
        EndLastLine();
        IndexLines();
    }
    const Line& line = lines[index];
    const std::string terminator = text.substr(line.contentEnd, line.end - line.contentEnd);
    text.insert(line.end, content + terminator);
    IndexLines();
}

void IniDocument::Set(std::string_view section, std::string_view name, int32_t value) {
    const std::string entry = std::string(name) + "=" + std::to_string(value);
    const size_t existing = FindEntry(section, name);
    if (existing < lines.size()) {
        const Line& line = lines[existing];
        text.replace(line.begin, line.contentEnd - line.begin, entry);
        IndexLines();
        return;
    }
    // Add the entry after the last entry of the first matching section, or right after its
    // header; without such a section, add the section at the end.
    size_t header = lines.size();
    size_t lastEntry = lines.size();
    for (size_t i = 0; i < lines.size(); ++i) {
        const Parsed parsed = Parse(i);
        if (parsed.kind == Kind::Section) {
            if (header < lines.size()) {
                break;
            }
            if (parsed.name == section) {
                header = lastEntry = i;
            }
        } else if (header < lines.size() && parsed.kind == Kind::Entry) {
            lastEntry = i;
        }
    }
    if (header < lines.size()) {
        InsertAfter(lastEntry, entry);
        return;
    }
    EndLastLine();
    text.append("[").append(section).append("]\n").append(entry).append("\n");
    IndexLines();
}

std::string IniDocument::Text() const {
    return text;
}
