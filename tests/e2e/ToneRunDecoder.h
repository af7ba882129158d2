#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Reads Morse back from recorded samples, for the end-to-end test: finds the runs of tone by
// their amplitude, measures each run's length and its frequency from its zero crossings, and maps
// the runs to dits, dahs and characters by their lengths and the silences between them.
class ToneRunDecoder {
public:
    struct Run {
        int64_t startFrame = 0;
        int64_t lengthFrames = 0;
        double frequencyHz = 0;        // from the positive-going zero crossings of the run
        int peak = 0;                  // largest absolute sample of the run
        int64_t longestHoleFrames = 0; // [frames] the longest quiet stretch bridged inside the run
    };

    // What the characters should look like: element lengths and the gap inside a character.
    struct Timing {
        double dihMs = 100;
        double dahMs = 300;
        double gapMs = 100;
        double toleranceMs = 3; // an element or gap further than this from its length is a fault
    };

    struct Transcription {
        std::string pattern;               // characters as dots and dashes, separated by one space
        std::vector<std::string> problems; // every element or gap that fits no length
        std::vector<double> dihMs, dahMs, gapMs;
    };

    // threshold: fraction of the loudest sample above which a sample counts as tone;
    // bridgeMs: silences shorter than this inside a tone (its zero crossings, the end of its fade)
    // do not split it.
    explicit ToneRunDecoder(int sampleRate, double threshold = 0.05, double bridgeMs = 5);

    // One channel of interleaved frames.
    static std::vector<int16_t> Channel(std::span<const int16_t> interleaved, int channels, int channel);

    std::vector<Run> FindRuns(std::span<const int16_t> mono) const;
    Transcription Transcribe(const std::vector<Run>& runs, const Timing& timing) const;

    double FramesToMs(int64_t frames) const { return frames * 1000.0 / sampleRate; }

private:
    double MeasureFrequency(std::span<const int16_t> run) const;

    int sampleRate; // [frames/s]
    double threshold;
    double bridgeMs;
};
