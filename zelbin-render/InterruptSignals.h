#pragma once

// SIGINT, SIGTERM and SIGHUP (where the system has it) during a render. The handler only notes
// the signal: the render stops at its next block, its temporary file is removed, and the
// program then ends by the same signal, as the shell expects. Signals that were ignored when
// the program started (a job started with nohup) stay ignored. SIGXFSZ is ignored, so that a
// file size limit makes a write fail ("File too large") instead of killing the program before
// it can clean up.
class InterruptSignals {
public:
    static void Catch();
    // The signal caught since Catch, or 0.
    static int Caught();
    static const char* Name(int signal);
    // Ends the program by signal, with its default action.
    [[noreturn]] static void EndBy(int signal);
};
