// What goes where on the printed pages and in the graph, without Qt: the
// hand-made print project read as the documents read it, with footnotes,
// night journeys and holidays.

#include "core/layout/graph.h"
#include "core/layout/page_layout.h"
#include "core/layout/poster.h"
#include "core/layout/print_timetable.h"
#include "core/model/footnotes.h"
#include "core/model/prj_load.h"
#include "core/model/prj_params.h"
#include "support/print_project.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace takton;
using namespace takton::print;
using namespace takton::testing;

namespace {
// The parameters a case loads and saves (each case runs in a process of its own).
takton::TPrjParams PrjParams;
} // namespace

namespace {

class PrintProject : public ::testing::Test {
  protected:
    void SetUp() override {
        WritePrintProject(
            [this](const char *name, const std::string &bytes) { dir.Write(name, bytes); });
        PrjParams = TPrjParams{};
        LoadProjectFile(dir.File("print.zpr"), PrjParams);
        params = PrjParams;
    }
    TempDir dir;
    TPrjParams params;
};

std::vector<int> MinutesOf(const TPosterBlock &block, std::size_t group) {
    std::vector<int> all;
    for (const auto &hour : block.Hours)
        for (int minute : hour.Minutes[group])
            all.push_back(hour.Hour * 60 + minute);
    return all;
}

} // namespace

TEST_F(PrintProject, TimetableKeepsPairsIntervalsAndLeavesOutEmptyJourneys) {
    const TPrintTimetable table = LoadPrintTimetable(dir.Path(), params, "10", 1, "Mo-Fr");
    ASSERT_EQ(table.Rows.size(), 4u);
    EXPECT_EQ(table.Rows[0].Role, "");
    EXPECT_EQ(table.Rows[1].Role, "an");
    EXPECT_EQ(table.Rows[2].Role, "ab");
    EXPECT_EQ(table.LastStation(), "S\xFC"
                                   "d");
    EXPECT_EQ(table.DayGroupText, "Montag bis Freitag");
    ASSERT_EQ(table.Columns.size(), 4u);
    EXPECT_TRUE(table.Columns[2].IsInterval());
    EXPECT_EQ(table.Columns[2].IntervalMinutes, 20);
    EXPECT_EQ(IntervalText(20), "alle 20 Min");
    EXPECT_EQ(table.Columns[3].Cells[2], "08:12");

    // Blank journeys between and after do not print; a missing section gives
    // the route, reversed for direction 2, without journeys.
    const TPrintTimetable gaps =
        PrintTimetableFromRows({"A, 05:00 ,,  ,06:00,,", "B,05:05,,,06:05"});
    ASSERT_EQ(gaps.Columns.size(), 2u);
    EXPECT_EQ(gaps.Columns[0].Cells[0], "05:00");
    const TPrintTimetable none = LoadPrintTimetable(dir.Path(), params, "20", 2, "So");
    ASSERT_EQ(none.Rows.size(), 3u);
    EXPECT_EQ(none.FirstStation(), "West");
    EXPECT_TRUE(none.Columns.empty());

    // A line's document: day groups in project order, direction 1 first.
    const auto line = LoadLineTimetables(dir.Path(), params, "10");
    ASSERT_EQ(line.size(), 3u);
    EXPECT_EQ(line[1].Direction, 2);
    EXPECT_EQ(line[2].DayGroup, "So");
    EXPECT_THROW(LoadLineTimetables(dir.Path(), params, "99"), std::exception);

    EXPECT_EQ(ValidityText(params), "g\xFCltig vom 01.01.2027 bis 31.12.2027");
    params.Publishing.FirstDate.clear();
    EXPECT_EQ(ValidityText(params), "g\xFCltig bis 31.12.2027");
    params.Publishing.LastDate.clear();
    EXPECT_EQ(ValidityText(params), "");
}

