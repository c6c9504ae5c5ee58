// A feed imported into a project and exported again by the project's own
// export: passengers can ride exactly what they could before, on the same
// dates at the same times along the same stations, and nothing more. And
// every imported journey runs, by the project's own rule, on exactly the
// dates of the service it came from.

#include "core/calendar/journey_days.h"
#include "core/gtfs/feed_reader.h"
#include "core/gtfs/gtfs_export.h"
#include "core/gtfs/gtfs_import.h"
#include "core/model/footnotes.h"
#include "core/model/master_data.h"
#include "core/model/prj_load.h"
#include "core/model/timetable_file.h"
#include "core/util/cp1252.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>

using namespace takton;
using namespace takton::testing;

namespace {

using TFiles = std::map<std::string, std::string>;

// "H:MM:SS" in seconds, hours past 24 allowed.
int Seconds(const std::string &text) {
    const std::size_t a = text.find(':'), b = text.rfind(':');
    return std::stoi(text.substr(0, a)) * 3600 + std::stoi(text.substr(a + 1, b - a - 1)) * 60 +
           std::stoi(text.substr(b + 1));
}

std::string TwoDigits(long n) {
    return (n < 10 ? "0" : "") + std::to_string(n);
}

// "HH:MM" of minutes after the start of an operating day ("24:01").
std::string RunClock(long minutes) {
    return TwoDigits(minutes / 60) + ":" + TwoDigits(minutes % 60);
}

struct TTripRuns {
    std::string Service, Line;
    std::vector<std::tuple<std::string, int, int>> Stops; // station, arrival, departure
    std::vector<int> Starts; // first departures, seconds of the operating day
};

// Each trip of a feed: its stations (a stop stands for its parent station)
// and times, and where frequencies.txt repeats it, every start.
std::vector<TTripRuns> ExpandTrips(const TFiles &files) {
    const TCsvTable stops = ParseCsv(files.at("stops.txt"));
    std::map<std::string, std::pair<std::string, std::string>> stop; // id → name, parent
    for (std::size_t r = 0; r < stops.Rows.size(); ++r)
        stop[stops.Get(r, "stop_id")] = {stops.Get(r, "stop_name"), stops.Get(r, "parent_station")};
    auto station = [&](std::string id) {
        for (int depth = 0; depth < 8 && !stop.at(id).second.empty(); ++depth)
            id = stop.at(id).second;
        return stop.at(id).first;
    };
    const TCsvTable routes = ParseCsv(files.at("routes.txt"));
    std::map<std::string, std::string> lineOf;
    for (std::size_t r = 0; r < routes.Rows.size(); ++r)
        lineOf[routes.Get(r, "route_id")] = routes.Get(r, "route_short_name");
    const TCsvTable trips = ParseCsv(files.at("trips.txt"));
    std::map<std::string, TTripRuns> byId;
    for (std::size_t r = 0; r < trips.Rows.size(); ++r)
        byId[trips.Get(r, "trip_id")] = {
            trips.Get(r, "service_id"), lineOf.at(trips.Get(r, "route_id")), {}, {}};
    const TCsvTable times = ParseCsv(files.at("stop_times.txt"));
    std::map<std::string, std::map<int, std::tuple<std::string, int, int>>> rows;
    for (std::size_t r = 0; r < times.Rows.size(); ++r)
        rows[times.Get(r, "trip_id")][std::stoi(times.Get(r, "stop_sequence"))] = {
            station(times.Get(r, "stop_id")), Seconds(times.Get(r, "arrival_time")),
            Seconds(times.Get(r, "departure_time"))};
    for (auto &[id, sequence] : rows)
        for (auto &[number, row] : sequence)
            byId.at(id).Stops.push_back(row);
    if (files.contains("frequencies.txt")) {
        const TCsvTable frequencies = ParseCsv(files.at("frequencies.txt"));
        for (std::size_t r = 0; r < frequencies.Rows.size(); ++r) {
            const int end = Seconds(frequencies.Get(r, "end_time")),
                      headway = std::stoi(frequencies.Get(r, "headway_secs"));
            for (int t = Seconds(frequencies.Get(r, "start_time")); t < end; t += headway)
                byId.at(frequencies.Get(r, "trip_id")).Starts.push_back(t);
        }
    }
    std::vector<TTripRuns> expanded;
    for (auto &[id, trip] : byId) {
        if (trip.Starts.empty())
            trip.Starts.push_back(std::get<2>(trip.Stops.front()));
        expanded.push_back(std::move(trip));
    }
    return expanded;
}

std::set<std::string> InPeriod(const std::set<std::string> &dates, TDateRange period) {
    std::set<std::string> kept;
    for (const auto &date : dates)
        if (period.Contains(*ParseCompactDate(date)))
            kept.insert(date);
    return kept;
}

// Every ride of the feed on the operating days of the period: the calendar
// day and clock of its first departure, then each station with its times
// after that departure.
std::multiset<std::string> Rides(const TFiles &files, TDateRange period) {
    const auto dates = ServiceDates(files);
    std::multiset<std::string> rides;
    for (const TTripRuns &trip : ExpandTrips(files)) {
        if (!dates.contains(trip.Service))
            continue;
        const int base = std::get<2>(trip.Stops.front());
        for (const auto &date : InPeriod(dates.at(trip.Service), period))
            for (const int start : trip.Starts) {
                const TDate day = *ParseCompactDate(date) + start / 86400;
                const int clock = start % 86400;
                std::string ride = IsoDateText(day) + " " + TwoDigits(clock / 3600) + ":" +
                                   TwoDigits(clock / 60 % 60) + ":" + TwoDigits(clock % 60);
                for (const auto &[station, arrival, departure] : trip.Stops)
                    ride += " > " + station + " +" + std::to_string(arrival - base) + "/+" +
                            std::to_string(departure - base);
                rides.insert(ride);
            }
    }
    return rides;
}

// The differences of two sets of rides, at most a few of each side.
std::string RideDifference(const std::multiset<std::string> &before,
                           const std::multiset<std::string> &after) {
    std::vector<std::string> lost, added;
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(),
                        std::back_inserter(lost));
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(),
                        std::back_inserter(added));
    std::string text =
        std::to_string(lost.size()) + " lost, " + std::to_string(added.size()) + " added";
    for (std::size_t i = 0; i < std::min<std::size_t>(lost.size(), 5); ++i)
        text += "\n  lost  " + lost[i];
    for (std::size_t i = 0; i < std::min<std::size_t>(added.size(), 5); ++i)
        text += "\n  added " + added[i];
    return text;
}

