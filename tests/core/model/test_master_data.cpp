#include "core/model/master_data.h"
#include "core/model/timetable_file.h"
#include "core/util/error.h"
#include "master_data_fixture.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace takton;
using namespace takton::testing;

TEST(RouteFiles, JoinedFormQuotesNamesAndReadsThemBack) {
    TempDir dir;
    // GIVEN a bare name, one with a blank and one typed with quotation marks
    const TStringList route = {"A", "Haupt Bahnhof", "\"B\""};
    StoreLineStations(dir.Path(), "1", route);
    EXPECT_EQ(dir.Read("line_stations.csv"), CrLf({"1=A,\"Haupt Bahnhof\",\"\"\"B\"\"\""}));
    EXPECT_EQ(LoadLineStations(dir.Path(), "1"), route);
    EXPECT_EQ(dir.Read("station_lines.csv"), CrLf({"A=1", "Haupt Bahnhof=1", "\"B\"=1"}));
    EXPECT_EQ(LoadStationLines(dir.Path(), "haupt bahnhof"), TStringList{"1"});

    // A hand-edited entry with an unquoted blank holds two stations
    dir.Write("line_stations.csv", CrLf({"L=A B"}));
    EXPECT_EQ(LoadLineStations(dir.Path(), "l"), (TStringList{"A", "B"}));
    EXPECT_TRUE(LoadLineStations(dir.Path(), "M").empty());
    EXPECT_TRUE(LoadStationLines(dir.Path(), "Nirgends").empty());
}

TEST(RouteFiles, ReverseIndexFollowsTheRoutes) {
    TempDir dir;
    dir.Write("line_stations.csv", CrLf({"L1=A,B"}));
    dir.Write("station_lines.csv", CrLf({"A=L1", "B=L1"}));

    // GIVEN A=L1 WHEN a new line L2 serves A and C THEN L2 is added to A and C is new
    StoreLineStations(dir.Path(), "L2", {"A", "C"});
    EXPECT_EQ(dir.Read("line_stations.csv"), CrLf({"L1=A,B", "L2=A,C"}));
    EXPECT_EQ(dir.Read("station_lines.csv"), CrLf({"A=L1,L2", "B=L1", "C=L2"}));

    // WHEN A leaves L1 THEN A keeps only L2; WHEN B leaves too THEN B's emptied
    // entry goes and the entry after it is still looked at
    StoreLineStations(dir.Path(), "L1", {"C"});
    EXPECT_EQ(dir.Read("station_lines.csv"), CrLf({"A=L2", "C=L2,L1"}));
    EXPECT_EQ(dir.Read("line_stations.csv"), CrLf({"L1=C", "L2=A,C"})) << "replaced in place";

    // A line name with a blank is written in the joined form in new entries
    StoreLineStations(dir.Path(), "Linie 3", {"D", "A"});
    EXPECT_EQ(dir.Read("station_lines.csv"),
              CrLf({"A=L2,\"Linie 3\"", "C=L2,L1", "D=\"Linie 3\""}));
    EXPECT_EQ(LoadStationLines(dir.Path(), "D"), TStringList{"Linie 3"});

    // An empty route keeps the line's entry with an empty value
    StoreLineStations(dir.Path(), "l2", {});
    EXPECT_EQ(dir.Read("line_stations.csv"), CrLf({"L1=C", "l2=", "Linie 3=D,A"}));
    EXPECT_EQ(dir.Read("station_lines.csv"), CrLf({"A=\"Linie 3\"", "C=L1", "D=\"Linie 3\""}));
}

