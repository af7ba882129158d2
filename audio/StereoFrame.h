#pragma once

#include <cstdint>

// One stereo sample: left first, then right. Full scale is -1.0 to +1.0; the driver
// clamps what lies beyond. Arrays of frames are interleaved left, right, left, right.
struct StereoFrame {
    float left;
    float right;
};
static_assert(sizeof(StereoFrame) == 8, "frames are passed to the driver as packed float pairs");

// The contract between a sound driver and whatever produces its sound.
// Called only on the driver's audio thread, with no driver lock held. On entry
// *frameCount is the number of frames wanted; on return it holds the number
// delivered (at least 1, at most the number asked for). The result points at that
// many frames, owned by the callback and read before the next call.
using SampleCallback = const StereoFrame* (*)(void* userData, int32_t* frameCount);
