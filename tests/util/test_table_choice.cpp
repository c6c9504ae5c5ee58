#include "util/cp1252.h"
#include "util/file_io.h"
#include "util/kv_html.h"
#include "util/kv_html_reference.h"
#include "util/table_choice.h"

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
