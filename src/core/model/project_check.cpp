#include "core/model/project_check.h"

#include "core/model/footnotes.h"
#include "core/model/master_data.h"
#include "core/model/station_data.h"
#include "core/model/station_lines_index.h"
#include "core/model/timetable_check.h"
#include "core/model/timetable_file.h"
#include "core/util/cp1252.h"

#include <algorithm>
#include <filesystem>

namespace takton {
namespace {

std::string Quoted(std::string_view name) {
    return "\"" + std::string(name) + "\"";
}

void CheckRegister(const TStringList &names, std::string_view fileName, std::string_view what,
                   std::vector<std::string> &findings) {
    for (std::size_t i = 0; i < names.size(); ++i)
        if (IndexOfItem(names, names[i]) != static_cast<int>(i))
            findings.push_back(std::string(what) + " " + Quoted(names[i]) + " steht mehrfach in " +
                               std::string(fileName) + ".");
}

struct TRoute {
    std::string line;
    TStringList stations;
};

std::vector<TRoute> CheckRoutes(const std::string &dir, const TStringList &lines,
                                const TStringList &stations, std::vector<std::string> &findings) {
    std::vector<TRoute> routes;
    for (const auto &entry : LoadNameList(dir, kLineStationsFile)) {
        if (!HasEntryName(entry)) {
            findings.push_back(std::string(kLineStationsFile) + Cp1252(": Zeile ohne \"=\": ") +
                               entry);
            continue;
        }
        TRoute route{EntryName(entry), SplitList(EntryValue(entry))};
        const bool seen = std::any_of(routes.begin(), routes.end(), [&](const TRoute &r) {
            return SameTextCi(r.line, route.line);
        });
        if (seen) {
            findings.push_back(std::string(kLineStationsFile) + Cp1252(": die Linie ") +
                               Quoted(route.line) + Cp1252(" hat mehr als eine Route."));
            continue;
        }
        if (IndexOfItem(lines, route.line) < 0)
            findings.push_back(std::string(kLineStationsFile) + Cp1252(": die Route der Linie ") +
                               Quoted(route.line) + Cp1252(" gehört zu keiner Linie in ") +
                               std::string(kLinesFile) + ".");
        for (const auto &station : route.stations)
            if (IndexOfItem(stations, station) < 0)
                findings.push_back(std::string(kLineStationsFile) + ": die Route der Linie " +
                                   Quoted(route.line) + " nennt die unbekannte Station " +
                                   Quoted(station) + ".");
        routes.push_back(std::move(route));
    }
    return routes;
}

const TRoute *RouteOf(const std::vector<TRoute> &routes, std::string_view line) {
    for (const auto &route : routes)
        if (SameTextCi(route.line, line))
            return &route;
    return nullptr;
}

void CheckReverseIndex(const std::string &dir, const std::vector<TRoute> &routes,
                       std::vector<std::string> &findings) {
    const TStringList index = LoadNameList(dir, kStationLinesFile);
    const std::string file(kStationLinesFile);
    for (const auto &entry : index) {
        const std::string station = EntryName(entry);
        const TStringList lines = SplitList(EntryValue(entry));
        if (!HasEntryName(entry)) {
            findings.push_back(file + Cp1252(": Zeile ohne \"=\": ") + entry);
            continue;
        }
        if (lines.empty())
            findings.push_back(file + ": die Station " + Quoted(station) + " hat keine Linien.");
        for (const auto &line : lines) {
            const TRoute *route = RouteOf(routes, line);
            if (!route || IndexOfItem(route->stations, station) < 0)
                findings.push_back(file + ": die Station " + Quoted(station) +
                                   Cp1252(" nennt die Linie ") + Quoted(line) +
                                   Cp1252(", deren Route sie nicht enthält."));
        }
    }
    const TStationLinesIndex lookup(index);
    for (const auto &route : routes)
        for (std::size_t i = 0; i < route.stations.size(); ++i) {
            const std::string &station = route.stations[i];
            if (IndexOfItem(route.stations, station) != static_cast<int>(i))
                continue; // a station named twice on a route needs one mention
            if (IndexOfItem(lookup.LinesOf(station), route.line) < 0)
                findings.push_back(file + ": bei der Station " + Quoted(station) +
                                   " fehlt die Linie " + Quoted(route.line) +
                                   Cp1252(", auf deren Route sie liegt."));
        }
}

void CheckMemoList(const std::string &dir, const TStringList &stations,
                   std::vector<std::string> &findings) {
    for (const auto &name : LoadNameList(dir, kNewStationsFile))
        if (IndexOfItem(stations, name) < 0)
            findings.push_back(std::string(kNewStationsFile) + ": die Station " + Quoted(name) +
                               " steht nicht in " + std::string(kStationsFile) + ".");
}

void CheckStationData(const std::string &dir, const TStringList &stations,
                      std::vector<std::string> &findings) {
    const std::string file(kStationDataFile);
    TStringList seen;
    for (const auto &entry : LoadNameList(dir, kStationDataFile)) {
        if (!HasEntryName(entry)) {
            findings.push_back(file + Cp1252(": Zeile ohne \"=\": ") + entry);
            continue;
        }
        const std::string station = EntryName(entry);
        if (IndexOfItem(seen, station) >= 0)
            findings.push_back(file + ": die Station " + Quoted(station) +
                               " hat mehr als einen Eintrag.");
        else if (IndexOfItem(stations, station) < 0)
            findings.push_back(file + ": Daten der unbekannten Station " + Quoted(station) + ".");
        seen.push_back(station);
    }
}

// The line names of the timetable files in the directory, sorted.
std::vector<std::string> TimetableFileLines(const std::string &dir) {
    std::vector<std::string> lines;
    std::error_code ec;
    for (const auto &item : std::filesystem::directory_iterator(dir, ec)) {
        if (!item.is_regular_file(ec))
            continue;
        const std::string name = Utf8ToCp1252Lossy(item.path().filename().string());
        if (name.size() > 9 && name.starts_with("line_") && name.ends_with(".ttd"))
            lines.push_back(name.substr(5, name.size() - 9));
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

// Cells that are neither a time nor an interval nor empty: text taken over
// from a page or typed in copy mode. A published feed cannot hold them.
void CheckCells(std::string_view row, const std::string &where,
                std::vector<std::string> &findings) {
    std::size_t journey = 0;
    for (std::size_t at = row.find(','); at != std::string_view::npos;) {
        const std::size_t next = row.find(',', at + 1);
        const std::string_view cell =
            row.substr(at + 1, next == row.npos ? row.npos : next - at - 1);
        ++journey;
        if (CellTextKind(cell) == TCellKind::Other)
            findings.push_back(where + ", Fahrt " + std::to_string(journey) + ": " +
                               Quoted(TrimCellText(cell)) + " ist weder eine Zeit noch ein Takt.");
        at = next;
    }
}

void CheckTimetables(const std::string &dir, const TStringList &lines,
                     const std::vector<TRoute> &routes, std::vector<std::string> &findings) {
    const TFootnoteList footnotes = LoadFootnotes(dir);
    for (const auto &line : TimetableFileLines(dir)) {
        const std::string file = TimetableFileName(line);
        // The file name holds the line's name exactly as stored.
        if (std::find(lines.begin(), lines.end(), line) == lines.end()) {
            findings.push_back(file + ": Fahrplandatei einer unbekannten Linie.");
            continue;
        }
        const TRoute *route = RouteOf(routes, line);
        const TTimetableFile timetable(TimetablePath(dir, line));
        for (const auto &section : timetable.Sections()) {
            const TJourneyMarkList marks = timetable.ReadJourneyMarks(section);
            for (std::size_t j = 0; j < marks.size(); ++j)
                if (!marks[j].Footnote.empty() && !FindFootnote(footnotes, marks[j].Footnote))
                    findings.push_back(file + ": [" + section + "] Fahrt " + std::to_string(j + 1) +
                                       Cp1252(": die Fußnote ") + Quoted(marks[j].Footnote) +
                                       " gibt es im Projekt nicht.");
            const TTimetableRows rows = timetable.ReadRows(section);
            for (std::size_t k = 0; k < rows.size(); ++k) {
                const std::string station(RowStation(rows[k]));
                const bool onLine =
                    route && std::find(route->stations.begin(), route->stations.end(), station) !=
                                 route->stations.end();
                if (!onLine)
                    findings.push_back(file + ": [" + section + "] Zeile " + std::to_string(k + 1) +
                                       ": die Station " + Quoted(station) +
                                       " liegt nicht auf der Linie.");
                CheckCells(rows[k], file + ": [" + section + "] Zeile " + std::to_string(k + 1),
                           findings);
            }
        }
    }
}

} // namespace

std::vector<std::string> CheckProjectConsistency(const std::string &dir) {
    std::vector<std::string> findings;
    const TStringList stations = LoadNameList(dir, kStationsFile);
    const TStringList lines = LoadNameList(dir, kLinesFile);
    CheckRegister(stations, kStationsFile, "Die Station", findings);
    CheckRegister(lines, kLinesFile, "Die Linie", findings);
    const std::vector<TRoute> routes = CheckRoutes(dir, lines, stations, findings);
    CheckReverseIndex(dir, routes, findings);
    CheckMemoList(dir, stations, findings);
    CheckTimetables(dir, lines, routes, findings);
    CheckStationData(dir, stations, findings);
    return findings;
}

std::vector<std::string> StationsWithoutPosition(const std::string &dir) {
    std::vector<std::string> notes;
    const TStationDataList data = LoadStationData(dir);
    for (const auto &station : LoadNameList(dir, kStationsFile)) {
        const TStationData *found = FindStationData(data, station);
        if (!found || !found->Position)
            notes.push_back("Die Station " + Quoted(station) + " hat keine Geo-Position.");
    }
    return notes;
}

} // namespace takton