TEST(RouteFiles, NewRouteRebuildsTheTimetableInTheNewOrder) {
    TempDir dir;
    dir.Write("line_stations.csv", CrLf({"1=A,B,C"}));
    dir.Write("line_1.ttd", CrLf({"[1_Mo-Fr]", "1=A,05:00", "2=B,05:05", "3=C,05:10", "[2_Mo-Fr]",
                                  "1=C,06:00", "2=B,06:05", "3=A,06:10"}));

    // WHEN B and C change places THEN both move with their times
    StoreLineStations(dir.Path(), "1", {"A", "C", "B"});
    EXPECT_EQ(dir.Read("line_1.ttd"), CrLf({"[1_Mo-Fr]", "1=A,05:00", "2=C,05:10", "3=B,05:05",
                                            "[2_Mo-Fr]", "1=B,06:05", "2=C,06:00", "3=A,06:10"}));

    // WHEN a station is named twice in a row THEN its rows come once; a new
    // station gets a row without times; direction 2 runs backwards
    StoreLineStations(dir.Path(), "1", {"A", "A", "D", "B"});
    EXPECT_EQ(dir.Read("line_stations.csv"), CrLf({"1=A,A,D,B"})) << "stored as given";
    EXPECT_EQ(dir.Read("line_1.ttd"), CrLf({"[1_Mo-Fr]", "1=A,05:00", "2=D", "3=B,05:05",
                                            "[2_Mo-Fr]", "1=B,06:05", "2=D", "3=A,06:10"}));

    // WHEN the route is emptied THEN the file is left without sections
    StoreLineStations(dir.Path(), "1", {});
    EXPECT_EQ(dir.Read("line_1.ttd"), "");
    EXPECT_EQ(dir.Read("line_stations.csv"), CrLf({"1="}));
}

TEST(RouteFiles, SyncKeepsArrivalDepartureRowsAndTellsBergFromBergheim) {
    TempDir dir;
    const std::string longRow = "Markt" + std::string(5000, ',') + "23:59";
    dir.Write("line_1.ttd", CrLf({"[1_Sa]", "1=Bergheim,05:00", "2=Berg,05:05", "3=Berg,05:06",
                                  "4=" + longRow, "[2_Sa]", "1=Markt,07:00", "2=Bergheim,07:05"}));
    // GIVEN Bergheim stands before Berg WHEN Berg is looked for THEN Bergheim's row is not taken
    SyncTimetableToStations(dir.Path(), "1", {"Berg", "Markt", "Bergheim", "Neu"});
    EXPECT_EQ(dir.Read("line_1.ttd"),
              CrLf({"[1_Sa]", "1=Berg,05:05", "2=Berg,05:06", "3=" + longRow, "4=Bergheim,05:00",
                    "5=Neu", "[2_Sa]", "1=Neu", "2=Bergheim,07:05", "3=Markt,07:00", "4=Berg"}));

    // A line without timetable file gets none
    SyncTimetableToStations(dir.Path(), "2", {"A"});
    EXPECT_FALSE(dir.Read("line_2.ttd"));
    StoreLineStations(dir.Path(), "2", {"A"});
    StoreLineStations(dir.Path(), "2", {"B"});
    EXPECT_FALSE(dir.Read("line_2.ttd"));
}

TEST(RouteFiles, MovedStationsKeepTheirRowsAndARouteThroughAStationTwiceKeepsBoth) {
    TempDir dir;
    dir.Write("line_stations.csv", CrLf({"1=A,B,C,D"}));
    dir.Write("line_1.ttd",
              CrLf({"[1_Sa]", "1=A,05:00", "2=B,05:05", "3=C,05:10", "4=C,05:12", "5=D,05:20"}));
    // WHEN D moves to the top and C (arrival and departure) above B THEN every
    // row moves with its station, the pair stays a pair
    StoreLineStations(dir.Path(), "1", {"D", "A", "C", "B"});
    EXPECT_EQ(dir.Read("line_1.ttd"),
              CrLf({"[1_Sa]", "1=D,05:20", "2=A,05:00", "3=C,05:10", "4=C,05:12", "5=B,05:05"}));

    // A ring route through A twice: each visit keeps its own row, in order
    dir.Write("line_1.ttd", CrLf({"[1_Sa]", "1=A,06:00", "2=B,06:05", "3=A,06:10"}));
    StoreLineStations(dir.Path(), "1", {"A", "B", "C", "A"});
    EXPECT_EQ(dir.Read("line_1.ttd"),
              CrLf({"[1_Sa]", "1=A,06:00", "2=B,06:05", "3=C", "4=A,06:10"}));
    // WHEN B moves below C THEN B keeps its times and each visit of A its own
    StoreLineStations(dir.Path(), "1", {"A", "C", "B", "A"});
    EXPECT_EQ(dir.Read("line_1.ttd"),
              CrLf({"[1_Sa]", "1=A,06:00", "2=C", "3=B,06:05", "4=A,06:10"}));
}

