// takton-cli route ..., timetable show and check: the routes of the lines, the
// timetable files as stored, and the consistency of a project's files.

#include "cli/cli_context.h"
#include "core/model/master_data.h"
#include "core/model/prj_load.h"
#include "core/model/prj_params.h"
#include "core/model/project_check.h"
#include "core/model/registers.h"
#include "core/model/timetable_file.h"
#include "core/util/cp1252.h"

#include <filesystem>
#include <optional>

namespace takton::cli {
namespace {

// The register's spelling of a name typed in any letter case.
std::optional<std::string> Registered(const TStringList &names, std::string_view name) {
    const int at = IndexOfItemExactFirst(names, name);
    if (at < 0)
        return std::nullopt;
    return names[static_cast<std::size_t>(at)];
}

int RouteShow(CliContext &ctx) {
    ctx.ExpectArgs(2, 2);
    const std::string dir = ctx.PathArg(0);
    const auto line = Registered(LoadNameList(dir, kLinesFile), ctx.Args()[1]);
    if (!line)
        return ctx.Refuse(NoSuchLine(ctx.Args()[1]));
    for (const auto &station : LoadLineStations(dir, *line))
        ctx.PrintLine(station);
    return kExitOk;
}

int RouteSet(CliContext &ctx) {
    ctx.ExpectArgs(2);
    const std::string dir = ctx.PathArg(0);
    const auto &args = ctx.Args();
    const auto line = Registered(LoadNameList(dir, kLinesFile), args[1]);
    if (!line)
        return ctx.Refuse(NoSuchLine(args[1]));
    // The assignment window offers only the stations of the register.
    const TStringList registered = LoadNameList(dir, kStationsFile);
    TStringList stations;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const auto station = Registered(registered, args[i]);
        if (!station)
            return ctx.Refuse(NoSuchStation(args[i]));
        stations.push_back(*station);
    }
    StoreLineStations(dir, *line, stations);
    return kExitOk;
}

int TimetableShow(CliContext &ctx) {
    ctx.ExpectArgs(4, 4);
    const std::string dir = ctx.PathArg(0);
    const auto &args = ctx.Args();
    const auto line = Registered(LoadNameList(dir, kLinesFile), args[1]);
    if (!line)
        return ctx.Refuse(NoSuchLine(args[1]));
    if (args[2] != "1" && args[2] != "2")
        return ctx.Refuse("Die Richtung muss 1 oder 2 sein.");
    const std::string section = TimetableSectionName(args[2] == "1" ? 1 : 2, args[3]);
    const TTimetableFile file(TimetablePath(dir, *line));
    if (!file.HasSection(section))
        return ctx.Refuse(Cp1252("Für die Linie ") + *line + Cp1252(" gibt es keinen Fahrplan ") +
                          section + ".");
    for (const auto &row : file.ReadRows(section))
        ctx.PrintLine(row);
    return kExitOk;
}

// Whether the project file in the folder keeps geo positions; without exactly
// one project file nobody asked for them.
bool KeepsGeoPositions(const std::string &dir) {
    std::vector<std::string> projects;
    std::error_code error;
    for (const auto &item : std::filesystem::directory_iterator(dir, error))
        if (item.path().extension() == ".zpr" && item.is_regular_file(error))
            projects.push_back(item.path().string());
    if (projects.size() != 1)
        return false;
    TPrjParams params;
    LoadProjectFile(projects.front(), params);
    return params.StationFields.GeoPosition;
}

int Check(CliContext &ctx) {
    ctx.ExpectArgs(1, 1);
    // A missing folder would read as an empty, consistent project.
    std::error_code error;
    if (!std::filesystem::is_directory(ctx.PathArg(0), error))
        return ctx.Refuse("Das Projektverzeichnis " + ctx.Args()[0] + " gibt es nicht.");
    const auto findings = CheckProjectConsistency(ctx.PathArg(0));
    for (const auto &finding : findings)
        ctx.PrintLine(finding);
    if (findings.empty())
        ctx.PrintLine("Keine Unstimmigkeiten gefunden.");
    // Notes, not disagreements: they leave the exit status as it is.
    if (KeepsGeoPositions(ctx.PathArg(0)))
        for (const auto &note : StationsWithoutPosition(ctx.PathArg(0)))
            ctx.PrintLine("Hinweis: " + note);
    return findings.empty() ? kExitOk : kExitFailed;
}

constexpr CliCommand kCommands[] = {
    {"route", "show", "DIR LINE", RouteShow},
    {"route", "set", "DIR LINE [STATION...]", RouteSet},
    {"timetable", "show", "DIR LINE DIRECTION DAYGROUP", TimetableShow},
    {"check", "", "DIR", Check},
};

} // namespace

std::span<const CliCommand> RouteCommands() {
    return kCommands;
}

} // namespace takton::cli
