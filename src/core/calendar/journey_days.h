#pragma once

// What decides the days of one journey of the project, read from its files:
// the day group's weekdays, the footnote the journey carries and whether it
// is a night journey of the previous operating day.

#include "core/calendar/operating_calendar.h"
#include "core/model/timetable_file.h"

#include <optional>
#include <string>

namespace takton::calendar {

struct TJourneyDays {
    TDaySet GroupDays = 0;
    std::optional<TFootnote> Footnote;
    bool PreviousDayNight = false;
};

// The journey (numbered from 1) of the line's timetable of direction and day
// group. Raises TaktonError with a German message for a day group the
// project lacks and a footnote symbol the project does not know.
TJourneyDays ReadJourneyDays(const std::string &dir, const TPrjParams &params,
                             const std::string &line, int direction, const std::string &dayGroup,
                             int journey);

// The operating days from first to last on which the journey runs.
std::vector<TDate> JourneyRunDates(const TPrjParams &params, const TJourneyDays &journey,
                                   TDateRange range);

} // namespace takton::calendar
