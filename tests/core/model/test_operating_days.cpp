#include "core/model/calendar_date.h"
#include "core/model/footnotes.h"
#include "core/model/master_data.h"
#include "core/model/prj_load.h"
#include "core/model/prj_params.h"
#include "core/model/prj_save.h"
#include "core/model/timetable_edit.h"
#include "core/model/timetable_file.h"
#include "core/model/timetable_grid.h"
#include "core/util/error.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace takton;
using takton::testing::CrLf;
using takton::testing::TempDir;

namespace {

std::string RefusalOf(const std::function<void()> &action) {
    try {
        action();
    } catch (const TaktonError &e) {
        return e.what();
    }
    return {};
}

TDate D(const char *iso) {
    return *ParseIsoDate(iso);
}

} // namespace

TEST(CalendarDate, DatesAndListsAreReadExactlyOrRefused) {
    EXPECT_TRUE(ParseIsoDate("2028-02-29"));
    EXPECT_FALSE(ParseIsoDate("2027-02-29")) << "not a leap year";
    EXPECT_FALSE(ParseIsoDate("2026-13-01"));
    EXPECT_FALSE(ParseIsoDate("2026-1-01"));
    EXPECT_FALSE(ParseIsoDate("2026-01-1x"));
    EXPECT_EQ(IsoDateText(D("1970-01-01")), "1970-01-01");
    EXPECT_EQ(D("1970-01-01").Day, 0);
    EXPECT_EQ(WeekdayOf(D("2026-12-13")), 6) << "a Sunday";
    EXPECT_EQ(WeekdayOf(D("2026-12-14")), 0);
    EXPECT_EQ(CompactDateText(D("2026-03-08")), "20260308");
    EXPECT_EQ(ParseCompactDate("20260308"), D("2026-03-08"));
    EXPECT_FALSE(ParseCompactDate("20260230"));
    EXPECT_EQ(GermanDateText(D("2026-12-24")), "24.12.2026");

    const TDateList list = ParseDateList(" 2026-12-24, 2026-12-28..2026-12-31 ,,");
    ASSERT_EQ(list.size(), 2U);
    EXPECT_EQ(DateListText(list), "2026-12-24,2026-12-28..2026-12-31");
    EXPECT_TRUE(ListContains(list, D("2026-12-30")));
    EXPECT_FALSE(ListContains(list, D("2026-12-25")));
    EXPECT_TRUE(ParseDateList("").empty());
    EXPECT_NE(RefusalOf([] { ParseDateList("2026-12-31..2026-12-01"); }).find("endet vor"),
              std::string::npos);
    EXPECT_NE(RefusalOf([] { ParseDateList("2026-12-24,2027-02-29"); }).find("2027-02-29"),
              std::string::npos);
    EXPECT_EQ(DateListText(CompactDateList({D("2026-01-03"), D("2026-01-01"), D("2026-01-02"),
                                            D("2026-01-05"), D("2026-01-02")})),
              "2026-01-01..2026-01-03,2026-01-05");
}

