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

std::vector<TDeparture> JourneyDeparturesAt(const std::vector<std::string> &rowValues,
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
    std::vector<TDeparture> result;
    for (std::size_t c = 0; c < table.Columns.size(); ++c) {
        const TPrintColumn &column = table.Columns[c];
        if (!column.IsInterval()) {
            if (times[c] >= 0)
                result.push_back({times[c], column.Journey});
            continue;
        }
        const auto sides = IntervalNeighbours(c, times.size(),
                                              [&](std::size_t other) { return times[other] >= 0; });
        if (!sides)
            continue;
        const int from = times[sides->first];
        const int owner = table.Columns[sides->first].Journey;
        for (const int shift : IntervalShifts(from, times[sides->second], column.IntervalMinutes))
            result.push_back({(from + shift) % 1440, owner});
    }
    return result;
}

std::vector<int> DeparturesAt(const std::vector<std::string> &rowValues,
                              const std::string &station) {
    std::vector<int> minutes;
    for (const auto &departure : JourneyDeparturesAt(rowValues, station))
        minutes.push_back(departure.Minute);
    return minutes;
}

const TMinuteMark &TPosterHour::MarkOf(std::size_t group, std::size_t i) const {
    static const TMinuteMark none;
    return group < Marks.size() && i < Marks[group].size() ? Marks[group][i] : none;
}

std::string MinuteText(const TPoster &poster, const TPosterHour &hour, std::size_t group,
                       std::size_t i) {
    const int minute = hour.Minutes[group][i];
    const TMinuteMark &mark = hour.MarkOf(group, i);
    std::string text{static_cast<char>('0' + minute / 10), static_cast<char>('0' + minute % 10)};
    text += mark.Footnote;
    if (mark.Night)
        text += poster.NightMark;
    return text;
}

TPoster BuildPoster(const std::string &dir, const TPrjParams &params, const std::string &station) {
    TPoster poster;
    poster.Station = station;
    for (const auto &group : params.DayGroups)
        poster.DayGroupTexts.push_back(DayGroupText(params, group.Name));
    const TFootnoteList footnotes = LoadFootnotes(dir);
    poster.NightMark = NightMarkOf(footnotes);
    std::vector<std::string> usedFootnotes;
    bool anyNight = false;
    const std::size_t groups = params.DayGroups.size();
    for (const auto &line : LoadStationLines(dir, station)) {
        const TTimetableFile file(TimetablePath(dir, line));
        for (int direction = 1; direction <= 2; ++direction) {
            TPosterBlock block{line, direction, "", {}};
            // Per hour row and day group: minutes with their marks.
            std::map<int, std::vector<std::vector<std::pair<int, TMinuteMark>>>> hours;
            for (std::size_t g = 0; g < groups; ++g) {
                const std::string section =
                    TimetableSectionName(direction, params.DayGroups[g].Name);
                if (!file.HasSection(section))
                    continue;
                const auto rows = file.ReadRows(section);
                const std::vector<TDeparture> departures = JourneyDeparturesAt(rows, station);
                if (departures.empty())
                    continue;
                if (block.Destination.empty())
                    block.Destination = std::string(RowStation(rows.back()));
                const TJourneyMarkList marks = file.ReadJourneyMarks(section);
                for (const TDeparture &departure : departures) {
                    const auto j = static_cast<std::size_t>(departure.Journey - 1);
                    const TJourneyMarks none;
                    const TJourneyMarks &mark =
                        departure.Journey >= 1 && j < marks.size() ? marks[j] : none;
                    const int hour = departure.Minute / 60;
                    // A night journey runs after the day's last, even one
                    // after the small hours.
                    const int order = mark.PreviousDayNight && hour >= kServiceDayStart
                                          ? 24 + ServiceOrder(hour)
                                          : ServiceOrder(hour);
                    auto &row = hours[order * 24 + hour];
                    row.resize(groups);
                    row[g].emplace_back(departure.Minute % 60,
                                        TMinuteMark{mark.Footnote, mark.PreviousDayNight});
                    if (!mark.Footnote.empty() &&
                        std::find(usedFootnotes.begin(), usedFootnotes.end(), mark.Footnote) ==
                            usedFootnotes.end())
                        usedFootnotes.push_back(mark.Footnote);
                    anyNight = anyNight || mark.PreviousDayNight;
                }
            }
            if (hours.empty())
                continue;
            for (auto &[key, row] : hours) {
                TPosterHour hour;
                hour.Hour = key % 24;
                hour.Minutes.resize(groups);
                hour.Marks.resize(groups);
                for (std::size_t g = 0; g < groups; ++g) {
                    std::stable_sort(
                        row[g].begin(), row[g].end(),
                        [](const auto &a, const auto &b) { return a.first < b.first; });
                    for (auto &[minute, mark] : row[g]) {
                        hour.Minutes[g].push_back(minute);
                        hour.Marks[g].push_back(std::move(mark));
                    }
                }
                block.Hours.push_back(std::move(hour));
            }
            poster.Blocks.push_back(std::move(block));
        }
    }
    for (const auto &footnote : footnotes)
        if (std::find(usedFootnotes.begin(), usedFootnotes.end(), footnote.Symbol) !=
            usedFootnotes.end())
            poster.Legend.push_back({footnote.Symbol, FootnoteLegendText(footnote)});
    if (anyNight)
        poster.Legend.push_back({poster.NightMark, NightLegendText()});
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

std::vector<TLegendLine> PosterPageLegend(const TPoster &poster, const TPosterPage &page) {
    // The night mark is no footnote's symbol.
    const auto carries = [&](const TMinuteMark &mark, const TLegendLine &line) {
        return line.Mark == poster.NightMark ? mark.Night : mark.Footnote == line.Mark;
    };
    std::vector<TLegendLine> lines;
    for (const auto &line : poster.Legend) {
        bool found = false;
        for (const auto &piece : page) {
            const auto &hours = poster.Blocks[static_cast<std::size_t>(piece.Block)].Hours;
            for (int h = piece.FirstHour; h < piece.FirstHour + piece.HourCount && !found; ++h)
                for (const auto &marks : hours[static_cast<std::size_t>(h)].Marks)
                    for (const auto &mark : marks)
                        found = found || carries(mark, line);
            if (found)
                break;
        }
        if (found)
            lines.push_back(line);
    }
    return lines;
}

} // namespace takton::print
