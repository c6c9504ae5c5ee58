// The feed export's services against the project's operating days: every
// trip runs on exactly the operating days the calendar rule gives its
// journey, as a feed reader expands calendar.txt and calendar_dates.txt.

#include "core/calendar/ics_reader.h"
#include "core/calendar/journey_days.h"
#include "core/gtfs/feed_reader.h"
#include "core/gtfs/gtfs_export.h"
#include "core/model/footnotes.h"
#include "core/model/timetable_file.h"
#include "core/util/error.h"
#include "support/feed_project.h"
#include "support/temp_dir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sstream>

using namespace takton;
using namespace takton::testing;

namespace {

TDate D(const char *iso) {
    return *ParseIsoDate(iso);
}

// The dates of each service as a feed reader gives them.
std::map<std::string, std::set<std::string>>
ExpandServices(const std::map<std::string, std::string> &files) {
    std::map<std::string, std::set<std::string>> dates;
    const TCsvTable calendar = ParseCsv(files.at("calendar.txt"));
    const char *weekdays[] = {"monday", "tuesday",  "wednesday", "thursday",
                              "friday", "saturday", "sunday"};
    for (std::size_t r = 0; r < calendar.Rows.size(); ++r) {
        auto &set = dates[calendar.Get(r, "service_id")];
        const TDate last = *ParseCompactDate(calendar.Get(r, "end_date"));
        for (TDate day = *ParseCompactDate(calendar.Get(r, "start_date")); day <= last;
             day = day + 1)
            if (calendar.Get(r, weekdays[WeekdayOf(day)]) == "1")
                set.insert(CompactDateText(day));
    }
    if (files.contains("calendar_dates.txt")) {
        const TCsvTable exceptions = ParseCsv(files.at("calendar_dates.txt"));
        for (std::size_t r = 0; r < exceptions.Rows.size(); ++r) {
            auto &set = dates[exceptions.Get(r, "service_id")];
            if (exceptions.Get(r, "exception_type") == "1")
                EXPECT_TRUE(set.insert(exceptions.Get(r, "date")).second) << "added twice";
            else
                EXPECT_EQ(set.erase(exceptions.Get(r, "date")), 1U) << "removed what is not there";
        }
    }
    return dates;
}

// Saxony, a year from the December timetable change: school holidays from
// the Land's calendar file, Christmas Eve and New Year's Eve as Saturday.
TPrjParams CalendarParams() {
    TPrjParams params = FeedProjectParams();
    params.Publishing.FirstDate = "20261213";
    params.Publishing.LastDate = "20271211";
    params.Calendar.Land = "SN";
    std::ifstream in(std::string(TAKTON_SOURCE_DIR) +
                         "/tests/data/ics/schulferien_sachsen_2026.ics",
                     std::ios::binary);
    std::stringstream ics;
    ics << in.rdbuf();
    params.Calendar.SchoolHolidays = calendar::ReadSchoolHolidaysIcs(ics.str());
    params.Calendar.SchoolHolidays.push_back({{D("2027-02-15"), D("2027-02-26")}, "Winter"});
    params.Calendar.SchoolHolidays.push_back({{D("2027-07-10"), D("2027-08-20")}, "Sommer"});
    for (const char *day : {"2026-12-24", "2026-12-31"}) {
        TSpecialDay special;
        special.Treatment = TDayTreatment::AsWeekday;
        special.Weekday = 5;
        special.Dates = {D(day), D(day)};
        params.Calendar.SpecialDays.push_back(special);
    }
    return params;
}

void WriteCalendarProject(const TempDir &dir) {
    WriteFeedProject(dir.Path(), {40, 4, 6, 9});
    SaveFootnotes(dir.Path(), {{"S", "nur an Schultagen", TFootnoteDays::SchoolDays, {}, {}, {}},
                               {"F",
                                "nur in den Ferien",
                                TFootnoteDays::SchoolHolidays,
                                {{D("2027-08-02"), D("2027-08-06")}},
                                {},
                                {}},
                               {"x",
                                "auch am 2. Januar",
                                TFootnoteDays::All,
                                {},
                                {{D("2027-01-02"), D("2027-01-02")}},
                                {}},
                               {"o",
                                "nur vor Weihnachten",
                                TFootnoteDays::All,
                                {},
                                {},
                                {{D("2026-12-21"), D("2026-12-23")}}}});
    // Footnotes on journeys of every line, and night journeys on Saturday
    const char *symbols[] = {"S", "F", "x", "o"};
    for (int l = 1; l <= 4; ++l) {
        TTimetableFile file(TimetablePath(dir.Path(), "L" + std::to_string(l)));
        TJourneyMarkList marks(9);
        for (int j = 0; j < 9; j += 3)
            marks[static_cast<std::size_t>(j)].Footnote = symbols[(j / 3 + l) % 4];
        file.WriteJourneyMarks("1_Mo-Fr", marks);
        TJourneyMarkList nights(2);
        nights[1].PreviousDayNight = true;
        file.WriteJourneyMarks("2_Sa", nights);
        file.Save();
    }
}

} // namespace

