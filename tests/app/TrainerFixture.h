#pragma once

#include "app/TrainerDialog.h"
#include "app/TrainerEnvironment.h"
#include "tests/audio/FakeSidetoneDevice.h"
#include "tests/audio/FakeWaveDevice.h"
#include "tests/settings/MemoryRegistryStore.h"
#include "tests/ui/seams/RecordingMessageSeam.h"
#include "ui/TemplateBuilder.h"
#include "ui/seams/QtFileDialogSeam.h"
#include "ui/seams/QtTimerSeam.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class WaveDevice;

// A main window in a test: a fake sound device stepped by hand, settings in memory, message
// boxes recorded. Seed the store and set up the device before Open; then step the device
// and listen to what the window plays.
//   TrainerFixture trainer;
//   trainer.store.PutDword(TrainerFixture::kConfigurationKey, "DIHLenght", 20);
//   TrainerDialog& dialog = trainer.Open();
class TrainerFixture {
public:
    static constexpr const char* kConfigurationKey = "Software\\Zelbin\\Configuration";
    static constexpr int64_t kRingFrames = 8 * 512; // [frames] the window's driver keeps queued

    explicit TrainerFixture(int32_t deviceCount = 1);
    ~TrainerFixture();

    // Builds the window, initialises it, shows it and waits for the driver's first fill of
    // the ring (when the device opened).
    TrainerDialog& Open();
    TrainerDialog& Dialog() { return *dialog; }

    // The control of the window with this id.
    template <class W> W* Control(int32_t controlId) const;

    // Plays frames (rounded up to whole buffers) from the device and returns the left channel of what it played, from
    // the end of the last Listen (or from the start) on. Waits for the driver to refill the ring between steps, so the
    // ring is full again when this returns.
    std::vector<int16_t> Listen(int64_t frames);

    // Builds the sound driver over the fake device; tests may replace it.
    std::function<std::unique_ptr<WaveOutDriver>(std::unique_ptr<WaveDevice>)> makeDriver;

    // Qt's timers and file dialog, for the tests that hand the window no fakes of their own.
    QtTimerSeam qtTimers;
    QtFileDialogSeam qtFileDialog;
    MemoryRegistryStore store;
    RecordingMessageSeam messages;
    TrainerEnvironment environment;
    FakeWaveDevice* device = nullptr; // owned by the driver once the window exists
    // The sending window's last stream, made anew at each opening of that window: valid while
    // the window is open, unless it failed to open.
    FakeSidetoneDevice* sidetone = nullptr;
    bool sidetoneFails = false; // the next streams fail to open

private:
    std::unique_ptr<FakeWaveDevice> pendingDevice;
    std::unique_ptr<TrainerDialog> dialog;
    size_t listened = 0; // [frames] of the device's consumed PCM already returned
};

// Tone runs of a recording: each run of non-zero samples (holes shorter than a few frames,
// at the zero crossings of the sine, do not end a run). runLengths receives each run's
// length [frames].
std::vector<int64_t> ToneRuns(const std::vector<int16_t>& samples);

// The Morse text of tone runs: '.' for a run shorter than (dihFrames + dahFrames) / 2,
// '-' otherwise.
std::string RunsToMorse(const std::vector<int64_t>& runs, int64_t dihFrames, int64_t dahFrames);

// Frames of a length in milliseconds at 44,100 frames per second.
constexpr int64_t FramesOfMs(int64_t ms) {
    return ms * 44100 / 1000;
}

template <class W> W* TrainerFixture::Control(int32_t controlId) const {
    return TemplateBuilder::Control<W>(*dialog, controlId);
}
