// The connection search on the generated large project: building one day's
// connection index (by day group, and on a date by the operating calendar of
// Saxony), and the median and 99th percentile of 1,000 random
// queries (earliest arrival; the Pareto set; the window's whole answer of
// five connections with their alternatives).

#include "core/model/prj_load.h"
#include "core/search/connection_scan.h"
#include "large_project.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

using namespace takton;
using namespace takton::search;
using Clock = std::chrono::steady_clock;

namespace {

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void Report(const char *what, std::vector<double> times, int found) {
    std::sort(times.begin(), times.end());
    const auto at = [&](double share) {
        return times[std::min(times.size() - 1, static_cast<std::size_t>(share * times.size()))];
    };
    std::printf("%-34s median %7.3f ms   p99 %7.3f ms   max %7.3f ms   (%d of %zu found)\n", what,
                at(0.5), at(0.99), times.back(), found, times.size());
}

} // namespace

int main() {
    const std::string dir = bench::Project().Dir();
    std::vector<double> builds;
    TConnectionIndex index;
    for (int run = 0; run < 3; ++run) {
        const auto start = Clock::now();
        index = TConnectionIndex::Build(dir, ServiceDayOfGroup("Mo-Fr"), kDefaultMinChangeMinutes);
        builds.push_back(Milliseconds(Clock::now() - start));
    }
    std::sort(builds.begin(), builds.end());
    std::printf("index of %zu connections, %zu journeys, %zu stations: build %.0f ms (best of 3, "
                "worst %.0f ms)\n",
                index.ByDeparture().size(), index.Trips().size(), index.StationCount(), builds[0],
                builds.back());

    // A Wednesday, Monday to Friday's journeys and Tuesday's after midnight,
    // each journey asked of the calendar.
    TPrjParams params;
    LoadProjectFile(bench::Project().ProjectFile(), params);
    params.Calendar.Land = "SN";
    const TServiceDay wednesday = ServiceDayOfDate(params, *ParseIsoDate("2026-12-16"));
    builds.clear();
    for (int run = 0; run < 3; ++run) {
        const auto start = Clock::now();
        index = TConnectionIndex::Build(dir, wednesday, kDefaultMinChangeMinutes);
        builds.push_back(Milliseconds(Clock::now() - start));
    }
    std::sort(builds.begin(), builds.end());
    std::printf("index on a date, %zu connections: build %.0f ms (best of 3, worst %.0f ms)\n",
                index.ByDeparture().size(), builds[0], builds.back());
    index = TConnectionIndex::Build(dir, ServiceDayOfGroup("Mo-Fr"), kDefaultMinChangeMinutes);

    struct Query {
        std::uint32_t From, To;
        int Time;
    };
    std::mt19937 rng(1000);
    const auto stations = static_cast<int>(index.StationCount());
    std::vector<Query> queries;
    while (queries.size() < 1000) {
        const auto from = std::uniform_int_distribution<int>(0, stations - 1)(rng);
        const auto to = std::uniform_int_distribution<int>(0, stations - 1)(rng);
        if (from != to)
            queries.push_back({static_cast<std::uint32_t>(from), static_cast<std::uint32_t>(to),
                               std::uniform_int_distribution<int>(5 * 60, 20 * 60)(rng)});
    }

    TConnectionScan scan(index);
    std::vector<double> times;
    int found = 0;
    for (const auto &q : queries) {
        const auto start = Clock::now();
        found += scan.EarliestArrival(q.From, q.To, q.Time).has_value();
        times.push_back(Milliseconds(Clock::now() - start));
    }
    Report("earliest arrival", times, found);

    times.clear();
    found = 0;
    for (const auto &q : queries) {
        const auto start = Clock::now();
        found += !scan.ParetoDepart(q.From, q.To, q.Time).empty();
        times.push_back(Milliseconds(Clock::now() - start));
    }
    Report("Pareto set (up to 4 changes)", times, found);

    times.clear();
    found = 0;
    for (const auto &q : queries) {
        const auto start = Clock::now();
        found += !scan.ParetoArrive(q.From, q.To, q.Time + 120).empty();
        times.push_back(Milliseconds(Clock::now() - start));
    }
    Report("latest departure Pareto set", times, found);

    times.clear();
    found = 0;
    for (std::size_t i = 0; i < 200; ++i) {
        const auto &q = queries[i];
        const TQuery query{index.StationName(q.From), index.StationName(q.To), q.Time, false,
                           kDefaultConnectionCount};
        const auto start = Clock::now();
        found += !FindConnections(index, query).empty();
        times.push_back(Milliseconds(Clock::now() - start));
    }
    Report("5 connections, as the window asks", times, found);
    return 0;
}
