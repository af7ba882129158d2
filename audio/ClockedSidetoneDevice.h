#pragma once

#include "audio/SidetoneDevice.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

// A SidetoneDevice that plays nothing but keeps time: a thread of its own asks for the frames
// that the clock says have passed, every few milliseconds, and drops them. It stands in for a
// stream that cannot be opened, so that the keyer and the decoder still run at their speed.
class ClockedSidetoneDevice : public SidetoneDevice {
public:
    static constexpr int32_t kPeriodMs = 5;          // [ms] between two calls
    static constexpr int32_t kMaxBlockFrames = 4096; // [frames] asked for at once at most

    ClockedSidetoneDevice() = default;
    ~ClockedSidetoneDevice() override;

    bool Open(int32_t deviceId, int32_t sampleRate, RenderFunction render, void* userData) override;
    void Close() override;
    bool IsOpen() const override { return thread.joinable(); }
    bool IsAudible() const override { return false; }

private:
    void Run(int32_t sampleRate, RenderFunction render, void* userData);

    std::thread thread;
    std::atomic<bool> stop{false};
    std::unique_ptr<uint32_t[]> scratch; // kMaxBlockFrames frames, written by the thread
};
