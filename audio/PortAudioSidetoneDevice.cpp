#include "audio/PortAudioSidetoneDevice.h"

#include "audio/PortAudioDevice.h"

#include <portaudio.h>

#include <algorithm>

PortAudioSidetoneDevice::~PortAudioSidetoneDevice() {
    Close();
}

bool PortAudioSidetoneDevice::Open(int32_t deviceId, int32_t sampleRate, RenderFunction renderFunction,
                                   void* userData) {
    Close();
    const int32_t index = PortAudioDevice::HostDeviceIndex(deviceId);
    if (index < 0 || renderFunction == nullptr) {
        return false;
    }
    const PaDeviceInfo* info = Pa_GetDeviceInfo(index);
    if (info == nullptr) {
        return false;
    }
    PaStreamParameters parameters{};
    parameters.device = index;
    parameters.channelCount = 2;
    parameters.sampleFormat = paInt16;
    parameters.suggestedLatency = std::max(info->defaultLowOutputLatency, kHostBufferSeconds);
    parameters.hostApiSpecificStreamInfo = nullptr;
    render = renderFunction;
    renderData = userData;
    hostUnderflows.store(0, std::memory_order_relaxed);
    PaStream* opened = nullptr;
    if (Pa_OpenStream(&opened, nullptr, &parameters, sampleRate, kCallbackFrames, paClipOff | paDitherOff,
                      &PortAudioSidetoneDevice::StreamCallback, this) != paNoError) {
        return false;
    }
    if (Pa_StartStream(opened) != paNoError) {
        Pa_CloseStream(opened);
        return false;
    }
    stream = opened;
    return true;
}

void PortAudioSidetoneDevice::Close() {
    if (stream == nullptr) {
        return;
    }
    Pa_AbortStream(stream); // returns once the callback has ended
    Pa_CloseStream(stream);
    stream = nullptr;
}

double PortAudioSidetoneDevice::OutputLatencySeconds() const {
    const PaStreamInfo* info = stream != nullptr ? Pa_GetStreamInfo(stream) : nullptr;
    return info != nullptr ? info->outputLatency : 0.0;
}

// The PortAudio callback. Real-time rule: no allocation, no locks, no I/O, no Qt.
int PortAudioSidetoneDevice::StreamCallback(const void*, void* output, unsigned long frameCount,
                                            const PaStreamCallbackTimeInfo*, unsigned long statusFlags,
                                            void* userData) {
    auto* self = static_cast<PortAudioSidetoneDevice*>(userData);
    if ((statusFlags & paOutputUnderflow) != 0) {
        self->hostUnderflows.fetch_add(1, std::memory_order_relaxed);
    }
    self->render(self->renderData, static_cast<uint32_t*>(output), static_cast<int32_t>(frameCount));
    return paContinue;
}