TFiles FolderFiles(const std::string &folder) {
    TFiles files;
    for (const auto &item : std::filesystem::directory_iterator(folder)) {
        std::ifstream in(item.path(), std::ios::binary);
        files[item.path().filename().string()] =
            std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return files;
}

struct TRoundTrip {
    TempDir dir;
    gtfs::TImportReport Report;
    TPrjParams Params;
    TDateRange Period;
    TFiles Exported;

    std::string ProjectDir() const { return dir.File("project"); }

    void Run(const std::string &feed) {
        Report = gtfs::ImportGtfs(feed, dir.File("project/p.zpr"));
        LoadProjectFile(dir.File("project/p.zpr"), Params);
        const auto period = calendar::ValidityPeriod(Params.Publishing);
        ASSERT_TRUE(period);
        Period = *period;
        gtfs::ExportGtfs(ProjectDir(), Params, dir.File("out.zip"));
        Exported = ReadZip(dir.File("out.zip"));
        EXPECT_EQ(ValidateFeed(Exported), std::vector<std::string>{});
    }

    // Each journey column of the project against the service its trip had
    // (found by line and first departure): the run dates the project gives it
    // are exactly the service's, its footnote no longer than the dates
    // themselves would be, and none where the day group is exact already.
    // The symbols by service.
    std::map<std::string, std::set<std::string>> CheckJourneyDays(const TFiles &feed) {
        std::map<std::string, std::set<std::string>> serviceAt; // line + start → services
        for (const TTripRuns &trip : ExpandTrips(feed))
            for (const int start : trip.Starts)
                serviceAt[trip.Line + " " + RunClock(start / 60)].insert(trip.Service);
        const auto dates = ServiceDates(feed);
        std::map<std::string, std::set<std::string>> symbols;
        std::size_t checked = 0;
        for (const std::string &line : LoadNameList(ProjectDir(), kLinesFile)) {
            const TTimetableFile file(TimetablePath(ProjectDir(), line));
            for (const std::string &section : file.Sections()) {
                std::vector<std::vector<std::string>> cells; // by row, without the station
                std::vector<std::string> stations;
                for (const std::string &row : file.ReadRows(section)) {
                    std::vector<std::string> split;
                    std::size_t from = 0;
                    for (std::size_t comma; (comma = row.find(',', from)) != std::string::npos;
                         from = comma + 1)
                        split.push_back(row.substr(from, comma - from));
                    split.push_back(row.substr(from));
                    stations.push_back(split.front());
                    cells.emplace_back(split.begin() + 1, split.end());
                }
                const TJourneyMarkList marks = file.ReadJourneyMarks(section);
                for (std::size_t c = 0;; ++c) {
                    // The first station with a time, its departure (the last of its rows).
                    std::string first;
                    for (std::size_t r = 0; r < cells.size(); ++r) {
                        if (!first.empty() && stations[r] != stations[r - 1])
                            break;
                        if (c < cells[r].size() && !cells[r][c].empty())
                            first = cells[r][c];
                    }
                    if (first.empty() &&
                        std::none_of(cells.begin(), cells.end(),
                                     [c](const auto &row) { return c < row.size(); }))
                        break;
                    if (first.empty() || first.ends_with("Min"))
                        continue;
                    const bool night = c < marks.size() && marks[c].PreviousDayNight;
                    const long minutes = std::stoi(first.substr(0, 2)) * 60 +
                                         std::stoi(first.substr(3)) + (night ? 1440 : 0);
                    const std::string where =
                        line + " [" + section + "] Fahrt " + std::to_string(c + 1);
                    const auto &services = serviceAt[line + " " + RunClock(minutes)];
                    if (services.size() != 1) {
                        ADD_FAILURE()
                            << where << ": no single trip of the feed at " << RunClock(minutes);
                        continue;
                    }
                    const std::string &service = *services.begin();
                    const auto days =
                        calendar::ReadJourneyDays(ProjectDir(), Params, line, section[0] - '0',
                                                  section.substr(2), static_cast<int>(c) + 1);
                    std::set<std::string> runs, groupDays;
                    for (const TDate date : calendar::JourneyRunDates(Params, days, Period))
                        runs.insert(CompactDateText(date));
                    const std::set<std::string> expected = InPeriod(dates.at(service), Period);
                    EXPECT_EQ(runs, expected) << where << " of " << service;
                    for (TDate date = Period.First; date <= Period.Last; date = date + 1)
                        if (HasDay(days.GroupDays, WeekdayOf(date)))
                            groupDays.insert(CompactDateText(date));
                    if (expected == groupDays) {
                        EXPECT_FALSE(days.Footnote) << where;
                    }
                    if (days.Footnote) {
                        std::vector<TDate> only;
                        for (const auto &date : expected)
                            only.push_back(*ParseCompactDate(date));
                        EXPECT_LE(days.Footnote->NotOn.size() + days.Footnote->AlsoOn.size() +
                                      days.Footnote->OnlyOn.size(),
                                  CompactDateList(only).size())
                            << where;
                        symbols[service].insert(days.Footnote->Symbol);
                    }
                    ++checked;
                }
            }
        }
        EXPECT_GT(checked, 0U);
        return symbols;
    }
};

} // namespace

