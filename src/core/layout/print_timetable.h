#pragma once

// A timetable section read for printing: its station rows with their
// arrival/departure role and its journey and interval columns, cp1252.

#include "core/model/prj_params.h"

#include <string>
#include <vector>

namespace takton::print {

struct TPrintRow {
    std::string Station;
    std::string Role; // "an", "ab" or empty for a station of one row
};

struct TPrintColumn {
    int IntervalMinutes = -1;       // an interval column: journeys every n minutes
    std::vector<std::string> Cells; // one per row, trimmed
    bool IsInterval() const { return IntervalMinutes >= 0; }
};

struct TPrintTimetable {
    std::string Line;
    int Direction = 1;
    std::string DayGroup;
    std::string DayGroupText;
    std::vector<TPrintRow> Rows;
    std::vector<TPrintColumn> Columns; // empty journeys left out
    std::string FirstStation() const { return Rows.empty() ? "" : Rows.front().Station; }
    std::string LastStation() const { return Rows.empty() ? "" : Rows.back().Station; }
};

// The section of the line's timetable file; a missing section gives the
// route's stations without journeys.
TPrintTimetable LoadPrintTimetable(const std::string &dir, const TPrjParams &params,
                                   const std::string &line, int direction,
                                   const std::string &dayGroup);
// Builds the timetable from stored row values ("station,cell,cell,...").
TPrintTimetable PrintTimetableFromRows(const std::vector<std::string> &rowValues);

// Every stored timetable of the line: day groups in project order, direction
// 1 before 2. Raises TaktonError when the line has none.
std::vector<TPrintTimetable> LoadLineTimetables(const std::string &dir, const TPrjParams &params,
                                                const std::string &line);

// "gültig vom 01.01.2027 bis 31.12.2027" (or "ab"/"bis" alone); empty when
// the project sets no validity period. cp1252.
std::string ValidityText(const TPrjParams &params);

// The text of an interval column: "alle 20 Min".
std::string IntervalText(int minutes);

// The day group's text, its name when it has none.
std::string DayGroupText(const TPrjParams &params, const std::string &dayGroup);

} // namespace takton::print
