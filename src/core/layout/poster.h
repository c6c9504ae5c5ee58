#pragma once

// The departure poster of a station: for every line and direction that leaves
// it, a block with the destination and, per hour, the departure minutes of
// each day group; intervals expanded. A departure carries the marks of its
// journey (footnote, night journey of the previous day) beside its minute,
// and the poster's legend says what they mean. cp1252.

#include "core/layout/print_timetable.h"
#include "core/model/prj_params.h"

#include <string>
#include <vector>

namespace takton::print {

// What a departure's journey carries: the symbol of its footnote (empty:
// none) and whether it is a night journey of the previous operating day.
struct TMinuteMark {
    std::string Footnote;
    bool Night = false;
    bool operator==(const TMinuteMark &) const = default;
};

struct TPosterHour {
    int Hour = 0;
    std::vector<std::vector<int>> Minutes; // per day group, ascending
    // Per day group, the mark of each minute; missing entries carry none.
    std::vector<std::vector<TMinuteMark>> Marks = {};
    const TMinuteMark &MarkOf(std::size_t group, std::size_t i) const;
};

struct TPosterBlock {
    std::string Line;
    int Direction = 1;
    std::string Destination;
    std::vector<TPosterHour> Hours; // in service-day order, from 04:00 on
};

struct TPoster {
    std::string Station;
    std::vector<std::string> DayGroupTexts; // column heads, project order
    std::vector<TPosterBlock> Blocks;
    std::string NightMark = "N";
    // The marks the minutes carry, as the timetable's legend orders them.
    std::vector<TLegendLine> Legend;
};

// A departure at the station: its minute of the day and the number (from 1)
// of the journey in the timetable file whose marks it carries (for an
// interval's run, the journey it repeats).
struct TDeparture {
    int Minute = 0;
    int Journey = 0;
    bool operator==(const TDeparture &) const = default;
};

// Departures at the station in one section's rows; none when the station is
// not in it or is its last station.
std::vector<TDeparture> JourneyDeparturesAt(const std::vector<std::string> &rowValues,
                                            const std::string &station);
// Their minutes alone.
std::vector<int> DeparturesAt(const std::vector<std::string> &rowValues,
                              const std::string &station);

TPoster BuildPoster(const std::string &dir, const TPrjParams &params, const std::string &station);

// A part of a block on one page: hour rows [FirstHour, FirstHour + HourCount).
struct TPosterPiece {
    int Block = 0;
    int FirstHour = 0;
    int HourCount = 0;
};
using TPosterPage = std::vector<TPosterPiece>;

// The minute as printed: two digits, the footnote's symbol and the night
// mark after them ("05", "12S", "40N").
std::string MinuteText(const TPoster &poster, const TPosterHour &hour, std::size_t group,
                       std::size_t i);

// Lines of text an hour row takes with so many minutes to a line.
int HourLines(const TPosterHour &hour, int minutesPerLine);
// Pieces of blocks on pages of linesPerPage lines; a block's head takes
// kPosterHeadLines, the gap after it one line.
inline constexpr int kPosterHeadLines = 2;
std::vector<TPosterPage> LayoutPosterPages(const TPoster &poster, int minutesPerLine,
                                           int linesPerPage);
// The legend lines of the marks on the page's minutes.
std::vector<TLegendLine> PosterPageLegend(const TPoster &poster, const TPosterPage &page);

} // namespace takton::print
