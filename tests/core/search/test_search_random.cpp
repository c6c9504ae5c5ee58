// The connection scan against plainly written references on generated
// networks: a time-dependent Dijkstra over the journeys for the earliest
// arrival, and rounds of "board everything reachable" for the best arrival
// with at most k journeys. The journeys are the generator's own, not read
// back from the files the index is built from.

#include "core/search/connection_scan.h"
#include "core/search/search_project.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <gtest/gtest.h>
#include <queue>
#include <random>
#include <tuple>

using namespace takton;
using namespace takton::search;
using takton::testing::SearchProject;

namespace {

constexpr int kNone = INT_MAX / 2;
constexpr int kChange = 2;

struct RefStop {
    int Station;
    int Arrival;
    int Departure;
};
using RefTrip = std::vector<RefStop>;

std::string Cell(int minutes) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", minutes / 60 % 24, minutes % 60);
    return text;
}

std::string StationName(int s) {
    return "S" + std::to_string(s);
}

// A random network written as a project; `trips` gets every journey as it
// runs on the searched day, the day before's ones from midnight on.
void Generate(std::mt19937 &rng, int lines, SearchProject &project, std::vector<RefTrip> &trips) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int stations = 18;
    for (int s = 0; s < stations; ++s)
        project.Station(StationName(s));
    std::vector<RefTrip> day;
    for (int line = 0; line < lines; ++line) {
        std::vector<int> route(static_cast<std::size_t>(stations));
        for (int s = 0; s < stations; ++s)
            route[static_cast<std::size_t>(s)] = s;
        std::shuffle(route.begin(), route.end(), rng);
        route.resize(static_cast<std::size_t>(pick(3, 7)));
        for (int direction = 1; direction <= 2; ++direction) {
            if (direction == 2)
                std::reverse(route.begin(), route.end());
            std::vector<bool> paired;
            for (std::size_t i = 0; i < route.size(); ++i)
                paired.push_back(pick(0, 4) == 0);
            std::vector<std::vector<std::string>> cells; // per row
            const int journeys = pick(6, 14);
            std::vector<RefTrip> section;
            for (int j = 0; j < journeys; ++j) {
                int time = pick(240, 1420);
                RefTrip trip;
                for (std::size_t i = 0; i < route.size(); ++i) {
                    const bool served = i == 0 || pick(0, 9) > 0;
                    const int dwell = paired[i] ? pick(0, 5) : 0;
                    if (served)
                        trip.push_back({route[i], time, time + dwell});
                    time += dwell + pick(1, 8);
                }
                section.push_back(trip);
            }
            // Rows: a paired station has an arrival and a departure row.
            std::vector<std::string> rows;
            for (std::size_t i = 0; i < route.size(); ++i) {
                for (int half = 0; half < (paired[i] ? 2 : 1); ++half) {
                    std::string row = StationName(route[i]);
                    for (const auto &trip : section) {
                        const auto stop =
                            std::find_if(trip.begin(), trip.end(),
                                         [&](const RefStop &s) { return s.Station == route[i]; });
                        row += ",";
                        if (stop != trip.end())
                            row += Cell(half == 0 ? stop->Arrival : stop->Departure);
                    }
                    rows.push_back(row);
                }
            }
            project.Timetable("L" + std::to_string(line), std::to_string(direction) + "_Mo-Fr",
                              rows);
            for (auto &trip : section)
                if (trip.size() >= 2)
                    day.push_back(trip);
        }
    }
    for (const auto &trip : day) {
        trips.push_back(trip);
        // The same timetable ran yesterday: what of it leaves after midnight.
        RefTrip late;
        for (const auto &stop : trip)
            if (stop.Departure >= 1440 || !late.empty())
                late.push_back({stop.Station, stop.Arrival - 1440, stop.Departure - 1440});
        if (late.size() >= 2)
            trips.push_back(late);
    }
}

