#pragma once

// The checks the project options apply before they change PrjParams; the
// options window and takton-cli share them.

#include "core/model/prj_params.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace takton {

// Why a new day group is refused (German, cp1252), or nothing when it may be
// added: name and text non-empty, a name CheckDayGroupName accepts, at least
// one day, a text no other group has (exact comparison) and a name no other
// group has, without regard to case.
std::optional<std::string> CheckNewDayGroup(const TPrjParams &params, const TDayGroupItem &group);

// Why a day-group name would break the files (German, cp1252), or nothing:
// the name list of the project file splits at "," and reads quotes, keys end
// at "=", section names at "]"; blanks at either end or control characters
// would not read back as written.
std::optional<std::string> CheckDayGroupName(std::string_view name);

// The position of the day group named so: exactly first, else without regard
// to case; -1 when there is none.
int IndexOfDayGroup(const TPrjParams &params, std::string_view name);

// Renames a day group in params, or gives why not (German, cp1252): the old
// group must exist, the new name pass CheckDayGroupName and be no other
// group's name in any case. The caller saves the project file and carries the
// rename into the timetables (CascadeRenameDayGroup); renaming to the same
// name exactly changes nothing.
std::optional<std::string> RenameDayGroup(TPrjParams &params, std::string_view oldName,
                                          std::string_view newName);
// Removes a day group from params, or gives why not (no such group).
std::optional<std::string> DeleteDayGroup(TPrjParams &params, std::string_view name);
std::string NoSuchDayGroup(std::string_view name);

// The driving minutes typed by the user: decimal digits only, fitting a signed
// 32-bit integer; nothing for any other text.
std::optional<std::int32_t> ParseDriveMinutes(std::string_view text);

} // namespace takton
