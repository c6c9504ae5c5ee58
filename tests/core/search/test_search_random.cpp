// The connection scan against plainly written references on generated
// networks: a time-dependent Dijkstra over the journeys for the earliest
// arrival, and rounds of "board everything reachable" for the best arrival
// with at most k journeys. The journeys are the generator's own, not read
// back from the files the index is built from; on a date, the generator asks
// the operating calendar which of them run.

#include "core/calendar/operating_calendar.h"
#include "core/model/footnotes.h"
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

// A search on a date: the project's day groups, footnotes and calendar.
struct Dating {
    TPrjParams Params;
    TFootnoteList Footnotes;
    TDate Date;
};

// The part of a journey of the day before that runs after midnight, in the
// searched day's minutes.
RefTrip AfterMidnight(const RefTrip &trip) {
    RefTrip late;
    for (const auto &stop : trip)
        if (stop.Departure >= 1440 || !late.empty())
            late.push_back({stop.Station, stop.Arrival - 1440, stop.Departure - 1440});
    return late;
}

RefTrip Shifted(RefTrip trip, int minutes) {
    for (auto &stop : trip) {
        stop.Arrival += minutes;
        stop.Departure += minutes;
    }
    return trip;
}

// A random network written as a project; `trips` gets every journey as it
// runs on the searched day, the day before's ones from midnight on. With a
// date, each section belongs to a random day group and its journeys carry
// random footnotes and night marks.
void Generate(std::mt19937 &rng, int lines, SearchProject &project, std::vector<RefTrip> &trips,
              const Dating *dating = nullptr) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int stations = 18;
    for (int s = 0; s < stations; ++s)
        project.Station(StationName(s));
    std::vector<RefTrip> day;
    std::optional<calendar::TOperatingCalendar> days;
    if (dating)
        days.emplace(dating->Params.Calendar, TDateRange{dating->Date + -1, dating->Date});
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
            const TDayGroupItem *group = nullptr;
            std::vector<int> footnote(static_cast<std::size_t>(journeys), -1);
            std::vector<bool> night(static_cast<std::size_t>(journeys), false);
            if (dating) {
                const auto &groups = dating->Params.DayGroups;
                group =
                    &groups[static_cast<std::size_t>(pick(0, static_cast<int>(groups.size()) - 1))];
                for (int j = 0; j < journeys; ++j) {
                    footnote[static_cast<std::size_t>(j)] =
                        pick(-2, static_cast<int>(dating->Footnotes.size()) - 1);
                    night[static_cast<std::size_t>(j)] = pick(0, 3) == 0;
                }
            }
            std::vector<RefTrip> section;
            for (int j = 0; j < journeys; ++j) {
                // A night journey of the previous day leaves in the small hours.
                int time = night[static_cast<std::size_t>(j)] ? pick(0, 200) : pick(240, 1420);
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
            const std::string name = "L" + std::to_string(line);
            if (!dating) {
                project.Timetable(name, std::to_string(direction) + "_Mo-Fr", rows);
                for (auto &trip : section)
                    if (trip.size() >= 2)
                        day.push_back(trip);
                continue;
            }
            std::string symbols = "footnotes=", nights = "nights=";
            for (int j = 0; j < journeys; ++j) {
                const auto k = static_cast<std::size_t>(j);
                const TFootnote *note =
                    footnote[k] >= 0 ? &dating->Footnotes[static_cast<std::size_t>(footnote[k])]
                                     : nullptr;
                symbols += (j ? "," : "") + (note ? note->Symbol : footnote[k] == -1 ? "" : "?");
                if (night[k])
                    nights += (nights.back() == '=' ? "" : ",") + std::to_string(j + 1);
                if (section[k].size() < 2)
                    continue;
                // A symbol the project does not know ("?") narrows nothing.
                const RefTrip run = Shifted(section[k], night[k] ? 1440 : 0);
                if (calendar::JourneyRuns(*days, group->Days, note, dating->Date))
                    trips.push_back(run);
                const RefTrip late = AfterMidnight(run);
                if (late.size() >= 2 &&
                    calendar::JourneyRuns(*days, group->Days, note, dating->Date + -1))
                    trips.push_back(late);
            }
            project.Timetable(name, std::to_string(direction) + "_" + group->Name, rows,
                              {symbols, nights});
        }
    }
    for (const auto &trip : day) {
        trips.push_back(trip);
        // The same timetable ran yesterday: what of it leaves after midnight.
        const RefTrip late = AfterMidnight(trip);
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

// How many queries reached their destination, how many with a change.
struct Tally {
    int Queries = 0;
    int Reached = 0;
    int WithChanges = 0;
};

// Random queries on the index, each answer compared with the references
// over the trips.
void CompareWithReferences(const TConnectionIndex &index, const std::vector<RefTrip> &trips,
                           std::mt19937 &rng, int network, int count, Tally &tally) {
    TConnectionScan scan(index);
    const int stations = static_cast<int>(index.StationCount());
    ASSERT_EQ(stations, 18);
    for (int q = 0; q < count; ++q, ++tally.Queries) {
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
            ++tally.Reached;
        if (!pareto.empty() && pareto.back().Changes() > 0)
            ++tally.WithChanges;

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

} // namespace

TEST(ConnectionSearchRandom, EarliestArrivalAndParetoSetMatchTheReferences) {
    std::mt19937 rng(16);
    Tally tally;
    for (int network = 0; network < 12; ++network) {
        SearchProject project;
        std::vector<RefTrip> trips;
        // Sparse and dense networks in turn.
        Generate(rng, network % 2 ? 7 : 14, project, trips);
        project.Write();
        const auto index =
            TConnectionIndex::Build(project.Dir(), ServiceDayOfGroup("Mo-Fr"), kChange);
        CompareWithReferences(index, trips, rng, network, 40, tally);
    }
    // The generated networks must exercise the search, not just miss.
    EXPECT_EQ(tally.Queries, 480);
    EXPECT_GT(tally.Reached, tally.Queries / 3);
    EXPECT_GT(tally.WithChanges, tally.Queries / 10);
}

// On dates around a holiday, a school holiday and a special day, with
// footnotes that narrow and widen and night journeys of the previous day.
TEST(ConnectionSearchRandom, OnADateTheJourneysTheCalendarRunsMatchTheReferences) {
    Dating dating;
    const auto day = [](const char *iso) { return *ParseIsoDate(iso); };
    dating.Params.DayGroups = {
        {"Mo-Fr", "", 0x1F}, {"Sa", "", 0x20}, {"So", "", 0x40}, {"Sa+So", "", 0x60}};
    dating.Params.Calendar.Land = "SN";
    dating.Params.Calendar.SchoolHolidays = {{{day("2026-12-21"), day("2027-01-02")}, ""}};
    dating.Params.Calendar.SpecialDays = {
        {{day("2026-12-24"), day("2026-12-24")}, TDayTreatment::AsWeekday, 5}};
    dating.Footnotes = {
        {"S", "", TFootnoteDays::SchoolDays, {}, {}, {}},
        {"F", "", TFootnoteDays::SchoolHolidays, {}, {}, {}},
        {"X",
         "",
         TFootnoteDays::All,
         {{day("2026-12-14"), day("2026-12-14")}},
         {{day("2026-11-18"), day("2026-11-18")}},
         {}},
        {"O", "", TFootnoteDays::All, {}, {}, {{day("2026-12-13"), day("2026-12-13")}}}};
    const char *dates[] = {"2026-11-18", "2026-12-23", "2026-12-25",
                           "2026-12-13", "2026-12-14", "2026-12-16"};
    std::mt19937 rng(24);
    Tally tally;
    for (int network = 0; network < 6; ++network) {
        dating.Date = day(dates[network]);
        SearchProject project;
        std::vector<RefTrip> trips;
        Generate(rng, network % 2 ? 9 : 16, project, trips, &dating);
        project.Write();
        SaveFootnotes(project.Dir(), dating.Footnotes);
        const auto index = TConnectionIndex::Build(
            project.Dir(), ServiceDayOfDate(dating.Params, dating.Date), kChange);
        CompareWithReferences(index, trips, rng, network, 30, tally);
    }
    EXPECT_EQ(tally.Queries, 180);
    EXPECT_GT(tally.Reached, tally.Queries / 5);
}
