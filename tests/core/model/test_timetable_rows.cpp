#include "core/model/timetable_grid.h"
#include "core/model/timetable_rows.h"

#include <gtest/gtest.h>

using namespace takton;
using Texts = std::vector<std::string>;

namespace {

// Stations A, B, C with times in journeys 1 and 2.
TStringGrid Timetable() {
    TStringGrid grid(6, 5, 2, 2);
    const Texts names = {"A", "B", "C"};
    for (int i = 0; i < 3; ++i) {
        grid.SetCell(0, 2 + i, "+");
        grid.SetCell(1, 2 + i, names[static_cast<std::size_t>(i)]);
        grid.SetCell(2, 2 + i, "08:0" + std::to_string(i));
        grid.SetCell(3, 2 + i, "09:0" + std::to_string(i));
    }
    return grid;
}

Texts Column(const TStringGrid &grid, int col) {
    Texts cells;
    for (int r = kFirstStationRow; r < grid.RowCount(); ++r)
        cells.push_back(grid.Cell(col, r));
    return cells;
}

} // namespace

TEST(TimetableRows, SplitAndMergeKeepTheCursorOnItsText) {
    TStringGrid grid = Timetable();
    grid.SetCurrent(3, 4); // C in journey 2
    SplitStationRow(grid, 3);
    EXPECT_EQ(Column(grid, 0), (Texts{"+", "-", "-", "+"}));
    EXPECT_EQ(Column(grid, 1), (Texts{"A", "B", "B", "C"}));
    EXPECT_EQ(Column(grid, 2), (Texts{"08:00", "", "08:01", "08:02"}));
    EXPECT_EQ(grid.Row(), 5);
    EXPECT_EQ(grid.Cell(grid.Col(), grid.Row()), "09:02");
    EXPECT_EQ(PairRowRole(grid, 3), "an");
    EXPECT_EQ(PairRowRole(grid, 4), "ab");
    EXPECT_EQ(PairRowRole(grid, 2), "");
    EXPECT_FALSE(StationRowHasEntries(grid, 3));
    CopyRowFromBelow(grid, 3);
    EXPECT_EQ(Column(grid, 3), (Texts{"09:00", "09:01", "09:01", "09:02"}));
    EXPECT_TRUE(StationRowHasEntries(grid, 3));

    // Merging the lower row: the upper one becomes "+"; the cursor below moves up.
    ASSERT_TRUE(MergeStationRow(grid, 4));
    EXPECT_EQ(Column(grid, 0), (Texts{"+", "+", "+"}));
    EXPECT_EQ(grid.Cell(grid.Col(), grid.Row()), "09:02");

    // A pair in the first two rows, the upper row merged: its partner below
    // becomes "+"; a cursor on the merged row stays in that row index.
    SplitStationRow(grid, 2);
    grid.SetCurrent(2, 2);
    ASSERT_TRUE(MergeStationRow(grid, 2));
    EXPECT_EQ(Column(grid, 1), (Texts{"A", "B", "C"}));
    EXPECT_EQ(Column(grid, 0), (Texts{"+", "+", "+"}));
    EXPECT_EQ(grid.Row(), 2);

    // A merge at the last row with the cursor on it keeps the cursor inside.
    SplitStationRow(grid, 4);
    grid.SetCurrent(2, 5);
    ASSERT_TRUE(MergeStationRow(grid, 5));
    EXPECT_EQ(grid.Row(), 4);
    EXPECT_EQ(Column(grid, 0), (Texts{"+", "+", "+"}));

    // The only station row stays.
    TStringGrid single(4, 3, 2, 2);
    single.SetCell(1, 2, "A");
    EXPECT_FALSE(MergeStationRow(single, 2));
    EXPECT_EQ(single.RowCount(), 3);
}

TEST(TimetableRows, PastesABlockAndDropsWhatFallsOutside) {
    TStringGrid grid = Timetable();
    const TCellBlock block = {{"a", "b", "c"}, {"d"}, {"e", "f"}, {"g"}};
    EXPECT_EQ(CellBlockWidth(block), 3);
    // From journey 3 (column 4) only two columns fit, from row 3 only two rows.
    EXPECT_EQ(PasteCellBlock(grid, 4, 3, block), 3);
    EXPECT_EQ(Column(grid, 4), (Texts{"", "a", "d"}));
    EXPECT_EQ(Column(grid, 5), (Texts{"", "b", ""}));
    EXPECT_EQ(grid.ColCount(), 6);
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(CellBlockWidth({}), 0);
    EXPECT_EQ(PasteCellBlock(grid, 2, 2, {}), 0);
    EXPECT_EQ(grid.Cell(2, 2), "08:00");
}
