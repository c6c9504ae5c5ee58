// The connection search on small hand-made projects: changes with the
// minimum change time met and missed, arrival and departure rows, a journey
// over midnight, interval columns, the Pareto set, latest departure, the
// cases without a connection, and the search on a date by the operating
// calendar.

#include "core/model/footnotes.h"
#include "core/search/connection_scan.h"
#include "core/search/search_project.h"

#include <gtest/gtest.h>

using namespace takton;
using namespace takton::search;
using takton::testing::SearchProject;

namespace {

const TServiceDay kWeekday = ServiceDayOfGroup("Mo-Fr");

int T(const char *text) {
    return *ParseDayTime(text);
}

// "07:00-07:30 1 [L1 A 07:00 B 07:10 | L2 B 07:12 C 07:30]"
std::string Describe(const TConnectionIndex &index, const TJourney &journey) {
    std::string text = FormatDayTime(journey.Departure()) + "-" + FormatDayTime(journey.Arrival()) +
                       " " + std::to_string(journey.Changes()) + " [";
    for (std::size_t i = 0; i < journey.Legs.size(); ++i) {
        const TLeg &leg = journey.Legs[i];
        text += (i ? " | " : "") + index.LineName(index.Trips()[leg.Trip].Line) + " " +
                index.StationName(leg.From) + " " + FormatDayTime(leg.Departure) + " " +
                index.StationName(leg.To) + " " + FormatDayTime(leg.Arrival);
    }
    return text + "]";
}

std::vector<std::string> Find(const TConnectionIndex &index, const std::string &from,
                              const std::string &to, const char *time, bool arrive = false,
                              int count = 1) {
    std::vector<std::string> found;
    for (const auto &journey : FindConnections(index, {from, to, T(time), arrive, count}))
        found.push_back(Describe(index, journey));
    return found;
}

} // namespace

TEST(ConnectionSearch, ChangeTimeMetAndMissedByOneMinute) {
    SearchProject p;
    p.Timetable("L1", "1_Mo-Fr", {"A,07:00", "B,07:10"});
    p.Timetable("L2", "1_Mo-Fr", {"B,07:12,07:42", "C,07:29,08:00"});
    p.Write();
    // Two minutes wanted, 07:12 leaves after two: met.
    auto index = TConnectionIndex::Build(p.Dir(), kWeekday, 2);
    EXPECT_EQ(Find(index, "A", "C", "06:50"),
              std::vector<std::string>{"07:00-07:29 1 [L1 A 07:00 B 07:10 | L2 B 07:12 C 07:29]"});
    // Three minutes wanted: missed by one, the next journey at 07:42.
    index = TConnectionIndex::Build(p.Dir(), kWeekday, 3);
    EXPECT_EQ(Find(index, "A", "C", "06:50"),
              std::vector<std::string>{"07:00-08:00 1 [L1 A 07:00 B 07:10 | L2 B 07:42 C 08:00]"});
    // Station ids follow the timetables' first mention, stations.csv being empty.
    EXPECT_EQ(TConnectionScan(index).EarliestArrival(0, 2, T("06:50")), T("08:00"));
}

TEST(ConnectionSearch, StayingInTheJourneyNeedsNoChangeTimeAndPairsSplitArrivalFromDeparture) {
    SearchProject p;
    // B is served with an arrival row (07:10) and a departure row (07:20).
    p.Timetable("L1", "1_Mo-Fr", {"A,07:00", "B,07:10", "B,07:20", "C,07:21"});
    p.Timetable("L2", "1_Mo-Fr", {"B,07:12", "D,07:30"});
    p.Write();
    const auto index = TConnectionIndex::Build(p.Dir(), kWeekday, 2);
    // Seated through B although the stop there is one minute short of a change.
    EXPECT_EQ(Find(index, "A", "C", "06:00"),
              std::vector<std::string>{"07:00-07:21 0 [L1 A 07:00 C 07:21]"});
    // The arrival row lets one change at 07:12.
    EXPECT_EQ(Find(index, "A", "D", "06:00"),
              std::vector<std::string>{"07:00-07:30 1 [L1 A 07:00 B 07:10 | L2 B 07:12 D 07:30]"});
    // Leaving B, the journey goes at its departure row's time.
    EXPECT_EQ(Find(index, "B", "C", "07:15"),
              std::vector<std::string>{"07:20-07:21 0 [L1 B 07:20 C 07:21]"});
}

