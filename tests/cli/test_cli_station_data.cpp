#include "cli/cli_runner.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace takton::testing;

TEST(CliStationData, SetShowAndImportStationData) {
    TempDir dir;
    const std::string p = dir.Path();
    dir.Write("stations.csv", CrLf({"Berg", "Bergheim", "M\xFCnster"}));

    // A decimal comma is taken, a point stored; parts not given are kept
    EXPECT_EQ(RunCli({"station", "set", p, "Berg", "--lat", "50,12", "--lon", "-8.5"}).status, 0);
    EXPECT_EQ(RunCli({"station", "set", p, "berg", "--zone", "A", "--ring", "1"}).status, 0);
    EXPECT_EQ(dir.Read("station_data.csv"), CrLf({"Berg=50.12,-8.5,A,1"}));
    EXPECT_EQ(RunCli({"station", "show", p, "Berg"}).out,
              "lat: 50.12\nlon: -8.5\nzone: A\nring: 1\n");
    EXPECT_EQ(RunCli({"station", "show", p, "Bergheim"}).out, "lat: \nlon: \nzone: \nring: \n");

    // Refusals: out of range, half a position, unknown station, nothing to set
    const CliResult range = RunCli({"station", "set", p, "Berg", "--lat", "91", "--lon", "8"});
    EXPECT_EQ(range.status, 1);
    EXPECT_EQ(range.err, "Die Breite muss eine Zahl von -90 bis 90 Grad sein, z. B. 52,5200.\n");
    EXPECT_EQ(RunCli({"station", "set", p, "Berg", "--lat", "50"}).status, 2);
    EXPECT_EQ(RunCli({"station", "set", p, "Berg"}).status, 2);
    EXPECT_EQ(RunCli({"station", "set", p, "Tal", "--zone", "B"}).status, 1);
    EXPECT_EQ(RunCli({"station", "set", p, "Berg", "--zone", "B,C"}).status, 1);
    EXPECT_EQ(dir.Read("station_data.csv"), CrLf({"Berg=50.12,-8.5,A,1"}));

    // Import: matched names stored, the others listed
    dir.Write("stops.csv", "Name;Breite;L\xE4nge;Tarifzone\r\nM\xFCnster;51,96;7,63;C\r\n"
                           "Bergdorf;1;2;\r\nBergheim;50;9;X=1\r\n");
    const CliResult imported = RunCli({"station", "import-data", p, dir.File("stops.csv")});
    EXPECT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.out, "Übernommen: 1 Station\nNicht gefunden: Bergdorf\n"
                            "Nicht übernommen: Zeile 4 (Bergheim): Die Tarifzone darf kein "
                            "\",\" und kein \"=\" enthalten.\n");
    EXPECT_EQ(dir.Read("station_data.csv"),
              CrLf({"Berg=50.12,-8.5,A,1", "M\xFCnster=51.96,7.63,C,"}));
    dir.Write("bad.csv", "a;b;c\r\n");
    EXPECT_EQ(RunCli({"station", "import-data", p, dir.File("bad.csv")}).status, 1);
    EXPECT_EQ(RunCli({"station", "import-data", p, dir.File("fehlt.csv")}).status, 1);

    // Rename and delete carry the entry along
    EXPECT_EQ(RunCli({"station", "rename", p, "M\xC3\xBCnster", "Münster Hbf"}).status, 0);
    EXPECT_EQ(RunCli({"station", "delete", p, "Berg"}).status, 0);
    EXPECT_EQ(dir.Read("station_data.csv"), CrLf({"M\xFCnster Hbf=51.96,7.63,C,"}));
}

TEST(CliStationData, ProjectFieldsAndCheck) {
    TempDir dir;
    const std::string p = dir.Path();
    const std::string file = dir.File("netz.zpr");
    dir.Write("netz.zpr", "[timetable]\r\nmax_drive_minutes=30\r\n");
    dir.Write("stations.csv", CrLf({"Berg", "Tal"}));
    dir.Write("station_data.csv", CrLf({"Berg=50,8,,", "Weg=1,2,,"}));

    // Geo positions on by default: stations without them are noted, which
    // leaves the exit status to the disagreements
    CliResult checked = RunCli({"check", p});
    EXPECT_EQ(checked.status, 1);
    EXPECT_EQ(checked.out, "station_data.csv: Daten der unbekannten Station \"Weg\".\n"
                           "Hinweis: Die Station \"Tal\" hat keine Geo-Position.\n");
    dir.Write("station_data.csv", CrLf({"Berg=50,8,,"}));
    checked = RunCli({"check", p});
    EXPECT_EQ(checked.status, 0);
    EXPECT_EQ(checked.out, "Keine Unstimmigkeiten gefunden.\n"
                           "Hinweis: Die Station \"Tal\" hat keine Geo-Position.\n");

    // Fields switched by the command are shown and stored in the project file
    EXPECT_EQ(RunCli({"project", "set-station-fields", file, "zone", "ring"}).status, 0);
    EXPECT_NE(RunCli({"project", "show", file}).out.find("station_fields: zone ring\n"),
              std::string::npos);
    EXPECT_NE(dir.Read("netz.zpr")
                  ->find("[stationdata]\r\ngeoposition=0\r\ntarifzone=1\r\n"
                         "tarifring=1\r\n"),
              std::string::npos);
    EXPECT_EQ(RunCli({"check", p}).out, "Keine Unstimmigkeiten gefunden.\n");
    EXPECT_EQ(RunCli({"project", "set-station-fields", file, "karte"}).status, 2);
}
