#include "material/SeededDraw.h"

size_t SeededDraw::Weighted(std::span<const uint32_t> weights) {
    uint32_t total = 0;
    for (const uint32_t weight : weights) {
        total += weight;
    }
    uint32_t point = Below(total);
    for (size_t i = 0; i < weights.size(); ++i) {
        if (point < weights[i]) {
            return i;
        }
        point -= weights[i];
    }
    return weights.size() - 1;
}

std::string_view SeededDraw::OneOf(std::string_view words) {
    uint32_t count = 1;
    for (const char c : words) {
        count += c == ' ' ? 1 : 0;
    }
    uint32_t wanted = Below(count);
    size_t at = 0;
    for (; wanted > 0; --wanted) {
        at = words.find(' ', at) + 1;
    }
    return words.substr(at, words.find(' ', at) - at);
}
