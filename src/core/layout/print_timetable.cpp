#include "core/layout/print_timetable.h"

#include "core/calendar/operating_calendar.h"
#include "core/model/interval_runs.h"
#include "core/model/master_data.h"
#include "core/model/timetable_check.h"
#include "core/model/timetable_file.h"
#include "core/util/cp1252.h"
#include "core/util/error.h"
#include "core/util/string_grid.h"

#include <algorithm>

namespace takton::print {
namespace {

void SetRoles(std::vector<TPrintRow> &rows) {
    for (std::size_t r = 0; r + 1 < rows.size(); ++r)
        if (rows[r].Role.empty() && rows[r].Station == rows[r + 1].Station) {
            rows[r].Role = "an";
            rows[r + 1].Role = "ab";
        }
}

std::string DateText(const std::string &yyyymmdd) {
    if (yyyymmdd.size() != 8)
        return yyyymmdd;
    return yyyymmdd.substr(6, 2) + "." + yyyymmdd.substr(4, 2) + "." + yyyymmdd.substr(0, 4);
}

// One section of a timetable file already read; a missing section gives the
// route's stations without journeys.
TPrintTimetable TableOfSection(const TTimetableFile &file, const std::string &dir,
                               const TPrjParams &params, const TFootnoteList &footnotes,
                               const std::string &line, int direction,
                               const std::string &dayGroup) {
    const std::string section = TimetableSectionName(direction, dayGroup);
    TPrintTimetable table;
    if (file.HasSection(section)) {
        table = PrintTimetableFromRows(file.ReadRows(section));
        ApplyJourneyMarks(table, file.ReadJourneyMarks(section), footnotes);
    } else {
        TStringList stations = LoadLineStations(dir, line);
        if (direction == 2)
            std::reverse(stations.begin(), stations.end());
        for (auto &station : stations)
            table.Rows.push_back({std::move(station), ""});
    }
    table.Line = line;
    table.Direction = direction;
    table.DayGroup = dayGroup;
    table.DayGroupText = DayGroupText(params, dayGroup);
    return table;
}

} // namespace

TPrintTimetable PrintTimetableFromRows(const std::vector<std::string> &rowValues) {
    TPrintTimetable table;
    std::vector<std::vector<std::string>> items;
    std::size_t width = 0;
    for (const auto &value : rowValues) {
        std::vector<std::string> cells;
        SplitText(value, cells, ',');
        if (cells.empty())
            cells.emplace_back();
        table.Rows.push_back({TrimCellText(cells.front()), ""});
        width = std::max(width, cells.size());
        items.push_back(std::move(cells));
    }
    SetRoles(table.Rows);
    for (std::size_t c = 1; c < width; ++c) {
        TPrintColumn column;
        bool any = false;
        for (const auto &cells : items) {
            std::string text = c < cells.size() ? TrimCellText(cells[c]) : std::string();
            if (!text.empty()) {
                any = true;
                if (column.IntervalMinutes < 0 && CellTextKind(text) == TCellKind::Interval)
                    column.IntervalMinutes = GetIntervalMinutes(text);
            }
            column.Cells.push_back(std::move(text));
        }
        column.Journey = static_cast<int>(c);
        if (any)
            table.Columns.push_back(std::move(column));
    }
    return table;
}

TPrintTimetable LoadPrintTimetable(const std::string &dir, const TPrjParams &params,
                                   const std::string &line, int direction,
                                   const std::string &dayGroup) {
    const TTimetableFile file(TimetablePath(dir, line));
    return TableOfSection(file, dir, params, LoadFootnotes(dir), line, direction, dayGroup);
}

std::vector<TPrintTimetable> LoadLineTimetables(const std::string &dir, const TPrjParams &params,
                                                const std::string &line) {
    // The file is read once for all its sections.
    const TTimetableFile file(TimetablePath(dir, line));
    const TFootnoteList footnotes = LoadFootnotes(dir);
    std::vector<TPrintTimetable> tables;
    for (const auto &group : params.DayGroups)
        for (int direction = 1; direction <= 2; ++direction)
            if (file.HasSection(TimetableSectionName(direction, group.Name)))
                tables.push_back(
                    TableOfSection(file, dir, params, footnotes, line, direction, group.Name));
    if (tables.empty())
        throw TaktonError("Die Linie " + line + " hat keinen Fahrplan.");
    return tables;
}

std::string ValidityText(const TPrjParams &params) {
    const std::string &first = params.Publishing.FirstDate;
    const std::string &last = params.Publishing.LastDate;
    if (!first.empty() && !last.empty())
        return Cp1252("gültig vom ") + DateText(first) + " bis " + DateText(last);
    if (!first.empty())
        return Cp1252("gültig ab ") + DateText(first);
    if (!last.empty())
        return Cp1252("gültig bis ") + DateText(last);
    return {};
}

std::string IntervalText(int minutes) {
    return "alle " + std::to_string(minutes) + " Min";
}

std::string DayGroupText(const TPrjParams &params, const std::string &dayGroup) {
    for (const auto &group : params.DayGroups) {
        if (group.Name != dayGroup)
            continue;
        std::string text = group.Text.empty() ? group.Name : group.Text;
        // The planner's "Sonn- und Feiertag" stays as written.
        if (calendar::HolidaysRunGroup(params.Calendar, group.Days) &&
            FoldCase(text).find("feiertag") == std::string::npos)
            text += " und an Feiertagen";
        return text;
    }
    return dayGroup;
}

void ApplyJourneyMarks(TPrintTimetable &table, const TJourneyMarkList &marks,
                       const TFootnoteList &footnotes) {
    const auto markOf = [&](int journey) -> const TJourneyMarks * {
        const auto j = static_cast<std::size_t>(journey - 1);
        return journey >= 1 && j < marks.size() ? &marks[j] : nullptr;
    };
    std::vector<TPrintColumn> &columns = table.Columns;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        std::size_t owner = c;
        if (columns[c].IsInterval()) {
            const auto sides = IntervalNeighbours(
                c, columns.size(), [&](std::size_t k) { return !columns[k].IsInterval(); });
            if (!sides)
                continue;
            owner = sides->first;
        }
        if (const TJourneyMarks *mark = markOf(columns[owner].Journey)) {
            columns[c].Footnote = mark->Footnote;
            columns[c].Night = mark->PreviousDayNight;
        }
    }
    std::stable_partition(columns.begin(), columns.end(),
                          [](const TPrintColumn &column) { return !column.Night; });
    table.NightMark = NightMarkOf(footnotes);
    table.Legend.clear();
    for (const auto &footnote : footnotes)
        if (std::any_of(columns.begin(), columns.end(), [&](const TPrintColumn &column) {
                return column.Footnote == footnote.Symbol;
            }))
            table.Legend.push_back({footnote.Symbol, FootnoteLegendText(footnote)});
    if (std::any_of(columns.begin(), columns.end(),
                    [](const TPrintColumn &column) { return column.Night; }))
        table.Legend.push_back({table.NightMark, NightLegendText()});
}

