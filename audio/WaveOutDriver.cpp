#include "audio/WaveOutDriver.h"

#include "audio/ErrorBoxGate.h"
#include "audio/PcmConversion.h"
#ifdef ZELBIN_WITH_PORTAUDIO
#include "audio/PortAudioDevice.h"
#endif

#include <algorithm>
#include <chrono>
#include <cstring>
#include <new>
#include <system_error>

#if defined(__linux__)
#include <cerrno>
#include <linux/futex.h>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#elif defined(_WIN32)
#include <windows.h>
#endif

std::recursive_mutex WaveOutDriver::DriverLock;
ManualResetEvent WaveOutDriver::ThreadExitEvent;

namespace {
const char kDriverName[] = "Windows WaveOut MME";
const char kCaption[] = "WaveOut driver";
constexpr int32_t kCountMask = 0x7FFFFF;    // GetQueuedFrames and GetPlayedFrames keep 23 bits
constexpr int32_t kDeviceNameCapacity = 32; // 31 characters and the terminating zero
constexpr auto kCloseWaitStep = std::chrono::milliseconds(2);

// Bits of mutedReports, one per text a refill pass can raise.
constexpr int32_t kMuteUnprepare = 1;
constexpr int32_t kMutePrepare = 2;
constexpr int32_t kMuteWrite = 4;
constexpr int32_t kMuteRestart = 8;

// Returns once word is no longer `seen` or the timeout has passed (or earlier: callers test
// again). A futex on Linux, which neither locks nor allocates; elsewhere short sleeps.
void WaitForChange(const std::atomic<uint32_t>& word, uint32_t seen, std::chrono::milliseconds timeout) {
#if defined(__linux__)
    static_assert(sizeof(std::atomic<uint32_t>) == sizeof(uint32_t) && std::atomic<uint32_t>::is_always_lock_free);
    timespec wait{static_cast<time_t>(timeout.count() / 1000), static_cast<long>(timeout.count() % 1000) * 1000000};
    syscall(SYS_futex, reinterpret_cast<const uint32_t*>(&word), FUTEX_WAIT_PRIVATE, seen, &wait, nullptr, 0);
#else
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (word.load(std::memory_order_acquire) == seen && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
#endif
}

void WakeWaiters(std::atomic<uint32_t>& word) {
#if defined(__linux__)
    syscall(SYS_futex, reinterpret_cast<uint32_t*>(&word), FUTEX_WAKE_PRIVATE, INT32_MAX, nullptr, nullptr, 0);
#else
    (void)word;
#endif
}

// One step above normal, where the system allows it; a refusal changes nothing. On Linux that
// step is real-time scheduling at the lowest real-time priority where it is granted (to root,
// or to users with an RLIMIT_RTPRIO, as audio users often have), so that a busy machine does
// not leave the ring to run dry; elsewhere one nice step.
void RaiseOwnPriority() {
#if defined(__linux__)
    sched_param realTime{};
    realTime.sched_priority = sched_get_priority_min(SCHED_RR);
    if (pthread_setschedparam(pthread_self(), SCHED_RR, &realTime) == 0) {
        return;
    }
    const auto tid = static_cast<id_t>(syscall(SYS_gettid));
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, tid);
    if (nice == -1 && errno != 0) {
        return;
    }
    (void)setpriority(PRIO_PROCESS, tid, nice - 1);
#elif defined(_WIN32)
    (void)SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
#endif
}
} // namespace

// Passes stay refillIntervalMs apart at least. Between them the thread waits, where the device
// can tell, until the slot at which the next pass begins is done: an idle stream then costs
// one wake-up for each buffer the device finishes, instead of one every interval that mostly
// finds nothing to do.
void AudioThreadProc(WaveOutDriver* driver) {
#if defined(__linux__)
    pthread_setname_np(pthread_self(), "zelbin-audio");
#endif
    RaiseOwnPriority();
    const auto interval = std::chrono::milliseconds(driver->refillIntervalMs);
    while (!driver->stopRequested.load(std::memory_order_acquire)) {
        driver->Refill();
        if (driver->IsPausedForSilence()) {
            driver->RunWhilePaused();
            continue;
        }
        const auto passEnded = std::chrono::steady_clock::now();
        driver->device->WaitUntilDone(*driver->bufferSlots[driver->ringIndex].header, driver->stopRequested);
        std::this_thread::sleep_until(passEnded + interval);
    }
    WaveOutDriver::ThreadExitEvent.Set();
}

