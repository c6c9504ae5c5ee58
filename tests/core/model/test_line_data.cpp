#include "core/files/file_io.h"
#include "core/model/line_data.h"
#include "core/model/prj_load.h"
#include "core/model/prj_params.h"
#include "core/model/prj_save.h"
#include "master_data_fixture.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {
// The parameters a case loads and saves (each case runs in a process of its own).
takton::TPrjParams PrjParams;
} // namespace

namespace takton {
namespace {

TEST(LineData, RouteTypesOfLinesKeepTheirFileAndNoFileAppearsWithoutThem) {
    testing::TempDir dir;
    const std::string path = ProjectPath(dir.Path(), kLineDataFile);
    StoreLineRouteType(dir.Path(), "1", std::nullopt);
    EXPECT_FALSE(FileExists(path));

    StoreLineRouteType(dir.Path(), "1", 0);
    StoreLineRouteType(dir.Path(), "S1", 2);
    StoreLineRouteType(dir.Path(), "s1", 109); // the same line, another spelling
    EXPECT_EQ(*dir.Read(std::string(kLineDataFile)), testing::CrLf({"1=0", "S1=109"}));
    const TLineRouteTypes list = LoadLineRouteTypes(dir.Path());
    EXPECT_EQ(FindLineRouteType(list, "S1"), 109);
    EXPECT_EQ(FindLineRouteType(list, "5"), std::nullopt);

    StoreLineRouteType(dir.Path(), "1", std::nullopt);
    EXPECT_EQ(*dir.Read(std::string(kLineDataFile)), testing::CrLf({"S1=109"}));
    EXPECT_EQ(RouteTypeName(3), "Bus");
    EXPECT_EQ(RouteTypeName(109), "109");
}

TEST(LineData, PublishingOptionsAreWrittenOnlyOnceTheyDifferFromTheirDefaults) {
    testing::TempDir dir;
    const std::string project = dir.File("netz.zpr");
    dir.Write("netz.zpr",
              testing::CrLf({"[daygroups]", "daygroupnames=Mo-Fr", "Mo-Fr_text=Werktage",
                             "Mo-Fr_days=monday", "[timetable]", "max_drive_minutes=30"}));
    // GIVEN a project without publishing keys
    LoadProjectFile(project, PrjParams);
    EXPECT_EQ(PrjParams.Publishing, TPublishing{});
    // WHEN it is saved unchanged THEN no publishing section appears
    SaveProjectFile(project, PrjParams);
    EXPECT_EQ(dir.Read("netz.zpr")->find("[publishing]"), std::string::npos);

    // WHEN the planner sets an agency and a period THEN they come back
    PrjParams.Publishing.AgencyName = "Verkehrsbetriebe M\xFChlstadt";
    PrjParams.Publishing.FirstDate = "20270101";
    PrjParams.Publishing.RouteType = 0;
    SaveProjectFile(project, PrjParams);
    PrjParams = TPrjParams{};
    LoadProjectFile(project, PrjParams);
    EXPECT_EQ(PrjParams.Publishing.AgencyName, "Verkehrsbetriebe M\xFChlstadt");
    EXPECT_EQ(PrjParams.Publishing.FirstDate, "20270101");
    EXPECT_EQ(PrjParams.Publishing.RouteType, 0);
    EXPECT_EQ(PrjParams.Publishing.Timezone, "Europe/Berlin");
    EXPECT_EQ(dir.Read("netz.zpr")->find("timezone="), std::string::npos);
}

} // namespace
} // namespace takton
