#include "core/model/timetable_check.h"
#include "core/model/timetable_edit.h"
#include "core/model/timetable_grid.h"
#include "core/model/timetable_rows.h"

#include <gtest/gtest.h>

using namespace takton;
using Texts = std::vector<std::string>;

namespace {

// Stations A, B, C and six journey columns (2..7), numbered in row 0.
TStringGrid Timetable(const std::vector<Texts> &journeys) {
    TStringGrid grid(8, 5, 2, 2);
    const Texts names = {"A", "B", "C"};
    for (int i = 0; i < 3; ++i) {
        grid.SetCell(0, 2 + i, "+");
        grid.SetCell(1, 2 + i, names[static_cast<std::size_t>(i)]);
    }
    NumberJourneyColumns(grid);
    for (std::size_t j = 0; j < journeys.size(); ++j)
        for (std::size_t r = 0; r < journeys[j].size(); ++r)
            grid.SetCell(kFirstJourneyCol + static_cast<int>(j),
                         kFirstStationRow + static_cast<int>(r), journeys[j][r]);
    return grid;
}

// The journey columns from left to right, each as its station cells.
std::vector<Texts> Journeys(const TStringGrid &grid) {
    std::vector<Texts> journeys;
    for (int c = kFirstJourneyCol; c < grid.ColCount(); ++c) {
        journeys.emplace_back();
        for (int r = kFirstStationRow; r < grid.RowCount(); ++r)
            journeys.back().push_back(grid.Cell(c, r));
    }
    return journeys;
}

std::vector<Texts> AllCells(const TStringGrid &grid) {
    std::vector<Texts> rows;
    for (int r = 0; r < grid.RowCount(); ++r) {
        rows.emplace_back();
        for (int c = 0; c < grid.ColCount(); ++c)
            rows.back().push_back(grid.Cell(c, r));
    }
    return rows;
}

const Texts kEmpty = {"", "", ""};
const Texts kJ1 = {"08:00", "08:10", "08:20"};
const Texts kJ2 = {"09:00", "09:10", "09:20"};
const Texts kJ3 = {"10:00", "10:10", "10:20"};

} // namespace

TEST(TimetableEdit, InsertDeleteAndDuplicateShiftTheLaterJourneys) {
    TStringGrid grid = Timetable({kJ1, kJ2, kJ3});
    const Texts header = AllCells(grid)[0];

    ASSERT_TRUE(InsertJourney(grid, 3));
    EXPECT_EQ(Journeys(grid), (std::vector<Texts>{kJ1, kEmpty, kJ2, kJ3, kEmpty, kEmpty}));
    EXPECT_EQ(AllCells(grid)[0], header) << "the header numbers the places, not the journeys";
    EXPECT_EQ(grid.Cell(1, 2), "A");

    DeleteJourney(grid, 2);
    EXPECT_EQ(Journeys(grid), (std::vector<Texts>{kEmpty, kJ2, kJ3, kEmpty, kEmpty, kEmpty}));

    ASSERT_TRUE(DuplicateJourney(grid, 3));
    EXPECT_EQ(Journeys(grid), (std::vector<Texts>{kEmpty, kJ2, kJ2, kJ3, kEmpty, kEmpty}));

    // The last journey would fall off the grid: nothing happens.
    grid.SetCell(7, 3, "23:00");
    const std::vector<Texts> full = AllCells(grid);
    EXPECT_FALSE(InsertJourney(grid, 2));
    EXPECT_FALSE(DuplicateJourney(grid, 2));
    EXPECT_EQ(AllCells(grid), full);
    // Deleting the last journey empties it; a duplicate of it has no place.
    EXPECT_FALSE(DuplicateJourney(grid, 7));
    DeleteJourney(grid, 7);
    EXPECT_TRUE(JourneyIsEmpty(grid, 7));
    EXPECT_FALSE(InsertJourney(grid, 1)) << "the station column is no journey";
}

TEST(TimetableEdit, SortKeepsIntervalsWithTheirJourneyAndEmptyOnesAtTheEnd) {
    const Texts interval = {"", "20 Min", "20 Min"};
    const Texts early = {"", "06:05", "06:15"}; // its first time is in row B
    const Texts textOnly = {"x", "", ""};
    const Texts alsoEight = {"08:00", "08:12", ""};
    // 08:00, interval, 09:00 form a run; an empty journey, text, an early
    // journey and a second 08:00 were added after it.
    TStringGrid grid = Timetable({kJ1, interval, kJ2, textOnly, early, alsoEight});
    grid.SetColCount(10);
    grid.SetCell(8, 4, " ");     // blanks only: empty
    grid.SetCell(9, 2, "07:00"); // after the blank one
    ASSERT_TRUE(SortJourneysByDeparture(grid));
    const Texts seven = {"07:00", "", ""};
    EXPECT_EQ(
        Journeys(grid),
        (std::vector<Texts>{early, seven, kJ1, interval, alsoEight, kJ2, textOnly, {"", "", " "}}));
    EXPECT_FALSE(SortJourneysByDeparture(grid)) << "sorted already";

    // Intervals before every journey stay in front.
    TStringGrid leading = Timetable({interval, kJ2, kEmpty, kJ1});
    ASSERT_TRUE(SortJourneysByDeparture(leading));
    EXPECT_EQ(Journeys(leading), (std::vector<Texts>{interval, kJ1, kJ2, kEmpty, kEmpty, kEmpty}));
}

