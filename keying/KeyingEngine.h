#pragma once

#include "audio/StereoFrame.h"
#include "keying/IambicKeyer.h"
#include "keying/KeySink.h"
#include "keying/KeyingMode.h"
#include "keying/SidetoneGenerator.h"
#include "keying/SpscQueue.h"
#include "keying/StraightKey.h"

#include <atomic>
#include <chrono>
#include <cstdint>

// The sending key on the sound thread: the straight key or the iambic keyer, and the sidetone
// they sound, rendered straight into the frames a low-latency output stream asks for.
//
// The UI thread hands it the inputs as they go down and up, and its configuration, through a
// lock-free queue; the stream's thread takes them at the start of each block, so that a key
// sounds from the first frame of the next block. The keyer's schedule runs frame for frame inside
// the blocks. Each change of the key (down or up, at its frame) goes back to the UI thread
// through a second queue, for the decoder. Frequency and volume are single values read once a
// block.
//
// Threads: Render (and RenderCallback) on the stream's thread only; every other method on the UI
// thread only. Real-time rule for Render: no allocation, no locks, no I/O, no Qt.
class KeyingEngine {
public:
    static constexpr int32_t kSampleRate = SidetoneGenerator::kSampleRate; // [frames/s]
    static constexpr int32_t kMaxBlockFrames = 512; // [frames] rendered at once; larger blocks in turns

    struct Transition {
        int64_t frame = 0; // [frames] since the stream began
        bool down = false;
    };

    KeyingEngine();
    KeyingEngine(const KeyingEngine&) = delete;

    // Whether an input keys the straight key: all but the right mouse button.
    static bool IsStraightKeyInput(KeyInput input) { return input != KeyInput::RightButton; }
    KeyingEngine& operator=(const KeyingEngine&) = delete;

    // UI thread. Each returns false when the queue is full (the event is lost).
    bool Input(KeyInput input, bool down);
    // The mode, the keyer's speed [WPM] and whether the paddles are swapped. Whatever sounds is
    // cut (with its fall) and held inputs are forgotten, until they are pressed again.
    bool Configure(KeyingMode mode, int32_t wpm, bool swapped);
    void SetTone(float frequencyHz, float volume);
    // The next change of the key, oldest first; false when there is none.
    bool TakeTransition(Transition& transition);
    // Changes lost because the UI thread did not take them in time.
    uint64_t LostTransitions() const { return lostTransitions.load(std::memory_order_relaxed); }
    // [frames] rendered so far: the frame that the next block begins with.
    int64_t RenderedFrames() const { return renderedFrames.load(std::memory_order_acquire); }

    // Measuring hook: after ArmProbe, Render notes the time at which it writes the first sample
    // that is not silent.
    void ArmProbe();
    bool ProbeTime(std::chrono::steady_clock::time_point* when) const;

    // The stream's thread. pcm receives frames 16-bit stereo words (ConvertToPcm16).
    void Render(uint32_t* pcm, int32_t frames);
    // For a device's render function; userData is the KeyingEngine.
    static void RenderCallback(void* userData, uint32_t* pcm, int32_t frames);

private:
    struct Event {
        enum class Type : uint8_t { Input, Configure } type = Type::Input;
        KeyInput input = KeyInput::Space;
        bool down = false;
        KeyingMode mode = KeyingMode::Straight;
        bool swapped = false;
        int32_t wpm = 0;
    };

    // Renders the tone up to each change of the key, and hands the change on.
    class ToneSink : public KeySink {
    public:
        explicit ToneSink(KeyingEngine& engine) : engine(engine) {}
        void KeyChanged(bool down, int64_t frame) override;

    private:
        KeyingEngine& engine;
    };

    void Apply(const Event& event, int64_t frame);
    void ApplyInput(KeyInput input, bool down, int64_t frame);
    void RenderBlock(uint32_t* pcm, int32_t frames);
    void RenderTone(int64_t untilFrame);
    void StopKeying(int64_t frame);
    bool IsIambic() const { return mode != KeyingMode::Straight; }
    int32_t PaddleOf(KeyInput input) const; // 0 dit, 1 dah, -1 none

    SpscQueue<Event, 256> events;            // UI thread -> stream's thread
    SpscQueue<Transition, 1024> transitions; // stream's thread -> UI thread
    std::atomic<uint64_t> lostTransitions{0};
    std::atomic<int64_t> renderedFrames{0};
    std::atomic<float> frequency{440.0f}; // [Hz]
    std::atomic<float> volume{0.3f};
    std::atomic<bool> probeArmed{false};
    std::atomic<int64_t> probeTime{0}; // [ns] of steady_clock; 0 = none yet

    // The stream's thread only.
    KeyingMode mode = KeyingMode::Straight;
    bool swapped = false;
    StraightKey straightKey;
    IambicKeyer keyer{IambicKeyer::Mode::A, 20};
    uint32_t inputsDown = 0;           // one bit per KeyInput
    uint32_t paddleInputs[2] = {0, 0}; // inputs holding each paddle down
    SidetoneGenerator generator;
    ToneSink sink{*this};
    bool keyDown = false;
    int64_t blockStart = 0; // [frames] of the block being rendered
    int64_t toneFrame = 0;  // [frames] rendered into the block so far, absolute
    StereoFrame* block = nullptr;
    StereoFrame blockFrames[kMaxBlockFrames];
    float blockFrequency = 440.0f;
    float blockVolume = 0.3f;
};
