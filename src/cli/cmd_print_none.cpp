// takton-cli pdf ... and graph ... in a build without the GUI libraries:
// printing needs Qt, so these commands only say that they are missing.

#include "cli/cli_context.h"
#include "core/util/cp1252.h"

namespace takton::cli {
namespace {

int CannotPrint(CliContext &ctx) {
    return ctx.Refuse(Cp1252("Dieses Programm wurde ohne Qt gebaut und kann keine PDF-Dateien und "
                             "Bildfahrpläne schreiben."));
}

constexpr CliCommand kCommands[] = {
    {"pdf", "timetable", "DIR LINE DIRECTION DAYGROUP OUT.pdf", CannotPrint},
    {"pdf", "line", "DIR LINE OUT.pdf", CannotPrint},
    {"pdf", "station", "DIR STATION OUT.pdf", CannotPrint},
    {"graph", "", "DIR LINE DAYGROUP OUT.(svg|png|pdf)", CannotPrint},
};

} // namespace

std::span<const CliCommand> PrintCommands() {
    return kCommands;
}

} // namespace takton::cli
