#include "tests/app/TrainerFixture.h"

#include "audio/WaveOutDriver.h"

#include <QTest>

namespace {
constexpr int64_t kHoleFrames = 8;     // [frames] of zero samples that still belong to a tone
constexpr int64_t kBufferFrames = 512; // [frames] in each buffer of the window's driver
} // namespace

TrainerFixture::TrainerFixture(int32_t deviceCount)
    : device(nullptr), pendingDevice(std::make_unique<FakeWaveDevice>(deviceCount)) {
    device = pendingDevice.get();
    makeDriver = [](std::unique_ptr<WaveDevice> fake) { return std::make_unique<WaveOutDriver>(std::move(fake)); };
    environment.settingsStore = &store;
    environment.messages = &messages;
    environment.timers = &qtTimers;
    environment.fileDialog = &qtFileDialog;
    environment.makeSidetoneDevice = [this] {
        auto fake = std::make_unique<FakeSidetoneDevice>();
        fake->failOpen = sidetoneFails;
        sidetone = fake.get();
        return fake;
    };
}

TrainerFixture::~TrainerFixture() = default;

TrainerDialog& TrainerFixture::Open() {
    environment.makeSoundDriver = [this] { return makeDriver(std::move(pendingDevice)); };
    dialog = std::make_unique<TrainerDialog>(environment);
    dialog->OnInitDialog();
    dialog->show();
    dialog->activateWindow();
    if (!QTest::qWaitForWindowActive(dialog.get())) {
        qWarning("the main window did not become active");
    }
    if (device->IsOpen()) {
        device->WaitForWrites(8);
    }
    return *dialog;
}

std::vector<int16_t> TrainerFixture::Listen(int64_t frames) {
    // Whole buffers only, so that each step hands whole buffers back to the driver.
    int64_t played = 0;
    while (played < frames) {
        const int64_t writes = device->Writes();
        const int64_t buffers = std::min<int64_t>(kRingFrames, frames - played + kBufferFrames - 1) / kBufferFrames;
        device->PlayFrames(buffers * kBufferFrames);
        played += buffers * kBufferFrames;
        device->WaitForWrites(writes + buffers);
    }
    const std::vector<uint32_t> pcm = device->ConsumedPcm();
    std::vector<int16_t> left;
    for (size_t i = listened; i < pcm.size(); ++i) {
        left.push_back(static_cast<int16_t>(pcm[i] & 0xFFFFu));
    }
    listened = pcm.size();
    return left;
}

std::vector<int64_t> ToneRuns(const std::vector<int16_t>& samples) {
    std::vector<int64_t> runs;
    int64_t start = -1;
    int64_t lastSound = -1;
    for (int64_t i = 0; i < static_cast<int64_t>(samples.size()); ++i) {
        if (samples[i] == 0) {
            continue;
        }
        if (start < 0) {
            start = i;
        } else if (i - lastSound > kHoleFrames) {
            runs.push_back(lastSound - start + 1);
            start = i;
        }
        lastSound = i;
    }
    if (start >= 0) {
        runs.push_back(lastSound - start + 1);
    }
    return runs;
}

std::string RunsToMorse(const std::vector<int64_t>& runs, int64_t dihFrames, int64_t dahFrames) {
    std::string morse;
    for (int64_t run : runs) {
        morse += run < (dihFrames + dahFrames) / 2 ? '.' : '-';
    }
    return morse;
}
