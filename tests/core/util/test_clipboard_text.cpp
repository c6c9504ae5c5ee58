#include "core/util/clipboard_text.h"

#include <gtest/gtest.h>

using namespace takton;

TEST(ClipboardText, ParsesSpreadsheetTabText) {
    EXPECT_EQ(ParseTabText("a\tb\r\nc\n"), (TTextBlock{{"a", "b"}, {"c"}}));
    // No last line end; empty cells stay.
    EXPECT_EQ(ParseTabText("\t\nx"), (TTextBlock{{"", ""}, {"x"}}));
    // A quoted cell holds tabs, line ends and doubled quotes; a quote inside
    // an unquoted cell is a plain character.
    EXPECT_EQ(ParseTabText("\"a\tb\nc \"\"d\"\"\"\tx\"y\n"),
              (TTextBlock{{"a\tb\nc \"d\"", "x\"y"}}));
    // An unclosed quote runs to the end.
    EXPECT_EQ(ParseTabText("\"a\tb"), (TTextBlock{{"a\tb"}}));
    EXPECT_EQ(ParseTabText("\n"), (TTextBlock{{""}}));
    EXPECT_TRUE(ParseTabText("").empty());
}

TEST(ClipboardText, QuotedCellsReadBackAsTheyWere) {
    TStringGrid grid(3, 2, 0, 0);
    const std::vector<std::vector<std::string>> cells{{"08:10", "a\tb", "sagt \"Halt\""},
                                                      {"", "x\ny", "\"\""}};
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 3; ++col)
            grid.SetCell(col, row,
                         cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)]);
    const std::string text = GridBlockTabText(grid, {0, 0, 2, 1});
    EXPECT_EQ(text, "08:10\t\"a\tb\"\t\"sagt \"\"Halt\"\"\"\n\t\"x\ny\"\t\"\"\"\"\"\"\n");
    EXPECT_EQ(ParseTabText(text), cells);
    EXPECT_EQ(GridBlockTabText(grid, {1, 1, 1, 1}), "\"x\ny\"\n");
}

TEST(ClipboardText, CsvQuotesCommasQuotesAndLineBreaks) {
    EXPECT_EQ(CsvField("08:10"), "08:10");
    EXPECT_EQ(CsvField("Am Markt, Steig 2"), "\"Am Markt, Steig 2\"");
    EXPECT_EQ(CsvField("Fahrt 3\r\n(Schule)"), "\"Fahrt 3\r\n(Schule)\"");
    EXPECT_EQ(CsvField("sagt \"Halt\""), "\"sagt \"\"Halt\"\"\"");
    EXPECT_EQ(CsvField("a\tb"), "a\tb");
    TStringGrid grid(2, 2, 0, 0);
    grid.SetCell(0, 0, "a,b");
    grid.SetCell(1, 1, "c");
    EXPECT_EQ(GridCsvText(grid), "\"a,b\",\r\n,c\r\n");
}
