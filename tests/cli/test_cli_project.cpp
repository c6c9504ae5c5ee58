#include "cli/cli_runner.h"
#include "support/temp_dir.h"
#include "version.h"

#include <gtest/gtest.h>

using namespace takton::testing;

TEST(CliProject, InitStartsFromTheDefaultProjectAndShowReadsIt) {
    TempDir dir;
    const std::string file = dir.File("Netz Süd.zpr");
    ASSERT_EQ(RunCli({"project", "init", file}).status, 0);

    const CliResult shown = RunCli({"project", "show", file});
    EXPECT_EQ(shown.status, 0) << shown.err;
    const std::string afterLastSave = shown.out.substr(shown.out.find('\n') + 1);
    EXPECT_EQ(shown.out.rfind("lastsave: ", 0), 0u);
    EXPECT_EQ(afterLastSave, "max_drive_minutes: 720\n"
                             "daygroup: Mo-Fr | Montag bis Freitag | "
                             "monday,tuesday,wednesday,thursday,friday\n"
                             "daygroup: Sa | Samstag | saturday\n"
                             "daygroup: So | Sonntag | sunday\n"
                             "station_fields: geo\n");
    EXPECT_NE(
        dir.Read("Netz Süd.zpr")->find(std::string("version=") + takton::kProgVersion + "\r\n"),
        std::string::npos);
}

TEST(CliProject, AddsDayGroupsWithTheOptionWindowsRules) {
    TempDir dir;
    const std::string file = dir.File("p.zpr");
    ASSERT_EQ(RunCli({"project", "init", file}).status, 0);

    // GIVEN days typed in any order WHEN added THEN written in index order
    CliResult added = RunCli({"project", "add-daygroup", file, "Mi-Fr", "Mittwoch bis Freitag",
                              "friday", "wednesday", "thursday"});
    EXPECT_EQ(added.status, 0) << added.err;
    const std::string text = *dir.Read("p.zpr");
    EXPECT_NE(text.find("daygroupnames=Mo-Fr,Sa,So,Mi-Fr\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Mi-Fr_days=wednesday,thursday,friday\r\n"), std::string::npos);

    const std::string before = text;
    const CliResult sameText =
        RunCli({"project", "add-daygroup", file, "Neu", "Samstag", "monday"});
    EXPECT_EQ(sameText.status, 1);
    EXPECT_NE(sameText.err.find("Samstag"), std::string::npos);
    EXPECT_EQ(RunCli({"project", "add-daygroup", file, "Sa", "Anders", "monday"}).status, 1);
    EXPECT_EQ(RunCli({"project", "add-daygroup", file, "X", "Y", "Monday"}).status, 1);
    EXPECT_EQ(RunCli({"project", "add-daygroup", file, "", "Y", "monday"}).status, 1);
    EXPECT_EQ(RunCli({"project", "add-daygroup", file, "X", "Y"}).status, 2);
    // A name the project file would split or misread is lost at the next load
    for (const char *bad : {"So,Fei", "A=B", "'Q'", " Rand", "x[1]"})
        EXPECT_EQ(RunCli({"project", "add-daygroup", file, bad, "Feiertag", "sunday"}).status, 1)
            << bad;
    EXPECT_EQ(*dir.Read("p.zpr"), before) << "refusals write nothing";

    // A name differing only in case would share the other group's keys
    const CliResult caseOnly =
        RunCli({"project", "add-daygroup", file, "sa", "samstags", "saturday"});
    EXPECT_EQ(caseOnly.status, 1);
    EXPECT_NE(caseOnly.err.find("Sa gibt es schon"), std::string::npos) << caseOnly.err;
    EXPECT_EQ(*dir.Read("p.zpr"), before);
}

TEST(CliProject, SetsDrivingMinutesAndRefusesBadInput) {
    TempDir dir;
    const std::string file = dir.File("p.zpr");
    ASSERT_EQ(RunCli({"project", "init", file}).status, 0);
    EXPECT_EQ(RunCli({"project", "set-max-drive-minutes", file, "45"}).status, 0);
    EXPECT_NE(RunCli({"project", "show", file}).out.find("max_drive_minutes: 45\n"),
              std::string::npos);
    for (const char *bad : {"-5", "abc", "", "99999999999"})
        EXPECT_EQ(RunCli({"project", "set-max-drive-minutes", file, bad}).status, 1) << bad;

    EXPECT_EQ(RunCli({"project", "show", dir.File("Łódź.zpr")}).status, 1)
        << "arguments cp1252 cannot hold are refused";
    EXPECT_EQ(RunCli({"projekt", "show"}).status, 2);
    EXPECT_EQ(RunCli({}).status, 2);

    // A project file that cannot be written: German message, status 1
    ::chmod(file.c_str(), 0444);
    const CliResult refused = RunCli({"project", "set-max-drive-minutes", file, "50"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "In " + file + " kann nicht geschrieben werden\n");
}

TEST(CliProject, RenamesAndDeletesDayGroupsAcrossTheTimetables) {
    TempDir dir;
    const std::string file = dir.File("p.zpr");
    ASSERT_EQ(RunCli({"project", "init", file}).status, 0);
    dir.Write("line_1.ttd",
              "[1_Sa]\r\n1=A,05:00\r\n[2_Sa]\r\n1=A,06:00\r\n[1_So]\r\n1=A,07:00\r\n");
    dir.Write("line_2.ttd", "[1_So]\r\n1=B,08:00\r\n");

    const CliResult renamed = RunCli({"project", "rename-daygroup", file, "Sa", "Samstag"});
    EXPECT_EQ(renamed.status, 0) << renamed.err;
    EXPECT_NE(dir.Read("p.zpr")->find("daygroupnames=Mo-Fr,Samstag,So\r\n"), std::string::npos);
    EXPECT_EQ(*dir.Read("line_1.ttd"),
              "[1_Samstag]\r\n1=A,05:00\r\n[2_Samstag]\r\n1=A,06:00\r\n[1_So]\r\n1=A,07:00\r\n");
    // Refused: an unknown group, another group's name in any case
    EXPECT_EQ(RunCli({"project", "rename-daygroup", file, "Xx", "Yy"}).status, 1);
    EXPECT_EQ(RunCli({"project", "rename-daygroup", file, "So", "samstag"}).status, 1);
    EXPECT_EQ(RunCli({"project", "rename-daygroup", file, "So"}).status, 2);

    const CliResult deleted = RunCli({"project", "delete-daygroup", file, "So"});
    EXPECT_EQ(deleted.status, 0) << deleted.err;
    EXPECT_NE(deleted.out.find("2"), std::string::npos) << deleted.out;
    EXPECT_NE(dir.Read("p.zpr")->find("daygroupnames=Mo-Fr,Samstag\r\n"), std::string::npos);
    EXPECT_EQ(*dir.Read("line_1.ttd"), "[1_Samstag]\r\n1=A,05:00\r\n[2_Samstag]\r\n1=A,06:00\r\n");
    EXPECT_EQ(*dir.Read("line_2.ttd"), "");
    EXPECT_EQ(RunCli({"project", "delete-daygroup", file, "So"}).status, 1);
}
