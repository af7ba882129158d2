#include "zelbin-render/InterruptSignals.h"

#include <atomic>
#include <csignal>
#include <cstdlib>

namespace {

std::atomic<int> caught{0}; // lock-free, so safe to store from a handler
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void NoteSignal(int signal) {
    caught.store(signal);
}

#ifdef _WIN32
constexpr int kSignals[] = {SIGINT, SIGTERM};
#else
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
#endif

} // namespace

#ifdef _WIN32

void InterruptSignals::Catch() {
    for (const int signal : kSignals) {
        if (std::signal(signal, NoteSignal) == SIG_IGN) {
            std::signal(signal, SIG_IGN);
        }
    }
}

#else

void InterruptSignals::Catch() {
    struct sigaction action {};
    action.sa_handler = NoteSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : kSignals) {
        struct sigaction previous {};
        if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN) {
            sigaction(signal, &action, nullptr);
        }
    }
    std::signal(SIGXFSZ, SIG_IGN);
}

#endif

int InterruptSignals::Caught() {
    return caught.load();
}

const char* InterruptSignals::Name(int signal) {
    switch (signal) {
    case SIGINT:
        return "SIGINT";
    case SIGTERM:
        return "SIGTERM";
#ifndef _WIN32
    case SIGHUP:
        return "SIGHUP";
#endif
    default:
        return "a signal";
    }
}

void InterruptSignals::EndBy(int signal) {
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    std::_Exit(128 + signal); // where the default action does not end the program
}
