#pragma once

#include <cstdint>
#include <functional>

class MessageSeam;
class TimerSeam;

// Timer 31 of the main window, the one timer that paces both dictation modes, on the
// window's timer seam. A timer that cannot be set is said in a message box, "Unable to set
// timer", and the caller goes on.
class DictationTimer {
public:
    static constexpr uint32_t kTimerId = 31;

    DictationTimer(TimerSeam& timers, MessageSeam& messages);
    ~DictationTimer(); // kills the timer and forgets the tick handler

    // Every tick of the window's timers, with the timer's id.
    void OnTick(std::function<void(uint32_t timerId)> handler);

    // Kills the timer, then sets it with periodMs [ms]: the next tick comes one full period later.
    void Restart(int32_t periodMs);
    // Sets it again with periodMs [ms], replacing a running one.
    void Renew(int32_t periodMs);
    void Kill();

private:
    TimerSeam& timers;
    MessageSeam& messages;
};
