#include "core/files/file_io.h"
#include "core/model/master_data.h"
#include "core/model/registers.h"
#include "core/model/station_data.h"
#include "master_data_fixture.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace takton {
namespace {

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
    EXPECT_EQ(*dir.Read(std::string(kStationDataFile)),
              testing::CrLf({"Hauptbahnhof=52.52,13.405,A,1", "Schlo\xDFpark=-0.1278,7,,",
                             "Nordstadt=,,B,2"}));
    // AND they read back equal, and write back byte for byte
    EXPECT_EQ(LoadStationData(dir.Path()), list);
    const std::string before = *dir.Read(std::string(kStationDataFile));
    SaveStationData(dir.Path(), LoadStationData(dir.Path()));
    EXPECT_EQ(*dir.Read(std::string(kStationDataFile)), before);

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

TEST(StationData, CascadesCarryTheOwnEntryOnlyBergNeverBergheim) {
    testing::TempDir dir;
    // GIVEN Berg and Bergheim, both with data, and a register
    dir.Write("stations.csv", testing::CrLf({"Berg", "Bergheim", "Tal"}));
    dir.Write("station_data.csv",
              testing::CrLf({"Bergheim=50.1,8.2,B,", "Berg=50,8,A,1", "Tal=,,C,"}));
    // WHEN Berg is renamed
    ASSERT_FALSE(RenameStation(dir.Path(), "Berg", "Bergdorf"));
    // THEN its entry is renamed in place; Bergheim keeps its own
    EXPECT_EQ(dir.Read("station_data.csv"),
              testing::CrLf({"Bergheim=50.1,8.2,B,", "Bergdorf=50,8,A,1", "Tal=,,C,"}));
    // WHEN a station that only begins like another is deleted
    ASSERT_FALSE(RenameStation(dir.Path(), "Bergdorf", "Berg"));
    ASSERT_FALSE(DeleteStation(dir.Path(), "Berg"));
    EXPECT_EQ(dir.Read("station_data.csv"), testing::CrLf({"Bergheim=50.1,8.2,B,", "Tal=,,C,"}));
    // A change of letter case is a rename, too
    ASSERT_FALSE(RenameStation(dir.Path(), "Tal", "TAL"));
    EXPECT_EQ(dir.Read("station_data.csv"), testing::CrLf({"Bergheim=50.1,8.2,B,", "TAL=,,C,"}));

    // A project without station data gets no file from any cascade
    testing::TempDir plain;
    plain.Write("stations.csv", testing::CrLf({"Berg"}));
    ASSERT_FALSE(RenameStation(plain.Path(), "Berg", "Burg"));
    ASSERT_FALSE(DeleteStation(plain.Path(), "Burg"));
    EXPECT_FALSE(FileExists(ProjectPath(plain.Path(), kStationDataFile)));
}

TEST(StationData, TypedInputIsCheckedBeforeItIsTaken) {
    TStationData data{TGeoPosition{1, 2}, "A", "1"};
    // A decimal comma as German planners type it; stored with at most six decimals
    TStationDataInput input{true, " 52,5200 ", "13,4049999", true, " B ", true, ""};
    ASSERT_FALSE(ApplyStationDataInput(input, data));
    EXPECT_EQ(data, (TStationData{TGeoPosition{52.52, 13.405}, "B", ""}));
    EXPECT_EQ(StationDataValue(data), "52.52,13.405,B,");

    // Refusals leave the data as it was and say why, in German
    const TStationData before = data;
    const auto refused = [&](TStationDataInput wrong) {
        TStationData changed = data;
        const auto why = ApplyStationDataInput(wrong, changed);
        EXPECT_EQ(changed, before);
        return why.value_or("");
    };
    EXPECT_NE(refused({true, "90,5", "13", true, "", true, ""}).find("-90 bis 90"),
              std::string::npos);
    EXPECT_NE(refused({true, "52", "-180.01", true, "", true, ""}).find("-180 bis 180"),
              std::string::npos);
    EXPECT_NE(refused({true, "52", "Ost", true, "", true, ""}).find("Die L\xE4nge"),
              std::string::npos);
    EXPECT_NE(refused({true, "52,1", "", true, "", true, ""}).find("Breite und L\xE4nge"),
              std::string::npos);
    EXPECT_NE(refused({true, "", "13", true, "", true, ""}).find("Breite und L\xE4nge"),
              std::string::npos);
    EXPECT_NE(refused({true, "", "", true, "A,B", true, ""}).find("Tarifzone"), std::string::npos);
    EXPECT_NE(refused({true, "", "", true, "", true, "R=1"}).find("Tarifring"), std::string::npos);
    EXPECT_NE(refused({true, "", "", true, std::string(21, 'Z'), true, ""}).find("20 Zeichen"),
              std::string::npos);

    // Both empty: no position; the edges of the ranges are allowed
    ASSERT_FALSE(ApplyStationDataInput({true, "", "", true, "B", true, ""}, data));
    EXPECT_FALSE(data.Position);
    ASSERT_FALSE(ApplyStationDataInput({true, "-90", "180,0", true, "B", true, ""}, data));
    EXPECT_EQ(data.Position, (TGeoPosition{-90, 180}));
    // Parts a form does not show keep what the station had
    ASSERT_FALSE(ApplyStationDataInput({false, "", "", false, "", true, "2"}, data));
    EXPECT_EQ(data, (TStationData{TGeoPosition{-90, 180}, "B", "2"}));

    // Stored one station at a time, no file for nothing
    testing::TempDir dir;
    StoreStationData(dir.Path(), "Markt", {});
    EXPECT_FALSE(FileExists(ProjectPath(dir.Path(), kStationDataFile)));
    StoreStationData(dir.Path(), "Markt", data);
    EXPECT_EQ(dir.Read("station_data.csv"), testing::CrLf({"Markt=-90,180,B,2"}));
    EXPECT_EQ(LoadOneStationData(dir.Path(), "Markt"), data);
    StoreStationData(dir.Path(), "Markt", {});
    EXPECT_EQ(dir.Read("station_data.csv"), "");
}

} // namespace
} // namespace takton
