#include "core/util/error.h"
#include "core/webcopy/html_table.h"
#include "core/webcopy/html_table_reference.h"

#include <gtest/gtest.h>
#include <random>

using namespace takton;
using namespace takton::reference;

namespace {

std::vector<std::vector<std::string>> Cells(const TStringGrid &grid) {
    std::vector<std::vector<std::string>> rows;
    for (int r = 0; r < grid.RowCount(); ++r) {
        rows.emplace_back();
        for (int c = 0; c < grid.ColCount(); ++c)
            rows.back().push_back(grid.Cell(c, r));
    }
    return rows;
}

using Rows = std::vector<std::vector<std::string>>;

// Laid out in a grid that held other cells before.
Rows TableCells(std::string_view html) {
    TStringGrid grid(3, 3, 0, 0);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            grid.SetCell(c, r, "alt");
    HtmlTableToGrid(html, grid, false);
    return Cells(grid);
}

int CharWidth(std::string_view text) {
    return static_cast<int>(text.size()) * 7;
}

std::string RandomHtml(std::mt19937 &random) {
    // clang-format off
    static const std::vector<std::string> pieces = {
        "<tr>", "</tr>", "<td>", "</td>", "<th>", "</TH>", "<TR class=x>", "<td\n>", "\"",
        "<!-- ", "<!-->", "<!--\n", "-->", "<", ">", "a", "bc", " ", "<table>", "</table>",
        "<'td>", "<br>", "&nbsp;", "<td width=\"1\">", "= ", "'", "</td >", "<>", "<TD", "\n"};
    // clang-format on
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::uniform_int_distribution<int> length(0, 60);
    std::string html;
    for (int n = length(random); n > 0; --n)
        html += pieces[pick(random)];
    return html;
}

} // namespace

TEST(KvHtmlScan, FindsTagsByTheScannersRules) {
    // GIVEN a plain tag with attributes WHEN scanned THEN name, start and end
    auto tag = ScanNextTag("ab<TD class=x>c", 1);
    ASSERT_TRUE(tag);
    EXPECT_EQ(tag->Name, "td");
    EXPECT_EQ(tag->Start, 3u);
    EXPECT_EQ(tag->End, 14u);

    // Scanning goes on from the start position; 0 counts as 1.
    tag = ScanNextTag("<p>x<br>", 2);
    ASSERT_TRUE(tag);
    EXPECT_EQ(tag->Name, "br");
    EXPECT_EQ(tag->Start, 5u);
    EXPECT_EQ(ScanNextTag("<p>", 0)->Start, 1u);
    EXPECT_FALSE(ScanNextTag("<p>", 4));
    EXPECT_FALSE(ScanNextTag("<p>", 99));
    EXPECT_EQ(FindElement("<p>", 99, "p").Start, 0u);

    // An empty tag is no tag; blanks, quotes, apostrophes and "<" before the
    // name are passed over and the tag starts at the first "<".
    EXPECT_EQ(ScanNextTag("a<>b<p>", 1)->Start, 5u);
    tag = ScanNextTag("< '\"<td>", 1);
    ASSERT_TRUE(tag);
    EXPECT_EQ(tag->Name, "td");
    EXPECT_EQ(tag->Start, 1u);

    // Quotes between tags hide tags; inside a tag they protect nothing.
    EXPECT_EQ(ScanNextTag("\"<td>\" <tr>", 1)->Name, "tr");
    EXPECT_FALSE(ScanNextTag("x\"<td>", 1));
    tag = ScanNextTag("<a title=\"x>y\">", 1);
    ASSERT_TRUE(tag);
    EXPECT_EQ(tag->End, 12u);

    // A line break or tab belongs to the name.
    EXPECT_EQ(ScanNextTag("<td\nclass=x>", 1)->Name, "td\nclass=x");
    EXPECT_EQ(ScanNextTag("<td\t>", 1)->Name, "td\t");

    // Comments: only "!--" followed by a blank or ">", up to the next "-->".
    EXPECT_EQ(ScanNextTag("<!-- <td> -> --><tr>", 1)->Name, "tr");
    EXPECT_EQ(ScanNextTag("<!--><td>--><p>", 1)->Name, "p");
    tag = ScanNextTag("<!--\n<td>--><tr>", 1);
    ASSERT_TRUE(tag);
    EXPECT_EQ(tag->Name, "!--\n<td");
    EXPECT_EQ(ScanNextTag("<!--\n<td>--><tr>", tag->End + 1)->Name, "tr");
    EXPECT_EQ(ScanNextTag("<!---->", 1)->Name, "!----");

    // A tag or comment cut off by the end of the text is not found.
    EXPECT_FALSE(ScanNextTag("abc<", 1));
    EXPECT_FALSE(ScanNextTag("abc<td", 1));
    EXPECT_FALSE(ScanNextTag("<td class=x", 1));
    EXPECT_FALSE(ScanNextTag("<!-- never closed <td>", 1));
    EXPECT_FALSE(ScanNextTag("", 1));
}

