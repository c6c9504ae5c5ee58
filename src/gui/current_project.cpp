#include "gui/current_project.h"

namespace takton::gui {

std::string ProjectFile;
std::string ProjectDir;
std::string DefaultProjectFile;
std::string ProgExeName;

std::string DirectoryOf(const std::string &path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

} // namespace takton::gui
