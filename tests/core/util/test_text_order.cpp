#include "core/util/text_order.h"

#include <gtest/gtest.h>

using namespace takton;

TEST(TextOrder, SortsGermanNamesWithoutRegardToCase) {
    // GIVEN names with umlauts and mixed case
    std::vector<std::string> names = {"Zoo",      "\xD6lm\xFChle", "apfelweg", "Bahnhof",
                                      "Oberdorf", "\xE4ppelallee", "Apfelweg", "berg"};
    // WHEN they are sorted in the German locale
    SortTextList(names);
    // THEN umlauts sort with their base letter, case does not count, equal
    // names keep their order
    const std::vector<std::string> expected = {"apfelweg", "Apfelweg", "\xE4ppelallee", "Bahnhof",
                                               "berg",     "Oberdorf", "\xD6lm\xFChle", "Zoo"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(CompareTextLocale("BERG", "berg"), 0);
    EXPECT_LT(CompareTextLocale("Berg", "Bergheim"), 0);
    EXPECT_EQ(UserLocaleName(), "de_DE");
}

TEST(TextOrder, LinesSortNaturallyByTheValueOfTheirNumbers) {
    std::vector<std::string> lines = {"10", "N 5", "2", "S 12", "1", "s 3", "N 10", "Bus"};
    SortTextListNatural(lines);
    const std::vector<std::string> expected = {"1", "2", "10", "Bus", "N 5", "N 10", "s 3", "S 12"};
    EXPECT_EQ(lines, expected);
    EXPECT_LT(CompareTextNatural("2", "10"), 0);
    EXPECT_EQ(CompareTextNatural("n 5", "N 5"), 0);
    // The plain order stays alphabetical: "10" before "2"
    std::vector<std::string> plain = {"2", "10"};
    SortTextList(plain);
    EXPECT_EQ(plain, (std::vector<std::string>{"10", "2"}));
}
