#include "core/model/station_import.h"

#include "core/model/master_data.h"
#include "core/model/station_data.h"
#include "core/util/cp1252.h"
#include "core/util/csv_reader.h"
#include "core/util/error.h"

#include <algorithm>
#include <array>
#include <optional>

namespace takton {
namespace {

using TRecord = std::vector<std::string>;

std::string Decoded(std::string_view bytes) {
    constexpr std::string_view bom = "\xEF\xBB\xBF";
    if (bytes.starts_with(bom))
        bytes.remove_prefix(bom.size());
    return IsValidUtf8(bytes) ? Utf8ToCp1252Lossy(bytes) : std::string(bytes);
}

// The separator the header line uses most: ";", "\t" or ",".
char SeparatorOf(std::string_view text) {
    const std::string_view header = text.substr(0, text.find_first_of("\r\n"));
    const auto count = [&](char c) { return std::count(header.begin(), header.end(), c); };
    const auto semicolons = count(';');
    const auto tabs = count('\t');
    const auto commas = count(',');
    if (semicolons > commas && semicolons >= tabs)
        return ';';
    if (tabs > commas)
        return '\t';
    return ',';
}

// The file's records; a record of one empty field is no record.
std::vector<TRecord> SplitRecords(std::string_view text, char separator) {
    std::vector<TRecord> records;
    TCsvReader reader(CsvTextSource(text), separator);
    while (reader.Next()) {
        if (reader.Size() == 1 && reader.Field(0).empty())
            continue;
        TRecord record;
        for (std::size_t i = 0; i < reader.Size(); ++i)
            record.emplace_back(reader.Field(i));
        records.push_back(std::move(record));
    }
    return records;
}

std::string Trimmed(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.remove_suffix(1);
    return std::string(text);
}

enum TColumn { kName, kLat, kLon, kZone, kRing, kColumnCount };

// Header names as written in UTF-8; compared without regard to case.
const std::array<std::vector<std::string_view>, kColumnCount> kHeaderNames = {{
    {"name", "stop_name", "station", "stationsname", "haltestelle", "haltestellenname"},
    {"lat", "latitude", "breite", "breitengrad", "stop_lat", "geo-position breite"},
    {"lon", "lng", "long", "longitude", "länge", "laenge", "längengrad", "stop_lon",
     "geo-position länge"},
    {"zone", "zone_id", "tarifzone", "fare_zone"},
    {"ring", "tarifring", "fare_ring"},
}};

std::optional<TColumn> ColumnOf(const std::string &header) {
    for (int column = 0; column < kColumnCount; ++column)
        for (std::string_view name : kHeaderNames[static_cast<std::size_t>(column)])
            if (SameTextCi(header, Cp1252(name)))
                return static_cast<TColumn>(column);
    return std::nullopt;
}

std::string Cell(const TRecord &record, std::optional<std::size_t> at) {
    return at && *at < record.size() ? Trimmed(record[*at]) : std::string();
}

} // namespace

bool IsValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
        const unsigned char lead = byte(i);
        std::size_t length = 0;
        unsigned min = 0;
        unsigned code = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2, min = 0x80, code = lead & 0x1Fu;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, min = 0x800, code = lead & 0x0Fu;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, min = 0x10000, code = lead & 0x07u;
        } else {
            return false;
        }
        if (i + length > bytes.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((byte(i + k) & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (byte(i + k) & 0x3Fu);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

TStationCsv ReadStationCsv(std::string_view bytes) {
    const std::string text = Decoded(bytes);
    const std::vector<TRecord> records = SplitRecords(text, SeparatorOf(text));
    std::array<std::optional<std::size_t>, kColumnCount> at;
    if (!records.empty())
        for (std::size_t i = 0; i < records[0].size(); ++i)
            if (const auto column = ColumnOf(Trimmed(records[0][i])); column && !at[*column])
                at[*column] = i;
    if (!at[kName] || !at[kLat] || !at[kLon])
        throw TaktonError(
            Cp1252("Die erste Zeile der Datei muss die Spalten für Name, Breite und Länge "
                   "benennen (z. B. \"name;lat;lon\", \"Name;Breite;Länge\" oder "
                   "\"stop_name,stop_lat,stop_lon\")."));
    TStationCsv csv;
    csv.HasZone = at[kZone].has_value();
    csv.HasRing = at[kRing].has_value();
    for (std::size_t r = 1; r < records.size(); ++r) {
        const TRecord &record = records[r];
        TStationCsvRow row{r + 1,
                           Cell(record, at[kName]),
                           Cell(record, at[kLat]),
                           Cell(record, at[kLon]),
                           Cell(record, at[kZone]),
                           Cell(record, at[kRing])};
        if (!row.Name.empty())
            csv.Rows.push_back(std::move(row));
    }
    return csv;
}

TStationImportResult ImportStationData(const std::string &dir, std::string_view bytes) {
    const TStationCsv csv = ReadStationCsv(bytes);
    const TStringList stations = LoadNameList(dir, kStationsFile);
    TStationDataList list = LoadStationData(dir);
    TStationImportResult result;
    const auto listed = [](const std::vector<std::string> &names, const std::string &name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    std::vector<std::string> taken;
    for (const TStationCsvRow &row : csv.Rows) {
        if (!listed(stations, row.Name)) {
            if (!listed(result.NotFound, row.Name))
                result.NotFound.push_back(row.Name);
            continue;
        }
        if (listed(taken, row.Name))
            continue;
        taken.push_back(row.Name);
        const TStationDataInput input{!row.Lat.empty() || !row.Lon.empty(),
                                      row.Lat,
                                      row.Lon,
                                      !row.Zone.empty(),
                                      row.Zone,
                                      !row.Ring.empty(),
                                      row.Ring};
        const TStationData *had = FindStationData(list, row.Name);
        TStationData data = had ? *had : TStationData{};
        if (const auto why = ApplyStationDataInput(input, data)) {
            result.Refused.push_back("Zeile " + std::to_string(row.Record) + " (" + row.Name +
                                     "): " + *why);
            continue;
        }
        SetStationData(list, row.Name, data);
        result.Stored.push_back(row.Name);
    }
    if (!result.Stored.empty())
        SaveStationData(dir, list);
    return result;
}

} // namespace takton
