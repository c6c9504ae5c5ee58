#include "core/model/master_data.h"
#include "core/model/names.h"
#include "core/model/project_check.h"
#include "core/model/project_rules.h"
#include "core/model/registers.h"
#include "core/model/station_data.h"
#include "master_data_fixture.h"

#include <gtest/gtest.h>

using namespace takton;
using namespace takton::testing;

TEST(Names, RefusesNamesThatWouldNotSurviveTheFiles) {
    for (const auto &bad : std::vector<std::string>{
             "", "   ", " Markt", "Markt ", "A,B", "A=B", "Tab\there", "Zeile\r\nzwei",
             std::string("Null\0x", 6), "\"Zur Post\"", "'Eck", "Nr\x81"}) {
        const auto refusal = CheckStationName(bad);
        EXPECT_TRUE(refusal) << "station " << bad;
        EXPECT_TRUE(CheckLineName(bad)) << "line " << bad;
    }
    EXPECT_EQ(*CheckStationName("  "), "Der Name darf nicht leer sein.");
    for (const std::string good :
         {"Haupt Bahnhof", "M\xFChlweg", "S 1/2", "Gasthaus \"Post\"", "B"})
        EXPECT_FALSE(CheckStationName(good)) << good;

    // Line names name files
    for (const std::string bad : {"S 1/2", "A\\B", "C:", "*", "?", "\"X", "<", ">", "|"})
        EXPECT_TRUE(CheckLineName(bad)) << bad;
    EXPECT_TRUE(CheckLineName(std::string(124, '\xFC'))) << "file name over 255 bytes";
    EXPECT_FALSE(CheckLineName(std::string(123, '\xFC')));
    EXPECT_FALSE(CheckLineName(std::string(120, 'x')));
    EXPECT_FALSE(CheckLineName("Linie 5 (Nacht)"));
}

TEST(StationRegister, AddsSortedAndRefusesDuplicatesWithoutRegardToCase) {
    TempDir dir;
    dir.Write("stations.csv", CrLf({"Zoo", "Bach", "\xC4rzte"}));
    // GIVEN an unsorted register WHEN a station is added THEN the file is sorted
    EXPECT_FALSE(AddStation(dir.Path(), "apfel"));
    EXPECT_EQ(dir.Read("stations.csv"), CrLf({"apfel", "\xC4rzte", "Bach", "Zoo"}));
    EXPECT_FALSE(dir.Read("newstations.csv")) << "not remembered: memo list untouched";

    EXPECT_EQ(AddStation(dir.Path(), "\xE4RZTE"), "Station schon vorhanden!");
    EXPECT_EQ(AddStation(dir.Path(), "Markt,Nord"),
              "Der Name darf weder \",\" noch \"=\" enthalten.");
    EXPECT_EQ(dir.Read("stations.csv"), CrLf({"apfel", "\xC4rzte", "Bach", "Zoo"}));
    EXPECT_FALSE(dir.Read("newstations.csv"));

    // The memo list: appended, or started anew
    EXPECT_FALSE(AddStation(dir.Path(), "Markt", {true, false}));
    EXPECT_FALSE(AddStation(dir.Path(), "Hafen", {true, false}));
    EXPECT_EQ(dir.Read("newstations.csv"), CrLf({"Markt", "Hafen"}));
    EXPECT_FALSE(AddStation(dir.Path(), "Kirche", {true, true}));
    EXPECT_EQ(dir.Read("newstations.csv"), CrLf({"Kirche"}));
}