TEST(ConnectionSearch, JourneyOverMidnightContinuesIntoTheNextDay) {
    SearchProject p;
    p.Timetable("Nacht", "1_Mo-Fr", {"A,23:50", "B,00:10", "C,00:20"});
    p.Write();
    TPrjParams params;
    params.DayGroups = {{"Mo-Fr", "Werktage", 0x1F}, {"So", "Sonntag", 0x40}};
    auto index = TConnectionIndex::Build(p.Dir(), ServiceDayOfWeekday(params, 1), 2);
    EXPECT_EQ(Find(index, "A", "C", "23:00"),
              std::vector<std::string>{"23:50-24:20 0 [Nacht A 23:50 C 24:20]"});
    // Tuesday just after midnight: Monday's journey is still on its way.
    EXPECT_EQ(Find(index, "B", "C", "00:00"),
              std::vector<std::string>{"00:10-00:20 0 [Nacht B 00:10 C 00:20]"});
    // Monday after midnight: Sunday ran no such journey; Monday's own comes
    // the night after.
    index = TConnectionIndex::Build(p.Dir(), ServiceDayOfWeekday(params, 0), 2);
    EXPECT_EQ(Find(index, "B", "C", "00:00"),
              std::vector<std::string>{"24:10-24:20 0 [Nacht B 24:10 C 24:20]"});
    EXPECT_EQ(WeekdayOfDate("2026-12-08"), 1); // a Tuesday
    EXPECT_EQ(WeekdayOfDate("2026-12-13"), 6);
    EXPECT_EQ(WeekdayOfDate("2026-02-30"), -1);
    EXPECT_EQ(WeekdayOfDate("2026-1-30"), -1);
}

TEST(ConnectionSearch, IntervalColumnRunsTheJourneyLeftOfItRepeatedly) {
    SearchProject p;
    p.Timetable("T", "1_Mo-Fr", {"A,06:00,20 Min,07:00", "B,06:10,20 Min,07:10"});
    p.Write();
    const auto index = TConnectionIndex::Build(p.Dir(), kWeekday, 2);
    EXPECT_EQ(Find(index, "A", "B", "06:01", false, 4),
              (std::vector<std::string>{"06:20-06:30 0 [T A 06:20 B 06:30]",
                                        "06:40-06:50 0 [T A 06:40 B 06:50]",
                                        "07:00-07:10 0 [T A 07:00 B 07:10]"}));
    EXPECT_EQ(index.Trips().size(), 4U);
}

TEST(ConnectionSearch, ParetoSetKeepsTheSlowerDirectAndTheFasterChange) {
    SearchProject p;
    p.Timetable("Bummel", "1_Mo-Fr", {"A,08:00", "D,09:00"});
    p.Timetable("F1", "1_Mo-Fr", {"A,08:05", "X,08:15"});
    p.Timetable("F2", "1_Mo-Fr", {"X,08:20", "D,08:40"});
    p.Write();
    const auto index = TConnectionIndex::Build(p.Dir(), kWeekday, 2);
    const std::vector<std::string> both = {
        "08:00-09:00 0 [Bummel A 08:00 D 09:00]",
        "08:05-08:40 1 [F1 A 08:05 X 08:15 | F2 X 08:20 D 08:40]"};
    EXPECT_EQ(Find(index, "A", "D", "07:55"), both);
    // Latest departure: arriving by 09:00 both, by 08:50 only the change.
    EXPECT_EQ(Find(index, "A", "D", "09:00", true), both);
    EXPECT_EQ(Find(index, "A", "D", "08:50", true), std::vector<std::string>{both[1]});
    // With no change allowed only the direct journey is left.
    TConnectionScan scan(index);
    const auto direct =
        scan.ParetoDepart(static_cast<std::uint32_t>(index.FindStation("A")),
                          static_cast<std::uint32_t>(index.FindStation("D")), T("07:55"), 0);
    ASSERT_EQ(direct.size(), 1U);
    EXPECT_EQ(Describe(index, direct[0]), both[0]);
}