TEST(GtfsCalendar, EveryTripRunsOnExactlyTheDatesOfItsJourney) {
    TempDir dir;
    WriteCalendarProject(dir);
    const TPrjParams params = CalendarParams();
    const auto report = gtfs::ExportGtfs(dir.Path(), params, dir.File("feed.zip"));
    const auto files = ReadZip(dir.File("feed.zip"));
    EXPECT_EQ(ValidateFeed(files), std::vector<std::string>{});
    ASSERT_TRUE(files.contains("calendar_dates.txt"));
    const auto services = ExpandServices(files);

    const TCsvTable trips = ParseCsv(files.at("trips.txt"));
    const TDateRange validity{D("2026-12-13"), D("2027-12-11")};
    std::set<std::string> serviceIds;
    std::size_t checked = 0, footnoted = 0;
    for (std::size_t r = 0; r < trips.Rows.size(); ++r) {
        // "l1_1_mo-fr_4": line, direction, day group, journey
        const std::string id = trips.Get(r, "trip_id");
        std::vector<std::string> parts;
        std::stringstream split(id);
        for (std::string part; std::getline(split, part, '_');)
            parts.push_back(part);
        ASSERT_EQ(parts.size(), 4U) << id;
        const std::string group = parts[2] == "mo-fr" ? "Mo-Fr" : parts[2] == "sa" ? "Sa" : "So";
        const auto days =
            calendar::ReadJourneyDays(dir.Path(), params, "L" + parts[0].substr(1),
                                      std::stoi(parts[1]), group, std::stoi(parts[3]));
        std::set<std::string> expected;
        for (const TDate date : calendar::JourneyRunDates(params, days, validity))
            expected.insert(CompactDateText(date));
        const std::string service = trips.Get(r, "service_id");
        serviceIds.insert(service);
        EXPECT_EQ(services.at(service), expected) << id << " on " << service;
        ++checked;
        footnoted += days.Footnote.has_value();
    }
    EXPECT_EQ(checked, trips.Rows.size());
    EXPECT_GT(footnoted, 8U);
    // One service per distinct pattern: three day groups and four footnotes
    // on weekday journeys
    EXPECT_EQ(serviceIds.size(), 7U);
    EXPECT_EQ(ParseCsv(files.at("calendar.txt")).Rows.size(), 7U);

    // Spot checks against the calendar on the wall: Christmas Day runs the
    // Sunday timetable, Christmas Eve the Saturday one, the school-day
    // journeys not in the Christmas holidays
    EXPECT_TRUE(services.at("so").contains("20261225"));
    EXPECT_FALSE(services.at("mo-fr").contains("20261224"));
    EXPECT_TRUE(services.at("sa").contains("20261224"));
    EXPECT_TRUE(services.at("mo-fr").contains("20261223"));
    EXPECT_FALSE(services.at("mo-fr-s").contains("20261223"));
    EXPECT_TRUE(services.at("mo-fr-s").contains("20270104"));
    EXPECT_FALSE(services.at("mo-fr-s").contains("20271031")) << "Reformationstag, a Sunday anyway";
    EXPECT_EQ(services.at("mo-fr-o"), (std::set<std::string>{"20261221", "20261222", "20261223"}));

    // A Saturday night journey after midnight: 24:xx on Saturday's service
    const TCsvTable times = ParseCsv(files.at("stop_times.txt"));
    bool night = false;
    for (std::size_t r = 0; r < times.Rows.size(); ++r)
        if (times.Get(r, "trip_id") == "l1_2_sa_2" && times.Get(r, "stop_sequence") == "1") {
            EXPECT_EQ(times.Get(r, "departure_time").substr(0, 2), "29") << "05:xx + 24 hours";
            night = true;
        }
    EXPECT_TRUE(night);
    EXPECT_EQ(report.Trips, trips.Rows.size());
}

TEST(GtfsCalendar, AFootnoteTheProjectLacksStopsTheExportAndWritesNothing) {
    TempDir dir;
    WriteCalendarProject(dir);
    TTimetableFile file(TimetablePath(dir.Path(), "L2"));
    TJourneyMarkList marks(1);
    marks[0].Footnote = "?";
    file.WriteJourneyMarks("1_So", marks);
    file.Save();
    try {
        gtfs::ExportGtfs(dir.Path(), CalendarParams(), dir.File("feed.zip"));
        ADD_FAILURE() << "exported";
    } catch (const TaktonError &e) {
        EXPECT_NE(std::string(e.what()).find("Fahrt 1"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(dir.Read("feed.zip"));
}
