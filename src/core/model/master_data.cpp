#include "core/model/master_data.h"

#include "core/files/file_io.h"
#include "core/files/write_batch.h"
#include "core/model/project_files.h"
#include "core/model/station_data.h"
#include "core/model/timetable_file.h"
#include "core/util/cp1252.h"
#include "core/util/string_grid.h"

#include <algorithm>
#include <filesystem>
#include <functional>

namespace takton {
namespace {

std::string MakeEntry(std::string_view name, std::string_view value) {
    std::string entry(name);
    entry += '=';
    entry += value;
    return entry;
}

// How a name is compared in one file: exactly when the file names it exactly
// somewhere, so that "berg" never reaches "Berg" beside it; otherwise without
// regard to case.
struct TNameMatch {
    std::string_view name;
    bool exact = false;
    bool operator()(std::string_view item) const {
        return exact ? item == name : SameTextCi(item, name);
    }
};

// The match for a name among the lists of every entry. Exact only for a
// station that has a case variant in the register.
TNameMatch MatchInEntryLists(const TStringList &entries, std::string_view name, bool exactOnly) {
    if (exactOnly)
        return {name, true};
    for (const auto &entry : entries)
        for (const auto &item : SplitList(EntryValue(entry)))
            if (item == name)
                return {name, true};
    return {name, false};
}

// Removes every matching item; true when any.
bool RemoveEvery(TStringList &list, const TNameMatch &match) {
    return std::erase_if(list, [&](const std::string &item) { return match(item); }) > 0;
}

// Replaces every matching item; true when any.
bool ReplaceEvery(TStringList &list, const TNameMatch &match, std::string_view newName) {
    bool replaced = false;
    for (auto &item : list)
        if (match(item)) {
            item.assign(newName);
            replaced = true;
        }
    return replaced;
}

// Removes one name from the list of every entry; entries left without any
// item go, as do entries whose list was empty before.
void RemoveFromEveryEntry(TStringList &entries, std::string_view name, bool exactOnly = false) {
    const TNameMatch match = MatchInEntryLists(entries, name, exactOnly);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        TStringList items = SplitList(EntryValue(entries[i]));
        const bool removed = RemoveEvery(items, match);
        if (items.empty())
            continue;
        if (removed)
            entries[i] = MakeEntry(EntryName(entries[i]), JoinList(items));
        if (kept != i)
            entries[kept] = std::move(entries[i]);
        ++kept;
    }
    entries.resize(kept);
}

// Replaces a name in the list of every entry; true when any entry changed.
bool RenameInEveryEntry(TStringList &entries, std::string_view oldName, std::string_view newName,
                        bool exactOnly = false) {
    const TNameMatch match = MatchInEntryLists(entries, oldName, exactOnly);
    bool changed = false;
    for (auto &entry : entries) {
        TStringList items = SplitList(EntryValue(entry));
        if (ReplaceEvery(items, match, newName)) {
            entry = MakeEntry(EntryName(entry), JoinList(items));
            changed = true;
        }
    }
    return changed;
}

// Whether the register holds a station other than `station` and `except`
// that differs from `station` only in letter case.
bool HasOtherInCase(const TStringList &stations, std::string_view station,
                    std::string_view except = {}) {
    return std::any_of(stations.begin(), stations.end(), [&](const std::string &other) {
        return other != station && other != except && SameTextCi(other, station);
    });
}

// A cascade runs once the station has left the register (renamed to
// `newName`): a station still there that differs from it only in letter case
// must keep its own entries, so every file is searched for the exact name.
bool CascadeOnlyExact(const std::string &dir, std::string_view station,
                      std::string_view newName = {}) {
    return HasOtherInCase(LoadNameList(dir, kStationsFile), station, newName);
}

int IndexOfStationEntry(const TStringList &index, std::string_view station, bool exactOnly) {
    if (!exactOnly)
        return IndexOfNameExactFirst(index, station);
    for (std::size_t i = 0; i < index.size(); ++i)
        if (HasEntryName(index[i]) && EntryName(index[i]) == station)
            return static_cast<int>(i);
    return -1;
}

using TRowsChange =
    std::function<TTimetableRows(const std::string &section, const TTimetableRows &rows)>;

// Applies a change to every section of a line's timetable file. Sections are
// rewritten in file order, so they keep their order; a section left without
// rows disappears. A missing file stays missing, an unchanged one is not
// written.
void ChangeTimetableRows(const std::string &dir, std::string_view line, const TRowsChange &change) {
    TTimetableFile file(TimetablePath(dir, line));
    if (!file.Exists())
        return;
    const std::vector<std::string> sections = file.Sections();
    std::vector<TTimetableRows> newRows;
    newRows.reserve(sections.size());
    bool changed = false;
    for (const auto &section : sections) {
        const TTimetableRows rows = file.ReadRows(section);
        newRows.push_back(change(section, rows));
        changed = changed || newRows.back() != rows;
    }
    if (!changed)
        return;
    for (std::size_t i = 0; i < sections.size(); ++i)
        file.WriteRows(sections[i], newRows[i]);
    file.Save();
}

TTimetableRows WithoutStationRows(const TTimetableRows &rows, std::string_view station) {
    TTimetableRows kept;
    kept.reserve(rows.size());
    for (const auto &row : rows)
        if (!RowNamesStation(row, station))
            kept.push_back(row);
    return kept;
}

TTimetableRows WithStationRenamed(TTimetableRows rows, std::string_view oldName,
                                  std::string_view newName) {
    for (auto &row : rows)
        if (RowNamesStation(row, oldName))
            row.replace(0, oldName.size(), newName);
    return rows;
}

// The first row not taken yet that belongs to the station, searched from
// `from` to the end; rows.size() when there is none.
std::size_t FindUntakenRow(const TTimetableRows &rows, const std::vector<bool> &taken,
                           std::string_view station, std::size_t from) {
    for (std::size_t i = from; i < rows.size(); ++i)
        if (!taken[i] && RowNamesStation(rows[i], station))
            return i;
    return rows.size();
}

// The rows of one section in a new station order; see SyncTimetableToStations.
// A station's rows are looked for after the last row taken first, so that a
// route through a station twice keeps both visits in order, then among all
// rows not taken yet, so that a station moved up keeps its times.
TTimetableRows RowsInStationOrder(const TTimetableRows &rows, const TStringList &order) {
    TTimetableRows result;
    result.reserve(order.size() + 2);
    std::vector<bool> taken(rows.size(), false);
    std::size_t next = 0; // the first row after the last one taken
    const std::string *previous = nullptr;
    for (const auto &station : order) {
        if (previous && *previous == station)
            continue;
        previous = &station;
        std::size_t found = FindUntakenRow(rows, taken, station, next);
        if (found == rows.size())
            found = FindUntakenRow(rows, taken, station, 0);
        if (found == rows.size()) {
            result.push_back(station);
            continue;
        }
        result.push_back(rows[found]);
        taken[found] = true;
        next = found + 1;
        // A station served with arrival and departure has two rows in a row.
        if (next < rows.size() && !taken[next] && RowNamesStation(rows[next], station)) {
            result.push_back(rows[next]);
            taken[next] = true;
            ++next;
        }
    }
    return result;
}

// The direction-free part of a section name: "1_Sa" gives "Sa".
std::string_view SectionDayGroup(std::string_view section) {
    return section.size() >= 2 && (section[0] == '1' || section[0] == '2') && section[1] == '_'
               ? section.substr(2)
               : std::string_view{};
}

// Section names compare without regard to case, as the INI files do.
bool IsDayGroupSection(std::string_view section, std::string_view dayGroup) {
    return section.size() >= 2 && SectionDayGroup(section).size() + 2 == section.size() &&
           SameTextCi(SectionDayGroup(section), dayGroup);
}

// Rewrites every section of one timetable file, in file order, through
// change (name in, name out; an empty name drops the section). True when the
// file changed and was saved.
bool RenameSections(const std::string &path,
                    const std::function<std::string(const std::string &)> &change) {
    TTimetableFile file(path);
    const std::vector<std::string> sections = file.Sections();
    struct TRewritten {
        std::string Name;
        TTimetableRows Rows;
        TJourneyMarkList Marks; // they go where the rows go
    };
    std::vector<TRewritten> rewritten;
    bool changed = false;
    for (const auto &section : sections) {
        std::string name = change(section);
        changed = changed || name != section;
        rewritten.push_back(
            {std::move(name), file.ReadRows(section), file.ReadJourneyMarks(section)});
    }
    if (!changed)
        return false;
    for (const auto &section : sections)
        file.WriteRows(section, {});
    for (const auto &section : rewritten)
        if (!section.Name.empty()) {
            file.WriteRows(section.Name, section.Rows);
            file.WriteJourneyMarks(section.Name, section.Marks);
        }
    file.Save();
    return true;
}

} // namespace

