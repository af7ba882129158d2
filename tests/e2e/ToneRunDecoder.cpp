#include "tests/e2e/ToneRunDecoder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

ToneRunDecoder::ToneRunDecoder(int rate, double thresholdFraction, double bridge)
    : sampleRate(rate), threshold(thresholdFraction), bridgeMs(bridge) {}

std::vector<int16_t> ToneRunDecoder::Channel(std::span<const int16_t> interleaved, int channels, int channel) {
    std::vector<int16_t> mono;
    mono.reserve(interleaved.size() / channels);
    for (size_t i = channel; i < interleaved.size(); i += channels) {
        mono.push_back(interleaved[i]);
    }
    return mono;
}

std::vector<ToneRunDecoder::Run> ToneRunDecoder::FindRuns(std::span<const int16_t> mono) const {
    int loudest = 0;
    for (int16_t s : mono) {
        loudest = std::max(loudest, std::abs(static_cast<int>(s)));
    }
    std::vector<Run> runs;
    if (loudest == 0) {
        return runs;
    }
    const int level = std::max(1, static_cast<int>(loudest * threshold));
    const auto bridge = static_cast<int64_t>(bridgeMs * sampleRate / 1000.0);

    int64_t start = -1; // first loud sample of the open run
    int64_t last = -1;  // last loud sample of the open run
    int64_t hole = 0;   // [frames] the longest quiet stretch in the open run
    auto close = [&] {
        Run run;
        run.longestHoleFrames = hole;
        run.startFrame = start;
        run.lengthFrames = last - start + 1;
        const auto samples = mono.subspan(start, run.lengthFrames);
        for (int16_t s : samples) {
            run.peak = std::max(run.peak, std::abs(static_cast<int>(s)));
        }
        run.frequencyHz = MeasureFrequency(samples);
        runs.push_back(run);
    };
    for (int64_t i = 0; i < static_cast<int64_t>(mono.size()); ++i) {
        if (std::abs(static_cast<int>(mono[i])) < level) {
            continue;
        }
        if (start >= 0 && i - last > bridge) {
            close();
            start = -1;
        }
        if (start < 0) {
            start = i;
            hole = 0;
        } else {
            hole = std::max(hole, i - last - 1);
        }
        last = i;
    }
    if (start >= 0) {
        close();
    }
    return runs;
}

double ToneRunDecoder::MeasureFrequency(std::span<const int16_t> run) const {
    // Times of the positive-going zero crossings, interpolated between the two samples around each.
    double first = -1;
    double latest = -1;
    int crossings = 0;
    for (size_t i = 1; i < run.size(); ++i) {
        const double a = run[i - 1];
        const double b = run[i];
        if (a < 0 && b >= 0) {
            const double t = (i - 1) + (-a) / (b - a);
            first = crossings == 0 ? t : first;
            latest = t;
            ++crossings;
        }
    }
    if (crossings < 2) {
        return 0;
    }
    return (crossings - 1) * sampleRate / (latest - first);
}

ToneRunDecoder::Transcription ToneRunDecoder::Transcribe(const std::vector<Run>& runs, const Timing& timing) const {
    Transcription out;
    char text[160];
    for (size_t i = 0; i < runs.size(); ++i) {
        const double length = FramesToMs(runs[i].lengthFrames);
        if (i > 0) {
            const double gap = FramesToMs(runs[i].startFrame - runs[i - 1].startFrame - runs[i - 1].lengthFrames);
            if (gap > 2 * timing.gapMs) {
                out.pattern += ' '; // the silence between two characters
            } else if (std::abs(gap - timing.gapMs) <= timing.toleranceMs) {
                out.gapMs.push_back(gap);
            } else {
                std::snprintf(text, sizeof text, "gap of %.2f ms before the element at %.3f s", gap,
                              FramesToMs(runs[i].startFrame) / 1000.0);
                out.problems.push_back(text);
            }
        }
        if (std::abs(length - timing.dihMs) <= timing.toleranceMs) {
            out.pattern += '.';
            out.dihMs.push_back(length);
        } else if (std::abs(length - timing.dahMs) <= timing.toleranceMs) {
            out.pattern += '-';
            out.dahMs.push_back(length);
        } else {
            out.pattern += '?';
            std::snprintf(text, sizeof text, "tone of %.2f ms at %.3f s", length,
                          FramesToMs(runs[i].startFrame) / 1000.0);
            out.problems.push_back(text);
        }
    }
    return out;
}