TEST(OperatingDays, KeptInTheProjectFileAndLeftOutWhereAProjectHasNone) {
    TempDir dir;
    const std::string path = dir.File("p.zpr");
    TPrjParams params;
    SaveProjectFile(path, params);
    EXPECT_EQ(dir.Read("p.zpr")->find("[calendar]"), std::string::npos)
        << "a project without operating days keeps its file as before";

    params.Calendar.Land = "SN";
    params.Calendar.ExtraHolidays = {{D("2026-06-01"), D("2026-06-01")}};
    params.Calendar.SchoolHolidays = {{{D("2026-10-12"), D("2026-10-24")}, "Herbstferien"},
                                      {{D("2026-12-23"), D("2027-01-02")}, ""}};
    TSpecialDay special;
    ASSERT_TRUE(ParseTreatmentKey("as-saturday", special));
    special.Dates = {D("2026-12-24"), D("2026-12-24")};
    params.Calendar.SpecialDays = {special};
    ASSERT_TRUE(ParseTreatmentKey("none", special));
    special.Dates = {D("2026-12-31"), D("2027-01-01")};
    params.Calendar.SpecialDays.push_back(special);
    SaveProjectFile(path, params);
    const std::string text = *dir.Read("p.zpr");
    EXPECT_NE(text.find(CrLf({"[calendar]", "land=SN", "holidays=2026-06-01",
                              "school_holiday_1=2026-10-12..2026-10-24 Herbstferien",
                              "school_holiday_2=2026-12-23..2027-01-02",
                              "special_day_1=2026-12-24 as-saturday",
                              "special_day_2=2026-12-31..2027-01-01 none"})),
              std::string::npos)
        << text;
    TPrjParams loaded;
    LoadProjectFile(path, loaded);
    EXPECT_EQ(loaded.Calendar, params.Calendar);

    // Fewer entries leave no stale keys behind; none at all empty the section
    params.Calendar.SchoolHolidays.pop_back();
    SaveProjectFile(path, params);
    EXPECT_EQ(dir.Read("p.zpr")->find("school_holiday_2"), std::string::npos);
    params.Calendar = {};
    SaveProjectFile(path, params);
    LoadProjectFile(path, loaded);
    EXPECT_TRUE(loaded.Calendar.Empty());

    // A hand-edited section: what is not understood is left out
    dir.Write("q.zpr", CrLf({"[calendar]", "land=BY", "school_holiday_1=2026-02-30 x",
                             "special_day_1=2026-12-24 as-funday", "special_day_2=2026-12-31 usual",
                             "holidays=gestern"}));
    LoadProjectFile(dir.File("q.zpr"), loaded);
    EXPECT_EQ(loaded.Calendar.Land, "BY");
    EXPECT_TRUE(loaded.Calendar.SchoolHolidays.empty());
    EXPECT_TRUE(loaded.Calendar.ExtraHolidays.empty());
    ASSERT_EQ(loaded.Calendar.SpecialDays.size(), 1U);
    EXPECT_EQ(loaded.Calendar.SpecialDays[0].Treatment, TDayTreatment::Usual);
}

TEST(Footnotes, SavedReadBackAndRefusedWhenASymbolIsTakenTwice) {
    TempDir dir;
    TFootnoteList footnotes = {
        {"S",
         "nur an Schultagen",
         TFootnoteDays::SchoolDays,
         {{D("2026-12-22"), D("2026-12-22")}},
         {},
         {}},
        {"F", "nur in den Ferien", TFootnoteDays::SchoolHolidays, {}, {}, {}},
        {"x",
         "nur am 24.12.",
         TFootnoteDays::All,
         {},
         {{D("2026-12-27"), D("2026-12-27")}},
         {{D("2026-12-24"), D("2026-12-24")}}},
    };
    SaveFootnotes(dir.Path(), footnotes);
    EXPECT_EQ(LoadFootnotes(dir.Path()), footnotes);
    EXPECT_EQ(*dir.Read(std::string(kFootnotesFile)),
              CrLf({"[footnote_1]", "symbol=S", "text=nur an Schultagen", "days=school-days",
                    "not=2026-12-22", "[footnote_2]", "symbol=F", "text=nur in den Ferien",
                    "days=school-holidays", "[footnote_3]", "symbol=x", "text=nur am 24.12.",
                    "days=all", "also=2026-12-27", "only=2026-12-24"}));
    EXPECT_EQ(FootnoteRuleText(footnotes[0]), "nur an Schultagen, nicht am 22.12.2026");
    EXPECT_EQ(FootnoteRuleText(footnotes[2]), "nur am 24.12.2026");

    const std::string before = *dir.Read(std::string(kFootnotesFile));
    for (const char *symbol : {"S", "", "a b", "a,b", "a|b"}) {
        TFootnoteList changed = footnotes;
        changed.push_back({symbol, "", TFootnoteDays::All, {}, {}, {}});
        EXPECT_FALSE(RefusalOf([&] { SaveFootnotes(dir.Path(), changed); }).empty()) << symbol;
        EXPECT_EQ(*dir.Read(std::string(kFootnotesFile)), before) << "nothing written";
    }
    EXPECT_EQ(FindFootnote(footnotes, "F"), &footnotes[1]);
    EXPECT_EQ(FindFootnote(footnotes, "f"), nullptr) << "symbols are exact";
}

