#pragma once

#include "audio/WaveDevice.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

// A wave-output device for tests. Nothing plays by itself: the test says "play N frames"
// and the fake consumes that many frames from the queued buffers, in the order written,
// records them and marks each buffer done as its last frame goes. Any call can be made to
// fail on request. It checks the calling rules of a real device as well: writing a buffer
// that is not prepared, unpreparing or closing while buffers are queued, and touching a
// closed device all fail and are counted in Misuses().
//
// Thread-safe: the driver's threads call in while the test steps and inspects it.
class FakeWaveDevice : public WaveDevice {
public:
    enum class Call { Open, Prepare, Unprepare, Write, Reset, Restart, Close, Position, DeviceName, Allocate, kCount };

    explicit FakeWaveDevice(int32_t deviceCount = 1);

    // Device list answered by GetDeviceCount and GetDeviceName; the count follows the names.
    void SetDeviceNames(std::vector<std::string> names);
    // Makes calls of one kind fail: the next `skip` calls succeed, the `times` after them
    // fail (times < 0: all of them, until Heal).
    void Fail(Call call, int skip = 0, int times = 1);
    void Heal(Call call);
    // The position answered in bytes instead of frames.
    void AnswerPositionInBytes(bool on);

    // Plays frames from the queue; past its end the device plays silence and counts the
    // frames as underflow. Returns the frames taken from buffers.
    int64_t PlayFrames(int64_t frames);
    // Plays every queued buffer to its end.
    int64_t PlayQueued();
    // The device disappears: every queued buffer is marked done, and later writes and
    // opens fail. Reset and Close still work, as they do on a real device that has gone.
    void Vanish();

    // Makes WaitUntilDone wait for the header to be done, as a device that can tell does;
    // off at first, when it returns at once and the driver paces itself.
    void WaitForDoneBetweenPasses(bool on);

    // Waits until Write has succeeded `count` times since Open, or until timeout.
    bool WaitForWrites(int64_t count, std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Waits until some call of this kind has been made `count` times in all.
    bool WaitForCalls(Call call, int64_t count, std::chrono::milliseconds timeout = std::chrono::seconds(10));

    int64_t Calls(Call call) const;    // calls made, failed ones included
    int64_t Failures(Call call) const; // calls failed on request
    int64_t Misuses() const;
    bool IsOpen() const;
    int32_t OpenedDeviceId() const; // -1 before the first successful Open
    int32_t OpenedSampleRate() const;
    int64_t Writes() const; // successful writes since the last Open
    size_t QueuedBuffers() const;
    int64_t UnderflowFrames() const;
    int64_t LiveBlocks() const;                            // blocks allocated and not yet freed
    std::vector<uint32_t> ConsumedPcm() const;             // every frame played from buffers, in order
    std::vector<const WaveHeader*> WrittenHeaders() const; // in order, since the last Open

    WaveStatus Open(int32_t deviceId, int32_t sampleRate) override;
    WaveStatus PrepareHeader(WaveHeader* header) override;
    WaveStatus UnprepareHeader(WaveHeader* header) override;
    WaveStatus Write(WaveHeader* header) override;
    WaveStatus Reset() override;
    WaveStatus Restart() override;
    WaveStatus Close() override;
    WaveStatus GetPosition(WavePosition* position) override;
    int32_t GetDeviceCount() override;
    WaveStatus GetDeviceName(int32_t deviceId, char* name, size_t capacity) override;
    void WaitUntilDone(const WaveHeader& header, const std::atomic<bool>& cancel) override;
    void WakeWaiter() override;
    void* AllocateBlock(size_t bytes) override;
    void FreeBlock(void* block) override;

private:
    struct FailPlan {
        int skip = 0;
        int times = 0;
    };
    // Counts the call and says whether it fails on request. Needs mutex held.
    bool CountAndCheckFailure(Call call);
    bool IsPrepared(const WaveHeader* header) const;
    int64_t PlayLocked(int64_t frames);
    void MarkAllQueuedDone();

    mutable std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> deviceNames;
    FailPlan plans[static_cast<int>(Call::kCount)];
    int64_t calls[static_cast<int>(Call::kCount)] = {};
    int64_t failures[static_cast<int>(Call::kCount)] = {};
    int64_t misuses = 0;
    bool open = false;
    bool vanished = false;
    bool positionInBytes = false;
    bool waitsForDone = false;
    int32_t openedDeviceId = -1;
    int32_t openedSampleRate = 0;
    std::vector<const WaveHeader*> prepared;
    std::deque<WaveHeader*> queue;
    int64_t offsetInFront = 0; // [frames] already played of queue.front()
    int64_t playedFrames = 0;  // [frames] since Open
    int64_t writes = 0;
    int64_t underflowFrames = 0;
    int64_t liveBlocks = 0;
    std::vector<uint32_t> consumed;
    std::vector<const WaveHeader*> written;
};
