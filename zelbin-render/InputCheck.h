#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// What zelbin-render refuses to render: a text with nothing to play (an empty input among
// them), and an input that is not text, which would play as hours of silence. Not text: a
// zero byte anywhere, or more than a tenth of the bytes in control characters (other than
// tab, line and page breaks) or in sequences that are not UTF-8. A text in Latin-1 still
// passes: its accented letters are a small share of it.
class InputCheck {
public:
    static constexpr double kMaxNotTextShare = 0.1;

    // Why the input cannot be rendered, or an empty string when it can. folded is the input
    // as TextFolder folds it.
    static std::string Refusal(std::string_view input, std::string_view folded);

private:
    // The number of bytes of input that are not text.
    static size_t NotTextBytes(std::string_view input);
    // The length of the UTF-8 sequence at input[at], or 0 if none starts there.
    static size_t SequenceLength(std::string_view input, size_t at);
};
