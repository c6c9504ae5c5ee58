#include "core/model/list_text.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace takton;
using takton::testing::TempDir;

TEST(ListText, LoadsLinesAtEveryKindOfLineEnd) {
    EXPECT_EQ(SplitTextLines("A\r\nB\rC\nD"), (TStringList{"A", "B", "C", "D"}));
    EXPECT_EQ(SplitTextLines("A\r\n"), (TStringList{"A"}));
    EXPECT_EQ(SplitTextLines("A\n\r\n"), (TStringList{"A", ""})) << "LF then CR LF: two lines";
    EXPECT_EQ(SplitTextLines("\r\n"), (TStringList{""}));
    EXPECT_TRUE(SplitTextLines("").empty());
}

TEST(ListText, SavesEveryItemWithCrLfAndReadsMissingFilesAsEmpty) {
    TempDir dir;
    EXPECT_TRUE(LoadTextList(dir.File("stations.csv")).empty());
    SaveTextList(dir.File("stations.csv"), {"Markt", "",
                                            "S\xFC"
                                            "d"});
    EXPECT_EQ(dir.Read("stations.csv"), "Markt\r\n\r\nS\xFC"
                                        "d\r\n");
    EXPECT_EQ(LoadTextList(dir.File("stations.csv")), (TStringList{"Markt", "",
                                                                   "S\xFC"
                                                                   "d"}));
    SaveTextList(dir.File("stations.csv"), {});
    EXPECT_EQ(dir.Read("stations.csv"), "");
}

TEST(ListText, FindsItemsAndEntriesWithoutRegardToCase) {
    const TStringList entries = {"ohne Gleich", "M\xFChle=1,2", "m\xDCHLE=3", "Berg=4"};
    EXPECT_EQ(EntryName("Berg=4=5"), "Berg");
    EXPECT_EQ(EntryValue("Berg=4=5"), "4=5");
    EXPECT_FALSE(HasEntryName("ohne Gleich"));
    EXPECT_EQ(IndexOfName(entries, "M\xDCHLE"), 1) << "umlauts fold, first match wins";
    EXPECT_EQ(IndexOfName(entries, "ohne Gleich"), -1) << "no name without =";
    EXPECT_EQ(IndexOfName(entries, "Bergheim"), -1);
    EXPECT_EQ(IndexOfItem(entries, "BERG=4"), 3);
    EXPECT_EQ(IndexOfItem(entries, "Berg"), -1);
}

TEST(ListText, JoinsAndSplitsWithQuotesWhereNeeded) {
    // GIVEN a plain name, one with a blank and one with quotes in it
    const TStringList route = {"A", "Haupt Bahnhof", "\"B\""};
    // WHEN joined THEN only the latter two are quoted, inner quotes doubled
    EXPECT_EQ(JoinList(route), "A,\"Haupt Bahnhof\",\"\"\"B\"\"\"");
    EXPECT_EQ(SplitList(JoinList(route)), route);

    EXPECT_EQ(JoinList({}), "");
    EXPECT_EQ(JoinList({""}), "\"\"");
    EXPECT_EQ(JoinList({"a", "", "b"}), "a,,b");
    EXPECT_EQ(JoinList({"a,b", "tab\there"}), "\"a,b\",\"tab\there\"");
    for (const TStringList &list :
         {TStringList{}, TStringList{""}, TStringList{"a", "", "b"}, TStringList{"", ""},
          TStringList{"a", ""}, TStringList{"x\"y", " z "}})
        EXPECT_EQ(SplitList(JoinList(list)), list) << JoinList(list);
}

TEST(ListText, SplitsHandEditedTextByTheReadingRule) {
    EXPECT_EQ(SplitList("Haupt Bahnhof,Markt"), (TStringList{"Haupt", "Bahnhof", "Markt"}));
    EXPECT_EQ(SplitList("A,"), (TStringList{"A", ""})) << "trailing comma adds one empty item";
    EXPECT_EQ(SplitList("A, "), (TStringList{"A"})) << "a blank after it hides the comma's end";
    EXPECT_EQ(SplitList(","), (TStringList{"", ""}));
    EXPECT_EQ(SplitList("  A ,  B"), (TStringList{"A", "B"}));
    EXPECT_EQ(SplitList("\"A\"B,C"), (TStringList{"A", "B", "C"}));
    EXPECT_EQ(SplitList("\"offen, bis Ende"), (TStringList{"offen, bis Ende"}));
    EXPECT_EQ(SplitList("\"\""), (TStringList{""}));
    EXPECT_EQ(SplitList("\xC4rger,\xFC"), (TStringList{"\xC4rger", "\xFC"}))
        << "high bytes are no blanks";
    EXPECT_TRUE(SplitList("").empty());
    EXPECT_TRUE(SplitList(" \t ").empty());
}
