#include "core/gtfs/gtfs_export.h"
#include "core/gtfs/gtfs_import.h"
#include "core/gtfs/gtfs_importer.h"
#include "core/gtfs/gtfs_zip.h"
#include "core/gtfs/route_merge.h"
#include "core/model/line_data.h"
#include "core/model/master_data.h"
#include "core/model/prj_load.h"
#include "core/model/prj_params.h"
#include "core/model/station_data.h"
#include "core/model/timetable_file.h"
#include "core/util/cp1252.h"
#include "core/util/error.h"
#include "feed_reader.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>

using namespace takton;
using namespace takton::gtfs;
using namespace takton::testing;

namespace {
// The parameters a case loads and saves (each case runs in a process of its own).
takton::TPrjParams PrjParams;
} // namespace

namespace {

// A feed folder written from its tables, and the project made of it.
struct TFeedCase {
    TempDir dir;
    std::string Feed() const { return dir.File("feed"); }
    std::string Project() const { return dir.File("project/p.zpr"); }
    std::string ProjectDir() const { return dir.File("project"); }

    void Table(const std::string &name, const std::string &text) {
        std::filesystem::create_directories(Feed());
        dir.Write("feed/" + name, text);
    }
    // The tables every case needs unless it gives its own.
    void Basics() {
        Table("agency.txt", "agency_name,agency_url,agency_timezone\nVB,https://vb.example,Europe/"
                            "Berlin\n");
        Table("calendar.txt", "service_id,monday,tuesday,wednesday,thursday,friday,saturday,"
                              "sunday,start_date,end_date\nWK,1,1,1,1,1,0,0,20260101,20261231\n");
    }
    TImportReport Import() { return ImportGtfs(Feed(), Project()); }
    TTimetableRows Rows(const std::string &line, const std::string &section) const {
        return TTimetableFile(TimetablePath(ProjectDir(), line)).ReadRows(section);
    }
    TStringList Route(const std::string &line) const {
        return LoadLineStations(ProjectDir(), line);
    }
};

bool Lists(const std::vector<std::string> &lines, const std::string &part) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string &line) {
        return line.find(part) != std::string::npos;
    });
}

} // namespace

TEST(GtfsImportValues, DatesReadAndWriteAsCalendarDays) {
    using namespace takton::gtfs::detail;
    // 1970-01-01 was a Thursday; 2024 is a leap year, 2100 is not
    EXPECT_EQ(DayNumber("19700101"), 0);
    EXPECT_EQ(WeekDayOf(0), 3);
    EXPECT_EQ(WeekDayOf(-1), 2);
    EXPECT_EQ(DayNumber(" 20240301 "), *DayNumber("20240229") + 1);
    EXPECT_EQ(WeekDayOf(*DayNumber("20261214")), 0); // a Monday
    EXPECT_EQ(WeekDayOf(*DayNumber("20261213")), 6);
    for (const char *bad :
         {"20230229", "21000229", "20261301", "20260431", "2026121", "-2026121", "2026121x", ""})
        EXPECT_FALSE(DayNumber(bad)) << bad;
    for (long day = -800; day < 60000; day += 37)
        EXPECT_EQ(DayNumber(DateText(day)), day) << DateText(day);
}

TEST(RouteMerge, KeepsEveryPatternInOrderAndSplitsLoops) {
    TRouteMerge merge;
    bool reversed = false;
    // Main line, a short working, a branch at either end and a pattern
    // running backwards.
    ASSERT_TRUE(merge.Add({1, 2, 3, 4, 5}, false, reversed));
    ASSERT_TRUE(merge.Add({2, 3, 4}, false, reversed));
    ASSERT_TRUE(merge.Add({1, 2, 6, 7}, false, reversed));
    ASSERT_TRUE(merge.Add({8, 3, 4}, false, reversed));
    ASSERT_TRUE(merge.Add({5, 4, 9}, true, reversed));
    EXPECT_TRUE(reversed);
    const TPattern &route = merge.Route();
    for (const TPattern &p :
         std::vector<TPattern>{{1, 2, 3, 4, 5}, {1, 2, 6, 7}, {8, 3, 4}, {9, 4, 5}}) {
        for (std::size_t i = 1; i < p.size(); ++i)
            EXPECT_LT(merge.PositionOf(p[i - 1]), merge.PositionOf(p[i]));
    }
    EXPECT_EQ(route.size(), 9u);
    // Against the order either way: refused, route unchanged.
    ASSERT_FALSE(merge.Add({3, 1, 4}, false, reversed));
    EXPECT_EQ(merge.Route().size(), 9u);

    EXPECT_EQ(SplitLoops({1, 2, 3}), (std::vector<TPattern>{{1, 2, 3}}));
    EXPECT_EQ(SplitLoops({1, 2, 3, 4, 2, 5}), (std::vector<TPattern>{{1, 2, 3, 4}, {4, 2, 5}}));
    EXPECT_EQ(SplitLoops({1, 2, 1}), (std::vector<TPattern>{{1, 2}, {2, 1}}));
}

