#include "audio/PortAudioDevice.h"

#include "audio/AlsaPcmCheck.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>
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

// Host buffer [frames] asked of PortAudio: half the driver's ring of 8 x 512 frames.
// PortAudio fills the host buffer from the queue at start, so it must stay well under the
// ring; and the smaller it is, the more often PortAudio's and the sound server's client
// threads wake (at the low latency ALSA offers, they cost several times the driver).
constexpr int32_t kHostBufferFrames = 2048;
// Frames PortAudio hands its callback at a time. Fixed chunks of 256 wake PortAudio and the
// sound server's client thread less often than the chunks ALSA picks by itself (an idle
// stream costs about 1.8 % of a core instead of 2.2 %); chunks of 512 would cost less still but
// take the first tone sample past the ring's latency bound of about 103 ms.
constexpr unsigned long kCallbackFrames = 256;

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
    tail.store(0, std::memory_order_relaxed);
    offsetInFront = 0;
    playedFrames.store(0, std::memory_order_relaxed);
    underflows.store(0, std::memory_order_relaxed);
    fed.store(false, std::memory_order_relaxed);
    failed.store(false, std::memory_order_relaxed);

    PaStream* opened = nullptr;
    if (Pa_OpenStream(&opened, nullptr, &parameters, sampleRate, kCallbackFrames, paNoFlag,
                      &PortAudioDevice::StreamCallback, this) != paNoError) {
        return kWaveFailed;
    }
    stream = opened;
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
    if (h - tail.load(std::memory_order_acquire) >= kQueueCapacity) {
        return kWaveFailed;
    }
    queue[h % kQueueCapacity] = header;
    head.store(h + 1, std::memory_order_release);
    fed.store(true, std::memory_order_relaxed);
    // After a Reset the stream waits for the next buffer to start again.
    if (!streamStarted) {
        if (Pa_StartStream(stream) != paNoError) {
            return kWaveOk; // queued: the next Reset or Close gives it back as done
        }
        streamStarted = true;
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
    size_t t = tail.load(std::memory_order_relaxed);
    const size_t h = head.load(std::memory_order_acquire);
    for (; t != h; ++t) {
        queue[t % kQueueCapacity]->MarkDone();
    }
    tail.store(t, std::memory_order_release);
    offsetInFront = 0;
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
    self->MarkAllQueuedDone();
    self->failed.store(true, std::memory_order_release);
}

// The PortAudio callback. Real-time rule: no allocation, no locks, no I/O, no Qt.
int PortAudioDevice::StreamCallback(const void*, void* output, unsigned long frameCount,
                                    const PaStreamCallbackTimeInfo*, unsigned long, void* userData) {
    static_cast<PortAudioDevice*>(userData)->Render(static_cast<uint32_t*>(output), frameCount);
    return paContinue;
}

// Real-time rule: this runs on PortAudio's callback thread. No allocation, no locks, no
// I/O, no Qt: only the lock-free queue, plain copies and atomics. Consumer of the queue.
void PortAudioDevice::Render(uint32_t* output, unsigned long frameCount) {
    size_t t = tail.load(std::memory_order_relaxed);
    const size_t h = head.load(std::memory_order_acquire);
    size_t written = 0;
    while (written < frameCount && t != h) {
        WaveHeader* header = queue[t % kQueueCapacity];
        const size_t frames = static_cast<size_t>(std::max<int32_t>(header->FrameCount(), 0));
        const size_t now = std::min(frames - offsetInFront, frameCount - written);
        std::memcpy(output + written, header->data + offsetInFront, now * sizeof(uint32_t));
        if (probeArmed.load(std::memory_order_relaxed)) {
            ProbeTone(header->data + offsetInFront, now);
        }
        written += now;
        offsetInFront += now;
        if (offsetInFront == frames) {
            // The last frame is taken: from here on the buffer belongs to the driver again.
            offsetInFront = 0;
            header->MarkDone();
            ++t;
            tail.store(t, std::memory_order_release);
        }
    }
    playedFrames.fetch_add(written, std::memory_order_relaxed);
    if (written < frameCount) {
        std::memset(output + written, 0, (frameCount - written) * sizeof(uint32_t));
        if (fed.load(std::memory_order_relaxed)) {
            underflows.fetch_add(1, std::memory_order_relaxed);
        }
    }
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
