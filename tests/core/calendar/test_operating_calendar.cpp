#include "core/calendar/operating_calendar.h"

#include <gtest/gtest.h>

using namespace takton;
using namespace takton::calendar;

namespace {

TDate D(const char *iso) {
    return *ParseIsoDate(iso);
}

std::vector<std::string> Texts(const std::vector<TDate> &dates) {
    std::vector<std::string> texts;
    for (const TDate date : dates)
        texts.push_back(IsoDateText(date));
    return texts;
}

constexpr TDaySet kMonFri = 0x1F, kSat = 0x20, kSun = 0x40;

// Saxony in December 2026: Christmas holidays from 23 December, Christmas
// Eve and New Year's Eve run as Saturday.
TOperatingDays Saxony() {
    TOperatingDays days;
    days.Land = "SN";
    days.SchoolHolidays.push_back({{D("2026-12-23"), D("2027-01-02")}, "Weihnachtsferien"});
    TSpecialDay asSaturday;
    asSaturday.Treatment = TDayTreatment::AsWeekday;
    asSaturday.Weekday = 5;
    asSaturday.Dates = {D("2026-12-24"), D("2026-12-24")};
    days.SpecialDays.push_back(asSaturday);
    asSaturday.Dates = {D("2026-12-31"), D("2026-12-31")};
    days.SpecialDays.push_back(asSaturday);
    return days;
}

} // namespace

TEST(OperatingCalendar, HolidaysRunAsSundaySpecialDaysAsTheyAreTold) {
    const TOperatingCalendar calendar(Saxony(), {D("2026-11-01"), D("2027-01-10")});
    const TDateRange december{D("2026-12-14"), D("2027-01-03")};
    // Monday to Friday: not on Christmas Day (Friday), Boxing Day is a
    // Saturday, not on the days run as Saturday, not on New Year's Day
    EXPECT_EQ(Texts(JourneyRunDates(calendar, kMonFri, nullptr, december)),
              (std::vector<std::string>{"2026-12-14", "2026-12-15", "2026-12-16", "2026-12-17",
                                        "2026-12-18", "2026-12-21", "2026-12-22", "2026-12-23",
                                        "2026-12-28", "2026-12-29", "2026-12-30"}));
    EXPECT_EQ(Texts(JourneyRunDates(calendar, kSat, nullptr, december)),
              (std::vector<std::string>{"2026-12-19", "2026-12-24", "2026-12-31", "2027-01-02"}))
        << "Boxing Day on a Saturday is a holiday, so it runs as Sunday";
    EXPECT_EQ(Texts(JourneyRunDates(calendar, kSun, nullptr, december)),
              (std::vector<std::string>{"2026-12-20", "2026-12-25", "2026-12-26", "2026-12-27",
                                        "2027-01-01", "2027-01-03"}));
    // Buß- und Bettag is a Saxon holiday (a Wednesday)
    EXPECT_TRUE(calendar.IsHoliday(D("2026-11-18")));
    EXPECT_EQ(calendar.ServiceWeekday(D("2026-11-18")), 6);
    EXPECT_EQ(calendar.HolidayName(D("2026-11-18")), "Bu\xdf- und Bettag");
    // Outside the period nothing runs
    EXPECT_EQ(calendar.ServiceWeekday(D("2026-10-31")), -1);
    EXPECT_FALSE(JourneyRuns(calendar, 0x7F, nullptr, D("2027-01-11")));

    // A later special day beats an earlier one and the holiday rule:
    // "usual" on a holiday runs its own weekday, "none" runs nothing
    TOperatingDays days = Saxony();
    TSpecialDay usual;
    usual.Dates = {D("2026-12-25"), D("2026-12-25")};
    days.SpecialDays.push_back(usual);
    TSpecialDay none;
    none.Treatment = TDayTreatment::NoService;
    none.Dates = {D("2026-12-28"), D("2026-12-29")};
    days.SpecialDays.push_back(none);
    days.ExtraHolidays.push_back({D("2026-12-30"), D("2026-12-30")});
    const TOperatingCalendar changed(days, {D("2026-12-01"), D("2026-12-31")});
    EXPECT_EQ(changed.ServiceWeekday(D("2026-12-25")), 4);
    EXPECT_EQ(changed.ServiceWeekday(D("2026-12-28")), -1);
    EXPECT_EQ(changed.ServiceWeekday(D("2026-12-30")), 6) << "an added holiday runs as Sunday";
    EXPECT_TRUE(changed.IsHoliday(D("2026-12-30")));
}

