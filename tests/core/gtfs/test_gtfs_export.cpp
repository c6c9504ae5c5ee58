#include "core/gtfs/feed_reader.h"
#include "core/gtfs/gtfs_export.h"
#include "core/gtfs/gtfs_text.h"
#include "core/model/prj_load.h"
#include "core/model/prj_params.h"
#include "core/model/project_check.h"
#include "core/util/cp1252.h"
#include "core/util/error.h"
#include "support/feed_project.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace takton;
using namespace takton::testing;

namespace {
// The parameters a case loads and saves (each case runs in a process of its own).
takton::TPrjParams PrjParams;
} // namespace

namespace {

// A line through four stops, a pair at "Markt", a journey over midnight, an
// interval, empty and one-time journeys; umlauts, quotes and commas in names.
void WriteSmallProject(const TempDir &dir) {
    dir.Write("stations.csv", Cp1252("Gänseanger\r\nMarkt\r\nHaus \"Blau\"\r\nFern\r\n"));
    dir.Write("lines.csv", Cp1252("N1, Nacht\r\nOhne\r\n"));
    dir.Write("station_data.csv", Cp1252("Gänseanger=51.066,13.715,B,2\r\nMarkt=51.05,13.738,A,\r\n"
                                         "Haus \"Blau\"=51.04,13.7,,\r\n"));
    dir.Write(Cp1252ToUtf8("line_N1, Nacht.ttd"),
              Cp1252("[1_Mo-Fr]\r\n"
                     "1=Gänseanger,23:50,05:00,,10 Min,05:40,,07:00\r\n"
                     "2=Markt,23:55,05:05,,,05:45\r\n"
                     "3=Markt,23:58,05:06,,,05:46\r\n"
                     "4=Haus \"Blau\",00:10,05:10,,,05:50\r\n"
                     "[2_Sa]\r\n"
                     "1=Haus \"Blau\",08:00\r\n"
                     "2=Gänseanger,08:09\r\n"
                     "[1_Leer]\r\n"
                     "1=Fern,08:00\r\n"
                     "2=Markt,08:09\r\n"));
}

TPrjParams SmallParams() {
    TPrjParams params = FeedProjectParams();
    params.DayGroups.push_back({"Leer", "nie", 0});
    params.Publishing.AgencyName = Cp1252("Verkehrsbetrieb Süd, \"VBS\"");
    return params;
}

std::vector<std::string> Column(const TCsvTable &table, const std::string &column) {
    std::vector<std::string> values;
    for (std::size_t r = 0; r < table.Rows.size(); ++r)
        values.push_back(table.Get(r, column));
    return values;
}

bool Contains(const std::vector<std::string> &lines, const std::string &part) {
    for (const auto &line : lines)
        if (line.find(part) != std::string::npos)
            return true;
    return false;
}

} // namespace

TEST(GtfsText, IdsAreReadableAsciiAndUnique) {
    EXPECT_EQ(gtfs::ReadableId(Cp1252("Schloßpark")), "schlosspark");
    EXPECT_EQ(gtfs::ReadableId(Cp1252("Am Gänseanger")), "am-gaenseanger");
    EXPECT_EQ(gtfs::ReadableId(Cp1252("  Café_Öl (Süd) ")), "cafe-oel-sued");
    EXPECT_EQ(gtfs::ReadableId("!!"), "x");
    gtfs::TIdSet ids;
    EXPECT_EQ(ids.Take("A-B"), "a-b");
    EXPECT_EQ(ids.Take("a b"), "a-b-2");
    EXPECT_EQ(ids.Take("A_B"), "a-b-3");
    std::string time;
    gtfs::AppendGtfsTime(time, 24 * 60 + 10);
    EXPECT_EQ(time, "24:10:00");
    EXPECT_TRUE(gtfs::IsGtfsDate("20280229"));
    EXPECT_FALSE(gtfs::IsGtfsDate("20270229"));
    EXPECT_FALSE(gtfs::IsGtfsDate("2027-01-01"));
}

