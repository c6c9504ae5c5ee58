#pragma once

// Guards of the current project's files: the project lock with the question
// when another planner holds it, the read-only state that keeps every control
// that writes the project disabled, and the question before a window writes a
// file that changed since the window read it.

#include "core/files/file_stamp.h"
#include "gui/common/current_project.h"

#include <QString>
#include <string>

namespace takton::gui {

// Takes the lock of a project folder before the project in it becomes the
// current one, and completes an interrupted write there. When another planner
// holds the folder, asks whether to open it read-only: false when the user
// cancels, and then nothing changed. The lock of the previous project is let
// go once the new one is claimed.
bool ClaimProjectDir(TOpenProject &project, const std::string &dir);
// Lets the lock go (program end).
void ReleaseProjectDir(TOpenProject &project);

// While a project is open read-only (TOpenProject::ReadOnly), every file of
// its folder refuses to be written, and the controls that would write one
// (the save buttons, "Neu", "Ändern", "Löschen" and the cascades) stay
// disabled in every window.
// The window title with " [schreibgeschützt]" while read-only.
QString WithReadOnlyMark(const TOpenProject &project, const QString &title);

// Before a window writes a file it read: whether to write it. When the file
// changed since it was stamped (and is still there), asks "overwrite?" with
// "Abbrechen" the default: Write overwrites the other change, Reload means the
// window reloads and loses its own changes (the caller does that and writes
// nothing), Keep writes nothing and leaves the window as it is.
enum class TOverwrite { Write, Reload, Keep };
TOverwrite MayOverwrite(const std::string &path, const TFileStamp &stamp);

// The same for the project file: stamped when the project is loaded and
// after each save of it.
void StampProjectFile(TOpenProject &project);
TOverwrite MayOverwriteProjectFile(const TOpenProject &project);

} // namespace takton::gui
