#include "core/model/timetable_rows.h"

#include "core/model/timetable_check.h"
#include "core/model/timetable_grid.h"

#include <algorithm>

namespace takton {

int CellBlockWidth(const TCellBlock &block) {
    std::size_t width = 0;
    for (const auto &cells : block)
        width = std::max(width, cells.size());
    return static_cast<int>(width);
}

int PasteCellBlock(TStringGrid &grid, int col, int row, const TCellBlock &block) {
    for (std::size_t i = 0; i < block.size(); ++i)
        for (std::size_t j = 0; j < block[i].size(); ++j)
            grid.SetCell(col + static_cast<int>(j), row + static_cast<int>(i), block[i][j]);
    return CellBlockWidth(block);
}

void SplitStationRow(TStringGrid &grid, int row) {
    const int cursorCol = grid.Col();
    const int cursorRow = grid.Row();
    InsertGridRow(grid, row);
    if (cursorRow >= row)
        grid.SetCurrent(cursorCol, cursorRow + 1);
    grid.SetCell(0, row, "-");
    grid.SetCell(0, row + 1, "-");
    grid.SetCell(1, row, grid.Cell(1, row + 1));
}

void CopyRowFromBelow(TStringGrid &grid, int row) {
    if (row + 1 < grid.RowCount())
        grid.RowCells(row) = grid.RowCells(row + 1);
}

bool MergeStationRow(TStringGrid &grid, int row) {
    const int lastRow = grid.RowCount() - 1;
    if (lastRow <= kFirstStationRow || row < kFirstStationRow || row > lastRow)
        return false;
    const std::string name = grid.Cell(1, row);
    if (row != kFirstStationRow && grid.Cell(1, row - 1) == name)
        grid.SetCell(0, row - 1, "+");
    else if (row != lastRow && grid.Cell(1, row + 1) == name)
        grid.SetCell(0, row + 1, "+");
    const int cursorCol = grid.Col();
    const int cursorRow = grid.Row();
    DeleteGridRow(grid, row);
    if (cursorRow > row)
        grid.SetCurrent(cursorCol, cursorRow - 1);
    else if (cursorRow == row)
        grid.SetCurrent(cursorCol, std::min(cursorRow, grid.RowCount() - 1));
    return true;
}

bool StationRowHasEntries(const TStringGrid &grid, int row) {
    for (int c = kFirstJourneyCol; c < grid.ColCount(); ++c)
        if (!TrimCellText(grid.Cell(c, row)).empty())
            return true;
    return false;
}

std::string PairRowRole(const TStringGrid &grid, int row) {
    if (row < kFirstStationRow || row >= grid.RowCount())
        return {};
    const std::string &name = grid.Cell(1, row);
    if (row + 1 < grid.RowCount() && grid.Cell(1, row + 1) == name)
        return "an";
    if (row > kFirstStationRow && grid.Cell(1, row - 1) == name)
        return "ab";
    return {};
}

} // namespace takton