TEST(StationRegister, RenameAndDeleteKeepMemoListAndOtherFilesInStep) {
    TempDir dir;
    dir.Write("stations.csv", CrLf({"A", "B", "C"}));
    dir.Write("newstations.csv", CrLf({"b", "C"}));
    dir.Write("line_stations.csv", CrLf({"1=A,B,C"}));
    dir.Write("station_lines.csv", CrLf({"A=1", "B=1", "C=1"}));
    dir.Write("line_1.ttd", CrLf({"[1_X]", "1=A,05:00", "2=B,05:05", "3=C,05:10"}));

    // The same name exactly: nothing is written, not even the memo list
    dir.Write("newstations.csv", CrLf({"b", "C"}));
    EXPECT_FALSE(RenameStation(dir.Path(), "B", "B"));
    EXPECT_EQ(dir.Read("newstations.csv"), CrLf({"b", "C"}));

    // Another station's name, in any case, is refused; nothing changes
    EXPECT_EQ(RenameStation(dir.Path(), "B", "c"), "Station schon vorhanden!");
    EXPECT_EQ(dir.Read("stations.csv"), CrLf({"A", "B", "C"}));
    EXPECT_EQ(RenameStation(dir.Path(), "B", " B"),
              "Der Name darf nicht mit einem Leerzeichen beginnen oder enden.");
    EXPECT_EQ(RenameStation(dir.Path(), "Q", "R"), "Die Station Q gibt es nicht.");

    // A change of letter case alone is a rename that reaches every file; a
    // remembered station moves to the end of the memo list
    EXPECT_FALSE(RenameStation(dir.Path(), "B", "b"));
    EXPECT_EQ(dir.Read("stations.csv"), CrLf({"A", "b", "C"}));
    EXPECT_EQ(dir.Read("newstations.csv"), CrLf({"C", "b"}));
    EXPECT_EQ(dir.Read("line_stations.csv"), CrLf({"1=A,b,C"}));
    EXPECT_EQ(dir.Read("station_lines.csv"), CrLf({"A=1", "b=1", "C=1"}));
    EXPECT_EQ(dir.Read("line_1.ttd"), CrLf({"[1_X]", "1=A,05:00", "2=b,05:05", "3=C,05:10"}));

    // Renamed to a name sorting first; the old name typed in another case
    EXPECT_FALSE(RenameStation(dir.Path(), "c", "Aa"));
    EXPECT_EQ(dir.Read("stations.csv"), CrLf({"A", "Aa", "b"}));
    EXPECT_EQ(dir.Read("newstations.csv"), CrLf({"b", "Aa"}));
    EXPECT_EQ(dir.Read("line_1.ttd"), CrLf({"[1_X]", "1=A,05:00", "2=b,05:05", "3=Aa,05:10"}));

    // Deleting leaves the memo list and every other file
    EXPECT_FALSE(DeleteStation(dir.Path(), "B"));
    EXPECT_EQ(dir.Read("stations.csv"), CrLf({"A", "Aa"}));
    EXPECT_EQ(dir.Read("newstations.csv"), CrLf({"Aa"}));
    EXPECT_EQ(dir.Read("line_stations.csv"), CrLf({"1=A,Aa"}));
    EXPECT_EQ(dir.Read("station_lines.csv"), CrLf({"A=1", "Aa=1"}));
    EXPECT_EQ(dir.Read("line_1.ttd"), CrLf({"[1_X]", "1=A,05:00", "2=Aa,05:10"}));
    EXPECT_EQ(DeleteStation(dir.Path(), "B"), "Die Station B gibt es nicht.");
}

TEST(LineRegister, AddRenameDeleteWithChecksAndCascade) {
    TempDir dir;
    RecordingSink sink;
    EXPECT_FALSE(AddLine(dir.Path(), "S 2"));
    EXPECT_FALSE(AddLine(dir.Path(), "Bus 10"));
    EXPECT_EQ(dir.Read("lines.csv"), CrLf({"Bus 10", "S 2"}));
    EXPECT_EQ(AddLine(dir.Path(), "s 2"), "Linie schon vorhanden!");
    EXPECT_TRUE(AddLine(dir.Path(), "S2/3"));
    EXPECT_EQ(dir.Read("lines.csv"), CrLf({"Bus 10", "S 2"}));

    dir.Write("line_stations.csv", CrLf({"S 2=A"}));
    dir.Write("station_lines.csv", CrLf({"A=\"S 2\""}));
    dir.Write("line_S 2.ttd", CrLf({"[1_X]", "1=A,05:00"}));

    // Same name exactly: nothing written, no cascade
    ::chmod(dir.File("lines.csv").c_str(), 0444);
    EXPECT_FALSE(RenameLine(dir.Path(), "S 2", "S 2", sink));
    ::chmod(dir.File("lines.csv").c_str(), 0644);
    EXPECT_EQ(RenameLine(dir.Path(), "S 2", "BUS 10", sink), "Linie schon vorhanden!");

    // A stray timetable file of the new name: refused before anything is written
    dir.Write("line_S3.ttd", "stray");
    const auto refused = RenameLine(dir.Path(), "S 2", "S3", sink);
    ASSERT_TRUE(refused);
    EXPECT_EQ(*refused, "Fehler beim Umbenennen der Datei: " + dir.File("line_S 2.ttd") + " in " +
                            dir.File("line_S3.ttd"));
    EXPECT_EQ(dir.Read("lines.csv"), CrLf({"Bus 10", "S 2"}));
    EXPECT_EQ(dir.Read("line_stations.csv"), CrLf({"S 2=A"}));

    // Letter case alone is a rename, file included
    EXPECT_FALSE(RenameLine(dir.Path(), "S 2", "s 2", sink));
    EXPECT_EQ(dir.Read("lines.csv"), CrLf({"Bus 10", "s 2"}));
    EXPECT_EQ(dir.Read("line_stations.csv"), CrLf({"s 2=A"}));
    EXPECT_EQ(dir.Read("station_lines.csv"), CrLf({"A=\"s 2\""}));
    EXPECT_EQ(dir.Read("line_s 2.ttd"), CrLf({"[1_X]", "1=A,05:00"}));
    EXPECT_FALSE(dir.Read("line_S 2.ttd"));

    EXPECT_FALSE(DeleteLine(dir.Path(), "S 2", sink));
    EXPECT_EQ(dir.Read("lines.csv"), CrLf({"Bus 10"}));
    EXPECT_EQ(dir.Read("line_stations.csv"), "");
    EXPECT_EQ(dir.Read("station_lines.csv"), "");
    EXPECT_FALSE(dir.Read("line_s 2.ttd"));
    EXPECT_EQ(DeleteLine(dir.Path(), "S 2", sink), "Die Linie S 2 gibt es nicht.");
    EXPECT_TRUE(sink.messages.empty());
}

