#include "ui/DictationTimer.h"

#include "ui/seams/MessageSeam.h"
#include "ui/seams/TimerSeam.h"

#include <utility>

DictationTimer::DictationTimer(TimerSeam& timers, MessageSeam& messages) : timers(timers), messages(messages) {}

DictationTimer::~DictationTimer() {
    timers.KillTimer(kTimerId);
    timers.SetTickHandler(nullptr);
}

void DictationTimer::OnTick(std::function<void(uint32_t timerId)> handler) {
    timers.SetTickHandler(std::move(handler));
}

void DictationTimer::Restart(int32_t periodMs) {
    timers.KillTimer(kTimerId);
    Renew(periodMs);
}

void DictationTimer::Renew(int32_t periodMs) {
    if (!timers.SetTimer(kTimerId, periodMs)) {
        messages.Show(QStringLiteral("Unable to set timer"));
    }
}

void DictationTimer::Kill() {
    timers.KillTimer(kTimerId);
}
