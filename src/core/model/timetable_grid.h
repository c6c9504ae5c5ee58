#pragma once

// The timetable grid: two header rows, the pair-marker column, the station
// column and one column per journey. Loading rows into it and building the row
// texts that the timetable file stores.

#include "core/model/timetable_file.h"
#include "core/util/string_grid.h"

#include <string>
#include <vector>

namespace takton {

inline constexpr int kTimetableColumns = 512;
inline constexpr int kTimetableFixedRows = 2;
inline constexpr int kTimetableFixedCols = 2;
inline constexpr int kFirstStationRow = 2;
inline constexpr int kFirstJourneyCol = 2;
// The second header row carries each journey's marks (its footnote, whether
// it is a night journey of the previous day), so that they move with it.
inline constexpr int kJourneyMarksRow = 1;
// Above the station column, in the second header row; the web copy window
// counts it among the names a page's table is scored by.
inline constexpr const char *kStationsHeading = "Stationen";

// A grid of 512 columns with its headers: "Stationen" above the station
// column, journey numbers 1..510 in row 0, columns 20 and 140 pixels wide.
void PrepareTimetableGrid(TStringGrid &grid);

// Fills the station rows from stored row values, in order, up to the first
// empty one; at least one station row remains. Journey cells are cleared first.
void LoadTimetableRows(TStringGrid &grid, const std::vector<std::string> &rowValues);

// A new timetable: one row per station, reversed for direction 2.
void BuildNewTimetable(TStringGrid &grid, const std::vector<std::string> &stations, int direction);

// "-" for each row of a station with two consecutive rows, else "+".
void SetPairMarkers(TStringGrid &grid);

// A text as one cell of a row value: the row format has no quoting and one
// line per row, so commas, tabs and line ends inside it become blanks.
std::string TimetableCellText(std::string text);

// The stored text of a station row: trimmed cells from the station column on,
// joined by ",", cut after the last non-empty cell (an all-empty row is not cut).
// Each cell goes through TimetableCellText, so that it stays one item.
std::string TimetableRowText(const TStringGrid &grid, int row);
// The row texts of every station row, top to bottom.
std::vector<std::string> TimetableRowTexts(const TStringGrid &grid);

// A journey's marks as the cell of the marks row holds them: the footnote's
// symbol, then "|N" for a night journey of the previous day.
std::string JourneyMarksCellText(const TJourneyMarks &marks);
TJourneyMarks JourneyMarksOfCell(std::string_view text);
// The marks row read into the list the timetable file stores, and back.
TJourneyMarkList JourneyMarksOfGrid(const TStringGrid &grid);
void PutJourneyMarks(TStringGrid &grid, const TJourneyMarkList &marks);

// Header row 0 numbers the journeys 1, 2, 3, ... again (after a column move).
void NumberJourneyColumns(TStringGrid &grid);

} // namespace takton
