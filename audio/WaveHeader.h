#pragma once

#include <atomic>
#include <cstdint>

// Bit of WaveHeader::flags that the device sets once it has finished with the buffer.
constexpr uint32_t kWaveHeaderDone = 1;

// Describes one buffer of 16-bit stereo PCM frames handed to a WaveDevice.
//
// The done flag is the one field shared between threads while the buffer is queued: the
// device sets it (release) when it has consumed the last frame, and the driver's audio
// thread tests it (acquire) before it touches the data again. Everything else is written by
// the driver only while the buffer is not queued.
struct WaveHeader {
    uint32_t* data = nullptr;       // the PCM frames, one 32-bit word per frame
    int32_t bufferBytes = 0;        // length of data [bytes]; whole frames only are played
    std::atomic<uint32_t> flags{0}; // kWaveHeaderDone
    int32_t loops = 0;              // always 0

    bool IsDone() const { return (flags.load(std::memory_order_acquire) & kWaveHeaderDone) != 0; }
    void MarkDone() { flags.fetch_or(kWaveHeaderDone, std::memory_order_release); }
    // Resets every flag before the buffer is handed to the device again.
    void ClearFlags() { flags.store(0, std::memory_order_relaxed); }
    int32_t FrameCount() const { return bufferBytes / 4; } // [frames]
};
