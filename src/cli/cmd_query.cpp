// takton-cli query: the connections between two stations on a date (by the
// project's operating calendar) or a day group (every journey of it), as the
// window "Verbindugns-Abfrage" finds them.

#include "cli/cli_context.h"
#include "core/model/calendar_date.h"
#include "core/model/prj_load.h"
#include "core/model/prj_params.h"
#include "core/model/project_rules.h"
#include "core/search/connection_scan.h"
#include "core/util/cp1252.h"

#include <charconv>
#include <cstdio>
#include <filesystem>

namespace takton::cli {
namespace {

using namespace takton::search;

std::string JsonText(std::string_view cp1252) {
    std::string text = "\"";
    for (const char c : cp1252) {
        if (c == '"' || c == '\\') {
            text += '\\';
            text += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
            text += escaped;
        } else {
            text += c;
        }
    }
    return text + "\"";
}

std::string ChangesText(int changes) {
    return std::to_string(changes) + (changes == 1 ? " Umstieg" : " Umstiege");
}

void PrintText(CliContext &ctx, const TConnectionIndex &index,
               const std::vector<TJourney> &journeys) {
    if (journeys.empty())
        ctx.PrintLine("Keine Verbindung gefunden");
    for (const auto &journey : journeys) {
        ctx.PrintLine(FormatDayTime(journey.Departure()) + " - " +
                      FormatDayTime(journey.Arrival()) + ", Dauer " +
                      FormatDuration(journey.Arrival() - journey.Departure()) + ", " +
                      ChangesText(journey.Changes()));
        for (const auto &leg : journey.Legs) {
            const TTrip &trip = index.Trips()[leg.Trip];
            ctx.PrintLine("  Linie " + index.LineName(trip.Line) + " Richtung " +
                          index.StationName(trip.EndStation) + ": " + index.StationName(leg.From) +
                          " ab " + FormatDayTime(leg.Departure) + ", " + index.StationName(leg.To) +
                          " an " + FormatDayTime(leg.Arrival));
        }
    }
}

void PrintJson(CliContext &ctx, const TConnectionIndex &index,
               const std::vector<TJourney> &journeys) {
    std::string json = "[";
    for (std::size_t j = 0; j < journeys.size(); ++j) {
        const TJourney &journey = journeys[j];
        json += j ? ", " : "";
        json += "{\"departure\": " + JsonText(FormatDayTime(journey.Departure())) +
                ", \"arrival\": " + JsonText(FormatDayTime(journey.Arrival())) +
                ", \"changes\": " + std::to_string(journey.Changes()) + ", \"legs\": [";
        for (std::size_t l = 0; l < journey.Legs.size(); ++l) {
            const TLeg &leg = journey.Legs[l];
            const TTrip &trip = index.Trips()[leg.Trip];
            json += l ? ", " : "";
            json += "{\"line\": " + JsonText(index.LineName(trip.Line)) +
                    ", \"direction\": " + std::to_string(trip.Direction) +
                    ", \"from\": " + JsonText(index.StationName(leg.From)) +
                    ", \"departure\": " + JsonText(FormatDayTime(leg.Departure)) +
                    ", \"to\": " + JsonText(index.StationName(leg.To)) +
                    ", \"arrival\": " + JsonText(FormatDayTime(leg.Arrival)) + "}";
        }
        json += "]}";
    }
    ctx.PrintLine(json + "]");
}

int Query(CliContext &ctx) {
    const std::string date = ctx.TakeOption("--date");
    const std::string dayGroup = ctx.TakeOption("--day");
    const std::string depart = ctx.TakeOption("--depart");
    const std::string arrive = ctx.TakeOption("--arrive");
    const std::string count = ctx.TakeOption("--count");
    const bool json = ctx.TakeFlag("--json");
    ctx.ExpectArgs(3, 3);
    if (date.empty() == dayGroup.empty())
        throw UsageError("Genau eines von --date und --day ist anzugeben.");
    if (depart.empty() == arrive.empty())
        throw UsageError("Genau eines von --depart und --arrive ist anzugeben.");

    const std::string dir = ctx.PathArg(0);
    std::error_code error;
    if (!std::filesystem::is_directory(dir, error))
        return ctx.Refuse("Das Projektverzeichnis " + ctx.Args()[0] + " gibt es nicht.");
    const std::vector<std::string> projects = ProjectFilesIn(dir);
    if (projects.size() != 1)
        return ctx.Refuse("Im Projektverzeichnis " + ctx.Args()[0] +
                          " liegt nicht genau eine Projektdatei (*.zpr).");
    LoadProjectFile(projects.front(), ctx.Params);

    TServiceDay day;
    if (!date.empty()) {
        const std::optional<TDate> when = ParseIsoDate(date);
        if (!when)
            return ctx.Refuse(Cp1252("Das Datum ") + date +
                              Cp1252(" ist ungültig; erwartet wird JJJJ-MM-TT."));
        // Holidays, special days and footnotes as the operating calendar has them.
        day = ServiceDayOfDate(ctx.Params, *when);
    } else {
        const int group = IndexOfDayGroup(ctx.Params, dayGroup);
        if (group < 0)
            return ctx.Refuse(NoSuchDayGroup(dayGroup));
        day = ServiceDayOfGroup(ctx.Params.DayGroups[static_cast<std::size_t>(group)].Name);
    }
    const std::string &timeText = depart.empty() ? arrive : depart;
    const auto time = ParseDayTime(timeText);
    if (!time)
        return ctx.Refuse(Cp1252("Die Uhrzeit ") + timeText +
                          Cp1252(" ist ungültig; erwartet wird HH:MM."));
    TQuery query{ctx.Args()[1], ctx.Args()[2], *time, !arrive.empty(), kDefaultConnectionCount};
    if (!count.empty()) {
        const auto [end, failed] =
            std::from_chars(count.data(), count.data() + count.size(), query.Count);
        if (failed != std::errc() || end != count.data() + count.size() || query.Count < 1 ||
            query.Count > 100)
            return ctx.Refuse("--count verlangt eine Zahl von 1 bis 100.");
    }

    const auto index = TConnectionIndex::Build(dir, day, ctx.Params.MinChangeMinutes);
    for (const std::string *station : {&query.From, &query.To})
        if (index.FindStation(*station) < 0)
            return ctx.Refuse("Die Station " + *station + " gibt es im Projekt nicht.");
    const auto journeys = FindConnections(index, query);
    if (json)
        PrintJson(ctx, index, journeys);
    else
        PrintText(ctx, index, journeys);
    return kExitOk;
}

constexpr CliCommand kCommands[] = {
    {"query", "",
     "DIR FROM TO (--date JJJJ-MM-TT | --day TAGESGRUPPE) (--depart HH:MM | --arrive HH:MM) "
     "[--count N] [--json]",
     Query},
};

} // namespace

std::span<const CliCommand> QueryCommands() {
    return kCommands;
}

} // namespace takton::cli
