// The timetable editor's undo steps on its worst case: 100 station rows with
// all 510 journeys filled. Every action ends with a step taken against the
// grid as of the step before, so the diff of one entry is paid on each
// accepted cell; a sort moves every cell and is the largest step there is.

#include "core/model/timetable_check.h"
#include "core/model/timetable_edit.h"
#include "core/model/timetable_grid.h"

#include <benchmark/benchmark.h>

using namespace takton;

namespace {

TStringGrid FullTimetable() {
    TStringGrid grid;
    PrepareTimetableGrid(grid);
    grid.SetRowCount(kFirstStationRow + 100);
    for (int r = kFirstStationRow; r < grid.RowCount(); ++r) {
        grid.SetCell(1, r, "Station " + std::to_string(r));
        for (int c = kFirstJourneyCol; c < grid.ColCount(); ++c)
            grid.SetCell(c, r, FormatTime((5 + (c * 7) % 19) % 24, (c * 2 + r) % 60));
    }
    return grid;
}

// One accepted entry: the step holds one cell.
void BM_StepOfOneEntry(benchmark::State &state) {
    TStringGrid grid = FullTimetable();
    TGridRecorder recorder;
    recorder.Reset(grid);
    int minute = 0;
    for (auto _ : state) {
        grid.SetCell(300, 50, FormatTime(12, minute++ % 60));
        benchmark::DoNotOptimize(recorder.Take(grid, 300, 50));
    }
}
BENCHMARK(BM_StepOfOneEntry)->Unit(benchmark::kMillisecond);

// Sorting all journeys and taking the step, then undoing and redoing it.
void BM_SortStepUndoRedo(benchmark::State &state) {
    const TStringGrid full = FullTimetable();
    for (auto _ : state) {
        state.PauseTiming();
        TStringGrid grid = full;
        TGridRecorder recorder;
        recorder.Reset(grid);
        state.ResumeTiming();
        SortJourneysByDeparture(grid);
        const TGridStep step = recorder.Take(grid, kFirstJourneyCol, kFirstStationRow);
        recorder.Undo(step, grid);
        recorder.Redo(step, grid);
        benchmark::DoNotOptimize(step.Changes().size());
    }
}
BENCHMARK(BM_SortStepUndoRedo)->Unit(benchmark::kMillisecond);

// Inserting a journey at the front of a grid whose last journey is free.
void BM_InsertJourneyStep(benchmark::State &state) {
    TStringGrid grid = FullTimetable();
    DeleteJourney(grid, grid.ColCount() - 1);
    TGridRecorder recorder;
    recorder.Reset(grid);
    for (auto _ : state) {
        InsertJourney(grid, kFirstJourneyCol);
        const TGridStep step = recorder.Take(grid, kFirstJourneyCol, kFirstStationRow);
        recorder.Undo(step, grid);
    }
}
BENCHMARK(BM_InsertJourneyStep)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
