#include "core/util/string_grid.h"

#include <gtest/gtest.h>

using namespace takton;
using List = std::vector<std::string>;

TEST(SplitText, CutsAtEverySeparatorWithoutQuoting) {
    List list = {"vorher"};
    EXPECT_EQ(SplitText("08:00,,08:20", list, ','), 3);
    EXPECT_EQ(list, (List{"vorher", "08:00", "", "08:20"})) << "appends, never empties";

    list.clear();
    EXPECT_EQ(SplitText("08:00,08:20,", list, ','), 2);
    EXPECT_EQ(list, (List{"08:00", "08:20"}));
    list.clear();
    EXPECT_EQ(SplitText("", list, ','), 0);
    EXPECT_EQ(SplitText(",", list, ','), 1);
    EXPECT_EQ(SplitText("\"a,b\"", list, ','), 2);
    EXPECT_EQ(list, (List{"", "\"a", "b\""}));
}

TEST(ReverseList, ReversesEvenOddAndEmptyLists) {
    List even = {"A", "B", "C", "D"}, odd = {"A", "B", "C"}, empty;
    ReverseList(even);
    ReverseList(odd);
    ReverseList(empty);
    EXPECT_EQ(even, (List{"D", "C", "B", "A"}));
    EXPECT_EQ(odd, (List{"C", "B", "A"}));
    EXPECT_TRUE(empty.empty());
}

