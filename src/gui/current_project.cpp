#include "gui/current_project.h"

namespace takton::gui {

std::string ProjectFile;
std::string ProjectDir;
std::string DefaultProjectFile;
std::string ProgExeName;

} // namespace takton::gui
