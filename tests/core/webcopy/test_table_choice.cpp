#include "core/files/file_io.h"
#include "core/util/cp1252.h"
#include "core/webcopy/html_table.h"
#include "core/webcopy/html_table_reference.h"
#include "core/webcopy/html_text.h"
#include "core/webcopy/table_choice.h"
#include "core/webcopy/web_time.h"

#include <gtest/gtest.h>
#include <random>

using namespace takton;
using namespace takton::reference;

namespace {

using Names = std::vector<std::string>;

std::string RandomText(std::mt19937 &random, int maxLength, std::string_view alphabet) {
    std::uniform_int_distribution<int> length(0, maxLength);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::string text;
    for (int n = length(random); n > 0; --n)
        text += alphabet[pick(random)];
    return text;
}

} // namespace

TEST(TableChoice, CutsEveryTableInSourceOrder) {
    const std::string page = "<p>x</p><table id=1><tr></tr></table> <TABLE><table></TABLE>"
                             "</table><table>never closed<td></td>";
    EXPECT_EQ(CutTables(page), (std::vector<std::string_view>{"<table id=1><tr></tr></table>",
                                                              "<TABLE><table></TABLE>"}));
    EXPECT_TRUE(CutTables("").empty());
    EXPECT_TRUE(CutTables("<p>keine Tabelle</p>").empty());
}

TEST(TableChoice, ChoosesTheFirstTableNamingTheMostStations) {
    const Names names{"Stationen", "Nord", "Markt", "Bahnhof"};

    // Equal scores: the first wins.
    const std::string page = "<table>Nord Markt Bahnhof</table><table>Bahnhof,Markt,Nord</table>";
    TTableChoice choice = ChooseTable(page, names);
    EXPECT_EQ(choice.Index, 0);
    EXPECT_EQ(choice.Score, 3);
    EXPECT_EQ(choice.Text, "<table>Nord Markt Bahnhof</table>");

    // Part of a longer word and attribute values count; letter case matters;
    // a name found twice counts once.
    choice = ChooseTable(
        "<table>Markt</table><table class=Nordstadt>Marktplatz Marktplatz bahnhof</table>", names);
    EXPECT_EQ(choice.Index, 1);
    EXPECT_EQ(choice.Score, 2);

    // The header row's "Stationen" counts even without station rows.
    choice =
        ChooseTable("<table>x</table><table><tr><th>Stationen</th></tr></table>", {"Stationen"});
    EXPECT_EQ(choice.Index, 1);
    EXPECT_EQ(choice.Score, 1);

    // Nothing found, or no table: no choice.
    EXPECT_EQ(ChooseTable("<table>Sued</table>", names).Index, -1);
    EXPECT_EQ(ChooseTable("Nord Markt", names).Index, -1);
    EXPECT_EQ(ChooseTable("<table>Nord", names).Index, -1);
    // Empty names never count.
    EXPECT_EQ(ChooseTable("<table>x</table>", {"", ""}).Index, -1);
    EXPECT_EQ(ChooseTable("<table>x</table>", {}).Index, -1);
}

TEST(TableChoice, CountsEveryTimetableRowThatNamesAStation) {
    // A station served twice (a loop line) stands in two rows: two points.
    const std::vector<std::string_view> tables{"<table>Ring Ring</table>", "<table>Rin</table>"};
    EXPECT_EQ(ScoreTables(tables, {"Ring", "Rin", "Ring", ""}), (std::vector<int>{3, 1}));

    // Names inside names, sharing prefixes and suffixes, against one search
    // per name on many random tables.
    std::mt19937 random(1209);
    for (int round = 0; round < 300; ++round) {
        Names names;
        for (int i = 0; i < 12; ++i)
            names.push_back(RandomText(random, 4, "abc"));
        std::vector<std::string> texts;
        for (int i = 0; i < 8; ++i)
            texts.push_back(RandomText(random, 40, "abcx"));
        const std::vector<std::string_view> views(texts.begin(), texts.end());
        ASSERT_EQ(ScoreTables(views, names), ScoreByOneSearchPerName(views, names));
    }

    // Every byte value, names with high cp1252 letters included.
    const std::string allBytes = [] {
        std::string s;
        for (int c = 0; c < 256; ++c)
            s += static_cast<char>(c);
        return s;
    }();
    const Names high{Cp1252("Goethestraße"), std::string(1, '\0'), std::string("\xFF\xFE", 2)};
    EXPECT_EQ(ScoreTables({allBytes}, high), (std::vector<int>{1}));
    EXPECT_EQ(ScoreTables({Cp1252("<td>Goethestraße</td>")}, high), (std::vector<int>{1}));
}

