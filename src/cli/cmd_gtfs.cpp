// takton-cli gtfs export: the project published as a GTFS feed, as "GTFS
// exportieren…" writes it.

#include "cli/cli_context.h"
#include "core/files/file_io.h"
#include "core/gtfs/gtfs_export.h"
#include "core/gtfs/gtfs_import.h"
#include "core/model/prj_load.h"
#include "core/model/prj_params.h"
#include "core/util/cp1252.h"

namespace takton::cli {
namespace {

int Export(CliContext &ctx) {
    ctx.ExpectArgs(2, 2);
    const std::string project = ctx.PathArg(0);
    if (!FileExists(project))
        return ctx.Refuse("Die Projektdatei " + ctx.Args()[0] + " gibt es nicht.");
    LoadProjectFile(project, ctx.Params);
    const gtfs::TExportReport report =
        gtfs::ExportGtfs(DirectoryOf(project), ctx.Params, ctx.PathArg(1));
    ctx.PrintLine("Geschrieben: " + ctx.Args()[1]);
    for (const auto &line : report.Written)
        ctx.PrintLine("  " + line);
    ctx.PrintLine("Fahrten: " + std::to_string(report.Trips) +
                  ", Halte: " + std::to_string(report.StopTimes));
    if (!report.Skipped.empty())
        ctx.PrintLine("Nicht exportiert:");
    for (const auto &line : report.Skipped)
        ctx.PrintLine("  " + line);
    return kExitOk;
}

void PrintList(CliContext &ctx, const char *title, const std::vector<std::string> &lines) {
    if (lines.empty())
        return;
    ctx.PrintLine(title);
    for (const auto &line : lines)
        ctx.PrintLine("  " + line);
}

// A new project from a feed; refused where the folder holds one already.
int Import(CliContext &ctx) {
    ctx.ExpectArgs(2, 2);
    const gtfs::TImportReport report = gtfs::ImportGtfs(ctx.PathArg(0), ctx.PathArg(1));
    ctx.PrintLine("Projekt angelegt: " + ctx.Args()[1]);
    ctx.PrintLine("Stationen: " + std::to_string(report.Stations) +
                  ", Linien: " + std::to_string(report.Lines) + ", Tagesgruppen: " +
                  std::to_string(report.DayGroups) + ", Fahrten: " + std::to_string(report.Trips) +
                  ", Zeilen in stop_times.txt: " + std::to_string(report.StopTimes));
    PrintList(ctx, "Angepasst:", report.Adapted);
    PrintList(ctx, Cp1252("Nicht übernommen:").c_str(), report.NotHeld);
    PrintList(ctx, "Hinweise:", report.Notes);
    return kExitOk;
}

constexpr CliCommand kCommands[] = {
    {"gtfs", "export", "PROJECT.zpr OUT.zip", Export},
    {"gtfs", "import", "FEED.zip PROJECT.zpr", Import},
};

} // namespace

std::span<const CliCommand> GtfsCommands() {
    return kCommands;
}

} // namespace takton::cli