std::vector<std::string> TimetableFilePaths(const std::string &dir) {
    std::vector<std::string> paths;
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator(dir, error)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file(error) && name.starts_with("line_") && name.ends_with(".ttd"))
            paths.push_back(entry.path().string());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

void CopyProjectFiles(const std::string &fromDir, const std::string &toDir) {
    TWriteBatch batch(toDir);
    for (const auto &name : ExistingProjectFileNames(fromDir)) {
        const std::string from = (std::filesystem::path(fromDir) / name).string();
        if (const auto content = ReadWholeFile(from))
            WriteWholeFile((std::filesystem::path(toDir) / name).string(), *content);
    }
    batch.Commit();
}

int CountTimetablesWithDayGroup(const std::string &dir, std::string_view dayGroup) {
    int count = 0;
    for (const auto &path : TimetableFilePaths(dir)) {
        const TTimetableFile file(path);
        for (const auto &section : file.Sections())
            if (IsDayGroupSection(section, dayGroup)) {
                ++count;
                break;
            }
    }
    return count;
}

void CascadeRenameDayGroup(const std::string &dir, std::string_view oldName,
                           std::string_view newName) {
    TWriteBatch batch(dir);
    for (const auto &path : TimetableFilePaths(dir))
        RenameSections(path, [&](const std::string &section) {
            return IsDayGroupSection(section, oldName) ? section.substr(0, 2) + std::string(newName)
                                                       : section;
        });
    batch.Commit();
}

