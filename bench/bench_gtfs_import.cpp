// The GTFS import of a generated feed: time, stop_times rows per second and
// the peak memory of the process.
//
//   bench_gtfs_import        about 1 million stop_times rows
//   bench_gtfs_import ROWS   about ROWS rows (10000000 for the full size)
//   bench_gtfs_import ROWS FEED.zip   the feed kept there (made when missing)

#include "core/gtfs/gtfs_import.h"
#include "gtfs_feed_generator.h"
#include "support/temp_dir.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace takton;

namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double PeakMegabytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

// Processor time of the process (user and system), seconds.
double CpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The feed is made in a child process, so that the import runs in a process
// as fresh as the editor's: after the generator, the heap it leaves behind
// slows the import by a third.
void GenerateInChild(const std::string &feed, const bench::TFeedShape &shape) {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(bench::WriteGeneratedFeed(feed, shape) > 0 ? 0 : 1);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "bench_gtfs_import: the feed could not be generated\n");
        std::exit(1);
    }
}

} // namespace

int main(int argc, char **argv) {
    const std::size_t wanted = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000000;
    testing::TempDir dir;
    const std::string feed = argc > 2 ? argv[2] : dir.File("feed.zip");
    auto start = std::chrono::steady_clock::now();
    const bench::TFeedShape shape = bench::ShapeForRows(wanted);
    const std::size_t rows = static_cast<std::size_t>(shape.Routes) *
                             static_cast<std::size_t>(shape.TripsPerRoute) *
                             static_cast<std::size_t>(shape.StopsPerRoute);
    if (!std::filesystem::exists(feed))
        GenerateInChild(feed, shape);
    std::printf("bench_gtfs_import: feed of %zu stop_times rows generated in %.2f s (%.0f MB "
                "zipped); peak memory before the import %.0f MB\n",
                rows, SecondsSince(start),
                static_cast<double>(std::filesystem::file_size(feed)) / 1e6, PeakMegabytes());

    start = std::chrono::steady_clock::now();
    const double cpuStart = CpuSeconds();
    // Where the time goes: reading (to 800), laying out (to 900), writing.
    double read = 0, laid = 0;
    const gtfs::TImportReport report =
        gtfs::ImportGtfs(feed, dir.File("project/p.zpr"), [&](std::size_t done, std::size_t) {
            if (done >= 800 && read == 0)
                read = SecondsSince(start);
            if (done >= 900 && laid == 0)
                laid = SecondsSince(start);
            return true;
        });
    const double seconds = SecondsSince(start);
    const double cpu = CpuSeconds() - cpuStart;
    std::printf("reading %.2f s, laying out %.2f s, writing %.2f s\n", read, laid - read,
                seconds - laid);
    // The machine may be shared: processor time tells the import's own speed.
    std::printf("import: %.2f s (%.2f s processor time), %.2f million stop_times rows/s (%.2f "
                "million per processor second), %zu lines, %zu trips; peak memory %.0f MB\n",
                seconds, cpu, static_cast<double>(report.StopTimes) / seconds / 1e6,
                static_cast<double>(report.StopTimes) / cpu / 1e6, report.Lines, report.Trips,
                PeakMegabytes());
    return report.StopTimes == rows ? 0 : 1;
}
