#pragma once

#include <cstdint>
#include <random>
#include <span>
#include <string_view>

// The draws of the material generators, from a std::mt19937 whose output the standard fixes:
// the same seed gives the same draws with any standard library (the distributions of
// <random> are left to each library, so they are not used).
class SeededDraw {
public:
    explicit SeededDraw(uint32_t seed) : generator(seed) {}

    // 0 to count - 1; count >= 1.
    uint32_t Below(uint32_t count) { return generator() % count; }
    // true once in `in` draws on average.
    bool OneIn(uint32_t in) { return Below(in) == 0; }
    // An index of weights, each chosen in proportion to its weight (all >= 0, not all 0).
    size_t Weighted(std::span<const uint32_t> weights);
    // One word of a list of words separated by single spaces, each as likely.
    std::string_view OneOf(std::string_view words);

private:
    std::mt19937 generator;
};
