// The large project the benchmarks work on, generated in a temporary folder.
//
// 2,000 stations, 300 lines with routes of 30 stations, and per line a
// timetable file of 6 sections (3 day groups, 2 directions) with 30 rows of
// 200 journeys each. 15 hub stations ("Knoten 0" ... "Knoten 14") lie on 20
// lines each. The project file "large.zpr" holds the day groups "Mo-Fr", "Sa"
// and "So".
#pragma once

#include "core/model/list_text.h"

#include <string>
#include <vector>

namespace takton::bench {

constexpr int kStations = 2000;
constexpr int kLines = 300;
constexpr int kRouteLength = 30;
constexpr int kJourneys = 200;
constexpr int kHubs = 15;
constexpr int kLinesPerHub = 20;
inline const char *const kDayGroups[] = {"Mo-Fr", "Sa", "So"};

std::string StationName(int i);
std::string LineName(int i);
std::string HubName(int h);
TStringList Route(int line);

// Writes a file with plain POSIX calls: the floor the crash-safe writes are
// measured against.
void WritePlain(const std::string &path, const std::string &content);

class LargeProject {
  public:
    LargeProject();
    ~LargeProject();
    LargeProject(const LargeProject &) = delete;
    LargeProject &operator=(const LargeProject &) = delete;

    const std::string &Dir() const { return dir_; }
    std::string ProjectFile() const;

    // The files a cascade on the hub's lines reads and rewrites.
    std::vector<std::string> HubFiles(int hub, const std::string &lineSuffix = "") const;

  private:
    std::string dir_;
};

// The one project of a benchmark run, made on first use.
LargeProject &Project();

} // namespace takton::bench
