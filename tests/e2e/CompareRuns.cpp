// compare-runs: checks that a raw recording holds the same tones, frame for frame, as a WAV file.
//   compare-runs TAP RATE CHANNELS WAV
// TAP is 16-bit little-endian PCM with CHANNELS interleaved channels at RATE frames per second;
// WAV is a 16-bit PCM WAV file (zelbin-render's). The tone runs of the first channel of each are
// found with the same decoder; every run's length and every silence between two runs must be
// equal to the frame. Where the recording begins and ends does not matter. Exits 0 when they
// are, 1 otherwise, 2 on a bad argument or file.
#include "tests/e2e/ToneRunDecoder.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<char> ReadBytes(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<int16_t> Samples(const char* bytes, size_t size) {
    std::vector<int16_t> samples(size / 2);
    for (size_t i = 0; i < samples.size(); ++i) {
        const auto lo = static_cast<uint8_t>(bytes[2 * i]);
        const auto hi = static_cast<uint8_t>(bytes[2 * i + 1]);
        samples[i] = static_cast<int16_t>(static_cast<uint16_t>(lo | (hi << 8)));
    }
    return samples;
}

uint32_t Le32(const char* at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<uint8_t>(at[i]);
    }
    return value;
}

// The samples of a WAV file's data chunk and its channel count; false when it has none.
bool ReadWav(const char* path, std::vector<int16_t>& samples, int& channels) {
    const std::vector<char> bytes = ReadBytes(path);
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        return false;
    }
    size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const uint32_t size = Le32(bytes.data() + at + 4);
        if (std::memcmp(bytes.data() + at, "fmt ", 4) == 0 && at + 12 <= bytes.size()) {
            channels = static_cast<uint8_t>(bytes[at + 10]);
        }
        if (std::memcmp(bytes.data() + at, "data", 4) == 0) {
            const size_t length = std::min<size_t>(size, bytes.size() - at - 8);
            samples = Samples(bytes.data() + at + 8, length);
            return true;
        }
        at += 8 + size + (size & 1);
    }
    return false;
}

struct Shape {
    std::vector<int64_t> marks;  // [frames] of each run
    std::vector<int64_t> spaces; // [frames] between two runs
};

Shape ShapeOf(const ToneRunDecoder& decoder, const std::vector<int16_t>& interleaved, int channels) {
    const std::vector<int16_t> mono = ToneRunDecoder::Channel(interleaved, channels, 0);
    Shape shape;
    const std::vector<ToneRunDecoder::Run> runs = decoder.FindRuns(mono);
    for (size_t i = 0; i < runs.size(); ++i) {
        shape.marks.push_back(runs[i].lengthFrames);
        if (i > 0) {
            shape.spaces.push_back(runs[i].startFrame - runs[i - 1].startFrame - runs[i - 1].lengthFrames);
        }
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
    const std::vector<char> tapBytes = ReadBytes(argv[1]);
    std::vector<int16_t> wav;
    int wavChannels = 0;
    if (rate <= 0 || tapChannels <= 0 || tapBytes.empty() || !ReadWav(argv[4], wav, wavChannels) || wavChannels <= 0) {
        std::fprintf(stderr, "compare-runs: cannot read the recording or the WAV file\n");
        return 2;
    }
    const ToneRunDecoder decoder(rate);
    const Shape heard = ShapeOf(decoder, Samples(tapBytes.data(), tapBytes.size()), tapChannels);
    const Shape rendered = ShapeOf(decoder, wav, wavChannels);
    std::printf("recording: %zu tones; render: %zu tones\n", heard.marks.size(), rendered.marks.size());
    bool same = heard.marks.size() == rendered.marks.size();
    for (size_t i = 0; same && i < heard.marks.size(); ++i) {
        if (heard.marks[i] != rendered.marks[i] || (i > 0 && heard.spaces[i - 1] != rendered.spaces[i - 1])) {
            std::printf("tone %zu: %lld frames after %lld of silence, rendered %lld after %lld\n", i,
                        static_cast<long long>(heard.marks[i]), static_cast<long long>(i > 0 ? heard.spaces[i - 1] : 0),
                        static_cast<long long>(rendered.marks[i]),
                        static_cast<long long>(i > 0 ? rendered.spaces[i - 1] : 0));
            same = false;
        }
    }
    std::printf("compare-runs: %s\n", same ? "the same, frame for frame" : "NOT the same");
    return same ? 0 : 1;
}
