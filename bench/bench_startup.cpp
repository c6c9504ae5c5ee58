// Start-up time of the editor: from process start until the main window has
// been shown, against a minimal Qt Widgets program that shows one empty
// window, both measured in the same run, in alternation.
//
// Each probe prints CLOCK_MONOTONIC when its shown window has been handled by
// the event loop; the driver takes the time just before it starts the process.
// Without DISPLAY the probes run on the offscreen platform.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

long long MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

std::string OwnDirectory() {
    std::string path(4096, '\0');
    const ssize_t size = readlink("/proc/self/exe", path.data(), path.size());
    path.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
    return path.substr(0, path.find_last_of('/'));
}

// Milliseconds from the start of the process to its window being shown, or a
// negative value when the probe failed.
double TimeToShown(const std::string &program) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    char *argv[] = {const_cast<char *>(program.c_str()), nullptr};
    pid_t pid = 0;
    const long long start = MonotonicNs();
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    std::string output;
    char buffer[64];
    ssize_t got = 0;
    while (spawned == 0 && (got = read(pipeFds[0], buffer, sizeof buffer)) > 0)
        output.append(buffer, static_cast<std::size_t>(got));
    close(pipeFds[0]);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) < 0 || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0 || output.empty())
        return -1;
    return static_cast<double>(std::atoll(output.c_str()) - start) / 1e6;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    if (!std::getenv("DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::string dir = OwnDirectory();
    const std::string takton = dir + "/startup_probe_takton";
    const std::string minimal = dir + "/startup_probe_minimal";
    const std::string minimalText = dir + "/startup_probe_minimal_text";

    // One run each first, so that both find the libraries in the page cache.
    if (TimeToShown(takton) < 0 || TimeToShown(minimal) < 0 || TimeToShown(minimalText) < 0) {
        std::fprintf(stderr, "bench_startup: a probe failed to start\n");
        return 1;
    }
    std::vector<double> taktonMs, minimalMs, minimalTextMs;
    for (int i = 0; i < rounds; ++i) {
        minimalMs.push_back(TimeToShown(minimal));
        taktonMs.push_back(TimeToShown(takton));
        minimalTextMs.push_back(TimeToShown(minimalText));
        if (minimalMs.back() < 0 || taktonMs.back() < 0 || minimalTextMs.back() < 0) {
            std::fprintf(stderr, "bench_startup: a probe failed\n");
            return 1;
        }
    }
    const double taktonMedian = Median(taktonMs);
    const double minimalMedian = Median(minimalMs);
    std::printf("Start-up until the main window is shown (%s, %d rounds, median):\n",
                std::getenv("DISPLAY") ? "X display" : "offscreen", rounds);
    std::printf("  takton          %8.1f ms (min %.1f)\n", taktonMedian,
                *std::min_element(taktonMs.begin(), taktonMs.end()));
    std::printf("  minimal Qt app  %8.1f ms (min %.1f)\n", minimalMedian,
                *std::min_element(minimalMs.begin(), minimalMs.end()));
    std::printf("  ratio           %8.2f (goal: at most 1.30)\n", taktonMedian / minimalMedian);
    // The same program with one label: what any window with text pays for
    // setting up its fonts.
    const double textMedian = Median(minimalTextMs);
    std::printf("  minimal + label %8.1f ms (min %.1f), ratio %.2f\n", textMedian,
                *std::min_element(minimalTextMs.begin(), minimalTextMs.end()),
                taktonMedian / textMedian);
    return 0;
}
