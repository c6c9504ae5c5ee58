#include "core/model/ini_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace takton;
using takton::testing::TempDir;

TEST(IniFile, ReadsNamesAndValuesAsTheProjectFilesWriteThem) {
    const TIniFile ini = TIniFile::FromText("vorne=ohne Abschnitt\r\n"
                                            "[ General ]\r"
                                            "  LastSave =  '09.12.2026 10:00:00'  \n"
                                            ";kommentar=nicht\r\n"
                                            "ohne gleich\r\n"
                                            "quoted=\"a\"b\"\r\n"
                                            "mixed=\"abc'\r\n"
                                            "eq=a=b\r\n"
                                            "lastsave=zweiter\r\n"
                                            "[general]\r\n"
                                            "other=aus zweitem Abschnitt\r\n"
                                            "[leer]\r\n");
    EXPECT_EQ(ini.ReadString("GENERAL", "lastsave", "-"), "09.12.2026 10:00:00");
    EXPECT_EQ(ini.ReadString("general", "quoted", "-"), "a\"b") << "one enclosing pair goes";
    EXPECT_EQ(ini.ReadString("general", "mixed", "-"), "\"abc'");
    EXPECT_EQ(ini.ReadString("general", "eq", "-"), "a=b");
    EXPECT_EQ(ini.ReadString("general", ";kommentar", "-"), "-");
    EXPECT_EQ(ini.ReadString("general", "ohne gleich", "-"), "-");
    EXPECT_EQ(ini.ReadString("general", "other", "-"), "-") << "only the first section counts";
    EXPECT_EQ(ini.ReadString("", "vorne", "-"), "-");
    EXPECT_EQ(ini.ReadString("fehlt", "x", "def"), "def");

    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"General", "leer"}));
    EXPECT_EQ(ini.ReadSectionKeys("general"),
              (std::vector<std::string>{"LastSave", "quoted", "mixed", "eq"}));
    EXPECT_TRUE(ini.SectionHasKeys("general"));
    EXPECT_FALSE(ini.SectionHasKeys("leer"));
    EXPECT_FALSE(ini.SectionHasKeys("fehlt"));
}

TEST(IniFile, ReadsIntegersDecimalAndHexOnly) {
    EXPECT_EQ(ParseIniInteger("90", 720), 90);
    EXPECT_EQ(ParseIniInteger("0x5A", 720), 90);
    EXPECT_EQ(ParseIniInteger("0X5a", 720), 90);
    EXPECT_EQ(ParseIniInteger("$5A", 720), 90);
    EXPECT_EQ(ParseIniInteger("-45", 720), -45);
    EXPECT_EQ(ParseIniInteger("+7", 720), 7);
    EXPECT_EQ(ParseIniInteger("-$10", 720), -16);
    EXPECT_EQ(ParseIniInteger("-2147483648", 720), -2147483648L);
    for (const char *bad : {"abc", "", "12a", "0x", "$", "1 2", "2147483648", "--1", "1.5"})
        EXPECT_EQ(ParseIniInteger(bad, 720), 720) << bad;
    const TIniFile ini = TIniFile::FromText("[t]\r\nm= 0x5A \r\n");
    EXPECT_EQ(ini.ReadInteger("T", "M", 720), 90);
    EXPECT_EQ(ini.ReadInteger("t", "n", 720), 720);
}

TEST(IniFile, WritesInPlaceAtSectionEndAndAppendsNewSections) {
    TIniFile ini = TIniFile::FromText("; Kopf\r\n[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n");
    ini.WriteString("A", "X", "neu");   // replaced where it stands
    ini.WriteString("a", "z", " roh "); // new key before the blank line ending [a]
    ini.WriteInteger("c", "n", -3);     // new section at the end, no blank line
    ini.WriteString("b", "y", "");
    EXPECT_EQ(ini.Text(), "; Kopf\r\n[a]\r\nX=neu\r\nz= roh \r\n\r\n[b]\r\ny=\r\n[c]\r\nn=-3\r\n");
    EXPECT_EQ(ini.ReadString("a", "z", "-"), "roh");

    ini.EraseSection("A");
    EXPECT_EQ(ini.Text(), "; Kopf\r\n[b]\r\ny=\r\n[c]\r\nn=-3\r\n");
    ini.EraseSection("fehlt");
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"b", "c"}));
}

TEST(IniFile, KeepsLongValuesWholeAndWritesTheFileOnce) {
    TempDir dir;
    const std::string path = dir.File("line_1.ttd");
    TIniFile ini(path);
    EXPECT_FALSE(ini.FileExisted());
    std::string row = "Hauptbahnhof";
    for (int i = 0; i < 512; ++i)
        row += ",08:00";
    ini.WriteString("1_Mo-Fr", "1", row);
    EXPECT_FALSE(dir.Read("line_1.ttd").has_value()) << "nothing written before UpdateFile";
    ini.UpdateFile();

    const TIniFile again(path);
    EXPECT_TRUE(again.FileExisted());
    EXPECT_EQ(again.ReadString("1_mo-fr", "1", ""), row);
    EXPECT_EQ(dir.Read("line_1.ttd"), "[1_Mo-Fr]\r\n1=" + row + "\r\n");
}

TEST(IniFile, ReplacingANumberedSectionGivesTheTextOfSingleWrites) {
    const std::vector<std::string> texts = {
        "[a]\r\n1=x\r\n2=y\r\n\r\n[b]\r\n1=z\r\n",
        "; Kopf\r\n[b]\r\n1=z\r\n[a]\r\n1=x\r\n",
        "[A ]\r\n1=x\r\n3=w\r\n[b]\r\n1=z\r\n[a]\r\n1=doppelt\r\n5=rest\r\n",
        "[b]\r\n1=z\r\n",
        "",
    };
    const std::vector<std::vector<std::string>> rowSets = {
        {}, {"eins"}, {"eins", "zwei", "drei", "vier", "fünf", "sechs"}};
    for (const auto &text : texts)
        for (const auto &rows : rowSets) {
            TIniFile single = TIniFile::FromText(text);
            single.EraseSection("a");
            for (std::size_t i = 0; i < rows.size(); ++i)
                single.WriteString("a", std::to_string(i + 1), rows[i]);
            TIniFile whole = TIniFile::FromText(text);
            whole.ReplaceWithNumberedSection("a", rows);
            EXPECT_EQ(whole.Text(), single.Text()) << text << " / " << rows.size();
        }
}
