// takton-cli pdf and graph as a planner runs them: each document written for
// the demo project and the hand-made print project, read back with pdftotext
// and pdfinfo (poppler-utils); footnotes and night journeys marked and
// explained as a reader sees them.

#include "cli/cli_runner.h"
#include "support/print_project.h"
#include "support/temp_dir.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>

using namespace takton::testing;

namespace {

std::string Output(const std::string &command) {
    std::string text;
    if (FILE *pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            text.append(buffer, n);
        ::pclose(pipe);
    }
    return text;
}

std::string PdfText(const std::string &path) {
    return Output("pdftotext -layout '" + path + "' - 2>/dev/null");
}

int PdfPages(const std::string &path) {
    const std::string info = Output("pdfinfo '" + path + "' 2>/dev/null");
    std::smatch match;
    return std::regex_search(info, match, std::regex("Pages:\\s+(\\d+)")) ? std::stoi(match[1])
                                                                          : -1;
}

// Positions of the texts in order; fails the test when one is missing or out
// of order.
void ExpectInOrder(const std::string &text, const std::vector<std::string> &items) {
    std::size_t at = 0;
    for (const auto &item : items) {
        const auto found = text.find(item, at);
        ASSERT_NE(found, std::string::npos) << "\"" << item << "\" missing after " << at << "\n"
                                            << text;
        at = found + item.size();
    }
}

class CliPrint : public ::testing::Test {
  protected:
    void SetUp() override {
        WritePrintProject(
            [this](const char *name, const std::string &bytes) { dir.Write(name, bytes); });
    }
    CliResult Run(std::vector<std::string> args) {
        CliResult result = RunCli(args);
        EXPECT_EQ(result.status, 0) << result.err;
        return result;
    }
    TempDir dir;
};

} // namespace

TEST_F(CliPrint, TimetableTablesWithPairsIntervalsHeadersAndPages) {
    const std::string one = dir.File("10.pdf");
    Run({"pdf", "timetable", dir.Path(), "10", "1", "Mo-Fr", one});
    const std::string text = PdfText(one);
    // Header with line, direction, day group and validity; fonts embedded.
    ExpectInOrder(text, {"Linie 10 · Richtung 1: Nord → Süd", "Montag bis Freitag",
                         "gültig vom 01.01.2027 bis 31.12.2027"});
    ExpectInOrder(text, {"Nord", "06:00", "06:30", "08:00", "Mitte", "an", "06:10", "06:40",
                         "08:10", "ab", "06:12", "06:42", "08:12", "Süd", "06:20", "06:50", "08:20",
                         "Seite 1 von 1"});
    ExpectInOrder(text, {"1", "2", "alle 20 Min", "3"});
    EXPECT_EQ(PdfPages(one), 1);
    EXPECT_EQ(Output("pdffonts '" + one + "' | tail -n +3 | grep -vc ' yes '"), "0\n");

    // 40 journeys do not fit one landscape page: the station column again on
    // the next, every time once, in order, pages counted.
    const std::string many = dir.File("40.pdf");
    Run({"pdf", "timetable", dir.Path(), "40", "1", "Mo-Fr", many});
    const std::string manyText = PdfText(many);
    const int pages = PdfPages(many);
    EXPECT_GE(pages, 2);
    std::vector<std::string> firstStop;
    for (int j = 0; j < 40; ++j) {
        char time[8];
        std::snprintf(time, sizeof time, "%02d:%02d", (300 + j * 15) / 60, (300 + j * 15) % 60);
        firstStop.push_back(time);
    }
    ExpectInOrder(manyText, firstStop);
    for (int p = 1; p <= pages; ++p)
        ExpectInOrder(manyText, {"Halt 1", "Halt 5",
                                 "Seite " + std::to_string(p) + " von " + std::to_string(pages)});

    // The line: both directions and every stored day group.
    const std::string line = dir.File("line.pdf");
    Run({"pdf", "line", dir.Path(), "10", line});
    ExpectInOrder(PdfText(line),
                  {"Richtung 1: Nord → Süd", "Montag bis Freitag", "Seite 1 von 3",
                   "Richtung 2: Süd → Nord", "07:08", "09:08", "Seite 2 von 3",
                   "Richtung 1: Nord → Süd", "Sonn- und Feiertag", "10:11", "Seite 3 von 3"});
    EXPECT_EQ(PdfPages(line), 3);

    // Wrong direction, unknown line, unwritable target.
    EXPECT_EQ(RunCli({"pdf", "timetable", dir.Path(), "10", "3", "Mo-Fr", one}).status, 2);
    EXPECT_EQ(RunCli({"pdf", "line", dir.Path(), "99", line}).status, 1);
    const CliResult blocked = RunCli({"pdf", "line", dir.Path(), "10", dir.File("none/line.pdf")});
    EXPECT_EQ(blocked.status, 1);
    EXPECT_NE(blocked.err.find("kann nicht geschrieben werden"), std::string::npos);
}

