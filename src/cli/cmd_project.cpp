// takton-cli project ...: the project file and its day groups.

#include "cli/cli_context.h"
#include "core/files/file_io.h"
#include "core/files/write_batch.h"
#include "core/model/calendar_date.h"
#include "core/model/master_data.h"
#include "core/model/prj_load.h"
#include "core/model/prj_params.h"
#include "core/model/prj_save.h"
#include "core/model/project_rules.h"
#include "core/util/cp1252.h"
#include "core/util/error.h"

namespace takton::cli {
namespace {

int Show(CliContext &ctx) {
    ctx.ExpectArgs(1, 1);
    LoadProjectFile(ctx.PathArg(0), ctx.Params);
    ctx.PrintLine("lastsave: " + ctx.Params.LastSave);
    ctx.PrintLine("max_drive_minutes: " + std::to_string(ctx.Params.MaxDriveMinutes));
    for (const auto &group : ctx.Params.DayGroups) {
        ctx.PrintLine("daygroup: " + group.Name + " | " + group.Text + " | " +
                      DayKeysText(group.Days));
    }
    const TStationFields &fields = ctx.Params.StationFields;
    std::string shown;
    for (const auto &[on, name] :
         {std::pair{fields.GeoPosition, "geo"}, std::pair{fields.TarifZone, "zone"},
          std::pair{fields.TarifRing, "ring"}})
        if (on)
            shown += shown.empty() ? name : std::string(" ") + name;
    ctx.PrintLine("station_fields: " + shown);
    return kExitOk;
}

int Init(CliContext &ctx) {
    ctx.ExpectArgs(1, 1);
    LoadProjectFile(ProjectPath(ctx.ProgramDir(), kDefaultProjectFileName), ctx.Params);
    SaveProjectFile(ctx.PathArg(0), ctx.Params);
    return kExitOk;
}

int AddDayGroup(CliContext &ctx) {
    ctx.ExpectArgs(4);
    const auto &args = ctx.Args();
    TDaySet days = 0;
    for (std::size_t i = 3; i < args.size(); ++i) {
        const int index = IndexOfText(WeekDayKeys, args[i]);
        if (index < 0)
            return ctx.Refuse(Cp1252("Unbekannter Wochentag: ") + args[i] +
                              Cp1252(" (erlaubt: monday, tuesday, wednesday, thursday, friday, "
                                     "saturday, sunday)"));
        days = WithDay(days, index);
    }
    const std::string path = ctx.PathArg(0);
    LoadProjectFile(path, ctx.Params);
    TDayGroupItem group{args[1], args[2], days};
    if (const auto refusal = CheckNewDayGroup(ctx.Params, group))
        return ctx.Refuse(*refusal);
    ctx.Params.DayGroups.push_back(std::move(group));
    SaveProjectFile(path, ctx.Params);
    return kExitOk;
}

int SetMaxDriveMinutes(CliContext &ctx) {
    ctx.ExpectArgs(2, 2);
    const auto minutes = ParseDriveMinutes(ctx.Args()[1]);
    if (!minutes)
        return ctx.Refuse(Cp1252("Die maximale Fahrzeit muss eine ganze Zahl von Minuten "
                                 "zwischen 0 und 2147483647 sein."));
    const std::string path = ctx.PathArg(0);
    LoadProjectFile(path, ctx.Params);
    ctx.Params.MaxDriveMinutes = *minutes;
    SaveProjectFile(path, ctx.Params);
    return kExitOk;
}

// The project file is saved first, as a register is before its cascade.
int RenameDayGroupCommand(CliContext &ctx) {
    ctx.ExpectArgs(3, 3);
    const auto &args = ctx.Args();
    const std::string path = ctx.PathArg(0);
    LoadProjectFile(path, ctx.Params);
    const int at = IndexOfDayGroup(ctx.Params, args[1]);
    const std::string stored =
        at < 0 ? args[1] : ctx.Params.DayGroups[static_cast<std::size_t>(at)].Name;
    if (const auto refusal = RenameDayGroup(ctx.Params, args[1], args[2]))
        return ctx.Refuse(*refusal);
    if (stored == args[2])
        return kExitOk;
    TWriteBatch batch(DirectoryOf(path));
    SaveProjectFile(path, ctx.Params);
    CascadeRenameDayGroup(DirectoryOf(path), stored, args[2]);
    batch.Commit();
    return kExitOk;
}

int DeleteDayGroupCommand(CliContext &ctx) {
    ctx.ExpectArgs(2, 2);
    const auto &args = ctx.Args();
    const std::string path = ctx.PathArg(0);
    LoadProjectFile(path, ctx.Params);
    const int at = IndexOfDayGroup(ctx.Params, args[1]);
    if (at < 0)
        return ctx.Refuse(NoSuchDayGroup(args[1]));
    const std::string stored = ctx.Params.DayGroups[static_cast<std::size_t>(at)].Name;
    DeleteDayGroup(ctx.Params, stored);
    TWriteBatch batch(DirectoryOf(path));
    SaveProjectFile(path, ctx.Params);
    const int lost = CascadeDeleteDayGroup(DirectoryOf(path), stored);
    batch.Commit();
    ctx.PrintLine(Cp1252("Fahrpläne ohne die Tag-Gruppe: ") + std::to_string(lost));
    return kExitOk;
}

// A date of the command line ("2026-12-13") as the publishing data keep it.
std::string PublishingDate(CliContext &ctx, std::string_view option) {
    const std::string text = ctx.TakeOption(option);
    if (text.empty())
        return {};
    const auto date = ParseIsoDate(text);
    if (!date)
        throw TaktonError(Cp1252("Das Datum ") + text +
                          Cp1252(" ist ungültig; erwartet wird JJJJ-MM-TT."));
    return CompactDateText(*date);
}

int SetPublishing(CliContext &ctx) {
    const std::string agency = ctx.TakeOption("--agency");
    const std::string url = ctx.TakeOption("--url");
    const std::string timezone = ctx.TakeOption("--timezone");
    const std::string language = ctx.TakeOption("--language");
    const std::string routeType = ctx.TakeOption("--route-type");
    const std::string first = PublishingDate(ctx, "--from");
    const std::string last = PublishingDate(ctx, "--to");
    ctx.ExpectArgs(1, 1);
    const std::string path = ctx.PathArg(0);
    if (!FileExists(path))
        return ctx.Refuse("Die Projektdatei " + ctx.Args()[0] + " gibt es nicht.");
    LoadProjectFile(path, ctx.Params);
    TPublishing &publishing = ctx.Params.Publishing;
    for (const auto &[value, field] :
         {std::pair{&agency, &publishing.AgencyName}, std::pair{&url, &publishing.AgencyUrl},
          std::pair{&timezone, &publishing.Timezone}, std::pair{&language, &publishing.Language},
          std::pair{&first, &publishing.FirstDate}, std::pair{&last, &publishing.LastDate}})
        if (!value->empty())
            *field = *value;
    if (!routeType.empty()) {
        const auto type = ParseDriveMinutes(routeType);
        if (!type || *type > 1702)
            return ctx.Refuse("--route-type verlangt eine GTFS-Verkehrsart (0 bis 1702).");
        publishing.RouteType = *type;
    }
    const auto period = ParseCompactDate(publishing.FirstDate);
    const auto end = ParseCompactDate(publishing.LastDate);
    if (period && end && *end < *period)
        return ctx.Refuse(Cp1252("Der Gültigkeitszeitraum endet vor seinem Beginn."));
    SaveProjectFile(path, ctx.Params);
    return kExitOk;
}

constexpr CliCommand kCommands[] = {
    {"project", "set-publishing",
     "FILE.zpr [--agency NAME] [--url URL] [--timezone TZ] [--language LANG] [--from YYYY-MM-DD] "
     "[--to YYYY-MM-DD] [--route-type N]",
     SetPublishing},
    {"project", "show", "FILE.zpr", Show},
    {"project", "init", "FILE.zpr", Init},
    {"project", "add-daygroup", "FILE.zpr NAME TEXT KEY...", AddDayGroup},
    {"project", "set-max-drive-minutes", "FILE.zpr N", SetMaxDriveMinutes},
    {"project", "rename-daygroup", "FILE.zpr OLD NEW", RenameDayGroupCommand},
    {"project", "delete-daygroup", "FILE.zpr NAME", DeleteDayGroupCommand},
};

} // namespace

std::span<const CliCommand> ProjectCommands() {
    return kCommands;
}

} // namespace takton::cli