// Time-dependent Dijkstra over (journey, stop) events.
int DijkstraArrival(const std::vector<RefTrip> &trips, int from, int to, int time) {
    using Event = std::tuple<int, std::size_t, std::size_t, bool>; // time, trip, stop, by ride
    std::priority_queue<Event, std::vector<Event>, std::greater<>> queue;
    std::vector<std::vector<char>> rode(trips.size()), went(trips.size());
    for (std::size_t t = 0; t < trips.size(); ++t) {
        rode[t].assign(trips[t].size(), 0);
        went[t].assign(trips[t].size(), 0);
        for (std::size_t p = 0; p + 1 < trips[t].size(); ++p)
            if (trips[t][p].Station == from && trips[t][p].Departure >= time)
                queue.emplace(trips[t][p].Departure, t, p, false);
    }
    while (!queue.empty()) {
        const auto [at, t, p, byRide] = queue.top();
        queue.pop();
        const RefStop &stop = trips[t][p];
        if (byRide) {
            if (rode[t][p])
                continue;
            rode[t][p] = 1;
            if (stop.Station == to)
                return at;
            for (std::size_t u = 0; u < trips.size(); ++u)
                for (std::size_t q = 0; q + 1 < trips[u].size(); ++q)
                    if (u != t && trips[u][q].Station == stop.Station &&
                        trips[u][q].Departure >= stop.Arrival + kChange)
                        queue.emplace(trips[u][q].Departure, u, q, false);
        }
        if (!went[t][p] && p + 1 < trips[t].size()) {
            went[t][p] = 1;
            queue.emplace(trips[t][p + 1].Arrival, t, p + 1, true);
        }
    }
    return kNone;
}

// best[k]: the earliest arrival at each station with at most k journeys.
std::vector<std::vector<int>> RoundArrivals(const std::vector<RefTrip> &trips, int stations,
                                            int from, int time) {
    std::vector<std::vector<int>> best(kMaxLegs + 1, std::vector<int>(stations, kNone));
    for (int k = 1; k <= kMaxLegs; ++k) {
        best[k] = best[k - 1];
        for (const auto &trip : trips) {
            bool aboard = false;
            for (const auto &stop : trip) {
                if (aboard)
                    best[k][stop.Station] = std::min(best[k][stop.Station], stop.Arrival);
                const int ready = best[k - 1][stop.Station];
                if ((stop.Station == from && stop.Departure >= time) ||
                    (stop.Station != from && ready != kNone && ready + kChange <= stop.Departure))
                    aboard = true;
            }
        }
    }
    return best;
}

// Each leg rides its journey's own connections; changes keep the change time.
void ExpectValid(const TConnectionIndex &index, const TJourney &journey, int from, int to) {
    ASSERT_FALSE(journey.Legs.empty());
    EXPECT_EQ(journey.Legs.front().From, static_cast<std::uint32_t>(from));
    EXPECT_EQ(journey.Legs.back().To, static_cast<std::uint32_t>(to));
    for (std::size_t i = 0; i < journey.Legs.size(); ++i) {
        const TLeg &leg = journey.Legs[i];
        if (i > 0) {
            EXPECT_EQ(leg.From, journey.Legs[i - 1].To);
            EXPECT_GE(leg.Departure, journey.Legs[i - 1].Arrival + kChange);
        }
        std::uint32_t at = leg.From;
        int time = leg.Departure;
        bool boarded = false;
        for (const auto &c : index.ByDeparture()) {
            if (c.Trip != leg.Trip || c.Departure < time)
                continue;
            if (!boarded && !(c.From == at && c.Departure == leg.Departure))
                continue;
            boarded = true;
            if (c.From != at)
                continue;
            at = c.To;
            time = c.Arrival;
            if (at == leg.To && time == leg.Arrival)
                break;
        }
        EXPECT_TRUE(at == leg.To && time == leg.Arrival) << "leg " << i << " is not a ride";
    }
}

} // namespace

