// takton-cli calendar ..., footnote ..., runs and the journey marks of
// timetable ...: the project's operating days as the options window and the
// timetable editor keep them.

#include "cli/cli_context.h"
#include "core/calendar/holidays.h"
#include "core/calendar/ics_reader.h"
#include "core/calendar/journey_days.h"
#include "core/files/file_io.h"
#include "core/model/footnotes.h"
#include "core/model/master_data.h"
#include "core/model/prj_load.h"
#include "core/model/prj_save.h"
#include "core/model/project_rules.h"
#include "core/model/registers.h"
#include "core/model/timetable_file.h"
#include "core/util/cp1252.h"
#include "core/util/error.h"

#include <charconv>

namespace takton::cli {
namespace {

using namespace takton::calendar;

std::string NoSuchLand(std::string_view code) {
    std::string codes;
    for (const TLand &land : Laender())
        codes += (codes.empty() ? "" : " ") + std::string(land.Code);
    return "Das Bundesland \"" + std::string(code) + "\" gibt es nicht (erlaubt: " + codes + ").";
}

std::optional<int> NumberArg(std::string_view text, int min, int max) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < min || value > max)
        return std::nullopt;
    return value;
}

// Loads the project file the command names; refuses a missing one.
void LoadExistingProject(CliContext &ctx, const std::string &path) {
    if (!FileExists(path))
        throw TaktonError("Die Projektdatei " + ctx.Args()[0] + " gibt es nicht.");
    LoadProjectFile(path, ctx.Params);
}

// The one project file of a project folder.
std::string ProjectFileOfDir(CliContext &ctx, const std::string &dir) {
    const std::vector<std::string> projects = ProjectFilesIn(dir);
    if (projects.size() != 1)
        throw TaktonError("Im Projektverzeichnis " + ctx.Args()[0] +
                          " liegt nicht genau eine Projektdatei (*.zpr).");
    return projects.front();
}

int Holidays(CliContext &ctx) {
    const std::string land = ctx.TakeOption("--land");
    const std::string yearText = ctx.TakeOption("--year");
    ctx.ExpectArgs(0, 0);
    if (!FindLand(land))
        return ctx.Refuse(NoSuchLand(land));
    const auto year = NumberArg(yearText, 1583, 9999);
    if (!year)
        return ctx.Refuse("--year verlangt ein Jahr von 1583 bis 9999.");
    for (const THoliday &holiday : PublicHolidays(land, *year))
        ctx.PrintLine(IsoDateText(holiday.Date) + " " + holiday.Name);
    return kExitOk;
}

int SetLand(CliContext &ctx) {
    ctx.ExpectArgs(2, 2);
    const std::string &code = ctx.Args()[1];
    if (code != "-" && !FindLand(code))
        return ctx.Refuse(NoSuchLand(code));
    const std::string path = ctx.PathArg(0);
    LoadExistingProject(ctx, path);
    ctx.Params.Calendar.Land = code == "-" ? std::string() : code;
    SaveProjectFile(path, ctx.Params);
    return kExitOk;
}

int ImportIcs(CliContext &ctx) {
    ctx.ExpectArgs(2, 2);
    const std::string path = ctx.PathArg(0);
    LoadExistingProject(ctx, path);
    const auto text = ReadWholeFile(ctx.PathArg(1));
    if (!text)
        return ctx.Refuse("Die Datei " + ctx.Args()[1] + " kann nicht gelesen werden.");
    const auto periods = ReadSchoolHolidaysIcs(*text);
    auto &known = ctx.Params.Calendar.SchoolHolidays;
    const std::size_t before = known.size();
    known = MergeSchoolHolidays(std::move(known), periods);
    SaveProjectFile(path, ctx.Params);
    ctx.PrintLine(Cp1252("Ferien übernommen: ") + std::to_string(known.size() - before) + " von " +
                  std::to_string(periods.size()));
    return kExitOk;
}

int Special(CliContext &ctx) {
    ctx.ExpectArgs(3, 3);
    TSpecialDay special;
    special.Dates = ParseDateRange(ctx.Args()[1]);
    if (!ParseTreatmentKey(ctx.Args()[2], special))
        return ctx.Refuse("Unbekannte Behandlung \"" + ctx.Args()[2] +
                          "\" (erlaubt: none, as-monday ... as-sunday, usual).");
    const std::string path = ctx.PathArg(0);
    LoadExistingProject(ctx, path);
    auto &days = ctx.Params.Calendar.SpecialDays;
    std::erase_if(days, [&](const TSpecialDay &d) { return d.Dates == special.Dates; });
    days.push_back(special);
    SaveProjectFile(path, ctx.Params);
    return kExitOk;
}

