#pragma once

// Processes for the lock tests: this host's name and a process id that no
// process has.

#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace takton::testing {

inline std::string HostName() {
    char name[256] = {};
    ::gethostname(name, sizeof name - 1);
    return name;
}

// A child that has ended and been reaped.
inline pid_t DeadPid() {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
}

} // namespace takton::testing