int CascadeDeleteDayGroup(const std::string &dir, std::string_view dayGroup) {
    TWriteBatch batch(dir);
    int count = 0;
    for (const auto &path : TimetableFilePaths(dir))
        if (RenameSections(path, [&](const std::string &section) {
                return IsDayGroupSection(section, dayGroup) ? std::string() : section;
            }))
            ++count;
    batch.Commit();
    return count;
}

bool StationHasCaseVariant(const std::string &dir, std::string_view name) {
    const TStringList stations = LoadNameList(dir, kStationsFile);
    return std::find(stations.begin(), stations.end(), name) != stations.end() &&
           HasOtherInCase(stations, name);
}

int IndexOfItemExactFirst(const TStringList &list, std::string_view item) {
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i] == item)
            return static_cast<int>(i);
    return IndexOfItem(list, item);
}

int IndexOfNameExactFirst(const TStringList &entries, std::string_view name) {
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (HasEntryName(entries[i]) && EntryName(entries[i]) == name)
            return static_cast<int>(i);
    return IndexOfName(entries, name);
}

TStringList LoadNameList(const std::string &dir, std::string_view fileName) {
    return LoadTextList(ProjectPath(dir, fileName));
}

void SaveNameList(const std::string &dir, std::string_view fileName, const TStringList &list) {
    SaveTextList(ProjectPath(dir, fileName), list);
}

