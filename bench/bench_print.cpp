// The printed documents at their largest: the timetable table of a line with
// 100 station rows and 510 journeys, and the departure poster of the busiest
// station of the large project, each read, laid out and written as a PDF.
// Goal: under a second each.

#include "core/files/file_io.h"
#include "core/model/prj_load.h"
#include "core/model/prj_params.h"
#include "core/model/station_lines_index.h"
#include "large_project.h"
#include "render/print/print_files.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>

using namespace takton;
using namespace takton::bench;

namespace {
// The parameters a case loads and saves (each case runs in a process of its own).
takton::TPrjParams PrjParams;
} // namespace

namespace {

// 100 rows (every fifth station an arrival/departure pair), 510 journeys
// every 2 minutes from 04:00, with an interval column now and then.
std::vector<std::string> BigTimetableRows() {
    std::vector<std::string> rows;
    for (int r = 0; r < 100; ++r) {
        std::string row = "Station " + std::to_string(r / 2 * 2 == r ? r : r - (r % 5 == 1));
        for (int j = 0; j < 510; ++j) {
            if (j % 50 == 49) {
                row += ",10 Min";
                continue;
            }
            const int t = (4 * 60 + j * 2 + r) % 1440;
            char cell[8];
            std::snprintf(cell, sizeof cell, ",%02d:%02d", t / 60, t % 60);
            row += cell;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string OutFile(const char *name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

void BM_TimetableTable100x510(benchmark::State &state) {
    print::TOffscreenGui gui;
    const auto rows = BigTimetableRows();
    const std::string out = OutFile("takton-bench-table.pdf");
    for (auto _ : state) {
        print::TPrintTimetable table = print::PrintTimetableFromRows(rows);
        table.Line = "100";
        table.DayGroup = "Mo-Fr";
        print::WriteTimetablePdf(out, {table}, "");
    }
    std::filesystem::remove(out);
}
BENCHMARK(BM_TimetableTable100x510)->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_PosterOfBusiestStation(benchmark::State &state) {
    print::TOffscreenGui gui;
    LargeProject &project = Project();
    LoadProjectFile(project.ProjectFile(), PrjParams);
    // The busiest station: the one on the most lines.
    const TStationLinesIndex index = TStationLinesIndex::Load(project.Dir());
    std::string busiest;
    std::size_t most = 0;
    for (int s = 0; s < kStations; ++s)
        if (const std::size_t lines = index.LinesOf(StationName(s)).size(); lines > most) {
            most = lines;
            busiest = StationName(s);
        }
    for (int h = 0; h < kHubs; ++h)
        if (const std::size_t lines = index.LinesOf(HubName(h)).size(); lines > most) {
            most = lines;
            busiest = HubName(h);
        }
    const std::string out = OutFile("takton-bench-poster.pdf");
    std::size_t blocks = 0;
    for (auto _ : state) {
        const print::TPoster poster = print::BuildPoster(project.Dir(), PrjParams, busiest);
        blocks = poster.Blocks.size();
        print::WritePosterPdf(out, poster, "");
    }
    state.SetLabel(busiest + ", " + std::to_string(most) + " Linien");
    state.counters["blocks"] = static_cast<double>(blocks);
    std::filesystem::remove(out);
}
BENCHMARK(BM_PosterOfBusiestStation)->Unit(benchmark::kMillisecond)->MinTime(2);

} // namespace

BENCHMARK_MAIN();
