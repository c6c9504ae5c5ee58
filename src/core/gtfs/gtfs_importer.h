#pragma once

// The importer of a feed, shared by the files of its steps: reading the
// tables, making stations and day groups, laying out lines and journeys, and
// writing the project. Only gtfs_import.h is meant for callers.

#include "core/files/file_io.h"
#include "core/gtfs/gtfs_import.h"
#include "core/gtfs/gtfs_names.h"
#include "core/gtfs/gtfs_source.h"
#include "core/gtfs/route_merge.h"
#include "core/model/footnotes.h"
#include "core/model/prj_params.h"
#include "core/model/station_data.h"
#include "core/model/timetable_file.h"
#include "core/util/counted.h"
#include "core/util/cp1252.h"
#include "core/util/large_allocator.h"
#include "core/util/trim.h"

#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

namespace takton::gtfs::detail {

constexpr std::int32_t kNone = -1;
constexpr std::int32_t kBad = -2;
constexpr std::size_t kMaxJourneys = 510; // journey columns of the grid
constexpr std::size_t kProgressTotal = 1000;
constexpr std::size_t kWriters = 4; // files written at once
constexpr std::size_t kListed = 50; // report lines of one kind before they are counted

struct TStringHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
        return std::hash<std::string_view>{}(text);
    }
};
using TIdMap = std::unordered_map<std::string, std::uint32_t, TStringHash, std::equal_to<>>;

// The field readers and the time text run once per row or cell of a
// feed, so they are inline.
inline std::uint32_t Find(const TIdMap &map, std::string_view id) {
    const auto at = map.find(id);
    return at == map.end() ? UINT32_MAX : at->second;
}

inline std::string_view Trim(std::string_view text) {
    return TrimBlanks(text);
}

// "H:MM:SS" or "HH:MM:SS" in seconds; kNone when empty, kBad otherwise.
inline std::int32_t ParseGtfsTime(std::string_view text) {
    text = Trim(text);
    if (text.empty())
        return kNone;
    std::int32_t parts[3] = {0, 0, 0};
    int part = 0, digits = 0;
    for (const char c : text) {
        if (c == ':') {
            if (digits == 0 || ++part > 2)
                return kBad;
            digits = 0;
        } else if (c >= '0' && c <= '9') {
            if (++digits > 3)
                return kBad;
            parts[part] = parts[part] * 10 + (c - '0');
        } else {
            return kBad;
        }
    }
    if (part != 2 || digits != 2 || parts[1] > 59 || parts[2] > 59)
        return kBad;
    return parts[0] * 3600 + parts[1] * 60 + parts[2];
}

