#pragma once

// Reshaping the timetable grid by the planner's hand: a station row becomes an
// arrival and a departure row and back, and a block of texts lands at a cell.
// The current cell keeps standing on its text while rows come and go.

#include "core/util/string_grid.h"

#include <string>
#include <vector>

namespace takton {

// Rows of cell texts, each row from the block's left column on.
using TCellBlock = std::vector<std::vector<std::string>>;

// The block's width: its longest row.
int CellBlockWidth(const TCellBlock &block);

// Writes the block with its top-left text at (col, row), unchecked; texts
// beyond the grid's last row or column are dropped. Gives the block's width.
int PasteCellBlock(TStringGrid &grid, int col, int row, const TCellBlock &block);

// A new row with the same station goes in above the station row `row`, empty
// in every journey; both rows get the pair marker "-".
void SplitStationRow(TStringGrid &grid, int row);
// The row takes every text of the row below it (the other row of its pair).
void CopyRowFromBelow(TStringGrid &grid, int row);

// The row of a pair goes; its partner above (first) or below becomes "+".
// False, and nothing changes, when it is the timetable's only station row.
bool MergeStationRow(TStringGrid &grid, int row);

// Whether any journey cell of the row holds text.
bool StationRowHasEntries(const TStringGrid &grid, int row);

// The arrival/departure role of a row that is one of a pair: "an" for the
// upper row, "ab" for the lower one, empty for a station with one row. Only
// shown, never stored.
std::string PairRowRole(const TStringGrid &grid, int row);

} // namespace takton
