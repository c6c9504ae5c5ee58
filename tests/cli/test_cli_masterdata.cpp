#include "cli/cli_runner.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace takton::testing;

TEST(CliMasterData, StationsAreAddedRenamedAndDeletedAsTheEditorDoes) {
    TempDir dir;
    const std::string p = dir.Path();
    EXPECT_EQ(RunCli({"station", "add", p, "Zoo"}).status, 0);
    EXPECT_EQ(RunCli({"station", "add", p, "Bahnhof Süd", "--remember", "--new-list"}).status, 0);
    EXPECT_EQ(RunCli({"station", "add", p, "Ärzte", "--remember"}).status, 0);
    // Files are cp1252, sorted in German order
    EXPECT_EQ(dir.Read("stations.csv"), CrLf({"\xC4rzte",
                                              "Bahnhof S\xFC"
                                              "d",
                                              "Zoo"}));
    EXPECT_EQ(dir.Read("newstations.csv"), CrLf({"Bahnhof S\xFC"
                                                 "d",
                                                 "\xC4rzte"}));
    EXPECT_EQ(RunCli({"station", "list", p}).out, "Ärzte\nBahnhof Süd\nZoo\n");

    const CliResult duplicate = RunCli({"station", "add", p, "ärzte"});
    EXPECT_EQ(duplicate.status, 1);
    EXPECT_EQ(duplicate.err, "Station schon vorhanden!\n");
    const CliResult comma = RunCli({"station", "add", p, "A,B"});
    EXPECT_EQ(comma.status, 1);
    EXPECT_NE(comma.err.find("\",\""), std::string::npos) << comma.err;
    EXPECT_EQ(RunCli({"station", "add", p, "X", "--new-list"}).status, 2);
    EXPECT_EQ(RunCli({"station", "add", p}).status, 2);

    EXPECT_EQ(RunCli({"station", "rename", p, "bahnhof süd", "Süd"}).status, 0);
    EXPECT_EQ(dir.Read("newstations.csv"), CrLf({"\xC4rzte", "S\xFC"
                                                             "d"}));
    EXPECT_EQ(RunCli({"station", "rename", p, "Süd", "zoo"}).err, "Station schon vorhanden!\n");
    EXPECT_EQ(RunCli({"station", "delete", p, "ÄRZTE"}).status, 0);
    EXPECT_EQ(dir.Read("stations.csv"), CrLf({"S\xFC"
                                              "d",
                                              "Zoo"}));
    EXPECT_EQ(dir.Read("newstations.csv"), CrLf({"S\xFC"
                                                 "d"}));
    const CliResult missing = RunCli({"station", "delete", p, "Nirgends"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "Die Station Nirgends gibt es nicht.\n");
}

TEST(CliMasterData, RoutesTimetablesAndLineCascadesThroughTheTool) {
    TempDir dir;
    const std::string p = dir.Path();
    for (const char *station : {"Berg", "Bergheim", "Markt"})
        ASSERT_EQ(RunCli({"station", "add", p, station}).status, 0);
    ASSERT_EQ(RunCli({"line", "add", p, "S 1"}).status, 0);
    EXPECT_EQ(RunCli({"line", "add", p, "s 1"}).err, "Linie schon vorhanden!\n");
    EXPECT_EQ(RunCli({"line", "add", p, "S1/2"}).status, 1);

    // Stations and line typed in any case are stored as the registers spell them
    const CliResult set = RunCli({"route", "set", p, "s 1", "markt", "Bergheim", "Berg"});
    EXPECT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(dir.Read("line_stations.csv"), CrLf({"S 1=Markt,Bergheim,Berg"}));
    EXPECT_EQ(RunCli({"route", "show", p, "S 1"}).out, "Markt\nBergheim\nBerg\n");
    EXPECT_EQ(RunCli({"route", "set", p, "S 1", "Markt", "Mond"}).err,
              "Die Station Mond gibt es nicht.\n");
    EXPECT_EQ(RunCli({"route", "show", p, "S 9"}).status, 1);

    dir.Write("line_S 1.ttd",
              CrLf({"[1_Mo-Fr]", "1=Markt,05:00", "2=Bergheim,05:05", "3=Berg,05:10", "[2_Mo-Fr]",
                    "1=Berg,06:00", "2=Bergheim,06:05", "3=Markt,06:10"}));
    const CliResult shown = RunCli({"timetable", "show", p, "S 1", "2", "Mo-Fr"});
    EXPECT_EQ(shown.status, 0) << shown.err;
    EXPECT_EQ(shown.out, "Berg,06:00\nBergheim,06:05\nMarkt,06:10\n");
    EXPECT_EQ(RunCli({"timetable", "show", p, "S 1", "3", "Mo-Fr"}).status, 1);
    EXPECT_EQ(RunCli({"timetable", "show", p, "S 1", "1", "So"}).status, 1);

    // Renaming Berg leaves Bergheim's rows alone
    EXPECT_EQ(RunCli({"station", "rename", p, "Berg", "Burg"}).status, 0);
    EXPECT_EQ(RunCli({"timetable", "show", p, "S 1", "1", "Mo-Fr"}).out,
              "Markt,05:00\nBergheim,05:05\nBurg,05:10\n");

    EXPECT_EQ(RunCli({"line", "rename", p, "S 1", "S 2"}).status, 0);
    EXPECT_EQ(dir.Read("lines.csv"), CrLf({"S 2"}));
    EXPECT_EQ(dir.Read("station_lines.csv"),
              CrLf({"Markt=\"S 2\"", "Bergheim=\"S 2\"", "Burg=\"S 2\""}));
    EXPECT_TRUE(dir.Read("line_S 2.ttd"));
    EXPECT_EQ(RunCli({"check", p}).out, "Keine Unstimmigkeiten gefunden.\n");

    EXPECT_EQ(RunCli({"line", "delete", p, "S 2"}).status, 0);
    EXPECT_EQ(dir.Read("lines.csv"), "");
    EXPECT_EQ(dir.Read("line_stations.csv"), "");
    EXPECT_EQ(dir.Read("station_lines.csv"), "");
    EXPECT_FALSE(dir.Read("line_S 2.ttd"));
}

TEST(CliMasterData, CheckReportsEveryKindOfInconsistency) {
    TempDir dir;
    const std::string p = dir.Path();
    dir.Write("stations.csv", CrLf({"A", "B", "a"}));
    dir.Write("lines.csv", CrLf({"1", "2"}));
    dir.Write("newstations.csv", CrLf({"Weg"}));
    dir.Write("line_stations.csv", CrLf({"1=A,B,X", "9=A"}));
    dir.Write("station_lines.csv", CrLf({"A=1,2", "X=1"}));
    dir.Write("line_1.ttd", CrLf({"[1_Mo]", "1=A,05:00", "2=Bx,05:05"}));
    dir.Write("line_7.ttd", CrLf({"[1_Mo]", "1=A"}));

    const CliResult checked = RunCli({"check", p});
    EXPECT_EQ(checked.status, 1);
    EXPECT_EQ(checked.out,
              "Die Station \"a\" steht mehrfach in stations.csv.\n"
              "line_stations.csv: die Route der Linie \"1\" nennt die unbekannte Station \"X\".\n"
              "line_stations.csv: die Route der Linie \"9\" gehört zu keiner Linie in lines.csv.\n"
              "station_lines.csv: die Station \"A\" nennt die Linie \"2\", deren Route sie nicht "
              "enthält.\n"
              "station_lines.csv: bei der Station \"B\" fehlt die Linie \"1\", auf deren Route sie "
              "liegt.\n"
              "station_lines.csv: bei der Station \"A\" fehlt die Linie \"9\", auf deren Route sie "
              "liegt.\n"
              "newstations.csv: die Station \"Weg\" steht nicht in stations.csv.\n"
              "line_1.ttd: [1_Mo] Zeile 2: die Station \"Bx\" liegt nicht auf der Linie.\n"
              "line_7.ttd: Fahrplandatei einer unbekannten Linie.\n");

    const CliResult noFolder = RunCli({"check", dir.File("fehlt")});
    EXPECT_EQ(noFolder.status, 1);
    EXPECT_EQ(noFolder.err, "Das Projektverzeichnis " + dir.File("fehlt") + " gibt es nicht.\n");

    // A path the system refuses to look at is refused too, never a crash
    const CliResult tooLong = RunCli({"check", "/tmp/" + std::string(300, 'x') + "/p"});
    EXPECT_EQ(tooLong.status, 1);
}
