#include "core/model/timetable_file.h"
#include "master_data_fixture.h"

#include <gtest/gtest.h>

using namespace takton;
using namespace takton::testing;

TEST(TimetableFile, ReadsRowsInKeyOrderAndWritesThemRenumbered) {
    TempDir dir;
    const std::string longRow = "A" + std::string(9000, ',') + "05:00";
    dir.Write("line_1.ttd", CrLf({"[1_Mo-Fr]", "2=B,05:10", "1=" + longRow, "note=x", "[2_Mo-Fr]",
                                  "[1_So]", "1=C"}));
    TTimetableFile file(TimetablePath(dir.Path(), "1"));
    EXPECT_TRUE(file.Exists());
    // A section without keys does not count as present
    EXPECT_EQ(file.Sections(), (std::vector<std::string>{"1_Mo-Fr", "1_So"}));
    EXPECT_FALSE(file.HasSection("2_Mo-Fr"));
    EXPECT_TRUE(file.HasSection("1_mo-fr"));
    EXPECT_EQ(file.ReadRows(TimetableSectionName(1, "Mo-Fr")), (TTimetableRows{longRow, "B,05:10"}))
        << "rows in the order of their numbers, whole however long";

    file.WriteRows("1_Mo-Fr", {"B,05:10"});
    file.WriteRows("1_So", {});
    file.Save();
    EXPECT_EQ(dir.Read("line_1.ttd"), CrLf({"[2_Mo-Fr]", "[1_Mo-Fr]", "1=B,05:10"}));

    // A missing file has no sections and is created only by saving
    TTimetableFile missing(TimetablePath(dir.Path(), "2"));
    EXPECT_FALSE(missing.Exists());
    EXPECT_TRUE(missing.ReadRows("1_A").empty());
    missing.WriteRows("2_A", {"C,,07:00", "B"});
    missing.Save();
    EXPECT_EQ(dir.Read("line_2.ttd"), CrLf({"[2_A]", "1=C,,07:00", "2=B"}));
}

TEST(TimetableFile, ARowBelongsToTheStationBeforeItsFirstComma) {
    EXPECT_EQ(RowStation("Berg,05:00,"), "Berg");
    EXPECT_EQ(RowStation("Berg"), "Berg");
    EXPECT_EQ(RowStation(",05:00"), "");
    EXPECT_TRUE(RowNamesStation("Berg,05:00", "Berg"));
    EXPECT_FALSE(RowNamesStation("Bergheim,05:00", "Berg"));
    EXPECT_FALSE(RowNamesStation("Berg,05:00", "Bergheim"));
    EXPECT_FALSE(RowNamesStation("berg,05:00", "Berg")) << "letter case counts";
    EXPECT_TRUE(IsReverseSection("2_Mo-Fr"));
    EXPECT_FALSE(IsReverseSection("1_2"));
    EXPECT_EQ(TimetableFileName("Linie 5"), "line_Linie 5.ttd");
}
