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

// The audio thread: raises its own priority, runs refill passes refillIntervalMs apart at
// least until a stop is requested, then signals ThreadExitEvent as its last act. Between
// passes it waits for the device to finish the next buffer, where the device can say when.
void AudioThreadProc(WaveOutDriver* driver);

// The sound driver on a wave-output device: a ring of buffers queued on the device, and an
// audio thread that refills every buffer the device has finished from the SampleCallback,
// converted to 16-bit stereo PCM. The thread tests the done flag of the next buffer in the
// ring at most once every refill interval; between passes it sleeps until the device has
// finished that buffer, where the device can say when, or else for the interval.
//
// With an idle pause set, a stream that has played nothing but silence (every sample zero)
// for that long is paused: the device is reset, which stops it and drops the silence still
// queued, and the audio thread sleeps. WakeForSound wakes it at once, and it looks by itself
// every kSilencePollMs; each time it asks the callback for the buffers the stream would have
// played meanwhile, and drops them while they are silent. The first buffer with a sound is
// written, the ring refilled behind it, and the device restarted.
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

    // Pauses the stream after afterMs [ms] of silence, until the next sound; 0, the default,
    // never pauses. Takes effect at the next Open.
    void SetIdlePause(int32_t afterMs);
    // True while the stream is paused for silence; any thread may ask.
    bool IsPausedForSilence() const { return paused.load(std::memory_order_acquire); }
    // Says that the callback may sound from now on (a character was started, the noise switched
    // on), so that a paused stream starts again at once rather than at its next look. Any
    // thread; it neither locks nor allocates, and does nothing while the stream runs.
    void WakeForSound();

    static constexpr int32_t kSilencePollMs = 500; // [ms] longest sleep of a paused stream

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
    bool FillSlot(BufferSlot& slot, int32_t framesPerBuffer);
    bool KeepsStreaming(bool silent, int32_t framesPerBuffer);
    void RunWhilePaused();
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

    int32_t idlePauseMs = 0;             // [ms] owner's thread
    int64_t idlePauseFrames = 0;         // [frames] of silence before a pause; set by Open; 0: never
    int64_t silentFrames = 0;            // [frames] of silence written since the last sound; audio thread only
    bool restartDue = false;             // a sound ended the pause: the device starts after the pass; audio thread only
    std::atomic<bool> paused{false};     // written by the audio thread (and by Open and Close while it is not running)
    std::atomic<uint32_t> soundWakes{0}; // counts WakeForSound (and stops); a paused thread waits for a change

    // Makes opening and closing mutually exclusive. Recursive, like the platform's critical
    // section: a message box shown from Open or Close runs a nested event loop on the same
    // thread, and whatever that loop calls on the driver must not deadlock.
    static std::recursive_mutex DriverLock;
    // Reset by Open before the audio thread starts, signalled by the thread as its last act,
    // waited for by Close.
    static ManualResetEvent ThreadExitEvent;
};
