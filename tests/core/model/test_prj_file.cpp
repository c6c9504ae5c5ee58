#include "core/model/ini_file.h"
#include "core/model/prj_load.h"
#include "core/model/prj_params.h"
#include "core/model/prj_save.h"
#include "support/temp_dir.h"
#include "version.h"

#include <gtest/gtest.h>
#include <regex>

using namespace takton;

namespace {
// The parameters a case loads and saves (each case runs in a process of its own).
takton::TPrjParams PrjParams;
} // namespace
using takton::testing::TempDir;

namespace {

class RecordingObserver : public IProjectLoadObserver {
  public:
    void DayGroupsLoaded() override { ++dayGroupCalls; }
    void MaxDriveMinutesLoaded(const std::string &text) override { minutes = text; }
    int dayGroupCalls = 0;
    std::string minutes;
};

class ProjectFileTest : public ::testing::Test {
  protected:
    void SetUp() override { PrjParams = TPrjParams{}; }

    std::vector<std::string> GroupNames() const {
        std::vector<std::string> names;
        for (const auto &g : PrjParams.DayGroups)
            names.push_back(g.Name);
        return names;
    }

    TempDir dir;
    RecordingObserver observer;
};

TDayGroupItem Group(std::string name, std::string text, std::initializer_list<int> days) {
    TDayGroupItem g{std::move(name), std::move(text), 0};
    for (int d : days)
        g.Days = WithDay(g.Days, d);
    return g;
}

} // namespace

TEST_F(ProjectFileTest, StartsWith720MinutesAndNoGroups) {
    const TPrjParams fresh;
    EXPECT_EQ(fresh.MaxDriveMinutes, 720);
    EXPECT_TRUE(fresh.DayGroups.empty());
    EXPECT_TRUE(fresh.LastSave.empty());
    EXPECT_EQ(IndexOfText(WeekDayKeys, "sunday"), 6);
    EXPECT_EQ(IndexOfText(WeekDayKeys, "Sunday"), -1);
    EXPECT_EQ(IndexOfText(WeekDayKeys, "Monday"), -1);
}

TEST_F(ProjectFileTest, SavesTheProjectFileByteExact) {
    // GIVEN Mo-Fr and So, 45 minutes
    PrjParams.DayGroups = {Group("Mo-Fr", "Montag bis Freitag", {4, 0, 1, 2, 3}),
                           Group("So", "Sonntag", {6})};
    PrjParams.MaxDriveMinutes = 45;
    // WHEN saved into a new file
    SaveProjectFile(dir.File("p.zpr"), PrjParams);
    // THEN sections and keys stand in order, CR LF, the time in German format
    const std::string text = *dir.Read("p.zpr");
    const std::regex expected(
        std::string("\\[application\\]\r\nname=ZAL Editor\r\nedition=Standard\r\n"
                    "version=") +
        kProgVersion +
        "\r\ntype=full\r\n\\[general\\]\r\n"
        "lastsave=\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d\r\n"
        "\\[daygroups\\]\r\ndaygroupnames=Mo-Fr,So\r\n"
        "Mo-Fr_text=Montag bis Freitag\r\n"
        "Mo-Fr_days=monday,tuesday,wednesday,thursday,friday\r\n"
        "So_text=Sonntag\r\nSo_days=sunday\r\n"
        "\\[timetable\\]\r\nmax_drive_minutes=45\r\n");
    EXPECT_TRUE(std::regex_match(text, expected)) << text;

    // AND loading it back gives the same groups and minutes
    PrjParams = TPrjParams{};
    LoadProjectFile(dir.File("p.zpr"), PrjParams, &observer);
    EXPECT_EQ(GroupNames(), (std::vector<std::string>{"Mo-Fr", "So"}));
    EXPECT_EQ(PrjParams.DayGroups[0].Text, "Montag bis Freitag");
    EXPECT_EQ(PrjParams.DayGroups[0].Days, 0x1F);
    EXPECT_EQ(PrjParams.DayGroups[1].Days, 0x40);
    EXPECT_EQ(PrjParams.MaxDriveMinutes, 45);
    EXPECT_EQ(observer.dayGroupCalls, 1);
    EXPECT_EQ(observer.minutes, "45");
}

