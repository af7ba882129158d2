#pragma once

#include <QObject>

#include <functional>

class HistoryStore;
class QDialog;
class QSocketNotifier;

// The end of a session that does not come from the window: the system asking the program to
// end (SIGTERM at logout or shutdown, SIGHUP when its terminal goes, SIGINT from Ctrl+C), Qt
// quitting, and the process exiting because its X server went away. None of them must lose the
// queued answers of the history.
//
// On a signal the handler only writes the signal's number into a pipe of its own (a signal
// handler may do nothing more); a QSocketNotifier brings it to the UI thread, which writes the
// queued answers, closes the window as its close box does (the volume is saved, the sound
// stopped) and calls `quit`, which ends whatever event loops still run. When Qt's aboutToQuit
// fires, and when the process exits while the window is up (Qt's X connection ends it with
// exit()), the queued answers are written as well.
//
// One at a time per process; the previous signal handlers come back when it goes.
class SessionEnd : public QObject {
    Q_OBJECT

public:
    // history may be null. quit is called last on a signal; it may be empty.
    SessionEnd(QDialog& window, HistoryStore* history, std::function<void()> quit);
    ~SessionEnd() override;
    SessionEnd(const SessionEnd&) = delete;
    SessionEnd& operator=(const SessionEnd&) = delete;

    // The signal that ended the session, or 0.
    int ReceivedSignal() const { return receivedSignal; }

private:
    void OnSignal();
    void CommitHistory();

    QDialog& window;
    HistoryStore* history;
    std::function<void()> quit;
    QSocketNotifier* notifier = nullptr;
    int receivedSignal = 0;
};
