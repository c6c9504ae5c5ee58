#include "core/model/timetable_grid.h"

#include <gtest/gtest.h>

using namespace takton;
using Rows = std::vector<std::string>;

namespace {
TStringGrid Prepared() {
    TStringGrid grid;
    PrepareTimetableGrid(grid);
    return grid;
}
Rows Column(const TStringGrid &grid, int col) {
    Rows cells;
    for (int r = kFirstStationRow; r < grid.RowCount(); ++r)
        cells.push_back(grid.Cell(col, r));
    return cells;
}
} // namespace

TEST(TimetableGrid, PreparesHeadersAndWidths) {
    const TStringGrid grid = Prepared();
    EXPECT_EQ(grid.ColCount(), 512);
    EXPECT_EQ(grid.FixedRows(), 2);
    EXPECT_EQ(grid.FixedCols(), 2);
    EXPECT_EQ(grid.Cell(1, 1), "Stationen");
    EXPECT_EQ(grid.Cell(2, 0), "1");
    EXPECT_EQ(grid.Cell(511, 0), "510");
    EXPECT_EQ(grid.Cell(1, 0), "");
    EXPECT_EQ(grid.ColWidth(0), 20);
    EXPECT_EQ(grid.ColWidth(1), 140);
    EXPECT_EQ(grid.ColWidth(5), 48);
}

TEST(TimetableGrid, LoadsRowsUpToTheFirstEmptyOneAndMarksPairs) {
    TStringGrid grid = Prepared();
    grid.SetCell(7, 4, "alt");
    std::string full = "Z";
    for (int j = 0; j < 520; ++j)
        full += ",08:00";
    LoadTimetableRows(grid, {"A,05:10,,06:10", "B,05:15", "B,05:16", full, "", "nie"});
    EXPECT_EQ(grid.RowCount(), 6);
    EXPECT_EQ(Column(grid, 1), (Rows{"A", "B", "B", "Z"}));
    EXPECT_EQ(grid.Cell(2, 2), "05:10");
    EXPECT_EQ(grid.Cell(3, 2), "");
    EXPECT_EQ(grid.Cell(4, 2), "06:10");
    EXPECT_EQ(grid.Cell(7, 4), "") << "earlier cells are cleared";
    EXPECT_EQ(grid.Cell(511, 5), "08:00") << "a full row is read whole";
    SetPairMarkers(grid);
    EXPECT_EQ(Column(grid, 0), (Rows{"+", "-", "-", "+"}));

    LoadTimetableRows(grid, {});
    EXPECT_EQ(grid.RowCount(), 3) << "one station row into which nothing is read";
    EXPECT_EQ(grid.Cell(1, 2), "");
}

TEST(TimetableGrid, BuildsNewTimetablesInRouteOrderAndPairsAtTheTop) {
    TStringGrid grid = Prepared();
    BuildNewTimetable(grid, {"A", "B", "C"}, 2);
    EXPECT_EQ(Column(grid, 1), (Rows{"C", "B", "A"}));
    BuildNewTimetable(grid, {"A", "A", "b", "B"}, 1);
    SetPairMarkers(grid);
    EXPECT_EQ(Column(grid, 0), (Rows{"-", "-", "+", "+"})) << "names compare exactly";
}

TEST(TimetableGrid, BuildsRowTextsCutAfterTheLastFilledCell) {
    TStringGrid grid = Prepared();
    BuildNewTimetable(grid, {" A ", "B", ""}, 1);
    grid.SetCell(2, 2, " 05:10\t");
    grid.SetCell(4, 2, "06:10");
    grid.SetCell(6, 2, "  ");
    const Rows rows = TimetableRowTexts(grid);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], "A,05:10,,06:10");
    EXPECT_EQ(rows[1], "B");
    EXPECT_EQ(rows[2], std::string(510, ',')) << "an empty row is written uncut";

    // A pasted cell with a comma must not shift the journeys after it
    grid.SetCell(3, 3, "08:00,08:05");
    grid.SetCell(4, 3, "08:10");
    EXPECT_EQ(TimetableRowText(grid, 3), "B,,08:00 08:05,08:10");
    // ... nor a line break end the row's line in the file
    grid.SetCell(3, 3, "ab\r\n08:00\tx");
    EXPECT_EQ(TimetableRowText(grid, 3), "B,,ab  08:00 x,08:10");

    // Moving journeys renumbers the header
    grid.SetCell(2, 0, "5");
    NumberJourneyColumns(grid);
    EXPECT_EQ(grid.Cell(2, 0), "1");
}
