#include "cli/cli_runner.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

using namespace takton::testing;

namespace {

void CopyDemo(const TempDir &dir) {
    for (const auto &item : std::filesystem::directory_iterator(TAKTON_DEMO_DIR))
        std::filesystem::copy_file(item.path(), dir.File(item.path().filename().string()));
}

// Runs a command that must be refused: status 1, a German message, and the
// files named unchanged.
void ExpectRefused(const TempDir &dir, const std::vector<std::string> &args,
                   const std::string &message, const std::vector<std::string> &files) {
    std::vector<std::optional<std::string>> before;
    for (const auto &file : files)
        before.push_back(dir.Read(file));
    const CliResult result = RunCli(args);
    EXPECT_EQ(result.status, 1) << args[1];
    EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
    for (std::size_t i = 0; i < files.size(); ++i)
        EXPECT_EQ(dir.Read(files[i]), before[i]) << files[i] << " changed";
}

} // namespace

TEST(CliCalendar, HolidaysOfALandInDateOrder) {
    const CliResult saxony = RunCli({"calendar", "holidays", "--land", "SN", "--year", "2026"});
    EXPECT_EQ(saxony.status, 0) << saxony.err;
    EXPECT_EQ(saxony.out, "2026-01-01 Neujahr\n2026-04-03 Karfreitag\n2026-04-06 Ostermontag\n"
                          "2026-05-01 Tag der Arbeit\n2026-05-14 Christi Himmelfahrt\n"
                          "2026-05-25 Pfingstmontag\n2026-10-03 Tag der Deutschen Einheit\n"
                          "2026-10-31 Reformationstag\n2026-11-18 Buß- und Bettag\n"
                          "2026-12-25 1. Weihnachtstag\n2026-12-26 2. Weihnachtstag\n");
    const CliResult unknown = RunCli({"calendar", "holidays", "--land", "XY", "--year", "2026"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.err.find("Das Bundesland \"XY\" gibt es nicht"), std::string::npos);
    EXPECT_EQ(RunCli({"calendar", "holidays", "--land", "BY", "--year", "20x6"}).status, 1);
}

TEST(CliCalendar, AProjectWithLandSchoolHolidaysSpecialDaysAndFootnotes) {
    TempDir dir;
    CopyDemo(dir);
    const std::string zpr = dir.File("demo.zpr");
    auto run = [](const std::vector<std::string> &args) {
        const CliResult result = RunCli(args);
        EXPECT_EQ(result.status, 0) << args[0] << " " << args[1] << ": " << result.err;
        return result;
    };
    run({"project", "set-publishing", zpr, "--from", "2026-12-13", "--to", "2027-12-11", "--agency",
         "Stadtverkehr"});
    run({"calendar", "set-land", zpr, "SN"});
    const CliResult ics =
        run({"calendar", "import-ics", zpr,
             std::string(TAKTON_TEST_DATA) + "/ics/schulferien_sachsen_2026.ics"});
    EXPECT_EQ(ics.out, "Ferien übernommen: 6 von 6\n");
    run({"calendar", "special", zpr, "2026-12-24", "as-saturday"});
    run({"footnote", "add", dir.Path(), "S", "nur an Schultagen", "--school-days"});
    run({"footnote", "add", dir.Path(), "x", "nicht zu Silvester", "--not", "2026-12-31"});
    run({"timetable", "set-footnote", dir.Path(), "1", "1", "Mo-Fr", "2", "S"});
    run({"timetable", "set-night", dir.Path(), "1", "1", "Sa", "3", "on"});

    // Refusals with a German message, nothing written
    ExpectRefused(dir, {"calendar", "set-land", zpr, "DE-SN"}, "gibt es nicht", {"demo.zpr"});
    ExpectRefused(dir, {"calendar", "import-ics", zpr, dir.File("stations.csv")},
                  "keine iCalendar-Datei", {"demo.zpr"});
    ExpectRefused(dir, {"calendar", "special", zpr, "2026-12-31..2026-12-30", "none"},
                  "endet vor seinem Beginn", {"demo.zpr"});
    ExpectRefused(dir, {"calendar", "special", zpr, "2027-02-29", "none"}, "2027-02-29",
                  {"demo.zpr"});
    ExpectRefused(dir, {"calendar", "special", zpr, "2026-12-24", "as-funday"},
                  "Unbekannte Behandlung", {"demo.zpr"});
    ExpectRefused(dir, {"footnote", "add", dir.Path(), "S", "doppelt"}, "schon vergeben",
                  {"footnotes.ini"});
    ExpectRefused(dir, {"timetable", "set-footnote", dir.Path(), "1", "1", "Mo-Fr", "4", "Q"},
                  "gibt es im Projekt nicht", {"line_1.ttd"});
    ExpectRefused(dir, {"project", "set-publishing", zpr, "--to", "2026-12-01"},
                  "endet vor seinem Beginn", {"demo.zpr"});

    const CliResult list = run({"footnote", "list", dir.Path()});
    EXPECT_EQ(list.out, "S | nur an Schultagen | nur an Schultagen\n"
                        "x | nicht zu Silvester | alle Tage, nicht am 31.12.2026\n");
    const CliResult shown = run({"calendar", "show", zpr});
    EXPECT_NE(shown.out.find("land: SN Sachsen\n"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("special_day: 2026-12-24 as-saturday\n"), std::string::npos);

    // The school-day journey over Christmas: not in the holidays (from
    // 23 December to 2 January), not on Christmas Eve run as Saturday
    const CliResult runs = run(
        {"runs", dir.Path(), "1", "1", "Mo-Fr", "2", "--from", "2026-12-18", "--to", "2027-01-06"});
    EXPECT_EQ(runs.out, "2026-12-18\n2026-12-21\n2026-12-22\n2027-01-04\n2027-01-05\n2027-01-06\n");
    // A journey without a footnote, over the whole validity period
    const CliResult plain = run({"runs", dir.Path(), "1", "1", "Sa", "1"});
    EXPECT_EQ(plain.out.substr(0, 33), "2026-12-19\n2026-12-24\n2027-01-02\n")
        << "Boxing Day is a holiday, Christmas Eve runs as Saturday";
    EXPECT_EQ(std::count(plain.out.begin(), plain.out.end(), '\n'), 51);

    // The timetable file keeps the marks beside its rows
    const std::string timetable = *dir.Read("line_1.ttd");
    EXPECT_NE(timetable.find("footnotes=,S\r\n"), std::string::npos) << timetable;
    EXPECT_NE(timetable.find("nights=3\r\n"), std::string::npos);
    // And the project exports
    const CliResult feed = run({"gtfs", "export", zpr, dir.File("feed.zip")});
    EXPECT_NE(feed.out.find("calendar_dates.txt"), std::string::npos) << feed.out;

    // A footnote taken out of footnotes.ini behind the program's back: the
    // check names the journeys that still carry it
    const CliResult clean = RunCli({"check", dir.Path()});
    EXPECT_EQ(clean.out.find("Fußnote"), std::string::npos) << clean.out;
    std::string notes = *dir.Read("footnotes.ini");
    notes.replace(notes.find("symbol=S"), 8, "symbol=Q");
    dir.Write("footnotes.ini", notes);
    const CliResult check = RunCli({"check", dir.Path()});
    EXPECT_EQ(check.status, 1);
    EXPECT_NE(check.out.find("line_1.ttd: [1_Mo-Fr] Fahrt 2: die Fußnote \"S\" gibt es im "
                             "Projekt nicht.\n"),
              std::string::npos)
        << check.out;
}
