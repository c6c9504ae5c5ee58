#include "core/calendar/ics_reader.h"
#include "core/util/error.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace takton;
using namespace takton::calendar;

namespace {

std::string ReadSample(const std::string &name) {
    std::ifstream in(std::string(TAKTON_TEST_DATA) + "/ics/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Vcal(const std::string &events) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//DE\r\n" + events + "END:VCALENDAR\r\n";
}

} // namespace

TEST(IcsReader, ReadsTheAllDayEventsOfAPublishedSchoolHolidayCalendar) {
    const auto periods = ReadSchoolHolidaysIcs(ReadSample("schulferien_sachsen_2026.ics"));
    ASSERT_EQ(periods.size(), 6U);
    // The end of an all-day event is the day after its last
    EXPECT_EQ(DateRangeText(periods[0].Dates), "2026-02-09..2026-02-21");
    EXPECT_EQ(periods[0].Name, "Winterferien Sachsen 2026");
    EXPECT_EQ(DateRangeText(periods[2].Dates), "2026-05-15") << "no end: one day";
    EXPECT_EQ(DateRangeText(periods[5].Dates), "2026-12-23..2027-01-02");
    EXPECT_EQ(periods[5].Name, "Weihnachtsferien Sachsen 2026/2027") << "a folded line joined";

    // Events with a time of day count for every day they touch
    const auto timed = ReadSchoolHolidaysIcs(
        Vcal("BEGIN:VEVENT\r\nDTSTART:20261012T080000\r\nDTEND:20261014T120000\r\n"
             "SUMMARY:Herbst \xc3\xbc\r\nEND:VEVENT\r\n"
             "BEGIN:VEVENT\r\nDTSTART:20261101T000000\r\nDTEND:20261103T000000\r\nEND:VEVENT\r\n"));
    ASSERT_EQ(timed.size(), 2U);
    EXPECT_EQ(DateRangeText(timed[0].Dates), "2026-10-12..2026-10-14");
    EXPECT_EQ(timed[0].Name, "Herbst \xfc") << "UTF-8 summary as cp1252";
    EXPECT_EQ(DateRangeText(timed[1].Dates), "2026-11-01..2026-11-02");

    // Merging keeps each period once, in date order
    const auto merged = MergeSchoolHolidays(timed, periods);
    EXPECT_EQ(merged.size(), 8U);
    EXPECT_EQ(MergeSchoolHolidays(merged, periods).size(), 8U);
    EXPECT_EQ(DateRangeText(merged.front().Dates), "2026-02-09..2026-02-21");
}

TEST(IcsReader, RefusesWhatIsNoCalendarWithAGermanMessage) {
    for (const std::string &text :
         {std::string("Ferien: 2026-10-12 bis 2026-10-24"), std::string(),
          std::string("BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n"),
          Vcal("BEGIN:VEVENT\r\nSUMMARY:ohne Datum\r\nEND:VEVENT\r\n"),
          Vcal("BEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20261340\r\nEND:VEVENT\r\n"),
          std::string("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:\r\n\0\xff", 40)}) {
        try {
            ReadSchoolHolidaysIcs(text);
            ADD_FAILURE() << "accepted: " << text;
        } catch (const TaktonError &e) {
            EXPECT_NE(std::string(e.what()).find("iCalendar"), std::string::npos) << e.what();
        }
    }
}
