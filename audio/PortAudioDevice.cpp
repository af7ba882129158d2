#include "audio/PortAudioDevice.h"

#include "audio/AlsaPcmCheck.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>
#include <pa_linux_alsa.h>
#include <portaudio.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace {

extern "C" void SilentAlsaError(const char*, int, const char*, int, const char*, ...) {}
extern "C" void SilentJackMessage(const char*) {}

// Frames PortAudio hands its callback at a time, and the host buffer [frames] asked of it in
// that many ALSA periods of 1024 frames. Each period wakes PortAudio's thread and the sound
// server's client thread: periods of 1024 cost them half what periods of 512 did. The host
// buffer stays under what the driver's ring can have queued (7 of its 8 buffers, 3584 frames,
// as the callback keeps one, see Render): a sound server that was held up empties the whole
// host buffer at once when it runs again, and PortAudio then asks for all of it within a
// fraction of a millisecond, faster than any refill. PulseAudio's ALSA plugin rounds the buffer
// up to a power of two: 3072 frames asked become 4096, more than the ring holds, and every
// hold-up of the server longer than the host buffer cost a gap of 512 frames.
constexpr unsigned long kCallbackFrames = 1024;
constexpr int32_t kHostPeriods = 2;
constexpr int32_t kHostBufferFrames = 2048;

// PortAudio, initialised once per process, with the device list read at that moment. It is
// never terminated: termination unloads the ALSA plugins, and the memory that their
// libraries' initialisers keep would then read as leaked to the leak checker. The system
// reclaims it all at exit.
class PortAudioSystem {
public:
    static PortAudioSystem& Instance() {
        static PortAudioSystem system;
        return system;
    }

    bool IsReady() const { return ready; }
    int32_t Count() const { return static_cast<int32_t>(devices.size()); }
    PaDeviceIndex Index(int32_t id) const { return devices[static_cast<size_t>(id)]; }
    const std::string& Name(int32_t id) const { return names[static_cast<size_t>(id)]; }

private:
    PortAudioSystem() {
        // Probing every ALSA device and looking for a JACK server prints pages of chatter
        // to stderr; none of it concerns the user. Nor should a JACK server be started.
        snd_lib_error_set_handler(&SilentAlsaError);
        jack_set_error_function(&SilentJackMessage);
        jack_set_info_function(&SilentJackMessage);
        setenv("JACK_NO_START_SERVER", "1", 0);
        // Where PortAudio would abort the process instead of listing no device, it is not
        // initialised at all: the list stays empty and every open fails, as with no device.
        ready = AlsaPcmCheck::PortAudioCanListDevices() && Pa_Initialize() == paNoError;
        if (ready) {
            PaAlsa_SetNumPeriods(kHostPeriods);
            ListOutputDevices();
        }
    }
    ~PortAudioSystem() = default;

    void Add(PaDeviceIndex index) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(index);
        if (info == nullptr || info->maxOutputChannels <= 0) {
            return;
        }
        devices.push_back(index);
        names.emplace_back(info->name != nullptr ? info->name : "");
    }

    void ListOutputDevices() {
        const PaDeviceIndex defaultOutput = Pa_GetDefaultOutputDevice();
        if (defaultOutput != paNoDevice) {
            Add(defaultOutput);
        }
        const PaDeviceIndex count = Pa_GetDeviceCount();
        for (PaDeviceIndex i = 0; i < count; ++i) {
            if (i != defaultOutput) {
                Add(i);
            }
        }
    }

    bool ready = false;
    std::vector<PaDeviceIndex> devices; // PortAudio's index for each of our ids
    std::vector<std::string> names;
};

int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

PortAudioDevice::PortAudioDevice() = default;

PortAudioDevice::~PortAudioDevice() {
    if (stream != nullptr) {
        StopStream();
        Pa_CloseStream(stream);
    }
}