TEST(TimetableEdit, EmptyingABlockSparesTheFixedCells) {
    TStringGrid grid = Timetable({kJ1, kJ2, kJ3});
    EmptyCellBlock(grid, {0, 0, 3, 3});
    EXPECT_EQ(Journeys(grid)[0], (Texts{"", "", "08:20"}));
    EXPECT_EQ(Journeys(grid)[1], (Texts{"", "", "09:20"}));
    EXPECT_EQ(Journeys(grid)[2], kJ3);
    EXPECT_EQ(grid.Cell(1, 2), "A");
    EXPECT_EQ(grid.Cell(2, 0), "1");
    EmptyCellBlock(grid, {4, 4, 40, 40}); // beyond the grid: clipped
    EXPECT_EQ(Journeys(grid)[2], (Texts{"10:00", "10:10", ""}));
}

TEST(TimetableEdit, StepsUndoAndRedoEveryKindOfChange) {
    TStringGrid grid = Timetable({kJ1, kJ2});
    TGridRecorder recorder;
    recorder.Reset(grid);
    std::vector<std::vector<Texts>> states = {AllCells(grid)};
    std::vector<TGridStep> steps;
    auto take = [&](int col, int row) {
        steps.push_back(recorder.Take(grid, col, row));
        states.push_back(AllCells(grid));
    };

    grid.SetCell(4, 2, "11:00"); // an entry
    take(4, 2);
    ASSERT_EQ(steps.back().Changes().size(), 1u);
    EXPECT_EQ(steps.back().FocusCol, 4);
    SplitStationRow(grid, 3); // a row more
    CopyRowFromBelow(grid, 3);
    take(0, 3);
    EXPECT_EQ(steps.back().RowsAfter(), steps.back().RowsBefore() + 1);
    EXPECT_EQ(steps.back().FocusCol, kFirstJourneyCol) << "focus kept on journey cells";
    ASSERT_TRUE(InsertJourney(grid, 2));
    take(2, 2);
    SortJourneysByDeparture(grid);
    take(2, 2);
    ASSERT_TRUE(MergeStationRow(grid, 4)); // a row less
    take(2, 4);
    EXPECT_TRUE(recorder.Take(grid, 2, 2).Empty()) << "nothing changed since";

    // All the way back and forth again.
    for (std::size_t i = steps.size(); i-- > 0;) {
        recorder.Undo(steps[i], grid);
        EXPECT_EQ(AllCells(grid), states[i]) << "undo of step " << i;
    }
    for (std::size_t i = 0; i < steps.size(); ++i) {
        recorder.Redo(steps[i], grid);
        EXPECT_EQ(AllCells(grid), states[i + 1]) << "redo of step " << i;
    }

    // Undone twice, then a new change: the step holds the new change only, and
    // undoing it returns to the state the undos left.
    recorder.Undo(steps[4], grid);
    recorder.Undo(steps[3], grid);
    grid.SetCell(6, 2, "12:00");
    const TGridStep fresh = recorder.Take(grid, 6, 2);
    ASSERT_EQ(fresh.Changes().size(), 1u);
    EXPECT_EQ(fresh.Changes()[0].After, "12:00");
    recorder.Undo(fresh, grid);
    EXPECT_EQ(AllCells(grid), states[3]);
}

TEST(TimetableEdit, AFullTimetableStepsBackAndForthExactly) {
    // 100 station rows, every journey of 510 filled: a sort moves every cell.
    TStringGrid grid(kTimetableColumns, kFirstStationRow + 100, 2, 2);
    for (int r = kFirstStationRow; r < grid.RowCount(); ++r) {
        grid.SetCell(1, r, "S" + std::to_string(r));
        for (int c = kFirstJourneyCol; c < grid.ColCount(); ++c)
            grid.SetCell(c, r, FormatTime((c * 7) % 24, (c + r) % 60));
    }
    const std::vector<Texts> before = AllCells(grid);
    TGridRecorder recorder;
    recorder.Reset(grid);
    ASSERT_TRUE(SortJourneysByDeparture(grid));
    const std::vector<Texts> sorted = AllCells(grid);
    const TGridStep step = recorder.Take(grid, 2, 2);
    recorder.Undo(step, grid);
    EXPECT_EQ(AllCells(grid), before);
    recorder.Redo(step, grid);
    EXPECT_EQ(AllCells(grid), sorted);
}