TEST(TimetableFile, JourneyMarksSurviveARewriteOfTheRowsAndOlderKeysDoNot) {
    TempDir dir;
    dir.Write("line_1.ttd", CrLf({"[1_Sa]", "1=A,23:50,00:10", "2=B,23:59,00:20", "note=x"}));
    TTimetableFile file(TimetablePath(dir.Path(), "1"));
    EXPECT_TRUE(file.ReadJourneyMarks("1_Sa").empty());
    TJourneyMarkList marks(3);
    marks[1] = {"S", true};
    marks[2].PreviousDayNight = true;
    file.WriteJourneyMarks("1_Sa", marks);
    file.Save();
    EXPECT_EQ(*dir.Read("line_1.ttd"), CrLf({"[1_Sa]", "1=A,23:50,00:10", "2=B,23:59,00:20",
                                             "note=x", "footnotes=,S", "nights=2,3"}));
    // A cascade rewriting the rows keeps the marks (and drops what it does not know)
    TTimetableFile again(TimetablePath(dir.Path(), "1"));
    again.WriteRows("1_Sa", {"A,23:50,00:10"});
    again.Save();
    EXPECT_EQ(*dir.Read("line_1.ttd"),
              CrLf({"[1_Sa]", "1=A,23:50,00:10", "footnotes=,S", "nights=2,3"}));
    TTimetableFile read(TimetablePath(dir.Path(), "1"));
    TJourneyMarkList expected(3);
    expected[1] = {"S", true};
    expected[2].PreviousDayNight = true;
    EXPECT_EQ(read.ReadJourneyMarks("1_Sa"), expected);
    EXPECT_EQ(read.ReadRows("1_Sa"), TTimetableRows{"A,23:50,00:10"}) << "marks are no rows";
    // No marks: the keys go
    read.WriteJourneyMarks("1_Sa", TJourneyMarkList(4));
    read.Save();
    EXPECT_EQ(*dir.Read("line_1.ttd"), CrLf({"[1_Sa]", "1=A,23:50,00:10"}));
}

TEST(TimetableFile, JourneyMarksGoWithTheirSectionWhenADayGroupIsRenamed) {
    TempDir dir;
    dir.Write("line_1.ttd", CrLf({"[1_Sa]", "1=A,23:50,00:10", "footnotes=S", "nights=2", "[2_Sa]",
                                  "1=A,08:00"}));
    CascadeRenameDayGroup(dir.Path(), "Sa", "Samstag");
    EXPECT_EQ(*dir.Read("line_1.ttd"), CrLf({"[1_Samstag]", "1=A,23:50,00:10", "footnotes=S",
                                             "nights=2", "[2_Samstag]", "1=A,08:00"}));
}

TEST(TimetableGrid, JourneyMarksMoveWithTheirJourneys) {
    TStringGrid grid(6, 4, 2, 2);
    // Three journeys: 23:00, 05:00 (a night journey of the day before), 06:00
    const char *times[] = {"23:00", "05:00", "06:00"};
    for (int j = 0; j < 3; ++j) {
        grid.SetCell(kFirstJourneyCol + j, 2, times[j]);
        grid.SetCell(kFirstJourneyCol + j, 3, times[j]);
    }
    TJourneyMarkList marks(3);
    marks[0].Footnote = "S";
    marks[1] = {"F", true};
    PutJourneyMarks(grid, marks);
    EXPECT_EQ(grid.Cell(3, kJourneyMarksRow), "F|N");
    marks.pop_back();
    EXPECT_EQ(JourneyMarksOfGrid(grid), marks) << "read up to the last journey with marks";

    // Sorted by departure, the night journey runs after the evening one
    ASSERT_TRUE(SortJourneysByDeparture(grid));
    EXPECT_EQ(grid.Cell(2, 2), "06:00");
    EXPECT_EQ(grid.Cell(3, 2), "23:00");
    EXPECT_EQ(grid.Cell(4, 2), "05:00");
    EXPECT_EQ(JourneyMarksOfGrid(grid), (TJourneyMarkList{{}, {"S", false}, {"F", true}}));
    // Inserted, duplicated and deleted journeys take their marks along
    ASSERT_TRUE(InsertJourney(grid, 2));
    EXPECT_EQ(JourneyMarksOfGrid(grid), (TJourneyMarkList{{}, {}, {"S", false}, {"F", true}}));
    DeleteJourney(grid, 2);
    ASSERT_TRUE(DuplicateJourney(grid, 4));
    EXPECT_EQ(JourneyMarksOfGrid(grid),
              (TJourneyMarkList{{}, {"S", false}, {"F", true}, {"F", true}}));
    EXPECT_FALSE(InsertJourney(grid, 2)) << "the last journey holds marks: it would fall off";
    // A journey with marks but no times is not empty
    EXPECT_FALSE(JourneyIsEmpty(grid, 5));
    EXPECT_EQ(JourneyMarksOfCell("|N"), (TJourneyMarks{"", true}));
    EXPECT_EQ(JourneyMarksOfCell("a|x"), (TJourneyMarks{"a", false}));
}
