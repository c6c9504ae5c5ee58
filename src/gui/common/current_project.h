#pragma once

// The current project, shared by every window. Paths are native (UTF-8).

#include "core/files/file_io.h"
#include "core/model/prj_params.h"

#include <string>

namespace takton::gui {

// The parameters of the current project, as loaded and as the windows
// changed them; its driving time is 720 minutes from program start.
extern TPrjParams PrjParams;
// Full path of the current project file; empty when none is current.
extern std::string ProjectFile;
// Directory of the project, without a trailing separator; every file of the
// project lies in it. Empty until a project is opened or first saved.
extern std::string ProjectDir;
// The default project file (kDefaultProjectFileName) beside the executable:
// a new project starts from it.
extern std::string DefaultProjectFile;
// Full path of the running executable.
extern std::string ProgExeName;

using takton::DirectoryOf;

// True, after telling the user "Kein Projekt geladen!", when no project file
// is current (NoProjectFile) or no project directory is known (NoProjectDir).
bool NoProjectFile();
bool NoProjectDir();

} // namespace takton::gui
