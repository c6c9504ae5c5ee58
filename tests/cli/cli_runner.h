#pragma once

#include <string>
#include <vector>

namespace takton::testing {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs takton-cli with UTF-8 arguments, no shell in between.
CliResult RunCli(const std::vector<std::string> &args);

} // namespace takton::testing
