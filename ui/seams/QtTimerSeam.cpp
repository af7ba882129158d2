#include "ui/seams/QtTimerSeam.h"

#include <QTimerEvent>

QtTimerSeam::QtTimerSeam(QObject* parent) : QObject(parent) {}

QtTimerSeam::~QtTimerSeam() {
    for (const auto& [ownId, qtId] : qtTimers) {
        killTimer(qtId);
    }
}

bool QtTimerSeam::SetTimer(uint32_t timerId, int32_t periodMs) {
    KillTimer(timerId);
    if (periodMs < 0) {
        return false;
    }
    const int qtId = startTimer(periodMs, Qt::PreciseTimer);
    if (qtId == 0) {
        return false;
    }
    qtTimers[timerId] = qtId;
    return true;
}

void QtTimerSeam::KillTimer(uint32_t timerId) {
    const auto found = qtTimers.find(timerId);
    if (found == qtTimers.end()) {
        return;
    }
    killTimer(found->second);
    qtTimers.erase(found);
}

void QtTimerSeam::timerEvent(QTimerEvent* event) {
    for (const auto& [ownId, qtId] : qtTimers) {
        if (qtId == event->timerId()) {
            DeliverTick(ownId);
            return;
        }
    }
    QObject::timerEvent(event);
}
