#include "core/model/registers.h"

#include "core/files/file_io.h"
#include "core/files/write_batch.h"
#include "core/model/master_data.h"
#include "core/model/names.h"
#include "core/model/timetable_file.h"
#include "core/util/cp1252.h"
#include "core/util/text_order.h"

#include <sys/stat.h>

namespace takton {
namespace {

std::string StationAlreadyThere() {
    return "Station schon vorhanden!";
}
std::string LineAlreadyThere() {
    return "Linie schon vorhanden!";
}

// A register as its editor shows it: sorted alphabetically without regard to
// case, in the user's locale.
TStringList LoadSortedRegister(const std::string &dir, std::string_view fileName) {
    TStringList list = LoadNameList(dir, fileName);
    SortTextList(list);
    return list;
}

void InsertSorted(TStringList &list, std::string_view name) {
    list.emplace_back(name);
    SortTextList(list);
}

// True when a name other than the one at index `self` equals it without
// regard to case.
bool OtherHasName(const TStringList &list, std::string_view name, std::size_t self) {
    for (std::size_t i = 0; i < list.size(); ++i)
        if (i != self && SameTextCi(list[i], name))
            return true;
    return false;
}

bool SameFile(const std::string &a, const std::string &b) {
    struct stat sa {
    }, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

} // namespace

TRefusal AddStation(const std::string &dir, std::string_view name, TNewStationMemo memo) {
    if (auto refusal = CheckStationName(name))
        return refusal;
    TStringList stations = LoadSortedRegister(dir, kStationsFile);
    if (IndexOfItem(stations, name) >= 0)
        return StationAlreadyThere();
    InsertSorted(stations, name);
    TWriteBatch batch(dir);
    SaveNameList(dir, kStationsFile, stations);

    if (memo.Remember) {
        TStringList remembered =
            memo.StartNewList ? TStringList{} : LoadNameList(dir, kNewStationsFile);
        remembered.emplace_back(name);
        SaveNameList(dir, kNewStationsFile, remembered);
    }
    batch.Commit();
    return std::nullopt;
}

TRefusal RenameStation(const std::string &dir, std::string_view oldName, std::string_view newName) {
    TStringList stations = LoadSortedRegister(dir, kStationsFile);
    const int at = IndexOfItemExactFirst(stations, oldName);
    if (at < 0)
        return NoSuchStation(oldName);
    const std::string stored = stations[static_cast<std::size_t>(at)];
    if (stored == newName)
        return std::nullopt;
    if (auto refusal = CheckStationName(newName))
        return refusal;
    // Two stations of one name would merge every mention of the old one into
    // the other; only a change of letter case of the station itself is allowed.
    if (OtherHasName(stations, newName, static_cast<std::size_t>(at)))
        return StationAlreadyThere();

    TStringList remembered = LoadNameList(dir, kNewStationsFile);
    const int memoAt = IndexOfItemExactFirst(remembered, stored);
    if (memoAt >= 0) {
        remembered.erase(remembered.begin() + memoAt);
        remembered.emplace_back(newName);
    }
    stations.erase(stations.begin() + at);
    InsertSorted(stations, newName);
    TWriteBatch batch(dir);
    SaveNameList(dir, kStationsFile, stations);
    SaveNameList(dir, kNewStationsFile, remembered);
    CascadeRenameStation(dir, stored, newName);
    batch.Commit();
    return std::nullopt;
}

TRefusal DeleteStation(const std::string &dir, std::string_view name) {
    TStringList stations = LoadSortedRegister(dir, kStationsFile);
    const int at = IndexOfItemExactFirst(stations, name);
    if (at < 0)
        return NoSuchStation(name);
    const std::string stored = stations[static_cast<std::size_t>(at)];

    TStringList remembered = LoadNameList(dir, kNewStationsFile);
    const int memoAt = IndexOfItemExactFirst(remembered, stored);
    if (memoAt >= 0)
        remembered.erase(remembered.begin() + memoAt);
    stations.erase(stations.begin() + at);
    TWriteBatch batch(dir);
    SaveNameList(dir, kStationsFile, stations);
    SaveNameList(dir, kNewStationsFile, remembered);
    CascadeDeleteStation(dir, stored);
    batch.Commit();
    return std::nullopt;
}

TRefusal AddLine(const std::string &dir, std::string_view name) {
    if (auto refusal = CheckLineName(name))
        return refusal;
    TStringList lines = LoadSortedRegister(dir, kLinesFile);
    if (IndexOfItem(lines, name) >= 0)
        return LineAlreadyThere();
    InsertSorted(lines, name);
    TWriteBatch batch(dir);
    SaveNameList(dir, kLinesFile, lines);
    batch.Commit();
    return std::nullopt;
}

TRefusal RenameLine(const std::string &dir, std::string_view oldName, std::string_view newName,
                    IMessageSink &messages) {
    TStringList lines = LoadSortedRegister(dir, kLinesFile);
    const int at = IndexOfItemExactFirst(lines, oldName);
    if (at < 0)
        return NoSuchLine(oldName);
    const std::string stored = lines[static_cast<std::size_t>(at)];
    if (stored == newName)
        return std::nullopt;
    if (auto refusal = CheckLineName(newName))
        return refusal;
    if (OtherHasName(lines, newName, static_cast<std::size_t>(at)))
        return LineAlreadyThere();
    // A stray timetable file under the new name would become this line's
    // timetable while its own stayed behind: refuse before anything is written.
    const std::string from = TimetablePath(dir, stored);
    const std::string to = TimetablePath(dir, newName);
    if (FileExists(from) && FileExists(to) && !SameFile(from, to))
        return RenameFileFailedMessage(from, to);

    lines.erase(lines.begin() + at);
    InsertSorted(lines, newName);
    TWriteBatch batch(dir);
    SaveNameList(dir, kLinesFile, lines);
    CascadeRenameLine(dir, stored, newName, messages);
    batch.Commit();
    return std::nullopt;
}

TRefusal DeleteLine(const std::string &dir, std::string_view name, IMessageSink &messages) {
    TStringList lines = LoadSortedRegister(dir, kLinesFile);
    const int at = IndexOfItemExactFirst(lines, name);
    if (at < 0)
        return NoSuchLine(name);
    const std::string stored = lines[static_cast<std::size_t>(at)];
    lines.erase(lines.begin() + at);
    TWriteBatch batch(dir);
    SaveNameList(dir, kLinesFile, lines);
    CascadeDeleteLine(dir, stored, messages);
    batch.Commit();
    return std::nullopt;
}

std::string NoSuchStation(std::string_view name) {
    return "Die Station " + std::string(name) + " gibt es nicht.";
}

std::string NoSuchLine(std::string_view name) {
    return "Die Linie " + std::string(name) + " gibt es nicht.";
}

} // namespace takton
