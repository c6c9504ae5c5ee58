#pragma once

// A new project from a GTFS feed (a zip file or a folder of its .txt files):
// stations from stops, lines from routes with one merged route each, day
// groups from services, timetables from trips. What the project cannot hold
// as the feed says it is adapted or left out, and the report says which.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace takton::gtfs {

// Told how far the import is (done of total); false cancels it, and a
// cancelled import leaves no project behind.
using TImportProgress = std::function<bool(std::size_t done, std::size_t total)>;

struct TImportReport {
    bool Cancelled = false;
    // German lines, cp1252: what was taken differently from the feed.
    std::vector<std::string> Adapted;
    // German lines, cp1252: what the project cannot hold and was left out.
    std::vector<std::string> NotHeld;
    // German lines, cp1252: how the feed was laid out, nothing lost.
    std::vector<std::string> Notes;
    std::size_t Stations = 0;
    std::size_t Lines = 0;
    std::size_t DayGroups = 0;
    std::size_t Trips = 0;     // trips of the feed taken over
    std::size_t StopTimes = 0; // stop_times rows read
};

// Raises TaktonError (German) when the folder of the project file already
// holds a project (a project file or a station or line register).
void CheckImportTarget(const std::string &projectPath);

// Reads the feed and writes the project folder and the project file
// projectPath. Raises TaktonError for a target that holds a project, a feed
// that cannot be read or lacks stops, routes, trips or stop times, and a
// failed write (nothing of the project is then left behind).
TImportReport ImportGtfs(const std::string &feedPath, const std::string &projectPath,
                         const TImportProgress &progress = {});

} // namespace takton::gtfs
