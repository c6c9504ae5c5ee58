#pragma once

// The data of stations beyond their names: a geo position (latitude and
// longitude in degrees, WGS 84), a fare zone and a fare ring. Kept in a file of
// its own beside the station register, so that a project without such data
// keeps exactly the files it had: "station_data.csv", one entry per station,
// "Name=latitude,longitude,zone,ring" (cp1252, CR LF, the list text rules;
// empty parts stay empty, "Nordstadt=,,B,2"). Coordinates are written with a
// point and at most six decimals.

#include "core/model/list_text.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace takton {

inline constexpr std::string_view kStationDataFile = "station_data.csv";
// The longest fare zone or ring a planner may type.
inline constexpr std::size_t kMaxStationDataText = 20;

struct TGeoPosition {
    double Lat = 0; // -90 .. 90
    double Lon = 0; // -180 .. 180
    bool operator==(const TGeoPosition &) const = default;
};

struct TStationData {
    std::optional<TGeoPosition> Position;
    std::string Zone; // short texts without "," or "="
    std::string Ring;
    bool Empty() const { return !Position && Zone.empty() && Ring.empty(); }
    bool operator==(const TStationData &) const = default;
};

// Station name (cp1252, as the register holds it) and its data, in file order.
using TStationDataList = std::vector<std::pair<std::string, TStationData>>;

// A missing file gives an empty list. Parts that do not read as numbers in
// range are taken as missing (the entry keeps its zone and ring).
TStationDataList LoadStationData(const std::string &dir);
// Writes the file whole (crash-safe). Entries without any data are left out;
// when none is left and there is no file yet, no file is made.
void SaveStationData(const std::string &dir, const TStationDataList &list);

// The entry of a station: the exact name first, then without regard to case;
// null when there is none.
const TStationData *FindStationData(const TStationDataList &list, std::string_view station,
                                    bool exactOnly = false);
// Sets (or, with empty data, removes) the entry of a station, found as above;
// a new entry goes to the end.
void SetStationData(TStationDataList &list, std::string_view station, const TStationData &data,
                    bool exactOnly = false);

// One entry's value and back.
std::string StationDataValue(const TStationData &data);
TStationData ParseStationDataValue(std::string_view value);

// The fields as a planner types them (cp1252). Only the parts a form shows
// are read; the others keep what the station had.
struct TStationDataInput {
    bool WithPosition = true;
    std::string Lat;
    std::string Lon;
    bool WithZone = true;
    std::string Zone;
    bool WithRing = true;
    std::string Ring;
};

// Checks typed data and, when it is right, applies it to the station's data:
// a position needs both coordinates in range (both empty: no position), at
// most six decimals are kept; zone and ring must not hold "," or "=" and are
// taken without blanks around them. Gives the German refusal (cp1252), and
// then leaves data unchanged.
std::optional<std::string> ApplyStationDataInput(const TStationDataInput &input,
                                                 TStationData &data);

// The data of one station in the project's file, found as above; empty when
// it has none.
TStationData LoadOneStationData(const std::string &dir, std::string_view station);
// Stores one station's data in the project's file (crash-safe); empty data
// removes its entry.
void StoreStationData(const std::string &dir, std::string_view station, const TStationData &data);
// The cascades of a renamed or deleted station: its own entry only, found as
// the register finds the station (exact name first, then without regard to
// case, unless exactOnly); "Berg" never reaches "Bergheim". No file is made
// where none was.
void RenameStationData(const std::string &dir, std::string_view oldName, std::string_view newName,
                       bool exactOnly = false);
void DeleteStationData(const std::string &dir, std::string_view station, bool exactOnly = false);

// A coordinate as stored: a point, at most six decimals, no trailing zeros
// ("52.52", "13.405", "-0.1278", "7").
std::string FormatCoordinate(double degrees);
// A coordinate as a planner types it: a decimal comma or point, blanks around
// it allowed ("52,5200", " 13.405 "); nothing else. No range check.
std::optional<double> ParseCoordinate(std::string_view text);

} // namespace takton