TEST(TablePages, EveryCellOnExactlyOnePageAndSlicesFitTheWidth) {
    const std::vector<double> widths(40, 30.0);
    const auto pages = LayoutTablePages(7, widths, 700, 3);
    // 23 columns fit 700; 2 column slices, 3 row slices each.
    ASSERT_EQ(pages.size(), 6u);
    std::vector<int> seen(7 * 40, 0);
    for (const auto &page : pages) {
        EXPECT_LE(page.ColCount * 30.0, 700.0);
        EXPECT_LE(page.RowCount, 3);
        for (int r = page.FirstRow; r < page.FirstRow + page.RowCount; ++r)
            for (int c = page.FirstCol; c < page.FirstCol + page.ColCount; ++c)
                ++seen[static_cast<std::size_t>(r * 40 + c)];
    }
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), 7 * 40);
    EXPECT_EQ(pages[0].FirstCol, 0);
    EXPECT_EQ(pages[3].FirstCol, 23);
    EXPECT_EQ(pages[4].FirstRow, 3);

    // A column wider than the page still gets a page; no columns, one page.
    EXPECT_EQ(ColumnSliceStarts({900, 10, 900}, 700), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(LayoutTablePages(2, {}, 700, 40).size(), 1u);
}

TEST(PosterDepartures, PairsIntervalsEndsAndMidnight) {
    const std::vector<std::string> rows = {"Nord,06:00,06:30,20 Min,08:00",
                                           "Mitte,06:10,06:40,20 Min,08:10",
                                           "Mitte,06:12,,20 Min,08:12",
                                           "S\xFC"
                                           "d,06:20,06:50,,08:20"};
    // From the departure row; the arrival when the departure is missing.
    // The interval runs from the journey on its left.
    EXPECT_EQ(DeparturesAt(rows, "Mitte"), (std::vector<int>{372, 400, 420, 440, 460, 480, 492}));
    EXPECT_TRUE(DeparturesAt(rows, "S\xFC"
                                   "d")
                    .empty()); // the last station
    EXPECT_TRUE(DeparturesAt(rows, "Irgendwo").empty());
    EXPECT_TRUE(DeparturesAt(rows, "mitte").empty()); // names exact
    // An interval across midnight wraps to the small hours.
    EXPECT_EQ(DeparturesAt({"A,23:30,10 Min,00:10", "B,23:40,10 Min,00:20", "C,23:50,,00:30"}, "B"),
              (std::vector<int>{1420, 1430, 0, 10, 20}));
}

TEST_F(PrintProject, PosterOfAStationOnThreeLines) {
    const TPoster poster = BuildPoster(dir.Path(), params, "Mitte");
    ASSERT_EQ(poster.DayGroupTexts,
              (std::vector<std::string>{"Montag bis Freitag", "Sonn- und Feiertag"}));
    std::vector<std::string> heads;
    for (const auto &block : poster.Blocks)
        heads.push_back(block.Line + ">" + block.Destination);
    // Line 30 ends at Mitte the other way: no block for it.
    EXPECT_EQ(heads, (std::vector<std::string>{"10>S\xFC"
                                               "d",
                                               "10>Nord", "20>West", "20>Ost", "30>Bahnhof"}));
    const TPosterBlock &south = poster.Blocks[0];
    EXPECT_EQ(MinutesOf(south, 0), (std::vector<int>{372, 402, 422, 442, 462, 482, 492}));
    EXPECT_EQ(MinutesOf(south, 1), (std::vector<int>{611}));
    ASSERT_EQ(south.Hours.size(), 4u); // 6, 7, 8 and Sunday's 10
    EXPECT_EQ(south.Hours[1].Hour, 7);
    EXPECT_EQ(south.Hours[1].Minutes[0], (std::vector<int>{2, 22, 42}));
    EXPECT_EQ(MinutesOf(poster.Blocks[3], 0), (std::vector<int>{460})); // 06:40 ends here
    EXPECT_EQ(poster.Blocks[4].Hours.front().Hour, 23);

    const TPoster terminus = BuildPoster(dir.Path(), params, "Bahnhof");
    ASSERT_EQ(terminus.Blocks.size(), 1u);
    EXPECT_EQ(terminus.Blocks[0].Destination, "Mitte");
    EXPECT_TRUE(BuildPoster(dir.Path(), params, "Nirgendwo").Blocks.empty());
}

