#pragma once

#include "keying/KeySink.h"
#include "render/WpmTiming.h"

#include <cstdint>
#include <limits>

// An iambic keyer for two paddles, stepped in frames at 44,100 frames per second.
//
// Timing: at N words per minute a dit lasts one unit of 1200 / N ms, a dah three units, and each
// element is followed by one unit of silence. A run of elements (from the first press after the
// keyer fell idle) is laid out in units from its first frame, and each boundary is rounded to the
// nearest frame on its own, as WpmTiming places elements, so that rounding never adds up. A
// change of speed takes effect at the next element.
//
// Paddles: a paddle still held when an element's trailing unit of silence ends sends its element
// again; with both held the elements alternate, the one opposite to the last coming first. From
// idle, a press starts its element at once; two presses at the same frame start with the dit.
// Memory: a paddle pressed while an element or its silence runs is remembered and its element is
// sent next, even when the paddle was let go before (dit memory and dah memory). The opposite
// element goes first when both are remembered.
// Modes: in mode A the keyer stops after the current element once both paddles are let go. In
// mode B, both paddles down at any moment of an element's tone (a squeeze) adds the opposite
// element after it, even when both were let go during that element.
//
// Events at a frame come before the keyer's own boundaries at that frame: a paddle let go at
// the frame where a silence ends counts as up there. Callers pass frames in order, never going
// back. Changes of the key go to a KeySink, in frame order. Not thread-safe: one thread drives it.
class IambicKeyer {
public:
    enum class Paddle : uint8_t { Dit = 0, Dah = 1 };
    enum class Mode : uint8_t { A, B };
    static constexpr int64_t kNever = std::numeric_limits<int64_t>::max();
    static constexpr int32_t kLowestWpm = 1;

    IambicKeyer(Mode mode, int32_t wpm);

    void SetMode(Mode newMode) { mode = newMode; }
    // Takes effect at the next element; below kLowestWpm counts as kLowestWpm.
    void SetWpm(int32_t newWpm);
    int32_t Wpm() const { return wpm; }

    void Press(Paddle paddle, int64_t frame, KeySink& sink);
    void Release(Paddle paddle, int64_t frame, KeySink& sink);
    // Runs the keyer's own schedule up to frame: every boundary before it.
    void AdvanceTo(int64_t frame, KeySink& sink);
    // Falls idle at frame: the tone ends there if it sounds, and paddles and memories are cleared.
    void Stop(int64_t frame, KeySink& sink);

    bool IsKeyDown() const { return phase == Phase::Tone; }
    bool IsIdle() const { return phase == Phase::Idle; }
    // The frame of the next boundary of the schedule (end of a tone or of a silence), or kNever.
    int64_t NextBoundary() const { return phase == Phase::Idle ? kNever : phaseEndFrame; }

private:
    enum class Phase : uint8_t { Idle, Tone, Silence };

    static int32_t Index(Paddle paddle) { return static_cast<int32_t>(paddle); }
    static Paddle Opposite(Paddle paddle) { return paddle == Paddle::Dit ? Paddle::Dah : Paddle::Dit; }
    void StartElement(Paddle next, int64_t frame, KeySink& sink);
    void EndTone(KeySink& sink);
    void EndSilence(KeySink& sink);
    int64_t FrameAtUnits(int64_t units) const { return runStartFrame + timing.FrameAt(units, 0); }

    Mode mode;
    int32_t wpm;
    WpmTiming timing;
    bool speedChanged = false; // a new speed waits for the next element

    Phase phase = Phase::Idle;
    Paddle element = Paddle::Dit; // the element that sounds, or whose silence runs
    int64_t runStartFrame = 0;    // [frames] where the units of this run are counted from
    int64_t phaseEndUnits = 0;    // [units] from runStartFrame to the end of the phase
    int64_t phaseEndFrame = 0;    // [frames] FrameAtUnits(phaseEndUnits)
    bool down[2] = {false, false};
    bool memory[2] = {false, false};
};