TEST(GtfsExport, DemoProjectGivesAValidFeed) {
    LoadProjectFile(std::string(TAKTON_SOURCE_DIR) + "/examples/demo/demo.zpr", PrjParams);
    TPrjParams params = PrjParams;
    params.Publishing = FeedProjectParams().Publishing;
    TempDir out;
    const auto report = gtfs::ExportGtfs(std::string(TAKTON_SOURCE_DIR) + "/examples/demo", params,
                                         out.File("demo.zip"));
    EXPECT_FALSE(report.Cancelled);
    EXPECT_EQ(report.Trips, 24u);
    EXPECT_EQ(report.StopTimes, 144u);
    const auto files = ReadZip(out.File("demo.zip"));
    EXPECT_EQ(ValidateFeed(files), std::vector<std::string>{});
    const TCsvTable stops = ParseCsv(files.at("stops.txt"));
    EXPECT_EQ(Column(stops, "stop_id"),
              (std::vector<std::string>{"hauptbahnhof", "marktplatz", "rathaus", "schlosspark",
                                        "muehlenweg", "suedfriedhof"}));
    EXPECT_EQ(stops.Get(3, "stop_name"), "Schloßpark");
    EXPECT_EQ(stops.Get(3, "stop_lat"), "51.0545");
    EXPECT_EQ(stops.Get(3, "zone_id"), "A");
    const TCsvTable calendar = ParseCsv(files.at("calendar.txt"));
    ASSERT_EQ(calendar.Rows.size(), 3u);
    EXPECT_EQ(calendar.Rows[0], (std::vector<std::string>{"mo-fr", "1", "1", "1", "1", "1", "0",
                                                          "0", "20270101", "20271231"}));
    EXPECT_EQ(calendar.Rows[2][7], "1");
    const TCsvTable times = ParseCsv(files.at("stop_times.txt"));
    EXPECT_EQ(times.Rows[0], (std::vector<std::string>{"1_1_mo-fr_1", "05:10:00", "05:10:00",
                                                       "hauptbahnhof", "1"}));
    const TCsvTable routes = ParseCsv(files.at("routes.txt"));
    EXPECT_EQ(routes.Rows, (std::vector<std::vector<std::string>>{{"1", "1", "1", "3"}}));
    EXPECT_TRUE(Contains(report.Written, "stop_times.txt: 144 Zeilen"));
}

TEST(GtfsExport, MapsPairsMidnightIntervalsAndNames) {
    TempDir dir;
    WriteSmallProject(dir);
    dir.Write("line_data.csv", "N1, Nacht=900\r\n");
    const auto report = gtfs::ExportGtfs(dir.Path(), SmallParams(), dir.File("feed.zip"));
    const auto files = ReadZip(dir.File("feed.zip"));
    EXPECT_EQ(ValidateFeed(files), std::vector<std::string>{});

    const TCsvTable trips = ParseCsv(files.at("trips.txt"));
    EXPECT_EQ(Column(trips, "trip_id"),
              (std::vector<std::string>{"n1-nacht_1_mo-fr_1", "n1-nacht_1_mo-fr_2",
                                        "n1-nacht_1_mo-fr_4-1", "n1-nacht_1_mo-fr_4-2",
                                        "n1-nacht_1_mo-fr_4-3", "n1-nacht_1_mo-fr_5",
                                        "n1-nacht_2_sa_1"}));
    EXPECT_EQ(Column(trips, "direction_id"),
              (std::vector<std::string>{"0", "0", "0", "0", "0", "0", "1"}));
    EXPECT_EQ(trips.Get(6, "service_id"), "sa");

    const TCsvTable times = ParseCsv(files.at("stop_times.txt"));
    // Over midnight, with the pair at Markt as one stop.
    EXPECT_EQ(times.Rows[0], (std::vector<std::string>{"n1-nacht_1_mo-fr_1", "23:50:00", "23:50:00",
                                                       "gaenseanger", "1"}));
    EXPECT_EQ(times.Rows[1], (std::vector<std::string>{"n1-nacht_1_mo-fr_1", "23:55:00", "23:58:00",
                                                       "markt", "2"}));
    EXPECT_EQ(times.Rows[2], (std::vector<std::string>{"n1-nacht_1_mo-fr_1", "24:10:00", "24:10:00",
                                                       "haus-blau", "3"}));
    // The interval: journey 2 shifted by 10, 20, 30 minutes, before 05:40.
    EXPECT_EQ(times.Rows[6][0], "n1-nacht_1_mo-fr_4-1");
    EXPECT_EQ(times.Rows[6][1], "05:10:00");
    EXPECT_EQ(times.Rows[13][2], "05:36:00");
    EXPECT_EQ(times.Rows[14][1], "05:40:00");
    EXPECT_EQ(times.Rows.size(), 20u);

    const TCsvTable stops = ParseCsv(files.at("stops.txt"));
    EXPECT_EQ(Column(stops, "stop_name"),
              (std::vector<std::string>{"Gänseanger", "Markt", "Haus \"Blau\""}));
    EXPECT_NE(files.at("stops.txt").find("\"Haus \"\"Blau\"\"\""), std::string::npos);
    const TCsvTable routes = ParseCsv(files.at("routes.txt"));
    EXPECT_EQ(routes.Rows,
              (std::vector<std::vector<std::string>>{{"n1-nacht", "1", "N1, Nacht", "900"}}));
    EXPECT_NE(files.at("routes.txt").find("\"N1, Nacht\""), std::string::npos);
    const TCsvTable agency = ParseCsv(files.at("agency.txt"));
    EXPECT_EQ(agency.Get(0, "agency_name"), "Verkehrsbetrieb Süd, \"VBS\"");
    const TCsvTable info = ParseCsv(files.at("feed_info.txt"));
    EXPECT_EQ(info.Get(0, "feed_start_date"), "20270101");
    EXPECT_EQ(info.Get(0, "feed_version").size(), 19u);
    EXPECT_EQ(Column(ParseCsv(files.at("calendar.txt")), "service_id"),
              (std::vector<std::string>{"mo-fr", "sa"}));

    // What did not go into the feed is said.
    EXPECT_TRUE(Contains(report.Skipped, "Linie \"Ohne\": kein Fahrplan"));
    EXPECT_TRUE(Contains(report.Skipped, "Fahrt 7: nur eine Station"));
    EXPECT_TRUE(Contains(report.Skipped, Cp1252("\"Leer\" hat keine Wochentage")));
    EXPECT_TRUE(Contains(report.Skipped, "Tarifringe"));
    EXPECT_FALSE(Contains(report.Skipped, "Fahrt 3"));
    EXPECT_EQ(report.Trips, 7u);
    EXPECT_EQ(report.StopTimes, 20u);
}

