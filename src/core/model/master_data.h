#pragma once

// The master-data files of a project and the operations that keep them in step:
// the registers "stations.csv", "newstations.csv" and "lines.csv" (one name a
// line), the routes "line_stations.csv" (line=stations in the joined form), the
// reverse index "station_lines.csv" (station=lines), and the cascades that
// carry a renamed or deleted station or line into every file naming it.
//
// Every function takes the project directory (a native path); names are cp1252.
// A file is loaded, changed in memory and saved whole before the next step.
// Each operation writing several files does so as one batch (core/files/write_batch):
// a failed save raises TaktonError and no file of the operation changed.

#include "core/model/list_text.h"
#include "core/model/message_sink.h"

#include <string>
#include <string_view>
#include <vector>

namespace takton {

inline constexpr std::string_view kStationsFile = "stations.csv";
inline constexpr std::string_view kNewStationsFile = "newstations.csv";
inline constexpr std::string_view kLinesFile = "lines.csv";
inline constexpr std::string_view kLineStationsFile = "line_stations.csv";
inline constexpr std::string_view kStationLinesFile = "station_lines.csv";

// Where a name is looked up to act on it: the first item (entry name) equal
// to it exactly, letter case included, or else the first equal without regard
// to case; -1 when none. So "berg" reaches the station "berg" even beside
// "Berg", and a name typed in another case still finds its entry.
int IndexOfItemExactFirst(const TStringList &list, std::string_view item);
int IndexOfNameExactFirst(const TStringList &entries, std::string_view name);

// Whether the station register holds this name exactly and beside it another
// station whose name differs only in letter case ("marktplatz" beside
// "Marktplatz"). Then every file is searched for the exact name alone: a file
// naming just the other one must never be taken for this one. A name typed in
// another case than any entry's is still found without regard to case.
bool StationHasCaseVariant(const std::string &dir, std::string_view name);

// The lines of a register file in file order; a missing file gives none.
TStringList LoadNameList(const std::string &dir, std::string_view fileName);
void SaveNameList(const std::string &dir, std::string_view fileName, const TStringList &list);

// The stations of a line in route order (direction 1).
TStringList LoadLineStations(const std::string &dir, std::string_view line);
// The same from the entries of line_stations.csv read before (for many lines).
TStringList LineStationsOf(const TStringList &routes, std::string_view line);
// The station a direction of a route runs to: its last station in direction
// 1, its first in direction 2; empty for a route without stations.
std::string DirectionTerminus(const TStringList &route, int direction);

// The lines serving a station, in the order they were added (found by its
// exact name alone beside a case variant, see StationHasCaseVariant).
TStringList LoadStationLines(const std::string &dir, std::string_view station);

// Stores the route of a line, brings an existing timetable file into the new
// station order (when the line had a route before) and keeps the reverse index
// in step.
void StoreLineStations(const std::string &dir, std::string_view line, const TStringList &stations);
// Rebuilds every section of the line's timetable file in the given station
// order (reversed in direction 2): a station's rows move with it, times kept,
// wherever it moved; a new station gets a row without times, rows of stations
// no longer on the route are dropped. A line without timetable file is left
// without one.
void SyncTimetableToStations(const std::string &dir, std::string_view line,
                             const TStringList &stations);

// Called after the station was deleted from (renamed in) the register.
void CascadeDeleteStation(const std::string &dir, std::string_view station);
void CascadeRenameStation(const std::string &dir, std::string_view oldName,
                          std::string_view newName);
// Called after the line was deleted from (renamed in) the register. A timetable
// file that cannot be deleted or renamed is reported to the sink; the other
// files stay changed.
void CascadeDeleteLine(const std::string &dir, std::string_view line, IMessageSink &messages);
// "Fehler beim Umbenennen der Datei: " with both paths.
std::string RenameFileFailedMessage(const std::string &from, const std::string &to);
void CascadeRenameLine(const std::string &dir, std::string_view oldName, std::string_view newName,
                       IMessageSink &messages);

// The native paths of every timetable file ("line_*.ttd") in the project
// directory, sorted by name.
std::vector<std::string> TimetableFilePaths(const std::string &dir);

// Copies every file of the project (core/model/project_files.h) that exists in one
// project directory into another, as one batch, replacing files of the same
// name there. The project file is not copied.
void CopyProjectFiles(const std::string &fromDir, const std::string &toDir);

// How many timetable files hold a section of the day group (either direction).
int CountTimetablesWithDayGroup(const std::string &dir, std::string_view dayGroup);
// Carries a renamed day group into every timetable file: "1_" + old and
// "2_" + old become "1_" + new and "2_" + new, in their places.
void CascadeRenameDayGroup(const std::string &dir, std::string_view oldName,
                           std::string_view newName);
// Removes the day group's sections from every timetable file; gives how many
// files lost a section.
int CascadeDeleteDayGroup(const std::string &dir, std::string_view dayGroup);

} // namespace takton
