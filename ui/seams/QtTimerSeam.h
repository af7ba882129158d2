#pragma once

#include "ui/seams/TimerSeam.h"

#include <QObject>

#include <map>

// Window timers on Qt's object timers. Precise timers are used so that a dictation interval
// of a few seconds is kept to the millisecond rather than within Qt's default 5 % coarseness.
class QtTimerSeam : public QObject, public TimerSeam {
    Q_OBJECT
public:
    explicit QtTimerSeam(QObject* parent = nullptr);
    ~QtTimerSeam() override;

    bool SetTimer(uint32_t timerId, int32_t periodMs) override;
    void KillTimer(uint32_t timerId) override;

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    std::map<uint32_t, int> qtTimers; // our timer id -> Qt's timer id
};
