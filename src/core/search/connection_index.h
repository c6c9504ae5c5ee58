#pragma once

// The elementary connections of one service day, taken from the project's
// timetable files: every ride of a journey from one served station to the
// next. Times are minutes from the midnight that starts the day; a journey
// past midnight goes on above 1440, and the previous day's journeys add what
// they run after midnight. On a date the operating calendar decides journey
// by journey, with its day group's days and its footnote, and a night
// journey of the previous day runs 24 hours after its clock times.

#include "core/files/file_stamp.h"
#include "core/model/calendar_date.h"
#include "core/model/operating_days.h"
#include "core/model/prj_params.h"
#include "core/util/large_allocator.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace takton::search {

inline constexpr int kDefaultMinChangeMinutes = 2;

struct TConnection {
    std::uint32_t From;
    std::uint32_t To;
    std::int32_t Departure;
    std::int32_t Arrival;
    std::uint32_t Trip;
};

// The large allocator's arrays, left uninitialised until written: the index's
// arrays are tens of megabytes, and a pass of zeros would cost more than the
// sorting.
template <class T> struct TLargeArrayAllocator : TLargeAllocator<T> {
    TLargeArrayAllocator() = default;
    template <class U> TLargeArrayAllocator(const TLargeArrayAllocator<U> &) {}
    template <class U, class... Args> void construct(U *at, Args &&...args) {
        if constexpr (sizeof...(Args) == 0)
            ::new (static_cast<void *>(at)) U;
        else
            ::new (static_cast<void *>(at)) U(std::forward<Args>(args)...);
    }
};
using TConnectionArray = std::vector<TConnection, TLargeArrayAllocator<TConnection>>;

// One run of a journey (an interval column gives one per repetition).
struct TTrip {
    std::uint32_t Line;
    std::uint32_t EndStation; // the last station of the timetable's direction
    std::uint8_t Direction;
};

// What a search on a date asks the operating calendar: the date, the
// project's holidays and special days, and every day group with its days.
struct TDatedService {
    TDate Date;
    TOperatingDays Calendar;
    std::vector<std::pair<std::string, TDaySet>> Groups;
    bool operator==(const TDatedService &) const = default;
};

// The day groups whose timetables run on the searched day and on the day
// before it. On a date they are the groups whose journeys without a
// footnote run; footnotes narrow or widen that journey by journey, the
// project's footnotes file read with the timetables.
struct TServiceDay {
    std::vector<std::string> Today;
    std::vector<std::string> Yesterday;
    std::optional<TDatedService> Dated;
    bool operator==(const TServiceDay &) const = default;
};

// Weekday index 0 Monday ... 6 Sunday of a date "YYYY-MM-DD"; -1 when the text
// is no valid date.
int WeekdayOfDate(std::string_view isoDate);
// Every group whose days hold the weekday, and those of the weekday before.
TServiceDay ServiceDayOfWeekday(const TPrjParams &params, int weekday);
// The date by the project's operating calendar: holidays run as Sunday,
// special days as the planner says, footnotes as their rules say.
TServiceDay ServiceDayOfDate(const TPrjParams &params, TDate date);
// One group on its own: it runs the day before as well.
TServiceDay ServiceDayOfGroup(std::string_view group);

class TConnectionIndex {
  public:
    // Reads lines.csv, stations.csv and the lines' timetable files.
    static TConnectionIndex Build(const std::string &projectDir, const TServiceDay &day,
                                  int minChangeMinutes);

    // The station so named: exactly, else without regard to case; -1 if none.
    int FindStation(std::string_view name) const;
    const std::string &StationName(std::uint32_t station) const { return stations_[station]; }
    std::size_t StationCount() const { return stations_.size(); }
    const std::string &LineName(std::uint32_t line) const { return lines_[line]; }
    const std::vector<TTrip> &Trips() const { return trips_; }
    int MinChangeMinutes() const { return minChange_; }

    // Sorted by departure, then arrival, then their order along the trip.
    const TConnectionArray &ByDeparture() const { return byDeparture_; }
    // Sorted by arrival, then departure, then their order along the trip.
    const TConnectionArray &ByArrival() const { return byArrival_; }

  private:
    friend class TIndexBuilder;
    std::vector<std::string> stations_;
    std::vector<std::string> lines_;
    std::vector<TTrip> trips_;
    TConnectionArray byDeparture_;
    TConnectionArray byArrival_;
    int minChange_ = kDefaultMinChangeMinutes;
    std::vector<std::pair<std::string, std::uint32_t>> folded_; // sorted by folded name
};

// The files an index is built from (the footnotes too), each stamped as the editors stamp what
// they read, to tell cheaply whether the index is out of date.
struct TSourceStamp {
    std::vector<std::string> Paths;
    std::vector<TFileStamp> Stamps;
};
TSourceStamp SourceStampOf(const std::string &projectDir);
// True while the project has the same source files, each unchanged since the
// stamp.
bool SourceUnchanged(const TSourceStamp &stamp, const std::string &projectDir);

} // namespace takton::search