TEST(GtfsImport, StationsFromStopsWithParentsNamesAndDistantDuplicates) {
    TFeedCase feed;
    feed.Basics();
    // Columns in another order, an unknown column, quoting, CR LF, a BOM.
    feed.Table("stops.txt",
               "\xEF\xBB\xBF"
               "stop_name,extra,stop_id,stop_lat,stop_lon,location_type,parent_station,zone_id\r\n"
               "Hauptbahnhof,x,HBF,52.0,13.0,1,,A\r\n"
               "Hauptbahnhof Gleis 1,x,HBF1,52.0001,13.0001,0,HBF,\r\n"
               "Eingang Nord,x,HBFE,52.0002,13.0,2,HBF,\r\n"
               "\"Markt, Nord=Ost\",x,M1,52.01,13.01,0,,\"B,1\"\r\n"
               "\xC5\x81\xC3\xB3\x64\xC5\xBA,x,L,52.02,13.02,0,,\r\n"
               "Post,x,P1,52.03,13.03,0,,\r\n"
               "Post,x,P2,52.0301,13.0302,0,,\r\n"
               "Post,x,P3,52.5,13.5,0,,\r\n");
    feed.Table("routes.txt",
               "route_id,route_short_name,route_long_name,route_type\nR1,,Ring/Nord,0\n");
    feed.Table("trips.txt", "route_id,service_id,trip_id\nR1,WK,T1\nR1,WK,T2\n");
    feed.Table("stop_times.txt",
               "trip_id,arrival_time,departure_time,stop_id,stop_sequence\n"
               "T1,08:00:00,08:00:00,HBF1,1\nT1,08:05:00,08:05:00,M1,2\nT1,08:09:00,08:09:00,L,3\n"
               "T1,08:12:00,08:12:00,P2,4\nT1,08:30:00,08:30:00,P3,5\n"
               "T2,09:00:00,09:00:00,HBF,1\nT2,09:10:00,09:10:00,P1,2\n");
    const TImportReport report = feed.Import();

    EXPECT_EQ(LoadNameList(feed.ProjectDir(), kStationsFile),
              (TStringList{"Hauptbahnhof", "Markt; Nord-Ost",
                           "L\xF3"
                           "dz",
                           "Post", "Post (2)"}));
    EXPECT_EQ(feed.Route("Ring-Nord"), (TStringList{"Hauptbahnhof", "Markt; Nord-Ost",
                                                    "L\xF3"
                                                    "dz",
                                                    "Post", "Post (2)"}));
    const TStationDataList data = LoadStationData(feed.ProjectDir());
    const TStationData *hbf = FindStationData(data, "Hauptbahnhof");
    ASSERT_TRUE(hbf && hbf->Position);
    EXPECT_EQ(hbf->Position->Lat, 52.0);
    EXPECT_EQ(hbf->Zone, "A");
    EXPECT_EQ(FindStationData(data, "Markt; Nord-Ost")->Zone, "B-1");
    EXPECT_EQ(LoadLineRouteTypes(feed.ProjectDir()).size(), 0u); // the project's type is 0
    // Every change named.
    EXPECT_TRUE(Lists(report.Adapted, "2 Haltepunkte"));
    EXPECT_TRUE(Lists(report.Adapted, "\"Markt, Nord=Ost\": als \"Markt; Nord-Ost\""));
    EXPECT_TRUE(Lists(report.Adapted, "\"L\xF3"
                                      "dz\""));
    EXPECT_TRUE(Lists(report.Adapted, "\"P2\" (\"Post\") mit der gleichnamigen Station"));
    EXPECT_TRUE(Lists(report.Adapted, Cp1252("heißt \"Post (2)\"")));
    EXPECT_TRUE(Lists(report.Adapted, "Linie \"Ring/Nord\": als \"Ring-Nord\""));
    EXPECT_TRUE(Lists(report.Adapted, "Tarifzone \"B,1\""));
    // The platform's trip and the station's trip share the row.
    EXPECT_EQ(feed.Rows("Ring-Nord", "1_Mo-Fr"),
              (TTimetableRows{"Hauptbahnhof,08:00,09:00", "Markt; Nord-Ost,08:05",
                              "L\xF3"
                              "dz,08:09",
                              "Post,08:12,09:10", "Post (2),08:30"}));
}

