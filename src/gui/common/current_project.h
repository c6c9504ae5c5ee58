#pragma once

// The project open in the editor, one object that the program makes at
// start-up and hands to every window that works on it. Paths are native (UTF-8).

#include "core/files/file_io.h"
#include "core/files/file_stamp.h"
#include "core/files/project_lock.h"
#include "core/model/prj_params.h"

#include <memory>
#include <string>

namespace takton::gui {

struct TOpenProject {
    // Full path of the project file; empty when none is current.
    std::string ProjectFile;
    // Directory of the project, without a trailing separator; every file of
    // the project lies in it. Empty until a project is opened or first saved.
    std::string ProjectDir;
    // The project's parameters, as loaded and as the windows changed them;
    // its driving time is 720 minutes from program start.
    TPrjParams PrjParams;
    // The lock of the project's folder while this program may write there
    // (none while the project is open read-only).
    std::shared_ptr<TProjectLock> Lock;
    // Open read-only: another planner holds the folder's lock.
    bool ReadOnly = false;
    // The project file as last loaded or saved, to tell a change by another
    // program (project_guard.h).
    TFileStamp ProjectFileStamp;
    std::string StampedProjectFile;
};

// A window that works on the open project: the program hands the project to
// it once, when it creates the window.
class TProjectUser {
  public:
    void SetProject(TOpenProject &project) { project_ = &project; }
    TOpenProject &Project() const { return *project_; }

  private:
    TOpenProject *project_ = nullptr;
};

// The default project file (kDefaultProjectFileName) beside the executable:
// a new project starts from it.
extern std::string DefaultProjectFile;
// Full path of the running executable.
extern std::string ProgExeName;

using takton::DirectoryOf;

// True, after telling the user "Kein Projekt geladen!", when no project file
// is current (NoProjectFile) or no project directory is known (NoProjectDir).
bool NoProjectFile(const TOpenProject &project);
bool NoProjectDir(const TOpenProject &project);

} // namespace takton::gui
