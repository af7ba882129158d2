#pragma once

#include <condition_variable>
#include <mutex>

// An event that stays signalled once set, until it is reset: Wait returns at once while it
// is signalled, and every waiter wakes when it becomes signalled. Created not signalled.
class ManualResetEvent {
public:
    ManualResetEvent() = default;
    ManualResetEvent(const ManualResetEvent&) = delete;
    ManualResetEvent& operator=(const ManualResetEvent&) = delete;

    void Set();
    void Reset();
    // Waits, without time-out, until the event is signalled.
    void Wait();
    bool IsSet();

private:
    std::mutex mutex;
    std::condition_variable signalled;
    bool set = false;
};
