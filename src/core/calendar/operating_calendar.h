#pragma once

// The one answer to "does this journey run on this date, and when": the
// project's operating days (public holidays of its Land, added holidays,
// school holidays, special days) laid out over a period once, then asked
// for each date. A public holiday runs the timetable of the day groups that
// hold Sunday, unless a special day gives the date a treatment of its own.
// Every output (feed export, search, print, the command line) goes through
// here.

#include "core/calendar/holidays.h"
#include "core/model/footnotes.h"
#include "core/model/operating_days.h"
#include "core/model/prj_params.h"

#include <cstdint>
#include <string>
#include <vector>

namespace takton::calendar {

class TOperatingCalendar {
  public:
    TOperatingCalendar(const TOperatingDays &days, TDateRange period);

    const TDateRange &Period() const { return period_; }
    bool Covers(TDate date) const { return period_.Contains(date); }

    // The weekday (0 Monday ... 6 Sunday) whose timetable runs on the date;
    // -1 for no service and for a date outside the period.
    int ServiceWeekday(TDate date) const;
    // A public holiday of the Land or one the planner added.
    bool IsHoliday(TDate date) const;
    // The holiday's name; empty for an added one without a name.
    std::string HolidayName(TDate date) const;
    bool IsSchoolHoliday(TDate date) const;
    // Monday to Friday by its timetable, neither holiday nor school holiday.
    bool IsSchoolDay(TDate date) const;

  private:
    enum : std::uint8_t { kHoliday = 1, kSchoolHoliday = 2 };
    std::size_t Index(TDate date) const {
        return static_cast<std::size_t>(date.Day - period_.First.Day);
    }

    TDateRange period_;
    std::vector<std::int8_t> weekday_;
    std::vector<std::uint8_t> flags_;
    std::vector<THoliday> named_;
};

// Whether a journey of a day group with these days and this footnote
// (nullptr: none) runs on the operating day. A night journey of the
// previous operating day runs on the same operating days; only its clock
// times move past midnight (RunMinutes).
bool JourneyRuns(const TOperatingCalendar &calendar, TDaySet groupDays, const TFootnote *footnote,
                 TDate day);
// Whether public holidays run the day group's timetable: the project knows
// holidays (a Land or dates of its own) and the group holds Sunday, whose
// timetable a holiday runs.
bool HolidaysRunGroup(const TOperatingDays &days, TDaySet groupDays);
// The operating days of the range, in order, on which the journey runs.
std::vector<TDate> JourneyRunDates(const TOperatingCalendar &calendar, TDaySet groupDays,
                                   const TFootnote *footnote, TDateRange range);
// A clock time of the journey as minutes after the start of its operating
// day: a night journey of the previous day runs 24 hours later than its
// clock shows (00:10 is 24:10).
inline int RunMinutes(int clockMinutes, bool previousDayNight) {
    return previousDayNight ? clockMinutes + 1440 : clockMinutes;
}

// The validity period of the publishing data; nothing while it is not set
// or runs backwards.
std::optional<TDateRange> ValidityPeriod(const TPublishing &publishing);

} // namespace takton::calendar
