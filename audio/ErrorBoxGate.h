#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

// Lets the audio thread wait for the message box of a report it raised, and lets a stop
// cut that wait short. One per process, shared by every driver.
//
// Why: a box must be shown by the UI thread. If the audio thread waited for it without
// condition, a Close on the UI thread (which holds the driver lock and waits for the audio
// thread to end) would never return to show it. So the wait ends when the box is closed or
// when the stop flag given to Wait is set; the stopper sets its flag, then calls
// WakeWaiters.
class ErrorBoxGate {
public:
    static ErrorBoxGate& Instance();

    // Starts a report that will be waited for; returns its id.
    uint64_t Begin();
    // The box of report id has been closed. Any thread; stale ids are ignored.
    void Closed(uint64_t id);
    // Waits until the box of report id is closed (true) or stop is set (false).
    bool Wait(uint64_t id, const std::atomic<bool>& stop);
    // Wakes every waiter so that it looks at its stop flag again.
    void WakeWaiters();

private:
    std::mutex mutex;
    std::condition_variable changed;
    uint64_t lastId = 0;   // the report most recently begun
    uint64_t closedId = 0; // the most recent of those whose box has been closed
};
