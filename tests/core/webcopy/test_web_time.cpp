#include "core/webcopy/web_time.h"

#include <gtest/gtest.h>

using namespace takton;

TEST(WebTime, TwelveHourAndDottedTimesBecomeTimetableTimes) {
    EXPECT_EQ(TimetableTimeText("6.25pm"), "18:25");
    EXPECT_EQ(TimetableTimeText("11:10 am"), "11:10");
    EXPECT_EQ(TimetableTimeText("6.25"), "06:25");
    EXPECT_EQ(TimetableTimeText("06.25"), "06:25");
    EXPECT_EQ(TimetableTimeText("6:25"), "06:25");
    EXPECT_EQ(TimetableTimeText(" 6:25 Uhr\xA0"), "06:25");
    EXPECT_EQ(TimetableTimeText("12:05 AM"), "00:05");
    EXPECT_EQ(TimetableTimeText("12:30 p.m."), "12:30");
    EXPECT_EQ(TimetableTimeText("1.00P.M."), "13:00");
    EXPECT_EQ(TimetableTimeText("23:59"), "23:59");
    EXPECT_EQ(TimetableTimeText("0:00"), "00:00");

    // Everything else is taken as it is.
    for (const char *other :
         {"24:00", "13:10 pm", "0:10 am", "6:60", "6:5", "625", "06:25a", "6:25 Uhr x", "a20", "+5",
          "=3", "|", "", "Rathaus", "123:45", "6..25", "6:25pmx"})
        EXPECT_EQ(TimetableTimeText(other), other) << other;
}

TEST(WebTime, SeesTimesInCellSourceThroughTagsAndReferences) {
    EXPECT_TRUE(IsTimeLikeHtmlCell("08:15"));
    EXPECT_TRUE(IsTimeLikeHtmlCell("\n   <b>8.15</b>&nbsp;"));
    EXPECT_TRUE(IsTimeLikeHtmlCell("<span class=\"t\">6:25</span>&nbsp;<small>pm</small>"));
    EXPECT_TRUE(IsTimeLikeHtmlCell("11&#58;10 a.m."));
    EXPECT_TRUE(IsTimeLikeHtmlCell("&#160; 6:25 &nbsp; &nbsp; &nbsp; &nbsp; &nbsp; &nbsp; "));
    EXPECT_FALSE(IsTimeLikeHtmlCell("&nbsp;"));
    EXPECT_FALSE(IsTimeLikeHtmlCell(""));
    EXPECT_FALSE(IsTimeLikeHtmlCell("<a href=\"/h?id=1\">Lindenweg</a>"));
    EXPECT_FALSE(IsTimeLikeHtmlCell("08:15<br>08:45"));
    EXPECT_FALSE(IsTimeLikeHtmlCell("Fahrt 3"));
    EXPECT_FALSE(IsTimeLikeHtmlCell("06:22a"));
    // A "<" without ">" stays text, as the layout keeps it.
    EXPECT_FALSE(IsTimeLikeHtmlCell("08:15 <"));
}
