#pragma once

#include "ui/seams/TimerSeam.h"

#include <map>

// Window timers for tests: nothing fires by itself. Fire() delivers one tick of a timer that
// is set, as if its period had just elapsed. failSet makes every SetTimer fail, as the
// platform may when it runs out of timers.
class FakeTimerSeam : public TimerSeam {
public:
    bool SetTimer(uint32_t timerId, int32_t periodMs) override {
        ++setCalls;
        timers.erase(timerId);
        if (failSet) {
            return false;
        }
        timers[timerId] = periodMs;
        return true;
    }

    void KillTimer(uint32_t timerId) override {
        ++killCalls;
        timers.erase(timerId);
    }

    bool IsSet(uint32_t timerId) const { return timers.count(timerId) != 0; }

    // The period [ms] of a set timer, -1 when it is not set.
    int32_t PeriodMs(uint32_t timerId) const {
        const auto found = timers.find(timerId);
        return found == timers.end() ? -1 : found->second;
    }

    // Delivers one tick of timerId when it is set; returns whether a tick was delivered.
    bool Fire(uint32_t timerId) {
        if (!IsSet(timerId)) {
            return false;
        }
        DeliverTick(timerId);
        return true;
    }

    // Delivers a tick whether or not the timer is set, as a late message already queued
    // before a KillTimer could arrive.
    void FireUnconditionally(uint32_t timerId) { DeliverTick(timerId); }

    bool failSet = false;
    int setCalls = 0;
    int killCalls = 0;

private:
    std::map<uint32_t, int32_t> timers; // id -> period [ms]
};
