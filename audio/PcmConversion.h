#pragma once

#include "audio/StereoFrame.h"

#include <cstdint>

// Converts float frames to 16-bit stereo PCM words: each channel is scaled by 32767,
// truncated toward zero and clamped to -32000..+32000 (a NaN sample gives 0); the word is
// (right << 16) | (left & 0xFFFF), so that left comes first in little-endian memory.
// A count of 0 or less converts nothing.
void ConvertToPcm16(const StereoFrame* frames, uint32_t* destination, int32_t count);
