#include "core/search/connection_scan.h"

#include <algorithm>
#include <climits>
#include <cstdio>

namespace takton::search {

namespace {
constexpr int kNever = INT_MAX / 2;   // not reached (forward)
constexpr int kTooLate = INT_MIN / 2; // cannot reach the destination (backward)

bool ByTimes(const TJourney &a, const TJourney &b) {
    if (a.Departure() != b.Departure())
        return a.Departure() < b.Departure();
    if (a.Arrival() != b.Arrival())
        return a.Arrival() < b.Arrival();
    return a.Changes() < b.Changes();
}
} // namespace

TConnectionScan::TConnectionScan(const TConnectionIndex &index)
    : index_(index), tripLegs_(index.Trips().size(), 0), tripEnd_(index.Trips().size(), 0) {
    const std::size_t slots = static_cast<std::size_t>(kMaxLegs) * index.StationCount();
    label_.resize(slots);
    soonest_.resize(index.StationCount());
    via_.resize(slots);
    leg_.resize(slots);
}

void TConnectionScan::Reset(int fill, int maxChanges) {
    for (const std::uint32_t trip : touchedTrips_)
        tripLegs_[trip] = 0;
    touchedTrips_.clear();
    maxLegs_ = std::clamp(maxChanges + 1, 1, kMaxLegs);
    std::fill(label_.begin(), label_.end(), fill);
    std::fill(soonest_.begin(), soonest_.end(), fill);
}

// The fewest journeys (legs) with which the station is reached in time to
// change into a connection leaving at `departure`, when fewer than fewerThan
// (0: any number); else 0.
int TConnectionScan::BoardingLegs(std::uint32_t station, int departure, int fewerThan) const {
    const int change = index_.MinChangeMinutes();
    if (soonest_[station] + change > departure)
        return 0;
    const std::size_t stations = index_.StationCount();
    const int most = fewerThan ? std::min(fewerThan - 1, maxLegs_) : maxLegs_;
    for (int k = 1; k + 1 <= most; ++k)
        if (label_[static_cast<std::size_t>(k - 1) * stations + station] + change <= departure)
            return k + 1;
    return 0;
}

// Backwards: the fewest legs from the station, changing after `arrival`.
int TConnectionScan::AlightingLegs(std::uint32_t station, int arrival, int fewerThan) const {
    const int change = index_.MinChangeMinutes();
    if (soonest_[station] - change < arrival)
        return 0;
    const std::size_t stations = index_.StationCount();
    const int most = fewerThan ? std::min(fewerThan - 1, maxLegs_) : maxLegs_;
    for (int k = 1; k + 1 <= most; ++k)
        if (label_[static_cast<std::size_t>(k - 1) * stations + station] - change >= arrival)
            return k + 1;
    return 0;
}

std::optional<int> TConnectionScan::EarliestArrival(std::uint32_t from, std::uint32_t to,
                                                    int time) {
    Reset(kNever, 0);
    const auto &connections = index_.ByDeparture();
    auto it = std::lower_bound(connections.begin(), connections.end(), time,
                               [](const TConnection &c, int t) { return c.Departure < t; });
    const int change = index_.MinChangeMinutes();
    for (; it != connections.end(); ++it) {
        const TConnection &c = *it;
        if (c.Departure >= label_[to])
            break;
        std::uint8_t &reached = tripLegs_[c.Trip];
        if (!reached) {
            if (c.From != from && label_[c.From] + change > c.Departure)
                continue;
            reached = 1;
            touchedTrips_.push_back(c.Trip);
        }
        if (c.Arrival < label_[c.To])
            label_[c.To] = c.Arrival;
    }
    if (label_[to] == kNever)
        return std::nullopt;
    return label_[to];
}

std::vector<TJourney> TConnectionScan::ParetoDepart(std::uint32_t from, std::uint32_t to, int time,
                                                    int maxChanges, int latestArrival) {
    Reset(kNever, maxChanges);
    const std::size_t stations = index_.StationCount();
    const auto &connections = index_.ByDeparture();
    const auto first =
        std::lower_bound(connections.begin(), connections.end(), time,
                         [](const TConnection &c, int t) { return c.Departure < t; });
    // No connection from the bound on improves the destination's labels.
    int bound = latestArrival < kNever ? latestArrival + 1 : kNever;
    int best[kMaxLegs + 1]; // best[L]: the destination with at most L legs
    std::fill(best, best + kMaxLegs + 1, bound);
    int useful = maxLegs_ + 1; // journeys with fewer legs may still improve
    for (auto i = static_cast<std::size_t>(first - connections.begin()); i < connections.size();
         ++i) {
        const TConnection &c = connections[i];
        if (c.Departure >= bound)
            break;
        // Leaving after the destination is reached with L legs, only fewer
        // legs can still give a better journey.
        while (useful > 1 && best[useful - 1] <= c.Departure)
            --useful;
        int legs = tripLegs_[c.Trip];
        // Boarding here counts only with fewer legs than the trip has so far.
        const int fewer = legs ? std::min(legs, useful) : useful;
        const int board = c.From == from ? 1 : BoardingLegs(c.From, c.Departure, fewer);
        if (board && (legs == 0 || board < legs)) {
            if (legs == 0)
                touchedTrips_.push_back(c.Trip);
            legs = board;
            tripLegs_[c.Trip] = static_cast<std::uint8_t>(board);
            tripEnd_[c.Trip] = static_cast<std::uint32_t>(i);
        }
        if (legs == 0 || legs >= useful || c.To == from)
            continue;
        const std::size_t slot = static_cast<std::size_t>(legs - 1) * stations + c.To;
        // Not before the destination is reached with as few legs: useless.
        if (c.Arrival >= label_[slot] || c.Arrival >= best[legs])
            continue;
        label_[slot] = c.Arrival;
        soonest_[c.To] = std::min(soonest_[c.To], c.Arrival);
        via_[slot] = static_cast<std::uint32_t>(i);
        leg_[slot] = tripEnd_[c.Trip];
        if (c.To == to) {
            for (int k = legs; k <= maxLegs_; ++k)
                best[k] = std::min(best[k], c.Arrival);
            bound = std::min({bound, best[1], best[maxLegs_] + kParetoHorizonMinutes});
        }
    }

    std::vector<TJourney> found;
    int earliest = kNever;
    const int latestShown = best[maxLegs_] + kParetoHorizonMinutes;
    for (int legs = 1; legs <= maxLegs_; ++legs) {
        const int arrival = label_[static_cast<std::size_t>(legs - 1) * stations + to];
        if (arrival >= earliest || arrival > latestShown)
            continue;
        earliest = arrival;
        TJourney journey;
        std::uint32_t station = to;
        for (int k = legs; k >= 1; --k) {
            const std::size_t slot = static_cast<std::size_t>(k - 1) * stations + station;
            const TConnection &out = connections[via_[slot]];
            const TConnection &in = connections[leg_[slot]];
            journey.Legs.push_back({in.Trip, in.From, station, in.Departure, out.Arrival});
            station = in.From;
        }
        std::reverse(journey.Legs.begin(), journey.Legs.end());
        found.push_back(std::move(journey));
    }
    return found;
}

std::vector<TJourney> TConnectionScan::ParetoArrive(std::uint32_t from, std::uint32_t to, int time,
                                                    int maxChanges, int earliestDeparture) {
    Reset(kTooLate, maxChanges);
    const std::size_t stations = index_.StationCount();
    const auto &connections = index_.ByArrival();
    const auto end = std::upper_bound(connections.begin(), connections.end(), time,
                                      [](int t, const TConnection &c) { return t < c.Arrival; });
    int bound = earliestDeparture > kTooLate ? earliestDeparture - 1 : kTooLate;
    int best[kMaxLegs + 1]; // best[L]: the start with at most L legs
    std::fill(best, best + kMaxLegs + 1, bound);
    int useful = maxLegs_ + 1;
    for (auto i = static_cast<std::size_t>(end - connections.begin()); i-- > 0;) {
        const TConnection &c = connections[i];
        if (c.Arrival <= bound)
            break;
        while (useful > 1 && best[useful - 1] >= c.Arrival)
            --useful;
        int legs = tripLegs_[c.Trip];
        const int fewer = legs ? std::min(legs, useful) : useful;
        const int alight = c.To == to ? 1 : AlightingLegs(c.To, c.Arrival, fewer);
        if (alight && (legs == 0 || alight < legs)) {
            if (legs == 0)
                touchedTrips_.push_back(c.Trip);
            legs = alight;
            tripLegs_[c.Trip] = static_cast<std::uint8_t>(alight);
            tripEnd_[c.Trip] = static_cast<std::uint32_t>(i);
        }
        if (legs == 0 || legs >= useful || c.From == to)
            continue;
        const std::size_t slot = static_cast<std::size_t>(legs - 1) * stations + c.From;
        if (c.Departure <= label_[slot] || c.Departure <= best[legs])
            continue;
        label_[slot] = c.Departure;
        soonest_[c.From] = std::max(soonest_[c.From], c.Departure);
        via_[slot] = static_cast<std::uint32_t>(i);
        leg_[slot] = tripEnd_[c.Trip];
        if (c.From == from) {
            for (int k = legs; k <= maxLegs_; ++k)
                best[k] = std::max(best[k], c.Departure);
            bound = std::max({bound, best[1], best[maxLegs_] - kParetoHorizonMinutes});
        }
    }

    std::vector<TJourney> found;
    int latest = kTooLate;
    const int earliestShown = best[maxLegs_] - kParetoHorizonMinutes;
    for (int legs = 1; legs <= maxLegs_; ++legs) {
        const int departure = label_[static_cast<std::size_t>(legs - 1) * stations + from];
        if (departure <= latest || departure < earliestShown)
            continue;
        latest = departure;
        TJourney journey;
        std::uint32_t station = from;
        for (int k = legs; k >= 1; --k) {
            const std::size_t slot = static_cast<std::size_t>(k - 1) * stations + station;
            const TConnection &board = connections[via_[slot]];
            const TConnection &exit = connections[leg_[slot]];
            journey.Legs.push_back({board.Trip, station, exit.To, board.Departure, exit.Arrival});
            station = exit.To;
        }
        found.push_back(std::move(journey));
    }
    return found;
}

namespace {

// The same arrival (departure) reached with the latest departure (earliest
// arrival) the number of changes allows.
TJourney Tightened(TConnectionScan &scan, std::uint32_t from, std::uint32_t to,
                   const TJourney &journey, bool arrive) {
    const auto found = arrive ? scan.ParetoDepart(from, to, journey.Departure(), journey.Changes(),
                                                  journey.Arrival())
                              : scan.ParetoArrive(from, to, journey.Arrival(), journey.Changes(),
                                                  journey.Departure());
    const TJourney *best = &journey;
    for (const auto &candidate : found) {
        const bool better = arrive ? candidate.Arrival() < best->Arrival()
                                   : candidate.Departure() > best->Departure();
        if (better)
            best = &candidate;
    }
    return *best;
}

} // namespace

std::vector<TJourney> FindConnections(const TConnectionIndex &index, const TQuery &query) {
    const int from = index.FindStation(query.From);
    const int to = index.FindStation(query.To);
    std::vector<TJourney> result;
    if (from < 0 || to < 0 || from == to)
        return result;
    const auto start = static_cast<std::uint32_t>(from), end = static_cast<std::uint32_t>(to);
    TConnectionScan scan(index);
    int time = query.Time;
    for (int round = 0; round < query.Count; ++round) {
        const auto found = query.Arrive ? scan.ParetoArrive(start, end, time)
                                        : scan.ParetoDepart(start, end, time);
        if (found.empty())
            break;
        TJourney tight;
        for (const auto &journey : found) {
            tight = Tightened(scan, start, end, journey, query.Arrive);
            if (std::find(result.begin(), result.end(), tight) == result.end())
                result.push_back(tight);
        }
        // The quickest of the round, the last found, leads to the next round.
        time = query.Arrive ? tight.Arrival() - 1 : tight.Departure() + 1;
    }
    std::sort(result.begin(), result.end(), ByTimes);
    return result;
}

std::string FormatDayTime(int minutes) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", minutes / 60, minutes % 60);
    return text;
}

std::string FormatDuration(int minutes) {
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d", minutes / 60, minutes % 60);
    return text;
}

std::optional<int> ParseDayTime(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon > 2 || text.size() != colon + 3)
        return std::nullopt;
    int hour = 0, minute = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i == colon)
            continue;
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        int &part = i < colon ? hour : minute;
        part = part * 10 + (text[i] - '0');
    }
    if (hour > 23 || minute > 59)
        return std::nullopt;
    return hour * 60 + minute;
}

} // namespace takton::search
