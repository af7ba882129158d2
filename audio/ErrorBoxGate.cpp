#include "audio/ErrorBoxGate.h"

ErrorBoxGate& ErrorBoxGate::Instance() {
    static ErrorBoxGate gate;
    return gate;
}

uint64_t ErrorBoxGate::Begin() {
    std::lock_guard lock(mutex);
    return ++lastId;
}

void ErrorBoxGate::Closed(uint64_t id) {
    std::lock_guard lock(mutex);
    if (id == lastId) {
        closedId = id;
    }
    changed.notify_all();
}

bool ErrorBoxGate::Wait(uint64_t id, const std::atomic<bool>& stop) {
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return closedId == id || stop.load(std::memory_order_acquire); });
    return closedId == id;
}

void ErrorBoxGate::WakeWaiters() {
    std::lock_guard lock(mutex);
    changed.notify_all();
}
