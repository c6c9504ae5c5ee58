#pragma once

// What the project knows of its operating days beyond the weekdays: the
// Bundesland whose public holidays apply, dates the planner adds as holidays,
// school holidays and special days with a treatment of their own. Kept in the
// project file's section "calendar".

#include "core/model/calendar_date.h"

#include <string>
#include <string_view>
#include <vector>

namespace takton {

// How a special day runs: no service, as one weekday, or as usual (its own
// weekday, also where it is a public holiday).
enum class TDayTreatment { NoService, AsWeekday, Usual };

struct TSpecialDay {
    TDateRange Dates;
    TDayTreatment Treatment = TDayTreatment::Usual;
    int Weekday = 0; // 0 Monday ... 6 Sunday, for AsWeekday
    bool operator==(const TSpecialDay &) const = default;
};

struct TSchoolHoliday {
    TDateRange Dates;
    std::string Name; // cp1252, may be empty
    bool operator==(const TSchoolHoliday &) const = default;
};

struct TOperatingDays {
    std::string Land; // ISO 3166-2:DE without "DE-" ("SN"); empty: no holidays
    TDateList ExtraHolidays;
    std::vector<TSchoolHoliday> SchoolHolidays;
    std::vector<TSpecialDay> SpecialDays;
    bool Empty() const {
        return Land.empty() && ExtraHolidays.empty() && SchoolHolidays.empty() &&
               SpecialDays.empty();
    }
    bool operator==(const TOperatingDays &) const = default;
};

// "none", "as-monday" ... "as-sunday", "usual" as files and the command line
// write a treatment.
std::string TreatmentKey(const TSpecialDay &day);
// Sets the treatment from its key; false for an unknown key.
bool ParseTreatmentKey(std::string_view key, TSpecialDay &day);
// "kein Verkehr", "wie Samstag", "wie üblich" (cp1252).
std::string TreatmentText(const TSpecialDay &day);

class TIniFile;

inline constexpr std::string_view kCalendarSection = "calendar";

// Reads the section "calendar"; entries that are not understood are left out
// (reading never fails). No section: no holidays, no special days.
TOperatingDays ReadOperatingDays(const TIniFile &ini);
// Rewrites the section whole; a project that never had one gets none while
// there is nothing to write.
void WriteOperatingDays(TIniFile &ini, const TOperatingDays &days);

} // namespace takton