namespace {

// Lines 1 and 2 through B, with timetables for both.
void WriteBProject(const TempDir &dir) {
    dir.Write("line_stations.csv", CrLf({"1=A,B,C", "2=B", "3="}));
    dir.Write("station_lines.csv", CrLf({"A=1", "B=1,2", "C=1"}));
    dir.Write("line_1.ttd", CrLf({"[1_Mo-Fr]", "1=A,08:00", "2=B,08:05", "3=B,08:06", "4=C,08:10",
                                  "[2_Mo-Fr]", "1=C,09:00", "2=B,09:05", "3=A,09:10"}));
    dir.Write("line_2.ttd", CrLf({"[1_So]", "1=B,10:00", "[2_So]", "1=BB,11:00", "2=B,11:05"}));
}

} // namespace

TEST(Cascade, DeletingAStationReachesRoutesIndexAndTimetables) {
    TempDir dir;
    WriteBProject(dir);
    CascadeDeleteStation(dir.Path(), "B");
    // Entry 2 emptied and the already empty entry 3 are gone
    EXPECT_EQ(dir.Read("line_stations.csv"), CrLf({"1=A,C"}));
    EXPECT_EQ(dir.Read("station_lines.csv"), CrLf({"A=1", "C=1"}));
    // Rows renumbered without gaps; BB is not B; a section left empty is gone
    EXPECT_EQ(dir.Read("line_1.ttd"),
              CrLf({"[1_Mo-Fr]", "1=A,08:00", "2=C,08:10", "[2_Mo-Fr]", "1=C,09:00", "2=A,09:10"}));
    EXPECT_EQ(dir.Read("line_2.ttd"), CrLf({"[2_So]", "1=BB,11:00"}));
}

TEST(Cascade, RenamingAStationChangesEachRowOnceAndKeepsEntryPlaces) {
    TempDir dir;
    WriteBProject(dir);
    const std::string sued = "Bahnhof S\xFC"
                             "d";
    CascadeRenameStation(dir.Path(), "B", sued);
    EXPECT_EQ(dir.Read("line_stations.csv"),
              CrLf({"1=A,\"" + sued + "\",C", "2=\"" + sued + "\"", "3="}));
    EXPECT_EQ(dir.Read("station_lines.csv"), CrLf({"A=1", sued + "=1,2", "C=1"}));
    EXPECT_EQ(dir.Read("line_1.ttd"),
              CrLf({"[1_Mo-Fr]", "1=A,08:00", "2=" + sued + ",08:05", "3=" + sued + ",08:06",
                    "4=C,08:10", "[2_Mo-Fr]", "1=C,09:00", "2=" + sued + ",09:05", "3=A,09:10"}));
    EXPECT_EQ(dir.Read("line_2.ttd"), CrLf({"[1_So]", "1=" + sued + ",10:00", "[2_So]",
                                            "1=BB,11:00", "2=" + sued + ",11:05"}));

    // B to BB: a row changes once, and BB's own row is not B's
    TempDir second;
    WriteBProject(second);
    CascadeRenameStation(second.Path(), "B", "BB");
    EXPECT_EQ(second.Read("line_2.ttd"),
              CrLf({"[1_So]", "1=BB,10:00", "[2_So]", "1=BB,11:00", "2=BB,11:05"}));

    // A station on no route: the routes file is left alone
    TempDir third;
    third.Write("line_stations.csv", CrLf({"1=A"}));
    CascadeRenameStation(third.Path(), "X", "Y");
    EXPECT_EQ(third.Read("line_stations.csv"), CrLf({"1=A"}));
    EXPECT_EQ(third.Read("station_lines.csv"), "");
}

