#include "core/layout/poster.h"

#include "core/layout/print_timetable.h"
#include "core/model/interval_runs.h"
#include "core/model/master_data.h"
#include "core/model/timetable_check.h"
#include "core/model/timetable_file.h"

#include <algorithm>
#include <map>

namespace takton::print {
namespace {

constexpr int kServiceDayStart = 4; // hours before it belong to the night

int TimeOf(const std::string &text) {
    int hour = 0, minute = 0;
    if (CellTextKind(text) != TCellKind::Time || !ParseTime(text, hour, minute))
        return -1;
    return hour * 60 + minute;
}

// The rows of the station's first run of rows; false when it has none.
bool FindStationRows(const TPrintTimetable &table, const std::string &station, std::size_t &first,
                     std::size_t &last) {
    for (std::size_t r = 0; r < table.Rows.size(); ++r)
        if (table.Rows[r].Station == station) {
            first = last = r;
            while (last + 1 < table.Rows.size() && table.Rows[last + 1].Station == station)
                ++last;
            return true;
        }
    return false;
}

int ServiceOrder(int hour) {
    return (hour - kServiceDayStart + 24) % 24;
}

} // namespace

std::vector<int> DeparturesAt(const std::vector<std::string> &rowValues,
                              const std::string &station) {
    const TPrintTimetable table = PrintTimetableFromRows(rowValues);
    std::size_t first = 0, last = 0;
    if (!FindStationRows(table, station, first, last) || last + 1 >= table.Rows.size())
        return {};
    // Per column: departure here, or -1 when the journey does not leave here.
    std::vector<int> times(table.Columns.size(), -1);
    for (std::size_t c = 0; c < table.Columns.size(); ++c) {
        const TPrintColumn &column = table.Columns[c];
        if (column.IsInterval())
            continue;
        int at = -1;
        for (std::size_t r = last + 1; r-- > first;)
            if ((at = TimeOf(column.Cells[r])) >= 0)
                break;
        bool goesOn = false;
        for (std::size_t r = last + 1; r < table.Rows.size() && !goesOn; ++r)
            goesOn = TimeOf(column.Cells[r]) >= 0;
        if (goesOn)
            times[c] = at;
    }
    std::vector<int> result;
    for (std::size_t c = 0; c < table.Columns.size(); ++c) {
        const TPrintColumn &column = table.Columns[c];
        if (!column.IsInterval()) {
            if (times[c] >= 0)
                result.push_back(times[c]);
            continue;
        }
        const auto sides = IntervalNeighbours(c, times.size(),
                                              [&](std::size_t other) { return times[other] >= 0; });
        if (!sides)
            continue;
        const int from = times[sides->first];
        for (const int shift : IntervalShifts(from, times[sides->second], column.IntervalMinutes))
            result.push_back((from + shift) % 1440);
    }
    return result;
}

TPoster BuildPoster(const std::string &dir, const TPrjParams &params, const std::string &station) {
    TPoster poster;
    poster.Station = station;
    for (const auto &group : params.DayGroups)
        poster.DayGroupTexts.push_back(group.Text.empty() ? group.Name : group.Text);
    const std::size_t groups = params.DayGroups.size();
    for (const auto &line : LoadStationLines(dir, station)) {
        const TTimetableFile file(TimetablePath(dir, line));
        for (int direction = 1; direction <= 2; ++direction) {
            TPosterBlock block{line, direction, "", {}};
            std::map<int, TPosterHour> hours;
            for (std::size_t g = 0; g < groups; ++g) {
                const std::string section =
                    TimetableSectionName(direction, params.DayGroups[g].Name);
                if (!file.HasSection(section))
                    continue;
                const auto rows = file.ReadRows(section);
                const std::vector<int> times = DeparturesAt(rows, station);
                if (times.empty())
                    continue;
                if (block.Destination.empty())
                    block.Destination = std::string(RowStation(rows.back()));
                for (int t : times) {
                    TPosterHour &hour = hours[ServiceOrder(t / 60)];
                    hour.Hour = t / 60;
                    hour.Minutes.resize(groups);
                    hour.Minutes[g].push_back(t % 60);
                }
            }
            if (hours.empty())
                continue;
            for (auto &[order, hour] : hours) {
                for (auto &minutes : hour.Minutes)
                    std::sort(minutes.begin(), minutes.end());
                block.Hours.push_back(std::move(hour));
            }
            poster.Blocks.push_back(std::move(block));
        }
    }
    return poster;
}

int HourLines(const TPosterHour &hour, int minutesPerLine) {
    minutesPerLine = std::max(1, minutesPerLine);
    int lines = 1;
    for (const auto &minutes : hour.Minutes)
        lines = std::max(lines,
                         (static_cast<int>(minutes.size()) + minutesPerLine - 1) / minutesPerLine);
    return lines;
}

std::vector<TPosterPage> LayoutPosterPages(const TPoster &poster, int minutesPerLine,
                                           int linesPerPage) {
    std::vector<TPosterPage> pages(1);
    int used = 0;
    for (int b = 0; b < static_cast<int>(poster.Blocks.size()); ++b) {
        const auto &hours = poster.Blocks[static_cast<std::size_t>(b)].Hours;
        int h = 0;
        while (h < static_cast<int>(hours.size())) {
            // A head with at least one hour row below it, else a new page.
            const int firstLines = HourLines(hours[static_cast<std::size_t>(h)], minutesPerLine);
            if (used > 0 && used + kPosterHeadLines + firstLines > linesPerPage) {
                pages.emplace_back();
                used = 0;
            }
            TPosterPiece piece{b, h, 0};
            used += kPosterHeadLines;
            while (h < static_cast<int>(hours.size())) {
                const int lines = HourLines(hours[static_cast<std::size_t>(h)], minutesPerLine);
                if (piece.HourCount > 0 && used + lines > linesPerPage)
                    break;
                used += lines;
                ++piece.HourCount;
                ++h;
            }
            pages.back().push_back(piece);
            ++used; // the gap after a piece
        }
    }
    return pages;
}

} // namespace takton::print
