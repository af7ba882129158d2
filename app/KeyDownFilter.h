#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QKeyEvent;
class QWidget;

// Hands every key-down meant for one window, or for any control in it, to a handler before
// the control gets it, exactly once, and then delivers it as Qt would have.
//
// Installed on the application, the filter sees each event at every receiver it reaches:
// Qt offers a key event to the control with the focus, then to each parent in turn while it
// is not accepted. The filter takes the first offer: it calls the handler, delivers the
// key-down (or the event the handler gave in its place) to that receiver itself, which lets
// Qt pass it on to the parents as usual, and consumes the original. The further offers Qt
// then makes of the original to the parents are consumed too, since they have had it.
class KeyDownFilter : public QObject {
    Q_OBJECT

public:
    // Sees a key-down before any control; returns the event the controls get instead of it
    // (a new QKeyEvent), or null to hand them this one.
    using Handler = std::function<std::unique_ptr<QKeyEvent>(QKeyEvent& keyDown)>;

    KeyDownFilter(QWidget& window, Handler handler);

    // Whether event is a key-down that the filter is delivering now and that was first
    // offered to the window itself, not to one of its controls. For the window's own
    // keyPressEvent.
    bool IsAddressedToWindow(const QKeyEvent& event) const;

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override;

private:
    void Deliver(QWidget& receiver, QKeyEvent& keyDown);

    QWidget& window;
    Handler handler;
    const QKeyEvent* delivering = nullptr; // the event being delivered by Deliver
    bool deliveringAtWindow = false;       // ... to the window itself
    const QKeyEvent* delivered = nullptr;  // an original whose offers to the parents are still to come
};
