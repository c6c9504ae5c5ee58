// What goes where on the printed pages and in the graph, without Qt: the
// hand-made print project read as the documents read it.

#include "core/layout/graph.h"
#include "core/layout/page_layout.h"
#include "core/layout/poster.h"
#include "core/layout/print_timetable.h"
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
