#pragma once

// Station data in bulk from a CSV file as spreadsheets and feeds export it:
// a header row names the columns (name, latitude, longitude, and optionally
// fare zone and ring, in German or English, GTFS "stops.txt" names too),
// separated by "," or ";" (decided from the header) or tabs, fields quoted as
// in RFC 4180. UTF-8 (with or without byte order mark) when the bytes are
// valid UTF-8, code page 1252 otherwise. A decimal comma is taken, as in a
// semicolon file.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace takton {

struct TStationCsvRow {
    std::size_t Record = 0; // 1 is the header
    std::string Name;       // cp1252, blanks around it removed
    std::string Lat;
    std::string Lon;
    std::string Zone;
    std::string Ring;
};

struct TStationCsv {
    bool HasZone = false;
    bool HasRing = false;
    std::vector<TStationCsvRow> Rows; // rows without a name are left out
};

// Reads the bytes of a file. Raises TaktonError (German) when the header
// lacks a column for the name, the latitude or the longitude.
TStationCsv ReadStationCsv(std::string_view bytes);

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view bytes);

struct TStationImportResult {
    std::vector<std::string> Stored;   // stations that took data, in file order
    std::vector<std::string> NotFound; // names without a station, each once
    std::vector<std::string> Refused;  // "Zeile N (Name): why", German
};

// Stores the data of every row whose name is a station of the register,
// compared exactly, letter case included (the first row of a name counts;
// GTFS lists a stop once per platform). Non-empty cells replace what the
// station had, empty ones keep it. The station data file is written once,
// crash-safe, and only when a station took data.
TStationImportResult ImportStationData(const std::string &dir, std::string_view bytes);

} // namespace takton