TEST(GtfsRoundTrip, TheSampleFeedRidesAsBeforeWithItsRemovedDay) {
    const std::string sample = TAKTON_SOURCE_DIR "/tests/data/gtfs/sample";
    TRoundTrip trip;
    trip.Run(sample);
    const TFiles feed = FolderFiles(sample);
    const auto before = Rides(feed, trip.Period);
    const auto after = Rides(trip.Exported, trip.Period);
    EXPECT_EQ(before, after) << RideDifference(before, after);
    // FULLW has no journeys on its removed day, by the project's rule too.
    const auto symbols = trip.CheckJourneyDays(feed);
    EXPECT_EQ(symbols.size(), 1U);
    EXPECT_TRUE(symbols.contains("FULLW"));
}

namespace {

// A regional rail line over a timetable year: "RE5" from Adorf to Eckstadt
// with platforms under their stations, "RB6" from Adorf to Gerstal.
class TRailFeed {
  public:
    TFiles Files;

    TRailFeed() {
        Files["agency.txt"] = "agency_name,agency_url,agency_timezone\n"
                              "Regionalbahn,https://rb.example,Europe/Berlin\n";
        std::string stops = "stop_id,stop_name,stop_lat,stop_lon,location_type,parent_station\n";
        const char *names[] = {"Adorf Hbf", "Bachheim", "Cranzberg", "Dornau", "Eckstadt"};
        for (int s = 0; s < 5; ++s) {
            const std::string id(1, static_cast<char>('A' + s));
            const std::string lat = "50." + std::to_string(10 + s * 7);
            stops += id + "," + names[s] + "," + lat + ",10.1,1,\n";
            for (const char *platform : {"1", "2"})
                stops += id + platform + "," + names[s] + " Gleis " + platform + "," + lat +
                         "01,10.1,0," + id + "\n";
        }
        stops += "G,Gerstal,50.2,10.3,0,\n";
        Files["stops.txt"] = stops;
        Files["routes.txt"] = "route_id,route_short_name,route_long_name,route_type\n"
                              "re5,RE5,Adorf - Eckstadt,2\nrb6,RB6,Adorf - Gerstal,2\n";
        Calendar();
        Trips();
    }

