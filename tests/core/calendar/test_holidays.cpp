#include "core/calendar/holidays.h"
#include "core/util/cp1252.h"

#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace takton;
using namespace takton::calendar;

namespace {

// The movable feasts of each year as the published calendars give them
// (Karfreitag, Ostersonntag, Ostermontag, Christi Himmelfahrt,
// Pfingstsonntag, Pfingstmontag, Fronleichnam, Buß- und Bettag).
struct TMovable {
    const char *GoodFriday, *Easter, *EasterMonday, *Ascension, *Whitsun, *WhitMonday,
        *CorpusChristi, *Repentance;
};
const std::map<int, TMovable> kMovable = {
    {2026, {"04-03", "04-05", "04-06", "05-14", "05-24", "05-25", "06-04", "11-18"}},
    {2027, {"03-26", "03-28", "03-29", "05-06", "05-16", "05-17", "05-27", "11-17"}},
    {2028, {"04-14", "04-16", "04-17", "05-25", "06-04", "06-05", "06-15", "11-22"}},
    {2029, {"03-30", "04-01", "04-02", "05-10", "05-20", "05-21", "05-31", "11-21"}},
    {2030, {"04-19", "04-21", "04-22", "05-30", "06-09", "06-10", "06-20", "11-20"}},
};

// What each Land keeps beyond the nine nationwide holidays, from the
// Länder's holiday acts.
const std::map<std::string, std::set<std::string>> kExtras = {
    {"BW", {"epiphany", "corpus", "allsaints"}},
    {"BY", {"epiphany", "corpus", "allsaints"}},
    {"BE", {"women"}},
    {"BB", {"easter", "whitsun", "reformation"}},
    {"HB", {"reformation"}},
    {"HH", {"reformation"}},
    {"HE", {"corpus"}},
    {"MV", {"women", "reformation"}},
    {"NI", {"reformation"}},
    {"NW", {"corpus", "allsaints"}},
    {"RP", {"corpus", "allsaints"}},
    {"SL", {"corpus", "assumption", "allsaints"}},
    {"SN", {"reformation", "repentance"}},
    {"ST", {"epiphany", "reformation"}},
    {"SH", {"reformation"}},
    {"TH", {"children", "reformation"}},
};

std::set<std::string> Expected(const std::string &land, int year) {
    const TMovable &m = kMovable.at(year);
    std::set<std::string> days = {"01-01",      m.GoodFriday, m.EasterMonday, "05-01", m.Ascension,
                                  m.WhitMonday, "10-03",      "12-25",        "12-26"};
    const std::map<std::string, std::string> extra = {
        {"epiphany", "01-06"},       {"women", "03-08"},          {"easter", m.Easter},
        {"whitsun", m.Whitsun},      {"corpus", m.CorpusChristi}, {"assumption", "08-15"},
        {"children", "09-20"},       {"reformation", "10-31"},    {"allsaints", "11-01"},
        {"repentance", m.Repentance}};
    for (const auto &name : kExtras.at(land))
        days.insert(extra.at(name));
    std::set<std::string> dated;
    for (const auto &day : days)
        dated.insert(std::to_string(year) + "-" + day);
    return dated;
}

} // namespace

TEST(Holidays, EveryLandFrom2026To2030AsItsHolidayActLists) {
    ASSERT_EQ(Laender().size(), 16U);
    for (const TLand &land : Laender()) {
        for (int year = 2026; year <= 2030; ++year) {
            std::set<std::string> got;
            std::vector<THoliday> holidays = PublicHolidays(land.Code, year);
            for (std::size_t i = 0; i < holidays.size(); ++i) {
                got.insert(IsoDateText(holidays[i].Date));
                if (i > 0) {
                    EXPECT_LT(holidays[i - 1].Date, holidays[i].Date) << land.Code << " in order";
                }
                EXPECT_FALSE(holidays[i].Name.empty());
            }
            EXPECT_EQ(got, Expected(land.Code, year)) << land.Code << " " << year;
            EXPECT_EQ(got.size(), holidays.size()) << land.Code << " each date once";
        }
    }
    // Names as a printed timetable shows them, and the Land names
    const auto saxony = PublicHolidays("SN", 2026);
    EXPECT_EQ(saxony[8].Name, Cp1252("Buß- und Bettag"));
    EXPECT_EQ(IsoDateText(saxony[8].Date), "2026-11-18");
    EXPECT_STREQ(FindLand("TH")->Name, Cp1252("Thüringen").c_str());
    EXPECT_EQ(FindLand("DE"), nullptr);
    EXPECT_EQ(FindLand("sn"), nullptr) << "codes are upper case";
    EXPECT_TRUE(PublicHolidays("XX", 2026).empty());
}

TEST(Holidays, EasterAndTheWednesdayBefore23NovemberAtTheirEdges) {
    // Easter Sunday falls between 22 March and 25 April
    EXPECT_EQ(IsoDateText(EasterSunday(1818)), "1818-03-22");
    EXPECT_EQ(IsoDateText(EasterSunday(2285)), "2285-03-22");
    EXPECT_EQ(IsoDateText(EasterSunday(1943)), "1943-04-25");
    EXPECT_EQ(IsoDateText(EasterSunday(2038)), "2038-04-25");
    EXPECT_EQ(IsoDateText(EasterSunday(2000)), "2000-04-23");
    EXPECT_EQ(IsoDateText(EasterSunday(2019)), "2019-04-21");
    // 23 November on a Wednesday: a whole week back; on a Thursday: the day before
    EXPECT_EQ(IsoDateText(RepentanceDay(2022)), "2022-11-16");
    EXPECT_EQ(IsoDateText(RepentanceDay(2028)), "2028-11-22");
    EXPECT_EQ(IsoDateText(RepentanceDay(2025)), "2025-11-19");
    for (int year = 2000; year < 2100; ++year) {
        const TDate day = RepentanceDay(year);
        EXPECT_EQ(WeekdayOf(day), 2);
        EXPECT_EQ(MonthOf(day), 11);
        EXPECT_GE(DayOfMonth(day), 16);
        EXPECT_LE(DayOfMonth(day), 22);
    }
    // Holidays of later acts are not given for the years before them
    auto has = [](const char *land, int year, const char *date) {
        for (const auto &h : PublicHolidays(land, year))
            if (IsoDateText(h.Date) == date)
                return true;
        return false;
    };
    EXPECT_FALSE(has("BE", 2018, "2018-03-08"));
    EXPECT_TRUE(has("BE", 2019, "2019-03-08"));
    EXPECT_FALSE(has("MV", 2022, "2022-03-08"));
    EXPECT_TRUE(has("MV", 2023, "2023-03-08"));
    EXPECT_FALSE(has("NI", 2017, "2017-10-31")) << "2017 was a one-off";
    EXPECT_TRUE(has("NI", 2018, "2018-10-31"));
    EXPECT_FALSE(has("TH", 2018, "2018-09-20"));
}