TEST_F(CliPrint, PosterOfAStationOnThreeLinesAndOfTheDemo) {
    const std::string poster = dir.File("mitte.pdf");
    Run({"pdf", "station", dir.Path(), "Mitte", poster});
    const std::string text = PdfText(poster);
    ExpectInOrder(text, {"Abfahrten an Mitte",
                         "gültig vom 01.01.2027",
                         "Linie 10 → Süd",
                         "Montag bis Freitag",
                         "Sonn- und Feiertag",
                         "06",
                         "12 42",
                         "07",
                         "02 22 42",
                         "08",
                         "02 12",
                         "10",
                         "11",
                         "Linie 10 → Nord",
                         "07",
                         "08",
                         "09",
                         "08",
                         "Linie 20 → West",
                         "06",
                         "05",
                         "Linie 20 → Ost",
                         "07",
                         "40",
                         "Linie 30 → Bahnhof",
                         "23",
                         "50",
                         "Seite 1 von 1"});
    EXPECT_EQ(text.find("Linie 30 → Mitte"), std::string::npos);
    EXPECT_EQ(PdfPages(poster), 1);

    TempDir demo;
    for (const auto &item : std::filesystem::directory_iterator(TAKTON_DEMO_DIR))
        std::filesystem::copy_file(item.path(), demo.File(item.path().filename().string()));
    const std::string demoPoster = demo.File("rathaus.pdf");
    Run({"pdf", "station", demo.Path(), "Rathaus", demoPoster});
    ExpectInOrder(PdfText(demoPoster), {"Abfahrten an Rathaus", "Linie 1 → Südfriedhof", "05",
                                        "15 35 55", "Linie 1 → Hauptbahnhof"});
    const std::string demoTable = demo.File("demo.pdf");
    Run({"pdf", "timetable", demo.File("demo.zpr"), "1", "2", "Mo-Fr", demoTable});
    ExpectInOrder(PdfText(demoTable), {"Richtung 2: Südfriedhof → Hauptbahnhof", "Südfriedhof",
                                       "05:17", "Mühlenweg", "Schloßpark", "Seite 1 von 1"});
    const std::string demoLine = demo.File("line.pdf");
    Run({"pdf", "line", demo.Path(), "1", demoLine});
    EXPECT_EQ(PdfPages(demoLine), 4) << PdfText(demoLine);
}

TEST_F(CliPrint, GraphAsSvgPngAndPdf) {
    Run({"graph", dir.Path(), "10", "Mo-Fr", dir.File("g.svg")});
    const std::string svg = *dir.Read("g.svg");
    std::size_t paths = 0;
    for (auto at = svg.find("<path"); at != std::string::npos; at = svg.find("<path", at + 1))
        ++paths;
    EXPECT_EQ(paths, 9u); // 3 + 4 from the interval + 2 the other way
    EXPECT_NE(svg.find("Bildfahrplan Linie 10 · Montag bis Freitag"), std::string::npos);

    Run({"graph", dir.Path(), "10", "Mo-Fr", dir.File("g.png")});
    EXPECT_TRUE(dir.Read("g.png")->starts_with("\x89PNG"));
    Run({"graph", dir.Path(), "10", "So", dir.File("g.pdf")});
    ExpectInOrder(PdfText(dir.File("g.pdf")),
                  {"Bildfahrplan Linie 10 · Sonn- und Feiertag", "10:00"});

    EXPECT_EQ(RunCli({"graph", dir.Path(), "10", "Mo-Fr", dir.File("g.gif")}).status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.File("g.gif")));
}

