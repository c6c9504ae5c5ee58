// Opening and saving a large timetable, and checking one entry in it: 100
// station rows with all 510 journeys filled, the timetable editor's worst case.
// Opening reads the file and fills the grid; saving builds the row texts and
// rewrites the file crash-safe; the check is a time typed into the last row of
// the last journey.

#include "core/model/timetable_check.h"
#include "core/model/timetable_file.h"
#include "core/model/timetable_grid.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <unistd.h>

using namespace takton;

namespace {

constexpr int kRows = 100;
constexpr const char *kSection = "1_Mo-Fr";

class NoQuestions : public IQuestioner {
  public:
    bool AskYesNo(const std::string &) override { return false; }
};

struct Fixture {
    Fixture() {
        std::string pattern = std::filesystem::temp_directory_path() / "takton-bench-XXXXXX";
        dir = ::mkdtemp(pattern.data());
        TTimetableRows rows;
        for (int r = 0; r < kRows; ++r) {
            std::string row = "Station " + std::to_string(r);
            for (int j = 0; j < 510; ++j)
                row += "," + FormatTime((5 + j / 30 + r / 60) % 24, (j * 2 + r) % 60);
            rows.push_back(std::move(row));
        }
        TTimetableFile file(TimetablePath(dir, "1"));
        file.WriteRows(kSection, rows);
        file.WriteRows("2_Mo-Fr", rows);
        file.Save();
        PrepareTimetableGrid(grid);
    }
    ~Fixture() { std::filesystem::remove_all(dir); }

    void Open() {
        const TTimetableFile file(TimetablePath(dir, "1"));
        LoadTimetableRows(grid, file.ReadRows(kSection));
        SetPairMarkers(grid);
    }
    void Save() {
        TTimetableFile file(TimetablePath(dir, "1"));
        file.WriteRows(kSection, TimetableRowTexts(grid));
        file.Save();
    }

    std::string dir;
    TStringGrid grid;
};

void BM_OpenTimetable(benchmark::State &state) {
    Fixture f;
    for (auto _ : state)
        f.Open();
}
BENCHMARK(BM_OpenTimetable)->Unit(benchmark::kMillisecond);

void BM_SaveTimetable(benchmark::State &state) {
    Fixture f;
    f.Open();
    for (auto _ : state)
        f.Save();
}
BENCHMARK(BM_SaveTimetable)->Unit(benchmark::kMillisecond);

void BM_CheckLastCell(benchmark::State &state) {
    Fixture f;
    f.Open();
    TTimetableEditState edit;
    NoQuestions questions;
    const int col = f.grid.ColCount() - 1;
    const int row = f.grid.RowCount() - 1;
    for (auto _ : state) {
        f.grid.SetCell(col, row, "+1");
        benchmark::DoNotOptimize(CheckCell(f.grid, col, row, edit, questions, 1439));
    }
}
BENCHMARK(BM_CheckLastCell)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
