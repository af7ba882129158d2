#pragma once

#include "morse/ToneSpan.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// A folded text (see TextFolder) laid out on frames (44,100 per second unless told) under the
// words-per-minute timing (WpmTiming, with Farnsworth spacing when overallWpm is below wpm):
// the tones of every element, where each sign begins, and where each slot ends. It is what the
// synthesiser's run walk plays (Synthesiser::PlayRun), for a sound file and for the trainer's
// own output alike.
//
// Signs are 3 units apart; a run of white space puts 7 units between words instead (and
// 7 units of silence where it ends the text; where it begins the text, before the first sign);
// a slot that is no sign is a silence as long as a character gap. Every position is rounded
// to the nearest frame on its own (WpmTiming::FrameAt), so that rounding errors never add up.
class WpmSchedule {
public:
    struct Sign {
        int32_t sign;       // MorseTable sign index
        int64_t startFrame; // [frames] where its first element begins
        size_t slot;        // its slot in the folded text
    };

    // wpm >= 1; overallWpm 0 (none) or 1 to wpm; sampleRate [frames/s].
    WpmSchedule(std::string_view folded, int32_t wpm, int32_t overallWpm, int32_t sampleRate = 44100);

    const std::vector<ToneSpan>& Tones() const { return tones; }
    const std::vector<Sign>& Signs() const { return signs; }
    // The frame at which each slot has been played through; a space slot ends where the
    // sign before it ends, its gap going with the sign after it.
    const std::vector<int64_t>& SlotEndFrames() const { return slotEnds; }
    // The length of the whole text [frames], the word gap of white space at its end included.
    int64_t EndFrame() const { return endFrame; }

private:
    std::vector<ToneSpan> tones;
    std::vector<Sign> signs;
    std::vector<int64_t> slotEnds;
    int64_t endFrame = 0;
};