TEST(Registers, RenameAndDeleteActOnTheExactEntryBesideOneDifferingInCase) {
    TempDir dir;
    RecordingSink sink;
    // GIVEN hand-edited registers holding names that differ in case only
    dir.Write("stations.csv", CrLf({"Berg", "berg", "Tal"}));
    dir.Write("line_stations.csv", CrLf({"S1=Berg,Tal", "s1=berg,Tal"}));
    dir.Write("station_lines.csv", CrLf({"Berg=S1", "Tal=S1,s1", "berg=s1"}));
    dir.Write("line_S1.ttd", CrLf({"[1_X]", "1=Berg,05:00", "2=Tal,05:05"}));
    dir.Write("line_s1.ttd", CrLf({"[1_X]", "1=berg,06:00", "2=Tal,06:05"}));
    dir.Write("lines.csv", CrLf({"S1", "s1"}));

    // WHEN "berg" is deleted THEN "Berg" keeps its register entry, route and rows
    EXPECT_FALSE(DeleteStation(dir.Path(), "berg"));
    EXPECT_EQ(dir.Read("stations.csv"), CrLf({"Berg", "Tal"}));
    EXPECT_EQ(dir.Read("line_stations.csv"), CrLf({"S1=Berg,Tal", "s1=Tal"}));
    EXPECT_EQ(dir.Read("station_lines.csv"), CrLf({"Berg=S1", "Tal=S1,s1"}));
    EXPECT_EQ(dir.Read("line_S1.ttd"), CrLf({"[1_X]", "1=Berg,05:00", "2=Tal,05:05"}));
    EXPECT_EQ(dir.Read("line_s1.ttd"), CrLf({"[1_X]", "1=Tal,06:05"}));

    // WHEN line "s1" is renamed and then deleted THEN "S1" and its file stay
    EXPECT_FALSE(RenameLine(dir.Path(), "s1", "s2", sink));
    EXPECT_EQ(dir.Read("line_stations.csv"), CrLf({"S1=Berg,Tal", "s2=Tal"}));
    EXPECT_EQ(dir.Read("station_lines.csv"), CrLf({"Berg=S1", "Tal=S1,s2"}));
    EXPECT_FALSE(DeleteLine(dir.Path(), "s2", sink));
    EXPECT_EQ(dir.Read("lines.csv"), CrLf({"S1"}));
    EXPECT_EQ(dir.Read("line_S1.ttd"), CrLf({"[1_X]", "1=Berg,05:00", "2=Tal,05:05"}));
    EXPECT_EQ(dir.Read("station_lines.csv"), CrLf({"Berg=S1", "Tal=S1"}));
    EXPECT_TRUE(sink.messages.empty());

    // A name typed in another case alone still finds its entry
    EXPECT_FALSE(RenameStation(dir.Path(), "TAL", "Tal Mitte"));
    EXPECT_EQ(dir.Read("line_stations.csv"), CrLf({"S1=Berg,\"Tal Mitte\""}));
}

