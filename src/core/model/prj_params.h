#pragma once

// The project parameters: day groups, the longest driving time between two
// stations and the time of the last save. One instance serves every project
// the program opens in turn.

#include "core/model/operating_days.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace takton {

// Weekday indexes: 0 Monday ... 6 Sunday.
inline constexpr int kWeekDayCount = 7;
inline constexpr std::array<const char *, kWeekDayCount> WeekDayKeys = {
    "monday", "tuesday", "wednesday", "thursday", "friday", "saturday", "sunday"};

// One bit per weekday index.
using TDaySet = std::uint8_t;

inline bool HasDay(TDaySet days, int index) {
    return (days >> index) & 1U;
}
inline TDaySet WithDay(TDaySet days, int index) {
    return static_cast<TDaySet>(days | (1U << index));
}

class TDayGroupItem {
  public:
    std::string Name;
    std::string Text;
    TDaySet Days = 0;
};

// Which data of a station beyond its name the planner keeps: the stations
// editor shows a field for each one switched on.
struct TStationFields {
    bool GeoPosition = true;
    bool TarifZone = false;
    bool TarifRing = false;
    bool operator==(const TStationFields &) const = default;
};

// What a published feed (GTFS) says of the project: who runs the network,
// in which time zone and language, for which days, and what vehicles serve
// lines that name none of their own (line_data.csv).
struct TPublishing {
    std::string AgencyName; // cp1252
    std::string AgencyUrl;
    std::string Timezone = "Europe/Berlin";
    std::string Language = "de";
    std::string FirstDate; // the feed's validity, "JJJJMMTT" as GTFS writes dates;
    std::string LastDate;  // empty while not set
    int RouteType = 3;     // GTFS route_type: 3 is a bus
    bool operator==(const TPublishing &) const = default;
};

class TPrjParams {
  public:
    std::string LastSave;
    std::vector<TDayGroupItem> DayGroups;
    std::int32_t MaxDriveMinutes = 720;
    // The least time to change between two journeys at a station (connection
    // search); staying in the same journey needs none.
    std::int32_t MinChangeMinutes = 2;
    TStationFields StationFields;
    TPublishing Publishing;
    // Holidays, school holidays and special days.
    TOperatingDays Calendar;
};

// Position of the first table entry equal to text (exact), or -1.
int IndexOfText(std::span<const char *const> table, std::string_view text);

// The keys of the set's days in index order, Monday first.
std::vector<std::string> DayKeysOf(TDaySet days);
// The same keys joined by "," as the project file stores them.
std::string DayKeysText(TDaySet days);

} // namespace takton
