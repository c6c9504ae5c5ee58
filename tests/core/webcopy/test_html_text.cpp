#include "core/util/cp1252.h"
#include "core/webcopy/html_entity_table.h"
#include "core/webcopy/html_text.h"

#include <gtest/gtest.h>
#include <string_view>

using namespace takton;

TEST(HtmlText, DecodesNamedAndNumericReferences) {
    EXPECT_EQ(DecodeHtmlReferences("Gleis&nbsp;2 &amp; 3"), "Gleis\xA0"
                                                            "2 & 3");
    EXPECT_EQ(DecodeHtmlReferences("M&ouml;hlenweg &#246; &#xF6; &#XD6;"),
              Cp1252("Möhlenweg ö ö Ö"));
    // Named references of HTML beyond the old Latin-1 set, as far as cp1252
    // holds them; 128-159 stand for the cp1252 characters of those bytes.
    EXPECT_EQ(DecodeHtmlReferences("&euro;&ndash;&hellip;&rsquo;&Scaron;&#128;&#x9F;"),
              Cp1252("€–…’Š€Ÿ"));
    EXPECT_EQ(DecodeHtmlReferences("&quot;&lt;td&gt;&apos;&fjlig;"), "\"<td>'fj");
    // Without ";": legacy names and numbers are still read, the longest
    // legacy name that fits; other names are not.
    EXPECT_EQ(DecodeHtmlReferences("&nbsp08:10 &amp &notin &notit &#246x"), "\xA0"
                                                                            "08:10 & \xAC"
                                                                            "in \xAC"
                                                                            "it \xF6x");
    EXPECT_EQ(DecodeHtmlReferences("&euro &ndash"), "&euro &ndash");
    // What is no reference stays, and so do names of characters that cp1252
    // cannot hold; such a character given by number becomes "?".
    EXPECT_EQ(DecodeHtmlReferences("a & b &; &# &#x; &unknown; &"), "a & b &; &# &#x; &unknown; &");
    EXPECT_EQ(DecodeHtmlReferences("&rarr; &#8594; &#0; &#x1F68C; &#99999999999;"),
              "&rarr; ? ? ? ?");
    EXPECT_EQ(DecodeHtmlReferences("&AMP;amp;"), "&amp;");
    EXPECT_EQ(DecodeHtmlReferences(""), "");
}

TEST(HtmlText, EntityTableIsSortedForItsSearch) {
    ASSERT_GT(kHtmlEntityCount, 250u);
    for (std::size_t i = 1; i < kHtmlEntityCount; ++i)
        EXPECT_LT(kHtmlEntities[i - 1].Name, kHtmlEntities[i].Name) << kHtmlEntities[i].Name;
}

TEST(HtmlText, WebCellTextTrimsBlanksAndNonBreakingSpaces) {
    EXPECT_EQ(WebCellText("\n      08:15&nbsp;"), "08:15");
    EXPECT_EQ(WebCellText(" &nbsp; \xA0\t\r\n&#160;"), "");
    EXPECT_EQ(WebCellText("Am Markt,\nSteig&nbsp;2 "), "Am Markt,\nSteig\xA0"
                                                       "2");
    EXPECT_EQ(WebCellText("Br&uuml;cke &amp;nbsp;"), Cp1252("Brücke &nbsp;"));
    EXPECT_EQ(WebCellText(""), "");
}

TEST(HtmlText, TellsHtmlFromTabSeparatedCells) {
    EXPECT_TRUE(IsHtmlText("<body><table></table></body>"));
    EXPECT_TRUE(IsHtmlText("\xEF\xBB\xBF\r\n  <!DOCTYPE html><html>"));
    EXPECT_TRUE(IsHtmlText("<TABLE><tr><td>x"));
    EXPECT_TRUE(IsHtmlText("<?xml version=\"1.0\"?><html>"));
    EXPECT_TRUE(IsHtmlText("</td><td>08:10"));
    EXPECT_FALSE(IsHtmlText("Hauptbahnhof\t08:10\t08:40\n"));
    EXPECT_FALSE(IsHtmlText("08:10\t<b>\n"));
    EXPECT_FALSE(IsHtmlText("<5 Min\t08:10"));
    EXPECT_FALSE(IsHtmlText("< td>"));
    EXPECT_FALSE(IsHtmlText("<"));
    EXPECT_FALSE(IsHtmlText(""));
}