namespace {

// The lines of the text that match the pattern whole.
std::vector<std::string> LinesMatching(const std::string &text, const std::string &pattern) {
    std::vector<std::string> lines;
    const std::regex whole(pattern);
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        const std::string line = text.substr(at, end - at);
        if (std::regex_match(line, whole))
            lines.push_back(line);
        at = end + 1;
    }
    return lines;
}

} // namespace

TEST_F(CliPrint, FootnotesAboveTheColumnsAndTheirLegendBelow) {
    // Saxony's holidays; a weekend group whose text does not name them.
    dir.Write("print.zpr",
              CrLf({"[daygroups]", "daygroupnames=Mo-Fr,WE", "Mo-Fr_text=Montag bis Freitag",
                    "Mo-Fr_days=monday,tuesday,wednesday,thursday,friday", "WE_text=Wochenende",
                    "WE_days=saturday,sunday", "[calendar]", "land=SN"}));
    dir.Write("lines.csv", CrLf({"10", "20", "30", "40", "50"}));
    dir.Write("line_stations.csv", *dir.Read("line_stations.csv") + CrLf({"50=Halt 1,Halt 2"}));
    dir.Write("station_lines.csv", CrLf({"Halt 1=40,50"}));
    dir.Write("line_50.ttd",
              CrLf({"[1_WE]", "1=Halt 1,00:15,06:00,20 Min,07:00,23:30",
                    "2=Halt 2,00:35,06:20,20 Min,07:20,23:50", "footnotes=S,S,,F", "nights=1"}));
    dir.Write("footnotes.ini",
              CrLf({"[footnote_1]", "symbol=F", "text=", "days=school-holidays", "not=2027-12-24",
                    "[footnote_2]", "symbol=S", "text=Schulbus", "days=school-days"}));
    const std::string pdf = dir.File("50.pdf");
    Run({"pdf", "timetable", dir.Path(), "50", "1", "WE", pdf});
    const std::string text = PdfText(pdf);
    // Journeys numbered in print order, intervals not counted.
    ExpectInOrder(text,
                  {"Wochenende und an Feiertagen", "Station", "1", "alle 20 Min", "2", "3", "4"});
    // The marks in a row of their own, each above its journey's column,
    // the night journey last.
    EXPECT_EQ(LinesMatching(text, "\\s*S\\s+S\\s+F\\s+S ?N\\s*").size(), 1u) << text;
    EXPECT_EQ(LinesMatching(text, "\\s*Halt 1\\s+06:00\\s+07:00\\s+23:30\\s+00:15\\s*").size(), 1u)
        << text;
    ExpectInOrder(text, {"Halt 2", "00:35", "F", "nur an Ferientagen, nicht am 24.12.2027", "S",
                         "Schulbus", "N", "fährt nach Mitternacht, in der Nacht zum folgenden Tag",
                         "Seite 1 von 1"});
    EXPECT_EQ(LinesMatching(text, "\\s*S\\s+Schulbus\\s*").size(), 1u) << text;

    // The poster: each minute with its journey's marks, the legend below.
    const std::string poster = dir.File("halt1.pdf");
    Run({"pdf", "station", dir.Path(), "Halt 1", poster});
    const std::string posterText = PdfText(poster);
    ExpectInOrder(posterText,
                  {"Linie 50 → Halt 2", "Wochenende und an Feiertagen", "06", "00S 20S 40S", "07",
                   "00F", "23", "30", "00", "15SN", "F", "nur an Ferientagen", "S", "Schulbus", "N",
                   "fährt nach Mitternacht"});

    // A footnote on the first of line 40's journeys: its legend on the
    // first page only.
    dir.Write("line_40.ttd", ManyJourneysTimetable() + CrLf({"footnotes=S"}));
    const std::string many = dir.File("40.pdf");
    Run({"pdf", "timetable", dir.Path(), "40", "1", "Mo-Fr", many});
    const std::string manyText = PdfText(many);
    const std::size_t split = manyText.find('\f');
    ASSERT_NE(split, std::string::npos);
    EXPECT_EQ(LinesMatching(manyText.substr(0, split), "\\s*S\\s+Schulbus\\s*").size(), 1u);
    EXPECT_EQ(manyText.find("Schulbus", split), std::string::npos);
}
