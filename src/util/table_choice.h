#pragma once

// Choosing, among the tables of a pasted web page, the one that names the most
// stations of the timetable being edited. Shared by the web copy window and
// takton-cli.

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

struct TTableChoice {
    int Index = -1; // in CutTables' order; -1 when no table scores at least 1
    int Score = 0;
    std::string_view Text; // the chosen table's text, a view into the page
};

// The first table with the highest score, if that score is at least 1.
// Linear in the page's length plus the names' total length.
TTableChoice ChooseTable(std::string_view page, const std::vector<std::string> &names);

} // namespace takton
