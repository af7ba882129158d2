#include "app/SessionEnd.h"

#include "history/HistoryStore.h"

#include <QCoreApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <cstdlib>
#include <utility>

#ifndef _WIN32
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

// Written by the one SessionEnd while it lives; read at exit().
HistoryStore* historyAtExit = nullptr;

void CommitAtExit() {
    if (historyAtExit != nullptr) {
        historyAtExit->Commit();
    }
}

#ifndef _WIN32
constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};
constexpr size_t kSignalCount = std::size(kSignals);
int signalPipe[2] = {-1, -1};
struct sigaction previousActions[kSignalCount];

// Async-signal-safe: one write(2) into a non-blocking pipe, errno kept as it was.
extern "C" void WriteSignalNumber(int signal) {
    const int savedErrno = errno;
    const auto number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &number, 1);
    errno = savedErrno;
}

bool OpenSignalPipe() {
    if (::pipe(signalPipe) != 0) {
        return false;
    }
    for (const int fd : signalPipe) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    return true;
}

void InstallHandlers() {
    struct sigaction action {};
    action.sa_handler = &WriteSignalNumber;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < kSignalCount; ++i) {
        ::sigaction(kSignals[i], &action, &previousActions[i]);
    }
}

void RestoreHandlers() {
    for (size_t i = 0; i < kSignalCount; ++i) {
        ::sigaction(kSignals[i], &previousActions[i], nullptr);
    }
}
#endif

} // namespace

SessionEnd::SessionEnd(QDialog& window, HistoryStore* history, std::function<void()> quit)
    : window(window), history(history), quit(std::move(quit)) {
    static const bool atExitRegistered = std::atexit(&CommitAtExit) == 0;
    (void)atExitRegistered;
    historyAtExit = history;
    connect(qApp, &QCoreApplication::aboutToQuit, this, &SessionEnd::CommitHistory);
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(gui, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { CommitHistory(); });
    }
#ifndef _WIN32
    if (OpenSignalPipe()) {
        notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, &SessionEnd::OnSignal);
        InstallHandlers();
    }
#endif
}

SessionEnd::~SessionEnd() {
    historyAtExit = nullptr;
#ifndef _WIN32
    if (notifier != nullptr) {
        if (receivedSignal == 0) {
            RestoreHandlers();
        }
        delete notifier;
        notifier = nullptr;
        for (int& fd : signalPipe) {
            ::close(fd);
            fd = -1;
        }
    }
#endif
}

// The answers first: whatever happens next, they are safe. A second signal then acts as it
// would have without this class (a stuck close can still be ended).
void SessionEnd::OnSignal() {
#ifndef _WIN32
    unsigned char number = 0;
    while (::read(signalPipe[0], &number, 1) == 1) {
        if (receivedSignal == 0) {
            receivedSignal = number;
        }
    }
    if (receivedSignal == 0) {
        return;
    }
    notifier->setEnabled(false);
    RestoreHandlers();
#endif
    CommitHistory();
    window.reject();
    if (quit) {
        quit();
    }
}

void SessionEnd::CommitHistory() {
    if (history != nullptr) {
        history->Commit();
    }
}