TEST(KvHtmlScan, SkipsAheadExactlyAsTheStateTableSteps) {
    std::mt19937 random(1729);
    for (int i = 0; i < 2000; ++i) {
        const std::string html = RandomHtml(random);
        for (std::size_t start = 1; start <= html.size() + 1; ++start) {
            const auto fast = ScanNextTag(html, start);
            const auto steps = ScanCharByChar(html, start);
            ASSERT_EQ(fast.has_value(), steps.has_value()) << html << " from " << start;
            if (fast) {
                ASSERT_EQ(fast->Name, steps->Name) << html << " from " << start;
                ASSERT_EQ(fast->Start, steps->Start) << html << " from " << start;
                ASSERT_EQ(fast->End, steps->End) << html << " from " << start;
            }
        }
    }
}

TEST(KvHtmlParse, ParsesTagTextIntoItems) {
    std::vector<std::string> items{"old"};
    ParseTagText("<TD Class=\"Zeit Spalte\" colspan=2 nowrap data-x = 'a b' title=\"x>", items);
    EXPECT_EQ(items, (std::vector<std::string>{"tagname=td", "class=zeit spalte", "colspan=2",
                                               "nowrap", "data-x=a b", "title=x"}));

    ParseTagText("< =\"td\" x>", items);
    EXPECT_EQ(items, (std::vector<std::string>{"tagname=td\"", "x"}));
    ParseTagText("<\"\">", items);
    EXPECT_TRUE(items.empty());
    ParseTagText("<td\nclass=x>", items);
    EXPECT_EQ(items, (std::vector<std::string>{"tagname=td\nclass=x"}));

    // ParseNextTag: the tag's start, the list and the position after the tag.
    items = {"kept"};
    std::size_t next = 99;
    EXPECT_EQ(ParseNextTag("x<TR Class=A>y", 1, items, next), 2u);
    EXPECT_EQ(items, (std::vector<std::string>{"tagname=tr", "class=a"}));
    EXPECT_EQ(next, 14u);
    items = {"kept"};
    EXPECT_EQ(ParseNextTag("x<TR>y", 3, items, next), 0u);
    EXPECT_EQ(items, std::vector<std::string>{"kept"});
    EXPECT_EQ(next, 14u);
}

TEST(KvHtmlFind, FindsTagsAndElementsWithoutCountingNesting) {
    const std::string text = "<p><TABLE id=a><tr><td><table><tr></tr></Table></td></tr></table>";
    auto tag = FindTag(text, 1, "Table");
    ASSERT_TRUE(tag);
    EXPECT_EQ(tag->Start, 4u);
    EXPECT_EQ(tag->End, 15u);

    // The inner table's end ends the outer element.
    THtmlElement element = FindElement(text, 1, "table");
    EXPECT_EQ(element.Start, 4u);
    EXPECT_EQ(text.substr(element.Start - 1, element.Next - element.Start),
              "<TABLE id=a><tr><td><table><tr></tr></Table>");
    // From there on only a closing tag is left.
    EXPECT_EQ(FindElement(text, element.Next, "table").Start, 0u);

    // A name ended by a line break matches nothing; a missing end gives 0.
    EXPECT_FALSE(FindTag("<td\n>", 1, "td"));
    EXPECT_EQ(FindElement("<table><tr>", 1, "table").Start, 0u);
    EXPECT_EQ(FindElement("</table><table>", 1, "table").Start, 0u);

    // A lone double quote between tags hides the table that follows it.
    EXPECT_EQ(FindElement("<p>Zoll\"</p><table></table><p>\"</p>", 1, "table").Start, 0u);
    EXPECT_EQ(FindElement("<p>\"a\"</p><table></table>", 1, "table").Start, 11u);
}

TEST(KvHtmlStrip, RemovesTagStretchesOnly) {
    EXPECT_EQ(StripTags(" <b>08:15</b>&nbsp;"), " 08:15&nbsp;");
    EXPECT_EQ(StripTags("a<br>b\nc"), "ab\nc");
    EXPECT_EQ(StripTags("a > b <c"), "a > b <c");
    EXPECT_EQ(StripTags("x<a<b>y>z<"), "xy>z<");
    EXPECT_EQ(StripTags("<!-- a > b -->"), " b -->");
    EXPECT_EQ(StripTags(""), "");

    // The one pass gives what removing and starting again gives.
    std::mt19937 random(4711);
    for (int i = 0; i < 3000; ++i) {
        const std::string text = RandomHtml(random);
        ASSERT_EQ(StripTags(text), StripTagsByRestarting(text)) << text;
    }
}

