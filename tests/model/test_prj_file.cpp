#include "model/ini_file.h"
#include "model/prj_load.h"
#include "model/prj_params.h"
#include "model/prj_save.h"
#include "support/temp_dir.h"
#include "version.h"

#include <gtest/gtest.h>
#include <regex>

using namespace takton;
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
    void SetUp() override {
        PrjParams = TPrjParams{};
        SetProjectLoadObserver(&observer);
    }
    void TearDown() override { SetProjectLoadObserver(nullptr); }

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
    SaveProjectFile(dir.File("p.zpr"));
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
    LoadProjectFile(dir.File("p.zpr"));
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
    SaveProjectFile(dir.File("p.zpr"));
    const TIniFile ini(dir.File("p.zpr"));
    EXPECT_EQ(ini.ReadString("general", "fremd", ""), "bleibt");
    EXPECT_EQ(ini.ReadString("daygroups", "Alt_days", ""), "monday");
    EXPECT_EQ(ini.ReadString("daygroups", "daygroupnames", ""), "Leer");
    EXPECT_TRUE(ini.ValueExists("daygroups", "Leer_days"));
    EXPECT_EQ(ini.ReadString("daygroups", "Leer_days", "-"), "");
    EXPECT_EQ(ini.ReadSections().front(), "general") << "existing sections keep their place";

    // A group without days is gone after the next load, the file's own group
    // not being named any more
    LoadProjectFile(dir.File("p.zpr"));
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
    LoadProjectFile(dir.File("p.zpr"));
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
    LoadProjectFile(dir.File("p.zpr"));
    EXPECT_EQ(GroupNames(), (std::vector<std::string>{"Sa"}));
    EXPECT_EQ(PrjParams.LastSave, "gestern");
    EXPECT_EQ(PrjParams.MaxDriveMinutes, 720);
    EXPECT_EQ(observer.dayGroupCalls, 0) << "the options window is not told";
    EXPECT_EQ(observer.minutes, "720");

    // A missing file: defaults, the current time as last save
    LoadProjectFile(dir.File("fehlt.zpr"));
    EXPECT_EQ(GroupNames(), (std::vector<std::string>{"Sa"}));
    EXPECT_TRUE(std::regex_match(PrjParams.LastSave,
                                 std::regex("\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d")))
        << PrjParams.LastSave;
}

TEST_F(ProjectFileTest, AFailedSaveLeavesTheOldFile) {
    dir.Write("p.zpr", "[general]\r\nlastsave=alt\r\n");
    ::chmod(dir.File("p.zpr").c_str(), 0444);
    EXPECT_THROW(SaveProjectFile(dir.File("p.zpr")), std::exception);
    EXPECT_EQ(dir.Read("p.zpr"), "[general]\r\nlastsave=alt\r\n");
}
