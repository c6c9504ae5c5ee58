#pragma once

// Choosing, among the tables of a pasted web page, the one that names the most
// stations of the timetable being edited, and laying it out. Shared by the web
// copy window and takton-cli.

#include "core/webcopy/html_table.h"

#include <string>
#include <string_view>
#include <vector>

namespace takton {

// Every table element of the page in source order, each from its "<table" to
// the end of its "</table>" (nesting not counted: an inner table's end ends it).
std::vector<std::string_view> CutTables(std::string_view page);

// For each table, how many of the names occur in its whole text (tags and
// attribute values included) as exact, case-sensitive substrings. Each name
// counts at most once per table, empty names never; a name given twice counts
// twice, as two rows of the timetable would.
std::vector<int> ScoreTables(const std::vector<std::string_view> &tables,
                             const std::vector<std::string> &names);

// One table of a page as the choice sees it.
struct TTableInfo {
    std::string_view Text; // a view into the page
    int Rows = 1;          // of its layout in a grid
    int Cols = 1;
    int Cells = 0;    // cells of its layout that the page holds (not padding)
    int Stations = 0; // its score
    int Times = 0;    // cells showing a time of day (IsTimeLikeHtmlCell)
};

// Every table of the page in CutTables' order, measured and scored in one
// walk over the page's tags and one pass of the names over its tables.
std::vector<TTableInfo> SurveyTables(std::string_view page, const std::vector<std::string> &names);

// The table to take: the highest score; among equal scores the most time-like
// cells (a names-only column beside the table of times names the same
// stations); among those the first. -1 unless the score is at least 1.
int ChooseSurveyed(const std::vector<TTableInfo> &tables);

struct TTableChoice {
    int Index = -1; // in CutTables' order; -1 when no table scores at least 1
    int Score = 0;
    int Times = 0;
    std::string_view Text; // the chosen table's text, a view into the page
};

// SurveyTables and ChooseSurveyed. Linear in the page's length plus the
// names' total length.
TTableChoice ChooseTable(std::string_view page, const std::vector<std::string> &names);

// Lays a table out as the planner takes it: HtmlTableToGrid, each cell as
// WebCellText (references decoded, blanks trimmed), then columns too narrow
// for one of their texts widened to it (measured by textWidth, if given).
void LayOutWebTable(std::string_view tableText, TStringGrid &grid, const TTextWidthFn &textWidth);

// What a pasted page offers and which of its tables was laid out.
struct TWebTablePage {
    std::vector<TTableInfo> Tables;
    int Chosen = -1; // the index of the table laid out, or -1: grid unchanged
};

// A page taken for a timetable: its tables are scored by the timetable's
// station names and by the heading above its station column ("Stationen"),
// which counts like a name. Lays out the chosen table, or table wanted (an
// index into Tables) when it is given and has cells.
TWebTablePage TakeWebTable(std::string_view page, std::string_view heading,
                           const std::vector<std::string> &stations, TStringGrid &grid,
                           const TTextWidthFn &textWidth, int wanted = -1);

// A table in a list to choose from, index being its place in the page's
// tables (from 0), shown numbered from 1:
// "Tabelle 4: 10 Zeilen, 66 Spalten, 10 Stationen, 640 Zeiten".
std::string TableListText(const TTableInfo &table, int index);

} // namespace takton
