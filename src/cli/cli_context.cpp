#include "cli/cli_context.h"

#include "core/files/file_io.h"
#include "core/files/write_batch.h"
#include "core/util/cp1252.h"

#include <algorithm>
#include <filesystem>
#include <ostream>

namespace takton::cli {

CliContext::CliContext(std::vector<std::string> args, std::string programDir, std::ostream &out,
                       std::ostream &err)
    : args_(std::move(args)), programDir_(std::move(programDir)), out_(out), err_(err) {}

std::string CliContext::PathArg(std::size_t i) const {
    return Cp1252ToUtf8(args_.at(i));
}

void CliContext::ExpectArgs(std::size_t min, std::size_t max) const {
    if (args_.size() < min || args_.size() > max)
        throw UsageError("falsche Anzahl von Argumenten");
}

bool CliContext::TakeFlag(std::string_view name) {
    const auto it = std::find(args_.begin(), args_.end(), name);
    if (it == args_.end())
        return false;
    args_.erase(it);
    return true;
}

std::string CliContext::TakeOption(std::string_view name) {
    const auto it = std::find(args_.begin(), args_.end(), name);
    if (it == args_.end())
        return {};
    if (it + 1 == args_.end())
        throw UsageError(std::string(name) + " braucht einen Wert");
    std::string value = *(it + 1);
    args_.erase(it, it + 2);
    return value;
}

void CliContext::PrintLine(std::string_view cp1252) {
    out_ << Cp1252ToUtf8(cp1252) << '\n';
}

void CliContext::PrintRaw(std::string_view bytes) {
    out_ << bytes;
}

int CliContext::Refuse(std::string_view cp1252) {
    err_ << Cp1252ToUtf8(cp1252) << '\n';
    return kExitFailed;
}

namespace {

bool Writes(const CliCommand &command) {
    const std::string_view group = command.group;
    const std::string_view name = command.name;
    if (group == "project")
        return name != "show";
    if (group == "station" || group == "line")
        return name != "list" && name != "show";
    if (group == "gtfs")
        return name == "import";
    if (group == "calendar")
        return name != "holidays" && name != "show";
    if (group == "footnote")
        return name == "add";
    if (group == "timetable")
        return name != "show";
    return group == "route" && name == "set";
}

std::optional<std::string> ProjectFolderOf(const CliCommand &command, const CliContext &ctx) {
    if (command.group == "html-table" || ctx.Args().empty() ||
        (command.group == "calendar" && command.name == "holidays"))
        return std::nullopt;
    // The import reads a feed from anywhere and writes the project named second.
    const bool import = command.group == "gtfs" && command.name == "import";
    if (import && ctx.Args().size() < 2)
        return std::nullopt;
    const std::string path = ctx.PathArg(import ? 1 : 0);
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return path;
    const std::string dir = DirectoryOf(path);
    return std::filesystem::is_directory(dir, error) ? std::optional(dir) : std::nullopt;
}

} // namespace

std::optional<int> OpenProjectFor(const CliCommand &command, CliContext &ctx, TProjectLock &lock) {
    const bool force = ctx.TakeFlag("--force");
    const auto dir = ProjectFolderOf(command, ctx);
    if (!dir)
        return std::nullopt;
    if (const auto owner = lock.Acquire(*dir, force && Writes(command))) {
        if (Writes(command))
            return ctx.Refuse(LockOwnerText(*owner) +
                              Cp1252(" Schreibende Befehle werden verweigert; --force "
                                     "übergeht die Sperre."));
        return std::nullopt;
    }
    if (lock.Held())
        RecoverInterruptedWrites(*dir);
    return std::nullopt;
}

std::vector<std::string> ProjectFilesIn(const std::string &dir) {
    std::vector<std::string> projects;
    std::error_code error;
    for (const auto &item : std::filesystem::directory_iterator(dir, error))
        if (item.path().extension() == ".zpr" && item.is_regular_file(error))
            projects.push_back(item.path().string());
    std::sort(projects.begin(), projects.end());
    return projects;
}

} // namespace takton::cli
