#include "audio/ManualResetEvent.h"

void ManualResetEvent::Set() {
    std::lock_guard lock(mutex);
    set = true;
    signalled.notify_all();
}

void ManualResetEvent::Reset() {
    std::lock_guard lock(mutex);
    set = false;
}

void ManualResetEvent::Wait() {
    std::unique_lock lock(mutex);
    signalled.wait(lock, [this] { return set; });
}

bool ManualResetEvent::IsSet() {
    std::lock_guard lock(mutex);
    return set;
}
