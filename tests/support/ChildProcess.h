#pragma once

#include <sys/wait.h>
#include <unistd.h>

// Runs `body` in a child process and returns its exit status (or -1 when it did not exit).
// Tests use it for what must not touch the test process itself: dropping to another user,
// or a store opened under other permissions.
template <typename Body> int InChild(Body body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::_exit(body());
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}
