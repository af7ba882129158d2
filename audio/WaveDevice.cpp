#include "audio/WaveDevice.h"

#include <cstdlib>

WaveDevice::~WaveDevice() = default;

WaveStatus WaveDevice::Restart() {
    return kWaveOk;
}

void WaveDevice::WaitUntilDone(const WaveHeader&, const std::atomic<bool>&) {}

void WaveDevice::WakeWaiter() {}

void* WaveDevice::AllocateBlock(size_t bytes) {
    return std::calloc(1, bytes == 0 ? 1 : bytes);
}

void WaveDevice::FreeBlock(void* block) {
    std::free(block);
}