TEST(Cascade, DeletingALineRemovesItEverywhereAndReportsAFileThatStays) {
    TempDir dir;
    WriteBProject(dir);
    RecordingSink sink;
    CascadeDeleteLine(dir.Path(), "2", sink);
    EXPECT_EQ(dir.Read("line_stations.csv"), CrLf({"1=A,B,C", "3="}));
    EXPECT_EQ(dir.Read("station_lines.csv"), CrLf({"A=1", "B=1", "C=1"}));
    EXPECT_FALSE(dir.Read("line_2.ttd"));
    EXPECT_TRUE(sink.messages.empty());

    // A line without timetable file: no message
    CascadeDeleteLine(dir.Path(), "3", sink);
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(dir.Read("line_stations.csv"), CrLf({"1=A,B,C"}));
}

namespace {

// Makes a file immutable, so that not even root can delete or rename it.
// False where the file system or the user's rights do not allow it.
bool SetImmutable(const std::string &path, bool on) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return ok;
}

} // namespace

TEST(Cascade, TimetableFilesThatCannotBeDeletedOrRenamedAreReported) {
    TempDir dir;
    WriteBProject(dir);
    if (!SetImmutable(dir.File("line_1.ttd"), true))
        GTEST_SKIP() << "files cannot be locked here";
    RecordingSink sink;
    // GIVEN a locked timetable WHEN its line is deleted THEN the other files
    // change and the message names the file
    CascadeDeleteLine(dir.Path(), "1", sink);
    SetImmutable(dir.File("line_1.ttd"), false);
    EXPECT_EQ(dir.Read("line_stations.csv"), CrLf({"2=B", "3="}));
    EXPECT_EQ(dir.Read("station_lines.csv"), CrLf({"B=2"}));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0], "Fehler beim L\xF6schen der Datei: " + dir.File("line_1.ttd"));
    EXPECT_TRUE(dir.Read("line_1.ttd"));
}

TEST(Cascade, RenamingALineMovesItsEntriesAndItsTimetableFile) {
    TempDir dir;
    WriteBProject(dir);
    RecordingSink sink;
    CascadeRenameLine(dir.Path(), "2", "Linie 2", sink);
    EXPECT_EQ(dir.Read("line_stations.csv"), CrLf({"1=A,B,C", "Linie 2=B", "3="}));
    EXPECT_EQ(dir.Read("station_lines.csv"), CrLf({"A=1", "B=1,\"Linie 2\"", "C=1"}));
    EXPECT_FALSE(dir.Read("line_2.ttd"));
    EXPECT_EQ(dir.Read("line_Linie 2.ttd"),
              CrLf({"[1_So]", "1=B,10:00", "[2_So]", "1=BB,11:00", "2=B,11:05"}));
    EXPECT_TRUE(sink.messages.empty());

    // A line that has no timetable yet: nothing to rename, no message
    CascadeRenameLine(dir.Path(), "3", "Drei", sink);
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(dir.Read("line_stations.csv"), CrLf({"1=A,B,C", "Linie 2=B", "Drei="}));

    // A file of the new name already there: the rename fails with both paths
    dir.Write("line_Eins.ttd", "");
    CascadeRenameLine(dir.Path(), "1", "Eins", sink);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0], "Fehler beim Umbenennen der Datei: " + dir.File("line_1.ttd") +
                                    " in " + dir.File("line_Eins.ttd"));
    EXPECT_EQ(dir.Read("line_Eins.ttd"), "") << "the other file is not replaced";

    // The same name exactly: nothing is written
    const std::string before = *dir.Read("line_stations.csv");
    ::chmod(dir.File("line_stations.csv").c_str(), 0444);
    EXPECT_NO_THROW(CascadeRenameLine(dir.Path(), "Eins", "Eins", sink));
    EXPECT_EQ(dir.Read("line_stations.csv"), before);
}

