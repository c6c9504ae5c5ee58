#pragma once

// Finds where the master-data files and timetable files of a project disagree:
// names twice in a register, routes of unknown lines or naming unknown
// stations, a reverse index that does not match the routes, remembered
// stations that are not in the register, timetable files of unknown lines and
// timetable rows of stations that are not on the line, data of unknown
// stations, journeys whose footnote the project does not know.

#include <string>
#include <vector>

namespace takton {

// One German message (cp1252) per finding, in a fixed order; none when the
// project is consistent.
std::vector<std::string> CheckProjectConsistency(const std::string &dir);

// One German note (cp1252) per registered station without a geo position, in
// register order. Not a disagreement of files: a project that keeps
// positions wants them complete.
std::vector<std::string> StationsWithoutPosition(const std::string &dir);

} // namespace takton
