#include "core/gtfs/gtfs_export.h"

#include "core/gtfs/gtfs_feed.h"
#include "core/gtfs/gtfs_text.h"
#include "core/gtfs/gtfs_zip.h"
#include "core/model/master_data.h"
#include "core/model/project_rules.h"
#include "core/model/station_data.h"
#include "core/model/timetable_check.h"
#include "core/model/timetable_file.h"
#include "core/util/cp1252.h"
#include "core/util/error.h"

#include <algorithm>
#include <ctime>
#include <string_view>

namespace takton::gtfs {
namespace {

// The export's date and time, "2026-12-09 12:00:00" (local time).
std::string VersionText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

std::string RowsText(std::size_t rows) {
    return std::to_string(rows) + (rows == 1 ? " Zeile" : " Zeilen");
}

} // namespace

std::vector<std::string> MissingPublishingData(const TPublishing &publishing) {
    std::vector<std::string> missing;
    if (publishing.AgencyName.empty())
        missing.push_back("Name des Verkehrsunternehmens");
    if (publishing.AgencyUrl.empty())
        missing.push_back("Internetadresse des Verkehrsunternehmens");
    if (publishing.Timezone.empty())
        missing.push_back("Zeitzone");
    if (publishing.Language.empty())
        missing.push_back("Sprache");
    const bool first = IsGtfsDate(publishing.FirstDate);
    const bool last = IsGtfsDate(publishing.LastDate);
    if (!first)
        missing.push_back(Cp1252("Erster Gültigkeitstag"));
    if (!last)
        missing.push_back(Cp1252("Letzter Gültigkeitstag"));
    if (first && last && publishing.LastDate < publishing.FirstDate)
        missing.push_back(Cp1252("Letzter Gültigkeitstag nicht vor dem ersten"));
    return missing;
}

std::vector<std::string> ServedStationsWithoutPosition(const std::string &projectDir,
                                                       const TPrjParams &params) {
    const TStationDataList data = LoadStationData(projectDir);
    std::vector<std::string> missing;
    for (const std::string &line : LoadNameList(projectDir, kLinesFile)) {
        const TTimetableFile file(TimetablePath(projectDir, line));
        for (const std::string &section : file.Sections()) {
            // Only the sections the export takes: a direction and a day group with days.
            if (section.size() < 2 || (section[0] != '1' && section[0] != '2') || section[1] != '_')
                continue;
            const int group = IndexOfDayGroup(params, std::string_view(section).substr(2));
            if (group < 0 || params.DayGroups[static_cast<std::size_t>(group)].Days == 0)
                continue;
            for (const std::string &row : file.ReadRows(section)) {
                const std::string station(RowStation(row));
                const TStationData *entry = FindStationData(data, station);
                if ((entry && entry->Position) ||
                    std::find(missing.begin(), missing.end(), station) != missing.end())
                    continue;
                std::string_view cells(row);
                bool served = false;
                for (std::size_t at = cells.find(','); at != std::string_view::npos && !served;) {
                    const std::size_t next = cells.find(',', at + 1);
                    const std::string_view cell =
                        cells.substr(at + 1, next == std::string_view::npos ? std::string_view::npos
                                                                            : next - at - 1);
                    int hour = 0, minute = 0;
                    served = ParseTime(TrimCellText(cell), hour, minute);
                    at = next;
                }
                if (served)
                    missing.push_back(station);
            }
        }
    }
    return missing;
}

TExportReport ExportGtfs(const std::string &projectDir, const TPrjParams &params,
                         const std::string &zipPath, const TExportProgress &progress) {
    const auto missing = MissingPublishingData(params.Publishing);
    if (!missing.empty()) {
        std::string list;
        for (const auto &field : missing)
            list += (list.empty() ? "" : ", ") + field;
        throw TaktonError(Cp1252("Für den GTFS-Export fehlen Angaben zur Veröffentlichung: ") +
                          list + ".");
    }
    TFeed feed = BuildFeed(projectDir, params, VersionText(), progress);
    if (feed.Report.Cancelled)
        return feed.Report;

    std::vector<TZipEntry> entries;
    for (const auto &file : feed.Files)
        entries.push_back({file.Name, file.Csv, file.Stream.get()});
    TZipGoOn goOn;
    if (progress) // the zip is the last step; compressing may still be cancelled
        goOn = [&](double) { return progress(feed.Steps - 1, feed.Steps); };
    if (!WriteZipFile(zipPath, entries, goOn)) {
        feed.Report.Cancelled = true;
        return feed.Report;
    }
    for (const auto &file : feed.Files)
        feed.Report.Written.push_back(file.Name + ": " + RowsText(file.Rows));
    return feed.Report;
}

} // namespace takton::gtfs
