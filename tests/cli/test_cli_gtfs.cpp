#include "cli/cli_runner.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace takton::testing;

TEST(CliGtfs, ExportsTheDemoAndRefusesWhatItCannotPublish) {
    TempDir dir;
    for (const auto &item : std::filesystem::directory_iterator(TAKTON_DEMO_DIR))
        std::filesystem::copy_file(item.path(), dir.File(item.path().filename().string()));

    const CliResult done = RunCli({"gtfs", "export", dir.File("demo.zpr"), dir.File("feed.zip")});
    EXPECT_EQ(done.status, 0) << done.err;
    EXPECT_NE(done.out.find("  stop_times.txt: 144 Zeilen\n"), std::string::npos) << done.out;
    EXPECT_NE(done.out.find("Fahrten: 24, Halte: 144\n"), std::string::npos);
    EXPECT_NE(done.out.find("Nicht exportiert:\n  Linie \"5\": kein Fahrplan"), std::string::npos);
    EXPECT_TRUE(dir.Read("feed.zip")->starts_with("PK"));

    // A cell that is no time: refused with the place named, the old feed whole.
    const std::string old = *dir.Read("feed.zip");
    std::string timetable = *dir.Read("line_1.ttd");
    timetable.replace(timetable.find("05:13"), 5, "f\xE4llt aus");
    dir.Write("line_1.ttd", timetable);
    const CliResult bad = RunCli({"gtfs", "export", dir.File("demo.zpr"), dir.File("feed.zip")});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err, "Linie 1, Richtung 1, Tagesgruppe Mo-Fr, Fahrt 1, Station Marktplatz: "
                       "\"fällt aus\" ist weder eine Zeit noch ein Takt; der Export ist nicht "
                       "möglich.\n");
    EXPECT_EQ(dir.Read("feed.zip"), old);
    const CliResult check = RunCli({"check", dir.Path()});
    EXPECT_EQ(check.status, 1);
    EXPECT_NE(check.out.find("line_1.ttd: [1_Mo-Fr] Zeile 2, Fahrt 1: \"fällt aus\" ist weder "
                             "eine Zeit noch ein Takt.\n"),
              std::string::npos)
        << check.out;

    EXPECT_EQ(RunCli({"gtfs", "export", dir.File("demo.zpr")}).status, 2);
    EXPECT_EQ(RunCli({"gtfs", "export", dir.File("none.zpr"), dir.File("x.zip")}).status, 1);
}

namespace {
std::string HostName() {
    char name[256] = {};
    ::gethostname(name, sizeof name - 1);
    return name;
}
} // namespace

TEST(CliGtfs, ImportsAFeedIntoANewProjectAndRefusesAnExistingOne) {
    TempDir dir;
    const std::string feed = TAKTON_TEST_DATA "/gtfs/sample";
    const CliResult done = RunCli({"gtfs", "import", feed, dir.File("net/sample.zpr")});
    EXPECT_EQ(done.status, 0) << done.err;
    EXPECT_NE(done.out.find("Stationen: 9, Linien: 5, Tagesgruppen: 2, Fahrten: 11, Zeilen in "
                            "stop_times.txt: 28\n"),
              std::string::npos)
        << done.out;
    EXPECT_NE(done.out.find("Nicht übernommen:\n"), std::string::npos);
    EXPECT_NE(done.out.find("  fare_rules.txt: Tarife kennt das Projekt nicht"), std::string::npos);
    EXPECT_NE(done.out.find("Hinweise:\n"), std::string::npos);
    const CliResult route = RunCli({"route", "show", dir.File("net"), "10"});
    EXPECT_EQ(route.out, "Nye County Airport (Demo)\nBullfrog (Demo)\n");
    EXPECT_EQ(RunCli({"check", dir.File("net")}).status, 0);

    const CliResult again = RunCli({"gtfs", "import", feed, dir.File("net/other.zpr")});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("liegt schon ein Projekt"), std::string::npos) << again.err;
    EXPECT_FALSE(dir.Read("net/other.zpr"));
    EXPECT_EQ(RunCli({"gtfs", "import", feed}).status, 2);

    // GIVEN a target folder another planner's editor holds
    std::filesystem::create_directory(dir.File("busy"));
    dir.Write("busy/.takton.lock",
              "host=" + HostName() + "\nuser=kollegin\npid=" + std::to_string(::getpid()) + "\n");
    // THEN the import is refused there and writes nothing
    const CliResult locked = RunCli({"gtfs", "import", feed, dir.File("busy/net.zpr")});
    EXPECT_EQ(locked.status, 1);
    EXPECT_NE(locked.err.find("--force"), std::string::npos) << locked.err;
    EXPECT_FALSE(dir.Read("busy/net.zpr"));
}
