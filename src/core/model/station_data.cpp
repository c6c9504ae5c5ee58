#include "core/model/station_data.h"

#include "core/files/file_io.h"
#include "core/model/master_data.h"
#include "core/util/cp1252.h"
#include "core/util/trim.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace takton {
namespace {

// The parts of a value at ",", empty ones too; missing ones are empty.
std::vector<std::string_view> ValueParts(std::string_view value) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = value.find(',', start);
        parts.push_back(
            value.substr(start, comma == std::string_view::npos ? value.npos : comma - start));
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    parts.resize(std::max<std::size_t>(parts.size(), 4));
    return parts;
}

bool InRange(const TGeoPosition &position) {
    return position.Lat >= -90 && position.Lat <= 90 && position.Lon >= -180 && position.Lon <= 180;
}

TStationDataList::iterator EntryOf(TStationDataList &list, std::string_view station,
                                   bool exactOnly = false) {
    for (auto it = list.begin(); it != list.end(); ++it)
        if (it->first == station)
            return it;
    if (exactOnly)
        return list.end();
    for (auto it = list.begin(); it != list.end(); ++it)
        if (SameTextCi(it->first, station))
            return it;
    return list.end();
}

std::optional<std::string> CheckShortText(const std::string &text, std::string_view what) {
    if (text.find_first_of(",=") != std::string::npos)
        return Cp1252("Die ") + std::string(what) +
               Cp1252(" darf kein \",\" und kein \"=\" enthalten.");
    if (text.size() > kMaxStationDataText)
        return Cp1252("Die ") + std::string(what) + Cp1252(" darf höchstens ") +
               std::to_string(kMaxStationDataText) + Cp1252(" Zeichen lang sein.");
    return std::nullopt;
}

std::optional<std::string> ReadPosition(const TStationDataInput &input,
                                        std::optional<TGeoPosition> &position) {
    const std::string_view lat = TrimBlanks(input.Lat);
    const std::string_view lon = TrimBlanks(input.Lon);
    if (lat.empty() && lon.empty()) {
        position.reset();
        return std::nullopt;
    }
    if (lat.empty() || lon.empty())
        return Cp1252("Eine Geo-Position braucht Breite und Länge; bitte beide eingeben "
                      "oder beide leeren.");
    const auto latValue = ParseCoordinate(lat);
    if (!latValue || *latValue < -90 || *latValue > 90)
        return Cp1252("Die Breite muss eine Zahl von -90 bis 90 Grad sein, z. B. 52,5200.");
    const auto lonValue = ParseCoordinate(lon);
    if (!lonValue || *lonValue < -180 || *lonValue > 180)
        return Cp1252("Die Länge muss eine Zahl von -180 bis 180 Grad sein, z. B. 13,4050.");
    // Kept as stored, so that what is shown is what the file holds.
    position = TGeoPosition{*ParseCoordinate(FormatCoordinate(*latValue)),
                            *ParseCoordinate(FormatCoordinate(*lonValue))};
    return std::nullopt;
}

} // namespace

std::optional<std::string> ApplyStationDataInput(const TStationDataInput &input,
                                                 TStationData &data) {
    TStationData result = data;
    if (input.WithPosition)
        if (auto refusal = ReadPosition(input, result.Position))
            return refusal;
    if (input.WithZone) {
        result.Zone = std::string(TrimBlanks(input.Zone));
        if (auto refusal = CheckShortText(result.Zone, "Tarifzone"))
            return refusal;
    }
    if (input.WithRing) {
        result.Ring = std::string(TrimBlanks(input.Ring));
        if (auto refusal = CheckShortText(result.Ring, "Tarifring"))
            return refusal;
    }
    data = std::move(result);
    return std::nullopt;
}

TStationData LoadOneStationData(const std::string &dir, std::string_view station) {
    const TStationDataList list = LoadStationData(dir);
    const TStationData *found = FindStationData(list, station, StationHasCaseVariant(dir, station));
    return found ? *found : TStationData{};
}

void StoreStationData(const std::string &dir, std::string_view station, const TStationData &data) {
    TStationDataList list = LoadStationData(dir);
    const bool exactOnly = StationHasCaseVariant(dir, station);
    const TStationData *found = FindStationData(list, station, exactOnly);
    if (!found && data.Empty())
        return;
    SetStationData(list, station, data, exactOnly);
    SaveStationData(dir, list);
}

