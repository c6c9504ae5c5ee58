#pragma once

// School holidays from an iCalendar file (.ics) as the Länder publish them:
// each all-day event is one period, its summary the period's name.

#include "core/model/operating_days.h"

#include <string>
#include <string_view>
#include <vector>

namespace takton::calendar {

// The periods of the calendar text in date order. An event with a time of
// day counts for every day it touches. Raises TaktonError with a German
// message when the text is no iCalendar data or holds no event with a date.
std::vector<TSchoolHoliday> ReadSchoolHolidaysIcs(std::string_view text);

// The periods added to those known, each period once, in date order.
std::vector<TSchoolHoliday> MergeSchoolHolidays(std::vector<TSchoolHoliday> known,
                                                const std::vector<TSchoolHoliday> &added);

} // namespace takton::calendar
