// compare-runs: checks that a raw recording holds the same tones, frame for frame, as a WAV file.
//   compare-runs TAP RATE CHANNELS WAV
// TAP is 16-bit little-endian PCM with CHANNELS interleaved channels at RATE frames per second;
// WAV is a 16-bit PCM WAV file (zelbin-render's). The tone runs of the first channel of each are
// found with the same decoder; every run's length and every silence between two runs must be
// equal to the frame; where the recording begins and ends does not matter. Exits 0 when they
// are, 1 otherwise, 2 on a bad argument or file.
#include "tests/e2e/ToneRunDecoder.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::vector<char> ReadBytes(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

uint32_t LittleEndian(const char* at, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<uint8_t>(at[i]);
    }
    return value;
}

std::vector<int16_t> Samples(const char* bytes, size_t size) {
    std::vector<int16_t> samples(size / 2);
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<int16_t>(LittleEndian(bytes + 2 * i, 2));
    }
    return samples;
}

// The frames of a WAV file's data chunk, and its channel count from the fmt chunk.
std::vector<int16_t> WavSamples(const std::vector<char>& bytes, int& channels) {
    for (size_t at = 12; at + 8 <= bytes.size();) {
        const uint32_t size = LittleEndian(bytes.data() + at + 4, 4);
        if (std::memcmp(bytes.data() + at, "fmt ", 4) == 0 && at + 12 <= bytes.size()) {
            channels = static_cast<int>(LittleEndian(bytes.data() + at + 10, 2));
        } else if (std::memcmp(bytes.data() + at, "data", 4) == 0) {
            return Samples(bytes.data() + at + 8, std::min<size_t>(size, bytes.size() - at - 8));
        }
        at += 8 + size + (size & 1);
    }
    return {};
}

// Each tone's length and the silence before it (0 for the first) [frames].
std::vector<std::pair<int64_t, int64_t>> Shape(int rate, const std::vector<int16_t>& frames, int channels) {
    const std::vector<ToneRunDecoder::Run> runs =
        ToneRunDecoder(rate).FindRuns(ToneRunDecoder::Channel(frames, channels, 0));
    std::vector<std::pair<int64_t, int64_t>> shape;
    for (size_t i = 0; i < runs.size(); ++i) {
        const int64_t before = i == 0 ? 0 : runs[i].startFrame - runs[i - 1].startFrame - runs[i - 1].lengthFrames;
        shape.emplace_back(runs[i].lengthFrames, before);
    }
    return shape;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: compare-runs TAP RATE CHANNELS WAV\n");
        return 2;
    }
    const int rate = std::atoi(argv[2]);
    const int tapChannels = std::atoi(argv[3]);
    const std::vector<char> tap = ReadBytes(argv[1]);
    int wavChannels = 0;
    const std::vector<int16_t> wav = WavSamples(ReadBytes(argv[4]), wavChannels);
    if (rate <= 0 || tapChannels <= 0 || tap.empty() || wav.empty() || wavChannels <= 0) {
        std::fprintf(stderr, "compare-runs: cannot read the recording or the WAV file\n");
        return 2;
    }
    const auto heard = Shape(rate, Samples(tap.data(), tap.size()), tapChannels);
    const auto rendered = Shape(rate, wav, wavChannels);
    std::printf("recording: %zu tones; render: %zu tones\n", heard.size(), rendered.size());
    bool same = heard.size() == rendered.size();
    for (size_t i = 0; same && i < heard.size(); ++i) {
        if (heard[i] != rendered[i]) {
            std::printf("tone %zu: %lld frames after %lld of silence, rendered %lld after %lld\n", i,
                        static_cast<long long>(heard[i].first), static_cast<long long>(heard[i].second),
                        static_cast<long long>(rendered[i].first), static_cast<long long>(rendered[i].second));
            same = false;
        }
    }
    std::printf("compare-runs: %s\n", same ? "the same, frame for frame" : "NOT the same");
    return same ? 0 : 1;
}
