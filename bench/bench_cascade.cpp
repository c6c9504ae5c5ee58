// Rename and delete across a large project, and storing a route: each measured
// against the floor of reading and rewriting the same files in the same run.
//
// The project: 2,000 stations, 300 lines with routes of 30 stations, and per
// line a timetable file of 6 sections (3 day groups, 2 directions) with 30
// rows of 200 journeys each. 15 hub stations ("Knoten 0" ... "Knoten 14") lie
// on 20 lines each. Two floors are given: plain POSIX writes, and the
// crash-safe writes (temporary file, fsync, rename) that every save uses.

#include "model/db_func.h"
#include "model/message_sink.h"
#include "model/timetable_file.h"
#include "util/file_io.h"

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

namespace {

constexpr int kStations = 2000;
constexpr int kLines = 300;
constexpr int kRouteLength = 30;
constexpr int kJourneys = 200;
constexpr int kHubs = 15;
constexpr int kLinesPerHub = 20;
const char *const kDayGroups[] = {"Mo-Fr", "Sa", "So"};

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

std::string StationName(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "Station %04d", i);
    return name;
}

std::string LineName(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "Linie %03d", i);
    return name;
}

std::string HubName(int h) {
    return "Knoten " + std::to_string(h);
}

void WritePlain(const std::string &path, const std::string &content) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 ||
        ::write(fd, content.data(), content.size()) != static_cast<ssize_t>(content.size()))
        std::abort();
    ::close(fd);
}

TStringList Route(int line) {
    TStringList route;
    for (int k = 0; k < kRouteLength; ++k)
        route.push_back(StationName((line * 29 + k * 67) % kStations));
    // Line l carries hub l / 20 in the middle of its route.
    route[kRouteLength / 2] = HubName(line / kLinesPerHub);
    return route;
}

// ",HH:MM" for a minute of the day, made once.
const std::string &TimeCell(int minutes) {
    static const std::vector<std::string> cells = [] {
        std::vector<std::string> all;
        for (int m = 0; m < 24 * 60; ++m) {
            char cell[8];
            std::snprintf(cell, sizeof cell, ",%02d:%02d", m / 60, m % 60);
            all.emplace_back(cell);
        }
        return all;
    }();
    return cells[static_cast<std::size_t>(minutes % (24 * 60))];
}

std::string TimetableText(const TStringList &route) {
    std::string text;
    for (int direction = 1; direction <= 2; ++direction)
        for (const char *group : kDayGroups) {
            text += "[" + TimetableSectionName(direction, group) + "]\r\n";
            for (int r = 0; r < kRouteLength; ++r) {
                const std::string &station = route[direction == 1 ? r : kRouteLength - 1 - r];
                text += std::to_string(r + 1) + "=" + station;
                for (int j = 0; j < kJourneys; ++j)
                    text += TimeCell(300 + j * 5 + r * 2);
                text += "\r\n";
            }
        }
    return text;
}

class LargeProject {
  public:
    LargeProject() {
        std::string pattern = (std::filesystem::temp_directory_path() / "takton-bench-XXXXXX");
        dir_ = ::mkdtemp(pattern.data());
        TStringList stations, lines, routes;
        std::map<std::string, TStringList> index; // station -> lines
        TStringList indexOrder;
        for (int i = 0; i < kStations; ++i)
            stations.push_back(StationName(i));
        for (int h = 0; h < kHubs; ++h)
            stations.push_back(HubName(h));
        for (int l = 0; l < kLines; ++l) {
            const TStringList route = Route(l);
            lines.push_back(LineName(l));
            routes.push_back(LineName(l) + "=" + JoinList(route));
            for (const auto &station : route) {
                auto [it, fresh] = index.try_emplace(station);
                if (fresh)
                    indexOrder.push_back(station);
                it->second.push_back(LineName(l));
            }
            WritePlain(TimetablePath(dir_, LineName(l)), TimetableText(route));
        }
        TStringList indexEntries;
        for (const auto &station : indexOrder)
            indexEntries.push_back(station + "=" + JoinList(index[station]));
        WritePlain(ProjectPath(dir_, kStationsFile), JoinTextLines(stations));
        WritePlain(ProjectPath(dir_, kLinesFile), JoinTextLines(lines));
        WritePlain(ProjectPath(dir_, kLineStationsFile), JoinTextLines(routes));
        WritePlain(ProjectPath(dir_, kStationLinesFile), JoinTextLines(indexEntries));
    }
    ~LargeProject() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    const std::string &Dir() const { return dir_; }

    // The files a cascade on the hub's lines reads and rewrites.
    std::vector<std::string> HubFiles(int hub, const std::string &lineSuffix = "") const {
        std::vector<std::string> files = {ProjectPath(dir_, kLineStationsFile),
                                          ProjectPath(dir_, kStationLinesFile)};
        for (int l = hub * kLinesPerHub; l < (hub + 1) * kLinesPerHub; ++l)
            files.push_back(TimetablePath(dir_, LineName(l) + lineSuffix));
        return files;
    }

  private:
    std::string dir_;
};

LargeProject &Project() {
    static LargeProject project;
    return project;
}

struct Floors {
    double plain = 0;
    double plainCpu = 0;
    double safe = 0;
};

// Reads every file whole and writes it back, once with plain writes and once
// crash-safe.
void AddFloors(const std::vector<std::string> &files, Floors &floors) {
    const double cpuStart = ThreadCpuSeconds();
    auto start = Clock::now();
    for (const auto &path : files)
        WritePlain(path, *ReadWholeFile(path));
    floors.plain += SecondsSince(start);
    floors.plainCpu += ThreadCpuSeconds() - cpuStart;
    start = Clock::now();
    for (const auto &path : files)
        WriteWholeFile(path, *ReadWholeFile(path));
    floors.safe += SecondsSince(start);
}

void Report(benchmark::State &state, double total, double cpu, const Floors &floors) {
    const double n = static_cast<double>(state.iterations());
    state.counters["op_ms"] = 1000 * total / n;
    state.counters["op_user_ms"] = 1000 * cpu / n;
    state.counters["floor_plain_user_ms"] = 1000 * floors.plainCpu / n;
    state.counters["floor_plain_ms"] = 1000 * floors.plain / n;
    state.counters["floor_safe_ms"] = 1000 * floors.safe / n;
    state.counters["x_plain"] = total / floors.plain;
    state.counters["x_safe"] = total / floors.safe;
}

class NoMessages : public IMessageSink {
  public:
    void ShowMessage(std::string_view) override { std::abort(); }
};

void BM_CascadeRenameStation(benchmark::State &state) {
    const std::string &dir = Project().Dir();
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
    const std::string &dir = Project().Dir();
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
    const std::string &dir = Project().Dir();
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
        for (double *floor : {&floors.plain, &floors.safe}) {
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
    const std::string &dir = Project().Dir();
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
