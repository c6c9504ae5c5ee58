// Rename and delete across a large project, and storing a route: each measured
// against the floor of reading and rewriting the same files in the same run.
// Three floors are given: plain POSIX writes without any sync; the crash-safe
// floor as the operations now write, all files in one batch (temporaries,
// journal, one sync of the file system, renames); and single crash-safe
// writes, each file synced in turn, as every file was written before. Beside
// them, the device's own share: the flushes any commit needs, timed alone.

#include "core/files/deferred_close.h"
#include "core/files/file_io.h"
#include "core/files/write_batch.h"
#include "core/model/master_data.h"
#include "core/model/message_sink.h"
#include "core/model/timetable_file.h"
#include "large_project.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <sys/resource.h>
#include <unistd.h>

using namespace takton;
using namespace takton::bench;

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// User CPU time of this thread, to tell the work of an operation from its waits
// for the disk.
// Only user time counts: the kernel's share is the file system's work, the
// same for an operation and its floor.
double ThreadCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_THREAD, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec) * 1e-6;
}

// Times one operation: wall time for the benchmark, CPU time on the side.
template <typename F> double TimeOperation(F &&operation, double &cpuTotal) {
    const double cpuStart = ThreadCpuSeconds();
    const auto start = Clock::now();
    operation();
    const double seconds = SecondsSince(start);
    cpuTotal += ThreadCpuSeconds() - cpuStart;
    return seconds;
}

struct Floors {
    double plain = 0;
    double plainCpu = 0;
    double safe = 0;
    double safeEach = 0;
    double flushes = 0;
};

// What the device alone asks of any commit here: a small file made durable
// with one flush of the file system and one of the folder, nothing else to
// write.
double DeviceFlushes(const std::string &dir) {
    const std::string path = dir + "/flush-probe";
    const auto start = Clock::now();
    WritePlain(path, std::string(200, 'x'));
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ::syncfs(fd);
    ::fsync(fd);
    ::close(fd);
    const double seconds = SecondsSince(start);
    ::unlink(path.c_str());
    return seconds;
}

// Reads every file whole and writes it back, once with plain writes and once
// crash-safe.
void AddFloors(const std::vector<std::string> &files, Floors &floors) {
    // The previous operation's old file versions are freed first, so that
    // freeing them does not slow the floors down.
    DrainDeferredCloses();
    const double cpuStart = ThreadCpuSeconds();
    auto start = Clock::now();
    for (const auto &path : files)
        WritePlain(path, *ReadWholeFile(path));
    floors.plain += SecondsSince(start);
    floors.plainCpu += ThreadCpuSeconds() - cpuStart;
    // Untimed: the crash-safe floor's sync is not to write the plain floor's data.
    ::sync();
    start = Clock::now();
    {
        TWriteBatch batch(DirectoryOf(files.front()));
        for (const auto &path : files)
            WriteWholeFile(path, *ReadWholeFile(path));
        batch.Commit();
    }
    floors.safe += SecondsSince(start);
    start = Clock::now();
    for (const auto &path : files)
        WriteWholeFile(path, *ReadWholeFile(path));
    floors.safeEach += SecondsSince(start);
    floors.flushes += DeviceFlushes(DirectoryOf(files.front()));
}

void Report(benchmark::State &state, double total, double cpu, const Floors &floors) {
    const double n = static_cast<double>(state.iterations());
    state.counters["op_ms"] = 1000 * total / n;
    state.counters["op_user_ms"] = 1000 * cpu / n;
    state.counters["floor_plain_user_ms"] = 1000 * floors.plainCpu / n;
    state.counters["floor_plain_ms"] = 1000 * floors.plain / n;
    state.counters["floor_safe_ms"] = 1000 * floors.safe / n;
    state.counters["floor_safe_each_ms"] = 1000 * floors.safeEach / n;
    state.counters["device_flushes_ms"] = 1000 * floors.flushes / n;
    state.counters["x_plain"] = total / floors.plain;
    state.counters["x_safe"] = total / floors.safe;
}

