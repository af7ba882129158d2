#include "keying/KeyingEngine.h"

#include "audio/PcmConversion.h"

#include <algorithm>

namespace {

int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

KeyingEngine::KeyingEngine() = default;

bool KeyingEngine::Input(KeyInput input, bool down) {
    Event event;
    event.type = Event::Type::Input;
    event.input = input;
    event.down = down;
    return events.Push(event);
}

bool KeyingEngine::Configure(KeyingMode newMode, int32_t wpm, bool newSwapped) {
    Event event;
    event.type = Event::Type::Configure;
    event.mode = newMode;
    event.wpm = wpm;
    event.swapped = newSwapped;
    return events.Push(event);
}

void KeyingEngine::SetTone(float frequencyHz, float newVolume) {
    frequency.store(frequencyHz, std::memory_order_relaxed);
    volume.store(newVolume, std::memory_order_relaxed);
}

bool KeyingEngine::TakeTransition(Transition& transition) {
    return transitions.Pop(transition);
}

void KeyingEngine::ArmProbe() {
    probeTime.store(0, std::memory_order_relaxed);
    probeArmed.store(true, std::memory_order_release);
}

bool KeyingEngine::ProbeTime(std::chrono::steady_clock::time_point* when) const {
    const int64_t ns = probeTime.load(std::memory_order_acquire);
    if (ns == 0) {
        return false;
    }
    *when = std::chrono::steady_clock::time_point(std::chrono::nanoseconds(ns));
    return true;
}

void KeyingEngine::RenderCallback(void* userData, uint32_t* pcm, int32_t frames) {
    static_cast<KeyingEngine*>(userData)->Render(pcm, frames);
}

// Real-time rule: this runs on the output stream's thread. No allocation, no locks, no I/O, no
// Qt: the two lock-free queues, atomics and arithmetic only.
void KeyingEngine::Render(uint32_t* pcm, int32_t frames) {
    blockFrequency = frequency.load(std::memory_order_relaxed);
    blockVolume = volume.load(std::memory_order_relaxed);
    int64_t start = renderedFrames.load(std::memory_order_relaxed);
    Event event;
    while (events.Pop(event)) {
        Apply(event, start);
    }
    while (frames > 0) {
        const int32_t count = std::min(frames, kMaxBlockFrames);
        RenderBlock(pcm, count);
        pcm += count;
        frames -= count;
    }
}

void KeyingEngine::RenderBlock(uint32_t* pcm, int32_t frames) {
    blockStart = renderedFrames.load(std::memory_order_relaxed);
    toneFrame = blockStart;
    block = blockFrames;
    const int64_t end = blockStart + frames;
    if (IsIambic()) {
        keyer.AdvanceTo(end, sink);
    }
    RenderTone(end);
    ConvertToPcm16(blockFrames, pcm, frames);
    if (probeArmed.load(std::memory_order_acquire)) {
        for (int32_t i = 0; i < frames; ++i) {
            if (pcm[i] != 0) {
                probeTime.store(NowNs(), std::memory_order_release);
                probeArmed.store(false, std::memory_order_relaxed);
                break;
            }
        }
    }
    renderedFrames.store(end, std::memory_order_release);
}

void KeyingEngine::RenderTone(int64_t untilFrame) {
    const auto count = static_cast<int32_t>(untilFrame - toneFrame);
    if (count <= 0) {
        return;
    }
    generator.Render(block + (toneFrame - blockStart), count, keyDown, blockFrequency, blockVolume);
    toneFrame = untilFrame;
}

void KeyingEngine::ToneSink::KeyChanged(bool down, int64_t frame) {
    engine.RenderTone(frame);
    engine.keyDown = down;
    if (!engine.transitions.Push({frame, down})) {
        engine.lostTransitions.fetch_add(1, std::memory_order_relaxed);
    }
}

// Events are applied before the block is rendered: toneFrame is the block's first frame.
void KeyingEngine::Apply(const Event& event, int64_t frame) {
    blockStart = frame;
    toneFrame = frame;
    block = blockFrames;
    if (event.type == Event::Type::Configure) {
        StopKeying(frame);
        mode = event.mode;
        swapped = event.swapped;
        keyer.SetMode(mode == KeyingMode::IambicB ? IambicKeyer::Mode::B : IambicKeyer::Mode::A);
        keyer.SetWpm(event.wpm);
        return;
    }
    ApplyInput(event.input, event.down, frame);
}

void KeyingEngine::ApplyInput(KeyInput input, bool down, int64_t frame) {
    const uint32_t bit = 1u << static_cast<uint32_t>(input);
    if (down == ((inputsDown & bit) != 0)) {
        return; // already so: a repeat, or the release of an input forgotten by Configure
    }
    inputsDown = down ? inputsDown | bit : inputsDown & ~bit;
    if (!IsIambic()) {
        if (!IsStraightKeyInput(input)) {
            return;
        }
        if (down) {
            straightKey.Press(static_cast<int32_t>(input), frame, sink);
        } else {
            straightKey.Release(static_cast<int32_t>(input), frame, sink);
        }
        return;
    }
    const int32_t paddle = PaddleOf(input);
    if (paddle < 0) {
        return;
    }
    const bool wasDown = paddleInputs[paddle] != 0;
    paddleInputs[paddle] = down ? paddleInputs[paddle] | bit : paddleInputs[paddle] & ~bit;
    const bool isDown = paddleInputs[paddle] != 0;
    const auto which = static_cast<IambicKeyer::Paddle>(paddle);
    if (isDown && !wasDown) {
        keyer.Press(which, frame, sink);
    } else if (!isDown && wasDown) {
        keyer.Release(which, frame, sink);
    }
}

int32_t KeyingEngine::PaddleOf(KeyInput input) const {
    int32_t paddle = -1;
    if (input == KeyInput::LeftControl || input == KeyInput::LeftButton) {
        paddle = 0;
    } else if (input == KeyInput::RightControl || input == KeyInput::RightButton) {
        paddle = 1;
    }
    return paddle >= 0 && swapped ? 1 - paddle : paddle;
}

void KeyingEngine::StopKeying(int64_t frame) {
    straightKey.Stop(frame, sink);
    keyer.Stop(frame, sink);
    inputsDown = 0;
    paddleInputs[0] = paddleInputs[1] = 0;
}
