#pragma once

// The graphical timetable of a line and day group: stations down in route
// order, spaced by the typical driving time between them, time across, each
// journey of both directions a line through its times. cp1252 names.

#include "core/model/prj_params.h"

#include <string>
#include <vector>

namespace takton::print {

struct TGraphPoint {
    int Station = 0; // index into TGraph::Stations
    int Minute = 0;  // increasing along the journey, past 1440 after midnight
};

struct TGraphJourney {
    int Direction = 1;
    std::vector<TGraphPoint> Points;
};

struct TGraph {
    std::string Line;
    std::string DayGroup;
    std::string DayGroupText;
    std::vector<std::string> Stations;
    std::vector<double> Offsets; // position of each station, in driving minutes
    std::vector<TGraphJourney> Journeys;
    int FirstMinute = 0; // whole hours around every journey
    int LastMinute = 60;
};

// The journeys of one section's rows; stations found by name in the route
// (stations not on it are left out); intervals expanded.
std::vector<TGraphJourney> GraphJourneys(const std::vector<std::string> &rowValues,
                                         const std::vector<std::string> &route, int direction);

// Station offsets: between neighbours the median driving time over the
// journeys; where none is known the median of the known ones, or 1 (even
// spacing) when nothing is known.
std::vector<double> StationOffsets(const std::vector<TGraphJourney> &journeys, int stations);

TGraph BuildGraph(const std::string &dir, const TPrjParams &params, const std::string &line,
                  const std::string &dayGroup);

// Where things go in a picture of the graph: pixels per minute across and per
// driving minute down, margins for names and the time axis.
struct TGraphScale {
    double Left = 160;
    double Top = 56;
    double Right = 24;
    double Bottom = 64; // room for the legend of the two directions
    double PerMinute = 3;
    double PerOffset = 12;
    double X(const TGraph &graph, double minute) const;
    double Y(const TGraph &graph, int station) const;
    double Width(const TGraph &graph) const;
    double Height(const TGraph &graph) const;
};
// The scale of the graph at a zoom factor (1 is the default).
TGraphScale GraphScale(const TGraph &graph, double zoom);

// "HH:MM" of a minute, past midnight again from 00:00.
std::string ClockText(int minute);

} // namespace takton::print
