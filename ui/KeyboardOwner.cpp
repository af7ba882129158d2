#include "ui/KeyboardOwner.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace KeyboardOwner {

namespace {

void ReclaimNow(QWidget* window) {
    QWidget* active = QApplication::activeWindow();
    if ((active != nullptr && active->isVisible()) || QApplication::activePopupWidget() != nullptr ||
        window->windowHandle() == nullptr || QGuiApplication::focusWindow() != window->windowHandle()) {
        return;
    }
    QApplication::setActiveWindow(window);
}

} // namespace

void Reclaim(QWidget* owner) {
    if (owner == nullptr) {
        return;
    }
    QPointer<QWidget> window = owner->window();
    ReclaimNow(window);
    // The system's focus change may still be on its way.
    QTimer::singleShot(0, window, [window] { ReclaimNow(window); });
}

} // namespace KeyboardOwner
