// The operating calendar where a planner waits for it:
//   - the feed export of the generated project with a footnote on every
//     third journey, against the same export without footnotes, in the same
//     run (the floor);
//   - the operating days of one journey over a year, as `takton-cli runs`
//     works them out (the calendar laid out, then each day asked).
//
//   bench_calendar           2,000 stations, 300 lines, 20 journeys a section
//   bench_calendar JOURNEYS  the same with JOURNEYS a section

#include "core/calendar/journey_days.h"
#include "core/gtfs/gtfs_export.h"
#include "core/model/footnotes.h"
#include "core/model/timetable_file.h"
#include "support/feed_project.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

using namespace takton;
using namespace takton::testing;

namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TDate D(const char *iso) {
    return *ParseIsoDate(iso);
}

// Saxony with its school holidays and two special days: the calendar both
// exports work with.
TPrjParams CalendarParams() {
    TPrjParams params = FeedProjectParams();
    params.Calendar.Land = "SN";
    for (const auto &[first, last] :
         {std::pair{"2027-02-15", "2027-02-26"}, std::pair{"2027-03-26", "2027-04-02"},
          std::pair{"2027-07-10", "2027-08-20"}, std::pair{"2027-10-11", "2027-10-23"},
          std::pair{"2027-12-23", "2027-12-31"}})
        params.Calendar.SchoolHolidays.push_back({{D(first), D(last)}, ""});
    TSpecialDay special;
    special.Treatment = TDayTreatment::AsWeekday;
    special.Weekday = 5;
    special.Dates = {D("2027-12-24"), D("2027-12-24")};
    params.Calendar.SpecialDays.push_back(special);
    return params;
}

double ExportSeconds(const TempDir &dir, const TPrjParams &params, std::size_t &trips) {
    const auto start = std::chrono::steady_clock::now();
    trips = gtfs::ExportGtfs(dir.Path(), params, dir.File("feed.zip")).Trips;
    return SecondsSince(start);
}

} // namespace

int main(int argc, char **argv) {
    TFeedProjectSize size;
    size.Journeys = argc > 1 ? std::atoi(argv[1]) : 20;
    TempDir plainDir, dir;
    WriteFeedProject(plainDir.Path(), size);
    WriteFeedProject(dir.Path(), size);
    const TPrjParams params = CalendarParams();
    std::size_t plainTrips = 0, markedTrips = 0;

    SaveFootnotes(dir.Path(),
                  {{"S", "nur an Schultagen", TFootnoteDays::SchoolDays, {}, {}, {}},
                   {"F", "nur in den Ferien", TFootnoteDays::SchoolHolidays, {}, {}, {}},
                   {"x",
                    "",
                    TFootnoteDays::All,
                    {{D("2027-12-31"), D("2027-12-31")}},
                    {{D("2027-12-27"), D("2027-12-27")}},
                    {}}});
    const char *symbols[] = {"S", "F", "x"};
    for (int l = 1; l <= size.Lines; ++l) {
        TTimetableFile file(TimetablePath(dir.Path(), "L" + std::to_string(l)));
        for (const auto &section : file.Sections()) {
            TJourneyMarkList marks(static_cast<std::size_t>(size.Journeys));
            // School days are Monday to Friday: "S" only where the journeys run then.
            const std::size_t kinds = section.ends_with("Mo-Fr") ? 3 : 2;
            for (std::size_t j = 0; j < marks.size(); j += 3)
                marks[j].Footnote =
                    symbols[3 - kinds + (j / 3 + static_cast<std::size_t>(l)) % kinds];
            file.WriteJourneyMarks(section, marks);
        }
        file.Save();
    }
    // Taken in turns, best of five each, so that a disturbance of the
    // machine does not fall on one side only.
    double plain = 1e9, marked = 1e9;
    for (int round = 0; round < 5; ++round) {
        plain = std::min(plain, ExportSeconds(plainDir, params, plainTrips));
        marked = std::min(marked, ExportSeconds(dir, params, markedTrips));
    }
    if (plainTrips != markedTrips)
        std::printf("  trips differ: %zu without footnotes\n", plainTrips);
    std::printf("bench_calendar: %d lines, %d journeys a section, %zu trips\n", size.Lines,
                size.Journeys, markedTrips);
    std::printf("  export, a footnote on every third journey  %7.3f s\n", marked);
    std::printf("  export without footnotes (the floor)       %7.3f s\n", plain);
    std::printf("  ratio %.2f (bound 1.20)\n", marked / plain);

    // One journey's days over a year, calendar included, many times over.
    calendar::TJourneyDays journey;
    journey.GroupDays = 0x1F;
    const TFootnoteList footnotes = LoadFootnotes(dir.Path());
    journey.Footnote = footnotes.front();
    const TDateRange year{D("2027-01-01"), D("2027-12-31")};
    constexpr int kRounds = 2000;
    std::size_t days = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kRounds; ++i)
        days += calendar::JourneyRunDates(params, journey, year).size();
    const double each = SecondsSince(start) / kRounds;
    std::printf("  runs over a year: %zu school days, %.1f us each (bound: well under 1 ms)\n",
                days / kRounds, each * 1e6);
    return marked / plain <= 1.2 ? 0 : 1;
}
