#include "app/TrainerSound.h"

#include "audio/WaveOutDriver.h"
#include "morse/Synthesiser.h"
#include "ui/seams/MessageSeam.h"

#include <utility>

namespace {

constexpr int32_t kSampleRate = 44100;    // [Hz]
constexpr int32_t kBufferBytes = 2048;    // [bytes]
constexpr int32_t kBufferCount = 8;       // [buffers]
constexpr int32_t kRefillIntervalMs = 10; // [ms]

constexpr const char* kConfigureFailed = "Unable to configure audio driver";
constexpr const char* kStartFailed = "Unable to start audio driver";

} // namespace

TrainerSound::TrainerSound(std::unique_ptr<WaveOutDriver> driver, Synthesiser& synthesiser, void* owner,
                           MessageSeam& messages)
    : driver(std::move(driver)), synthesiser(synthesiser), owner(owner), messages(messages) {
    synthesiser.SetSoundListener([](void* context) { static_cast<WaveOutDriver*>(context)->WakeForSound(); },
                                 this->driver.get());
}

TrainerSound::~TrainerSound() {
    synthesiser.SetSoundListener(nullptr, nullptr);
}

void TrainerSound::Restart(int32_t newDeviceId) {
    deviceId = newDeviceId;
    SoundDriver& sound = *driver;
    sound.Stop();
    sound.SetCallback(owner, ToneCallback, &synthesiser);
    if (!sound.Configure(kSampleRate, kBufferBytes, kBufferCount, kRefillIntervalMs, newDeviceId)) {
        messages.Show(QString::fromUtf8(kConfigureFailed));
    }
    if (!sound.Start()) {
        messages.Show(QString::fromUtf8(kStartFailed));
    }
}

void TrainerSound::Stop() {
    driver->Stop();
}

std::vector<std::string> TrainerSound::DeviceNames(int32_t maxCount) {
    std::vector<std::string> names;
    for (int32_t i = 0; i < maxCount && i < driver->GetDeviceCount(); ++i) {
        const char* name = driver->GetDeviceName(i);
        names.emplace_back(name != nullptr ? name : "");
    }
    return names;
}