void RenameStationData(const std::string &dir, std::string_view oldName, std::string_view newName,
                       bool exactOnly) {
    TStationDataList list = LoadStationData(dir);
    const auto entry = EntryOf(list, oldName, exactOnly);
    if (entry == list.end())
        return;
    entry->first = std::string(newName);
    SaveStationData(dir, list);
}

void DeleteStationData(const std::string &dir, std::string_view station, bool exactOnly) {
    TStationDataList list = LoadStationData(dir);
    const auto entry = EntryOf(list, station, exactOnly);
    if (entry == list.end())
        return;
    list.erase(entry);
    SaveStationData(dir, list);
}

std::string FormatCoordinate(double degrees) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", degrees);
    std::string result(text);
    while (!result.empty() && result.back() == '0')
        result.pop_back();
    if (!result.empty() && result.back() == '.')
        result.pop_back();
    if (result == "-0")
        result = "0";
    return result;
}

std::optional<double> ParseCoordinate(std::string_view text) {
    std::string plain(TrimBlanks(text));
    for (char &c : plain)
        if (c == ',')
            c = '.';
    if (plain.empty() || plain.find_first_not_of("+-.0123456789") != std::string::npos)
        return std::nullopt;
    if (plain.front() == '+')
        plain.erase(0, 1);
    double value = 0;
    const char *end = plain.data() + plain.size();
    const auto [ptr, ec] = std::from_chars(plain.data(), end, value);
    if (ec != std::errc() || ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string StationDataValue(const TStationData &data) {
    std::string value;
    if (data.Position)
        value = FormatCoordinate(data.Position->Lat) + ',' + FormatCoordinate(data.Position->Lon);
    else
        value = ",";
    value += ',';
    value += data.Zone;
    value += ',';
    value += data.Ring;
    return value;
}

TStationData ParseStationDataValue(std::string_view value) {
    const std::vector<std::string_view> parts = ValueParts(value);
    TStationData data;
    const auto lat = ParseCoordinate(parts[0]);
    const auto lon = ParseCoordinate(parts[1]);
    if (lat && lon && InRange({*lat, *lon}))
        data.Position = TGeoPosition{*lat, *lon};
    data.Zone = std::string(TrimBlanks(parts[2]));
    data.Ring = std::string(TrimBlanks(parts[3]));
    return data;
}

TStationDataList LoadStationData(const std::string &dir) {
    TStationDataList list;
    for (const std::string &entry : LoadTextList(ProjectPath(dir, kStationDataFile)))
        if (HasEntryName(entry))
            list.emplace_back(EntryName(entry), ParseStationDataValue(EntryValue(entry)));
    return list;
}

void SaveStationData(const std::string &dir, const TStationDataList &list) {
    TStringList lines;
    for (const auto &[name, data] : list)
        if (!data.Empty())
            lines.push_back(name + '=' + StationDataValue(data));
    const std::string path = ProjectPath(dir, kStationDataFile);
    if (lines.empty() && !FileExists(path))
        return;
    SaveTextList(path, lines);
}

const TStationData *FindStationData(const TStationDataList &list, std::string_view station,
                                    bool exactOnly) {
    for (const auto &[name, data] : list)
        if (name == station)
            return &data;
    if (exactOnly)
        return nullptr;
    for (const auto &[name, data] : list)
        if (SameTextCi(name, station))
            return &data;
    return nullptr;
}

void SetStationData(TStationDataList &list, std::string_view station, const TStationData &data,
                    bool exactOnly) {
    auto found = list.end();
    for (auto it = list.begin(); it != list.end(); ++it)
        if (it->first == station) {
            found = it;
            break;
        }
    if (found == list.end() && !exactOnly)
        for (auto it = list.begin(); it != list.end(); ++it)
            if (SameTextCi(it->first, station)) {
                found = it;
                break;
            }
    if (data.Empty()) {
        if (found != list.end())
            list.erase(found);
        return;
    }
    if (found != list.end())
        found->second = data;
    else
        list.emplace_back(std::string(station), data);
}

} // namespace takton
