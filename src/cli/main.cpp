// takton-cli: the project operations of the editor from the command line.
// Every command calls the same core functions as the editor's windows.

#include "cli/cli_context.h"
#include "core/files/file_io.h"
#include "core/util/cp1252.h"
#include "core/util/error.h"

#include <iostream>
#include <unistd.h>
#include <vector>

using namespace takton;
using namespace takton::cli;

namespace {

std::vector<std::span<const CliCommand>> AllCommands() {
    return {ProjectCommands(), RegisterCommands(), StationDataCommands(),
            RouteCommands(),   HtmlCommands(),     GtfsCommands(),
            PrintCommands(),   QueryCommands(),    CalendarCommands()};
}

std::string ProgramDir(const char *argv0) {
    std::string exe(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", exe.data(), exe.size());
    return DirectoryOf(n > 0 ? exe.substr(0, static_cast<std::size_t>(n)) : std::string(argv0));
}

void PrintUsage(std::ostream &err) {
    err << "Aufruf:\n";
    for (const auto &group : AllCommands())
        for (const auto &cmd : group) {
            err << "  takton-cli " << cmd.group;
            if (!cmd.name.empty())
                err << ' ' << cmd.name;
            err << ' ' << cmd.usage << '\n';
        }
}

const CliCommand *FindCommand(const std::vector<std::string> &words, std::size_t &used) {
    for (const auto &group : AllCommands())
        for (const auto &cmd : group) {
            if (words.empty() || words[0] != cmd.group)
                continue;
            if (cmd.name.empty()) {
                used = 1;
                return &cmd;
            }
            if (words.size() > 1 && words[1] == cmd.name) {
                used = 2;
                return &cmd;
            }
        }
    return nullptr;
}

} // namespace

int main(int argc, char **argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        auto converted = Utf8ToCp1252(argv[i]);
        if (!converted) {
            std::cerr << "Das Argument \"" << argv[i]
                      << "\" enthält Zeichen, die im Zeichensatz Windows-1252 nicht "
                         "darstellbar sind.\n";
            return kExitFailed;
        }
        args.push_back(std::move(*converted));
    }

    std::size_t used = 0;
    const CliCommand *command = FindCommand(args, used);
    if (!command) {
        PrintUsage(std::cerr);
        return kExitUsage;
    }
    CliContext context(
        std::vector<std::string>(args.begin() + static_cast<std::ptrdiff_t>(used), args.end()),
        ProgramDir(argv[0]), std::cout, std::cerr);
    try {
        TProjectLock lock;
        if (const auto refused = OpenProjectFor(*command, context, lock))
            return *refused;
        return command->run(context);
    } catch (const UsageError &e) {
        std::cerr << e.what() << "\nAufruf: takton-cli " << command->group;
        if (!command->name.empty())
            std::cerr << ' ' << command->name;
        std::cerr << ' ' << command->usage << '\n';
        return kExitUsage;
    } catch (const TaktonError &e) {
        return context.Refuse(e.what());
    } catch (const std::exception &e) {
        // Errors of the system libraries: refused like any other failure.
        return context.Refuse(Utf8ToCp1252Lossy(std::string("Unerwarteter Fehler: ") + e.what()));
    }
}
