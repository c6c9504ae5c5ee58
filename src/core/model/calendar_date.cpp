#include "core/model/calendar_date.h"

#include "core/util/error.h"
#include "core/util/trim.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace takton {
namespace {

using namespace std::chrono;

year_month_day CivilOf(TDate date) {
    return year_month_day{sys_days{days{date.Day}}};
}

// Digits at text[from, from + count) as a number, or -1.
int DigitsAt(std::string_view text, std::size_t from, std::size_t count) {
    int value = 0;
    for (std::size_t i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

} // namespace

std::optional<TDate> DateOf(int y, int m, int d) {
    if (m < 1 || m > 12 || d < 1 || d > 31)
        return std::nullopt;
    const year_month_day date{year{y}, month{static_cast<unsigned>(m)},
                              day{static_cast<unsigned>(d)}};
    if (!date.ok())
        return std::nullopt;
    return TDate{sys_days{date}.time_since_epoch().count()};
}

int YearOf(TDate date) {
    return static_cast<int>(CivilOf(date).year());
}

int MonthOf(TDate date) {
    return static_cast<int>(static_cast<unsigned>(CivilOf(date).month()));
}

int DayOfMonth(TDate date) {
    return static_cast<int>(static_cast<unsigned>(CivilOf(date).day()));
}

int WeekdayOf(TDate date) {
    return static_cast<int>(weekday{sys_days{days{date.Day}}}.iso_encoding()) - 1;
}

std::optional<TDate> ParseIsoDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    const int y = DigitsAt(text, 0, 4), m = DigitsAt(text, 5, 2), d = DigitsAt(text, 8, 2);
    if (y < 0 || m < 0 || d < 0)
        return std::nullopt;
    return DateOf(y, m, d);
}

std::string IsoDateText(TDate date) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", YearOf(date), MonthOf(date),
                  DayOfMonth(date));
    return text;
}

std::optional<TDate> ParseCompactDate(std::string_view text) {
    if (text.size() != 8)
        return std::nullopt;
    const int y = DigitsAt(text, 0, 4), m = DigitsAt(text, 4, 2), d = DigitsAt(text, 6, 2);
    if (y < 0 || m < 0 || d < 0)
        return std::nullopt;
    return DateOf(y, m, d);
}

std::string CompactDateText(TDate date) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", YearOf(date), MonthOf(date), DayOfMonth(date));
    return text;
}

std::string GermanDateText(TDate date) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", DayOfMonth(date), MonthOf(date),
                  YearOf(date));
    return text;
}

bool ListContains(const TDateList &list, TDate date) {
    return std::any_of(list.begin(), list.end(),
                       [date](const TDateRange &range) { return range.Contains(date); });
}

TDateRange ParseDateRange(std::string_view text) {
    text = TrimBlanks(text);
    const std::size_t dots = text.find("..");
    const std::string_view firstText = TrimBlanks(text.substr(0, dots));
    const std::string_view lastText =
        dots == std::string_view::npos ? firstText : TrimBlanks(text.substr(dots + 2));
    const auto first = ParseIsoDate(firstText);
    const auto last = ParseIsoDate(lastText);
    if (!first || !last)
        throw TaktonError("\"" + std::string(!first ? firstText : lastText) +
                          "\" ist kein Datum (JJJJ-MM-TT) oder diesen Tag gibt es nicht.");
    if (*last < *first)
        throw TaktonError("Der Zeitraum \"" + std::string(text) + "\" endet vor seinem Beginn.");
    return {*first, *last};
}

TDateList ParseDateList(std::string_view text) {
    TDateList list;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view piece = TrimBlanks(text.substr(0, comma));
        if (!piece.empty())
            list.push_back(ParseDateRange(piece));
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    return list;
}

std::string DateRangeText(const TDateRange &range) {
    std::string text = IsoDateText(range.First);
    if (range.Last != range.First)
        text += ".." + IsoDateText(range.Last);
    return text;
}

std::string DateListText(const TDateList &list) {
    std::string text;
    for (const auto &range : list) {
        if (!text.empty())
            text += ',';
        text += DateRangeText(range);
    }
    return text;
}

TDateList CompactDateList(std::vector<TDate> dates) {
    std::sort(dates.begin(), dates.end());
    dates.erase(std::unique(dates.begin(), dates.end()), dates.end());
    TDateList list;
    for (const TDate date : dates) {
        if (!list.empty() && list.back().Last.Day + 1 == date.Day)
            list.back().Last = date;
        else
            list.push_back({date, date});
    }
    return list;
}

} // namespace takton
