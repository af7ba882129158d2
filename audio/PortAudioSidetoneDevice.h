#pragma once

#include "audio/SidetoneDevice.h"

#include <atomic>
#include <cstdint>

typedef void PaStream;
struct PaStreamCallbackTimeInfo;

// The sidetone's stream on PortAudio: a callback stream of its own beside the main window's, with
// blocks of kCallbackFrames frames, so that what the render function writes is handed to the
// device within a few milliseconds of a key. The host's buffer behind it holds kHostBufferSeconds
// at least: smaller ones ran dry under load in the PulseAudio sandbox, and each dropout is heard
// (see tools/sidetone-figures). Device ids are those of PortAudioDevice.
class PortAudioSidetoneDevice : public SidetoneDevice {
public:
    static constexpr unsigned long kCallbackFrames = 128; // [frames] 2.9 ms at 44.1 kHz
    static constexpr double kHostBufferSeconds = 0.040;   // [s] asked of the host at least

    PortAudioSidetoneDevice() = default;
    ~PortAudioSidetoneDevice() override;

    bool Open(int32_t deviceId, int32_t sampleRate, RenderFunction render, void* userData) override;
    void Close() override;
    bool IsOpen() const override { return stream != nullptr; }

    // The output latency PortAudio reports for the open stream [s]: the host's buffer.
    double OutputLatencySeconds() const;
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
