#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace takton {

class TPrjParams;

// The project every new project starts from, beside the programs.
inline constexpr std::string_view kDefaultProjectFileName = "default.zpr";

// Told by LoadProjectFile about what it loaded; the editor hands the project
// options window to every load, so that it shows each one, shown or not.
class IProjectLoadObserver {
  public:
    virtual ~IProjectLoadObserver() = default;
    // The day groups of the loaded parameters were replaced.
    virtual void DayGroupsLoaded() = 0;
    // The driving minutes were read; text is their decimal form.
    virtual void MaxDriveMinutesLoaded(const std::string &text) = 0;
    // The station fields were read.
    virtual void StationFieldsLoaded() {}
    // The publishing options were read.
    virtual void PublishingLoaded() {}
};

// Where the project file keeps the station fields ("1" on, "0" off). A file
// without these keys has the defaults of TStationFields.
inline constexpr std::string_view kStationDataSection = "stationdata";
inline constexpr std::string_view kGeoPositionKey = "geoposition";
inline constexpr std::string_view kTarifZoneKey = "tarifzone";
inline constexpr std::string_view kTarifRingKey = "tarifring";

// The minimum change time of the connection search, in section "timetable";
// a file without it has 2 minutes, and it is written once it differs.
inline constexpr std::string_view kMinChangeMinutesKey = "min_change_minutes";

// Where the project file keeps the publishing options (TPublishing). A file
// without these keys has their defaults; a key is written once it differs
// from its default.
inline constexpr std::string_view kPublishingSection = "publishing";

// Reads the project file at a native path into params and tells the observer
// (if any) what it read. Never fails for a missing file, section or key: the
// defaults apply.
void LoadProjectFile(const std::string &path, TPrjParams &params,
                     IProjectLoadObserver *observer = nullptr);

// The list rule of the project file's values: pieces at "," outside quotes,
// quotes kept, blanks kept, empty pieces dropped.
std::vector<std::string> SplitValueList(const std::string &value);

} // namespace takton