#ifdef ZELBIN_WITH_PORTAUDIO
WaveOutDriver::WaveOutDriver() : WaveOutDriver(std::make_unique<PortAudioDevice>()) {}
#endif

WaveOutDriver::WaveOutDriver(std::unique_ptr<WaveDevice> waveDevice)
    : device(std::move(waveDevice)), reporter(&DefaultErrorReporter()) {}

WaveOutDriver::~WaveOutDriver() {
    if (hasCallback) {
        Stop();
    }
    if (audioThread.joinable()) {
        audioThread.join();
    }
    // Memory left by a failed Close: free it only once the device has let go of it, as a
    // device that still reads freed memory is worse than a leak.
    if (HoldsSlotMemory()) {
        const bool reset = device->Reset() == kWaveOk;
        const bool closed = device->Close() == kWaveOk;
        if (reset || closed) {
            ReleaseSlots();
        }
    }
}

void WaveOutDriver::SetCallback(void*, SampleCallback newCallback, void* newUserData) {
    // Callers stop first. Should a stream still run, it is stopped here, or its audio thread
    // would go on calling the callback being replaced.
    if (audioThread.joinable()) {
        Close();
    }
    callback = newCallback;
    userData = newUserData;
    hasCallback = true;
    // Still set only after a failed Close: that stream is abandoned, and the next Start
    // opens the device anew (Open frees the abandoned memory once the device has reopened).
    running = false;
}

bool WaveOutDriver::QueryCapability() {
    return false;
}

bool WaveOutDriver::Configure(int32_t newSampleRate, int32_t newBufferBytes, int32_t newBufferCount,
                              int32_t newRefillIntervalMs, int32_t newDeviceId) {
    if (newSampleRate == 22050 || newSampleRate == 44100 || newSampleRate == 96000) {
        sampleRate = newSampleRate;
    }
    if (newBufferBytes >= 1 && newBufferBytes <= 32767) {
        bufferBytes = newBufferBytes;
    }
    if (newBufferCount >= 3 && newBufferCount <= kMaxBuffers) {
        bufferCount = newBufferCount;
    }
    if (newRefillIntervalMs >= 1 && newRefillIntervalMs <= 199) {
        refillIntervalMs = newRefillIntervalMs;
    }
    deviceId = newDeviceId;
    isConfigured = true;
    return true;
}

bool WaveOutDriver::Configure(int32_t newSampleRate, int32_t newBufferBytes, int32_t newBufferCount,
                              int32_t newRefillIntervalMs) {
    return Configure(newSampleRate, newBufferBytes, newBufferCount, newRefillIntervalMs, 0);
}

bool WaveOutDriver::Start() {
    if (!hasCallback || !isConfigured) {
        return false;
    }
    return Open();
}

bool WaveOutDriver::Stop() {
    if (running) {
        Close();
    }
    return true;
}

bool WaveOutDriver::SetActive(bool on) {
    return on ? Open() : Close();
}

int32_t WaveOutDriver::GetQueuedFrames() {
    if (!running) {
        return 0;
    }
    return queuedFrames.load(std::memory_order_relaxed) & kCountMask;
}

int32_t WaveOutDriver::GetPlayedFrames() {
    if (!running) {
        return 0;
    }
    WavePosition position;
    position.unit = WaveTimeUnit::Frames;
    if (device->GetPosition(&position) != kWaveOk) {
        ReportError("waveOutGetPosition() failed");
        return 0; // no position known
    }
    if (position.unit != WaveTimeUnit::Frames) {
        ReportError("waveOutGetPosition() doesn't support TIME_SAMPLES");
    }
    return static_cast<int32_t>(position.value & kCountMask);
}

int32_t WaveOutDriver::GetBufferCount() {
    return bufferCount;
}
int32_t WaveOutDriver::GetBufferBytes() {
    return bufferBytes;
}
bool WaveOutDriver::HasCallback() {
    return hasCallback;
}
bool WaveOutDriver::IsConfigured() {
    return isConfigured;
}
const char* WaveOutDriver::GetName() {
    return kDriverName;
}

int32_t WaveOutDriver::GetDeviceCount() {
    return device->GetDeviceCount();
}