int AddSchoolHoliday(CliContext &ctx) {
    ctx.ExpectArgs(2, 3);
    TSchoolHoliday holiday{ParseDateRange(ctx.Args()[1]),
                           ctx.Args().size() > 2 ? ctx.Args()[2] : std::string()};
    const std::string path = ctx.PathArg(0);
    LoadExistingProject(ctx, path);
    auto &known = ctx.Params.Calendar.SchoolHolidays;
    known = MergeSchoolHolidays(std::move(known), {holiday});
    SaveProjectFile(path, ctx.Params);
    return kExitOk;
}

int AddHoliday(CliContext &ctx) {
    ctx.ExpectArgs(2, 2);
    const TDateList dates = ParseDateList(ctx.Args()[1]);
    const std::string path = ctx.PathArg(0);
    LoadExistingProject(ctx, path);
    auto &extra = ctx.Params.Calendar.ExtraHolidays;
    extra.insert(extra.end(), dates.begin(), dates.end());
    SaveProjectFile(path, ctx.Params);
    return kExitOk;
}

int Show(CliContext &ctx) {
    ctx.ExpectArgs(1, 1);
    const std::string path = ctx.PathArg(0);
    LoadExistingProject(ctx, path);
    const TOperatingDays &days = ctx.Params.Calendar;
    const TLand *land = FindLand(days.Land);
    ctx.PrintLine("land: " + (land ? days.Land + " " + land->Name : std::string("-")));
    if (!days.ExtraHolidays.empty())
        ctx.PrintLine("holidays: " + DateListText(days.ExtraHolidays));
    for (const auto &holiday : days.SchoolHolidays)
        ctx.PrintLine("school_holiday: " + DateRangeText(holiday.Dates) + " " + holiday.Name);
    for (const auto &special : days.SpecialDays)
        ctx.PrintLine("special_day: " + DateRangeText(special.Dates) + " " + TreatmentKey(special));
    return kExitOk;
}

int FootnoteAdd(CliContext &ctx) {
    TFootnote footnote;
    const bool schoolDays = ctx.TakeFlag("--school-days");
    const bool schoolHolidays = ctx.TakeFlag("--school-holidays");
    if (schoolDays && schoolHolidays)
        return ctx.Refuse(Cp1252("--school-days und --school-holidays schließen sich aus."));
    footnote.Days = schoolDays       ? TFootnoteDays::SchoolDays
                    : schoolHolidays ? TFootnoteDays::SchoolHolidays
                                     : TFootnoteDays::All;
    footnote.NotOn = ParseDateList(ctx.TakeOption("--not"));
    footnote.AlsoOn = ParseDateList(ctx.TakeOption("--also"));
    footnote.OnlyOn = ParseDateList(ctx.TakeOption("--only"));
    ctx.ExpectArgs(3, 3);
    footnote.Symbol = ctx.Args()[1];
    footnote.Text = ctx.Args()[2];
    const std::string dir = ctx.PathArg(0);
    TFootnoteList footnotes = LoadFootnotes(dir);
    footnotes.push_back(std::move(footnote));
    SaveFootnotes(dir, footnotes);
    return kExitOk;
}

int FootnoteList(CliContext &ctx) {
    ctx.ExpectArgs(1, 1);
    for (const TFootnote &footnote : LoadFootnotes(ctx.PathArg(0)))
        ctx.PrintLine(footnote.Symbol + " | " + footnote.Text + " | " + FootnoteRuleText(footnote));
    return kExitOk;
}

// DIR LINE DIRECTION DAYGROUP JOURNEY: the line as registered, the section
// that must exist and the journey number.
struct TJourneyArgs {
    std::string Dir, Line, DayGroup, Section;
    int Direction = 1;
    int Journey = 1;
};

TJourneyArgs ReadJourneyArgs(CliContext &ctx, const TPrjParams &params) {
    const auto &args = ctx.Args();
    TJourneyArgs read;
    read.Dir = ctx.PathArg(0);
    const TStringList lines = LoadNameList(read.Dir, kLinesFile);
    const int at = IndexOfItemExactFirst(lines, args[1]);
    if (at < 0)
        throw TaktonError(NoSuchLine(args[1]));
    read.Line = lines[static_cast<std::size_t>(at)];
    if (args[2] != "1" && args[2] != "2")
        throw TaktonError("Die Richtung muss 1 oder 2 sein.");
    read.Direction = args[2] == "1" ? 1 : 2;
    const int group = IndexOfDayGroup(params, args[3]);
    if (group < 0)
        throw TaktonError(NoSuchDayGroup(args[3]));
    read.DayGroup = params.DayGroups[static_cast<std::size_t>(group)].Name;
    read.Section = TimetableSectionName(read.Direction, read.DayGroup);
    const auto journey = NumberArg(args[4], 1, 510);
    if (!journey)
        throw TaktonError("Die Fahrt muss eine Zahl von 1 bis 510 sein.");
    read.Journey = *journey;
    return read;
}

