#include "app/KeyDownFilter.h"

#include <QKeyEvent>
#include <QWidget>

#include <utility>

namespace {

// The mark the filter leaves on an event it has handled, kept in the padding word that
// QInputEvent reserves (always 0 in a new event).
constexpr quint32 kSeen = 0x5a420001u;
constexpr quint32 kSeenAtWindow = 0x5a420003u;

struct InputEventAccess : QInputEvent {
    static constexpr quint32 QInputEvent::*kMark = &InputEventAccess::m_reserved;
};

quint32 MarkOf(const QKeyEvent& event) {
    return event.*InputEventAccess::kMark;
}

} // namespace

KeyDownFilter::KeyDownFilter(QWidget& window, Handler handler)
    : QObject(&window), window(window), handler(std::move(handler)) {}

bool KeyDownFilter::WasSeen(const QKeyEvent& event) {
    const quint32 mark = MarkOf(event);
    return mark == kSeen || mark == kSeenAtWindow;
}

bool KeyDownFilter::IsAddressedToWindow(const QKeyEvent& event) {
    return MarkOf(event) == kSeenAtWindow;
}

bool KeyDownFilter::eventFilter(QObject* receiver, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !receiver->isWidgetType()) {
        return false;
    }
    auto* widget = static_cast<QWidget*>(receiver);
    if (widget != &window && !window.isAncestorOf(widget)) {
        return false;
    }
    auto* keyDown = static_cast<QKeyEvent*>(event);
    if (WasSeen(*keyDown)) {
        return false;
    }
    keyDown->*InputEventAccess::kMark = widget == &window ? kSeenAtWindow : kSeen;
    handler(*keyDown);
    return false;
}
