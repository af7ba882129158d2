#pragma once

#include "audio/WaveHeader.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

// Result of every WaveDevice call: 0 is success, anything else a failure.
using WaveStatus = int32_t;
constexpr WaveStatus kWaveOk = 0;
constexpr WaveStatus kWaveFailed = 1;

// The unit in which a device answers a position query.
enum class WaveTimeUnit {
    Frames, // frames played since the device was opened
    Bytes,  // bytes played since the device was opened
};

struct WavePosition {
    WaveTimeUnit unit = WaveTimeUnit::Frames;
    uint32_t value = 0;
};

// The wave-output device under WaveOutDriver: one output stream of 16-bit signed stereo
// PCM, left sample first, fed with buffers that it plays one after another in the order
// written and marks done as it finishes them. WaveOutDriver talks only to this interface.
//
// Threads: Open, Reset, Close, GetPosition and the device list are called by the driver's
// owner thread; PrepareHeader, UnprepareHeader and Write by its audio thread while the
// stream runs, and by the owner thread only after the audio thread has ended. The two never
// overlap on one header. The audio thread also calls Reset and Restart, to pause a stream that
// plays only silence; the owner calls Reset and Close only once that thread has ended.
class WaveDevice {
public:
    WaveDevice() = default;
    WaveDevice(const WaveDevice&) = delete;
    WaveDevice& operator=(const WaveDevice&) = delete;
    virtual ~WaveDevice();

    // Opens device deviceId (0 to GetDeviceCount() - 1) for 16-bit stereo at sampleRate [Hz].
    // Opening a device that is still open first closes it, which ends any use of buffers
    // written before. An id outside the list fails.
    virtual WaveStatus Open(int32_t deviceId, int32_t sampleRate) = 0;
    // Makes a filled buffer ready to be written, and releases that once the device is done.
    virtual WaveStatus PrepareHeader(WaveHeader* header) = 0;
    virtual WaveStatus UnprepareHeader(WaveHeader* header) = 0;
    // Queues a prepared buffer behind those already written. The header and its data must
    // stay in place, untouched, until the device has marked it done.
    virtual WaveStatus Write(WaveHeader* header) = 0;
    // Stops playback at once and marks every queued buffer done. The device stays open and
    // plays what is written afterwards, once Restart is called.
    virtual WaveStatus Reset() = 0;
    // Starts playback again after a Reset, once the buffers to play first are written, so that
    // a device that takes many frames at once finds them all. Does nothing where playback goes
    // on by itself. A failure gives back every queued buffer as done.
    virtual WaveStatus Restart();
    // Closes the device. Every buffer written must be done first.
    virtual WaveStatus Close() = 0;
    // Frames played since Open. A device that cannot count frames answers in another unit.
    virtual WaveStatus GetPosition(WavePosition* position) = 0;

    // The output devices, ids 0 to GetDeviceCount() - 1.
    virtual int32_t GetDeviceCount() = 0;
    // Copies the name of device deviceId, cut to capacity - 1 characters and zero-terminated.
    virtual WaveStatus GetDeviceName(int32_t deviceId, char* name, size_t capacity) = 0;

    // Returns once `header` is done or `cancel` is set, whichever comes first, or at once on a
    // device that cannot tell when it finishes a buffer. Called by the audio thread between
    // refill passes, so that a pass is not spent finding no finished buffer.
    virtual void WaitUntilDone(const WaveHeader& header, const std::atomic<bool>& cancel);
    // Ends a WaitUntilDone under way early; called by the owner thread after setting its cancel.
    virtual void WakeWaiter();

    // Memory for data blocks and headers: the device reads it at a fixed address while a
    // buffer is queued. Returns null when nothing can be allocated. Blocks come zeroed.
    virtual void* AllocateBlock(size_t bytes);
    virtual void FreeBlock(void* block);
};
