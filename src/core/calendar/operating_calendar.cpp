#include "core/calendar/operating_calendar.h"

#include <algorithm>

namespace takton::calendar {

TOperatingCalendar::TOperatingCalendar(const TOperatingDays &days, TDateRange period)
    : period_(period) {
    const auto size =
        static_cast<std::size_t>(std::max(0L, period.Last.Day - period.First.Day + 1));
    weekday_.resize(size);
    flags_.assign(size, 0);
    for (std::size_t i = 0; i < size; ++i)
        weekday_[i] = static_cast<std::int8_t>(WeekdayOf(period.First + static_cast<long>(i)));
    if (size == 0)
        return;
    for (int year = YearOf(period.First); year <= YearOf(period.Last); ++year)
        for (auto &holiday : PublicHolidays(days.Land, year))
            if (Covers(holiday.Date)) {
                flags_[Index(holiday.Date)] |= kHoliday;
                named_.push_back(std::move(holiday));
            }
    const auto mark = [&](const TDateRange &range, std::uint8_t flag) {
        const TDate first = std::max(range.First, period_.First);
        const TDate last = std::min(range.Last, period_.Last);
        for (TDate date = first; date <= last; date = date + 1)
            flags_[Index(date)] |= flag;
    };
    for (const auto &range : days.ExtraHolidays)
        mark(range, kHoliday);
    for (const auto &holiday : days.SchoolHolidays)
        mark(holiday.Dates, kSchoolHoliday);
    for (std::size_t i = 0; i < size; ++i)
        if (flags_[i] & kHoliday)
            weekday_[i] = 6;
    // Special days last: the planner's word beats the holiday rule. A later
    // entry beats an earlier one.
    for (const auto &special : days.SpecialDays) {
        const TDate first = std::max(special.Dates.First, period_.First);
        const TDate last = std::min(special.Dates.Last, period_.Last);
        for (TDate date = first; date <= last; date = date + 1) {
            std::int8_t &weekday = weekday_[Index(date)];
            switch (special.Treatment) {
            case TDayTreatment::NoService:
                weekday = -1;
                break;
            case TDayTreatment::AsWeekday:
                weekday = static_cast<std::int8_t>(special.Weekday);
                break;
            case TDayTreatment::Usual:
                weekday = static_cast<std::int8_t>(WeekdayOf(date));
                break;
            }
        }
    }
}

int TOperatingCalendar::ServiceWeekday(TDate date) const {
    return Covers(date) ? weekday_[Index(date)] : -1;
}

bool TOperatingCalendar::IsHoliday(TDate date) const {
    return Covers(date) && (flags_[Index(date)] & kHoliday);
}

std::string TOperatingCalendar::HolidayName(TDate date) const {
    for (const auto &holiday : named_)
        if (holiday.Date == date)
            return holiday.Name;
    return {};
}

bool TOperatingCalendar::IsSchoolHoliday(TDate date) const {
    return Covers(date) && (flags_[Index(date)] & kSchoolHoliday);
}

bool TOperatingCalendar::IsSchoolDay(TDate date) const {
    if (!Covers(date))
        return false;
    const std::size_t i = Index(date);
    return weekday_[i] >= 0 && weekday_[i] <= 4 && flags_[i] == 0;
}

bool JourneyRuns(const TOperatingCalendar &calendar, TDaySet groupDays, const TFootnote *footnote,
                 TDate day) {
    if (!calendar.Covers(day))
        return false;
    if (footnote) {
        if (ListContains(footnote->NotOn, day))
            return false;
        if (!footnote->OnlyOn.empty())
            return ListContains(footnote->OnlyOn, day);
        if (ListContains(footnote->AlsoOn, day))
            return true;
    }
    const int weekday = calendar.ServiceWeekday(day);
    if (weekday < 0 || !HasDay(groupDays, weekday))
        return false;
    if (!footnote)
        return true;
    switch (footnote->Days) {
    case TFootnoteDays::SchoolDays:
        return calendar.IsSchoolDay(day);
    case TFootnoteDays::SchoolHolidays:
        return calendar.IsSchoolHoliday(day);
    case TFootnoteDays::All:
        break;
    }
    return true;
}

bool HolidaysRunGroup(const TOperatingDays &days, TDaySet groupDays) {
    return HasDay(groupDays, 6) && (FindLand(days.Land) || !days.ExtraHolidays.empty());
}

std::vector<TDate> JourneyRunDates(const TOperatingCalendar &calendar, TDaySet groupDays,
                                   const TFootnote *footnote, TDateRange range) {
    std::vector<TDate> dates;
    const TDate first = std::max(range.First, calendar.Period().First);
    const TDate last = std::min(range.Last, calendar.Period().Last);
    for (TDate date = first; date <= last; date = date + 1)
        if (JourneyRuns(calendar, groupDays, footnote, date))
            dates.push_back(date);
    return dates;
}

std::optional<TDateRange> ValidityPeriod(const TPublishing &publishing) {
    const auto first = ParseCompactDate(publishing.FirstDate);
    const auto last = ParseCompactDate(publishing.LastDate);
    if (!first || !last || *last < *first)
        return std::nullopt;
    return TDateRange{*first, *last};
}

} // namespace takton::calendar
