#pragma once

#include <QObject>

#include <functional>

class QKeyEvent;
class QWidget;

// Hands every key-down meant for one window, or for any control in it, to a handler before
// the control gets it, exactly once, and never consumes it.
//
// Installed on the application, the filter sees each event at every receiver it reaches:
// Qt offers a key event to the control with the focus, then to each parent in turn while it
// is not accepted. The first offer is the one that counts; the filter marks the event there
// so that the later offers of the same event are passed over. Events that reach the window
// itself first are addressed to the window.
class KeyDownFilter : public QObject {
    Q_OBJECT

public:
    using Handler = std::function<void(QKeyEvent& keyDown)>;

    KeyDownFilter(QWidget& window, Handler handler);

    // Whether the handler has already seen this event.
    static bool WasSeen(const QKeyEvent& event);
    // Whether this event was first offered to the window itself, not to one of its controls.
    static bool IsAddressedToWindow(const QKeyEvent& event);

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override;

private:
    QWidget& window;
    Handler handler;
};