TEST(Cascade, AFailedSaveStopsTheStepsAfterIt) {
    TempDir dir;
    WriteBProject(dir);
    const std::string timetable = *dir.Read("line_1.ttd");
    ::chmod(dir.File("line_stations.csv").c_str(), 0444);
    // GIVEN a read-only routes file WHEN B is deleted THEN the error names the
    // file and neither it nor the steps after it changed anything
    try {
        CascadeDeleteStation(dir.Path(), "B");
        FAIL() << "no error";
    } catch (const TaktonError &e) {
        EXPECT_EQ(std::string(e.what()),
                  "In " + dir.File("line_stations.csv") + " kann nicht geschrieben werden");
    }
    EXPECT_EQ(dir.Read("line_stations.csv"), CrLf({"1=A,B,C", "2=B", "3="}));
    EXPECT_EQ(dir.Read("station_lines.csv"), CrLf({"A=1", "B=1,2", "C=1"}));
    EXPECT_EQ(dir.Read("line_1.ttd"), timetable);
}

TEST(DayGroupCascade, RenameAndDeleteReachEveryTimetableInPlace) {
    TempDir dir;
    dir.Write("line_1.ttd", CrLf({"[1_Mo-Fr]", "1=A,05:00", "[1_Sa]", "1=A,06:00", "[2_Sa]",
                                  "1=A,07:00", "[2_Mo-Fr]", "1=A,08:00"}));
    dir.Write("line_2.ttd", CrLf({"[1_So]", "1=B,09:00"}));
    dir.Write("line_3.ttd", CrLf({"[2_sa]", "1=C,10:00"}));
    dir.Write("line_stations.csv", "");
    EXPECT_EQ(CountTimetablesWithDayGroup(dir.Path(), "Sa"), 2);

    // WHEN Sa becomes Samstag THEN both directions' sections are renamed where they stand
    CascadeRenameDayGroup(dir.Path(), "Sa", "Samstag");
    EXPECT_EQ(dir.Read("line_1.ttd"), CrLf({"[1_Mo-Fr]", "1=A,05:00", "[1_Samstag]", "1=A,06:00",
                                            "[2_Samstag]", "1=A,07:00", "[2_Mo-Fr]", "1=A,08:00"}));
    EXPECT_EQ(dir.Read("line_3.ttd"), CrLf({"[2_Samstag]", "1=C,10:00"}));
    EXPECT_EQ(dir.Read("line_2.ttd"), CrLf({"[1_So]", "1=B,09:00"})) << "untouched";

    // WHEN Samstag is deleted THEN two files lose their sections, the rest stays
    EXPECT_EQ(CascadeDeleteDayGroup(dir.Path(), "Samstag"), 2);
    EXPECT_EQ(dir.Read("line_1.ttd"), CrLf({"[1_Mo-Fr]", "1=A,05:00", "[2_Mo-Fr]", "1=A,08:00"}));
    EXPECT_EQ(dir.Read("line_3.ttd"), "");
    EXPECT_EQ(CountTimetablesWithDayGroup(dir.Path(), "Samstag"), 0);
}

TEST(ProjectCopy, CopiesMasterDataAndTimetablesButNotTheProjectFile) {
    TempDir from;
    TempDir to;
    from.Write("stations.csv", CrLf({"A", "B"}));
    from.Write("lines.csv", CrLf({"1"}));
    from.Write("station_data.csv", CrLf({"A=51.1,13.7,,"}));
    from.Write("line_data.csv", CrLf({"1=3"}));
    from.Write("line_1.ttd", CrLf({"[1_Sa]", "1=A,05:00"}));
    from.Write("netz.zpr", "[timetable]\r\n");
    from.Write("notiz.txt", "x");
    to.Write("stations.csv", CrLf({"Alt"}));
    CopyProjectFiles(from.Path(), to.Path());
    EXPECT_EQ(to.Read("stations.csv"), CrLf({"A", "B"}));
    EXPECT_EQ(to.Read("lines.csv"), CrLf({"1"}));
    EXPECT_EQ(to.Read("line_1.ttd"), CrLf({"[1_Sa]", "1=A,05:00"}));
    EXPECT_EQ(to.Read("station_data.csv"), CrLf({"A=51.1,13.7,,"}));
    EXPECT_EQ(to.Read("line_data.csv"), CrLf({"1=3"}));
    EXPECT_FALSE(to.Read("netz.zpr"));
    EXPECT_FALSE(to.Read("notiz.txt"));
    EXPECT_FALSE(to.Read("line_stations.csv")) << "a missing file is not made";
}