TEST(ConnectionSearch, NextConnectionsDepartAsLateAsTheirArrivalAllows) {
    SearchProject p;
    p.Timetable("Zu", "1_Mo-Fr", {"A,07:00,07:15,08:00", "X,07:10,07:25,08:10"});
    p.Timetable("Y", "1_Mo-Fr", {"X,07:30,08:30", "B,07:40,08:40"});
    p.Write();
    const auto index = TConnectionIndex::Build(p.Dir(), kWeekday, 2);
    // The 07:00 reaches the 07:30 too, but the 07:15 does as well.
    const std::vector<std::string> two = {"07:15-07:40 1 [Zu A 07:15 X 07:25 | Y X 07:30 B 07:40]",
                                          "08:00-08:40 1 [Zu A 08:00 X 08:10 | Y X 08:30 B 08:40]"};
    EXPECT_EQ(Find(index, "A", "B", "06:58", false, 2), two);
    EXPECT_EQ(Find(index, "A", "B", "06:58", false, 5), two) << "no third journey that day";
    EXPECT_EQ(Find(index, "a", "b", "08:40", true, 2), two)
        << "station names are found without regard to case";
    EXPECT_EQ(Find(index, "A", "B", "08:39", true, 1), std::vector<std::string>{two[0]});
}

TEST(ConnectionSearch, NoConnectionStartEqualToDestinationAndUnknownStations) {
    SearchProject p;
    p.Station("Insel");
    p.Timetable("L", "1_Mo-Fr", {"A,07:00", "B,07:10"});
    p.Timetable("L", "1_Sa", {"B,07:00", "A,07:10"});
    p.Write();
    const auto index = TConnectionIndex::Build(p.Dir(), kWeekday, 2);
    EXPECT_TRUE(Find(index, "B", "A", "06:00").empty()) << "only Saturdays run back";
    EXPECT_TRUE(Find(index, "A", "Insel", "06:00").empty());
    EXPECT_TRUE(Find(index, "A", "A", "06:00").empty());
    EXPECT_TRUE(Find(index, "A", "Nirgendwo", "06:00").empty());
    EXPECT_TRUE(Find(index, "A", "B", "07:01").empty()) << "the last journey has left";
    EXPECT_EQ(Find(index, "A", "B", "07:00").size(), 1U);
}

TEST(ConnectionSearch, DayTimesAndCellSpellings) {
    EXPECT_EQ(FormatDayTime(T("07:05")), "07:05");
    EXPECT_EQ(FormatDayTime(1450), "24:10");
    EXPECT_EQ(ParseDayTime("7:05"), 425);
    EXPECT_EQ(ParseDayTime("24:00"), std::nullopt);
    EXPECT_EQ(ParseDayTime("07:5"), std::nullopt);
    EXPECT_EQ(ParseDayTime("ab:cd"), std::nullopt);
    SearchProject p;
    // Times as the check accepts them, blanks around a cell, other text passed over.
    p.Timetable("L", "2_Mo-Fr", {"A, 7:00 ,x", "B,7:10", "C,"});
    p.Write();
    const auto index = TConnectionIndex::Build(p.Dir(), kWeekday, 2);
    EXPECT_EQ(Find(index, "A", "B", "06:00"),
              std::vector<std::string>{"07:00-07:10 0 [L A 07:00 B 07:10]"});
    EXPECT_EQ(index.Trips()[0].Direction, 2);
    EXPECT_EQ(index.StationName(index.Trips()[0].EndStation), "C");
}

namespace {

TDate Day(const char *iso) {
    return *ParseIsoDate(iso);
}

std::vector<std::string> Departures(const TConnectionIndex &index, const char *time, int count) {
    std::vector<std::string> found;
    for (const auto &journey : FindConnections(index, {"A", "B", T(time), false, count}))
        found.push_back(FormatDayTime(journey.Departure()) + " " +
                        index.LineName(index.Trips()[journey.Legs.front().Trip].Line));
    return found;
}

} // namespace

