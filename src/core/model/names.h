#pragma once

// The rules for the names of stations and lines. Both are keys in several
// files: a name must survive the list form, the "name=value" entries and the
// timetable rows unchanged; a line name also names the line's timetable file.

#include <optional>
#include <string>
#include <string_view>

namespace takton {

// The refusal (German, cp1252) or nothing when the name may be stored.
std::optional<std::string> CheckStationName(std::string_view name);
std::optional<std::string> CheckLineName(std::string_view name);

// For a front end whose input could not be converted to cp1252.
std::string NameNotInCodePageMessage();

} // namespace takton
