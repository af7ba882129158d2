#pragma once

#include "audio/SidetoneDevice.h"

#include <cstdint>
#include <vector>

// A SidetoneDevice for tests: nothing runs by itself; Play renders frames on the caller's thread,
// as the stream's thread would, and keeps the left channel of what was rendered. Open fails on
// request.
class FakeSidetoneDevice : public SidetoneDevice {
public:
    bool Open(int32_t deviceId, int32_t sampleRate, RenderFunction renderFunction, void* userData) override {
        if (failOpen) {
            return false;
        }
        openedDevice = deviceId;
        rate = sampleRate;
        render = renderFunction;
        renderData = userData;
        open = true;
        return true;
    }
    void Close() override { open = false; }
    bool IsOpen() const override { return open; }

    // Renders frames in blocks of blockFrames, as a stream with such callbacks would.
    void Play(int32_t frames, int32_t blockFrames = 128) {
        std::vector<uint32_t> block(static_cast<size_t>(blockFrames));
        for (int32_t done = 0; open && done < frames; done += blockFrames) {
            render(renderData, block.data(), blockFrames);
            for (uint32_t word : block) {
                left.push_back(static_cast<int16_t>(word & 0xFFFFu));
            }
        }
    }

    bool failOpen = false;
    int32_t openedDevice = -1;
    int32_t rate = 0;
    std::vector<int16_t> left; // every frame rendered, left channel

private:
    bool open = false;
    RenderFunction render = nullptr;
    void* renderData = nullptr;
};
