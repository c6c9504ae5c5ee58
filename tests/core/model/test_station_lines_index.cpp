#include "core/model/master_data.h"
#include "core/model/station_lines_index.h"
#include "core/util/cp1252.h"
#include "core/util/error.h"
#include "master_data_fixture.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace takton;
using namespace takton::testing;

TEST(StationLinesIndex, FindsTheLinesAsTheSingleLookupDoes) {
    TempDir dir;
    // GIVEN a hand-edited index: quoted names, umlauts, a repeated station,
    // an entry without "=" and one without lines
    dir.Write("station_lines.csv",
              CrLf({"Markt=1,\"S 3\",Bus", Cp1252("Überlingen=Bodensee,\"A,B\""), "kein Eintrag",
                    "markt=99", "Leer=", Cp1252("Große Straße=5")}));
    const TStationLinesIndex index = TStationLinesIndex::Load(dir.Path());

    // THEN every name gives what LoadStationLines gives for it
    for (const std::string &name :
         {std::string("Markt"), std::string("MARKT"), Cp1252("überlingen"),
          Cp1252("GROSSE STRASSE"), Cp1252("GROßE STRAßE"), std::string("Leer"),
          std::string("kein Eintrag"), std::string("Mark"), std::string("Markt ")})
        EXPECT_EQ(index.LinesOf(name), LoadStationLines(dir.Path(), name)) << name;

    EXPECT_EQ(index.LinesOf("mArKt"), (TStringList{"1", "S 3", "Bus"}));
    EXPECT_EQ(index.LinesOf(Cp1252("ÜBERLINGEN")), (TStringList{"Bodensee", "A,B"}));
    EXPECT_EQ(index.LinesOf(Cp1252("große straße")), TStringList{"5"});
    EXPECT_TRUE(index.LinesOf("Leer").empty());
    EXPECT_TRUE(index.LinesOf("kein Eintrag").empty());
}

TEST(StationLinesIndex, AStationWithoutNameHasNoLines) {
    // A hand-edited entry with an empty name does not make every empty query
    // text a station.
    const TStationLinesIndex index(TStringList{"=1,2", "A=3"});
    EXPECT_TRUE(index.LinesOf("").empty());
    EXPECT_EQ(index.LinesOf("a"), TStringList{"3"});
    EXPECT_TRUE(TStationLinesIndex().LinesOf("A").empty());
}

TEST(StationLinesIndex, QueryNetworkReadsBothFilesAndTakesMissingOnesAsEmpty) {
    TempDir dir;
    TQueryNetwork network = LoadQueryNetwork(dir.Path());
    EXPECT_TRUE(network.stationLines.LinesOf("A").empty());
    EXPECT_TRUE(network.routes.empty());
    // Nothing is written while reading.
    EXPECT_FALSE(dir.Read("station_lines.csv"));
    EXPECT_FALSE(dir.Read("line_stations.csv"));

    dir.Write("station_lines.csv", CrLf({"A=L1"}));
    dir.Write("line_stations.csv", CrLf({"L1=A,B"}));
    network = LoadQueryNetwork(dir.Path());
    EXPECT_EQ(network.stationLines.LinesOf("a"), TStringList{"L1"});
    EXPECT_EQ(network.routes, TStringList{"L1=A,B"});

    // A file that is there but cannot be read is an error, not an empty list.
    std::filesystem::remove(dir.File("line_stations.csv"));
    std::filesystem::create_directory(dir.File("line_stations.csv"));
    EXPECT_THROW(LoadQueryNetwork(dir.Path()), TaktonError);
}

TEST(LineDescent, ListsTheStartStationsLinesAndStopsAtANameThatIsNoStation) {
    const TStationLinesIndex index(TStringList{"Markt=1,2,S3", "Hafen=F", "2=X"});
    // GIVEN lines named unlike any station THEN one level, in entry order
    EXPECT_EQ(LineDescent(index, "markt"), (std::vector<TStringList>{{"1", "2", "S3"}}));
    // A station without entry, or no start text at all, lists nothing
    EXPECT_TRUE(LineDescent(index, "Bahnhof").empty());
    EXPECT_TRUE(LineDescent(index, "").empty());
}

TEST(LineDescent, FollowsTheFirstLineNamedLikeAStationForAtMostTenLevels) {
    // GIVEN the first line of Markt is named like the station Ring (other
    // case), whose first line is named like Tal, whose line leads back to Markt
    const TStationLinesIndex index(TStringList{"Markt=RING,2", "ring=Tal,9", "TAL=markt"});
    const auto levels = LineDescent(index, "Markt");
    ASSERT_EQ(levels.size(), 10u);
    const std::vector<TStringList> cycle = {{"RING", "2"}, {"Tal", "9"}, {"markt"}};
    for (std::size_t i = 0; i < levels.size(); ++i)
        EXPECT_EQ(levels[i], cycle[i % 3]) << "level " << i;

    // A chain that ends on its own stops there
    const TStationLinesIndex chain(TStringList{"A=B,x", "B=C", "C=Ende"});
    EXPECT_EQ(LineDescent(chain, "A"), (std::vector<TStringList>{{"B", "x"}, {"C"}, {"Ende"}}));
    EXPECT_EQ(LineDescent(chain, "A", 2).size(), 2u);
}
