#pragma once

// The departure poster of a station: for every line and direction that leaves
// it, a block with the destination and, per hour, the departure minutes of
// each day group; intervals expanded. cp1252.

#include "core/model/prj_params.h"

#include <string>
#include <vector>

namespace takton::print {

struct TPosterHour {
    int Hour = 0;
    std::vector<std::vector<int>> Minutes; // per day group, ascending
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
};

// Departures at the station in one section's rows, as minutes of the day; none
// when the station is not in it or is its last station.
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

// Lines of text an hour row takes with so many minutes to a line.
int HourLines(const TPosterHour &hour, int minutesPerLine);
// Pieces of blocks on pages of linesPerPage lines; a block's head takes
// kPosterHeadLines, the gap after it one line.
inline constexpr int kPosterHeadLines = 2;
std::vector<TPosterPage> LayoutPosterPages(const TPoster &poster, int minutesPerLine,
                                           int linesPerPage);

} // namespace takton::print