TEST(TableChoice, TakesTheTimetableFromAnOperatorPage) {
    // GIVEN a saved operator page: layout tables around a navigation table,
    // the timetable with th headers, entities and a commented-out row, and a
    // fare table that names two stations
    const auto bytes =
        ReadWholeFile(std::string(TAKTON_TEST_DATA) + "/html/linie5_richtung_friedhof.html");
    ASSERT_TRUE(bytes);
    const std::string page = Utf8ToCp1252Lossy(*bytes);
    const Names names{"Stationen", "Hauptbahnhof", "Rathaus",  Cp1252("Goethestraße"),
                      "Am Markt",  "Schulzentrum", "Friedhof", "Alte Post"};

    // WHEN the table is chosen and laid out as the web copy window does
    const auto tables = CutTables(page);
    ASSERT_EQ(tables.size(), 3u);
    EXPECT_EQ(ScoreTables(tables, names), (std::vector<int>{1, 7, 2}));
    const TTableChoice choice = ChooseTable(page, names);
    ASSERT_EQ(choice.Index, 1);
    TStringGrid grid(1, 1, 0, 0);
    grid.DefaultColWidth = 32;
    HtmlTableToGrid(choice.Text, grid, true,
                    [](std::string_view text) { return 7 * static_cast<int>(text.size()); });

    // THEN the rows are the stations and the columns the journeys
    const std::vector<std::vector<std::string>> expected{
        {"Haltestelle", "Fahrt 1", "Fahrt 2", "Fahrt 3\n(Schule)"},
        {"Hauptbahnhof", "06:12", "07:12", "08:12"},
        {"Rathaus", "06:15", "07:15", "&nbsp;"},
        {Cp1252("Goethestraße"), "06:17", "07:17", "08:16"},
        {"Am Markt, Steig 2", "06:19", "07:19", "08:18"},
        {"Schulzentrum", "06:22a", "|", "08:21"},
        {"Friedhof", "&nbsp;", "07:25", "08:24"}};
    ASSERT_EQ(grid.RowCount(), 7);
    ASSERT_EQ(grid.ColCount(), 4);
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(grid.Cell(c, r), expected[r][c]) << "row " << r << " col " << c;
    EXPECT_EQ(grid.ColWidth(0), 7 * 17); // "Am Markt, Steig 2"
    EXPECT_EQ(grid.ColWidth(1), 49);
}

namespace {

// A table of rows of cells joined by "|".
std::string Table(const std::vector<std::string> &rows, std::string_view attributes = "") {
    std::string html = "<table" + std::string(attributes) + ">\n";
    for (const std::string &row : rows) {
        html += "  <tr>";
        std::size_t start = 0;
        for (;;) {
            const std::size_t bar = row.find('|', start);
            html += "<td>" + row.substr(start, bar - start) + "</td>";
            if (bar == std::string::npos)
                break;
            start = bar + 1;
        }
        html += "</tr>\n";
    }
    return html + "</table>\n";
}

int Width(std::string_view text) {
    return 7 * static_cast<int>(text.size());
}

} // namespace

TEST(TableChoice, TiesGoToTheTableWithTheMostTimes) {
    const Names names{"Stationen", "Nord", "Markt", "Bahnhof"};

    // A frozen stop column (names and codes only) before the table of times
    // that repeats the names: the times are taken.
    const std::string frozen =
        Table({"Nord|N1", "Markt|M2", "Bahnhof|&nbsp;"}) +
        Table({"Nord|6:25|7.25 pm", "Markt|<b>6:27</b>|7:27&nbsp;pm", "Bahnhof|06.30 Uhr|&nbsp;"});
    TTableChoice choice = ChooseTable(frozen, names);
    EXPECT_EQ(choice.Index, 1);
    EXPECT_EQ(choice.Score, 3);
    EXPECT_EQ(choice.Times, 5);

    // Names in one table, times in another that repeats no name: the names
    // table stays chosen, more times do not outweigh a station.
    const std::string split =
        Table({"Nord", "Markt", "Bahnhof"}) + Table({"6:25|7:25", "6:27|7:27", "6:30|7:30"});
    choice = ChooseTable(split, names);
    EXPECT_EQ(choice.Index, 0);
    EXPECT_EQ(choice.Times, 0);
    EXPECT_EQ(ChooseTable(Table({"Nord|6:25", "Markt|6:27"}) + Table({"Nord|Markt|Bahnhof"}), names)
                  .Index,
              1);

    // Equal stations and equal times: the first.
    choice = ChooseTable(Table({"Nord|6:25", "Markt|x"}) + Table({"Markt|x", "Nord|6:25"}), names);
    EXPECT_EQ(choice.Index, 0);
    EXPECT_EQ(choice.Times, 1);
}