TEST(PosterPages, PiecesCoverEveryHourOnceWithinThePage) {
    TPoster poster;
    poster.DayGroupTexts = {"Mo-Fr"};
    for (int b = 0; b < 4; ++b) {
        TPosterBlock block{"L" + std::to_string(b), 1, "Ziel", {}};
        for (int h = 5; h < 24; ++h)
            block.Hours.push_back({h, {std::vector<int>(static_cast<std::size_t>(h), 0)}});
        poster.Blocks.push_back(block);
    }
    EXPECT_EQ(HourLines(poster.Blocks[0].Hours[0], 4), 2); // 5 minutes, 4 to a line
    const int perPage = 40;
    const auto pages = LayoutPosterPages(poster, 4, perPage);
    std::vector<int> seen(4 * 19, 0);
    for (const auto &page : pages) {
        int used = 0;
        for (const auto &piece : page) {
            EXPECT_GT(piece.HourCount, 0);
            used += kPosterHeadLines + 1;
            for (int h = piece.FirstHour; h < piece.FirstHour + piece.HourCount; ++h) {
                used += HourLines(poster.Blocks[static_cast<std::size_t>(piece.Block)]
                                      .Hours[static_cast<std::size_t>(h)],
                                  4);
                ++seen[static_cast<std::size_t>(piece.Block * 19 + h)];
            }
        }
        EXPECT_LE(used - 1, perPage);
    }
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), 4 * 19);
    EXPECT_GT(pages.size(), 4u);
}

TEST_F(PrintProject, GraphSpacesStationsByMedianDrivingTimeAndExpandsIntervals) {
    const TGraph graph = BuildGraph(dir.Path(), params, "10", "Mo-Fr");
    ASSERT_EQ(graph.Stations.size(), 3u);
    // 3 journeys and 4 from the interval (06:30 + 20, 40, 60, 80 before
    // 08:00) in direction 1, 2 in direction 2.
    ASSERT_EQ(graph.Journeys.size(), 9u);
    EXPECT_EQ(std::count_if(graph.Journeys.begin(), graph.Journeys.end(),
                            [](const TGraphJourney &j) { return j.Direction == 2; }),
              2);
    // Nord-Mitte: 10 10 10 10 10 10 (direction 1), 10 10 (2): 10;
    // Mitte-Süd: 8 8 8 8 8 8 and 8 8 (Süd 07:00 -> Mitte 07:08): 8.
    EXPECT_EQ(graph.Offsets, (std::vector<double>{0, 10, 18}));
    EXPECT_EQ(graph.FirstMinute, 6 * 60);
    EXPECT_EQ(graph.LastMinute, 10 * 60);
    // The pair at Mitte gives two points at the station.
    EXPECT_EQ(graph.Journeys[0].Points.size(), 4u);

    // Unknown gaps take the median of the known; nothing known: even.
    EXPECT_EQ(StationOffsets({{1, {{0, 0}, {1, 4}}}, {1, {{0, 10}, {1, 16}}}}, 4),
              (std::vector<double>{0, 5, 10, 15}));
    EXPECT_EQ(StationOffsets({}, 3), (std::vector<double>{0, 1, 2}));
    // After midnight the journey keeps going forward in time.
    const auto night = GraphJourneys({"A,23:55", "B,00:05"}, {"A", "B"}, 1);
    ASSERT_EQ(night.size(), 1u);
    EXPECT_EQ(night[0].Points[1].Minute, 1445);

    EXPECT_THROW(BuildGraph(dir.Path(), params, "99", "Mo-Fr"), std::exception);
}

