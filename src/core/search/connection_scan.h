#pragma once

// Connection queries over one day's index.
//
// The Connection Scan Algorithm is used rather than RAPTOR: its index is one
// array of elementary connections sorted by time, made with two counting
// sorts straight from the timetable cells, and a query is one linear pass
// over the stretch of the day that matters, the change time a plain
// comparison. RAPTOR needs the journeys grouped into routes of identical
// stop sequences (skipped stops and arrival/departure pairs split a
// timetable into many) and pays off with footpaths between stations and
// many rounds; here there are no footpaths, at most five legs, and the index
// is rebuilt whenever a timetable was saved.
// Latest departure is the same scan run backwards over the connections sorted
// by arrival. The Pareto set of arrival against changes keeps one label per
// number of journeys used (up to kMaxLegs).

#include "core/search/connection_index.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace takton::search {

inline constexpr int kMaxChanges = 4;
inline constexpr int kMaxLegs = kMaxChanges + 1;
inline constexpr int kDefaultConnectionCount = 5;
// Alternatives with fewer changes are sought up to this long after the
// quickest arrival (before the latest departure, searching backwards).
inline constexpr int kParetoHorizonMinutes = 180;
inline constexpr int kNoLimit = 1 << 30;

struct TLeg {
    std::uint32_t Trip;
    std::uint32_t From;
    std::uint32_t To;
    int Departure;
    int Arrival;
    bool operator==(const TLeg &) const = default;
};

struct TJourney {
    std::vector<TLeg> Legs;
    int Departure() const { return Legs.front().Departure; }
    int Arrival() const { return Legs.back().Arrival; }
    int Changes() const { return static_cast<int>(Legs.size()) - 1; }
    bool operator==(const TJourney &) const = default;
};

// Scratch state of the scans, kept between queries over the same index.
class TConnectionScan {
  public:
    explicit TConnectionScan(const TConnectionIndex &index);

    // The earliest arrival at `to` leaving `from` at or after `time`, with
    // any number of changes; nothing when `to` cannot be reached that day.
    std::optional<int> EarliestArrival(std::uint32_t from, std::uint32_t to, int time);

    // Leaving at or after `time`: for each number of changes up to
    // maxChanges, the quickest journey when it arrives earlier than every
    // journey with fewer changes and within kParetoHorizonMinutes of the
    // quickest; ordered by changes, fewest first. Journeys arriving after
    // latestArrival are not sought.
    std::vector<TJourney> ParetoDepart(std::uint32_t from, std::uint32_t to, int time,
                                       int maxChanges = kMaxChanges, int latestArrival = kNoLimit);
    // Arriving at or before `time`: the latest departures in the same way;
    // journeys leaving before earliestDeparture are not sought.
    std::vector<TJourney> ParetoArrive(std::uint32_t from, std::uint32_t to, int time,
                                       int maxChanges = kMaxChanges,
                                       int earliestDeparture = -kNoLimit);

  private:
    void Reset(int fill, int maxChanges);
    int BoardingLegs(std::uint32_t station, int departure, int fewerThan) const;
    int AlightingLegs(std::uint32_t station, int arrival, int fewerThan) const;

    const TConnectionIndex &index_;
    std::vector<int> label_;   // [(legs - 1) * stations + station]
    std::vector<int> soonest_; // per station the best of its labels
    std::vector<std::uint32_t> via_, leg_;
    std::vector<std::uint8_t> tripLegs_;
    std::vector<std::uint32_t> tripEnd_;
    std::vector<std::uint32_t> touchedTrips_;
    int maxLegs_ = kMaxLegs;
};

struct TQuery {
    std::string From;
    std::string To;
    int Time = 0;        // minutes of the day
    bool Arrive = false; // Time is the latest arrival, not the earliest departure
    int Count = kDefaultConnectionCount;
};

// The first connection and the following ones (Count in all, each with its
// alternatives of fewer changes), ordered by departure and then arrival;
// each departs as late as its arrival allows. Empty when the stations are
// unknown, equal or not connected that day.
std::vector<TJourney> FindConnections(const TConnectionIndex &index, const TQuery &query);

// "HH:MM", hours past 23 on the next day ("24:10").
std::string FormatDayTime(int minutes);
// A duration as "H:MM" ("0:33", "1:05").
std::string FormatDuration(int minutes);
// "HH:MM" or "H:MM" of a time of day; nothing for other text.
std::optional<int> ParseDayTime(std::string_view text);

} // namespace takton::search
