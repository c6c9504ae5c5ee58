#pragma once

// What the stations and lines editors do when an entry is saved or deleted,
// for the windows and the command-line tool alike: the checks, the register
// files, the memo list of new stations and the cascade into the other files.
//
// Each operation gives the refusal message (German, cp1252) when it refuses,
// and then has written nothing; otherwise it gives nothing. A file that cannot
// be written raises TaktonError; then no file of the operation changed.

#include "core/model/message_sink.h"

#include <optional>
#include <string>
#include <string_view>

namespace takton {

using TRefusal = std::optional<std::string>;

struct TNewStationMemo {
    bool Remember = false;     // "für neue Linie merken"
    bool StartNewList = false; // "Neue Merkliste beginnen", only with Remember
};

// Adds a station to "stations.csv" (kept sorted), and to the memo list
// "newstations.csv" when it is to be remembered.
TRefusal AddStation(const std::string &dir, std::string_view name, TNewStationMemo memo = {});
// Renames a station in the register and the memo list, then in every other
// file. The same name exactly writes nothing; a change of letter case alone is
// a rename. oldName is found without regard to case.
TRefusal RenameStation(const std::string &dir, std::string_view oldName, std::string_view newName);
// Deletes a station from the register and the memo list, then from every
// other file.
TRefusal DeleteStation(const std::string &dir, std::string_view name);

// The same for lines in "lines.csv"; renaming and deleting also rename or
// delete the line's timetable file, reporting a failure there to the sink.
TRefusal AddLine(const std::string &dir, std::string_view name);
TRefusal RenameLine(const std::string &dir, std::string_view oldName, std::string_view newName,
                    IMessageSink &messages);
TRefusal DeleteLine(const std::string &dir, std::string_view name, IMessageSink &messages);

// The refusals for a name that is not in its register.
std::string NoSuchStation(std::string_view name);
std::string NoSuchLine(std::string_view name);

} // namespace takton