WaveStatus PortAudioDevice::Open(int32_t deviceId, int32_t sampleRate) {
    if (stream != nullptr) {
        Close();
    }
    PortAudioSystem& system = PortAudioSystem::Instance();
    if (!system.IsReady() || deviceId < 0 || deviceId >= system.Count()) {
        return kWaveFailed;
    }
    const PaDeviceIndex index = system.Index(deviceId);
    PaStreamParameters parameters{};
    parameters.device = index;
    parameters.channelCount = 2;
    parameters.sampleFormat = paInt16;
    parameters.suggestedLatency =
        std::max(Pa_GetDeviceInfo(index)->defaultLowOutputLatency, static_cast<double>(kHostBufferFrames) / sampleRate);
    parameters.hostApiSpecificStreamInfo = nullptr;

    head.store(0, std::memory_order_relaxed);
    released.store(0, std::memory_order_relaxed);
    taken = 0;
    offsetInFront = 0;
    playedFrames.store(0, std::memory_order_relaxed);
    underflows.store(0, std::memory_order_relaxed);
    hostUnderflows.store(0, std::memory_order_relaxed);
    fed.store(false, std::memory_order_relaxed);
    failed.store(false, std::memory_order_relaxed);
    this->sampleRate = sampleRate;
    measuringBurst = true;
    burstFrames = 0;
    lastCallbackNs = 0;
    startBurstFrames.store(0, std::memory_order_relaxed);
    leadSilenceFrames.store(0, std::memory_order_relaxed);

    PaStream* opened = nullptr;
    if (Pa_OpenStream(&opened, nullptr, &parameters, sampleRate, kCallbackFrames, paNoFlag,
                      &PortAudioDevice::StreamCallback, this) != paNoError) {
        return kWaveFailed;
    }
    stream = opened;
    // PortAudio's callback thread real-time where the system grants it (as the audio thread's,
    // WaveOutDriver), so that a busy machine does not starve the device; refused, it stays as it is.
    if (Pa_GetHostApiInfo(Pa_GetDeviceInfo(index)->hostApi)->type == paALSA) {
        PaAlsa_EnableRealtimeScheduling(stream, 1);
    }
    Pa_SetStreamFinishedCallback(stream, &PortAudioDevice::StreamFinished);
    if (Pa_StartStream(stream) != paNoError) {
        Pa_CloseStream(stream);
        stream = nullptr;
        return kWaveFailed;
    }
    streamStarted = true;
    return kWaveOk;
}

WaveStatus PortAudioDevice::PrepareHeader(WaveHeader* header) {
    return stream != nullptr && header != nullptr ? kWaveOk : kWaveFailed;
}

WaveStatus PortAudioDevice::UnprepareHeader(WaveHeader* header) {
    return stream != nullptr && header != nullptr ? kWaveOk : kWaveFailed;
}

WaveStatus PortAudioDevice::Write(WaveHeader* header) {
    if (stream == nullptr || header == nullptr || failed.load(std::memory_order_acquire)) {
        return kWaveFailed;
    }
    const size_t h = head.load(std::memory_order_relaxed);
    if (h - released.load(std::memory_order_acquire) >= kQueueCapacity) {
        return kWaveFailed;
    }
    queue[h % kQueueCapacity] = header;
    head.store(h + 1, std::memory_order_seq_cst);
    fed.store(true, std::memory_order_relaxed);
    // A stream that stopped by itself meanwhile may have given back the queue without this
    // buffer: it will never be played, and the driver must not wait for it. (Sequentially
    // consistent with StreamFinished, so that one of the two sees the other's store.)
    if (failed.load(std::memory_order_seq_cst)) {
        return kWaveFailed;
    }
    return kWaveOk;
}

WaveStatus PortAudioDevice::Reset() {
    if (stream == nullptr) {
        return kWaveFailed;
    }
    StopStream();
    MarkAllQueuedDone();
    fed.store(false, std::memory_order_relaxed);
    return kWaveOk;
}

// After a Reset the callback has stopped, and PortAudio takes a whole host buffer from it as soon
// as the stream starts: the buffers are written first. A stream that cannot start again is as a
// device that has gone: the queued buffers are given back and later writes fail, until the device
// is opened anew.
WaveStatus PortAudioDevice::Restart() {
    if (stream == nullptr || streamStarted) {
        return stream != nullptr ? kWaveOk : kWaveFailed;
    }
    int64_t queuedFrames = 0;
    for (size_t t = taken; t != head.load(std::memory_order_relaxed); ++t) {
        queuedFrames += std::max<int32_t>(queue[t % kQueueCapacity]->FrameCount(), 0);
    }
    // One callback more than the burst measured: a burst may come a callback longer.
    const int64_t shortfall =
        startBurstFrames.load(std::memory_order_relaxed) + static_cast<int64_t>(kCallbackFrames) - queuedFrames;
    leadSilenceFrames.store(std::max<int64_t>(shortfall, 0), std::memory_order_relaxed);
    if (Pa_StartStream(stream) != paNoError) {
        failed.store(true, std::memory_order_seq_cst);
        MarkAllQueuedDone();
        return kWaveFailed;
    }
    streamStarted = true;
    return kWaveOk;
}