TStringList LoadLineStations(const std::string &dir, std::string_view line) {
    return LineStationsOf(LoadNameList(dir, kLineStationsFile), line);
}

TStringList LineStationsOf(const TStringList &routes, std::string_view line) {
    const int i = IndexOfNameExactFirst(routes, line);
    return i < 0 ? TStringList{} : SplitList(EntryValue(routes[static_cast<std::size_t>(i)]));
}

std::string DirectionTerminus(const TStringList &route, int direction) {
    if (route.empty())
        return {};
    return direction == 1 ? route.back() : route.front();
}

TStringList LoadStationLines(const std::string &dir, std::string_view station) {
    const TStringList index = LoadNameList(dir, kStationLinesFile);
    const int i = IndexOfStationEntry(index, station, StationHasCaseVariant(dir, station));
    return i < 0 ? TStringList{} : SplitList(EntryValue(index[static_cast<std::size_t>(i)]));
}

void StoreLineStations(const std::string &dir, std::string_view line, const TStringList &stations) {
    TWriteBatch batch(dir);
    TStringList routes = LoadNameList(dir, kLineStationsFile);
    const std::string routeEntry = MakeEntry(line, JoinList(stations));
    const int at = IndexOfNameExactFirst(routes, line);
    if (at < 0) {
        routes.push_back(routeEntry);
    } else {
        SyncTimetableToStations(dir, line, stations);
        routes[static_cast<std::size_t>(at)] = routeEntry;
    }
    SaveNameList(dir, kLineStationsFile, routes);

    TStringList index = LoadNameList(dir, kStationLinesFile);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < index.size(); ++i) {
        const std::string station = EntryName(index[i]);
        TStringList lines = SplitList(EntryValue(index[i]));
        const bool onRoute = IndexOfItem(stations, station) >= 0;
        const bool served = IndexOfItem(lines, line) >= 0;
        if (!onRoute && served) {
            RemoveEvery(lines, TNameMatch{line, false});
            if (lines.empty())
                continue;
            index[i] = MakeEntry(station, JoinList(lines));
        } else if (onRoute && !served) {
            lines.emplace_back(line);
            index[i] = MakeEntry(station, JoinList(lines));
        }
        if (kept != i)
            index[kept] = std::move(index[i]);
        ++kept;
    }
    index.resize(kept);

    for (const auto &station : stations) {
        const int i = IndexOfNameExactFirst(index, station);
        if (i < 0) {
            // The joined form, so that a line name with a blank reads back whole.
            index.push_back(MakeEntry(station, JoinList({std::string(line)})));
            continue;
        }
        std::string &entry = index[static_cast<std::size_t>(i)];
        TStringList lines = SplitList(EntryValue(entry));
        if (IndexOfItem(lines, line) < 0) {
            lines.emplace_back(line);
            entry = MakeEntry(EntryName(entry), JoinList(lines));
        }
    }
    SaveNameList(dir, kStationLinesFile, index);
    batch.Commit();
}

void SyncTimetableToStations(const std::string &dir, std::string_view line,
                             const TStringList &stations) {
    TStringList reversed = stations;
    ReverseList(reversed);
    ChangeTimetableRows(dir, line, [&](const std::string &section, const TTimetableRows &rows) {
        return RowsInStationOrder(rows, IsReverseSection(section) ? reversed : stations);
    });
}

