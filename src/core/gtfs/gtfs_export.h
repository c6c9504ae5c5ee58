#pragma once

// The project published as a GTFS feed (static part): agency.txt, stops.txt,
// routes.txt, trips.txt, stop_times.txt, calendar.txt and feed_info.txt, CSV
// in UTF-8, in one zip file written crash-safe.

#include "core/model/prj_params.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace takton::gtfs {

// Told how far the export is (steps done of all steps); false cancels it,
// and a cancelled export leaves no file behind and the old one whole.
using TExportProgress = std::function<bool(std::size_t done, std::size_t total)>;

struct TExportReport {
    bool Cancelled = false;
    // One German line per file written ("stop_times.txt: 1234 Zeilen"), cp1252.
    std::vector<std::string> Written;
    // One German line per thing not exported and why, and per thing GTFS
    // cannot express or the project does not know, cp1252.
    std::vector<std::string> Skipped;
    std::size_t Trips = 0;
    std::size_t StopTimes = 0;
};

// The publishing data the export needs and the project lacks, as German
// field names ("Name des Verkehrsunternehmens", ...), cp1252; empty when
// nothing is missing. The export refuses while anything is.
std::vector<std::string> MissingPublishingData(const TPublishing &publishing);

// The stations with a time in a timetable the export takes that have no geo
// position (cp1252, each once, in the order found). The export refuses
// while there are any; this finds them without building the feed.
std::vector<std::string> ServedStationsWithoutPosition(const std::string &projectDir,
                                                       const TPrjParams &params);

// Writes the feed of the project in projectDir (whose options are params)
// to zipPath. Raises TaktonError with a German message when the export
// cannot be made: publishing data missing, a served station without
// coordinates (all such stations named), a cell that is no time, interval
// or empty (line, direction, day group, journey and station named), or a
// failed write (the old file stays whole).
TExportReport ExportGtfs(const std::string &projectDir, const TPrjParams &params,
                         const std::string &zipPath, const TExportProgress &progress = {});

} // namespace takton::gtfs