namespace {

// Line 50 from Nord to Süd on Sundays: a night journey of the previous day
// first in the file, a school bus repeated by an interval, a journey on
// school holidays, a plain one and a late night journey. The footnotes
// file knows X (unused), F and S in this order.
void WriteMarkedLine(const TempDir &dir) {
    dir.Write("lines.csv", CrLf({"10", "20", "30", "40", "50"}));
    dir.Write("line_stations.csv", *dir.Read("line_stations.csv") + CrLf({"50=Nord,S\xFC"
                                                                          "d"}));
    std::string stationLines = *dir.Read("station_lines.csv");
    stationLines.replace(stationLines.find("Nord=10"), 7, "Nord=10,50");
    dir.Write("station_lines.csv", stationLines);
    dir.Write("line_50.ttd", CrLf({"[1_So]", "1=Nord,00:15,06:00,20 Min,07:00,23:30,04:40",
                                   "2=S\xFC"
                                   "d,00:35,06:20,20 Min,07:20,23:50,05:00",
                                   "footnotes=S,S,,F", "nights=1,6"}));
    SaveFootnotes(dir.Path(), {{"X", "nie", TFootnoteDays::All, {}, {}, {}},
                               {"F",
                                "",
                                TFootnoteDays::SchoolHolidays,
                                {{*ParseIsoDate("2027-12-24"), *ParseIsoDate("2027-12-24")}},
                                {},
                                {}},
                               {"S", "Schulbus", TFootnoteDays::SchoolDays, {}, {}, {}}});
}

std::vector<std::string> FirstCells(const TPrintTimetable &table) {
    std::vector<std::string> cells;
    for (const auto &column : table.Columns)
        cells.push_back(column.IsInterval() ? IntervalText(column.IntervalMinutes)
                                            : column.Cells.front());
    return cells;
}

} // namespace

TEST_F(PrintProject, TimetableMarksJourneysPutsNightJourneysLastAndExplainsThePagesMarks) {
    WriteMarkedLine(dir);
    const TPrintTimetable table = LoadPrintTimetable(dir.Path(), params, "50", 1, "So");
    // The night journeys run after the day's last, in their own order.
    EXPECT_EQ(FirstCells(table), (std::vector<std::string>{"06:00", "alle 20 Min", "07:00", "23:30",
                                                           "00:15", "04:40"}));
    std::vector<std::string> marks;
    for (const auto &column : table.Columns)
        marks.push_back(ColumnMarkText(table, column));
    // The interval repeats the school bus and carries its mark.
    EXPECT_EQ(marks, (std::vector<std::string>{"S", "S", "F", "", "S N", "N"}));
    const std::vector<TLegendLine> all = {{"F", "nur an Ferientagen, nicht am 24.12.2027"},
                                          {"S", "Schulbus"},
                                          {"N", NightLegendText()}};
    EXPECT_EQ(table.Legend, all);
    // A page explains the marks of its own columns only.
    EXPECT_EQ(LegendOfColumns(table, 0, 2), (std::vector<TLegendLine>{all[1]}));
    EXPECT_EQ(LegendOfColumns(table, 2, 2), (std::vector<TLegendLine>{all[0]}));
    EXPECT_EQ(LegendOfColumns(table, 5, 1), (std::vector<TLegendLine>{all[2]}));
    EXPECT_EQ(LegendOfColumns(table, 4, 9), (std::vector<TLegendLine>{all[1], all[2]}));
    // The whole line's document reads the footnotes as well; a table
    // without marks has no legend.
    const auto line = LoadLineTimetables(dir.Path(), params, "50");
    ASSERT_EQ(line.size(), 1u);
    EXPECT_EQ(line[0].Legend, all);
    EXPECT_TRUE(LoadPrintTimetable(dir.Path(), params, "10", 1, "Mo-Fr").Legend.empty());

    // A footnote N takes the night journeys' mark.
    TPrintTimetable rows = PrintTimetableFromRows({"A,00:10,07:00", "B,00:20,07:10"});
    ApplyJourneyMarks(rows, {{"", true}, {"N", false}},
                      {{"N", "Nordschleife", TFootnoteDays::All, {}, {}, {}}});
    EXPECT_EQ(ColumnMarkText(rows, rows.Columns[0]), "N");
    EXPECT_EQ(ColumnMarkText(rows, rows.Columns[1]), "N*");
    EXPECT_EQ(rows.Legend,
              (std::vector<TLegendLine>{{"N", "Nordschleife"}, {"N*", NightLegendText()}}));
}