TEST(GtfsExport, RefusesMissingPositionsBadCellsAndPublishingData) {
    TempDir dir;
    WriteSmallProject(dir);
    dir.Write("feed.zip", "old");
    // Fern has times only on a day group without weekdays, which is not exported.
    EXPECT_TRUE(gtfs::ServedStationsWithoutPosition(dir.Path(), SmallParams()).empty());
    dir.Write(Cp1252ToUtf8("line_Ohne.ttd"), "[1_Sa]\r\n1=Fern,08:00\r\n2=Nirgends,08:10\r\n"
                                             "3=Leerlauf,,10 Min\r\n");
    // Found before any export, as the export would name them; a row without
    // a time serves nothing.
    EXPECT_EQ(gtfs::ServedStationsWithoutPosition(dir.Path(), SmallParams()),
              (std::vector<std::string>{"Fern", "Nirgends"}));
    try {
        gtfs::ExportGtfs(dir.Path(), SmallParams(), dir.File("feed.zip"));
        FAIL() << "exported without positions";
    } catch (const TaktonError &e) {
        EXPECT_NE(std::string(e.what()).find("\"Fern\", \"Nirgends\""), std::string::npos)
            << e.what();
    }
    EXPECT_EQ(dir.Read("feed.zip"), "old");

    dir.Write(Cp1252ToUtf8("line_Ohne.ttd"), "[1_Sa]\r\n1=Fern,08:00\r\n2=Markt,ca. 8\r\n");
    try {
        gtfs::ExportGtfs(dir.Path(), SmallParams(), dir.File("feed.zip"));
        FAIL() << "exported a bad cell";
    } catch (const TaktonError &e) {
        EXPECT_EQ(std::string(e.what()),
                  "Linie Ohne, Richtung 1, Tagesgruppe Sa, Fahrt 1, Station Markt: \"ca. 8\" ist "
                  "weder eine Zeit noch ein Takt; der Export ist nicht m\xF6glich.");
    }
    EXPECT_EQ(dir.Read("feed.zip"), "old");
    EXPECT_TRUE(Contains(CheckProjectConsistency(dir.Path()),
                         "line_Ohne.ttd: [1_Sa] Zeile 2, Fahrt 1: \"ca. 8\" ist weder eine Zeit "
                         "noch ein Takt."));

    TPrjParams params = SmallParams();
    params.Publishing.AgencyUrl.clear();
    params.Publishing.LastDate = "20261231";
    EXPECT_EQ(gtfs::MissingPublishingData(params.Publishing),
              (std::vector<std::string>{"Internetadresse des Verkehrsunternehmens",
                                        Cp1252("Letzter Gültigkeitstag nicht vor dem ersten")}));
    EXPECT_THROW(gtfs::ExportGtfs(dir.Path(), params, dir.File("feed.zip")), TaktonError);
    EXPECT_TRUE(gtfs::MissingPublishingData(SmallParams().Publishing).empty());
    EXPECT_EQ(dir.Read("feed.zip"), "old");
}