  private:
    static std::string Time(int minutes) {
        return TwoDigits(minutes / 60) + ":" + TwoDigits(minutes % 60) + ":00";
    }

    void Calendar() {
        // Weekdays, Saturdays (and Christmas and New Year's Eve), Sundays and
        // public holidays; a second Saturday service alike; a summer weekend
        // service.
        std::string calendar = "service_id,monday,tuesday,wednesday,thursday,friday,saturday,"
                               "sunday,start_date,end_date\n"
                               "WD,1,1,1,1,1,0,0,20261213,20271211\n"
                               "SA,0,0,0,0,0,1,0,20261213,20271211\n"
                               "SA2,0,0,0,0,0,1,0,20261213,20271211\n"
                               "SU,0,0,0,0,0,0,1,20261213,20271211\n"
                               "SUM,0,0,0,0,0,1,1,20270501,20270930\n";
        const std::vector<std::string> holidays = {"20261225", "20261226", "20270101", "20270326",
                                                   "20270329", "20270501", "20270506", "20270517"};
        std::string dates = "service_id,date,exception_type\n";
        for (const auto &day : holidays) {
            dates += "SU," + day + ",1\n";
            if (WeekdayOf(*ParseCompactDate(day)) < 5)
                dates += "WD," + day + ",2\n";
            else
                for (const char *saturday : {"SA", "SA2"})
                    dates += std::string(saturday) + "," + day + ",2\n";
        }
        for (const char *eve : {"20261224", "20261231"}) {
            dates += std::string("WD,") + eve + ",2\n";
            for (const char *saturday : {"SA", "SA2"})
                dates += std::string(saturday) + "," + eve + ",1\n";
        }
        dates += "WD,20271120,1\n"; // a market Saturday
        // School days by their dates alone: Monday to Friday outside the
        // school holidays, the public holidays and the two eves.
        const std::vector<std::pair<const char *, const char *>> schoolHolidays = {
            {"2026-12-21", "2027-01-01"},
            {"2027-02-15", "2027-02-26"},
            {"2027-03-26", "2027-04-09"},
            {"2027-07-10", "2027-08-20"},
            {"2027-10-11", "2027-10-23"}};
        for (TDate day = *ParseIsoDate("2026-12-14"); day <= *ParseIsoDate("2027-12-10");
             day = day + 1) {
            const std::string text = CompactDateText(day);
            const bool free =
                std::any_of(schoolHolidays.begin(), schoolHolidays.end(), [&](const auto &range) {
                    return *ParseIsoDate(range.first) <= day && day <= *ParseIsoDate(range.second);
                });
            if (WeekdayOf(day) < 5 && !free &&
                std::find(holidays.begin(), holidays.end(), text) == holidays.end())
                dates += "SCH," + text + ",1\n";
        }
        Files["calendar.txt"] = calendar;
        Files["calendar_dates.txt"] = dates;
    }

    // A trip along the stops from start (minutes, past 24:00 where it runs
    // after midnight), 12 minutes a section and a minute at each stop between.
    void Trip(const std::string &route, const std::string &service, const std::string &id,
              int direction, const std::vector<std::string> &stops, int start) {
        trips_ += route + "," + service + "," + id + "," + std::to_string(direction) + "\n";
        for (std::size_t k = 0; k < stops.size(); ++k) {
            const int arrival = start + static_cast<int>(k) * 13;
            const int departure = arrival + (k > 0 && k + 1 < stops.size() ? 1 : 0);
            times_ += id + "," + Time(arrival) + "," + Time(departure) + "," + stops[k] + "," +
                      std::to_string(k + 1) + "\n";
        }
    }

