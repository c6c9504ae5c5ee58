#include "cli/cli_runner.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace takton::testing;

namespace {

// Line 5 to Zentrum, a change there into line N, which runs past midnight;
// the project wants three minutes for a change.
void WriteProject(const TempDir &dir, const std::string &minChange) {
    dir.Write("net.zpr",
              CrLf({"[daygroups]", "daygroupnames=Mo-Fr,So",
                    "Mo-Fr_days=monday,tuesday,wednesday,thursday,friday", "So_days=sunday",
                    "[timetable]", "max_drive_minutes=720", minChange}));
    dir.Write("stations.csv", CrLf({"M\xFChle", "Zentrum", "Nordbahnhof"}));
    dir.Write("lines.csv", CrLf({"5", "N"}));
    dir.Write("line_5.ttd", CrLf({"[1_Mo-Fr]", "1=M\xFChle,07:32,23:40", "2=Zentrum,07:50,23:55"}));
    dir.Write("line_N.ttd", CrLf({"[2_Mo-Fr]", "1=Zentrum,07:53,08:20,23:58",
                                  "2=Nordbahnhof,08:05,08:32,00:10"}));
}

} // namespace

TEST(CliQuery, PrintsConnectionsAsTextAndJson) {
    TempDir dir;
    WriteProject(dir, "min_change_minutes=3");
    const CliResult text = RunCli({"query", dir.Path(), "Mühle", "nordbahnhof", "--date",
                                   "2026-12-10", "--depart", "07:00", "--count", "2"});
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out, "07:32 - 08:05, Dauer 0:33, 1 Umstieg\n"
                        "  Linie 5 Richtung Zentrum: Mühle ab 07:32, Zentrum an 07:50\n"
                        "  Linie N Richtung Nordbahnhof: Zentrum ab 07:53, Nordbahnhof an 08:05\n"
                        "23:40 - 24:10, Dauer 0:30, 1 Umstieg\n"
                        "  Linie 5 Richtung Zentrum: Mühle ab 23:40, Zentrum an 23:55\n"
                        "  Linie N Richtung Nordbahnhof: Zentrum ab 23:58, Nordbahnhof an 24:10\n");

    const CliResult json = RunCli({"query", dir.Path(), "Mühle", "Nordbahnhof", "--day", "mo-fr",
                                   "--arrive", "08:10", "--count", "1", "--json"});
    EXPECT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(json.out,
              "[{\"departure\": \"07:32\", \"arrival\": \"08:05\", \"changes\": 1, \"legs\": "
              "[{\"line\": \"5\", \"direction\": 1, \"from\": \"Mühle\", \"departure\": "
              "\"07:32\", \"to\": \"Zentrum\", \"arrival\": \"07:50\"}, {\"line\": \"N\", "
              "\"direction\": 2, \"from\": \"Zentrum\", \"departure\": \"07:53\", \"to\": "
              "\"Nordbahnhof\", \"arrival\": \"08:05\"}]}]\n");

    // Four minutes for a change: the 07:53 is missed, the 08:20 taken.
    WriteProject(dir, "min_change_minutes=4");
    const CliResult later = RunCli({"query", dir.Path(), "Mühle", "Nordbahnhof", "--day", "Mo-Fr",
                                    "--depart", "07:00", "--count", "1"});
    EXPECT_EQ(later.out.substr(0, later.out.find('\n')), "07:32 - 08:32, Dauer 1:00, 1 Umstieg");

    // Sunday runs nothing; start and destination the same.
    for (const auto &args : std::vector<std::vector<std::string>>{
             {"query", dir.Path(), "Mühle", "Nordbahnhof", "--date", "2026-12-13", "--depart",
              "07:00"},
             {"query", dir.Path(), "Zentrum", "Zentrum", "--day", "Mo-Fr", "--depart", "07:00"}}) {
        const CliResult none = RunCli(args);
        EXPECT_EQ(none.status, 0);
        EXPECT_EQ(none.out, "Keine Verbindung gefunden\n");
    }
}

// A date goes by the project's operating calendar: a holiday the planner
// added runs as Sunday, which runs nothing here.
TEST(CliQuery, AHolidayRunsAsSunday) {
    TempDir dir;
    WriteProject(dir, "min_change_minutes=3");
    const std::vector<std::string> args = {"query",  dir.Path(),   "Mühle",    "Nordbahnhof",
                                           "--date", "2026-12-10", "--depart", "07:00"};
    EXPECT_EQ(RunCli(args).out.substr(0, 11), "07:32 - 08:");
    dir.Write("net.zpr", *dir.Read("net.zpr") + CrLf({"[calendar]", "holidays=2026-12-10"}));
    const CliResult holiday = RunCli(args);
    EXPECT_EQ(holiday.status, 0) << holiday.err;
    EXPECT_EQ(holiday.out, "Keine Verbindung gefunden\n");
}

TEST(CliQuery, RefusesWhatItCannotAnswer) {
    TempDir dir;
    WriteProject(dir, "");
    const auto run = [&](std::vector<std::string> tail) {
        std::vector<std::string> args = {"query", dir.Path(), "Mühle", "Zentrum"};
        args.insert(args.end(), tail.begin(), tail.end());
        return RunCli(args);
    };
    EXPECT_EQ(run({"--date", "2026-02-30", "--depart", "07:00"}).err,
              "Das Datum 2026-02-30 ist ungültig; erwartet wird JJJJ-MM-TT.\n");
    EXPECT_EQ(run({"--day", "Sa", "--depart", "07:00"}).err, "Die Tag-Gruppe Sa gibt es nicht.\n");
    EXPECT_EQ(run({"--day", "So", "--depart", "7.00"}).status, 1);
    EXPECT_EQ(run({"--day", "So", "--depart", "07:00", "--count", "0"}).status, 1);
    EXPECT_EQ(run({"--depart", "07:00"}).status, 2);
    EXPECT_EQ(run({"--day", "So", "--depart", "07:00", "--arrive", "08:00"}).status, 2);
    EXPECT_EQ(
        RunCli({"query", dir.Path(), "Mühle", "Irgendwo", "--day", "So", "--depart", "07:00"}).err,
        "Die Station Irgendwo gibt es im Projekt nicht.\n");
    EXPECT_EQ(
        RunCli({"query", dir.File("nichts"), "A", "B", "--day", "So", "--depart", "07:00"}).status,
        1);
}
