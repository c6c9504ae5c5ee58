#include "core/model/prj_save.h"

#include "core/model/date_text.h"
#include "core/model/ini_file.h"
#include "core/model/prj_load.h"
#include "core/model/prj_params.h"
#include "core/model/prog_info.h"

namespace takton {

namespace {
std::string JoinPlain(const std::vector<std::string> &items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            text += ',';
        text += items[i];
    }
    return text;
}

// A project that never changed a station field keeps its file as it was: a
// key is written once it differs from its default, and then kept up to date.
void WriteStationField(TIniFile &ini, std::string_view key, bool value, bool fallback) {
    if (value != fallback || ini.ValueExists(kStationDataSection, key))
        ini.WriteString(kStationDataSection, key, value ? "1" : "0");
}
void WritePublishing(TIniFile &ini, std::string_view key, const std::string &value,
                     const std::string &fallback) {
    if (value != fallback || ini.ValueExists(kPublishingSection, key))
        ini.WriteString(kPublishingSection, key, value);
}
} // namespace

void SaveProjectFile(const std::string &path, const TPrjParams &params) {
    TIniFile ini(path);
    ini.WriteString("application", "name", ProgName);
    ini.WriteString("application", "edition", ProgEdition);
    ini.WriteString("application", "version", ProgVersion);
    ini.WriteString("application", "type", ProgType);
    ini.WriteString("general", "lastsave", CurrentDateTimeText());

    std::vector<std::string> names;
    for (const auto &group : params.DayGroups)
        names.push_back(group.Name);
    ini.WriteString("daygroups", "daygroupnames", JoinPlain(names));
    for (const auto &group : params.DayGroups) {
        ini.WriteString("daygroups", group.Name + "_text", group.Text);
        ini.WriteString("daygroups", group.Name + "_days", DayKeysText(group.Days));
    }
    ini.WriteInteger("timetable", "max_drive_minutes", params.MaxDriveMinutes);
    // Written once it differs from the default, as the station fields are.
    if (params.MinChangeMinutes != TPrjParams().MinChangeMinutes ||
        ini.ValueExists("timetable", kMinChangeMinutesKey))
        ini.WriteInteger("timetable", kMinChangeMinutesKey, params.MinChangeMinutes);
    const TStationFields defaults;
    const TStationFields &fields = params.StationFields;
    WriteStationField(ini, kGeoPositionKey, fields.GeoPosition, defaults.GeoPosition);
    WriteStationField(ini, kTarifZoneKey, fields.TarifZone, defaults.TarifZone);
    WriteStationField(ini, kTarifRingKey, fields.TarifRing, defaults.TarifRing);
    const TPublishing standard;
    const TPublishing &publishing = params.Publishing;
    WritePublishing(ini, "agency_name", publishing.AgencyName, standard.AgencyName);
    WritePublishing(ini, "agency_url", publishing.AgencyUrl, standard.AgencyUrl);
    WritePublishing(ini, "timezone", publishing.Timezone, standard.Timezone);
    WritePublishing(ini, "language", publishing.Language, standard.Language);
    WritePublishing(ini, "first_date", publishing.FirstDate, standard.FirstDate);
    WritePublishing(ini, "last_date", publishing.LastDate, standard.LastDate);
    WritePublishing(ini, "route_type", std::to_string(publishing.RouteType),
                    std::to_string(standard.RouteType));
    WriteOperatingDays(ini, params.Calendar);
    ini.UpdateFile();
}

} // namespace takton