TEST(GtfsImport, MergesBranchesShortWorkingsAndDirectionsAndSplitsLoops) {
    TFeedCase feed;
    feed.Basics();
    feed.Table("stops.txt", "stop_id,stop_name\nA,A\nB,B\nC,C\nD,D\nE,E\nX,X\n");
    feed.Table("routes.txt", "route_id,route_short_name,route_type\n7,7,3\n");
    feed.Table("trips.txt", "route_id,service_id,trip_id,direction_id\n"
                            "7,WK,main,0\n7,WK,main2,0\n7,WK,short,0\n7,WK,branch,0\n"
                            "7,WK,back,1\n7,WK,loop,0\n");
    auto times = [](const std::string &trip, std::initializer_list<const char *> stops, int h) {
        std::string text;
        int seq = 1, minute = 0;
        for (const char *stop : stops) {
            char line[128];
            std::snprintf(line, sizeof line, "%s,%02d:%02d:00,%02d:%02d:00,%s,%d\n", trip.c_str(),
                          h, minute, h, minute, stop, seq++);
            text += line;
            minute += 5;
        }
        return text;
    };
    feed.Table("stop_times.txt",
               "trip_id,arrival_time,departure_time,stop_id,stop_sequence\n" +
                   times("main", {"A", "B", "C", "D"}, 6) +
                   times("main2", {"A", "B", "C", "D"}, 7) + times("short", {"B", "C"}, 8) +
                   times("branch", {"A", "B", "X"}, 9) + times("back", {"D", "C", "B", "A"}, 10) +
                   times("loop", {"A", "B", "C", "E", "B"}, 11));
    const TImportReport report = feed.Import();
    EXPECT_EQ(feed.Route("7"), (TStringList{"A", "B", "X", "C", "E", "D"}));
    EXPECT_EQ(feed.Rows("7", "1_Mo-Fr"),
              (TTimetableRows{"A,06:00,07:00,,09:00,11:00", "B,06:05,07:05,08:00,09:05,11:05",
                              "X,,,,09:10", "C,06:10,07:10,08:05,,11:10", "E,,,,,11:15",
                              "D,06:15,07:15"}));
    // direction_id 1 backwards, and the loop's way back (E to B) with it.
    EXPECT_EQ(feed.Rows("7", "2_Mo-Fr"),
              (TTimetableRows{"D,10:00", "E,,11:15", "C,10:05", "X", "B,10:10,11:20", "A,10:15"}));
    EXPECT_TRUE(Lists(report.Adapted, "Fahrt \"loop\": "));
    EXPECT_TRUE(Lists(report.Adapted, "in der anderen Richtung"));
}

TEST(GtfsImport, DayGroupsFromCalendarAndFromDatesAlone) {
    TFeedCase feed;
    feed.Table("calendar.txt", "service_id,monday,tuesday,wednesday,thursday,friday,saturday,"
                               "sunday,start_date,end_date\n"
                               "WK,1,1,1,1,1,0,0,20260105,20260130\n"
                               "WK2,1,1,1,1,1,0,0,20260201,20260228\n"
                               "SA,0,0,0,0,0,1,0,20260105,20260130\n");
    // Sundays of January, one Monday holiday among them; one removal of WK.
    feed.Table("calendar_dates.txt", "service_id,date,exception_type\n"
                                     "SU,20260104,1\nSU,20260111,1\nSU,20260118,1\nSU,20260125,1\n"
                                     "SU,20260106,1\nWK,20260106,2\n");
    feed.Table("stops.txt", "stop_id,stop_name\nA,A\nB,B\n");
    feed.Table("routes.txt", "route_id,route_short_name,route_type\n1,1,3\n");
    feed.Table("trips.txt", "route_id,service_id,trip_id\n1,WK,w\n1,WK2,w2\n1,SA,s\n1,SU,u\n");
    std::string times = "trip_id,arrival_time,departure_time,stop_id,stop_sequence\n";
    for (const auto &[trip, hour] : std::vector<std::pair<std::string, std::string>>{
             {"w", "06"}, {"w2", "07"}, {"s", "08"}, {"u", "09"}})
        times += trip + "," + hour + ":00:00," + hour + ":00:00,A,1\n" + trip + "," + hour +
                 ":10:00," + hour + ":10:00,B,2\n";
    feed.Table("stop_times.txt", times);
    const TImportReport report = feed.Import();
    LoadProjectFile(feed.Project(), PrjParams);
    ASSERT_EQ(PrjParams.DayGroups.size(), 3u);
    EXPECT_EQ(PrjParams.DayGroups[0].Name, "Mo-Fr");
    EXPECT_EQ(PrjParams.DayGroups[0].Text, "Montag bis Freitag");
    EXPECT_EQ(PrjParams.DayGroups[1].Name, "Sa");
    EXPECT_EQ(PrjParams.DayGroups[2].Name, "So");
    EXPECT_EQ(PrjParams.DayGroups[2].Days, WithDay(0, 6));
    EXPECT_EQ(PrjParams.Publishing.FirstDate, "20260104");
    EXPECT_EQ(PrjParams.Publishing.LastDate, "20260228");
    // Both Monday-to-Friday services in one timetable.
    EXPECT_EQ(feed.Rows("1", "1_Mo-Fr"), (TTimetableRows{"A,06:00,07:00", "B,06:10,07:10"}));
    EXPECT_EQ(feed.Rows("1", "1_So"), (TTimetableRows{"A,09:00", "B,09:10"}));
    EXPECT_TRUE(Lists(report.Adapted, "Dienst \"SU\": nur durch einzelne Tage"));
    EXPECT_TRUE(Lists(report.Notes, Cp1252("4 Fußnoten für 4 Dienste")));
}

