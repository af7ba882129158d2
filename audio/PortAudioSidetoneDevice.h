#pragma once

#include "audio/SidetoneDevice.h"

#include <atomic>
#include <cstdint>

typedef void PaStream;
struct PaStreamCallbackTimeInfo;

// The sidetone's stream on PortAudio: a callback stream of its own beside the main window's,
// with blocks of kCallbackFrames frames and the smallest host buffer the device allows, so
// that what the render function writes is handed to the device at once. Device ids are those
// of PortAudioDevice.
class PortAudioSidetoneDevice : public SidetoneDevice {
public:
    static constexpr unsigned long kCallbackFrames = 128; // [frames] 2.9 ms at 44.1 kHz

    PortAudioSidetoneDevice() = default;
    ~PortAudioSidetoneDevice() override;

    bool Open(int32_t deviceId, int32_t sampleRate, RenderFunction render, void* userData) override;
    void Close() override;
    bool IsOpen() const override { return stream != nullptr; }

    // Callbacks that PortAudio flagged as following a gap in the output.
    uint64_t HostUnderflowCount() const { return hostUnderflows.load(std::memory_order_relaxed); }

private:
    static int StreamCallback(const void* input, void* output, unsigned long frameCount,
                              const PaStreamCallbackTimeInfo* timeInfo, unsigned long statusFlags, void* userData);

    PaStream* stream = nullptr;
    RenderFunction render = nullptr;
    void* renderData = nullptr;
    std::atomic<uint64_t> hostUnderflows{0};
};
