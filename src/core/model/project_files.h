#pragma once

// The files that make up a project beside its project file: the one list that
// copying a project, and every other place that must take a project whole,
// goes by. A file kind added to the project is added here.

#include <string>
#include <string_view>
#include <vector>

namespace takton {

// The names of the project's files of fixed name (registers, routes, the
// reverse index and the data files), in a fixed order.
const std::vector<std::string_view> &ProjectDataFileNames();

// The native names of the project's files that exist in a folder (not the
// project file itself), the fixed ones in their order, then the timetable
// files ("line_*.ttd") sorted by name.
std::vector<std::string> ExistingProjectFileNames(const std::string &dir);

} // namespace takton
