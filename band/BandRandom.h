#pragma once

#include <cmath>
#include <cstdint>

// The band conditions' generator: PCG32 (a 64-bit linear congruential state, a permuted 32-bit
// output), seeded with one seed and a stream number, so that every part of the band drawn from
// one seed is repeatable and the parts do not disturb one another. Cheap enough for every sample
// of the audio thread; no allocation, no global state.
class BandRandom {
public:
    explicit BandRandom(uint64_t seed = 0, uint64_t stream = 0) { Seed(seed, stream); }

    void Seed(uint64_t seed, uint64_t stream) {
        state = 0;
        increment = (stream << 1u) | 1u;
        Next();
        state += seed;
        Next();
    }

    uint32_t Next() {
        const uint64_t old = state;
        state = old * 6364136223846793005ULL + increment;
        const auto shifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
        const auto rotation = static_cast<uint32_t>(old >> 59u);
        return (shifted >> rotation) | (shifted << ((32u - rotation) & 31u));
    }

    // Uniform in [-1, 1).
    double Signed() { return static_cast<double>(static_cast<int32_t>(Next())) * (1.0 / 2147483648.0); }
    // Uniform in [0, 1).
    double Uniform() { return static_cast<double>(Next()) * (1.0 / 4294967296.0); }
    // Uniform in [low, high).
    double Between(double low, double high) { return low + (high - low) * Uniform(); }
    // A whole number from low to high, both included (high - low well below 2^32).
    int32_t Whole(int32_t low, int32_t high) {
        return low + static_cast<int32_t>(Next() % static_cast<uint32_t>(high - low + 1));
    }
    // Exponentially distributed with mean 1.
    double Exponential() { return -std::log(1.0 - Uniform()); }

private:
    uint64_t state = 0;
    uint64_t increment = 1;
};
