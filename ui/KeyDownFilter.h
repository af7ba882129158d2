#pragma once

#include <QKeyEvent>
#include <QObject>

#include <functional>
#include <memory>
#include <utility>

class QWidget;

// Hands every key-down meant for one window, or for any control in it, to a handler before
// the control gets it, exactly once, and then delivers it as Qt would have.
//
// Installed on the application, the filter sees each event at every receiver it reaches:
// Qt offers a key event to the control with the focus, then to each parent in turn while it
// is not accepted. The filter takes the first offer: it calls the handler, delivers the
// key-down (or the event the handler gave in its place, or nothing when the handler drops it)
// to that receiver itself, which lets Qt pass it on to the parents as usual, and consumes the
// original. The further offers Qt
// then makes of the original to the parents are consumed too, since they have had it.
class KeyDownFilter : public QObject {
    Q_OBJECT

public:
    // What the controls get of a key-down: the key-down itself, an event in its place, or
    // nothing at all.
    struct Delivery {
        std::unique_ptr<QKeyEvent> replacement; // delivered instead, when set
        bool dropped = false;                   // nothing is delivered

        static Delivery AsIs() { return {}; }
        static Delivery Replaced(std::unique_ptr<QKeyEvent> event) { return {std::move(event), false}; }
        static Delivery Dropped() { return {nullptr, true}; }
    };
    // Sees a key-down before any control, with the control (or the window) it was meant for.
    using Handler = std::function<Delivery(QKeyEvent& keyDown, QWidget& receiver)>;

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
