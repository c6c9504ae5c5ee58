#pragma once

// A timetable section read for printing: its station rows with their
// arrival/departure role, its journey and interval columns with the marks
// they carry (footnote, night journey of the previous day) and the legend
// that explains the marks, cp1252.

#include "core/model/footnotes.h"
#include "core/model/prj_params.h"
#include "core/model/timetable_file.h"

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
    int Journey = 0;                // its number in the timetable file, from 1
    std::string Footnote;           // the symbol of its footnote; empty: none
    bool Night = false;             // a night journey of the previous operating day
    bool IsInterval() const { return IntervalMinutes >= 0; }
};

// One line of a legend: a mark and what it means.
struct TLegendLine {
    std::string Mark;
    std::string Text;
    bool operator==(const TLegendLine &) const = default;
};

struct TPrintTimetable {
    std::string Line;
    int Direction = 1;
    std::string DayGroup;
    std::string DayGroupText;
    std::vector<TPrintRow> Rows;
    std::vector<TPrintColumn> Columns; // empty journeys left out, night journeys last
    std::string NightMark = "N";       // marks the night journeys
    // Every mark the columns carry, in the project's order of footnotes, the
    // night journeys' line last.
    std::vector<TLegendLine> Legend;
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
// Gives the columns the marks of their journeys (an interval column those of
// the journey it repeats), moves the night journeys of the previous day
// after the day's last journeys, where they run, and fills the legend.
void ApplyJourneyMarks(TPrintTimetable &table, const TJourneyMarkList &marks,
                       const TFootnoteList &footnotes);

// The mark of night journeys: "N", with a "*" added while a footnote has
// taken it.
std::string NightMarkOf(const TFootnoteList &footnotes);
// A footnote in the legend: its text, its rule in words when it has none.
std::string FootnoteLegendText(const TFootnote &footnote);
// "fährt nach Mitternacht, in der Nacht zum folgenden Tag" (cp1252).
std::string NightLegendText();
// What is printed above the column: its footnote's symbol and the night
// mark, a blank between; empty for a column without marks.
std::string ColumnMarkText(const TPrintTimetable &table, const TPrintColumn &column);
// The legend lines of the marks that columns [first, first + count) carry.
std::vector<TLegendLine> LegendOfColumns(const TPrintTimetable &table, int first, int count);

// Every stored timetable of the line: day groups in project order, direction
// 1 before 2. Raises TaktonError when the line has none.
std::vector<TPrintTimetable> LoadLineTimetables(const std::string &dir, const TPrjParams &params,
                                                const std::string &line);

// "gültig vom 01.01.2027 bis 31.12.2027" (or "ab"/"bis" alone); empty when
// the project sets no validity period. cp1252.
std::string ValidityText(const TPrjParams &params);

// The text of an interval column: "alle 20 Min".
std::string IntervalText(int minutes);

// The day group's text, its name when it has none. Where public holidays run
// the group's timetable and its text does not say so, " und an Feiertagen"
// is added; a text is never shortened.
std::string DayGroupText(const TPrjParams &params, const std::string &dayGroup);

} // namespace takton::print
