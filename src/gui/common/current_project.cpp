#include "gui/common/current_project.h"

#include "gui/common/dialogs.h"

namespace takton::gui {

std::string DefaultProjectFile;
std::string ProgExeName;

namespace {
bool TellNoProject() {
    Dialogs().ShowMessage(QStringLiteral("Kein Projekt geladen!"));
    return true;
}
} // namespace

bool NoProjectFile(const TOpenProject &project) {
    return project.ProjectFile.empty() && TellNoProject();
}

bool NoProjectDir(const TOpenProject &project) {
    return project.ProjectDir.empty() && TellNoProject();
}

} // namespace takton::gui
