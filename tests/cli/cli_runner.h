#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace takton::testing {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs takton-cli with UTF-8 arguments, no shell in between.
CliResult RunCli(const std::vector<std::string> &args);

// Starts takton-cli without waiting; its output goes to the descriptors given,
// or nowhere for -1. Gives the process id, or -1.
pid_t SpawnCli(const std::vector<std::string> &args, int outFd = -1, int errFd = -1);

} // namespace takton::testing
