#include "util/text_order.h"

#include <gtest/gtest.h>

using namespace takton;

TEST(TextOrder, SortsGermanNamesWithoutRegardToCase) {
    // GIVEN names with umlauts and mixed case
    std::vector<std::string> names = {"Zoo", "\xD6lm\xFChle", "apfelweg", "Bahnhof", "Oberdorf",
                                      "\xE4ppelallee", "Apfelweg", "berg"};
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
