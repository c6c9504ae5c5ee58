#include "core/model/project_files.h"

#include "core/files/file_io.h"
#include "core/model/footnotes.h"
#include "core/model/line_data.h"
#include "core/model/master_data.h"
#include "core/model/station_data.h"

#include <filesystem>

namespace takton {

const std::vector<std::string_view> &ProjectDataFileNames() {
    static const std::vector<std::string_view> names = {
        kStationsFile,     kNewStationsFile, kLinesFile,    kLineStationsFile,
        kStationLinesFile, kStationDataFile, kLineDataFile, kFootnotesFile};
    return names;
}

std::vector<std::string> ExistingProjectFileNames(const std::string &dir) {
    std::vector<std::string> names;
    for (std::string_view name : ProjectDataFileNames())
        if (FileExists(ProjectPath(dir, name)))
            names.emplace_back(name);
    for (const auto &path : TimetableFilePaths(dir))
        names.push_back(std::filesystem::path(path).filename().string());
    return names;
}

} // namespace takton
