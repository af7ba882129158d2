#include "tests/audio/FakeWaveDevice.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {
int Index(FakeWaveDevice::Call call) {
    return static_cast<int>(call);
}
} // namespace

FakeWaveDevice::FakeWaveDevice(int32_t deviceCount) {
    for (int32_t i = 0; i < deviceCount; ++i) {
        deviceNames.push_back("Fake output " + std::to_string(i));
    }
}

void FakeWaveDevice::SetDeviceNames(std::vector<std::string> names) {
    std::lock_guard lock(mutex);
    deviceNames = std::move(names);
}

void FakeWaveDevice::Fail(Call call, int skip, int times) {
    std::lock_guard lock(mutex);
    plans[Index(call)] = FailPlan{skip, times};
}

void FakeWaveDevice::Heal(Call call) {
    std::lock_guard lock(mutex);
    plans[Index(call)] = FailPlan{};
}

void FakeWaveDevice::WaitForDoneBetweenPasses(bool on) {
    std::lock_guard lock(mutex);
    waitsForDone = on;
}

void FakeWaveDevice::WaitUntilDone(const WaveHeader& header, const std::atomic<bool>& cancel) {
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return !waitsForDone || header.IsDone() || cancel.load(std::memory_order_acquire); });
}

void FakeWaveDevice::WakeWaiter() {
    std::lock_guard lock(mutex);
    changed.notify_all();
}

void FakeWaveDevice::AnswerPositionInBytes(bool on) {
    std::lock_guard lock(mutex);
    positionInBytes = on;
}

bool FakeWaveDevice::CountAndCheckFailure(Call call) {
    ++calls[Index(call)];
    changed.notify_all();
    FailPlan& plan = plans[Index(call)];
    if (plan.skip > 0) {
        --plan.skip;
        return false;
    }
    if (plan.times == 0) {
        return false;
    }
    if (plan.times > 0) {
        --plan.times;
    }
    ++failures[Index(call)];
    return true;
}

bool FakeWaveDevice::IsPrepared(const WaveHeader* header) const {
    return std::find(prepared.begin(), prepared.end(), header) != prepared.end();
}

int64_t FakeWaveDevice::PlayLocked(int64_t frames) {
    int64_t taken = 0;
    while (frames > 0 && !queue.empty()) {
        WaveHeader* header = queue.front();
        const int64_t left = header->FrameCount() - offsetInFront;
        const int64_t now = std::min(left, frames);
        consumed.insert(consumed.end(), header->data + offsetInFront, header->data + offsetInFront + now);
        offsetInFront += now;
        frames -= now;
        taken += now;
        if (offsetInFront == header->FrameCount()) {
            queue.pop_front();
            offsetInFront = 0;
            header->MarkDone();
        }
    }
    playedFrames += taken;
    underflowFrames += frames;
    changed.notify_all();
    return taken;
}

int64_t FakeWaveDevice::PlayFrames(int64_t frames) {
    std::lock_guard lock(mutex);
    return PlayLocked(frames);
}

int64_t FakeWaveDevice::PlayQueued() {
    std::lock_guard lock(mutex);
    int64_t total = -offsetInFront;
    for (const WaveHeader* header : queue) {
        total += header->FrameCount();
    }
    return PlayLocked(total);
}

void FakeWaveDevice::MarkAllQueuedDone() {
    for (WaveHeader* header : queue) {
        header->MarkDone();
    }
    queue.clear();
    changed.notify_all();
    offsetInFront = 0;
}

void FakeWaveDevice::Vanish() {
    std::lock_guard lock(mutex);
    vanished = true;
    MarkAllQueuedDone();
}

bool FakeWaveDevice::WaitForWrites(int64_t count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, timeout, [&] { return writes >= count; });
}

bool FakeWaveDevice::WaitForCalls(Call call, int64_t count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, timeout, [&] { return calls[Index(call)] >= count; });
}

int64_t FakeWaveDevice::Calls(Call call) const {
    std::lock_guard lock(mutex);
    return calls[Index(call)];
}

int64_t FakeWaveDevice::Failures(Call call) const {
    std::lock_guard lock(mutex);
    return failures[Index(call)];
}

int64_t FakeWaveDevice::Misuses() const {
    std::lock_guard lock(mutex);
    return misuses;
}

bool FakeWaveDevice::IsOpen() const {
    std::lock_guard lock(mutex);
    return open;
}

int32_t FakeWaveDevice::OpenedDeviceId() const {
    std::lock_guard lock(mutex);
    return openedDeviceId;
}

int32_t FakeWaveDevice::OpenedSampleRate() const {
    std::lock_guard lock(mutex);
    return openedSampleRate;
}

int64_t FakeWaveDevice::Writes() const {
    std::lock_guard lock(mutex);
    return writes;
}

size_t FakeWaveDevice::QueuedBuffers() const {
    std::lock_guard lock(mutex);
    return queue.size();
}

int64_t FakeWaveDevice::UnderflowFrames() const {
    std::lock_guard lock(mutex);
    return underflowFrames;
}

int64_t FakeWaveDevice::LiveBlocks() const {
    std::lock_guard lock(mutex);
    return liveBlocks;
}

std::vector<uint32_t> FakeWaveDevice::ConsumedPcm() const {
    std::lock_guard lock(mutex);
    return consumed;
}

