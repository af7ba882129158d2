#pragma once

#include "audio/BufferSlot.h"
#include "audio/DriverErrorReporter.h"
#include "audio/ManualResetEvent.h"
#include "audio/SoundDriver.h"
#include "audio/WaveDevice.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

class WaveOutDriver;

// The audio thread: raises its own priority, runs a refill pass every refillIntervalMs
// until a stop is requested, then signals ThreadExitEvent as its last act.
void AudioThreadProc(WaveOutDriver* driver);

// The sound driver on a wave-output device: a ring of buffers queued on the device, and an
// audio thread that refills every buffer the device has finished from the SampleCallback,
// converted to 16-bit stereo PCM. The device does not notify the driver; the thread wakes
// at a fixed interval and tests the done flag of the next buffer in the ring.
//
// Threads: the owner's thread makes every call below except Refill, which only the audio
// thread runs. SetCallback, Configure and SetErrorReporter are called while stopped.
class WaveOutDriver : public SoundDriver {
public:
    static constexpr int32_t kMaxBuffers = 8;

    // Plays through PortAudio (not in builds without it, see ZELBIN_WITH_PORTAUDIO).
    WaveOutDriver();
    // Plays through the given device (tests use a fake one).
    explicit WaveOutDriver(std::unique_ptr<WaveDevice> device);
    ~WaveOutDriver() override;

    void SetCallback(void* ownerWindow, SampleCallback callback, void* userData) override;
    bool QueryCapability() override;
    bool Configure(int32_t sampleRate, int32_t bufferBytes, int32_t bufferCount, int32_t refillIntervalMs,
                   int32_t deviceId) override;
    bool Configure(int32_t sampleRate, int32_t bufferBytes, int32_t bufferCount, int32_t refillIntervalMs) override;
    bool Start() override;
    bool Stop() override;
    bool SetActive(bool on) override;
    int32_t GetQueuedFrames() override; // [frames] handed to the device since open, low 23 bits
    int32_t GetPlayedFrames() override; // [frames] played since open, low 23 bits
    int32_t GetBufferCount() override;
    int32_t GetBufferBytes() override; // [bytes]
    bool HasCallback() override;
    bool IsConfigured() override;
    const char* GetName() override;
    int32_t GetRefillIntervalMs() const { return refillIntervalMs; } // [ms]

    // Output devices, ids 0 to GetDeviceCount() - 1 in the device's order.
    int32_t GetDeviceCount();
    // The name of a device, at most 31 characters ("" when it cannot be read). Always the
    // same buffer: the text stays valid until the next call.
    const char* GetDeviceName(int32_t deviceId);

    // Start and end a stream without the checks of Start.
    bool Open();
    bool Close();
    // One refill pass; run by the audio thread only.
    void Refill();
    // Shows text under the caption "WaveOut driver" and returns when it has been seen.
    void ReportError(const char* text);
    // Where reports go; null restores DefaultErrorReporter(). The reporter must outlive
    // the driver.
    void SetErrorReporter(DriverErrorReporter* reporter);

protected:
    // Starts the audio thread on AudioThreadProc(this); false when it cannot be started.
    virtual bool StartAudioThread();
    // Signals ThreadExitEvent; for a replacement of StartAudioThread that runs no thread.
    static void SignalAudioThreadEnded();

private:
    friend void AudioThreadProc(WaveOutDriver* driver);

    // A report raised on the audio thread, which waits for the box unless a stop is requested.
    void ReportFromAudioThread(const char* text, int32_t mutedBit);
    bool AllocateSlots();
    void ReleaseSlots();
    bool HoldsSlotMemory() const;
    bool AllSlotsDone() const;
    void FillSlot(BufferSlot& slot, int32_t framesPerBuffer);
    WaveHeader* ResetHeader(BufferSlot& slot);

    int32_t sampleRate = 44100; // [Hz]
    bool hasCallback = false;
    bool isConfigured = false;
    std::unique_ptr<WaveDevice> device;
    char deviceName[256] = {};
    int32_t bufferCount = 7;
    int32_t bufferBytes = 4096; // [bytes] per slot
    int32_t refillIntervalMs = 10;
    int32_t deviceId = 0;
    int32_t ringIndex = 0;                // audio thread only, between open and close
    std::atomic<int32_t> queuedFrames{0}; // [frames] written by the audio thread, read by the owner
    bool running = false;                 // owner's thread only
    std::atomic<bool> stopRequested{false};
    BufferSlot bufferSlots[kMaxBuffers];
    void* userData = nullptr;
    SampleCallback callback = nullptr;

    std::atomic<DriverErrorReporter*> reporter;
    std::thread audioThread;
    // Refill texts already reported during the current run of failures (one bit each);
    // cleared by the next successful write. Audio thread only.
    int32_t mutedReports = 0;

    // Makes opening and closing mutually exclusive. Recursive, like the platform's critical
    // section: a message box shown from Open or Close runs a nested event loop on the same
    // thread, and whatever that loop calls on the driver must not deadlock.
    static std::recursive_mutex DriverLock;
    // Reset by Open before the audio thread starts, signalled by the thread as its last act,
    // waited for by Close.
    static ManualResetEvent ThreadExitEvent;
};
