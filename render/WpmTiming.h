#pragma once

#include <cstdint>

// Words-per-minute timing at 44,100 frames per second. A unit is the length of a dih; a dah
// is 3 units, the pause inside a character 1 unit, the gap between characters 3 units and the
// gap between words 7 units. The word "PARIS " fills 50 units: 31 inside its characters and
// 19 in its four character gaps and its word gap.
//
// With Farnsworth spacing the characters keep the character speed while the character and
// word gaps are stretched so that "PARIS " takes 60 / overall seconds. That is the standard
// formula: with c the character speed and s the overall speed [words/min], the delay added
// to a word is ta = (60 c - 37.2 s) / (c s) [s]; a character gap is 3 ta / 19 and a word gap
// 7 ta / 19. A gap unit thus lasts ta / 19, and a character unit 1.2 / c [s].
//
// Positions are counted from the start as character units plus gap units, and FrameAt
// rounds each one to the nearest frame on its own, so that rounding errors never add up.
class WpmTiming {
public:
    // characterWpm >= 1; overallWpm from 1 to characterWpm (equal: no Farnsworth spacing);
    // sampleRate [frames/s], if not 44,100.
    WpmTiming(int32_t characterWpm, int32_t overallWpm, int32_t sampleRate = 44100);

    // The frame at which a position of characterUnits + gapUnits begins, rounded to the
    // nearest frame (halves up). Exact integer arithmetic.
    int64_t FrameAt(int64_t characterUnits, int64_t gapUnits) const;

private:
    // A position lasts (characterUnits * characterWeight + gapUnits * gapWeight) / divisor
    // frames: at a rate r, r * 1.2 / c per character unit and r * (60 c - 37.2 s) / (19 c s)
    // per gap unit (at 44,100: 52920 / c and (2646000 c - 1640520 s) / (19 c s)), all three
    // taken five times.
    int64_t characterWeight;
    int64_t gapWeight;
    int64_t divisor;
};
