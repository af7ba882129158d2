#pragma once

#include <cstdint>

// A low-latency output stream for the sidetone: no ring of buffers, but a thread of the device's
// own that asks for each small block of frames just before it plays it, so that a key sounds
// within milliseconds. The frames are 16-bit stereo PCM words, left sample first, as
// ConvertToPcm16 writes them.
//
// Threads: Open and Close on the owner's thread; the render function on the device's thread,
// between Open and the return of Close, never after. Real-time rule for the render function: no
// allocation, no locks, no I/O, no Qt.
class SidetoneDevice {
public:
    using RenderFunction = void (*)(void* userData, uint32_t* pcm, int32_t frames);

    SidetoneDevice() = default;
    SidetoneDevice(const SidetoneDevice&) = delete;
    SidetoneDevice& operator=(const SidetoneDevice&) = delete;
    virtual ~SidetoneDevice();

    // Opens output device deviceId (the ids of WaveOutDriver's devices) at sampleRate [Hz] and
    // starts calling render. False when it cannot: nothing is called then. An open stream is
    // closed first.
    virtual bool Open(int32_t deviceId, int32_t sampleRate, RenderFunction render, void* userData) = 0;
    // Stops the calls and closes the stream; nothing when it is not open.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Whether it is heard: false for a device that only keeps time.
    virtual bool IsAudible() const { return true; }
};