std::vector<const WaveHeader*> FakeWaveDevice::WrittenHeaders() const {
    std::lock_guard lock(mutex);
    return written;
}

WaveStatus FakeWaveDevice::Open(int32_t deviceId, int32_t sampleRate) {
    std::lock_guard lock(mutex);
    if (CountAndCheckFailure(Call::Open) || vanished) {
        return kWaveFailed;
    }
    if (deviceId < 0 || deviceId >= static_cast<int32_t>(deviceNames.size())) {
        return kWaveFailed;
    }
    // Reopening ends the use of whatever was written before.
    MarkAllQueuedDone();
    prepared.clear();
    open = true;
    openedDeviceId = deviceId;
    openedSampleRate = sampleRate;
    playedFrames = 0;
    writes = 0;
    written.clear();
    return kWaveOk;
}

WaveStatus FakeWaveDevice::PrepareHeader(WaveHeader* header) {
    std::lock_guard lock(mutex);
    if (CountAndCheckFailure(Call::Prepare)) {
        return kWaveFailed;
    }
    if (!open) {
        ++misuses;
        return kWaveFailed;
    }
    if (!IsPrepared(header)) {
        prepared.push_back(header);
    }
    return kWaveOk;
}

WaveStatus FakeWaveDevice::UnprepareHeader(WaveHeader* header) {
    std::lock_guard lock(mutex);
    if (CountAndCheckFailure(Call::Unprepare)) {
        return kWaveFailed;
    }
    if (!open || std::find(queue.begin(), queue.end(), header) != queue.end()) {
        ++misuses; // a real device refuses to unprepare a buffer it still plays
        return kWaveFailed;
    }
    prepared.erase(std::remove(prepared.begin(), prepared.end(), header), prepared.end());
    return kWaveOk;
}

WaveStatus FakeWaveDevice::Write(WaveHeader* header) {
    std::lock_guard lock(mutex);
    if (CountAndCheckFailure(Call::Write) || vanished) {
        return kWaveFailed;
    }
    if (!open || std::find(queue.begin(), queue.end(), header) != queue.end()) {
        ++misuses;
        return kWaveFailed;
    }
    // A buffer that failed to prepare is written all the same by the driver; a real device
    // would refuse it, so does the fake, without calling it a misuse.
    if (!IsPrepared(header)) {
        return kWaveFailed;
    }
    header->flags.fetch_and(~kWaveHeaderDone, std::memory_order_relaxed);
    queue.push_back(header);
    written.push_back(header);
    ++writes;
    return kWaveOk;
}

WaveStatus FakeWaveDevice::Reset() {
    std::lock_guard lock(mutex);
    if (CountAndCheckFailure(Call::Reset)) {
        return kWaveFailed;
    }
    if (!open) {
        ++misuses;
        return kWaveFailed;
    }
    MarkAllQueuedDone();
    return kWaveOk;
}

// Plays only when told, so there is nothing to start; counted, and can fail on request.
WaveStatus FakeWaveDevice::Restart() {
    std::lock_guard lock(mutex);
    if (CountAndCheckFailure(Call::Restart)) {
        MarkAllQueuedDone();
        return kWaveFailed;
    }
    return open ? kWaveOk : kWaveFailed;
}

WaveStatus FakeWaveDevice::Close() {
    std::lock_guard lock(mutex);
    if (CountAndCheckFailure(Call::Close)) {
        return kWaveFailed;
    }
    if (!open || !queue.empty()) {
        ++misuses;
        return kWaveFailed;
    }
    open = false;
    prepared.clear();
    return kWaveOk;
}

WaveStatus FakeWaveDevice::GetPosition(WavePosition* position) {
    std::lock_guard lock(mutex);
    if (CountAndCheckFailure(Call::Position)) {
        return kWaveFailed;
    }
    if (!open) {
        ++misuses;
        return kWaveFailed;
    }
    position->unit = positionInBytes ? WaveTimeUnit::Bytes : WaveTimeUnit::Frames;
    position->value = static_cast<uint32_t>(positionInBytes ? playedFrames * 4 : playedFrames);
    return kWaveOk;
}

int32_t FakeWaveDevice::GetDeviceCount() {
    std::lock_guard lock(mutex);
    return static_cast<int32_t>(deviceNames.size());
}

WaveStatus FakeWaveDevice::GetDeviceName(int32_t deviceId, char* name, size_t capacity) {
    std::lock_guard lock(mutex);
    if (CountAndCheckFailure(Call::DeviceName)) {
        return kWaveFailed;
    }
    if (deviceId < 0 || deviceId >= static_cast<int32_t>(deviceNames.size()) || capacity == 0) {
        return kWaveFailed;
    }
    std::snprintf(name, capacity, "%s", deviceNames[deviceId].c_str());
    return kWaveOk;
}

void* FakeWaveDevice::AllocateBlock(size_t bytes) {
    {
        std::lock_guard lock(mutex);
        if (CountAndCheckFailure(Call::Allocate)) {
            return nullptr;
        }
        ++liveBlocks;
    }
    return WaveDevice::AllocateBlock(bytes);
}

void FakeWaveDevice::FreeBlock(void* block) {
    if (block != nullptr) {
        std::lock_guard lock(mutex);
        --liveBlocks;
    }
    WaveDevice::FreeBlock(block);
}
