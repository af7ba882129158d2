// Feeds arbitrary bytes to the INI reader, then checks what the writer promises: after a
// value is set it reads back, every other value reads as before, and a second parse of the
// written text agrees with the first. Any broken promise aborts, which libFuzzer reports.

#include "settings/IniDocument.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view kSection = "Configuration";
constexpr std::string_view kNames[] = {"Frequency",   "DriverID", "DAHLenght",   "DIHLenght",
                                       "PauseLenght", "Volume",   "DicteeLenght"};
constexpr size_t kNameCount = sizeof kNames / sizeof kNames[0];

struct Reading {
    IniDocument::Lookup lookup = IniDocument::Lookup::Missing;
    int32_t value = 0;
};

Reading Read(const IniDocument& document, std::string_view name) {
    Reading reading;
    reading.lookup = document.Find(kSection, name, reading.value);
    return reading;
}

bool Same(const Reading& a, const Reading& b) {
    return a.lookup == b.lookup && (a.lookup != IniDocument::Lookup::Found || a.value == b.value);
}

void Check(bool promise) {
    if (!promise) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first two bytes choose the value to set and its number; the rest is the file.
    if (size < 2) {
        return 0;
    }
    const size_t target = data[0] % kNameCount;
    const int32_t value = static_cast<int32_t>(static_cast<uint32_t>(data[1]) * 0x01010101u) ^ 0x5A5A5A5A;
    const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);

    IniDocument document(text);
    Check(document.Text() == text); // reading alone changes no byte
    Reading before[kNameCount];
    for (size_t i = 0; i < kNameCount; ++i) {
        before[i] = Read(document, kNames[i]);
    }

    document.Set(kSection, kNames[target], value);
    const IniDocument reread(document.Text());
    for (size_t i = 0; i < kNameCount; ++i) {
        const Reading after = Read(reread, kNames[i]);
        Check(Same(after, Read(document, kNames[i])));
        if (i == target) {
            Check(after.lookup == IniDocument::Lookup::Found && after.value == value);
        } else {
            Check(Same(after, before[i]));
        }
    }
    // Every byte of the original outside the one line changed is kept: what lies between the
    // common prefix and the common suffix of the two texts holds no line feed of the original.
    const std::string written = document.Text();
    size_t prefix = 0;
    while (prefix < text.size() && prefix < written.size() && text[prefix] == written[prefix]) {
        ++prefix;
    }
    size_t suffix = 0;
    while (suffix < text.size() - prefix && suffix < written.size() - prefix &&
           text[text.size() - 1 - suffix] == written[written.size() - 1 - suffix]) {
        ++suffix;
    }
    Check(text.substr(prefix, text.size() - prefix - suffix).find('\n') == std::string_view::npos);
    return 0;
}
