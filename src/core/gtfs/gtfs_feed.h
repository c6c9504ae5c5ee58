#pragma once

// The feed's tables built from a project folder, as CSV text in UTF-8.

#include "core/gtfs/gtfs_export.h"
#include "core/gtfs/gtfs_zip.h"

#include <memory>
#include <string>
#include <vector>

namespace takton::gtfs {

struct TFeedFile {
    std::string Name; // "stops.txt"
    std::string Csv;  // header line and rows, CR LF
    std::size_t Rows = 0;
    // Set instead of Csv for a table too large to hold as text: it makes the
    // same bytes while the zip is written.
    std::unique_ptr<TZipStream> Stream;
};

struct TFeed {
    std::vector<TFeedFile> Files;
    TExportReport Report;
    std::size_t Steps = 1; // progress steps: one per section, one for the zip
};

// Builds every table; Report.Cancelled when progress said stop (Files then
// incomplete). Refuses (TaktonError) as ExportGtfs does, before anything is
// written. versionText is feed_info's feed_version.
TFeed BuildFeed(const std::string &projectDir, const TPrjParams &params,
                const std::string &versionText, const TExportProgress &progress);

} // namespace takton::gtfs
