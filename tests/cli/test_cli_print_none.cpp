// A build without the GUI libraries cannot paint: the print commands say so.

#include "cli/cli_runner.h"

#include <gtest/gtest.h>

using namespace takton::testing;

TEST(CliPrintNone, PrintCommandsSayThisBuildCannotPrint) {
    for (const auto &args : std::vector<std::vector<std::string>>{
             {"pdf", "timetable", TAKTON_DEMO_DIR, "1", "1", "Mo-Fr", "/tmp/x.pdf"},
             {"pdf", "station", TAKTON_DEMO_DIR, "Rathaus", "/tmp/x.pdf"},
             {"graph", TAKTON_DEMO_DIR, "1", "Mo-Fr", "/tmp/x.svg"}}) {
        const CliResult result = RunCli(args);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, "Dieses Programm wurde ohne Qt gebaut und kann keine PDF-Dateien "
                              "und Bildfahrpläne schreiben.\n");
    }
}
