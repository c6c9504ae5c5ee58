#include "cli/cli_runner.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace takton::testing;

TEST(CliHtmlTable, PrintsTheTimetableOfAnOperatorPageAsCsv) {
    const std::string page = std::string(TAKTON_TEST_DATA) + "/html/linie5_richtung_friedhof.html";
    const CliResult result =
        RunCli({"html-table", page, "Hauptbahnhof", "Goethestraße", "Friedhof"});
    EXPECT_EQ(result.status, 0) << result.err;
    // Cells as the web copy window lays them out: references decoded, blanks
    // at either end trimmed, a line break inside kept.
    EXPECT_EQ(result.out, "Haltestelle,Fahrt 1,Fahrt 2,\"Fahrt 3\n(Schule)\"\r\n"
                          "Hauptbahnhof,06:12,07:12,08:12\r\n"
                          "Rathaus,06:15,07:15,\r\n"
                          "Goethestraße,06:17,07:17,08:16\r\n"
                          "\"Am Markt, Steig 2\",06:19,07:19,08:18\r\n"
                          "Schulzentrum,06:22a,|,08:21\r\n"
                          "Friedhof,,07:25,08:24\r\n");
}

TEST(CliHtmlTable, ReadsUtf8OrCp1252AndPadsShortRows) {
    TempDir dir;
    // UTF-8: what cp1252 cannot hold becomes "?", as in the browser copy.
    dir.Write("utf8.html", "<table><tr><td>x</td></tr></table>"
                           "<table><tr><td>Nord → Süd</td><td>x</td></tr><tr><td>Süd</td></tr>"
                           "</table>");
    CliResult result = RunCli({"html-table", dir.File("utf8.html"), "Süd"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "Nord ? Süd,x\r\nSüd,\r\n");

    // cp1252: the same station is found only when the page is read as cp1252;
    // double quotes in a cell are doubled in the CSV.
    dir.Write("ansi.html", "<table><tr><td>Stra\xDF"
                           "e</td><td>sagt \"\"Halt\"\"</td></tr></table>");
    result = RunCli({"html-table", "--encoding", "cp1252", dir.File("ansi.html"), "Straße"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "Straße,\"sagt \"\"\"\"Halt\"\"\"\"\"\r\n");

    result = RunCli({"html-table", dir.File("ansi.html"), "Straße"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "Keine passende Tabelle gefunden\n");
    EXPECT_EQ(result.out, "");

    // The header row's "Stationen" takes part in the choice.
    dir.Write("header.html", "<table><tr><th>Stationen</th></tr></table>");
    result = RunCli({"html-table", dir.File("header.html"), "Nirgendwo"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "Stationen\r\n");
}

TEST(CliHtmlTable, ListsTheTablesAndTakesOneByNumber) {
    TempDir dir;
    // A frozen stop column before the table of times that repeats the names,
    // and a fare table without stations.
    dir.Write("linie7.html",
              "<table><tr><td>&nbsp;</td></tr></table>"
              "<table class=\"stops\"><tr><td>Nord</td></tr><tr><td>Markt</td></tr></table>"
              "<table class=\"times\"><tr><td>Nord</td><td>6.25pm</td><td>7:25 pm</td></tr>"
              "<tr><td>Markt</td><td>6.27pm</td><td>&nbsp;</td></tr></table>"
              "<table></table><table><tr><td>Preis</td><td>2,10</td></tr></table>");
    CliResult result = RunCli({"html-table", "--list", dir.File("linie7.html"), "Nord", "Markt"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "Tabelle 1: 1 Zeile, 1 Spalte, 0 Stationen, 0 Zeiten\n"
                          "Tabelle 2: 2 Zeilen, 1 Spalte, 2 Stationen, 0 Zeiten\n"
                          "Tabelle 3: 2 Zeilen, 3 Spalten, 2 Stationen, 3 Zeiten\n"
                          "Tabelle 5: 1 Zeile, 2 Spalten, 0 Stationen, 0 Zeiten\n");

    // The tie goes to the times.
    result = RunCli({"html-table", dir.File("linie7.html"), "Nord", "Markt"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "Nord,6.25pm,7:25 pm\r\nMarkt,6.27pm,\r\n");

    // Any table with cells by its number, stations or not.
    result = RunCli({"html-table", "--table", "5", dir.File("linie7.html")});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "Preis,\"2,10\"\r\n");
    result = RunCli({"html-table", dir.File("linie7.html"), "--table", "2", "Nord"});
    EXPECT_EQ(result.out, "Nord\r\nMarkt\r\n");

    result = RunCli({"html-table", "--table", "4", dir.File("linie7.html")});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "Keine Tabelle 4 mit Zellen auf der Seite\n");
    EXPECT_EQ(RunCli({"html-table", "--table", "9", dir.File("linie7.html")}).status, 1);
    for (const char *bad : {"0", "-1", "zwei", "2x", ""})
        EXPECT_EQ(RunCli({"html-table", "--table", bad, dir.File("linie7.html")}).status, 2) << bad;

    dir.Write("leer.html", "<table></table><p>x</p>");
    result = RunCli({"html-table", "--list", dir.File("leer.html")});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "Keine Tabelle mit Zellen gefunden\n");
}

TEST(CliHtmlTable, RefusesMissingPagesAndBadUsage) {
    TempDir dir;
    dir.Write("leer.html", "<p>keine Tabelle</p>");
    CliResult result = RunCli({"html-table", dir.File("leer.html"), "Markt"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "Keine passende Tabelle gefunden\n");

    result = RunCli({"html-table", dir.File("fehlt.html"), "Markt"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("fehlt.html"), std::string::npos) << result.err;

    EXPECT_EQ(RunCli({"html-table", dir.File("leer.html")}).status, 2);
    EXPECT_EQ(RunCli({"html-table", "--encoding", "latin9", dir.File("leer.html"), "M"}).status, 2);
    EXPECT_EQ(RunCli({"html-table", dir.File("leer.html"), "M", "--encoding"}).status, 2);
}
