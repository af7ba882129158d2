#pragma once

#include <cstdint>
#include <functional>
#include <utility>

// The main window's timers, in the shape the dictation modes use them: a timer is known by
// its id, setting it again replaces the running one (the next tick comes one full period
// after the new setting), killing a timer that is not set is harmless, and setting one can
// fail. Every tick is handed to the one tick handler with the id of its timer.
// The program uses QtTimerSeam; tests use FakeTimerSeam, which fires ticks on demand.
class TimerSeam {
public:
    using TickHandler = std::function<void(uint32_t timerId)>;

    virtual ~TimerSeam() = default;

    // Starts timer timerId with the period periodMs [ms], replacing it if it runs.
    // Returns false when the timer could not be set; a running timer of that id is then gone.
    virtual bool SetTimer(uint32_t timerId, int32_t periodMs) = 0;

    // Stops timer timerId; does nothing when it is not set.
    virtual void KillTimer(uint32_t timerId) = 0;

    void SetTickHandler(TickHandler handler) { tickHandler = std::move(handler); }

protected:
    void DeliverTick(uint32_t timerId) {
        if (tickHandler) {
            tickHandler(timerId);
        }
    }

private:
    TickHandler tickHandler;
};
