#include "core/model/prj_load.h"

#include "core/model/date_text.h"
#include "core/model/ini_file.h"
#include "core/model/prj_params.h"

namespace takton {

namespace {}

std::vector<std::string> SplitValueList(const std::string &value) {
    std::vector<std::string> pieces;
    std::string piece;
    char quote = 0;
    for (char c : value) {
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ',') {
            if (!piece.empty())
                pieces.push_back(std::move(piece));
            piece.clear();
            continue;
        }
        piece += c;
    }
    if (!piece.empty())
        pieces.push_back(std::move(piece));
    return pieces;
}

void LoadProjectFile(const std::string &path, TPrjParams &params, IProjectLoadObserver *observer) {
    const TIniFile ini(path);
    params.LastSave = ini.ValueExists("general", "lastsave")
                          ? ini.ReadString("general", "lastsave", "")
                          : CurrentDateTimeText();

    const auto names = SplitValueList(ini.ReadString("daygroups", "daygroupnames", ""));
    if (!names.empty()) {
        params.DayGroups.clear();
        for (const auto &name : names) {
            TDayGroupItem group;
            group.Name = name;
            group.Text = ini.ReadString("daygroups", name + "_text", name);
            const auto keys = SplitValueList(ini.ReadString("daygroups", name + "_days", ""));
            if (keys.empty())
                continue;
            for (const auto &key : keys) {
                const int index = IndexOfText(WeekDayKeys, key);
                if (index >= 0)
                    group.Days = WithDay(group.Days, index);
            }
            params.DayGroups.push_back(std::move(group));
        }
        if (observer)
            observer->DayGroupsLoaded();
    }

    params.MaxDriveMinutes =
        static_cast<std::int32_t>(ini.ReadInteger("timetable", "max_drive_minutes", 720));
    // Read before the observer hears of the "timetable" section.
    params.MinChangeMinutes = static_cast<std::int32_t>(
        ini.ReadInteger("timetable", kMinChangeMinutesKey, TPrjParams().MinChangeMinutes));
    if (observer)
        observer->MaxDriveMinutesLoaded(std::to_string(params.MaxDriveMinutes));

    const TStationFields defaults;
    const auto readFlag = [&](std::string_view key, bool fallback) {
        return ini.ReadInteger(kStationDataSection, key, fallback ? 1 : 0) != 0;
    };
    params.StationFields.GeoPosition = readFlag(kGeoPositionKey, defaults.GeoPosition);
    params.StationFields.TarifZone = readFlag(kTarifZoneKey, defaults.TarifZone);
    params.StationFields.TarifRing = readFlag(kTarifRingKey, defaults.TarifRing);
    if (observer)
        observer->StationFieldsLoaded();

    const TPublishing publishing;
    TPublishing &read = params.Publishing;
    const auto text = [&](std::string_view key, const std::string &fallback) {
        return ini.ReadString(kPublishingSection, key, fallback);
    };
    read.AgencyName = text("agency_name", publishing.AgencyName);
    read.AgencyUrl = text("agency_url", publishing.AgencyUrl);
    read.Timezone = text("timezone", publishing.Timezone);
    read.Language = text("language", publishing.Language);
    read.FirstDate = text("first_date", publishing.FirstDate);
    read.LastDate = text("last_date", publishing.LastDate);
    read.RouteType =
        static_cast<int>(ini.ReadInteger(kPublishingSection, "route_type", publishing.RouteType));
    params.Calendar = ReadOperatingDays(ini);
    if (observer)
        observer->PublishingLoaded();
}

} // namespace takton