TEST(OperatingCalendar, FootnotesNarrowOrWidenTheDaysOfTheirJourneys) {
    TOperatingDays days = Saxony();
    days.SchoolHolidays.push_back({{D("2026-10-12"), D("2026-10-24")}, "Herbstferien"});
    const TOperatingCalendar calendar(days, {D("2026-10-01"), D("2026-12-31")});
    const TDateRange october{D("2026-10-05"), D("2026-11-01")};

    TFootnote school{"S", "nur an Schultagen", TFootnoteDays::SchoolDays, {}, {}, {}};
    const auto schoolDays = Texts(JourneyRunDates(calendar, kMonFri, &school, october));
    // Not in the autumn holidays, not on Reformation Day (a Saturday anyway)
    EXPECT_EQ(schoolDays,
              (std::vector<std::string>{"2026-10-05", "2026-10-06", "2026-10-07", "2026-10-08",
                                        "2026-10-09", "2026-10-26", "2026-10-27", "2026-10-28",
                                        "2026-10-29", "2026-10-30"}));
    EXPECT_TRUE(JourneyRunDates(calendar, kSat, &school, october).empty())
        << "a Saturday is no school day";

    TFootnote holidays{"F", "nur an Ferientagen", TFootnoteDays::SchoolHolidays, {}, {}, {}};
    EXPECT_EQ(JourneyRunDates(calendar, kMonFri, &holidays, october).size(), 10U);

    // "nicht am" beats everything, "auch am" adds days outside the day group
    TFootnote plus{"a",
                   "",
                   TFootnoteDays::All,
                   {{D("2026-10-06"), D("2026-10-07")}},
                   {{D("2026-10-10"), D("2026-10-10")}, {D("2026-10-06"), D("2026-10-06")}},
                   {}};
    const auto week =
        Texts(JourneyRunDates(calendar, kMonFri, &plus, {D("2026-10-05"), D("2026-10-11")}));
    EXPECT_EQ(week,
              (std::vector<std::string>{"2026-10-05", "2026-10-08", "2026-10-09", "2026-10-10"}));
    // "nur am" runs on its dates alone, whatever the day group says
    TFootnote only{"b",
                   "",
                   TFootnoteDays::SchoolDays,
                   {{D("2026-12-25"), D("2026-12-25")}},
                   {},
                   {{D("2026-12-24"), D("2026-12-26")}}};
    EXPECT_EQ(Texts(JourneyRunDates(calendar, kMonFri, &only, {D("2026-12-01"), D("2026-12-31")})),
              (std::vector<std::string>{"2026-12-24", "2026-12-26"}));
    // A night journey runs on its operating days, 24 hours later by the clock
    EXPECT_EQ(RunMinutes(10, true), 1450);
    EXPECT_EQ(RunMinutes(10, false), 10);
}

TEST(OperatingCalendar, TheValidityPeriodComesFromThePublishingData) {
    TPublishing publishing;
    EXPECT_FALSE(ValidityPeriod(publishing));
    publishing.FirstDate = "20261213";
    publishing.LastDate = "20271211";
    const auto period = ValidityPeriod(publishing);
    ASSERT_TRUE(period);
    EXPECT_EQ(period->Last.Day - period->First.Day, 363);
    publishing.LastDate = "20261212";
    EXPECT_FALSE(ValidityPeriod(publishing)) << "backwards";
    publishing.LastDate = "20270229";
    EXPECT_FALSE(ValidityPeriod(publishing)) << "a day that does not exist";
}
