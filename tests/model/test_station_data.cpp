#include "master_data_fixture.h"
#include "model/station_data.h"
#include "util/file_io.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace takton {
namespace {

std::string ReadAll(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(StationData, FileRoundTripKeepsBytesAndMakesNoFileWithoutData) {
    testing::TempDir dir;
    // GIVEN a project without station data
    TStationDataList list = LoadStationData(dir.Path());
    EXPECT_TRUE(list.empty());
    // WHEN nothing is stored THEN no file appears
    SaveStationData(dir.Path(), list);
    EXPECT_FALSE(FileExists(ProjectPath(dir.Path(), kStationDataFile)));

    // WHEN positions, zones and rings are stored
    SetStationData(list, "Hauptbahnhof", {TGeoPosition{52.52, 13.405}, "A", "1"});
    SetStationData(list,
                   "Schlo\xDF"
                   "park",
                   {TGeoPosition{-0.1278, 7}, "", ""});
    SetStationData(list, "Nordstadt", {std::nullopt, "B", "2"});
    SaveStationData(dir.Path(), list);
    // THEN the file holds them as entries with a point and CR LF
    const std::string path = ProjectPath(dir.Path(), kStationDataFile);
    EXPECT_EQ(ReadAll(path), testing::CrLf({"Hauptbahnhof=52.52,13.405,A,1",
                                            "Schlo\xDFpark=-0.1278,7,,", "Nordstadt=,,B,2"}));
    // AND they read back equal, and write back byte for byte
    EXPECT_EQ(LoadStationData(dir.Path()), list);
    const std::string before = ReadAll(path);
    SaveStationData(dir.Path(), LoadStationData(dir.Path()));
    EXPECT_EQ(ReadAll(path), before);

    // Emptied data removes the entry; the exact name wins over another case.
    SetStationData(list, "Nordstadt", {});
    SetStationData(list, "nordstadt", {std::nullopt, "C", ""});
    ASSERT_NE(FindStationData(list, "NORDSTADT"), nullptr);
    EXPECT_EQ(FindStationData(list, "NORDSTADT")->Zone, "C");
    EXPECT_EQ(FindStationData(list, "Hauptbahnhof")->Position->Lat, 52.52);
    EXPECT_EQ(FindStationData(list, "Bergheim"), nullptr);
}

TEST(StationData, CoordinatesAsPlannersTypeThemAndAsTheyAreStored) {
    EXPECT_EQ(ParseCoordinate("52,5200"), 52.52);
    EXPECT_EQ(ParseCoordinate(" 13.405 "), 13.405);
    EXPECT_EQ(ParseCoordinate("-0,1278"), -0.1278);
    EXPECT_EQ(ParseCoordinate("+7"), 7.0);
    for (const char *wrong : {"", " ", "52,52,1", "N52", "52.5.1", "1e5", "--1", ","})
        EXPECT_FALSE(ParseCoordinate(wrong)) << wrong;
    EXPECT_EQ(FormatCoordinate(52.52), "52.52");
    EXPECT_EQ(FormatCoordinate(13.4049999999), "13.405");
    EXPECT_EQ(FormatCoordinate(-0.0000001), "0");
    EXPECT_EQ(FormatCoordinate(7), "7");
    EXPECT_EQ(FormatCoordinate(12.3456789), "12.345679");
    // Out of range or half a position reads as no position, zone and ring kept.
    EXPECT_FALSE(ParseStationDataValue("91,13,A,1").Position);
    EXPECT_FALSE(ParseStationDataValue("52,,A,1").Position);
    EXPECT_EQ(ParseStationDataValue("52,,A,1").Zone, "A");
    EXPECT_EQ(ParseStationDataValue("52.1,-180").Position, (TGeoPosition{52.1, -180}));
}

} // namespace
} // namespace takton
