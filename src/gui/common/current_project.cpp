#include "gui/common/current_project.h"

#include "gui/common/dialogs.h"

namespace takton::gui {

TPrjParams PrjParams;
std::string ProjectFile;
std::string ProjectDir;
std::string DefaultProjectFile;
std::string ProgExeName;

namespace {
bool TellNoProject() {
    Dialogs().ShowMessage(QStringLiteral("Kein Projekt geladen!"));
    return true;
}
} // namespace

bool NoProjectFile() {
    return ProjectFile.empty() && TellNoProject();
}

bool NoProjectDir() {
    return ProjectDir.empty() && TellNoProject();
}

} // namespace takton::gui
