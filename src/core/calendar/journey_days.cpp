#include "core/calendar/journey_days.h"

#include "core/model/project_rules.h"
#include "core/util/error.h"

namespace takton::calendar {

TJourneyDays ReadJourneyDays(const std::string &dir, const TPrjParams &params,
                             const std::string &line, int direction, const std::string &dayGroup,
                             int journey) {
    const int group = IndexOfDayGroup(params, dayGroup);
    if (group < 0)
        throw TaktonError(NoSuchDayGroup(dayGroup));
    TJourneyDays days;
    const TDayGroupItem &item = params.DayGroups[static_cast<std::size_t>(group)];
    days.GroupDays = item.Days;
    const TTimetableFile file(TimetablePath(dir, line));
    const TJourneyMarkList marks =
        file.ReadJourneyMarks(TimetableSectionName(direction, item.Name));
    if (journey < 1 || static_cast<std::size_t>(journey) > marks.size())
        return days;
    const TJourneyMarks &mark = marks[static_cast<std::size_t>(journey - 1)];
    days.PreviousDayNight = mark.PreviousDayNight;
    if (!mark.Footnote.empty()) {
        const TFootnoteList footnotes = LoadFootnotes(dir);
        const TFootnote *footnote = FindFootnote(footnotes, mark.Footnote);
        if (!footnote)
            throw TaktonError("Die Fahrt " + std::to_string(journey) +
                              " tr\xe4gt die Fu\xdfnote \"" + mark.Footnote +
                              "\", die es im Projekt nicht gibt.");
        days.Footnote = *footnote;
    }
    return days;
}

std::vector<TDate> JourneyRunDates(const TPrjParams &params, const TJourneyDays &journey,
                                   TDateRange range) {
    const TOperatingCalendar calendar(params.Calendar, range);
    return JourneyRunDates(calendar, journey.GroupDays,
                           journey.Footnote ? &*journey.Footnote : nullptr, range);
}

} // namespace takton::calendar
