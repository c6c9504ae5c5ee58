#include "core/model/operating_days.h"

#include "core/model/ini_file.h"
#include "core/model/prj_params.h"
#include "core/util/cp1252.h"
#include "core/util/error.h"

#include <array>

namespace takton {
namespace {

const std::array<const char *, kWeekDayCount> kWeekdayNames = {
    "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag", "Sonntag"};

} // namespace

std::string TreatmentKey(const TSpecialDay &day) {
    switch (day.Treatment) {
    case TDayTreatment::NoService:
        return "none";
    case TDayTreatment::AsWeekday:
        return std::string("as-") + WeekDayKeys[static_cast<std::size_t>(day.Weekday)];
    case TDayTreatment::Usual:
        break;
    }
    return "usual";
}

bool ParseTreatmentKey(std::string_view key, TSpecialDay &day) {
    if (key == "none" || key == "usual") {
        day.Treatment = key == "none" ? TDayTreatment::NoService : TDayTreatment::Usual;
        day.Weekday = 0;
        return true;
    }
    if (key.substr(0, 3) != "as-")
        return false;
    const int weekday = IndexOfText(WeekDayKeys, key.substr(3));
    if (weekday < 0)
        return false;
    day.Treatment = TDayTreatment::AsWeekday;
    day.Weekday = weekday;
    return true;
}

std::string TreatmentText(const TSpecialDay &day) {
    switch (day.Treatment) {
    case TDayTreatment::NoService:
        return "kein Verkehr";
    case TDayTreatment::AsWeekday:
        return std::string("wie ") + kWeekdayNames[static_cast<std::size_t>(day.Weekday)];
    case TDayTreatment::Usual:
        break;
    }
    return Cp1252("wie üblich");
}

namespace {

std::string NumberedKey(std::string_view stem, std::size_t number) {
    return std::string(stem) + "_" + std::to_string(number);
}

// "2026-03-30..2026-04-10 Osterferien": the dates, then the rest of the value.
bool SplitDatesAndRest(const std::string &value, TDateRange &dates, std::string &rest) {
    const std::size_t blank = value.find(' ');
    try {
        dates = ParseDateRange(value.substr(0, blank));
    } catch (const TaktonError &) {
        return false;
    }
    rest = blank == std::string::npos ? std::string() : value.substr(blank + 1);
    return true;
}

} // namespace

TOperatingDays ReadOperatingDays(const TIniFile &ini) {
    TOperatingDays days;
    days.Land = ini.ReadString(kCalendarSection, "land", "");
    try {
        days.ExtraHolidays = ParseDateList(ini.ReadString(kCalendarSection, "holidays", ""));
    } catch (const TaktonError &) {
        days.ExtraHolidays.clear();
    }
    for (const auto &[key, value] : ini.ReadSectionValues(kCalendarSection)) {
        TDateRange dates;
        std::string rest;
        if (key.rfind("school_holiday_", 0) == 0 && SplitDatesAndRest(value, dates, rest)) {
            days.SchoolHolidays.push_back({dates, rest});
        } else if (key.rfind("special_day_", 0) == 0 && SplitDatesAndRest(value, dates, rest)) {
            TSpecialDay special;
            special.Dates = dates;
            if (ParseTreatmentKey(rest, special))
                days.SpecialDays.push_back(special);
        }
    }
    return days;
}

void WriteOperatingDays(TIniFile &ini, const TOperatingDays &days) {
    if (days.Empty() && !ini.SectionHasKeys(kCalendarSection))
        return;
    ini.EraseSection(kCalendarSection);
    if (days.Empty())
        return;
    if (!days.Land.empty())
        ini.WriteString(kCalendarSection, "land", days.Land);
    if (!days.ExtraHolidays.empty())
        ini.WriteString(kCalendarSection, "holidays", DateListText(days.ExtraHolidays));
    for (std::size_t i = 0; i < days.SchoolHolidays.size(); ++i) {
        const TSchoolHoliday &holiday = days.SchoolHolidays[i];
        std::string value = DateRangeText(holiday.Dates);
        if (!holiday.Name.empty())
            value += " " + holiday.Name;
        ini.WriteString(kCalendarSection, NumberedKey("school_holiday", i + 1), value);
    }
    for (std::size_t i = 0; i < days.SpecialDays.size(); ++i) {
        const TSpecialDay &special = days.SpecialDays[i];
        ini.WriteString(kCalendarSection, NumberedKey("special_day", i + 1),
                        DateRangeText(special.Dates) + " " + TreatmentKey(special));
    }
}

} // namespace takton