void CascadeDeleteStation(const std::string &dir, std::string_view station) {
    TWriteBatch batch(dir);
    const bool exactOnly = CascadeOnlyExact(dir, station);
    TStringList routes = LoadNameList(dir, kLineStationsFile);
    RemoveFromEveryEntry(routes, station, exactOnly);
    SaveNameList(dir, kLineStationsFile, routes);

    TStringList index = LoadNameList(dir, kStationLinesFile);
    const int at = IndexOfStationEntry(index, station, exactOnly);
    if (at >= 0) {
        for (const auto &line : SplitList(EntryValue(index[static_cast<std::size_t>(at)])))
            ChangeTimetableRows(dir, line, [&](const std::string &, const TTimetableRows &rows) {
                return WithoutStationRows(rows, station);
            });
        index.erase(index.begin() + at);
    }
    SaveNameList(dir, kStationLinesFile, index);
    DeleteStationData(dir, station, exactOnly);
    batch.Commit();
}

void CascadeRenameStation(const std::string &dir, std::string_view oldName,
                          std::string_view newName) {
    TWriteBatch batch(dir);
    const bool exactOnly = CascadeOnlyExact(dir, oldName, newName);
    TStringList routes = LoadNameList(dir, kLineStationsFile);
    if (RenameInEveryEntry(routes, oldName, newName, exactOnly))
        SaveNameList(dir, kLineStationsFile, routes);

    TStringList index = LoadNameList(dir, kStationLinesFile);
    const int at = IndexOfStationEntry(index, oldName, exactOnly);
    if (at >= 0) {
        std::string &entry = index[static_cast<std::size_t>(at)];
        for (const auto &line : SplitList(EntryValue(entry)))
            ChangeTimetableRows(dir, line, [&](const std::string &, const TTimetableRows &rows) {
                return WithStationRenamed(rows, oldName, newName);
            });
        entry = MakeEntry(newName, EntryValue(entry));
    }
    SaveNameList(dir, kStationLinesFile, index);
    RenameStationData(dir, oldName, newName, exactOnly);
    batch.Commit();
}

void CascadeDeleteLine(const std::string &dir, std::string_view line, IMessageSink &messages) {
    TWriteBatch batch(dir);
    TStringList routes = LoadNameList(dir, kLineStationsFile);
    const int at = IndexOfNameExactFirst(routes, line);
    if (at >= 0)
        routes.erase(routes.begin() + at);
    SaveNameList(dir, kLineStationsFile, routes);

    TStringList index = LoadNameList(dir, kStationLinesFile);
    RemoveFromEveryEntry(index, line);
    SaveNameList(dir, kStationLinesFile, index);

    const std::string path = TimetablePath(dir, line);
    if (FileExists(path) && !RemoveFile(path))
        messages.ShowMessage(Cp1252("Fehler beim Löschen der Datei: ") + PathForMessage(path));
    batch.Commit();
}

void CascadeRenameLine(const std::string &dir, std::string_view oldName, std::string_view newName,
                       IMessageSink &messages) {
    if (oldName == newName)
        return;
    TWriteBatch batch(dir);
    TStringList routes = LoadNameList(dir, kLineStationsFile);
    const int at = IndexOfNameExactFirst(routes, oldName);
    if (at >= 0) {
        std::string &entry = routes[static_cast<std::size_t>(at)];
        entry = MakeEntry(newName, EntryValue(entry));
    }
    SaveNameList(dir, kLineStationsFile, routes);

    TStringList index = LoadNameList(dir, kStationLinesFile);
    if (RenameInEveryEntry(index, oldName, newName))
        SaveNameList(dir, kStationLinesFile, index);

    // A line that has no timetable yet has nothing to rename.
    const std::string from = TimetablePath(dir, oldName);
    const std::string to = TimetablePath(dir, newName);
    if (FileExists(from) && !RenameFileNoReplace(from, to))
        messages.ShowMessage(RenameFileFailedMessage(from, to));
    batch.Commit();
}

std::string RenameFileFailedMessage(const std::string &from, const std::string &to) {
    return Cp1252("Fehler beim Umbenennen der Datei: ") + PathForMessage(from) + " in " +
           PathForMessage(to);
}

} // namespace takton
