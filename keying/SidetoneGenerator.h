#pragma once

#include "audio/StereoFrame.h"

#include <cstdint>

// The tone that a key sounds: a sine at a given frequency and volume that rises along a raised
// cosine over 5 ms when the key goes down and falls the same way when it comes up, so that it
// never clicks. A key that comes up while the tone still rises falls from where it got to. The
// sine starts at phase 0 whenever the tone starts from silence. 44,100 frames per second.
class SidetoneGenerator {
public:
    static constexpr int32_t kSampleRate = 44100;                         // [frames/s]
    static constexpr int32_t kRampFrames = 221;                           // [frames] 5 ms, to the nearest frame
    static constexpr double kRampMs = 1000.0 * kRampFrames / kSampleRate; // [ms]

    // Writes count frames with the key held as keyDown all along; frequency [Hz], volume 0 to 1.
    void Render(StereoFrame* frames, int32_t count, bool keyDown, float frequency, float volume);

    // No tone sounds: the key is up and the fall has ended.
    bool IsSilent() const { return rampPosition == 0; }

private:
    int32_t rampPosition = 0; // [frames] into the rise, 0 (silent) to kRampFrames (full)
    double phase = 0;         // [rad] of the next frame
};