inline std::optional<long> ParseInt(std::string_view text) {
    text = Trim(text);
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

inline std::optional<double> ParseDouble(std::string_view text) {
    text = Trim(text);
    if (text.empty())
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

inline std::string TimeText(std::int32_t minutes) {
    const int m = ((minutes % 1440) + 1440) % 1440;
    char text[6] = {static_cast<char>('0' + m / 600),     static_cast<char>('0' + m / 60 % 10), ':',
                    static_cast<char>('0' + m % 60 / 10), static_cast<char>('0' + m % 10),      0};
    return text;
}

inline std::int32_t Minutes(std::int32_t seconds, bool &rounded) {
    if (seconds % 60 != 0)
        rounded = true;
    return (seconds + 30) / 60;
}

std::string Quoted(std::string_view text);
double DistanceKm(const TGeoPosition &a, const TGeoPosition &b);
// Days since 1970-01-01 of "YYYYMMDD"; nullopt when it is no date.
std::optional<long> DayNumber(std::string_view text);
// Weekday index, 0 Monday, of a day number.
int WeekDayOf(long day);
// "YYYYMMDD" of a day number.
std::string DateText(long day);
// "Mo-Fr", "Sa", "Mo+Mi+Fr" and their texts "Montag bis Freitag", ...
std::pair<std::string, std::string> DayGroupNaming(TDaySet days);

struct TStop {
    std::string Id;
    std::string Name; // UTF-8 as in the feed
    std::optional<TGeoPosition> Position;
    std::string Zone;
    std::string Parent;
    int LocationType = 0;
    std::uint32_t Station = UINT32_MAX;
};

struct TStation {
    std::string Name; // cp1252
    std::optional<TGeoPosition> Position;
    std::string Zone;
};

struct TRoute {
    std::string Id;
    std::string Name; // cp1252, as the line is called
    int Type = 3;
    std::vector<std::uint32_t> Trips;
};

constexpr std::int32_t kFootnoteUnknown = -2; // not worked out yet

struct TService {
    std::string Id;
    TDaySet Days = 0; // the day group's; calendar.txt's unless ByDates
    bool InCalendar = false;
    bool ByDates = false; // its dates are those of calendar_dates.txt alone
    long First = LONG_MAX, Last = LONG_MIN;
    std::vector<long> Added, Removed; // sorted once the day groups are made
    int DayGroup = -1;
    // The footnote that makes its journeys run on its dates exactly (index
    // into the importer's footnotes), -1 where the day group does already.
    std::int32_t Footnote = kFootnoteUnknown;
};

// How a day of the validity period counts for a list of date ranges.
enum class TCover : std::uint8_t { Free, Must, Never };
// The fewest ranges that hold every day marked Must and none marked Never
// (day i is first + i); a range may take in Free days between.
TDateList CoverDays(const std::vector<TCover> &days, long first);
// The footnote rule that turns the weekdays of a day group over the days
// from first on into exactly the days marked in runs: "alle Tage" with
// "nicht am" and "auch am", or "nur am" where that takes fewer ranges.
// Nothing when the day group is exact already.
std::optional<TFootnote> ExactDaysFootnote(TDaySet groupDays, const std::vector<char> &runs,
                                           long first);
// Days of the weekdays from first to last, both included.
long WeekdayCount(TDaySet days, long first, long last);

struct TTrip {
    std::string Id;
    std::uint32_t Route = UINT32_MAX;
    std::uint32_t Service = UINT32_MAX;
    int Direction = 0; // direction_id
    std::size_t FirstRow = 0, Rows = 0;
    bool Frequent = false;
};

struct TStopTimeRow {
    std::uint32_t Trip;
    std::uint32_t Sequence;
    std::uint32_t Stop;
    std::int32_t Arrival; // seconds, kNone when empty
    std::int32_t Departure;
};

struct TFrequency {
    std::uint32_t Trip;
    std::int32_t Start, End, Headway; // seconds
};

// One stop of a journey: the station's place on the route, times in minutes.
struct TJourneyStop {
    std::uint32_t Position;
    std::int32_t Arrival;
    std::int32_t Departure;
};

struct TJourney {
    std::vector<TJourneyStop> Stops; // in travel order
    std::int32_t Shift = 0;          // minutes added to every time
    int IntervalMinutes = 0;         // > 0: an interval block up to Shift + (Count-1)*minutes
    int Count = 1;
    std::int32_t Footnote = -1; // index into the importer's footnotes
    std::int32_t First() const { return Stops.front().Departure + Shift; }
};

// A trip of frequencies.txt laid out: one interval block where the times are
// whole minutes and at least three journeys run, else every journey.
struct TFrequencyJourneys {
    std::vector<TJourney> Journeys;
    bool Block = false;
    std::size_t Rounded = 0; // journeys whose start was rounded to the minute
};
// `base` is the trip's own first departure in seconds; `timesRounded` says
// that its times were rounded to whole minutes already.
TFrequencyJourneys ExpandFrequency(const TJourney &journey, const TFrequency &frequency,
                                   std::int32_t base, bool timesRounded);

// The journeys of one section in the order of their first departure. An
// interval block stays one only when no other journey starts between its
// first and last; else it is expanded into its journeys (counted).
std::vector<TJourney> SettleIntervalBlocks(std::vector<TJourney> journeys,
                                           std::size_t &blocksExpanded);

// The grid columns of settled journeys, split into pages of at most
// `pageWidth` columns: a journey is one column, an interval block three (its
// first journey, the interval and its last journey), never split between
// pages. The columns point into `laid` and into Owned.
struct TJourneyPages {
    std::vector<std::vector<const TJourney *>> Pages;
    std::vector<std::unique_ptr<TJourney>> Owned;
};
TJourneyPages PageColumns(const std::vector<TJourney> &laid, std::size_t pageWidth);

// A piece of a trip: a stop range that follows one pattern.
struct TPiece {
    std::uint32_t Trip; // index into the route's trips
    std::size_t From, To;
    std::uint32_t Pattern;
};

// The stop sequences of one route's trips and the trips' stations and times.
struct TRoutePatterns {
    std::vector<TPattern> Patterns;
    std::vector<std::size_t> Uses; // trips per pattern
    std::vector<int> Directions;   // direction_id of a pattern's first trip
    std::vector<TPiece> Pieces;
    std::vector<std::vector<std::uint32_t>> TripStations;
    std::vector<std::vector<std::int32_t>> TripArrivals, TripDepartures; // seconds
};

// The station orders the patterns were merged into, and where each went.
struct TRouteVariants {
    std::vector<TRouteMerge> Variants;
    std::vector<std::uint32_t> VariantOf; // per pattern
    std::vector<int> DirectionOf;         // per pattern: 1 or 2
};

// For each stop, the stop it stands for: its parent's parent and so on up
// to the station (at most eight levels; a missing or self parent ends it).
std::vector<std::uint32_t> TopStops(const std::vector<TStop> &stops, const TIdMap &index);
// A feed's zone as station data holds it: "," and "=" as "-", cut to length.
std::string ZoneText(std::string_view zone);
// The weekdays a service of dates alone runs on in most of its weeks, and
// how many weeks run otherwise.
TDaySet CommonestWeekPattern(const std::vector<long> &days, std::size_t &weeksOff);
// Day groups in their order: those from Monday on first, the wider before
// the narrower.
void OrderDayPatterns(std::vector<TDaySet> &patterns);

// The stop of each stop_times row. Trips of one pattern name the same stops in
// turn: the two stops that followed the last one before (a pattern and its
// way back) are tried before the hash.
class TNextStopGuess {
  public:
    TNextStopGuess(const std::vector<TStop> &stops, const TIdMap &index)
        : stops_(stops), index_(index), followedBy_(stops.size(), {UINT32_MAX, UINT32_MAX}) {}

    // The stop's index, UINT32_MAX when the feed has no such stop.
    std::uint32_t Find(std::string_view stopId) {
        std::uint32_t found = UINT32_MAX;
        if (last_ < stops_.size())
            for (const std::uint32_t guess : followedBy_[last_])
                if (guess != UINT32_MAX && stops_[guess].Id == stopId)
                    found = guess;
        if (found == UINT32_MAX) {
            found = detail::Find(index_, stopId);
            if (last_ < stops_.size())
                followedBy_[last_] = {found, followedBy_[last_][0]};
        }
        last_ = found;
        return found;
    }

  private:
    const std::vector<TStop> &stops_;
    const TIdMap &index_;
    std::vector<std::array<std::uint32_t, 2>> followedBy_;
    std::uint32_t last_ = UINT32_MAX;
};

// A line as written: its route and its timetable sections.
struct TOutLine {
    std::string Name;
    std::uint32_t Variant = 0;
    int Type = 3;
    TPattern Stations;                                        // station indices in route order
    std::map<std::string, std::vector<std::string>> Sections; // name → rows
    std::map<std::string, TJourneyMarkList> Marks;            // name → marks, where any
};

class TImporter {
  public:
    TImporter(const std::string &feedPath, const std::string &projectPath,
              const TImportProgress &progress)
        : feed_(feedPath), projectPath_(projectPath), dir_(DirectoryOf(projectPath)),
          progress_(progress) {}

    TImportReport Run();

  private:
    bool Progress(std::size_t done) {
        if (progress_ && !progress_(std::min(done, kProgressTotal), kProgressTotal))
            cancelled_ = true;
        return !cancelled_;
    }
    void Adapted(std::string text) { report_.Adapted.push_back(std::move(text)); }
    // One line per case up to a limit, then only counted (a feed may have
    // thousands of platforms without a parent).
    void AdaptedListed(std::size_t &count, std::string text) {
        if (++count <= kListed)
            Adapted(std::move(text));
    }
    void ListedRest(std::size_t count, const char *what) {
        if (count > kListed)
            Adapted(Cp1252("… und ") + std::to_string(count - kListed) + " weitere " +
                    Cp1252(what) + ".");
    }
    void Note(std::string text) { report_.Notes.push_back(std::move(text)); }
    void NoteListed(std::size_t &count, std::string text) {
        if (++count <= kListed)
            Note(std::move(text));
    }
    void NotHeld(std::string text) { report_.NotHeld.push_back(std::move(text)); }

    void ReadAgency();
    void ReadStops();
    void MakeStations();
    std::uint32_t NearbyNamesake(const std::vector<std::uint32_t> &sameName,
                                 const TStop &stop) const;
    void ReadRoutes();
    void ReadServices();
    void ReadTrips();
    bool ReadStopTimes();
    void SortRows();
    void IndexTripRows();
    void ReportDroppedStopTimes();
    bool VisitsTwice(const TPattern &stations) {
        seen_.resize(stations_.size(), 0);
        ++visit_;
        for (const std::uint32_t station : stations) {
            if (seen_[station] == visit_)
                return true;
            seen_[station] = visit_;
        }
        return false;
    }
    float DistanceOf(std::size_t row) const {
        return distances_.empty() ? std::nanf("") : distances_[row];
    }
    void ReadFrequencies();
    void MakeDayGroups();
    bool HasDates(const TService &service) const;
    // The footnote of the service's journeys, made when first asked for.
    std::int32_t FootnoteOf(std::uint32_t service);
    // Journeys by direction and day group.
    using TSections = std::map<std::pair<int, int>, std::vector<TJourney>>;
    bool BuildLines();
    void AssignTripsToRoutes();
    TRoutePatterns CollectPatterns(const TRoute &route);
    TRouteVariants MergePatterns(const TRoute &route, const TRoutePatterns &found);
    std::vector<TSections>
    LayOutJourneys(const TRoute &route, const TRoutePatterns &found, const TRouteVariants &merged,
                   const std::vector<std::vector<std::uint32_t>> &frequencyOf);
    bool TripStops(const TTrip &trip, std::vector<std::uint32_t> &stations,
                   std::vector<std::int32_t> &arrivals, std::vector<std::int32_t> &departures);
    void WriteSections(const TRoute &route, std::uint32_t variant, const TRouteMerge &merge,
                       TSections &sections);
    std::vector<std::string> SectionRows(const TRouteMerge &merge, int direction,
                                         const std::vector<const TJourney *> &columns);
    TJourneyMarkList SectionMarks(const std::vector<const TJourney *> &columns) const;
    void CountNights(const std::vector<TJourney> &laid);
    void ReportFootnotes();
    std::size_t LineFor(const TRoute &route, std::uint32_t variant, std::size_t page);
    void NameNotHeldFiles();
    void ReportCounts();
    void Write();
    void WriteFiles();
    void WriteTimetables();

    TFeedSource feed_;
    std::string projectPath_, dir_;
    std::vector<std::string> written_;
    bool madeDir_ = false;
    const TImportProgress &progress_;
    TImportReport report_;
    bool cancelled_ = false;
    TNameMaker names_;

    TPublishing publishing_;
    std::vector<TStop> stops_;
    TIdMap stopIndex_;
    std::vector<TStation> stations_;
    std::vector<TRoute> routes_;
    TIdMap routeIndex_;
    std::vector<TService> services_;
    TIdMap serviceIndex_;
    std::vector<TTrip> trips_;
    TIdMap tripIndex_;
    std::vector<TStopTimeRow, TLargeAllocator<TStopTimeRow>> rows_;
    // shape_dist_traveled of each row (NaN where missing), when the feed has it.
    std::vector<float, TLargeAllocator<float>> distances_;
    std::vector<TFrequency> frequencies_;
    std::vector<TDayGroupItem> dayGroups_;
    long periodFirst_ = 0, periodLast_ = -1; // the validity period, as day numbers
    TFootnoteList footnotes_;                // in the order the journeys first use them
    std::map<std::string, std::int32_t> footnoteByRule_;
    std::vector<std::uint32_t> footnoted_; // services with a footnote, in that order
    std::vector<char> scratchRuns_;
    std::vector<TOutLine> lines_;
    std::map<std::tuple<std::uint32_t, std::uint32_t, std::size_t>, std::size_t> lineOf_;
    std::vector<std::string> lineNamesTaken_; // folded

    // Scratch of one trip, kept to spare allocations.
    std::vector<std::int32_t> scratchArrivals_, scratchDepartures_;
    std::vector<std::uint32_t> seen_;
    std::uint32_t visit_ = 0;

    // Counts for the report.
    std::size_t interpolated_ = 0, rounded_ = 0, nights_ = 0, secondNights_ = 0, pairs_ = 0;
    std::size_t intervalBlocks_ = 0, expandedFrequencies_ = 0, reversedPieces_ = 0;
    std::size_t badRows_ = 0, unknownTripRows_ = 0, unknownStopRows_ = 0, droppedStops_ = 0;
    std::size_t tripsWithoutTimes_ = 0, tripsUnknown_ = 0, tripsWithoutService_ = 0;
};

} // namespace takton::gtfs::detail