TEST(GtfsImport, PairsMidnightInterpolationAndFrequencies) {
    TFeedCase feed;
    feed.Basics();
    feed.Table("stops.txt", "stop_id,stop_name,stop_lat,stop_lon\nA,A,52.0,13.0\nB,B,52.0,13.1\n"
                            "C,C,52.0,13.3\nD,D,52.0,13.4\n");
    feed.Table("routes.txt", "route_id,route_short_name,route_type\nN,N1,3\n");
    feed.Table("trips.txt", "route_id,service_id,trip_id\nN,WK,late\nN,WK,night\nN,WK,tick\n"
                            "N,WK,odd\n");
    feed.Table("stop_times.txt",
               "trip_id,arrival_time,departure_time,stop_id,stop_sequence\n"
               // B and C without times: placed by distance (1 : 2 : 1).
               "late,23:50:00,23:50:00,A,1\nlate,,,B,2\nlate,,,C,3\nlate,24:30:00,24:35:00,D,4\n"
               "night,24:40:00,24:40:00,A,1\nnight,24:50:00,24:50:00,D,4\n"
               "tick,05:00:00,05:00:00,A,1\ntick,05:04:00,05:04:00,D,2\n"
               "odd,05:00:00,05:00:00,A,1\nodd,05:04:30,05:04:30,D,2\n");
    feed.Table("frequencies.txt", "trip_id,start_time,end_time,headway_secs\n"
                                  "tick,06:00:00,07:00:00,600\nodd,12:00:00,12:20:00,450\n");
    const TImportReport report = feed.Import();
    EXPECT_EQ(feed.Rows("N1", "1_Mo-Fr"),
              (TTimetableRows{"A,06:00,10 Min,06:50,12:00,12:08,12:15,23:50,00:40", "B,,,,,,,00:00",
                              "C,,,,,,,00:20", "D,06:04,10 Min,06:54,12:05,12:13,12:20,00:30,00:50",
                              "D,06:04,10 Min,06:54,12:05,12:13,12:20,00:35,00:50"}));
    EXPECT_TRUE(Lists(report.Adapted, "2 fehlende Zeiten"));
    EXPECT_TRUE(Lists(report.Notes, "1 Fahrt beginnt nach 24:00"));
    EXPECT_TRUE(Lists(report.Adapted, "1 Takte aus frequencies.txt als einzelne Fahrten"));
    EXPECT_TRUE(Lists(report.Adapted, " Fahrten mit Sekunden"));
    EXPECT_TRUE(Lists(report.Notes, "1 Takte aus frequencies.txt als Taktspalte"));

    // The export gives the interval's six journeys back.
    LoadProjectFile(feed.Project(), PrjParams);
    const TExportReport exported =
        ExportGtfs(feed.ProjectDir(), PrjParams, feed.dir.File("out.zip"));
    EXPECT_EQ(exported.Trips, 6u + 3u + 2u);
}