WaveStatus PortAudioDevice::Close() {
    if (stream == nullptr) {
        return kWaveFailed;
    }
    StopStream();
    MarkAllQueuedDone();
    const PaError closed = Pa_CloseStream(stream);
    stream = nullptr;
    return closed == paNoError ? kWaveOk : kWaveFailed;
}

WaveStatus PortAudioDevice::GetPosition(WavePosition* position) {
    if (stream == nullptr) {
        return kWaveFailed;
    }
    position->unit = WaveTimeUnit::Frames;
    position->value = static_cast<uint32_t>(playedFrames.load(std::memory_order_relaxed));
    return kWaveOk;
}

int32_t PortAudioDevice::GetDeviceCount() {
    PortAudioSystem& system = PortAudioSystem::Instance();
    return system.IsReady() ? system.Count() : 0;
}

WaveStatus PortAudioDevice::GetDeviceName(int32_t deviceId, char* name, size_t capacity) {
    PortAudioSystem& system = PortAudioSystem::Instance();
    if (!system.IsReady() || deviceId < 0 || deviceId >= system.Count() || capacity == 0) {
        return kWaveFailed;
    }
    std::snprintf(name, capacity, "%s", system.Name(deviceId).c_str());
    return kWaveOk;
}

int32_t PortAudioDevice::HostDeviceIndex(int32_t deviceId) {
    PortAudioSystem& system = PortAudioSystem::Instance();
    if (!system.IsReady() || deviceId < 0 || deviceId >= system.Count()) {
        return -1;
    }
    return system.Index(deviceId);
}

// The done flag is set before handBacks changes, so a change seen here is never missed: the
// wait returns at once when the count moved since it was read.
void PortAudioDevice::WaitUntilDone(const WaveHeader& header, const std::atomic<bool>& cancel) {
    int32_t seen = handBacks.load(std::memory_order_acquire);
    while (!header.IsDone() && !cancel.load(std::memory_order_acquire)) {
        handBacks.wait(seen, std::memory_order_acquire);
        seen = handBacks.load(std::memory_order_acquire);
    }
}

void PortAudioDevice::WakeWaiter() {
    handBacks.fetch_add(1, std::memory_order_release);
    handBacks.notify_all();
}

uint64_t PortAudioDevice::GetHostUnderflowCount() const {
    return hostUnderflows.load(std::memory_order_relaxed);
}

uint64_t PortAudioDevice::GetUnderflowCount() const {
    return underflows.load(std::memory_order_relaxed);
}

bool PortAudioDevice::HasFailed() const {
    return failed.load(std::memory_order_acquire);
}

void PortAudioDevice::ArmToneProbe() {
    probeTime.store(0, std::memory_order_relaxed);
    probeArmed.store(true, std::memory_order_release);
}

bool PortAudioDevice::ToneProbeTime(std::chrono::steady_clock::time_point* when) const {
    const int64_t ns = probeTime.load(std::memory_order_acquire);
    if (ns == 0) {
        return false;
    }
    *when = std::chrono::steady_clock::time_point(std::chrono::nanoseconds(ns));
    return true;
}

// Stops the callback for good (PortAudio returns once it has ended) so that this thread
// may act as the queue's consumer.
void PortAudioDevice::StopStream() {
    stopping.store(true, std::memory_order_relaxed);
    Pa_AbortStream(stream); // an error here means it had stopped already
    stopping.store(false, std::memory_order_relaxed);
    streamStarted = false;
}

// Consumer side; the callback must not be running.
void PortAudioDevice::MarkAllQueuedDone() {
    size_t r = released.load(std::memory_order_relaxed);
    const size_t h = head.load(std::memory_order_seq_cst);
    for (; r != h; ++r) {
        queue[r % kQueueCapacity]->MarkDone();
    }
    taken = r;
    offsetInFront = 0;
    released.store(r, std::memory_order_release);
    WakeWaiter();
}

// Consumer side: every buffer taken whole but the last is done. The futex wake-up of
// notify_all neither blocks nor allocates, and is skipped with nobody waiting.
void PortAudioDevice::HandBackTaken() {
    size_t r = released.load(std::memory_order_relaxed);
    if (taken - r < 2) {
        return;
    }
    for (; r != taken - 1; ++r) {
        queue[r % kQueueCapacity]->MarkDone();
    }
    released.store(r, std::memory_order_release);
    handBacks.fetch_add(1, std::memory_order_release);
    handBacks.notify_all();
}