TEST_F(ProjectFileTest, SaveKeepsForeignKeysAndRewritesOwnOnes) {
    dir.Write("p.zpr", "[general]\r\nlastsave=alt\r\nfremd=bleibt\r\n[daygroups]\r\n"
                       "daygroupnames=Alt\r\nAlt_text=x\r\nAlt_days=monday\r\n");
    PrjParams.DayGroups = {Group("Leer", "ohne Tage", {})};
    SaveProjectFile(dir.File("p.zpr"), PrjParams);
    const TIniFile ini(dir.File("p.zpr"));
    EXPECT_EQ(ini.ReadString("general", "fremd", ""), "bleibt");
    EXPECT_EQ(ini.ReadString("daygroups", "Alt_days", ""), "monday");
    EXPECT_EQ(ini.ReadString("daygroups", "daygroupnames", ""), "Leer");
    EXPECT_TRUE(ini.ValueExists("daygroups", "Leer_days"));
    EXPECT_EQ(ini.ReadString("daygroups", "Leer_days", "-"), "");
    EXPECT_EQ(ini.ReadSections().front(), "general") << "existing sections keep their place";

    // A group without days is gone after the next load, the file's own group
    // not being named any more
    LoadProjectFile(dir.File("p.zpr"), PrjParams, &observer);
    EXPECT_TRUE(PrjParams.DayGroups.empty());
}

TEST_F(ProjectFileTest, LoadsDayGroupsByTheListRule) {
    dir.Write("p.zpr", "[daygroups]\r\n"
                       "daygroupnames=A,,B,'C,D',E,F\r\n"
                       "A_days=monday,Funday\r\n"
                       "B_text=Beh\r\nB_days=Funday\r\n"
                       "'C,D'_days=sunday\r\n"
                       "E_days=,,\r\n"
                       "F_days=\"friday\",saturday, sunday\r\n"
                       "[timetable]\r\nmax_drive_minutes=0x5A\r\n");
    LoadProjectFile(dir.File("p.zpr"), PrjParams, &observer);
    EXPECT_EQ(GroupNames(), (std::vector<std::string>{"A", "B", "'C,D'", "F"}));
    EXPECT_EQ(PrjParams.DayGroups[0].Text, "A") << "no _text key: the name";
    EXPECT_EQ(PrjParams.DayGroups[0].Days, 0x01) << "unknown keys are ignored";
    EXPECT_EQ(PrjParams.DayGroups[1].Text, "Beh");
    EXPECT_EQ(PrjParams.DayGroups[1].Days, 0) << "a piece was there, so the group stays";
    EXPECT_EQ(PrjParams.DayGroups[2].Days, 0x40) << "quotes keep the comma and stay in the name";
    EXPECT_EQ(PrjParams.DayGroups[3].Days, 0x20) << "quoted and blank-led keys are no keys";
    EXPECT_EQ(PrjParams.MaxDriveMinutes, 90);
}