TEST(TableChoice, SurveyMeasuresEachTableAsItsLayout) {
    const auto bytes =
        ReadWholeFile(std::string(TAKTON_TEST_DATA) + "/html/linie5_richtung_friedhof.html");
    ASSERT_TRUE(bytes);
    std::string page = Utf8ToCp1252Lossy(*bytes);
    // Odd input too: a row without cells, an unclosed cell, a cell outside
    // any row, a nested table, a table that never ends.
    page += "<table><tr></tr><tr><td>a<td>b</td><td>c</tr></td></table><td>x</td>"
            "<table><tr><td><table><tr><td>1</td><td>2</td></tr></table></td></tr></table>"
            "<TABLE><tr><td>offen</td></tr>";
    const auto tables = SurveyTables(page, {"Rathaus"});
    const auto cut = CutTables(page);
    ASSERT_EQ(tables.size(), cut.size());
    ASSERT_EQ(tables.size(), 5u);
    for (std::size_t i = 0; i < tables.size(); ++i) {
        EXPECT_EQ(tables[i].Text, cut[i]);
        TStringGrid grid(1, 1, 0, 0);
        HtmlTableToGrid(tables[i].Text, grid, false);
        EXPECT_EQ(tables[i].Rows, grid.RowCount()) << i;
        EXPECT_EQ(tables[i].Cols, grid.ColCount()) << i;
    }
    // The timetable: 7 rows of 4, with 14 times ("06:22a" is none).
    EXPECT_EQ(tables[1].Cells, 28);
    EXPECT_EQ(tables[1].Times, 14);
    EXPECT_EQ(tables[1].Stations, 1);
    EXPECT_EQ(TableListText(tables[1], 1), "Tabelle 2: 7 Zeilen, 4 Spalten, 1 Station, 14 Zeiten");
    // A cell closed after its row's end still counts in that row.
    EXPECT_EQ(tables[3].Cells, 2);
    EXPECT_EQ(TableListText(tables[3], 3), "Tabelle 4: 2 Zeilen, 2 Spalten, 0 Stationen, 0 Zeiten");
    // The nested table ends at the inner end: one row of the outer table and
    // the inner row, as the layout gives them.
    EXPECT_EQ(tables[4].Rows, 2);
    EXPECT_EQ(tables[4].Cols, 2);
    EXPECT_EQ(tables[4].Times, 0);
}

TEST(TableChoice, TakesAWebTableWithCellTextsAsThePlannerMeansThem) {
    // The heading above the station column counts like a station name.
    const std::string page =
        "<p>Linie 5</p>" + Table({"x"}) + Table({}) +
        Table({"Stationen|Fahrt&nbsp;1", "  R&ouml;merplatz &nbsp;|  8.15 ", "Markt|&nbsp;"}) +
        Table({"Stationen|Markt|Nord|Sued"}, " class=\"n\"");
    TStringGrid grid(1, 1, 0, 0);
    grid.DefaultColWidth = 32;
    TWebTablePage taken =
        TakeWebTable(page, "Stationen", {Cp1252("Römerplatz"), "Markt"}, grid, Width);
    ASSERT_EQ(taken.Tables.size(), 4u);
    EXPECT_EQ(taken.Chosen, 2);
    EXPECT_EQ(taken.Tables[2].Stations, 2); // "Stationen" and "Markt"; "R&ouml;merplatz" is no name
    ASSERT_EQ(grid.RowCount(), 3);
    EXPECT_EQ(grid.Cell(1, 0), "Fahrt\xA0"
                               "1");
    EXPECT_EQ(grid.Cell(0, 1), Cp1252("Römerplatz"));
    EXPECT_EQ(grid.Cell(1, 1), "8.15");
    EXPECT_EQ(grid.Cell(1, 2), "");
    // Widths fit the decoded texts.
    EXPECT_EQ(grid.ColWidth(0), Width("Stationen") + 7);
    EXPECT_EQ(grid.ColWidth(1), Width("Fahrt 1"));

    // Another table by its index; one without cells or out of range is not
    // taken and leaves the grid alone.
    taken = TakeWebTable(page, "Stationen", {"Nord"}, grid, Width, 3);
    EXPECT_EQ(taken.Chosen, 3);
    EXPECT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.Cell(3, 0), "Sued");
    EXPECT_EQ(TakeWebTable(page, "Stationen", {}, grid, Width, 1).Chosen, -1);
    EXPECT_EQ(TakeWebTable(page, "Stationen", {}, grid, Width, 4).Chosen, -1);
    EXPECT_EQ(TakeWebTable("<p>nichts</p>", "Stationen", {}, grid, Width).Chosen, -1);
    EXPECT_EQ(grid.Cell(3, 0), "Sued");
}