TEST(KvHtmlTable, LaysOutRowsAndCellsByTheScannersRules) {
    // Tags in capitals; a short row is filled with an empty cell.
    EXPECT_EQ(TableCells("<TABLE><TR><TD>a</TD><TD>b</TD></TR><TR><TD>c</TD></TR></TABLE>"),
              (Rows{{"a", "b"}, {"c", ""}}));
    // Blank, bold time and non-breaking space entity; line break tag vs. line break.
    EXPECT_EQ(TableCells("<tr><td> <b>08:15</b>&nbsp;</td><td>a<br>b\nc</td></tr>"),
              (Rows{{" 08:15&nbsp;", "ab\nc"}}));
    // No row at all: one empty cell, also after a grid that held more.
    EXPECT_EQ(TableCells("<table><td>x</td></table>"), (Rows{{""}}));
    // Two cells opened, none closed: the row stays empty.
    EXPECT_EQ(TableCells("<tr><td>a<td>b</tr>"), (Rows{{""}}));
    // A further "td" moves the start of an unclosed cell; "th" and "td" close each other.
    EXPECT_EQ(TableCells("<tr><td>a<th>b</td><th>c</TD></tr>"), (Rows{{"b", "c"}}));
    // A cell outside a row opens nothing; one closed after "/tr" still counts.
    EXPECT_EQ(TableCells("<td>x</td><tr><td>a</tr><td>b</td>x</td><tr></tr>"),
              (Rows{{"ab"}, {""}}));
    // A commented row is hidden; a comment without a blank after "!--" is a tag.
    EXPECT_EQ(TableCells("<tr><!-- <td>x</td></tr><tr> --><td>a</td></tr>"), (Rows{{"a"}}));
    EXPECT_EQ(TableCells("<tr><!--\n<td>x</td></tr><tr>--><td>a</td></tr>"), (Rows{{""}, {"a"}}));
    // A lone quote in a cell hides the tags after it up to the next quote.
    EXPECT_EQ(TableCells("<tr><td>5\" Zoll</td><td>b</td></tr><tr><td>\"</td></tr>"),
              (Rows{{"5\" Zollb\""}}));
    // A cell tag with a line break after its name opens no cell.
    EXPECT_EQ(TableCells("<tr><td\nclass=x>a</td><td>b</td></tr>"), (Rows{{"b"}}));
    // Nested tables give rows of their own in text order.
    EXPECT_EQ(TableCells("<tr><td>a<table><tr><td>b</td><td>c</td></tr></table></td></tr>"),
              (Rows{{"", ""}, {"b", "c"}}));
}

TEST(KvHtmlTable, FitColumnsOnlyWidensAndOnlyWhenAsked) {
    TStringGrid grid(4, 2, 0, 0);
    grid.DefaultColWidth = 32;
    grid.SetColWidth(0, 100);
    grid.SetColWidth(1, 200);
    const std::string html = "<tr><td>Hauptbahnhof</td><td>a</td><td>06:12</td></tr>";

    // GIVEN fit-columns off THEN column 0 keeps its width; the others are
    // made anew at the default width
    HtmlTableToGrid(html, grid, false, CharWidth);
    EXPECT_EQ(grid.ColWidth(0), 100);
    EXPECT_EQ(grid.ColWidth(1), 32);
    EXPECT_EQ(grid.ColWidth(2), 32);

    // GIVEN fit-columns on THEN only columns too narrow for a text are widened
    grid.SetColWidth(0, 50);
    HtmlTableToGrid(html, grid, true, CharWidth);
    EXPECT_EQ(grid.ColWidth(0), 84);
    EXPECT_EQ(grid.ColWidth(1), 32);
    EXPECT_EQ(grid.ColWidth(2), 35);
    grid.SetColWidth(0, 100);
    HtmlTableToGrid(html, grid, true, CharWidth);
    EXPECT_EQ(grid.ColWidth(0), 100);
    EXPECT_EQ(Cells(grid), (Rows{{"Hauptbahnhof", "a", "06:12"}}));
}

TEST(KvHtmlTable, RefusesATableFarBeyondAnyTimetable) {
    // GIVEN 2001 rows and one row of 1000 cells: a few kilobytes of text, but
    // over two million cells once the grid is rectangular
    std::string html;
    for (int r = 0; r < 2000; ++r)
        html += "<tr>";
    html += "<tr>";
    for (int c = 0; c < 1000; ++c)
        html += "<td></td>";
    TStringGrid grid(2, 2, 0, 0);
    grid.SetCell(1, 1, "alt");
    EXPECT_THROW(HtmlTableToGrid(html, grid, true, CharWidth), TaktonError);
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.Cell(1, 1), "alt");

    // One row fewer fits.
    html.erase(0, 4);
    HtmlTableToGrid(html, grid, false);
    EXPECT_EQ(grid.RowCount(), 2000);
    EXPECT_EQ(grid.ColCount(), 1000);
}

TEST(KvHtmlTable, GivesTheGridOfTheStepByStepRulesOnOddInput) {
    std::mt19937 random(20261209);
    for (int i = 0; i < 3000; ++i) {
        const std::string html = RandomHtml(random);
        TStringGrid fast(2, 2, 0, 0);
        TStringGrid steps(2, 2, 0, 0);
        fast.SetColWidth(0, 3);
        steps.SetColWidth(0, 3);
        HtmlTableToGrid(html, fast, true, CharWidth);
        TableToGridStepByStep(html, steps, true, CharWidth);
        ASSERT_EQ(Cells(fast), Cells(steps)) << html;
        for (int c = 0; c < fast.ColCount(); ++c)
            ASSERT_EQ(fast.ColWidth(c), steps.ColWidth(c)) << html;
    }
}