const char* WaveOutDriver::GetDeviceName(int32_t id) {
    if (device->GetDeviceName(id, deviceName, kDeviceNameCapacity) != kWaveOk) {
        deviceName[0] = '\0';
    }
    deviceName[kDeviceNameCapacity - 1] = '\0';
    return deviceName;
}

bool WaveOutDriver::Open() {
    std::lock_guard lock(DriverLock);
    if (running) {
        return true;
    }
    if (callback == nullptr) {
        return false;
    }
    if (device->Open(deviceId, sampleRate) != kWaveOk) {
        ReportError("waveOutOpen() failed");
        return false;
    }
    ReleaseSlots(); // memory of a stream abandoned after a failed Close; the reopen ended its use
    ringIndex = 0;
    queuedFrames.store(0, std::memory_order_relaxed);
    mutedReports = 0;
    idlePauseFrames = static_cast<int64_t>(idlePauseMs) * sampleRate / 1000;
    silentFrames = 0;
    restartDue = false;
    paused.store(false, std::memory_order_relaxed);
    // A slot without memory must never be filled or written: give back everything and fail.
    if (!AllocateSlots()) {
        ReleaseSlots();
        device->Close();
        return false;
    }
    stopRequested.store(false, std::memory_order_relaxed);
    ThreadExitEvent.Reset();
    // Without a thread nothing would ever signal ThreadExitEvent and a Close would wait for
    // good; a stream that cannot be fed is not started at all.
    if (!StartAudioThread()) {
        ThreadExitEvent.Set();
        ReleaseSlots();
        device->Close();
        return false;
    }
    running = true;
    return true;
}

bool WaveOutDriver::AllocateSlots() {
    for (int32_t i = 0; i < bufferCount; ++i) {
        BufferSlot& slot = bufferSlots[i];
        slot.dataHandle = device->AllocateBlock(static_cast<size_t>(bufferBytes));
        if (slot.dataHandle == nullptr) {
            ReportError("GlobalAlloc() failed");
            return false;
        }
        slot.data = static_cast<uint32_t*>(slot.dataHandle);
    }
    for (int32_t i = 0; i < bufferCount; ++i) {
        BufferSlot& slot = bufferSlots[i];
        slot.headerHandle = device->AllocateBlock(sizeof(WaveHeader));
        if (slot.headerHandle == nullptr) {
            ReportError("GlobalAlloc() failed");
            return false;
        }
        slot.header = new (slot.headerHandle) WaveHeader;
        slot.header->data = slot.data;
        slot.header->bufferBytes = bufferBytes;
        slot.header->loops = 0;
        // Every slot starts out done, so the first pass fills the whole ring.
        slot.header->flags.store(kWaveHeaderDone, std::memory_order_relaxed);
        slot.prepared = false;
    }
    return true;
}

// Frees every block still held, in all 8 slots: the count in use may have been configured
// anew since the memory of an abandoned stream was allocated.
void WaveOutDriver::ReleaseSlots() {
    for (BufferSlot& slot : bufferSlots) {
        if (slot.dataHandle != nullptr) {
            device->FreeBlock(slot.dataHandle);
        }
        if (slot.header != nullptr) {
            slot.header->~WaveHeader();
        }
        if (slot.headerHandle != nullptr) {
            device->FreeBlock(slot.headerHandle);
        }
        slot = BufferSlot{};
    }
}

bool WaveOutDriver::HoldsSlotMemory() const {
    for (const BufferSlot& slot : bufferSlots) {
        if (slot.dataHandle != nullptr || slot.headerHandle != nullptr) {
            return true;
        }
    }
    return false;
}

