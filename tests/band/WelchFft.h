#pragma once

// Spectra of rendered samples for the band tests: a radix-2 FFT and a Welch average of
// Hann-windowed segments. Figures only; no reference to the code under test.

#include <cmath>
#include <complex>
#include <cstddef>
#include <utility>
#include <vector>

namespace spectrum {

constexpr double kPi = 3.14159265358979323846;

// In place; data.size() is a power of two.
inline void Fft(std::vector<std::complex<double>>& data) {
    const size_t n = data.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) {
            j ^= bit;
        }
        j ^= bit;
        if (i < j) {
            std::swap(data[i], data[j]);
        }
    }
    for (size_t length = 2; length <= n; length <<= 1) {
        const std::complex<double> turn = std::polar(1.0, -2.0 * kPi / static_cast<double>(length));
        for (size_t start = 0; start < n; start += length) {
            std::complex<double> w = 1.0;
            for (size_t k = 0; k < length / 2; ++k) {
                const std::complex<double> even = data[start + k];
                const std::complex<double> odd = data[start + k + length / 2] * w;
                data[start + k] = even + odd;
                data[start + k + length / 2] = even - odd;
                w *= turn;
            }
        }
    }
}

// |X_k|^2 for k = 0 .. size/2, averaged over the non-overlapping Hann-windowed segments of
// `size` samples that samples holds.
inline std::vector<double> Welch(const std::vector<float>& samples, size_t size) {
    std::vector<double> power(size / 2 + 1, 0.0);
    const size_t segments = samples.size() / size;
    std::vector<std::complex<double>> data(size);
    for (size_t s = 0; s < segments; ++s) {
        for (size_t i = 0; i < size; ++i) {
            const double window = 0.5 - 0.5 * std::cos(2.0 * kPi * static_cast<double>(i) / static_cast<double>(size));
            data[i] = window * samples[s * size + i];
        }
        Fft(data);
        for (size_t k = 0; k < power.size(); ++k) {
            power[k] += std::norm(data[k]) / static_cast<double>(segments);
        }
    }
    return power;
}

inline double Decibels(double ratio) {
    return 10.0 * std::log10(ratio);
}

} // namespace spectrum
