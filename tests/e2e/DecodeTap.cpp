// decode-tap: checks a raw recording of 16-bit little-endian PCM against the Morse it should hold.
//   decode-tap FILE RATE CHANNELS EXPECTED FREQUENCY_HZ DIH_MS DAH_MS GAP_MS [TOLERANCE_MS [BRIDGE_MS]]
// EXPECTED is the characters as dots and dashes separated by spaces, e.g. "-- --- .-. ... .", or
// "*" for any characters (printed, for the caller to check; the tones are still measured).
// Prints what it measured and exits 0 only when every channel holds exactly EXPECTED, each tone
// at FREQUENCY_HZ (within 1 %) and each element and gap at its length (within TOLERANCE_MS, 3 ms
// unless given: a key worked by hand needs more). Silences inside a tone shorter than BRIDGE_MS
// (5 ms unless given) do not split it: a sound server's dropout, where the output is not the
// program's own recording; the frequency of a tone with such a dropout is not checked.
#include "tests/e2e/ToneRunDecoder.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<int16_t> ReadSamples(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i) {
        const auto lo = static_cast<uint8_t>(bytes[2 * i]);
        const auto hi = static_cast<uint8_t>(bytes[2 * i + 1]);
        samples[i] = static_cast<int16_t>(static_cast<uint16_t>(lo | (hi << 8)));
    }
    return samples;
}

struct Range {
    double min = 1e300, max = -1e300, sum = 0;
    int count = 0;
    void Add(double v) {
        min = std::min(min, v);
        max = std::max(max, v);
        sum += v;
        ++count;
    }
    void Print(const char* name, const char* unit) const {
        if (count == 0) {
            std::printf("%s: none\n", name);
        } else {
            std::printf("%s: %d, mean %.2f %s, from %.2f to %.2f\n", name, count, sum / count, unit, min, max);
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 9 || argc > 11) {
        std::fprintf(stderr, "usage: decode-tap FILE RATE CHANNELS EXPECTED FREQUENCY_HZ DIH_MS DAH_MS GAP_MS "
                             "[TOLERANCE_MS [BRIDGE_MS]]\n");
        return 2;
    }
    const int rate = std::atoi(argv[2]);
    const int channels = std::atoi(argv[3]);
    const std::string expected = argv[4];
    const double frequency = std::atof(argv[5]);
    ToneRunDecoder::Timing timing;
    timing.dihMs = std::atof(argv[6]);
    timing.dahMs = std::atof(argv[7]);
    timing.gapMs = std::atof(argv[8]);
    if (argc >= 10) {
        timing.toleranceMs = std::atof(argv[9]);
    }
    const double bridgeMs = argc >= 11 ? std::atof(argv[10]) : 5.0;

    const std::vector<int16_t> samples = ReadSamples(argv[1]);
    std::printf("recording: %zu frames, %.2f s\n", samples.size() / channels,
                samples.size() / static_cast<double>(channels) / rate);
    const ToneRunDecoder decoder(rate, 0.05, bridgeMs);
    bool ok = true;
    for (int c = 0; c < channels; ++c) {
        const std::vector<int16_t> mono = ToneRunDecoder::Channel(samples, channels, c);
        const std::vector<ToneRunDecoder::Run> runs = decoder.FindRuns(mono);
        const ToneRunDecoder::Transcription text = decoder.Transcribe(runs, timing);
        Range hz;
        Range peak;
        int dropouts = 0;
        for (const auto& run : runs) {
            peak.Add(run.peak / 32767.0);
            if (decoder.FramesToMs(run.longestHoleFrames) > 5.0) {
                ++dropouts; // its zero crossings jump where the sound stopped
                continue;
            }
            hz.Add(run.frequencyHz);
            if (std::abs(run.frequencyHz - frequency) > frequency * 0.01) {
                std::printf("channel %d: tone at %.3f s is %.2f Hz\n", c, decoder.FramesToMs(run.startFrame) / 1000,
                            run.frequencyHz);
                ok = false;
            }
        }
        Range dih, dah, gap;
        for (double v : text.dihMs)
            dih.Add(v);
        for (double v : text.dahMs)
            dah.Add(v);
        for (double v : text.gapMs)
            gap.Add(v);
        std::printf("channel %d: \"%s\" (%zu tones, %d with a dropout)\n", c, text.pattern.c_str(), runs.size(),
                    dropouts);
        hz.Print("  frequency", "Hz");
        dih.Print("  dih", "ms");
        dah.Print("  dah", "ms");
        gap.Print("  gap in a character", "ms");
        peak.Print("  peak", "of full scale");
        for (const std::string& problem : text.problems) {
            std::printf("  fault: %s\n", problem.c_str());
        }
        if ((expected != "*" && text.pattern != expected) || !text.problems.empty()) {
            std::printf("channel %d: expected \"%s\"\n", c, expected.c_str());
            ok = false;
        }
    }
    std::printf("%s\n", ok ? "decode-tap: as expected" : "decode-tap: NOT as expected");
    return ok ? 0 : 1;
}
