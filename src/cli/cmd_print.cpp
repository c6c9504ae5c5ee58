// takton-cli pdf ... and graph ...: the printed timetables, departure posters
// and the graphical timetable as files, as the editor's print window writes
// them. Painting needs Qt, which runs on its offscreen platform here.

#include "cli/cli_context.h"
#include "core/files/file_io.h"
#include "core/model/prj_load.h"
#include "core/model/prj_params.h"
#include "core/util/error.h"
#include "render/print/print_files.h"

#include <algorithm>
#include <filesystem>

namespace takton::cli {
namespace {

// DIR is the project folder (its project file gives the day groups) or the
// project file itself.
std::string ProjectDirOf(CliContext &ctx, std::size_t arg) {
    namespace fs = std::filesystem;
    const fs::path path(ctx.PathArg(arg));
    std::error_code error;
    if (fs::is_regular_file(path, error)) {
        LoadProjectFile(path.string(), ctx.Params);
        return path.parent_path().empty() ? std::string(".") : path.parent_path().string();
    }
    if (!fs::is_directory(path, error))
        throw TaktonError("Den Projektordner " + ctx.Args()[arg] + " gibt es nicht.");
    const std::vector<std::string> projects = ProjectFilesIn(path.string());
    if (!projects.empty())
        LoadProjectFile(projects.front(), ctx.Params);
    return path.string();
}

int Direction(const CliContext &ctx, std::size_t arg) {
    const std::string &text = ctx.Args()[arg];
    if (text != "1" && text != "2")
        throw UsageError("Die Richtung ist 1 oder 2, nicht " + text + ".");
    return text[0] - '0';
}

int PdfTimetable(CliContext &ctx) {
    ctx.ExpectArgs(5, 5);
    const std::string dir = ProjectDirOf(ctx, 0);
    const int direction = Direction(ctx, 2);
    print::TOffscreenGui gui;
    print::WriteTimetablePdf(
        ctx.PathArg(4),
        {print::LoadPrintTimetable(dir, ctx.Params, ctx.Args()[1], direction, ctx.Args()[3])},
        print::ValidityText(ctx.Params));
    ctx.PrintLine("Geschrieben: " + ctx.Args()[4]);
    return kExitOk;
}

int PdfLine(CliContext &ctx) {
    ctx.ExpectArgs(3, 3);
    const std::string dir = ProjectDirOf(ctx, 0);
    const auto tables = print::LoadLineTimetables(dir, ctx.Params, ctx.Args()[1]);
    print::TOffscreenGui gui;
    print::WriteTimetablePdf(ctx.PathArg(2), tables, print::ValidityText(ctx.Params));
    ctx.PrintLine("Geschrieben: " + ctx.Args()[2]);
    return kExitOk;
}

int PdfStation(CliContext &ctx) {
    ctx.ExpectArgs(3, 3);
    const std::string dir = ProjectDirOf(ctx, 0);
    const print::TPoster poster = print::BuildPoster(dir, ctx.Params, ctx.Args()[1]);
    print::TOffscreenGui gui;
    print::WritePosterPdf(ctx.PathArg(2), poster, print::ValidityText(ctx.Params));
    ctx.PrintLine("Geschrieben: " + ctx.Args()[2]);
    return kExitOk;
}

int Graph(CliContext &ctx) {
    ctx.ExpectArgs(4, 4);
    const std::string dir = ProjectDirOf(ctx, 0);
    const print::TGraph graph = print::BuildGraph(dir, ctx.Params, ctx.Args()[1], ctx.Args()[2]);
    print::TOffscreenGui gui;
    print::WriteGraphFile(ctx.PathArg(3), graph);
    ctx.PrintLine("Geschrieben: " + ctx.Args()[3]);
    return kExitOk;
}

constexpr CliCommand kCommands[] = {
    {"pdf", "timetable", "DIR LINE DIRECTION DAYGROUP OUT.pdf", PdfTimetable},
    {"pdf", "line", "DIR LINE OUT.pdf", PdfLine},
    {"pdf", "station", "DIR STATION OUT.pdf", PdfStation},
    {"graph", "", "DIR LINE DAYGROUP OUT.(svg|png|pdf)", Graph},
};

} // namespace

std::span<const CliCommand> PrintCommands() {
    return kCommands;
}

} // namespace takton::cli