TEST(ConnectionSearchRandom, EarliestArrivalAndParetoSetMatchTheReferences) {
    std::mt19937 rng(16);
    int queries = 0, reached = 0, withChanges = 0;
    for (int network = 0; network < 12; ++network) {
        SearchProject project;
        std::vector<RefTrip> trips;
        // Sparse and dense networks in turn.
        Generate(rng, network % 2 ? 7 : 14, project, trips);
        project.Write();
        const auto index =
            TConnectionIndex::Build(project.Dir(), ServiceDayOfGroup("Mo-Fr"), kChange);
        TConnectionScan scan(index);
        const int stations = static_cast<int>(index.StationCount());
        ASSERT_EQ(stations, 18);
        for (int q = 0; q < 40; ++q, ++queries) {
            const int fromId = std::uniform_int_distribution<int>(0, 17)(rng);
            const int toId = (fromId + std::uniform_int_distribution<int>(1, 17)(rng)) % 18;
            const int time = std::uniform_int_distribution<int>(0, 1439)(rng);
            const int from = index.FindStation(StationName(fromId));
            const int to = index.FindStation(StationName(toId));
            const auto u = [](int s) { return static_cast<std::uint32_t>(s); };
            SCOPED_TRACE(StationName(fromId) + " -> " + StationName(toId) + " at " +
                         std::to_string(time) + ", network " + std::to_string(network));

            const int expected = DijkstraArrival(trips, fromId, toId, time);
            const auto arrival = scan.EarliestArrival(u(from), u(to), time);
            EXPECT_EQ(arrival.value_or(kNone), expected);

            const auto rounds = RoundArrivals(trips, 18, fromId, time);
            const auto pareto = scan.ParetoDepart(u(from), u(to), time);
            const int quickest = rounds[kMaxLegs][toId];
            EXPECT_LE(expected, quickest);
            std::vector<int> changes;
            for (const auto &journey : pareto) {
                ExpectValid(index, journey, from, to);
                EXPECT_GE(journey.Departure(), time);
                const int legs = journey.Changes() + 1;
                EXPECT_EQ(journey.Arrival(), rounds[legs][toId]);
                EXPECT_LT(journey.Arrival(), rounds[legs - 1][toId]);
                changes.push_back(journey.Changes());
            }
            std::vector<int> wanted;
            for (int legs = 1; legs <= kMaxLegs; ++legs)
                if (rounds[legs][toId] < rounds[legs - 1][toId] &&
                    rounds[legs][toId] <= quickest + kParetoHorizonMinutes)
                    wanted.push_back(legs - 1);
            EXPECT_EQ(changes, wanted);
            if (expected != kNone)
                ++reached;
            if (!pareto.empty() && pareto.back().Changes() > 0)
                ++withChanges;

            // Arriving by the quickest arrival: the latest departure that
            // still makes it, and none a minute later does.
            if (quickest == kNone)
                continue;
            const auto back = scan.ParetoArrive(u(from), u(to), quickest);
            ASSERT_FALSE(back.empty());
            int latest = INT_MIN;
            for (const auto &journey : back) {
                ExpectValid(index, journey, from, to);
                EXPECT_LE(journey.Arrival(), quickest);
                latest = std::max(latest, journey.Departure());
            }
            EXPECT_GE(latest, time);
            EXPECT_LE(RoundArrivals(trips, 18, fromId, latest)[kMaxLegs][toId], quickest);
            EXPECT_GT(RoundArrivals(trips, 18, fromId, latest + 1)[kMaxLegs][toId], quickest);

            // The window's answers: the first arrives as early as possible,
            // all in order, each a valid journey in the asked time.
            const auto later =
                FindConnections(index, {StationName(fromId), StationName(toId), time, false, 3});
            ASSERT_FALSE(later.empty());
            int first = kNone;
            for (std::size_t i = 0; i < later.size(); ++i) {
                ExpectValid(index, later[i], from, to);
                EXPECT_GE(later[i].Departure(), time);
                first = std::min(first, later[i].Arrival());
                if (i > 0) {
                    EXPECT_LE(later[i - 1].Departure(), later[i].Departure());
                }
            }
            EXPECT_EQ(first, quickest);
            const auto earlier =
                FindConnections(index, {StationName(fromId), StationName(toId), quickest, true, 3});
            ASSERT_FALSE(earlier.empty());
            int last = INT_MIN;
            for (const auto &journey : earlier) {
                ExpectValid(index, journey, from, to);
                EXPECT_LE(journey.Arrival(), quickest);
                last = std::max(last, journey.Departure());
            }
            EXPECT_EQ(last, latest);
        }
    }
    // The generated networks must exercise the search, not just miss.
    EXPECT_EQ(queries, 480);
    EXPECT_GT(reached, queries / 3);
    EXPECT_GT(withChanges, queries / 10);
}
