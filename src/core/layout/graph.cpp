#include "core/layout/graph.h"

#include "core/files/file_io.h"
#include "core/layout/print_timetable.h"
#include "core/model/interval_runs.h"
#include "core/model/master_data.h"
#include "core/model/timetable_check.h"
#include "core/model/timetable_file.h"
#include "core/util/cp1252.h"
#include "core/util/error.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

namespace takton::print {
namespace {

int TimeOf(const std::string &text) {
    int hour = 0, minute = 0;
    if (CellTextKind(text) != TCellKind::Time || !ParseTime(text, hour, minute))
        return -1;
    return hour * 60 + minute;
}

int RouteIndex(const std::vector<std::string> &route, const std::string &station) {
    for (std::size_t i = 0; i < route.size(); ++i)
        if (route[i] == station)
            return static_cast<int>(i);
    for (std::size_t i = 0; i < route.size(); ++i)
        if (SameTextCi(route[i], station))
            return static_cast<int>(i);
    return -1;
}

TGraphJourney ReadJourney(const TPrintTimetable &table, const TPrintColumn &column,
                          const std::vector<int> &stationOfRow, int direction) {
    TGraphJourney journey{direction, {}};
    int last = -1;
    for (std::size_t r = 0; r < column.Cells.size(); ++r) {
        int at = TimeOf(column.Cells[r]);
        if (at < 0 || stationOfRow[r] < 0)
            continue;
        while (last >= 0 && at < last)
            at += 1440;
        last = at;
        journey.Points.push_back({stationOfRow[r], at});
    }
    (void)table;
    return journey;
}

TGraphJourney Shifted(const TGraphJourney &journey, int minutes) {
    TGraphJourney copy = journey;
    for (auto &point : copy.Points)
        point.Minute += minutes;
    return copy;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

std::vector<TGraphJourney> GraphJourneys(const std::vector<std::string> &rowValues,
                                         const std::vector<std::string> &route, int direction) {
    const TPrintTimetable table = PrintTimetableFromRows(rowValues);
    std::vector<int> stationOfRow;
    for (const auto &row : table.Rows)
        stationOfRow.push_back(RouteIndex(route, row.Station));
    std::vector<TGraphJourney> read;
    for (const auto &column : table.Columns)
        read.push_back(column.IsInterval() ? TGraphJourney{direction, {}}
                                           : ReadJourney(table, column, stationOfRow, direction));
    std::vector<TGraphJourney> journeys;
    for (std::size_t c = 0; c < table.Columns.size(); ++c) {
        const TPrintColumn &column = table.Columns[c];
        if (!column.IsInterval()) {
            if (read[c].Points.size() >= 2)
                journeys.push_back(read[c]);
            continue;
        }
        const auto sides = IntervalNeighbours(
            c, read.size(), [&](std::size_t other) { return !read[other].Points.empty(); });
        if (!sides)
            continue;
        const TGraphJourney &first = read[sides->first];
        const TGraphJourney &next = read[sides->second];
        int to = next.Points.front().Minute;
        for (const auto &point : next.Points)
            if (point.Station == first.Points.front().Station) {
                to = point.Minute;
                break;
            }
        for (const int shift :
             IntervalShifts(first.Points.front().Minute, to, column.IntervalMinutes))
            journeys.push_back(Shifted(first, shift));
    }
    return journeys;
}

std::vector<double> StationOffsets(const std::vector<TGraphJourney> &journeys, int stations) {
    const std::size_t gaps = stations > 1 ? static_cast<std::size_t>(stations - 1) : 0;
    std::vector<std::vector<double>> times(gaps);
    for (const auto &journey : journeys)
        for (std::size_t p = 0; p + 1 < journey.Points.size(); ++p) {
            const TGraphPoint &a = journey.Points[p];
            const TGraphPoint &b = journey.Points[p + 1];
            if (std::abs(a.Station - b.Station) != 1)
                continue;
            times[static_cast<std::size_t>(std::min(a.Station, b.Station))].push_back(b.Minute -
                                                                                      a.Minute);
        }
    std::vector<double> known;
    std::vector<double> gap(gaps, -1);
    for (std::size_t g = 0; g < gaps; ++g)
        if (!times[g].empty()) {
            gap[g] = std::max(0.5, Median(times[g]));
            known.push_back(gap[g]);
        }
    const double fallback = known.empty() ? 1.0 : Median(known);
    std::vector<double> offsets(static_cast<std::size_t>(std::max(stations, 0)), 0.0);
    for (std::size_t g = 0; g < gaps; ++g)
        offsets[g + 1] = offsets[g] + (gap[g] < 0 ? fallback : gap[g]);
    return offsets;
}

TGraph BuildGraph(const std::string &dir, const TPrjParams &params, const std::string &line,
                  const std::string &dayGroup) {
    TGraph graph;
    graph.Line = line;
    graph.DayGroup = dayGroup;
    graph.DayGroupText = DayGroupText(params, dayGroup);
    graph.Stations = LoadLineStations(dir, line);
    if (graph.Stations.empty())
        throw TaktonError("Die Linie " + line + " hat keine Stationen.");
    const TTimetableFile file(TimetablePath(dir, line));
    for (int direction = 1; direction <= 2; ++direction) {
        const std::string section = TimetableSectionName(direction, dayGroup);
        if (!file.HasSection(section))
            continue;
        auto journeys = GraphJourneys(file.ReadRows(section), graph.Stations, direction);
        for (auto &journey : journeys)
            graph.Journeys.push_back(std::move(journey));
    }
    graph.Offsets = StationOffsets(graph.Journeys, static_cast<int>(graph.Stations.size()));
    int first = 24 * 60, last = 0;
    for (const auto &journey : graph.Journeys)
        for (const auto &point : journey.Points) {
            first = std::min(first, point.Minute);
            last = std::max(last, point.Minute);
        }
    if (graph.Journeys.empty())
        first = 0, last = 24 * 60;
    graph.FirstMinute = first / 60 * 60;
    graph.LastMinute = std::max(graph.FirstMinute + 60, (last + 59) / 60 * 60);
    return graph;
}

double TGraphScale::X(const TGraph &graph, double minute) const {
    return Left + (minute - graph.FirstMinute) * PerMinute;
}

double TGraphScale::Y(const TGraph &graph, int station) const {
    const auto s = static_cast<std::size_t>(station);
    return Top + (s < graph.Offsets.size() ? graph.Offsets[s] : 0.0) * PerOffset;
}

double TGraphScale::Width(const TGraph &graph) const {
    return X(graph, graph.LastMinute) + Right;
}

double TGraphScale::Height(const TGraph &graph) const {
    const double span = graph.Offsets.empty() ? 0.0 : graph.Offsets.back();
    return Top + span * PerOffset + Bottom;
}

TGraphScale GraphScale(const TGraph &graph, double zoom) {
    TGraphScale scale;
    const double span = graph.Offsets.empty() ? 0.0 : graph.Offsets.back();
    // About 600 pixels for the whole line at zoom 1, at least 18 per station.
    scale.PerOffset =
        span > 0 ? std::max(600.0 / span, 18.0 * static_cast<double>(graph.Stations.size()) / span)
                 : 12.0;
    scale.PerOffset *= zoom;
    scale.PerMinute *= zoom;
    return scale;
}

std::string ClockText(int minute) {
    minute = ((minute % 1440) + 1440) % 1440;
    return FormatTime(minute / 60, minute % 60);
}

} // namespace takton::print