    void Trips() {
        const std::vector<std::string> out = {"A1", "B1", "C1", "D1", "E1"};
        const std::vector<std::string> back = {"E2", "D2", "C2", "B2", "A2"};
        const std::vector<std::pair<std::string, int>> outward = {
            {"WD", 5 * 60 + 30}, {"WD", 16 * 60 + 30}, {"SCH", 7 * 60 + 15},
            {"SA", 8 * 60 + 10}, {"SA", 23 * 60 + 40}, // past midnight
            {"SA", 24 * 60 + 1}, {"SA", 25 * 60 + 10}, // Saturday nights
            {"SU", 9 * 60 + 10}, {"SUM", 10 * 60 + 10}};
        int n = 0;
        for (const auto &[service, start] : outward)
            Trip("re5", service, "re5_" + std::to_string(++n), 0, out, start);
        // Every 20 minutes in the morning, every 30 around midnight on Saturdays.
        Trip("re5", "WD", "re5_peak", 1, back, 6 * 60);
        Trip("re5", "SA", "re5_late", 1, back, 23 * 60);
        Trip("re5", "SU", "re5_back", 1, back, 18 * 60);
        Trip("re5", "WD", "re5_evening", 1, back, 17 * 60 + 5);
        Trip("rb6", "SA2", "rb6_1", 0, {"A1", "B1", "G"}, 12 * 60 + 10);
        Trip("rb6", "WD", "rb6_2", 0, {"A1", "B1", "G"}, 13 * 60 + 10);
        Files["trips.txt"] = "route_id,service_id,trip_id,direction_id\n" + trips_;
        Files["stop_times.txt"] =
            "trip_id,arrival_time,departure_time,stop_id,stop_sequence\n" + times_;
        Files["frequencies.txt"] = "trip_id,start_time,end_time,headway_secs\n"
                                   "re5_peak,06:00:00,09:00:00,1200\n"
                                   "re5_late,23:00:00,25:00:00,1800\n";
    }

    std::string trips_, times_;
};

bool Lists(const std::vector<std::string> &lines, const std::string &part) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string &line) {
        return line.find(part) != std::string::npos;
    });
}

} // namespace

TEST(GtfsRoundTrip, ARailYearWithHolidaysSchoolDaysASeasonAndSaturdayNights) {
    const TRailFeed feed;
    TRoundTrip trip;
    std::filesystem::create_directories(trip.dir.File("feed"));
    for (const auto &[name, text] : feed.Files)
        trip.dir.Write("feed/" + name, text);
    trip.Run(trip.dir.File("feed"));
    EXPECT_EQ(trip.Period, (TDateRange{*ParseIsoDate("2026-12-13"), *ParseIsoDate("2027-12-11")}));
    const auto before = Rides(feed.Files, trip.Period);
    const auto after = Rides(trip.Exported, trip.Period);
    EXPECT_EQ(before, after) << RideDifference(before, after);

    // One footnote per service that needs one, the same for the two Saturday
    // services alike, on both lines.
    const auto symbols = trip.CheckJourneyDays(feed.Files);
    for (const char *service : {"WD", "SA", "SA2", "SU", "SCH", "SUM"})
        EXPECT_EQ(symbols.contains(service) ? symbols.at(service).size() : 0U, 1U) << service;
    EXPECT_EQ(symbols.at("SA"), symbols.at("SA2"));
    std::set<std::string> distinct;
    for (const auto &[service, symbol] : symbols)
        distinct.insert(symbol.begin(), symbol.end());
    EXPECT_EQ(distinct.size(), 5U);
    EXPECT_EQ(LoadFootnotes(trip.ProjectDir()).size(), distinct.size());

    // The report names what it made and no longer drops exceptions.
    EXPECT_TRUE(Lists(trip.Report.Notes, Cp1252("5 Fußnoten für 6 Dienste")));
    EXPECT_TRUE(Lists(trip.Report.Notes, Cp1252("Dienst \"SUM\", Tagesgruppe \"Sa+So\"")));
    EXPECT_TRUE(Lists(trip.Report.Notes, "4 Fahrten beginnen nach 24:00"));
    EXPECT_FALSE(Lists(trip.Report.NotHeld, "Ausnahmetage"));
}