bool WaveOutDriver::StartAudioThread() {
    try {
        audioThread = std::thread(AudioThreadProc, this);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void WaveOutDriver::SignalAudioThreadEnded() {
    ThreadExitEvent.Set();
}

// Close cannot deadlock against a report of the audio thread: the thread waits for its box
// only until stopRequested is set, and Close sets it and wakes that wait before it waits
// for ThreadExitEvent. The box itself stays up for the UI thread to show once Close is over.
bool WaveOutDriver::Close() {
    std::lock_guard lock(DriverLock);
    if (!running) {
        return true;
    }
    stopRequested.store(true, std::memory_order_release);
    ErrorBoxGate::Instance().WakeWaiters();
    device->WakeWaiter();
    soundWakes.fetch_add(1, std::memory_order_release);
    WakeWaiters(soundWakes);
    ThreadExitEvent.Wait();
    if (audioThread.joinable()) {
        audioThread.join(); // it has signalled its last act; this only reclaims the thread
    }
    if (device->Reset() != kWaveOk) {
        ReportError("waveOutReset() failed");
        return false;
    }
    // The reset has made every queued buffer done, and a buffer the device refused was
    // marked done by Refill, so this ends.
    while (!AllSlotsDone()) {
        std::this_thread::sleep_for(kCloseWaitStep);
    }
    for (int32_t i = 0; i < bufferCount; ++i) {
        BufferSlot& slot = bufferSlots[i];
        if (!slot.prepared) {
            continue;
        }
        if (device->UnprepareHeader(slot.header) != kWaveOk) {
            ReportError("waveOutUnprepareHeader() failed");
            continue;
        }
        slot.prepared = false;
    }
    if (device->Close() != kWaveOk) {
        ReportError("waveOutClose() failed");
        return false;
    }
    ReleaseSlots();
    paused.store(false, std::memory_order_relaxed);
    running = false;
    return true;
}

bool WaveOutDriver::AllSlotsDone() const {
    for (int32_t i = 0; i < bufferCount; ++i) {
        if (bufferSlots[i].header != nullptr && !bufferSlots[i].header->IsDone()) {
            return false;
        }
    }
    return true;
}

// A pass visits each slot at most once. Normally it stops earlier, at the first slot still
// queued; the bound matters when the device refuses buffers, which are then marked done at
// once and would otherwise be refilled over and over within one pass.
void WaveOutDriver::Refill() {
    const int32_t framesPerBuffer = bufferBytes / 4;
    int32_t index = ringIndex;
    for (int32_t visited = 0; visited < bufferCount && bufferSlots[index].header->IsDone(); ++visited) {
        BufferSlot& slot = bufferSlots[index];
        if (slot.prepared) {
            if (device->UnprepareHeader(slot.header) != kWaveOk) {
                ReportFromAudioThread("waveOutUnprepareHeader() failed", kMuteUnprepare);
            }
            slot.prepared = false;
        }
        if (!KeepsStreaming(FillSlot(slot, framesPerBuffer), framesPerBuffer)) {
            break; // the slot stays done, its silence unwritten
        }
        queuedFrames.fetch_add(framesPerBuffer, std::memory_order_relaxed);
        WaveHeader* header = ResetHeader(slot);
        if (device->PrepareHeader(header) != kWaveOk) {
            ReportFromAudioThread("waveOutPrepareHeader() failed", kMutePrepare);
        }
        slot.prepared = true;
        if (device->Write(header) != kWaveOk) {
            // The device will never mark this buffer done. Doing it here gives the slot back
            // to the ring for the next pass, and lets Close's wait for done flags end.
            header->MarkDone();
            ReportFromAudioThread("waveOutWrite() failed", kMuteWrite);
        } else {
            mutedReports = 0;
        }
        index = (index + 1) % bufferCount;
    }
    ringIndex = index;
    if (restartDue) {
        restartDue = false;
        if (device->Restart() != kWaveOk) {
            ReportFromAudioThread("waveOutRestart() failed", kMuteRestart);
        }
    }
}

// Asks the callback for the rest of the buffer until it is full. A callback that breaks its
// contract cannot overrun the block or stall the thread: more frames than asked are cut to
// what is missing, and no frames (or no data) end the buffer with silence.
// Silence (every sample exactly zero, which converts to zero) is written as such, without
// the conversion; the result says whether the whole slot is silent.
bool WaveOutDriver::FillSlot(BufferSlot& slot, int32_t framesPerBuffer) {
    bool silent = true;
    int32_t filled = 0;
    while (filled < framesPerBuffer) {
        const int32_t missing = framesPerBuffer - filled;
        int32_t count = missing;
        const StereoFrame* frames = callback(userData, &count);
        if (frames == nullptr || count < 1) {
            std::memset(slot.data + filled, 0, static_cast<size_t>(missing) * sizeof(uint32_t));
            return silent;
        }
        if (count > missing) {
            count = missing;
        }
        const bool zero = std::all_of(
            frames, frames + count, [](const StereoFrame& frame) { return frame.left == 0.0f && frame.right == 0.0f; });
        if (zero) {
            std::memset(slot.data + filled, 0, static_cast<size_t>(count) * sizeof(uint32_t));
        } else {
            ConvertToPcm16(frames, slot.data + filled, count);
        }
        silent = silent && zero;
        filled += count;
    }
    return silent;
}

// Counts the silence written and pauses the stream once there has been idlePauseFrames of it;
// the first sound ends a pause. False when the slot is not to be written: it is silent and
// the stream paused, or its silence is what starts the pause. A device that cannot be reset
// plays on, and the count starts again.
bool WaveOutDriver::KeepsStreaming(bool silent, int32_t framesPerBuffer) {
    if (idlePauseFrames == 0) {
        return true;
    }
    if (!silent) {
        silentFrames = 0;
        restartDue = restartDue || paused.load(std::memory_order_relaxed);
        paused.store(false, std::memory_order_release);
        return true;
    }
    if (paused.load(std::memory_order_relaxed)) {
        return false;
    }
    silentFrames += framesPerBuffer;
    if (silentFrames < idlePauseFrames) {
        return true;
    }
    silentFrames = 0;
    if (device->Reset() != kWaveOk) {
        return true;
    }
    paused.store(true, std::memory_order_release);
    return false;
}

// While paused, the thread sleeps until WakeForSound, a stop, or kSilencePollMs have passed.
// Each time it wakes it renders the buffers that the stream would have played since the pause
// (at least one), so that the callback's clock keeps time, one pass each; the first that sounds
// ends the pause. A source that does not call WakeForSound is thus heard within kSilencePollMs.
void WaveOutDriver::RunWhilePaused() {
    using Clock = std::chrono::steady_clock;
    const std::chrono::duration<double> bufferSeconds(static_cast<double>(bufferBytes / 4) / sampleRate);
    const Clock::time_point start = Clock::now();
    int64_t rendered = 0;
    const auto pausedOn = [this] { return IsPausedForSilence() && !stopRequested.load(std::memory_order_acquire); };
    while (pausedOn()) {
        const uint32_t seen = soundWakes.load(std::memory_order_acquire);
        const auto due = std::max(static_cast<int64_t>((Clock::now() - start) / bufferSeconds), rendered + 1);
        while (rendered < due && pausedOn()) {
            Refill();
            ++rendered;
        }
        if (pausedOn()) {
            WaitForChange(soundWakes, seen, std::chrono::milliseconds(kSilencePollMs));
        }
    }
}

void WaveOutDriver::WakeForSound() {
    if (paused.load(std::memory_order_acquire)) {
        soundWakes.fetch_add(1, std::memory_order_release);
        WakeWaiters(soundWakes);
    }
}

WaveHeader* WaveOutDriver::ResetHeader(BufferSlot& slot) {
    WaveHeader* header = slot.header;
    header->ClearFlags();
    header->data = slot.data;
    header->bufferBytes = bufferBytes;
    header->loops = 0;
    return header;
}

void WaveOutDriver::ReportError(const char* text) {
    reporter.load(std::memory_order_acquire)->ReportError(kCaption, text);
}

void WaveOutDriver::SetIdlePause(int32_t afterMs) {
    idlePauseMs = afterMs > 0 ? afterMs : 0;
}

void WaveOutDriver::SetErrorReporter(DriverErrorReporter* newReporter) {
    reporter.store(newReporter != nullptr ? newReporter : &DefaultErrorReporter(), std::memory_order_release);
}

// Refill stops while the box is up, as the queued buffers play out, unless a stop is
// requested: then it goes on at once so that the thread can end (see Close). A failure that
// repeats on every pass, as with a device that has gone, is reported once per run of
// failures instead of once per buffer every few milliseconds.
void WaveOutDriver::ReportFromAudioThread(const char* text, int32_t mutedBit) {
    if ((mutedReports & mutedBit) != 0) {
        return;
    }
    mutedReports |= mutedBit;
    ErrorBoxGate& gate = ErrorBoxGate::Instance();
    const ErrorReportTicket ticket{gate.Begin()};
    reporter.load(std::memory_order_acquire)->PostError(kCaption, text, ticket);
    gate.Wait(ticket.id, stopRequested);
}