// Runs on PortAudio's thread once the callback has ended, after a stop on purpose and
// when the stream stops by itself. In the second case the device has gone: every queued
// buffer is given back as done, so that the driver neither waits for it nor stalls, and
// later writes fail.
void PortAudioDevice::StreamFinished(void* userData) {
    auto* self = static_cast<PortAudioDevice*>(userData);
    if (self->stopping.load(std::memory_order_relaxed)) {
        return;
    }
    self->failed.store(true, std::memory_order_seq_cst);
    self->MarkAllQueuedDone();
}

// The PortAudio callback. Real-time rule: no allocation, no locks, no I/O, no Qt.
int PortAudioDevice::StreamCallback(const void*, void* output, unsigned long frameCount,
                                    const PaStreamCallbackTimeInfo*, unsigned long statusFlags, void* userData) {
    auto* self = static_cast<PortAudioDevice*>(userData);
    if ((statusFlags & paOutputUnderflow) != 0) {
        self->hostUnderflows.fetch_add(1, std::memory_order_relaxed);
    }
    self->Render(static_cast<uint32_t*>(output), frameCount);
    return paContinue;
}

// Real-time rule: this runs on PortAudio's callback thread. No allocation, no locks, no
// I/O, no Qt: only the lock-free queue, plain copies and atomics. Consumer of the queue.
void PortAudioDevice::Render(uint32_t* output, unsigned long frameCount) {
    MeasureStartBurst(frameCount);
    const size_t lead = PlayLeadSilence(output, frameCount);
    const size_t h = head.load(std::memory_order_acquire);
    size_t written = lead;
    while (written < frameCount && taken != h) {
        WaveHeader* header = queue[taken % kQueueCapacity];
        const size_t frames = static_cast<size_t>(std::max<int32_t>(header->FrameCount(), 0));
        const size_t now = std::min(frames - offsetInFront, frameCount - written);
        std::memcpy(output + written, header->data + offsetInFront, now * sizeof(uint32_t));
        if (probeArmed.load(std::memory_order_relaxed)) {
            ProbeTone(header->data + offsetInFront, now);
        }
        written += now;
        offsetInFront += now;
        if (offsetInFront == frames) {
            // The last frame is taken; the buffer goes back to the driver once the next one
            // has been taken whole. Given back at once, it would be refilled at once, and a
            // character played would wait behind the whole ring and up to a callback more
            // (a median of 117 ms against 73 ms).
            offsetInFront = 0;
            ++taken;
        }
    }
    HandBackTaken();
    playedFrames.fetch_add(written - lead, std::memory_order_relaxed);
    if (written < frameCount) {
        std::memset(output + written, 0, (frameCount - written) * sizeof(uint32_t));
        if (fed.load(std::memory_order_relaxed)) {
            underflows.fetch_add(1, std::memory_order_relaxed);
        }
    }
}

// Part of the callback. The burst ends at the first callback that comes half a callback's
// time or more after the one before it: the host then asks at the pace it plays.
void PortAudioDevice::MeasureStartBurst(unsigned long frameCount) {
    if (!measuringBurst) {
        return;
    }
    const int64_t nowNs = NowNs();
    const int64_t halfCallbackNs = static_cast<int64_t>(kCallbackFrames) * 500'000'000 / sampleRate;
    if (lastCallbackNs != 0 && nowNs - lastCallbackNs >= halfCallbackNs) {
        measuringBurst = false;
        startBurstFrames.store(burstFrames, std::memory_order_relaxed);
        return;
    }
    lastCallbackNs = nowNs;
    burstFrames += static_cast<int64_t>(frameCount);
}

// Part of the callback: the silence a Restart asked for, before any buffer is taken.
size_t PortAudioDevice::PlayLeadSilence(uint32_t* output, unsigned long frameCount) {
    const int64_t lead = leadSilenceFrames.load(std::memory_order_relaxed);
    if (lead <= 0) {
        return 0;
    }
    const size_t count = std::min(static_cast<size_t>(lead), static_cast<size_t>(frameCount));
    std::memset(output, 0, count * sizeof(uint32_t));
    leadSilenceFrames.store(lead - static_cast<int64_t>(count), std::memory_order_relaxed);
    return count;
}

// Part of the callback: the clock read is a vDSO call, without lock or system call.
void PortAudioDevice::ProbeTone(const uint32_t* frames, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (frames[i] != 0) {
            probeTime.store(NowNs(), std::memory_order_release);
            probeArmed.store(false, std::memory_order_relaxed);
            return;
        }
    }
}