TEST(GtfsImport, MoreJourneysThanTheGridHoldsGoToASecondLine) {
    TFeedCase feed;
    feed.Basics();
    feed.Table("stops.txt", "stop_id,stop_name\nA,A\nB,B\n");
    feed.Table("routes.txt", "route_id,route_short_name,route_type\nS,S,3\n");
    std::string trips = "route_id,service_id,trip_id\n";
    std::string times = "trip_id,arrival_time,departure_time,stop_id,stop_sequence\n";
    for (int t = 0; t < 600; ++t) {
        trips += "S,WK,t" + std::to_string(t) + "\n";
        char row[160];
        std::snprintf(row, sizeof row,
                      "t%d,%02d:%02d:00,%02d:%02d:00,A,1\nt%d,%02d:%02d:00,%02d:%02d:00,B,2\n", t,
                      t / 60 + 1, t % 60, t / 60 + 1, t % 60, t, t / 60 + 1, t % 60, t / 60 + 1,
                      t % 60);
        times += row;
    }
    feed.Table("trips.txt", trips);
    feed.Table("stop_times.txt", times);
    const TImportReport report = feed.Import();
    EXPECT_EQ(LoadNameList(feed.ProjectDir(), kLinesFile), (TStringList{"S", "S (2)"}));
    EXPECT_EQ(feed.Rows("S", "1_Mo-Fr")[0].size(), 1 + 510 * 6u);
    EXPECT_EQ(
        feed.Rows("S (2)", "1_Mo-Fr")[0], "A,09:30,09:31,09:32" + [] {
            std::string rest;
            for (int m = 33; m < 60; ++m)
                rest += ",09:" + std::to_string(m);
            for (int t = 0; t < 60; ++t)
                rest += std::string(",10:") + (t < 10 ? "0" : "") + std::to_string(t);
            return rest;
        }());
    EXPECT_EQ(feed.Route("S (2)"), (TStringList{"A", "B"}));
    EXPECT_TRUE(Lists(report.Adapted, "mehr als 510 Fahrten, die weiteren in Linie \"S (2)\""));
}

TEST(GtfsImport, RefusesAnExistingProjectAndLeavesNothingWhenCancelled) {
    TFeedCase feed;
    std::filesystem::create_directories(feed.ProjectDir());
    feed.dir.Write("project/other.zpr", "");
    EXPECT_THROW(ImportGtfs(TAKTON_SOURCE_DIR "/tests/data/gtfs/sample", feed.Project()),
                 TaktonError);
    std::filesystem::remove(feed.dir.File("project/other.zpr"));

    for (std::size_t stopAt : {std::size_t{0}, std::size_t{900}}) {
        const TImportReport report =
            ImportGtfs(TAKTON_SOURCE_DIR "/tests/data/gtfs/sample", feed.Project(),
                       [&](std::size_t done, std::size_t) { return stopAt != 0 && done < stopAt; });
        EXPECT_TRUE(report.Cancelled);
        for (const auto &left : std::filesystem::directory_iterator(feed.ProjectDir()))
            ADD_FAILURE() << stopAt << " left " << left.path();
    }
    EXPECT_THROW(ImportGtfs(feed.dir.File("missing.zip"), feed.dir.File("new/p.zpr")), TaktonError);
    EXPECT_FALSE(std::filesystem::exists(feed.dir.File("new")));
}

namespace {

// A zip of every file of a folder.
void ZipFolder(const std::string &folder, const std::string &zip) {
    std::vector<std::string> texts;
    std::vector<std::string> names;
    for (const auto &item : std::filesystem::directory_iterator(folder)) {
        std::ifstream in(item.path(), std::ios::binary);
        texts.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        names.push_back(item.path().filename().string());
    }
    std::vector<TZipEntry> entries;
    for (std::size_t i = 0; i < texts.size(); ++i)
        entries.push_back({names[i], texts[i], nullptr});
    ASSERT_TRUE(WriteZipFile(zip, entries));
}

// Each trip as its service's weekdays and its (stop name, arrival, departure)
// rows, as a set.
std::multiset<std::string> Trips(const std::map<std::string, std::string> &files) {
    const TCsvTable stops = ParseCsv(files.at("stops.txt"));
    const TCsvTable trips = ParseCsv(files.at("trips.txt"));
    const TCsvTable times = ParseCsv(files.at("stop_times.txt"));
    const TCsvTable calendar = ParseCsv(files.at("calendar.txt"));
    std::map<std::string, std::string> stopName, days, tripDays;
    for (std::size_t r = 0; r < stops.Rows.size(); ++r)
        stopName[stops.Get(r, "stop_id")] = stops.Get(r, "stop_name");
    for (std::size_t r = 0; r < calendar.Rows.size(); ++r)
        for (const char *day : WeekDayKeys)
            days[calendar.Get(r, "service_id")] += calendar.Get(r, day);
    for (std::size_t r = 0; r < trips.Rows.size(); ++r)
        tripDays[trips.Get(r, "trip_id")] = days[trips.Get(r, "service_id")];
    std::map<std::string, std::map<int, std::string>> rows;
    for (std::size_t r = 0; r < times.Rows.size(); ++r) {
        std::string arrival = times.Get(r, "arrival_time"),
                    departure = times.Get(r, "departure_time");
        if (arrival.size() == 7)
            arrival = "0" + arrival;
        if (departure.size() == 7)
            departure = "0" + departure;
        rows[times.Get(r, "trip_id")][std::stoi(times.Get(r, "stop_sequence"))] =
            stopName[times.Get(r, "stop_id")] + " " + arrival + " " + departure;
    }
    std::multiset<std::string> set;
    for (const auto &[trip, stopsOf] : rows) {
        std::string text = tripDays[trip];
        for (const auto &[seq, row] : stopsOf)
            text += " | " + row;
        set.insert(text);
    }
    return set;
}

} // namespace

