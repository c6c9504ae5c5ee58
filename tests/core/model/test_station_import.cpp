#include "core/files/file_io.h"
#include "core/model/station_data.h"
#include "core/model/station_import.h"
#include "core/util/error.h"
#include "master_data_fixture.h"

#include <gtest/gtest.h>

namespace takton {
namespace {

using testing::CrLf;

class StationImportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.Write("stations.csv", CrLf({"Berg", "Bergheim", "M\xFCnster", "Schlo\xDF"}));
    }
    std::string Data() const { return dir.Read("station_data.csv").value_or("<keine Datei>"); }
    testing::TempDir dir;
};

TEST_F(StationImportTest, SemicolonFileInCp1252WithDecimalCommasAndGermanHeaders) {
    // GIVEN a spreadsheet export: semicolons, cp1252, decimal commas, quotes
    const std::string csv = "Name;Breite;L\xE4nge;Tarifzone;Tarifring\r\n"
                            "Berg;50,1;8,25;A;1\r\n"
                            "\"M\xFCnster\";\"51,9625\";7,6256;;\r\n"
                            "Bergdorf;50;8;B;\r\n"
                            "berg;1;1;;\r\n"
                            ";;;;\r\n";
    const TStationImportResult result = ImportStationData(dir.Path(), csv);
    EXPECT_EQ(result.Stored, (std::vector<std::string>{"Berg", "M\xFCnster"}));
    // Names are matched exactly: no prefix, no other letter case
    EXPECT_EQ(result.NotFound, (std::vector<std::string>{"Bergdorf", "berg"}));
    EXPECT_TRUE(result.Refused.empty());
    EXPECT_EQ(Data(), CrLf({"Berg=50.1,8.25,A,1", "M\xFCnster=51.9625,7.6256,,"}));
}

TEST_F(StationImportTest, GtfsStopsInUtf8WithBomAndQuotedCommas) {
    dir.Write("station_data.csv", CrLf({"Bergheim=,,C,3"}));
    // GIVEN stops.txt: UTF-8 with BOM, English names, a platform listed twice,
    // a quoted field holding the separator and a line break
    const std::string csv =
        "\xEF\xBB\xBFstop_id,stop_name,stop_lat,stop_lon,zone_id,location_type\n"
        "1,Schlo\xC3\x9F,52.1,13.2,,0\n"
        "2,Schlo\xC3\x9F,52.2,13.3,X,0\n"
        "3,\"Bergheim\",\"50.5\",8.5,,0\n"
        "4,\"Nord, \"\"alt\"\"\nGleis 2\",1,2,,\n";
    const TStationImportResult result = ImportStationData(dir.Path(), csv);
    EXPECT_EQ(result.Stored, (std::vector<std::string>{"Schlo\xDF", "Bergheim"}));
    EXPECT_EQ(result.NotFound, (std::vector<std::string>{"Nord, \"alt\"\nGleis 2"}));
    // The first row of a name counts; empty cells keep what a station had
    EXPECT_EQ(Data(), CrLf({"Bergheim=50.5,8.5,C,3", "Schlo\xDF=52.1,13.2,,"}));
}

TEST_F(StationImportTest, RefusesBadValuesRowByRowAndFilesWithoutTheColumns) {
    const std::string csv = "lat,lon,name,zone\n"
                            "95,8,Berg,\n"
                            "50,,Bergheim,\n"
                            "50,8,M\xC3\xBCnster,\"A=B\"\n"
                            "51,7,Schlo\xC3\x9F,Z\n";
    const TStationImportResult result = ImportStationData(dir.Path(), csv);
    EXPECT_EQ(result.Stored, std::vector<std::string>{"Schlo\xDF"});
    ASSERT_EQ(result.Refused.size(), 3U);
    EXPECT_EQ(result.Refused[0].rfind("Zeile 2 (Berg): Die Breite", 0), 0U) << result.Refused[0];
    EXPECT_NE(result.Refused[1].find("Breite und L\xE4nge"), std::string::npos);
    EXPECT_NE(result.Refused[2].find("Tarifzone"), std::string::npos);
    EXPECT_EQ(Data(), CrLf({"Schlo\xDF=51,7,Z,"}));

    // Nothing matched: no file is made
    testing::TempDir empty;
    EXPECT_TRUE(ImportStationData(empty.Path(), "name;lat;lon\nX;1;2\n").Stored.empty());
    EXPECT_FALSE(FileExists(ProjectPath(empty.Path(), kStationDataFile)));
    // A header without the three columns is refused with a German message
    for (const char *wrong : {"", "name;zone\nBerg;A\n", "Berg;50;8\n", "station,lat\n"})
        EXPECT_THROW(ReadStationCsv(wrong), TaktonError) << wrong;
}

TEST(StationCsv, HeaderVariantsSeparatorsAndEncodings) {
    // Tabs, English long names, CR alone as line end
    TStationCsv csv = ReadStationCsv("Station\tLatitude\tLongitude\tRing\rA\t1.5\t2.5\tR\r");
    EXPECT_FALSE(csv.HasZone);
    EXPECT_TRUE(csv.HasRing);
    ASSERT_EQ(csv.Rows.size(), 1U);
    EXPECT_EQ(csv.Rows[0].Lon, "2.5");
    EXPECT_EQ(csv.Rows[0].Ring, "R");
    // A comma header decides for commas even when a name holds a semicolon
    csv = ReadStationCsv("name,lat,lon\n\"A;B\",1,2\n");
    ASSERT_EQ(csv.Rows.size(), 1U);
    EXPECT_EQ(csv.Rows[0].Name, "A;B");
    // Umlauts in the header in UTF-8 and in cp1252; the fields follow the file's
    // encoding: valid UTF-8 is converted, anything else is taken as cp1252
    csv = ReadStationCsv("Haltestelle;BREITE;L\xC3\xA4ngengrad\nK\xC3\xB6ln;1;2\n");
    EXPECT_EQ(csv.Rows.at(0).Name, "K\xF6ln");
    csv = ReadStationCsv("Haltestelle;Breite;L\xE4nge\nK\xF6ln;1;2\n");
    EXPECT_EQ(csv.Rows.at(0).Name, "K\xF6ln");
    EXPECT_TRUE(IsValidUtf8("K\xC3\xB6ln \xF0\x9F\x9A\x8B"));
    for (const char *invalid : {"\xC0\xAF", "\xED\xA0\x80", "\xC3", "\xF4\x90\x80\x80", "\xFF"})
        EXPECT_FALSE(IsValidUtf8(invalid)) << invalid;
}

} // namespace
} // namespace takton