namespace {
// A grid whose cells read "c<col>r<row>".
TStringGrid NumberedGrid(int cols, int rows, int fixedCols, int fixedRows) {
    TStringGrid grid(cols, rows, fixedCols, fixedRows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            grid.SetCell(c, r, "c" + std::to_string(c) + "r" + std::to_string(r));
    return grid;
}
} // namespace

TEST(Grid, ClearKeepsFixedCellsAndCounts) {
    TStringGrid grid = NumberedGrid(4, 4, 2, 2);
    ClearGridCells(grid);
    EXPECT_EQ(grid.Cell(1, 3), "c1r3");
    EXPECT_EQ(grid.Cell(3, 1), "c3r1");
    EXPECT_EQ(grid.Cell(2, 2), "");
    EXPECT_EQ(grid.Cell(3, 3), "");
    EXPECT_EQ(grid.ColCount(), 4);
    EXPECT_EQ(grid.RowCount(), 4);
}

TEST(Grid, InsertRowAndColumnMoveWholeLinesHeadersIncluded) {
    // Work grid without fixed cells: row 0 moves down and stays empty
    TStringGrid work = NumberedGrid(3, 3, 0, 0);
    InsertGridRow(work, 0);
    EXPECT_EQ(work.RowCount(), 4);
    EXPECT_EQ(work.Cell(0, 0), "");
    EXPECT_EQ(work.Cell(2, 1), "c2r0");
    EXPECT_EQ(work.Cell(2, 3), "c2r2");

    // A header row numbering the columns moves with them
    TStringGrid grid = NumberedGrid(5, 3, 1, 1);
    InsertGridColumn(grid, 3);
    EXPECT_EQ(grid.ColCount(), 6);
    EXPECT_EQ(grid.Cell(3, 0), "");
    EXPECT_EQ(grid.Cell(3, 2), "");
    EXPECT_EQ(grid.Cell(4, 0), "c3r0");
    EXPECT_EQ(grid.Cell(5, 2), "c4r2");
    EXPECT_EQ(grid.Cell(2, 0), "c2r0");

    // A fixed column's cell of the inserted row is emptied too
    InsertGridRow(grid, 1);
    EXPECT_EQ(grid.Cell(0, 1), "");
    EXPECT_EQ(grid.Cell(0, 2), "c0r1");
}

TEST(Grid, DeletesForgetTextsAndNeverGoBelowOne) {
    TStringGrid grid = NumberedGrid(2, 5, 0, 0);
    DeleteGridRow(grid, 4);
    EXPECT_EQ(grid.RowCount(), 4);
    grid.SetRowCount(5);
    EXPECT_EQ(grid.Cell(0, 4), "") << "a shrink forgets the texts";

    DeleteGridRow(grid, 1);
    EXPECT_EQ(grid.Cell(1, 1), "c1r2");
    EXPECT_EQ(grid.Cell(1, 2), "c1r3");

    TStringGrid single = NumberedGrid(1, 2, 0, 0);
    DeleteGridColumn(single, 0);
    EXPECT_EQ(single.ColCount(), 1);
    EXPECT_EQ(single.Cell(0, 0), "");
    EXPECT_EQ(single.Cell(0, 1), "");

    TStringGrid three = NumberedGrid(3, 2, 1, 0);
    DeleteGridColumn(three, 1);
    EXPECT_EQ(three.ColCount(), 2);
    EXPECT_EQ(three.Cell(1, 1), "c2r1");
    EXPECT_EQ(three.Cell(2, 1), "") << "outside the grid";
}

TEST(Grid, CurrentCellAndSelectionStayInsideWhenTheGridShrinks) {
    TStringGrid grid(10, 10, 2, 2);
    grid.SetCurrent(9, 9);
    grid.SetSelection({9, 9, 5, 4});
    EXPECT_EQ(grid.Selection(), (TGridRect{5, 4, 9, 9}));
    DeleteGridRow(grid, 9);
    DeleteGridColumn(grid, 9);
    EXPECT_EQ(grid.Col(), 8);
    EXPECT_EQ(grid.Row(), 8);
    EXPECT_EQ(grid.Selection(), (TGridRect{5, 4, 8, 8}));

    // Fixed rows never take the last scrollable row
    TStringGrid timetable(4, 3, 2, 2);
    DeleteGridRow(timetable, 2);
    EXPECT_EQ(timetable.RowCount(), 2);
    EXPECT_EQ(timetable.FixedRows(), 1);
    EXPECT_EQ(timetable.Cell(99, -1), "");
}

TEST(Grid, MoveColumnCarriesTextsAndWidthAndClosesUp) {
    // GIVEN a numbered grid whose column 4 is wider than the rest
    TStringGrid grid = NumberedGrid(6, 3, 2, 1);
    grid.SetColWidth(4, 90);

    // WHEN column 4 moves to 2
    grid.MoveColumn(4, 2);
    // THEN it stands at 2 in every row, header included, and 2 and 3 moved right
    for (int r = 0; r < 3; ++r) {
        const std::string row = "r" + std::to_string(r);
        EXPECT_EQ(grid.Cell(2, r), "c4" + row);
        EXPECT_EQ(grid.Cell(3, r), "c2" + row);
        EXPECT_EQ(grid.Cell(4, r), "c3" + row);
        EXPECT_EQ(grid.Cell(5, r), "c5" + row);
    }
    EXPECT_EQ(grid.ColWidth(2), 90);
    EXPECT_EQ(grid.ColWidth(4), grid.DefaultColWidth);

    // WHEN it moves back to the right end, and a move leaves the grid
    grid.MoveColumn(2, 5);
    grid.MoveColumn(5, 6);
    grid.MoveColumn(-1, 3);
    EXPECT_EQ(grid.Cell(5, 1), "c4r1");
    EXPECT_EQ(grid.Cell(2, 1), "c2r1");
    EXPECT_EQ(grid.Cell(4, 1), "c5r1");
    EXPECT_EQ(grid.ColWidth(5), 90);
    EXPECT_EQ(grid.ColCount(), 6);
}

TEST(Grid, WidthsMoveWithTheirColumns) {
    // GIVEN a work grid whose station column is wide, the others narrow
    TStringGrid grid = NumberedGrid(4, 2, 0, 0);
    grid.DefaultColWidth = 32;
    grid.SetColWidth(0, 120);
    grid.SetColWidth(2, 50);

    // WHEN a column is put in before the station column, THEN the names keep
    // their width one column further right, the new column has the default
    InsertGridColumn(grid, 0);
    EXPECT_EQ(grid.Cell(1, 0), "c0r0");
    EXPECT_EQ(grid.ColWidth(0), 32);
    EXPECT_EQ(grid.ColWidth(1), 120);
    EXPECT_EQ(grid.ColWidth(3), 50);
    EXPECT_EQ(grid.ColWidth(4), 32);

    // WHEN it is deleted again, THEN the widths move back
    DeleteGridColumn(grid, 0);
    EXPECT_EQ(grid.Cell(0, 1), "c0r1");
    EXPECT_EQ(grid.ColWidth(0), 120);
    EXPECT_EQ(grid.ColWidth(2), 50);
    EXPECT_EQ(grid.ColWidth(3), 32);

    // WHEN the station column is deleted, THEN the next one keeps its own
    // width, and the column that comes back at the end starts at the default
    DeleteGridColumn(grid, 0);
    EXPECT_EQ(grid.ColWidth(0), 32);
    EXPECT_EQ(grid.ColWidth(1), 50);
    grid.SetColCount(4);
    EXPECT_EQ(grid.ColWidth(3), 32);

    // The only column, deleted, is empty and of the default width
    TStringGrid single = NumberedGrid(1, 1, 0, 0);
    single.SetColWidth(0, 99);
    DeleteGridColumn(single, 0);
    EXPECT_EQ(single.ColWidth(0), single.DefaultColWidth);
    EXPECT_EQ(single.Cell(0, 0), "");
}

TEST(Grid, DuplicatesRowsAndColumnsWithTheirWidth) {
    TStringGrid grid = NumberedGrid(3, 3, 0, 0);
    grid.SetColWidth(1, 77);
    DuplicateGridRow(grid, 0);
    ASSERT_EQ(grid.RowCount(), 4);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(grid.Cell(c, 0), "c" + std::to_string(c) + "r0");
        EXPECT_EQ(grid.Cell(c, 1), "c" + std::to_string(c) + "r0");
        EXPECT_EQ(grid.Cell(c, 3), "c" + std::to_string(c) + "r2");
    }

    DuplicateGridColumn(grid, 1);
    ASSERT_EQ(grid.ColCount(), 4);
    for (int r : {0, 2, 3}) {
        EXPECT_EQ(grid.Cell(1, r), grid.Cell(2, r));
        EXPECT_EQ(grid.Cell(3, r), "c2r" + std::to_string(r == 0 ? 0 : r - 1));
    }
    EXPECT_EQ(grid.ColWidth(1), 77);
    EXPECT_EQ(grid.ColWidth(2), 77);
    EXPECT_EQ(grid.ColWidth(3), grid.DefaultColWidth);

    // Outside the grid nothing happens
    DuplicateGridColumn(grid, 4);
    DuplicateGridRow(grid, -1);
    EXPECT_EQ(grid.ColCount(), 4);
    EXPECT_EQ(grid.RowCount(), 4);
}