TEST_F(ProjectFileTest, ALoadWithoutGroupsKeepsThePreviousOnes) {
    PrjParams.DayGroups = {Group("Sa", "Samstag", {5})};
    PrjParams.MaxDriveMinutes = 30;
    dir.Write("p.zpr", "[general]\r\nlastsave=gestern\r\n[timetable]\r\nmax_drive_minutes=abc\r\n");
    LoadProjectFile(dir.File("p.zpr"), PrjParams, &observer);
    EXPECT_EQ(GroupNames(), (std::vector<std::string>{"Sa"}));
    EXPECT_EQ(PrjParams.LastSave, "gestern");
    EXPECT_EQ(PrjParams.MaxDriveMinutes, 720);
    EXPECT_EQ(observer.dayGroupCalls, 0) << "the options window is not told";
    EXPECT_EQ(observer.minutes, "720");

    // A missing file: defaults, the current time as last save
    LoadProjectFile(dir.File("fehlt.zpr"), PrjParams, &observer);
    EXPECT_EQ(GroupNames(), (std::vector<std::string>{"Sa"}));
    EXPECT_TRUE(std::regex_match(PrjParams.LastSave,
                                 std::regex("\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d")))
        << PrjParams.LastSave;
}

TEST_F(ProjectFileTest, AFailedSaveLeavesTheOldFile) {
    dir.Write("p.zpr", "[general]\r\nlastsave=alt\r\n");
    ::chmod(dir.File("p.zpr").c_str(), 0444);
    EXPECT_THROW(SaveProjectFile(dir.File("p.zpr"), PrjParams), std::exception);
    EXPECT_EQ(dir.Read("p.zpr"), "[general]\r\nlastsave=alt\r\n");
}

TEST_F(ProjectFileTest, StationFieldsLiveInKeysOfTheirOwnOnlyOnceChanged) {
    // GIVEN a project file written before station fields existed
    const std::string old = "[application]\r\nname=ZAL Editor\r\nedition=Standard\r\nversion=" +
                            std::string(kProgVersion) +
                            "\r\ntype=full\r\n[general]\r\nlastsave=gestern\r\nfremd=1\r\n"
                            "[daygroups]\r\ndaygroupnames=Sa\r\nSa_text=Samstag\r\n"
                            "Sa_days=saturday\r\n[timetable]\r\nmax_drive_minutes=30\r\n"
                            "[eigenes]\r\nx=y\r\n";
    dir.Write("p.zpr", old);
    PrjParams.StationFields = {false, true, true};
    // WHEN it is opened and saved
    LoadProjectFile(dir.File("p.zpr"), PrjParams, &observer);
    EXPECT_EQ(PrjParams.StationFields, TStationFields{})
        << "the defaults, not the previous project's";
    EXPECT_TRUE(PrjParams.StationFields.GeoPosition);
    SaveProjectFile(dir.File("p.zpr"), PrjParams);
    // THEN only the time of the save differs
    std::string saved = *dir.Read("p.zpr");
    saved = std::regex_replace(saved, std::regex("lastsave=[^\r]*"), "lastsave=gestern");
    EXPECT_EQ(saved, old);

    // WHEN fields are switched THEN their keys appear in a section of their own
    PrjParams.StationFields = {false, true, false};
    SaveProjectFile(dir.File("p.zpr"), PrjParams);
    const TIniFile ini(dir.File("p.zpr"));
    EXPECT_EQ(ini.ReadSections().back(), "stationdata");
    EXPECT_EQ(ini.ReadString("stationdata", "geoposition", "-"), "0");
    EXPECT_EQ(ini.ReadString("stationdata", "tarifzone", "-"), "1");
    EXPECT_FALSE(ini.ValueExists("stationdata", "tarifring"));
    EXPECT_EQ(ini.ReadString("eigenes", "x", ""), "y");
    PrjParams.StationFields = {};
    LoadProjectFile(dir.File("p.zpr"), PrjParams, &observer);
    EXPECT_EQ(PrjParams.StationFields, (TStationFields{false, true, false}));

    // AND switched back, the keys stay and say so
    PrjParams.StationFields = {};
    SaveProjectFile(dir.File("p.zpr"), PrjParams);
    LoadProjectFile(dir.File("p.zpr"), PrjParams, &observer);
    EXPECT_EQ(PrjParams.StationFields, TStationFields{});
    EXPECT_EQ(TIniFile(dir.File("p.zpr")).ReadString("stationdata", "geoposition", "-"), "1");
}
