#include "app/KeyDownFilter.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

#include <utility>

KeyDownFilter::KeyDownFilter(QWidget& window, Handler handler)
    : QObject(&window), window(window), handler(std::move(handler)) {}

bool KeyDownFilter::IsAddressedToWindow(const QKeyEvent& event) const {
    return &event == delivering && deliveringAtWindow;
}

bool KeyDownFilter::eventFilter(QObject* receiver, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !receiver->isWidgetType()) {
        return false;
    }
    auto* widget = static_cast<QWidget*>(receiver);
    if (widget != &window && !window.isAncestorOf(widget)) {
        return false;
    }
    if (event == delivering) {
        return false; // the delivery below: the control and its parents get it as usual
    }
    if (event == delivered) {
        // Qt offers the original, accepted anew, to the next parent, which the delivery has
        // reached already: it stays ignored as the delivery left it, up to the window.
        event->ignore();
        if (widget->isWindow()) {
            delivered = nullptr;
        }
        return true;
    }
    Deliver(*widget, *static_cast<QKeyEvent*>(event));
    return true;
}

void KeyDownFilter::Deliver(QWidget& receiver, QKeyEvent& keyDown) {
    std::unique_ptr<QKeyEvent> replacement = handler(keyDown);
    QKeyEvent& handed = replacement ? *replacement : keyDown;
    const bool atWindow = &receiver == &window;
    const QPointer<QWidget> alive(&receiver);

    // Nested deliveries (a key handler that runs an event loop) restore the outer one.
    const QKeyEvent* outer = std::exchange(delivering, &handed);
    const bool outerAtWindow = std::exchange(deliveringAtWindow, atWindow);
    QCoreApplication::sendEvent(&receiver, &handed);
    delivering = outer;
    deliveringAtWindow = outerAtWindow;

    keyDown.setAccepted(handed.isAccepted());
    // Not accepted, the original goes on to the receiver's parents, up to the window.
    delivered = !keyDown.isAccepted() && alive && !atWindow ? &keyDown : nullptr;
}
