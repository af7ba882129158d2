#include "zelbin-render/InputCheck.h"

#include "render/MorseRenderer.h"

#include <algorithm>
#include <cmath>

namespace {

bool IsControl(unsigned char byte) {
    const bool breaks = byte == '\t' || byte == '\n' || byte == '\v' || byte == '\f' || byte == '\r';
    return (byte < 0x20 && !breaks) || byte == 0x7F;
}

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0u) == 0x80u;
}

} // namespace

std::string InputCheck::Refusal(std::string_view input, std::string_view folded) {
    const size_t zero = input.find('\0');
    if (zero != std::string_view::npos) {
        return "the input is not text: it holds a zero byte (at byte " + std::to_string(zero) + ")";
    }
    const size_t notText = NotTextBytes(input);
    if (static_cast<double>(notText) > kMaxNotTextShare * static_cast<double>(input.size())) {
        const double percent = std::floor(100.0 * static_cast<double>(notText) / static_cast<double>(input.size()));
        return "the input is not text: " + std::to_string(static_cast<int>(percent)) +
               "% of its bytes are control characters or not UTF-8";
    }
    if (std::none_of(folded.begin(), folded.end(), MorseRenderer::IsMorse)) {
        return input.empty() ? "the text is empty: nothing to play"
                             : "nothing to play: no character of the text has a Morse code";
    }
    return {};
}

size_t InputCheck::NotTextBytes(std::string_view input) {
    size_t count = 0;
    size_t at = 0;
    while (at < input.size()) {
        const size_t length = SequenceLength(input, at);
        if (length == 0) {
            ++count;
            ++at;
        } else {
            count += length == 1 && IsControl(static_cast<unsigned char>(input[at])) ? 1 : 0;
            at += length;
        }
    }
    return count;
}

// Lead bytes C2-DF take one continuation byte, E0-EF two and F0-F4 three.
size_t InputCheck::SequenceLength(std::string_view input, size_t at) {
    const auto lead = static_cast<unsigned char>(input[at]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
    if (length == 0 || at + length > input.size()) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        if (!IsContinuation(static_cast<unsigned char>(input[at + i]))) {
            return 0;
        }
    }
    return length;
}