TEST(ConnectionSearch, OnADateTheOperatingCalendarDecidesJourneyByJourney) {
    SearchProject p;
    // W: workdays, its 07:30 on school days only, its 12:00 also on 26.12.
    p.Timetable("W", "1_Mo-Fr", {"A,07:00,07:30,12:00", "B,07:10,07:40,12:10"}, {"footnotes=,S,X"});
    p.Timetable("SA", "1_Sa", {"A,08:00", "B,08:10"});
    // Saturday's night journey: 00:30 runs in the night to Sunday.
    p.Timetable("N", "1_Sa", {"A,00:30", "B,00:50"}, {"nights=1"});
    p.Timetable("SO", "1_So", {"A,09:00", "B,09:10"});
    p.Write();
    SaveFootnotes(
        p.Dir(), {{"S", "Schulbus", TFootnoteDays::SchoolDays, {}, {}, {}},
                  {"X", "", TFootnoteDays::All, {}, {{Day("2026-12-26"), Day("2026-12-26")}}, {}}});
    TPrjParams params;
    params.DayGroups = {
        {"Mo-Fr", "Werktage", 0x1F}, {"Sa", "Samstag", 0x20}, {"So", "Sonntag", 0x40}};
    params.Calendar.Land = "SN";
    params.Calendar.SchoolHolidays = {{{Day("2026-12-21"), Day("2027-01-02")}, "Weihnachten"}};
    TSpecialDay christmasEve{{Day("2026-12-24"), Day("2026-12-24")}, TDayTreatment::AsWeekday, 5};
    params.Calendar.SpecialDays = {christmasEve};
    const auto on = [&](const char *date) {
        return TConnectionIndex::Build(p.Dir(), ServiceDayOfDate(params, Day(date)), 2);
    };
    using List = std::vector<std::string>;

    // A school day; then a school holiday: the school bus stays home.
    EXPECT_EQ(Departures(on("2026-12-16"), "06:00", 5), (List{"07:00 W", "07:30 W", "12:00 W"}));
    EXPECT_EQ(Departures(on("2026-12-23"), "06:00", 5), (List{"07:00 W", "12:00 W"}));
    // Buß- und Bettag, a Wednesday and a holiday in Saxony, runs as Sunday;
    // without the Land it is a Wednesday like any other.
    EXPECT_EQ(Departures(on("2026-11-18"), "06:00", 5), (List{"09:00 SO"}));
    params.Calendar.Land.clear();
    EXPECT_EQ(Departures(on("2026-11-18"), "06:00", 5), (List{"07:00 W", "07:30 W", "12:00 W"}));
    params.Calendar.Land = "SN";
    // Christmas Eve runs as Saturday, so Saturday's night journey runs at
    // 00:30 on Christmas Day, a holiday with Sunday's journeys.
    EXPECT_EQ(Departures(on("2026-12-24"), "06:00", 5), (List{"08:00 SA", "24:30 N"}));
    EXPECT_EQ(Departures(on("2026-12-25"), "00:00", 5), (List{"00:30 N", "09:00 SO"}));
    // The second Christmas Day, a Saturday and a holiday: Sunday's journeys
    // and the footnote's extra day; a plain Saturday runs neither.
    EXPECT_EQ(Departures(on("2026-12-26"), "06:00", 5), (List{"09:00 SO", "12:00 W"}));
    EXPECT_EQ(Departures(on("2026-12-19"), "06:00", 5), (List{"08:00 SA", "24:30 N"}));
    // A Saturday just after midnight: Friday ran no night journey.
    EXPECT_EQ(Departures(on("2026-12-19"), "00:00", 1), (List{"08:00 SA"}));
    EXPECT_EQ(Departures(on("2026-12-20"), "00:00", 1), (List{"00:30 N"}));

    // By day group every journey of the group runs, footnotes or not, and
    // the clock times stand as written.
    EXPECT_EQ(
        Departures(TConnectionIndex::Build(p.Dir(), ServiceDayOfGroup("Mo-Fr"), 2), "06:00", 5),
        (List{"07:00 W", "07:30 W", "12:00 W"}));
    EXPECT_EQ(Departures(TConnectionIndex::Build(p.Dir(), ServiceDayOfGroup("Sa"), 2), "00:00", 5),
              (List{"00:30 N", "08:00 SA"}));

    // The footnotes are among the files an index is built from.
    const TSourceStamp stamp = SourceStampOf(p.Dir());
    EXPECT_TRUE(SourceUnchanged(stamp, p.Dir()));
    SaveFootnotes(p.Dir(), {{"S", "Schulbus", TFootnoteDays::SchoolHolidays, {}, {}, {}}});
    EXPECT_FALSE(SourceUnchanged(stamp, p.Dir()));
}