TEST(Registers, ACaseVariantNamedInNoFileNeverReachesTheOtherStationsEntries) {
    TempDir dir;
    // GIVEN "marktplatz" in the register alone, "Marktplatz" on two lines with data
    dir.Write("stations.csv", CrLf({"Au", "Marktplatz", "marktplatz"}));
    dir.Write("lines.csv", CrLf({"1", "5"}));
    dir.Write("line_stations.csv", CrLf({"1=Au,Marktplatz", "5=Marktplatz,Au"}));
    dir.Write("station_lines.csv", CrLf({"Au=1,5", "Marktplatz=1,5"}));
    dir.Write("station_data.csv", CrLf({"Marktplatz=51.05,13.74,10,"}));
    dir.Write("line_1.ttd", CrLf({"[1_Sa]", "1=Au,05:00", "2=Marktplatz,05:05"}));
    const auto untouched = [&] {
        EXPECT_EQ(dir.Read("line_stations.csv"), CrLf({"1=Au,Marktplatz", "5=Marktplatz,Au"}));
        EXPECT_EQ(dir.Read("station_lines.csv"), CrLf({"Au=1,5", "Marktplatz=1,5"}));
        EXPECT_EQ(dir.Read("station_data.csv"), CrLf({"Marktplatz=51.05,13.74,10,"}));
    };
    EXPECT_TRUE(LoadStationLines(dir.Path(), "marktplatz").empty());
    EXPECT_EQ(LoadStationLines(dir.Path(), "Marktplatz"), (TStringList{"1", "5"}));
    EXPECT_TRUE(LoadOneStationData(dir.Path(), "marktplatz").Empty());

    // WHEN its data is stored THEN it gets an entry of its own
    TStationData data;
    data.Zone = "20";
    StoreStationData(dir.Path(), "marktplatz", data);
    EXPECT_EQ(dir.Read("station_data.csv"),
              CrLf({"Marktplatz=51.05,13.74,10,", "marktplatz=,,20,"}));
    // WHEN it is deleted THEN its own entry goes and Marktplatz keeps everything
    EXPECT_FALSE(DeleteStation(dir.Path(), "marktplatz"));
    EXPECT_EQ(dir.Read("stations.csv"), CrLf({"Au", "Marktplatz"}));
    untouched();
    EXPECT_EQ(dir.Read("line_1.ttd"), CrLf({"[1_Sa]", "1=Au,05:00", "2=Marktplatz,05:05"}));
    EXPECT_TRUE(CheckProjectConsistency(dir.Path()).empty());
    // WHEN a variant is renamed THEN so too
    dir.Write("stations.csv", CrLf({"Au", "Marktplatz", "marktplatz"}));
    EXPECT_FALSE(RenameStation(dir.Path(), "marktplatz", "Markt Nord"));
    EXPECT_EQ(dir.Read("stations.csv"), CrLf({"Au", "Markt Nord", "Marktplatz"}));
    untouched();

    // Without a variant beside it, a name typed in another case still finds
    // the station's entries
    EXPECT_EQ(LoadStationLines(dir.Path(), "MARKTPLATZ"), (TStringList{"1", "5"}));
    EXPECT_FALSE(RenameStation(dir.Path(), "MARKTPLATZ", "Markt"));
    EXPECT_EQ(dir.Read("station_data.csv"), CrLf({"Markt=51.05,13.74,10,"}));
}

TEST(DayGroupRules, RenameAndDeleteFindTheGroupExactlyFirstAndRefuseClashes) {
    TPrjParams params;
    params.DayGroups = {{"Sa", "Samstag", 0x20}, {"sa", "sams", 0x20}, {"So", "Sonntag", 0x40}};
    EXPECT_EQ(IndexOfDayGroup(params, "sa"), 1);
    EXPECT_EQ(IndexOfDayGroup(params, "SO"), 2);
    EXPECT_EQ(RenameDayGroup(params, "So", "SA"),
              "Eine Tag-Gruppe mit dem Namen Sa gibt es schon.");
    EXPECT_TRUE(RenameDayGroup(params, "So", "S[o]"));
    EXPECT_EQ(RenameDayGroup(params, "Xx", "Yy"), "Die Tag-Gruppe Xx gibt es nicht.");
    EXPECT_FALSE(RenameDayGroup(params, "sa", "Sa2"));
    EXPECT_EQ(params.DayGroups[1].Name, "Sa2");
    EXPECT_EQ(params.DayGroups[0].Name, "Sa");
    EXPECT_FALSE(DeleteDayGroup(params, "SA2"));
    ASSERT_EQ(params.DayGroups.size(), 2U);
    EXPECT_EQ(params.DayGroups[1].Name, "So");
}