// The generated project flushed to disk once, so that its writing is not
// charged to the first sync of a run.
const std::string &SettledDir() {
    static const bool settled = [] {
        Project();
        ::sync();
        return true;
    }();
    (void)settled;
    return Project().Dir();
}

class NoMessages : public IMessageSink {
  public:
    void ShowMessage(std::string_view) override { std::abort(); }
};

void BM_CascadeRenameStation(benchmark::State &state) {
    const std::string &dir = SettledDir();
    const std::vector<std::string> files = Project().HubFiles(0);
    Floors floors;
    double total = 0;
    double cpu = 0;
    bool renamed = false;
    for (auto _ : state) {
        AddFloors(files, floors);
        const std::string from = renamed ? "Knoten 0 Nord" : "Knoten 0";
        const std::string to = renamed ? "Knoten 0" : "Knoten 0 Nord";
        const double seconds = TimeOperation([&] { CascadeRenameStation(dir, from, to); }, cpu);
        total += seconds;
        state.SetIterationTime(seconds);
        renamed = !renamed;
    }
    Report(state, total, cpu, floors);
}
BENCHMARK(BM_CascadeRenameStation)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

void BM_CascadeDeleteStation(benchmark::State &state) {
    const std::string &dir = SettledDir();
    Floors floors;
    double total = 0;
    double cpu = 0;
    int hub = 1;
    for (auto _ : state) {
        AddFloors(Project().HubFiles(hub), floors);
        const double seconds = TimeOperation([&] { CascadeDeleteStation(dir, HubName(hub)); }, cpu);
        total += seconds;
        state.SetIterationTime(seconds);
        ++hub;
    }
    Report(state, total, cpu, floors);
}
BENCHMARK(BM_CascadeDeleteStation)
    ->UseManualTime()
    ->Iterations(kHubs - 1)
    ->Unit(benchmark::kMillisecond);

void BM_CascadeRenameLine(benchmark::State &state) {
    const std::string &dir = SettledDir();
    const std::vector<std::string> lists = {ProjectPath(dir, kLineStationsFile),
                                            ProjectPath(dir, kStationLinesFile)};
    NoMessages messages;
    Floors floors;
    double total = 0;
    double cpu = 0;
    bool renamed = false;
    for (auto _ : state) {
        const std::string from = LineName(100) + (renamed ? " neu" : "");
        const std::string to = LineName(100) + (renamed ? "" : " neu");
        // The floor: the two lists read and rewritten, the timetable file renamed.
        AddFloors(lists, floors);
        for (double *floor : {&floors.plain, &floors.safe, &floors.safeEach}) {
            const auto start = Clock::now();
            std::rename(TimetablePath(dir, from).c_str(), TimetablePath(dir, to).c_str());
            std::rename(TimetablePath(dir, to).c_str(), TimetablePath(dir, from).c_str());
            *floor += SecondsSince(start) / 2;
        }
        const double seconds =
            TimeOperation([&] { CascadeRenameLine(dir, from, to, messages); }, cpu);
        total += seconds;
        state.SetIterationTime(seconds);
        renamed = !renamed;
    }
    Report(state, total, cpu, floors);
}
BENCHMARK(BM_CascadeRenameLine)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

void BM_StoreLineStations(benchmark::State &state) {
    const std::string &dir = SettledDir();
    const std::string line = LineName(200);
    const TStringList route = LoadLineStations(dir, line);
    // The new route: two stations swap places and one is replaced.
    TStringList changed = route;
    std::swap(changed[3], changed[4]);
    changed[10] = StationName(1999);
    const std::vector<std::string> files = {ProjectPath(dir, kLineStationsFile),
                                            ProjectPath(dir, kStationLinesFile),
                                            TimetablePath(dir, line)};
    Floors floors;
    double total = 0;
    double cpu = 0;
    bool useChanged = true;
    for (auto _ : state) {
        AddFloors(files, floors);
        const double seconds =
            TimeOperation([&] { StoreLineStations(dir, line, useChanged ? changed : route); }, cpu);
        total += seconds;
        state.SetIterationTime(seconds);
        useChanged = !useChanged;
    }
    Report(state, total, cpu, floors);
}
BENCHMARK(BM_StoreLineStations)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
