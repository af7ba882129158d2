#pragma once

#include "audio/WaveDevice.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>

typedef void PaStream;
struct PaStreamCallbackTimeInfo;

// A WaveDevice on a PortAudio callback stream. The buffers written are handed to the
// PortAudio callback through a single-producer, single-consumer queue (the writer is the
// driver's audio thread, the reader the callback) and played one after another in the
// order written. A buffer is marked done one buffer late, once the callback has taken the
// next one whole, and the callback then wakes the audio thread (WaitUntilDone). With nothing
// queued the callback plays silence and counts an underflow. Reset stops the stream (the
// callback ends) and Restart starts it again.
//
// Device ids: the output-capable devices only, the system's default output first, then the
// others in PortAudio's order. The list is read once, when PortAudio is initialised (once
// per process), and stays the same for the life of the process.
class PortAudioDevice : public WaveDevice {
public:
    PortAudioDevice();
    ~PortAudioDevice() override;

    WaveStatus Open(int32_t deviceId, int32_t sampleRate) override;
    WaveStatus PrepareHeader(WaveHeader* header) override;
    WaveStatus UnprepareHeader(WaveHeader* header) override;
    WaveStatus Write(WaveHeader* header) override;
    WaveStatus Reset() override;
    WaveStatus Restart() override;
    WaveStatus Close() override;
    WaveStatus GetPosition(WavePosition* position) override;
    void WaitUntilDone(const WaveHeader& header, const std::atomic<bool>& cancel) override;
    void WakeWaiter() override;
    int32_t GetDeviceCount() override;
    WaveStatus GetDeviceName(int32_t deviceId, char* name, size_t capacity) override;

    // Callbacks since Open that found no buffer queued after the first write (after a
    // Reset, counting waits for the next write again).
    uint64_t GetUnderflowCount() const;
    // Callbacks since Open that PortAudio flagged as following a gap in the output (the host
    // ran dry: its thread was held up longer than the host buffer lasts).
    uint64_t GetHostUnderflowCount() const;
    // True once the stream has stopped by itself (the device went away).
    bool HasFailed() const;

    // PortAudio's index of output device deviceId (our ids, as above), for other streams on the
    // same device; -1 when there is no such device.
    static int32_t HostDeviceIndex(int32_t deviceId);

    // Measuring hook: after Arm, the callback notes the time at which it takes the first
    // non-zero sample from a written buffer.
    void ArmToneProbe();
    // The time noted since the last Arm, if any.
    bool ToneProbeTime(std::chrono::steady_clock::time_point* when) const;

private:
    static int StreamCallback(const void* input, void* output, unsigned long frameCount,
                              const PaStreamCallbackTimeInfo* timeInfo, unsigned long statusFlags, void* userData);
    static void StreamFinished(void* userData);
    void Render(uint32_t* output, unsigned long frameCount);
    void ProbeTone(const uint32_t* frames, size_t count);
    void StopStream();
    void MarkAllQueuedDone();
    void HandBackTaken();
    void MeasureStartBurst(unsigned long frameCount);
    size_t PlayLeadSilence(uint32_t* output, unsigned long frameCount);

    static constexpr size_t kQueueCapacity = 16; // a power of 2, at least the driver's 8 slots

    PaStream* stream = nullptr;
    bool streamStarted = false; // owner's and audio thread, never at once (see WaveDevice)

    // The queue. head is written by the producer only, released by the consumer only; each
    // publishes with release and reads the other's index with acquire. The buffer from
    // released to taken (one at most) has had its last frame taken but is not yet done; those
    // from taken to head are still to play.
    WaveHeader* queue[kQueueCapacity] = {};
    std::atomic<size_t> head{0};
    std::atomic<size_t> released{0};
    size_t taken = 0;         // consumer only
    size_t offsetInFront = 0; // [frames] already taken of the front buffer; consumer only
    // Counts hand-backs of done buffers (and wake-ups); WaitUntilDone waits for it to change.
    std::atomic<int32_t> handBacks{0};

    std::atomic<uint64_t> playedFrames{0}; // [frames] taken from buffers since Open
    std::atomic<uint64_t> underflows{0};
    std::atomic<uint64_t> hostUnderflows{0};
    std::atomic<bool> fed{false};      // a buffer has been written since Open or Reset
    std::atomic<bool> stopping{false}; // the stream is being stopped on purpose
    std::atomic<bool> failed{false};   // the stream stopped by itself
    std::atomic<bool> probeArmed{false};
    std::atomic<int64_t> probeTime{0}; // [ns] of steady_clock; 0 = none yet

    // A stream that starts asks at once for what the host buffers, and a sound server may
    // buffer more than the driver's ring holds (6 callbacks, 6144 frames, through PulseAudio's
    // ALSA plugin with a host buffer of 4096 frames; 3 callbacks with 2048). The callback measures that burst after
    // Open, where nothing is queued yet; a Restart then has the part of it that the queue cannot cover played as
    // silence first.
    int32_t sampleRate = 44100;                // [Hz] set by Open
    bool measuringBurst = false;               // consumer only (set by Open before the start)
    int64_t burstFrames = 0;                   // [frames] asked so far in the burst; consumer only
    int64_t lastCallbackNs = 0;                // [ns] of steady_clock; consumer only
    std::atomic<int64_t> startBurstFrames{0};  // [frames] the burst after Open, once measured
    std::atomic<int64_t> leadSilenceFrames{0}; // [frames] still to play before the queue; set by Restart
};
