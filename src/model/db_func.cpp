#include "model/db_func.h"

#include "model/timetable_file.h"
#include "util/cp1252.h"
#include "util/file_io.h"
#include "util/kv_standard.h"

#include <functional>

namespace takton {
namespace {

std::string MakeEntry(std::string_view name, std::string_view value) {
    std::string entry(name);
    entry += '=';
    entry += value;
    return entry;
}

// Removes every item equal to the name without regard to case; true when any.
bool RemoveEvery(TStringList &list, std::string_view name) {
    return std::erase_if(list, [name](const std::string &item) { return SameTextCi(item, name); }) >
           0;
}

// Replaces every item equal to oldName without regard to case; true when any.
bool ReplaceEvery(TStringList &list, std::string_view oldName, std::string_view newName) {
    bool replaced = false;
    for (auto &item : list)
        if (SameTextCi(item, oldName)) {
            item.assign(newName);
            replaced = true;
        }
    return replaced;
}

// Removes one name from the list of every entry; entries left without any
// item go, as do entries whose list was empty before.
void RemoveFromEveryEntry(TStringList &entries, std::string_view name) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        TStringList items = SplitList(EntryValue(entries[i]));
        const bool removed = RemoveEvery(items, name);
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
bool RenameInEveryEntry(TStringList &entries, std::string_view oldName, std::string_view newName) {
    bool changed = false;
    for (auto &entry : entries) {
        TStringList items = SplitList(EntryValue(entry));
        if (ReplaceEvery(items, oldName, newName)) {
            entry = MakeEntry(EntryName(entry), JoinList(items));
            changed = true;
        }
    }
    return changed;
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

// The rows of one section in a new station order; see SyncTimetableToStations.
TTimetableRows RowsInStationOrder(const TTimetableRows &rows, const TStringList &order) {
    TTimetableRows result;
    result.reserve(order.size() + 2);
    std::size_t next = 0; // the first row after the last one taken
    const std::string *previous = nullptr;
    for (const auto &station : order) {
        if (previous && *previous == station)
            continue;
        previous = &station;
        std::size_t found = next;
        while (found < rows.size() && !RowNamesStation(rows[found], station))
            ++found;
        if (found == rows.size()) {
            result.push_back(station);
            continue;
        }
        result.push_back(rows[found]);
        next = found + 1;
        // A station served with arrival and departure has two rows in a row.
        if (next < rows.size() && RowNamesStation(rows[next], station)) {
            result.push_back(rows[next]);
            ++next;
        }
    }
    return result;
}

} // namespace

TStringList LoadNameList(const std::string &dir, std::string_view fileName) {
    return LoadTextList(ProjectPath(dir, fileName));
}

void SaveNameList(const std::string &dir, std::string_view fileName, const TStringList &list) {
    SaveTextList(ProjectPath(dir, fileName), list);
}

TStringList LoadLineStations(const std::string &dir, std::string_view line) {
    const TStringList routes = LoadNameList(dir, kLineStationsFile);
    const int i = IndexOfName(routes, line);
    return i < 0 ? TStringList{} : SplitList(EntryValue(routes[static_cast<std::size_t>(i)]));
}

TStringList LoadStationLines(const std::string &dir, std::string_view station) {
    const TStringList index = LoadNameList(dir, kStationLinesFile);
    const int i = IndexOfName(index, station);
    return i < 0 ? TStringList{} : SplitList(EntryValue(index[static_cast<std::size_t>(i)]));
}

void StoreLineStations(const std::string &dir, std::string_view line, const TStringList &stations) {
    TStringList routes = LoadNameList(dir, kLineStationsFile);
    const std::string routeEntry = MakeEntry(line, JoinList(stations));
    const int at = IndexOfName(routes, line);
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
            RemoveEvery(lines, line);
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
        const int i = IndexOfName(index, station);
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
    TStringList routes = LoadNameList(dir, kLineStationsFile);
    RemoveFromEveryEntry(routes, station);
    SaveNameList(dir, kLineStationsFile, routes);

    TStringList index = LoadNameList(dir, kStationLinesFile);
    const int at = IndexOfName(index, station);
    if (at >= 0) {
        for (const auto &line : SplitList(EntryValue(index[static_cast<std::size_t>(at)])))
            ChangeTimetableRows(dir, line, [&](const std::string &, const TTimetableRows &rows) {
                return WithoutStationRows(rows, station);
            });
        index.erase(index.begin() + at);
    }
    SaveNameList(dir, kStationLinesFile, index);
}

void CascadeRenameStation(const std::string &dir, std::string_view oldName,
                          std::string_view newName) {
    TStringList routes = LoadNameList(dir, kLineStationsFile);
    if (RenameInEveryEntry(routes, oldName, newName))
        SaveNameList(dir, kLineStationsFile, routes);

    TStringList index = LoadNameList(dir, kStationLinesFile);
    const int at = IndexOfName(index, oldName);
    if (at >= 0) {
        std::string &entry = index[static_cast<std::size_t>(at)];
        for (const auto &line : SplitList(EntryValue(entry)))
            ChangeTimetableRows(dir, line, [&](const std::string &, const TTimetableRows &rows) {
                return WithStationRenamed(rows, oldName, newName);
            });
        entry = MakeEntry(newName, EntryValue(entry));
    }
    SaveNameList(dir, kStationLinesFile, index);
}

void CascadeDeleteLine(const std::string &dir, std::string_view line, IMessageSink &messages) {
    TStringList routes = LoadNameList(dir, kLineStationsFile);
    const int at = IndexOfName(routes, line);
    if (at >= 0)
        routes.erase(routes.begin() + at);
    SaveNameList(dir, kLineStationsFile, routes);

    TStringList index = LoadNameList(dir, kStationLinesFile);
    RemoveFromEveryEntry(index, line);
    SaveNameList(dir, kStationLinesFile, index);

    const std::string path = TimetablePath(dir, line);
    if (FileExists(path) && !RemoveFile(path))
        messages.ShowMessage(Cp1252("Fehler beim Löschen der Datei: ") + PathForMessage(path));
}

void CascadeRenameLine(const std::string &dir, std::string_view oldName, std::string_view newName,
                       IMessageSink &messages) {
    if (oldName == newName)
        return;
    TStringList routes = LoadNameList(dir, kLineStationsFile);
    const int at = IndexOfName(routes, oldName);
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
}

std::string RenameFileFailedMessage(const std::string &from, const std::string &to) {
    return Cp1252("Fehler beim Umbenennen der Datei: ") + PathForMessage(from) + " in " +
           PathForMessage(to);
}

} // namespace takton
