#pragma once

#include "audio/WaveHeader.h"

#include <cstdint>

// One entry of WaveOutDriver's ring: a data block of PCM frames and the header that hands
// it to the device. The blocks are allocated when the stream opens and stay at the same
// address until it closes.
struct BufferSlot {
    void* dataHandle = nullptr;   // the data block as allocated
    uint32_t* data = nullptr;     // its frames, one 32-bit word each
    WaveHeader* header = nullptr; // lives in headerHandle
    void* headerHandle = nullptr; // the block that holds the header
    bool prepared = false;        // the header is prepared with the device
};
