#pragma once

#include "audio/StereoFrame.h"

#include <cstdint>

// The abstract audio output. Its owner registers a SampleCallback and the driver pulls
// blocks of frames from it on a thread of its own. The defaults of this class make a
// silent driver named "Silent": it cannot be configured, but starts and stops happily.
class SoundDriver {
public:
    SoundDriver() = default;
    SoundDriver(const SoundDriver&) = delete;
    SoundDriver& operator=(const SoundDriver&) = delete;
    virtual ~SoundDriver();

    // ownerWindow is accepted for drivers that need a window; none here uses it.
    virtual void SetCallback(void* ownerWindow, SampleCallback callback, void* userData);
    virtual bool QueryCapability();
    // sampleRate [Hz], bufferBytes [bytes], bufferCount [buffers], refillIntervalMs [ms].
    virtual bool Configure(int32_t sampleRate, int32_t bufferBytes, int32_t bufferCount, int32_t refillIntervalMs,
                           int32_t deviceId);
    virtual bool Configure(int32_t sampleRate, int32_t bufferBytes, int32_t bufferCount, int32_t refillIntervalMs);
    virtual bool Start();
    virtual bool Stop();
    virtual bool SetActive(bool on);
    virtual int32_t GetQueuedFrames(); // [frames], low 23 bits
    virtual int32_t GetPlayedFrames(); // [frames], low 23 bits
    virtual int32_t GetBufferCount();
    virtual int32_t GetBufferBytes(); // [bytes]
    virtual bool HasCallback();
    virtual bool IsConfigured();
    // The address of a per-class constant: the same pointer on every call.
    virtual const char* GetName();
};