TEST(GtfsImport, TheReferenceSampleFeedFromItsZip) {
    TempDir dir;
    ZipFolder(TAKTON_SOURCE_DIR "/tests/data/gtfs/sample", dir.File("sample.zip"));
    const TImportReport report = ImportGtfs(dir.File("sample.zip"), dir.File("p/sample.zpr"));
    EXPECT_EQ(report.Stations, 9u);
    EXPECT_EQ(report.Lines, 5u);
    EXPECT_EQ(report.Trips, 11u);
    EXPECT_EQ(report.StopTimes, 28u);
    EXPECT_TRUE(report.Adapted.empty()) << report.Adapted.front();
    EXPECT_TRUE(Lists(report.NotHeld, "fare_rules.txt: Tarife"));
    EXPECT_TRUE(Lists(report.Notes, Cp1252("1 Fußnote für 1 Dienst")));
    const std::string project = dir.File("p");
    EXPECT_EQ(LoadNameList(project, kLinesFile), (TStringList{"10", "20", "30", "40", "50"}));
    EXPECT_EQ(LoadLineStations(project, "40"),
              (TStringList{"Stagecoach Hotel & Casino (Demo)", "North Ave / N A Ave (Demo)",
                           "North Ave / D Ave N (Demo)", "Doing Ave / D Ave N (Demo)",
                           "E Main St / S Irving St (Demo)"}));
    const TTimetableRows shuttle = TTimetableFile(TimetablePath(project, "30")).ReadRows("1_Mo-So");
    EXPECT_EQ(shuttle, (TTimetableRows{"Stagecoach Hotel & Casino (Demo),06:00,30 Min,21:30",
                                       "Nye County Airport (Demo),06:20,30 Min,21:50"}));
    LoadProjectFile(dir.File("p/sample.zpr"), PrjParams);
    EXPECT_EQ(PrjParams.Publishing.AgencyName, "Demo Transit Authority");
    EXPECT_EQ(PrjParams.Publishing.Timezone, "America/Los_Angeles");
    ASSERT_EQ(PrjParams.DayGroups.size(), 2u);
    EXPECT_EQ(PrjParams.DayGroups[1].Name, "Sa+So");
}

