#pragma once

// Grids of cells as text: the tab-separated form that spreadsheets put on the
// clipboard, and the CSV form that takton-cli prints. Both quote alike: a
// cell in double quotes may hold separators and line ends, its own double
// quotes doubled.

#include "core/util/string_grid.h"

#include <string>
#include <string_view>
#include <vector>

namespace takton {

using TTextBlock = std::vector<std::vector<std::string>>;

// Cells split at tabs, rows at line ends ("\r" is dropped outside quotes); a
// cell that starts with a double quote runs to the next lone one. A last line
// end ends the last row, it adds none; an empty text gives no row.
TTextBlock ParseTabText(std::string_view text);

// A cell for tab-separated text: quoted when it holds a tab, a line end or a
// double quote.
std::string TabTextCell(std::string_view cell);

// The rectangle of the grid as tab-separated text, every row ended by "\n".
std::string GridBlockTabText(const TStringGrid &grid, const TGridRect &rect);

// RFC 4180: a field with a comma, a double quote or a line break is quoted.
std::string CsvField(std::string_view cell);
// The same appended to out, without a text of its own.
void AppendCsvField(std::string &out, std::string_view cell);

// The whole grid as CSV, every row ended by "\r\n".
std::string GridCsvText(const TStringGrid &grid);

} // namespace takton
