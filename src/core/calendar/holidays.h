#pragma once

// The statewide public holidays of the German Länder. Holidays of only some
// municipalities (Augsburger Friedensfest, Fronleichnam in parts of Saxony
// and Thuringia, Mariä Himmelfahrt in Bavaria) and one-off holidays are not
// here: the planner adds such dates to the project.

#include "core/model/calendar_date.h"

#include <string>
#include <string_view>
#include <vector>

namespace takton::calendar {

struct TLand {
    const char *Code; // ISO 3166-2:DE without "DE-"
    const char *Name; // German, cp1252
};

// The sixteen Länder in the order of their codes' list (BW BY BE BB HB HH HE
// MV NI NW RP SL SN ST SH TH).
const std::vector<TLand> &Laender();
// The Land of a code (exact, upper case); nullptr when there is none.
const TLand *FindLand(std::string_view code);

struct THoliday {
    TDate Date;
    std::string Name; // cp1252
    bool operator==(const THoliday &) const = default;
};

// Easter Sunday of a year of the Gregorian calendar.
TDate EasterSunday(int year);
// The Wednesday before 23 November.
TDate RepentanceDay(int year);

// The statewide holidays of the Land in the year, in date order. An unknown
// code gives none.
std::vector<THoliday> PublicHolidays(std::string_view land, int year);

} // namespace takton::calendar