TEST(GtfsImport, ExportingTheImportGivesTheSameTripsPerWeekdayPattern) {
    TFeedCase feed;
    feed.Basics();
    feed.Table("calendar.txt", "service_id,monday,tuesday,wednesday,thursday,friday,saturday,"
                               "sunday,start_date,end_date\nWK,1,1,1,1,1,0,0,20260101,20261231\n"
                               "WE,0,0,0,0,0,1,1,20260101,20261231\n");
    feed.Table("stops.txt", "stop_id,stop_name,stop_lat,stop_lon\nA,Am Anger,52,13\nB,Bahnhof,52.1,"
                            "13\nC,Chaussee,52.2,13\nD,Dorf,52.3,13\n");
    feed.Table("routes.txt", "route_id,route_short_name,route_type\n1,1,3\n2,2,0\n");
    feed.Table("trips.txt", "route_id,service_id,trip_id,direction_id\n1,WK,a,0\n1,WK,b,1\n"
                            "1,WE,c,0\n1,WK,d,0\n2,WK,e,0\n2,WE,f,1\n");
    feed.Table("stop_times.txt",
               "trip_id,arrival_time,departure_time,stop_id,stop_sequence\n"
               "a,06:00:00,06:00:00,A,1\na,06:10:00,06:12:00,B,2\na,06:20:00,06:20:00,C,3\n"
               "b,07:00:00,07:00:00,C,1\nb,07:08:00,07:08:00,B,2\nb,07:18:00,07:18:00,A,3\n"
               "c,23:50:00,23:50:00,A,1\nc,24:05:00,24:05:00,C,2\n"
               "d,08:00:00,08:00:00,B,1\nd,08:07:00,08:07:00,C,2\nd,08:15:00,08:15:00,D,3\n"
               "e,09:00:00,09:00:00,D,1\ne,09:30:00,09:30:00,A,2\n"
               "f,10:00:00,10:00:00,A,1\nf,10:30:00,10:31:00,D,2\n");
    const TImportReport report = feed.Import();
    ASSERT_TRUE(report.Adapted.empty()) << report.Adapted.front();
    LoadProjectFile(feed.Project(), PrjParams);
    // Each line keeps its vehicle type: the project's, or its own.
    EXPECT_EQ(PrjParams.Publishing.RouteType, 0);
    EXPECT_EQ(LoadLineRouteTypes(feed.ProjectDir()), (TLineRouteTypes{{"1", 3}}));
    ExportGtfs(feed.ProjectDir(), PrjParams, feed.dir.File("out.zip"));
    std::map<std::string, std::string> original;
    for (const char *file : {"stops.txt", "trips.txt", "stop_times.txt", "calendar.txt"})
        original[file] = *feed.dir.Read(std::string("feed/") + file);
    EXPECT_EQ(Trips(ReadZip(feed.dir.File("out.zip"))), Trips(original));
}

TEST(GtfsImport, RowsInAnyOrderAndTimesPlacedByTravelledDistance) {
    TFeedCase feed;
    feed.Basics();
    feed.Table("stops.txt", "stop_id,stop_name\nA,A\nB,B\nC,C\n");
    feed.Table("routes.txt", "route_id,route_short_name,route_type\nR,R,3\n");
    feed.Table("trips.txt", "route_id,service_id,trip_id\nR,WK,x\nR,WK,y\n");
    // The trips' rows interleaved and out of sequence; B lacks its times and
    // lies a quarter of the way.
    feed.Table("stop_times.txt",
               "trip_id,stop_sequence,stop_id,arrival_time,departure_time,shape_dist_traveled\n"
               "y,3,C,07:40:00,07:40:00,4.0\n"
               "x,2,B,,,1.0\n"
               "y,1,A,07:00:00,07:00:00,0\n"
               "x,1,A,06:00:00,06:00:00,0\n"
               "x,3,C,06:40:00,06:40:00,4.0\n"
               "y,2,B,,,3.0\n");
    const TImportReport report = feed.Import();
    EXPECT_EQ(feed.Rows("R", "1_Mo-Fr"),
              (TTimetableRows{"A,06:00,07:00", "B,06:10,07:30", "C,06:40,07:40"}));
    EXPECT_TRUE(Lists(report.Adapted, "2 fehlende Zeiten"));
}

namespace {

detail::TJourney JourneyAt(std::int32_t departure) {
    detail::TJourney journey;
    journey.Stops = {{0, departure, departure}, {1, departure + 5, departure + 5}};
    return journey;
}

} // namespace

TEST(GtfsImportSteps, AFrequencyBecomesABlockOnlyInWholeMinutesFromThreeJourneysOn) {
    using detail::ExpandFrequency;
    const detail::TJourney journey = JourneyAt(6 * 60);
    // 06:00 to 07:00 every 20 minutes, the trip itself leaving at 06:00.
    const detail::TFrequency hourly{0, 6 * 3600, 7 * 3600, 20 * 60};
    auto laid = ExpandFrequency(journey, hourly, 6 * 3600, false);
    ASSERT_TRUE(laid.Block);
    ASSERT_EQ(laid.Journeys.size(), 1U);
    EXPECT_EQ(laid.Journeys[0].Count, 3);
    EXPECT_EQ(laid.Journeys[0].IntervalMinutes, 20);
    EXPECT_EQ(laid.Journeys[0].First(), 6 * 60);

    // Two journeys only: each one laid out, shifted from the trip's own start.
    const detail::TFrequency twice{0, 8 * 3600, 8 * 3600 + 40 * 60, 20 * 60};
    laid = ExpandFrequency(journey, twice, 6 * 3600, false);
    EXPECT_FALSE(laid.Block);
    ASSERT_EQ(laid.Journeys.size(), 2U);
    EXPECT_EQ(laid.Journeys[0].First(), 8 * 60);
    EXPECT_EQ(laid.Journeys[1].First(), 8 * 60 + 20);
    EXPECT_EQ(laid.Rounded, 0U);

    // Seconds in the headway: no block, and each start rounded to the minute.
    const detail::TFrequency odd{0, 6 * 3600, 6 * 3600 + 3 * 450, 450};
    laid = ExpandFrequency(journey, odd, 6 * 3600, false);
    EXPECT_FALSE(laid.Block);
    ASSERT_EQ(laid.Journeys.size(), 3U);
    EXPECT_EQ(laid.Journeys[1].First(), 6 * 60 + 8); // 7.5 minutes, rounded up
    EXPECT_EQ(laid.Rounded, 1U);
    // Times of the trip rounded already: never a block.
    EXPECT_FALSE(ExpandFrequency(journey, hourly, 6 * 3600, true).Block);
}