TEST_F(PrintProject, PosterMarksMinutesAndExplainsThePagesMarks) {
    WriteMarkedLine(dir);
    const TPoster poster = BuildPoster(dir.Path(), params, "Nord");
    ASSERT_EQ(poster.Blocks.size(), 2u);
    const TPosterBlock &block = poster.Blocks[1];
    ASSERT_EQ(block.Line, "50");
    std::vector<std::string> printed;
    for (const auto &hour : block.Hours) {
        std::string text = std::to_string(hour.Hour) + ":";
        for (std::size_t i = 0; i < hour.Minutes[1].size(); ++i)
            text += " " + MinuteText(poster, hour, 1, i);
        printed.push_back(text);
    }
    // Night journeys after the day's last, 04:40 too; the interval's runs
    // carry the school bus's mark.
    EXPECT_EQ(printed, (std::vector<std::string>{"6: 00S 20S 40S", "7: 00F", "23: 30", "0: 15SN",
                                                 "4: 40N"}));
    EXPECT_EQ(poster.Legend,
              (std::vector<TLegendLine>{{"F", "nur an Ferientagen, nicht am 24.12.2027"},
                                        {"S", "Schulbus"},
                                        {"N", NightLegendText()}}));
    // A page with the hours 7 and 23 alone explains F alone; line 10's
    // minutes carry nothing.
    EXPECT_EQ(PosterPageLegend(poster, {{1, 1, 2}}), (std::vector<TLegendLine>{poster.Legend[0]}));
    EXPECT_EQ(PosterPageLegend(poster, {{0, 0, 4}, {1, 3, 1}}),
              (std::vector<TLegendLine>{poster.Legend[1], poster.Legend[2]}));
    EXPECT_TRUE(BuildPoster(dir.Path(), params, "Mitte").Legend.empty());
}

TEST_F(PrintProject, DayGroupHeadingClaimsHolidaysOnlyWhereTheyRunIt) {
    params.DayGroups.push_back({"WE", "Wochenende", WithDay(WithDay(0, 5), 6)});
    params.DayGroups.push_back({"Sa", "", WithDay(0, 5)});
    // No holidays known: every text as written.
    EXPECT_EQ(DayGroupText(params, "WE"), "Wochenende");
    params.Calendar.Land = "XY"; // no Land of that code
    EXPECT_EQ(DayGroupText(params, "WE"), "Wochenende");
    for (const char *land : {"SN", ""}) {
        params.Calendar.Land = land;
        params.Calendar.ExtraHolidays = {
            {*ParseIsoDate("2027-06-01"), *ParseIsoDate("2027-06-01")}};
        EXPECT_EQ(DayGroupText(params, "WE"), "Wochenende und an Feiertagen");
        // The planner's words already say so; days without Sunday never.
        EXPECT_EQ(DayGroupText(params, "So"), "Sonn- und Feiertag");
        EXPECT_EQ(DayGroupText(params, "Mo-Fr"), "Montag bis Freitag");
        EXPECT_EQ(DayGroupText(params, "Sa"), "Sa");
    }
    // The headings of the table, the poster and the graph.
    params.DayGroups[1].Text = "Sonntag";
    EXPECT_EQ(LoadPrintTimetable(dir.Path(), params, "10", 1, "So").DayGroupText,
              "Sonntag und an Feiertagen");
    EXPECT_EQ(BuildPoster(dir.Path(), params, "Mitte").DayGroupTexts[1],
              "Sonntag und an Feiertagen");
    EXPECT_EQ(BuildGraph(dir.Path(), params, "10", "So").DayGroupText, "Sonntag und an Feiertagen");
}
