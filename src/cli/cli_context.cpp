#include "cli/cli_context.h"

#include "util/cp1252.h"

#include <algorithm>
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

} // namespace takton::cli
