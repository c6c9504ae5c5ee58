#include "cli/cli_runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

extern char **environ;

namespace takton::testing {
namespace {
std::string Slurp(int fd) {
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(n));
    ::close(fd);
    return text;
}
} // namespace

pid_t SpawnCli(const std::vector<std::string> &args, int outFd, int errFd) {
    std::vector<std::string> all = {TAKTON_CLI};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (auto &a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (const auto &[fd, target] : {std::pair{outFd, 1}, std::pair{errFd, 2}}) {
        if (fd >= 0)
            posix_spawn_file_actions_adddup2(&actions, fd, target);
        else
            posix_spawn_file_actions_addopen(&actions, target, "/dev/null", O_WRONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    pid_t pid = 0;
    if (::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

CliResult RunCli(const std::vector<std::string> &args) {
    // Output goes to temporary files, so a large output cannot block the pipe.
    char outName[] = "/tmp/takton-cli-out-XXXXXX";
    char errName[] = "/tmp/takton-cli-err-XXXXXX";
    const int outFd = ::mkstemp(outName);
    const int errFd = ::mkstemp(errName);
    CliResult result;
    if (const pid_t pid = SpawnCli(args, outFd, errFd); pid > 0) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    ::close(outFd);
    ::close(errFd);
    result.out = Slurp(::open(outName, O_RDONLY));
    result.err = Slurp(::open(errName, O_RDONLY));
    ::unlink(outName);
    ::unlink(errName);
    return result;
}

} // namespace takton::testing