// Changes the marks of one journey in its timetable file.
template <class Change> int ChangeJourneyMarks(CliContext &ctx, Change change) {
    ctx.ExpectArgs(6, 6);
    LoadProjectFile(ProjectFileOfDir(ctx, ctx.PathArg(0)), ctx.Params);
    const TJourneyArgs journey = ReadJourneyArgs(ctx, ctx.Params);
    TTimetableFile file(TimetablePath(journey.Dir, journey.Line));
    if (!file.HasSection(journey.Section))
        return ctx.Refuse(Cp1252("Für die Linie ") + journey.Line +
                          Cp1252(" gibt es keinen Fahrplan ") + journey.Section + ".");
    TJourneyMarkList marks = file.ReadJourneyMarks(journey.Section);
    marks.resize(std::max(marks.size(), static_cast<std::size_t>(journey.Journey)));
    if (const auto refusal =
            change(journey.Dir, marks[static_cast<std::size_t>(journey.Journey - 1)]))
        return ctx.Refuse(*refusal);
    file.WriteJourneyMarks(journey.Section, marks);
    file.Save();
    return kExitOk;
}

int SetFootnote(CliContext &ctx) {
    const std::string symbol = ctx.Args().size() == 6 ? ctx.Args()[5] : std::string();
    return ChangeJourneyMarks(
        ctx, [&](const std::string &dir, TJourneyMarks &mark) -> std::optional<std::string> {
            if (symbol == "-") {
                mark.Footnote.clear();
                return std::nullopt;
            }
            if (!FindFootnote(LoadFootnotes(dir), symbol))
                return Cp1252("Die Fußnote \"") + symbol + "\" gibt es im Projekt nicht.";
            mark.Footnote = symbol;
            return std::nullopt;
        });
}

int SetNight(CliContext &ctx) {
    const std::string value = ctx.Args().size() == 6 ? ctx.Args()[5] : std::string();
    return ChangeJourneyMarks(
        ctx, [&](const std::string &, TJourneyMarks &mark) -> std::optional<std::string> {
            if (value != "on" && value != "off")
                return std::string("Erwartet wird on oder off.");
            mark.PreviousDayNight = value == "on";
            return std::nullopt;
        });
}

int Runs(CliContext &ctx) {
    const std::string from = ctx.TakeOption("--from");
    const std::string to = ctx.TakeOption("--to");
    ctx.ExpectArgs(5, 5);
    LoadProjectFile(ProjectFileOfDir(ctx, ctx.PathArg(0)), ctx.Params);
    const TJourneyArgs journey = ReadJourneyArgs(ctx, ctx.Params);
    std::optional<TDateRange> range = ValidityPeriod(ctx.Params.Publishing);
    if (!from.empty() || !to.empty()) {
        if (from.empty() || to.empty())
            return ctx.Refuse("--from und --to gehören zusammen.");
        range = ParseDateRange(from + ".." + to);
    }
    if (!range)
        return ctx.Refuse(Cp1252("Das Projekt hat keinen Gültigkeitszeitraum; --from und --to "
                                 "geben ihn an."));
    const TJourneyDays days = ReadJourneyDays(journey.Dir, ctx.Params, journey.Line,
                                              journey.Direction, journey.DayGroup, journey.Journey);
    for (const TDate date : JourneyRunDates(ctx.Params, days, *range))
        ctx.PrintLine(IsoDateText(date));
    return kExitOk;
}

constexpr CliCommand kCommands[] = {
    {"calendar", "holidays", "--land LAND --year YYYY", Holidays},
    {"calendar", "show", "FILE.zpr", Show},
    {"calendar", "set-land", "FILE.zpr LAND|-", SetLand},
    {"calendar", "import-ics", "FILE.zpr FILE.ics", ImportIcs},
    {"calendar", "add-school-holiday", "FILE.zpr DATE[..DATE] [NAME]", AddSchoolHoliday},
    {"calendar", "add-holiday", "FILE.zpr DATES", AddHoliday},
    {"calendar", "special", "FILE.zpr DATE[..DATE] none|as-monday|...|as-sunday|usual", Special},
    {"footnote", "add",
     "DIR SYMBOL TEXT [--school-days|--school-holidays] [--not DATES] [--also DATES] "
     "[--only DATES]",
     FootnoteAdd},
    {"footnote", "list", "DIR", FootnoteList},
    {"timetable", "set-footnote", "DIR LINE DIRECTION DAYGROUP JOURNEY SYMBOL|-", SetFootnote},
    {"timetable", "set-night", "DIR LINE DIRECTION DAYGROUP JOURNEY on|off", SetNight},
    {"runs", "", "DIR LINE DIRECTION DAYGROUP JOURNEY [--from DATE --to DATE]", Runs},
};

} // namespace

std::span<const CliCommand> CalendarCommands() {
    return kCommands;
}

} // namespace takton::cli