namespace {

// A table's counts as the tag parser reads it, step by step: rows, columns,
// closed cells and the cells whose stripped, decoded text is a time.
TTableInfo MeasureStepByStep(std::string_view table) {
    TTableInfo info;
    int rows = 0;
    int rowCells = 0;
    bool inRow = false;
    bool inCell = false;
    std::size_t cellStart = 0;
    std::vector<std::string> items;
    std::size_t next = 0;
    for (std::size_t start, position = 1; (start = ParseNextTag(table, position, items, next)) != 0;
         position = next) {
        const std::string name = items.empty() ? "" : items[0].substr(items[0].find('=') + 1);
        if (name == "tr") {
            inRow = true;
            ++rows;
            rowCells = 0;
        } else if (name == "/tr") {
            inRow = false;
        } else if ((name == "td" || name == "th") && inRow) {
            inCell = true;
            cellStart = next;
        } else if ((name == "/td" || name == "/th") && inCell) {
            inCell = false;
            info.Cols = std::max(info.Cols, ++rowCells);
            ++info.Cells;
            const std::string source(table.substr(cellStart - 1, start - cellStart));
            if (ParseWebTime(WebCellText(StripTags(source))))
                ++info.Times;
        }
    }
    info.Rows = std::max(rows, 1);
    return info;
}

} // namespace

TEST(TableChoice, SurveyCountsOddTagSpellingsAndTimeCellsAsTheParserReadsThem) {
    // Tags the walk tells apart by a quick look at the name, and ones it must
    // hand to the tag parser; cells with the references and markup of web
    // timetables around a time.
    const std::vector<std::string_view> pieces = {"<table>",
                                                  "</table>",
                                                  "<TABLE class=t>",
                                                  "</TABLE >",
                                                  "<tr>",
                                                  "</TR>",
                                                  "<tR x>",
                                                  "<td>",
                                                  "</td>",
                                                  "<TD class=z>",
                                                  "</Td>",
                                                  "<th>",
                                                  "</TH >",
                                                  "<=td>",
                                                  "< td>",
                                                  "<'th>",
                                                  "</tdx>",
                                                  "<tdx>",
                                                  "<t>",
                                                  "<b>",
                                                  "</b>",
                                                  "<!-- -->",
                                                  "<!--x>",
                                                  "&nbsp;",
                                                  "&nbsp",
                                                  "&NBSP;",
                                                  "&nbsp;6",
                                                  "&#58;",
                                                  "6",
                                                  "25",
                                                  ":",
                                                  ".",
                                                  " ",
                                                  "\n",
                                                  "pm",
                                                  "Uhr",
                                                  "x",
                                                  "\"",
                                                  "<",
                                                  ">",
                                                  "6:25",
                                                  "06.25"};
    std::mt19937 random(20);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    int timesSeen = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string page = "<table><tr><td>";
        for (int n = std::uniform_int_distribution<int>(0, 30)(random); n > 0; --n)
            page += pieces[pick(random)];
        page += "</td></tr></table>";
        const auto tables = SurveyTables(page, {"x"});
        const auto cut = CutTables(page);
        ASSERT_EQ(tables.size(), cut.size()) << page;
        for (std::size_t i = 0; i < tables.size(); ++i) {
            const TTableInfo expected = MeasureStepByStep(cut[i]);
            ASSERT_EQ(tables[i].Text, cut[i]) << page;
            ASSERT_EQ(tables[i].Rows, expected.Rows) << page;
            ASSERT_EQ(tables[i].Cols, expected.Cols) << page;
            ASSERT_EQ(tables[i].Cells, expected.Cells) << page;
            ASSERT_EQ(tables[i].Times, expected.Times) << page;
            timesSeen += expected.Times;
        }
    }
    EXPECT_GT(timesSeen, 300);
}
