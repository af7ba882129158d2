#pragma once

#include "audio/StereoFrame.h"

#include <cstdint>

// Where a renderer puts its frames: a sound file, or memory in a test.
class FrameSink {
public:
    virtual ~FrameSink() = default;
    // Takes count frames; false when they could not be stored (the render then stops).
    virtual bool Write(const StereoFrame* frames, int32_t count) = 0;
};
