#pragma once

#include "core/model/prj_params.h"

// The frame every takton-cli command runs in: arguments already converted to
// cp1252, output converted back to UTF-8, and the exit status convention
// (0 done, 1 refused or failed, 2 usage error).

#include "core/files/project_lock.h"

#include <iosfwd>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace takton::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Thrown by a command whose arguments do not fit its usage line.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class CliContext {
  public:
    CliContext(std::vector<std::string> args, std::string programDir, std::ostream &out,
               std::ostream &err);

    // The command's own arguments (after its words), in cp1252.
    const std::vector<std::string> &Args() const { return args_; }
    // Argument i as a native file path.
    std::string PathArg(std::size_t i) const;
    // Refuses with a usage error unless the count lies in [min, max].
    void ExpectArgs(std::size_t min, std::size_t max = static_cast<std::size_t>(-1)) const;
    // Options "--name" are taken out of the arguments; true when present.
    bool TakeFlag(std::string_view name);
    // "--name VALUE"; empty when absent.
    std::string TakeOption(std::string_view name);

    // The folder of the running program (default.zpr lies there).
    const std::string &ProgramDir() const { return programDir_; }

    // The parameters of the project a command works on, as it loaded them.
    TPrjParams Params;

    // Prints one line of cp1252 text to standard output as UTF-8.
    void PrintLine(std::string_view cp1252);
    // Prints raw bytes to standard output.
    void PrintRaw(std::string_view bytes);
    // Prints a German message (cp1252) to standard error and gives exit status 1.
    int Refuse(std::string_view cp1252);

  private:
    std::vector<std::string> args_;
    std::string programDir_;
    std::ostream &out_;
    std::ostream &err_;
};

using CommandFn = int (*)(CliContext &);

struct CliCommand {
    std::string_view group; // e.g. "project"
    std::string_view name;  // e.g. "show"; empty for a one-word command
    std::string_view usage; // arguments after the words
    CommandFn run;
};

// Before a command runs: its project folder (the folder of the first
// argument, or the argument itself when it is a folder) is locked for the
// command's time and brought back whole after an interrupted write. A command
// that writes refuses while another process holds the lock, unless given
// "--force"; a command that only reads goes on, leaving the folder as it is.
// Gives the exit status of a refusal, or nothing to go on.
std::optional<int> OpenProjectFor(const CliCommand &command, CliContext &ctx, TProjectLock &lock);

// The project files (*.zpr) lying in a folder, sorted by name.
std::vector<std::string> ProjectFilesIn(const std::string &dir);

// Each group of commands lives in its own cmd_*.cpp.
std::span<const CliCommand> ProjectCommands();
std::span<const CliCommand> RegisterCommands(); // station ..., line ...
std::span<const CliCommand> RouteCommands();    // route ..., timetable ..., check
std::span<const CliCommand> HtmlCommands();
std::span<const CliCommand> StationDataCommands(); // station show|set|import-data
std::span<const CliCommand> GtfsCommands();        // gtfs export
std::span<const CliCommand> PrintCommands();       // pdf ..., graph (Qt builds only)
std::span<const CliCommand> QueryCommands();       // query
std::span<const CliCommand> CalendarCommands();    // calendar ..., footnote ..., runs

} // namespace takton::cli
