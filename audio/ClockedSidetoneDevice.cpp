#include "audio/ClockedSidetoneDevice.h"

#include <algorithm>
#include <chrono>

ClockedSidetoneDevice::~ClockedSidetoneDevice() {
    Close();
}

bool ClockedSidetoneDevice::Open(int32_t, int32_t sampleRate, RenderFunction render, void* userData) {
    Close();
    if (render == nullptr || sampleRate <= 0) {
        return false;
    }
    scratch = std::make_unique<uint32_t[]>(kMaxBlockFrames);
    stop.store(false, std::memory_order_relaxed);
    thread = std::thread([this, sampleRate, render, userData] { Run(sampleRate, render, userData); });
    return true;
}

void ClockedSidetoneDevice::Close() {
    if (!thread.joinable()) {
        return;
    }
    stop.store(true, std::memory_order_release);
    thread.join();
}

// Real-time rule for the render function: the thread allocates nothing once started.
void ClockedSidetoneDevice::Run(int32_t sampleRate, RenderFunction render, void* userData) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    int64_t rendered = 0; // [frames]
    while (!stop.load(std::memory_order_acquire)) {
        const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
        const int64_t due = elapsed * sampleRate / 1000000;
        while (rendered < due) {
            const auto frames = static_cast<int32_t>(std::min<int64_t>(due - rendered, kMaxBlockFrames));
            render(userData, scratch.get(), frames);
            rendered += frames;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kPeriodMs));
    }
}
