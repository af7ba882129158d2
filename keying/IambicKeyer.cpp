#include "keying/IambicKeyer.h"

#include <algorithm>

namespace {

constexpr int64_t kDitUnits = 1;
constexpr int64_t kDahUnits = 3;
constexpr int64_t kSilenceUnits = 1;

} // namespace

IambicKeyer::IambicKeyer(Mode mode, int32_t wpm)
    : mode(mode), wpm(std::max(wpm, kLowestWpm)), timing(this->wpm, this->wpm) {}

void IambicKeyer::SetWpm(int32_t newWpm) {
    newWpm = std::max(newWpm, kLowestWpm);
    if (newWpm != wpm) {
        wpm = newWpm;
        speedChanged = true;
    }
}

void IambicKeyer::Press(Paddle paddle, int64_t frame, KeySink& sink) {
    AdvanceTo(frame, sink);
    const int32_t i = Index(paddle);
    if (down[i]) {
        return;
    }
    down[i] = true;
    if (phase == Phase::Idle) {
        StartElement(paddle, frame, sink);
        return;
    }
    memory[i] = true;
    if (mode == Mode::B && phase == Phase::Tone && down[0] && down[1]) {
        memory[Index(Opposite(element))] = true;
    }
}

void IambicKeyer::Release(Paddle paddle, int64_t frame, KeySink& sink) {
    AdvanceTo(frame, sink);
    down[Index(paddle)] = false;
}

void IambicKeyer::AdvanceTo(int64_t frame, KeySink& sink) {
    while (phase != Phase::Idle && phaseEndFrame < frame) {
        if (phase == Phase::Tone) {
            EndTone(sink);
        } else {
            EndSilence(sink);
        }
    }
}

void IambicKeyer::Stop(int64_t frame, KeySink& sink) {
    if (phase == Phase::Tone) {
        sink.KeyChanged(false, frame);
    }
    phase = Phase::Idle;
    down[0] = down[1] = false;
    memory[0] = memory[1] = false;
}

void IambicKeyer::StartElement(Paddle next, int64_t frame, KeySink& sink) {
    if (phase == Phase::Idle || speedChanged) {
        // A new run, or a new speed: units are counted afresh from this element.
        if (speedChanged) {
            timing = WpmTiming(wpm, wpm);
            speedChanged = false;
        }
        runStartFrame = frame;
        phaseEndUnits = 0;
    }
    element = next;
    memory[Index(next)] = false;
    if (mode == Mode::B && down[0] && down[1]) {
        memory[Index(Opposite(next))] = true;
    }
    phase = Phase::Tone;
    phaseEndUnits += next == Paddle::Dit ? kDitUnits : kDahUnits;
    phaseEndFrame = FrameAtUnits(phaseEndUnits);
    sink.KeyChanged(true, frame);
}

void IambicKeyer::EndTone(KeySink& sink) {
    sink.KeyChanged(false, phaseEndFrame);
    phase = Phase::Silence;
    phaseEndUnits += kSilenceUnits;
    phaseEndFrame = FrameAtUnits(phaseEndUnits);
}

void IambicKeyer::EndSilence(KeySink& sink) {
    const Paddle opposite = Opposite(element);
    const int32_t o = Index(opposite);
    const int32_t s = Index(element);
    if (memory[o] || down[o]) {
        StartElement(opposite, phaseEndFrame, sink);
    } else if (memory[s] || down[s]) {
        StartElement(element, phaseEndFrame, sink);
    } else {
        phase = Phase::Idle;
    }
}