std::string NightMarkOf(const TFootnoteList &footnotes) {
    std::string mark = "N";
    while (FindFootnote(footnotes, mark))
        mark += '*';
    return mark;
}

std::string FootnoteLegendText(const TFootnote &footnote) {
    return footnote.Text.empty() ? FootnoteRuleText(footnote) : footnote.Text;
}

std::string NightLegendText() {
    return Cp1252("fährt nach Mitternacht, in der Nacht zum folgenden Tag");
}

std::string ColumnMarkText(const TPrintTimetable &table, const TPrintColumn &column) {
    std::string text = column.Footnote;
    if (column.Night)
        text += (text.empty() ? "" : " ") + table.NightMark;
    return text;
}

std::vector<TLegendLine> LegendOfColumns(const TPrintTimetable &table, int first, int count) {
    const auto size = static_cast<int>(table.Columns.size());
    const auto begin = table.Columns.begin() + std::clamp(first, 0, size);
    const auto end = table.Columns.begin() + std::clamp(first + count, 0, size);
    std::vector<TLegendLine> lines;
    for (const auto &line : table.Legend) {
        const bool night = line.Mark == table.NightMark &&
                           std::any_of(begin, end, [](const TPrintColumn &c) { return c.Night; });
        if (night ||
            std::any_of(begin, end, [&](const TPrintColumn &c) { return c.Footnote == line.Mark; }))
            lines.push_back(line);
    }
    return lines;
}

} // namespace takton::print
