#include "core/calendar/ics_reader.h"

#include "core/util/cp1252.h"
#include "core/util/error.h"

#include <algorithm>
#include <libical/ical.h>
#include <memory>
#include <mutex>

namespace takton::calendar {
namespace {

struct TComponentFree {
    void operator()(icalcomponent *component) const { icalcomponent_free(component); }
};
using TComponent = std::unique_ptr<icalcomponent, TComponentFree>;

std::optional<TDate> DateOfTime(const icaltimetype &time) {
    if (icaltime_is_null_time(time) || !icaltime_is_valid_time(time))
        return std::nullopt;
    return DateOf(time.year, time.month, time.day);
}

// The period of one event; nothing when it has no usable start.
std::optional<TDateRange> EventDates(icalcomponent *event) {
    const icaltimetype start = icalcomponent_get_dtstart(event);
    const auto first = DateOfTime(start);
    if (!first)
        return std::nullopt;
    const icaltimetype end = icalcomponent_get_dtend(event);
    auto last = DateOfTime(end);
    if (!last)
        return TDateRange{*first, *first};
    // An all-day event ends on the day after its last; an event with a time
    // ends in its last day unless it ends at midnight.
    const bool atMidnight = end.is_date || (end.hour == 0 && end.minute == 0 && end.second == 0);
    if (atMidnight)
        *last = *last + -1;
    if (*last < *first)
        *last = *first;
    return TDateRange{*first, *last};
}

} // namespace

std::vector<TSchoolHoliday> ReadSchoolHolidaysIcs(std::string_view text) {
    static std::once_flag quiet;
    // The library's default aborts on malformed input.
    std::call_once(quiet, [] { icalerror_set_errors_are_fatal(0); });
    const std::string data(text);
    if (data.find("BEGIN:VCALENDAR") == std::string::npos)
        throw TaktonError("Die Datei ist keine iCalendar-Datei (BEGIN:VCALENDAR fehlt).");
    TComponent root(icalparser_parse_string(data.c_str()));
    if (!root)
        throw TaktonError("Die Datei ist keine iCalendar-Datei.");
    icalcomponent *calendar = root.get();
    if (icalcomponent_isa(calendar) != ICAL_VCALENDAR_COMPONENT)
        calendar = icalcomponent_get_first_component(root.get(), ICAL_VCALENDAR_COMPONENT);
    if (!calendar)
        throw TaktonError("Die Datei ist keine iCalendar-Datei.");
    std::vector<TSchoolHoliday> periods;
    for (icalcomponent *event = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
         event; event = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
        const auto dates = EventDates(event);
        if (!dates)
            continue;
        const char *summary = icalcomponent_get_summary(event);
        std::string name = summary ? Utf8ToCp1252Lossy(summary) : std::string();
        std::replace_if(
            name.begin(), name.end(), [](char c) { return c == '\r' || c == '\n' || c == '\t'; },
            ' ');
        periods.push_back({*dates, std::move(name)});
    }
    if (periods.empty())
        throw TaktonError(Cp1252("Die iCalendar-Datei enthält keinen Termin mit Datum."));
    return MergeSchoolHolidays({}, periods);
}

std::vector<TSchoolHoliday> MergeSchoolHolidays(std::vector<TSchoolHoliday> known,
                                                const std::vector<TSchoolHoliday> &added) {
    for (const auto &period : added)
        if (std::none_of(known.begin(), known.end(),
                         [&](const TSchoolHoliday &k) { return k.Dates == period.Dates; }))
            known.push_back(period);
    std::stable_sort(known.begin(), known.end(),
                     [](const auto &a, const auto &b) { return a.Dates.First < b.Dates.First; });
    return known;
}

} // namespace takton::calendar
