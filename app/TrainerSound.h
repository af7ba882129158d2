#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class MessageSeam;
class Synthesiser;
class WaveOutDriver;

// The main window's sound output: its one sound driver, driven through the SoundDriver
// operations, that streams what the synthesiser renders. Every start asks for the same
// stream: 44,100 frames per second, buffers of 2048 bytes (512 frames), 8 buffers in the
// ring, a refill pass every 10 ms.
class TrainerSound {
public:
    // The device of the first start; the stored one takes effect with the configuration dialog.
    static constexpr int32_t kStartupDeviceId = 0;
    // [ms] of silence after which the program's driver pauses the stream, so that an idle
    // trainer costs next to nothing; the next sound starts it again.
    static constexpr int32_t kIdlePauseMs = 3000;

    // owner is the window that registers (the callback's owner); failures of the restart are
    // shown through messages.
    TrainerSound(std::unique_ptr<WaveOutDriver> driver, Synthesiser& synthesiser, void* owner, MessageSeam& messages);
    ~TrainerSound(); // stops a stream that still runs, before the synthesiser goes

    // Stops the stream, then registers the synthesiser, configures for deviceId and starts it.
    // "Unable to configure audio driver" and "Unable to start audio driver" are shown in turn
    // when those fail, and the sequence goes on: the window then works without sound.
    void Restart(int32_t deviceId);
    void Stop();

    // The names of the output devices in the driver's order, at most maxCount; a list that
    // shrinks while it is read gives what was read.
    std::vector<std::string> DeviceNames(int32_t maxCount);

    WaveOutDriver& Driver() { return *driver; }
    // The device of the last Restart.
    int32_t DeviceId() const { return deviceId; }

private:
    std::unique_ptr<WaveOutDriver> driver;
    Synthesiser& synthesiser;
    void* owner;
    MessageSeam& messages;
    int32_t deviceId = kStartupDeviceId;
};