TEST(GtfsExport, ReadsEveryTimeSpellingAndRefusesTimesPastTheDay) {
    TempDir dir;
    WriteSmallProject(dir);
    dir.Write(Cp1252ToUtf8("line_Ohne.ttd"), "[1_Sa]\r\n1=Markt,8:05,9:5, 07:00,23:59\r\n"
                                             "2=Haus \"Blau\",08:15 ,09:15,7:10,0:01\r\n");
    gtfs::ExportGtfs(dir.Path(), SmallParams(), dir.File("feed.zip"));
    std::vector<std::string> times;
    for (const auto &row : ParseCsv(ReadZip(dir.File("feed.zip")).at("stop_times.txt")).Rows)
        if (row[0].starts_with("ohne_"))
            times.push_back(row[0] + " " + row[1] + " " + row[2]);
    EXPECT_EQ(times, (std::vector<std::string>{
                         "ohne_1_sa_1 08:05:00 08:05:00", "ohne_1_sa_1 08:15:00 08:15:00",
                         "ohne_1_sa_2 09:05:00 09:05:00", "ohne_1_sa_2 09:15:00 09:15:00",
                         "ohne_1_sa_3 07:00:00 07:00:00", "ohne_1_sa_3 07:10:00 07:10:00",
                         "ohne_1_sa_4 23:59:00 23:59:00", "ohne_1_sa_4 24:01:00 24:01:00"}));

    for (const char *bad : {"24:00", "08:60", "8:5a"}) {
        dir.Write(Cp1252ToUtf8("line_Ohne.ttd"),
                  std::string("[1_Sa]\r\n1=Markt,08:00\r\n2=Fern,") + bad + "\r\n");
        try {
            gtfs::ExportGtfs(dir.Path(), SmallParams(), dir.File("refused.zip"));
            ADD_FAILURE() << "exported " << bad;
        } catch (const TaktonError &e) {
            EXPECT_NE(std::string(e.what()).find(std::string("\"") + bad + "\" ist weder"),
                      std::string::npos)
                << e.what();
        }
        EXPECT_FALSE(std::filesystem::exists(dir.File("refused.zip")));
    }
}

TEST(GtfsExport, CancelLeavesTheOldFileAndNoTemporaryOne) {
    TempDir dir;
    WriteFeedProject(dir.Path(), {40, 4, 10, 30});
    dir.Write("feed.zip", "old");
    std::size_t calls = 0, lastTotal = 0;
    auto report = gtfs::ExportGtfs(dir.Path(), FeedProjectParams(), dir.File("feed.zip"),
                                   [&](std::size_t done, std::size_t total) {
                                       ++calls;
                                       lastTotal = total;
                                       return done < 3;
                                   });
    EXPECT_TRUE(report.Cancelled);
    EXPECT_EQ(calls, 3u);
    EXPECT_EQ(lastTotal, 4u * 6 + 1);
    // Cancelled while compressing, the last step.
    report = gtfs::ExportGtfs(dir.Path(), FeedProjectParams(), dir.File("feed.zip"),
                              [&, n = 0](std::size_t, std::size_t) mutable { return ++n <= 24; });
    EXPECT_TRUE(report.Cancelled);
    EXPECT_EQ(dir.Read("feed.zip"), "old");
    for (const auto &item : std::filesystem::directory_iterator(dir.Path()))
        EXPECT_FALSE(item.path().filename().string().starts_with(".takton")) << item.path();
}

TEST(GtfsExport, GeneratedProjectGivesAValidFeed) {
    TempDir dir;
    WriteFeedProject(dir.Path(), {300, 30, 20, 40});
    const auto report = gtfs::ExportGtfs(dir.Path(), FeedProjectParams(), dir.File("feed.zip"));
    EXPECT_EQ(report.Trips, 30u * 6 * 40);
    EXPECT_EQ(report.StopTimes, 30u * 6 * 40 * 20);
    const auto files = ReadZip(dir.File("feed.zip"));
    EXPECT_EQ(ValidateFeed(files), std::vector<std::string>{});
    EXPECT_EQ(ParseCsv(files.at("stop_times.txt")).Rows.size(), report.StopTimes);
}
