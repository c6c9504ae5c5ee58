// takton-cli station ... and line ...: the registers, as the stations and lines
// editors change them on save and delete.

#include "cli/cli_context.h"
#include "cli/cli_messages.h"
#include "core/model/master_data.h"
#include "core/model/registers.h"

namespace takton::cli {
namespace {

int Finish(CliContext &ctx, const TRefusal &refusal, const StderrMessageSink *sink = nullptr) {
    if (refusal)
        return ctx.Refuse(*refusal);
    return sink && sink->AnyShown() ? kExitFailed : kExitOk;
}

int PrintRegister(CliContext &ctx, std::string_view fileName) {
    ctx.ExpectArgs(1, 1);
    for (const auto &name : LoadNameList(ctx.PathArg(0), fileName))
        ctx.PrintLine(name);
    return kExitOk;
}

int StationList(CliContext &ctx) {
    return PrintRegister(ctx, kStationsFile);
}

int StationAdd(CliContext &ctx) {
    TNewStationMemo memo;
    memo.Remember = ctx.TakeFlag("--remember");
    memo.StartNewList = ctx.TakeFlag("--new-list");
    ctx.ExpectArgs(2, 2);
    if (memo.StartNewList && !memo.Remember)
        throw UsageError("--new-list nur zusammen mit --remember");
    return Finish(ctx, AddStation(ctx.PathArg(0), ctx.Args()[1], memo));
}

int StationRename(CliContext &ctx) {
    ctx.ExpectArgs(3, 3);
    return Finish(ctx, RenameStation(ctx.PathArg(0), ctx.Args()[1], ctx.Args()[2]));
}

int StationDelete(CliContext &ctx) {
    ctx.ExpectArgs(2, 2);
    return Finish(ctx, DeleteStation(ctx.PathArg(0), ctx.Args()[1]));
}

int LineList(CliContext &ctx) {
    return PrintRegister(ctx, kLinesFile);
}

int LineAdd(CliContext &ctx) {
    ctx.ExpectArgs(2, 2);
    return Finish(ctx, AddLine(ctx.PathArg(0), ctx.Args()[1]));
}

int LineRename(CliContext &ctx) {
    ctx.ExpectArgs(3, 3);
    StderrMessageSink sink;
    return Finish(ctx, RenameLine(ctx.PathArg(0), ctx.Args()[1], ctx.Args()[2], sink), &sink);
}

int LineDelete(CliContext &ctx) {
    ctx.ExpectArgs(2, 2);
    StderrMessageSink sink;
    return Finish(ctx, DeleteLine(ctx.PathArg(0), ctx.Args()[1], sink), &sink);
}

constexpr CliCommand kCommands[] = {
    {"station", "list", "DIR", StationList},
    {"station", "add", "DIR NAME [--remember] [--new-list]", StationAdd},
    {"station", "rename", "DIR OLD NEW", StationRename},
    {"station", "delete", "DIR NAME", StationDelete},
    {"line", "list", "DIR", LineList},
    {"line", "add", "DIR NAME", LineAdd},
    {"line", "rename", "DIR OLD NEW", LineRename},
    {"line", "delete", "DIR NAME", LineDelete},
};

} // namespace

std::span<const CliCommand> RegisterCommands() {
    return kCommands;
}

} // namespace takton::cli
