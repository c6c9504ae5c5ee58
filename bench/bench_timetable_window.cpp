// The timetable window with the real grid, on the worst case of 100 station
// rows and all 510 journeys filled: "Fahrplan editieren" (reading the file,
// filling the grid, showing it and painting the visible cells), "Änderungen
// speichern" (checking the current cell, writing the section, back to the
// choice state) and leaving a cell typed in the last row and last journey (the
// check as the cursor moves on). Runs on the offscreen platform.

#include "app/app_windows.h"
#include "core/files/file_io.h"
#include "core/model/prj_params.h"
#include "core/model/timetable_check.h"
#include "core/model/timetable_file.h"
#include "gui/common/current_project.h"
#include "gui/common/string_grid_view.h"
#include "gui/timetable/edit_timetable.h"
#include "support/controls.h"
#include "support/dialogs_double.h"

#include <QApplication>
#include <QPushButton>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <unistd.h>

using namespace takton;
using namespace takton::gui;
using takton::testing::Control;

namespace {

constexpr int kRows = 100;

std::string MakeProject() {
    std::string pattern = std::filesystem::temp_directory_path() / "takton-bench-XXXXXX";
    const std::string dir = ::mkdtemp(pattern.data());
    std::string stations;
    std::string route = "1=";
    std::string index;
    TTimetableRows rows;
    for (int r = 0; r < kRows; ++r) {
        const std::string name = "Station " + std::to_string(r);
        stations += name + "\r\n";
        route += (r ? "," : "") + name;
        index += name + "=1\r\n";
        std::string row = name;
        for (int j = 0; j < 510; ++j)
            row += "," + FormatTime((5 + j / 30 + r / 60) % 24, (j * 2 + r) % 60);
        rows.push_back(std::move(row));
    }
    WriteWholeFile(ProjectPath(dir, "lines.csv"), "1\r\n");
    WriteWholeFile(ProjectPath(dir, "stations.csv"), stations);
    WriteWholeFile(ProjectPath(dir, "line_stations.csv"), route + "\r\n");
    WriteWholeFile(ProjectPath(dir, "station_lines.csv"), index);
    TTimetableFile file(TimetablePath(dir, "1"));
    file.WriteRows("1_Mo-Fr", rows);
    file.WriteRows("2_Mo-Fr", rows);
    file.Save();
    return dir;
}

struct Window {
    Window() {
        OpenProject().ProjectDir = MakeProject();
        OpenProject().PrjParams = TPrjParams{};
        OpenProject().PrjParams.MaxDriveMinutes = 1439;
        OpenProject().PrjParams.DayGroups.push_back({"Mo-Fr", "Montag bis Freitag", 0b11111});
        CreateWindows();
        fmEditTimeTable->show();
        QApplication::processEvents();
    }
    ~Window() {
        DestroyWindows();
        std::filesystem::remove_all(OpenProject().ProjectDir);
        OpenProject().ProjectDir.clear();
    }
    void Open() {
        Control<QPushButton>(fmEditTimeTable, "btTimeTableEdit")->click();
        Control<TStringGridView>(fmEditTimeTable, "sgTimeTable")->viewport()->repaint();
    }
    void Save() { Control<QPushButton>(fmEditTimeTable, "btSave")->click(); }

    DialogsDouble dialogs;
};

void BM_WindowOpenTimetable(benchmark::State &state) {
    Window w;
    for (auto _ : state) {
        w.Open();
        state.PauseTiming();
        Control<QPushButton>(fmEditTimeTable, "btCancel")->click();
        state.ResumeTiming();
    }
    if (!Control<QPushButton>(fmEditTimeTable, "btClose")->isVisible() ||
        Control<TStringGridView>(fmEditTimeTable, "sgTimeTable")->Grid().RowCount() != kRows + 2)
        state.SkipWithError("timetable not opened");
}
BENCHMARK(BM_WindowOpenTimetable)->Unit(benchmark::kMillisecond);

void BM_WindowSaveTimetable(benchmark::State &state) {
    Window w;
    for (auto _ : state) {
        state.PauseTiming();
        w.Open();
        fmEditTimeTable->EditOn();
        state.ResumeTiming();
        w.Save();
    }
    if (!Control<QPushButton>(fmEditTimeTable, "btClose")->isVisible())
        state.SkipWithError("timetable not saved");
}
BENCHMARK(BM_WindowSaveTimetable)->Unit(benchmark::kMillisecond);

void BM_WindowCheckLastCell(benchmark::State &state) {
    Window w;
    w.Open();
    TStringGridView &grid = *Control<TStringGridView>(fmEditTimeTable, "sgTimeTable");
    const int col = grid.Grid().ColCount() - 1;
    const int row = grid.Grid().RowCount() - 1;
    for (auto _ : state) {
        state.PauseTiming();
        fmEditTimeTable->EditState.SavedTextTaken = false;
        grid.MoveTo(col, row);
        grid.SetCell(col, row, "+1");
        state.ResumeTiming();
        grid.MoveTo(col - 1, row);
    }
    if (grid.Col() != col - 1)
        state.SkipWithError("entry refused");
}
BENCHMARK(BM_WindowCheckLastCell)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
