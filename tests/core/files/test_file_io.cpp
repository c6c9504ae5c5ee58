#include "core/files/file_io.h"
#include "core/util/error.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace takton;
using takton::testing::TempDir;

namespace {
int FilesIn(const std::string &dir) {
    int n = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator(dir))
        ++n;
    return n;
}
} // namespace

TEST(FileIo, WritesWholeAndReadsBack) {
    TempDir dir;
    EXPECT_FALSE(ReadWholeFile(dir.File("missing.csv")).has_value());

    WriteWholeFile(dir.File("a.csv"), std::string("eins\r\n\0zwei\r\n", 13));
    EXPECT_EQ(ReadWholeFile(dir.File("a.csv")), std::string("eins\r\n\0zwei\r\n", 13));
    WriteWholeFile(dir.File("a.csv"), "");
    EXPECT_EQ(ReadWholeFile(dir.File("a.csv")), "");
    EXPECT_EQ(FilesIn(dir.Path()), 1) << "no temporary file is left behind";
}

TEST(FileIo, AFailedWriteLeavesTheOldFileWhole) {
    TempDir dir;
    const std::string target = dir.File("stations.csv");
    WriteWholeFile(target, "Alt\r\n");
    ::chmod(target.c_str(), 0444);

    try {
        WriteWholeFile(target, "Neu\r\n");
        FAIL() << "a read-only file was overwritten";
    } catch (const TaktonError &e) {
        EXPECT_EQ(std::string(e.what()), "In " + target + " kann nicht geschrieben werden");
    }
    EXPECT_EQ(dir.Read("stations.csv"), "Alt\r\n");
    EXPECT_EQ(FilesIn(dir.Path()), 1);

    const std::string inMissingFolder = dir.File("fehlt/lines.csv");
    EXPECT_THROW(WriteWholeFile(inMissingFolder, "x"), TaktonError);
}

TEST(FileIo, KeepsThePermissionsOfAReplacedFile) {
    TempDir dir;
    const std::string target = dir.File("p.zpr");
    WriteWholeFile(target, "1");
    ::chmod(target.c_str(), 0640);
    WriteWholeFile(target, "2");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(FileIo, RenameNeverReplacesAnExistingFile) {
    TempDir dir;
    dir.Write("line_A.ttd", "a");
    dir.Write("line_B.ttd", "b");
    EXPECT_FALSE(RenameFileNoReplace(dir.File("line_A.ttd"), dir.File("line_B.ttd")));
    EXPECT_EQ(dir.Read("line_B.ttd"), "b");
    EXPECT_TRUE(RenameFileNoReplace(dir.File("line_A.ttd"), dir.File("line_C.ttd")));
    EXPECT_EQ(dir.Read("line_C.ttd"), "a");
    EXPECT_FALSE(RenameFileNoReplace(dir.File("line_A.ttd"), dir.File("line_D.ttd")));
    EXPECT_EQ(ProjectPath(dir.Path(), "line_S\xFC"
                                      "d.ttd"),
              dir.Path() + "/line_Süd.ttd");
}
