#pragma once

// Dates of the operating calendar: a day as a count of days since
// 1970-01-01, read and written as "JJJJ-MM-TT", and lists of single dates
// and ranges as the project files and the command line give them
// ("2026-12-24,2026-12-28..2026-12-31").

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace takton {

struct TDate {
    long Day = 0; // days since 1970-01-01
    auto operator<=>(const TDate &) const = default;
};

inline TDate operator+(TDate date, long days) {
    return {date.Day + days};
}

// The date of a year, month and day; nothing when it does not exist.
std::optional<TDate> DateOf(int year, int month, int day);
int YearOf(TDate date);
int MonthOf(TDate date); // 1 ... 12
int DayOfMonth(TDate date);
// 0 Monday ... 6 Sunday, as the day groups count.
int WeekdayOf(TDate date);

// "JJJJ-MM-TT" exactly; nothing for any other text or a date that does not
// exist (2027-02-29).
std::optional<TDate> ParseIsoDate(std::string_view text);
std::string IsoDateText(TDate date);
// "JJJJMMTT" as GTFS writes dates.
std::optional<TDate> ParseCompactDate(std::string_view text);
std::string CompactDateText(TDate date);
// "TT.MM.JJJJ" as a German reader writes it.
std::string GermanDateText(TDate date);

// From first to last, both included.
struct TDateRange {
    TDate First;
    TDate Last;
    bool Contains(TDate date) const { return First <= date && date <= Last; }
    bool operator==(const TDateRange &) const = default;
};

using TDateList = std::vector<TDateRange>;

bool ListContains(const TDateList &list, TDate date);

// "JJJJ-MM-TT" or "JJJJ-MM-TT..JJJJ-MM-TT". Raises TaktonError with a German
// message for a date that does not exist or a range that runs backwards.
TDateRange ParseDateRange(std::string_view text);
// Pieces separated by ","; blanks around them are allowed, empty pieces are
// not there. Raises as ParseDateRange does.
TDateList ParseDateList(std::string_view text);
std::string DateRangeText(const TDateRange &range);
std::string DateListText(const TDateList &list);
// Dates in order, neighbours joined into ranges.
TDateList CompactDateList(std::vector<TDate> dates);

} // namespace takton