TEST(GtfsImportSteps, ABlockOverlappedByAnotherJourneyIsExpandedAndPagesNeverSplitABlock) {
    detail::TJourney block = JourneyAt(6 * 60);
    block.IntervalMinutes = 10;
    block.Count = 4; // 06:00 .. 06:30
    std::size_t expanded = 0;
    auto laid = detail::SettleIntervalBlocks({JourneyAt(7 * 60), block}, expanded);
    EXPECT_EQ(expanded, 0U);
    ASSERT_EQ(laid.size(), 2U);
    EXPECT_EQ(laid[0].IntervalMinutes, 10);
    EXPECT_EQ(laid[1].First(), 7 * 60);

    // A journey at 06:15 inside the block: the block becomes its four journeys.
    laid = detail::SettleIntervalBlocks({JourneyAt(6 * 60 + 15), block}, expanded);
    EXPECT_EQ(expanded, 1U);
    std::vector<std::int32_t> firsts;
    for (const auto &journey : laid)
        firsts.push_back(journey.First());
    EXPECT_EQ(firsts, (std::vector<std::int32_t>{360, 370, 375, 380, 390}));

    // Pages of four columns: two journeys, then the block's three columns on a
    // page of their own rather than split.
    const std::vector<detail::TJourney> settled = {JourneyAt(300), JourneyAt(310), block};
    const detail::TJourneyPages pages = detail::PageColumns(settled, 4);
    ASSERT_EQ(pages.Pages.size(), 2U);
    EXPECT_EQ(pages.Pages[0].size(), 2U);
    ASSERT_EQ(pages.Pages[1].size(), 3U);
    EXPECT_EQ(pages.Pages[1][0]->First(), 6 * 60);
    EXPECT_EQ(pages.Pages[1][1]->IntervalMinutes, 10);
    EXPECT_EQ(pages.Pages[1][1]->Count, 0);
    EXPECT_EQ(pages.Pages[1][2]->First(), 6 * 60 + 30);
}

TEST(GtfsImportSteps, StopsStandForTheirStationAndServicesOfDatesTakeTheirCommonestWeek) {
    // Platform → station, entrance → platform → station, a parent that does
    // not exist, and a stop naming itself.
    std::vector<detail::TStop> stops(5);
    const char *ids[] = {"S", "P", "E", "X", "L"};
    const char *parents[] = {"", "S", "P", "nirgends", "L"};
    detail::TIdMap index;
    for (std::uint32_t i = 0; i < stops.size(); ++i) {
        stops[i].Id = ids[i];
        stops[i].Parent = parents[i];
        index.emplace(ids[i], i);
    }
    EXPECT_EQ(detail::TopStops(stops, index), (std::vector<std::uint32_t>{0, 0, 0, 3, 4}));
    EXPECT_EQ(detail::ZoneText("A,B=C"), "A-B-C");

    // Days 0 = 1970-01-01, a Thursday; weeks by their Monday. Three weeks of
    // Monday and Wednesday, one of Monday alone.
    std::vector<long> days;
    for (long monday : {-3L, 4L, 11L})
        days.insert(days.end(), {monday, monday + 2});
    days.push_back(18);
    std::size_t off = 0;
    const TDaySet pattern = detail::CommonestWeekPattern(days, off);
    EXPECT_EQ(pattern, WithDay(WithDay(0, 0), 2));
    EXPECT_EQ(off, 1U);

    std::vector<TDaySet> groups = {WithDay(0, 6), WithDay(0, 5), 0x1F, WithDay(0, 0)};
    detail::OrderDayPatterns(groups);
    EXPECT_EQ(groups, (std::vector<TDaySet>{0x1F, WithDay(0, 0), WithDay(0, 5), WithDay(0, 6)}));
}
