// takton-cli station show|set|import-data and project set-station-fields: the
// data of stations beyond their names, as the stations editor keeps it.

#include "cli/cli_context.h"
#include "core/files/file_io.h"
#include "core/model/master_data.h"
#include "core/model/prj_load.h"
#include "core/model/prj_params.h"
#include "core/model/prj_save.h"
#include "core/model/registers.h"
#include "core/model/station_data.h"
#include "core/model/station_import.h"
#include "core/util/counted.h"
#include "core/util/cp1252.h"

#include <algorithm>

namespace takton::cli {
namespace {

// "--name VALUE" when given, an empty value included.
std::optional<std::string> TakeGivenOption(CliContext &ctx, std::string_view name) {
    const auto &args = ctx.Args();
    if (std::find(args.begin(), args.end(), name) == args.end())
        return std::nullopt;
    return ctx.TakeOption(name);
}

// The station as the register spells it.
std::optional<std::string> RegisteredStation(const std::string &dir, std::string_view name) {
    const TStringList stations = LoadNameList(dir, kStationsFile);
    const int at = IndexOfItemExactFirst(stations, name);
    if (at < 0)
        return std::nullopt;
    return stations[static_cast<std::size_t>(at)];
}

int Show(CliContext &ctx) {
    ctx.ExpectArgs(2, 2);
    const std::string dir = ctx.PathArg(0);
    const auto station = RegisteredStation(dir, ctx.Args()[1]);
    if (!station)
        return ctx.Refuse(NoSuchStation(ctx.Args()[1]));
    const TStationData data = LoadOneStationData(dir, *station);
    ctx.PrintLine("lat: " + (data.Position ? FormatCoordinate(data.Position->Lat) : ""));
    ctx.PrintLine("lon: " + (data.Position ? FormatCoordinate(data.Position->Lon) : ""));
    ctx.PrintLine("zone: " + data.Zone);
    ctx.PrintLine("ring: " + data.Ring);
    return kExitOk;
}

int Set(CliContext &ctx) {
    const auto lat = TakeGivenOption(ctx, "--lat");
    const auto lon = TakeGivenOption(ctx, "--lon");
    const auto zone = TakeGivenOption(ctx, "--zone");
    const auto ring = TakeGivenOption(ctx, "--ring");
    ctx.ExpectArgs(2, 2);
    if (lat.has_value() != lon.has_value())
        throw UsageError("--lat und --lon nur zusammen");
    if (!lat && !zone && !ring)
        throw UsageError("nichts zu setzen");
    const std::string dir = ctx.PathArg(0);
    const auto station = RegisteredStation(dir, ctx.Args()[1]);
    if (!station)
        return ctx.Refuse(NoSuchStation(ctx.Args()[1]));
    const TStationDataInput input{lat.has_value(),  lat.value_or(""),  lon.value_or(""),
                                  zone.has_value(), zone.value_or(""), ring.has_value(),
                                  ring.value_or("")};
    TStationData data = LoadOneStationData(dir, *station);
    if (const auto refusal = ApplyStationDataInput(input, data))
        return ctx.Refuse(*refusal);
    StoreStationData(dir, *station, data);
    return kExitOk;
}

int ImportData(CliContext &ctx) {
    ctx.ExpectArgs(2, 2);
    const auto bytes = ReadWholeFile(ctx.PathArg(1));
    if (!bytes)
        return ctx.Refuse("Die Datei " + ctx.Args()[1] + " kann nicht gelesen werden.");
    const TStationImportResult result = ImportStationData(ctx.PathArg(0), *bytes);
    ctx.PrintLine(Cp1252("Übernommen: ") + Counted(result.Stored.size(), "Station", "Stationen"));
    for (const auto &name : result.NotFound)
        ctx.PrintLine("Nicht gefunden: " + name);
    for (const auto &refusal : result.Refused)
        ctx.PrintLine(Cp1252("Nicht übernommen: ") + refusal);
    return kExitOk;
}

// The fields named are switched on, the others off.
int SetStationFields(CliContext &ctx) {
    ctx.ExpectArgs(1);
    TStationFields fields{false, false, false};
    const auto &args = ctx.Args();
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "geo")
            fields.GeoPosition = true;
        else if (args[i] == "zone")
            fields.TarifZone = true;
        else if (args[i] == "ring")
            fields.TarifRing = true;
        else
            throw UsageError("unbekanntes Feld " + args[i] + " (erlaubt: geo, zone, ring)");
    }
    const std::string path = ctx.PathArg(0);
    LoadProjectFile(path, ctx.Params);
    ctx.Params.StationFields = fields;
    SaveProjectFile(path, ctx.Params);
    return kExitOk;
}

constexpr CliCommand kCommands[] = {
    {"station", "show", "DIR NAME", Show},
    {"station", "set", "DIR NAME [--lat X --lon Y] [--zone Z] [--ring R]", Set},
    {"station", "import-data", "DIR FILE.csv", ImportData},
    {"project", "set-station-fields", "FILE.zpr [geo] [zone] [ring]", SetStationFields},
};

} // namespace

std::span<const CliCommand> StationDataCommands() {
    return kCommands;
}

} // namespace takton::cli
