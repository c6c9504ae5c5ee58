#include "core/model/timetable_grid.h"

#include "core/model/timetable_check.h"

#include <algorithm>

namespace takton {

void NumberJourneyColumns(TStringGrid &grid) {
    for (int c = kFirstJourneyCol; c < grid.ColCount(); ++c)
        grid.SetCell(c, 0, std::to_string(c - 1));
}

void PrepareTimetableGrid(TStringGrid &grid) {
    grid.SetColCount(kTimetableColumns);
    if (grid.RowCount() < kFirstStationRow + 1)
        grid.SetRowCount(kFirstStationRow + 1);
    grid.SetFixedCols(kTimetableFixedCols);
    grid.SetFixedRows(kTimetableFixedRows);
    grid.DefaultColWidth = 48;
    grid.DefaultRowHeight = 18;
    grid.SetCell(1, 1, kStationsHeading);
    grid.SetColWidth(0, 20);
    grid.SetColWidth(1, 140);
    NumberJourneyColumns(grid);
}

void LoadTimetableRows(TStringGrid &grid, const std::vector<std::string> &rowValues) {
    ClearGridCells(grid);
    grid.SetRowCount(kFirstStationRow + 1);
    // No station of an earlier timetable may stay behind in an empty one.
    grid.SetCell(0, kFirstStationRow, "");
    grid.SetCell(1, kFirstStationRow, "");
    std::vector<std::string> items;
    int row = kFirstStationRow;
    for (const auto &value : rowValues) {
        if (value.empty())
            break;
        grid.SetRowCount(row + 1);
        items.clear();
        SplitText(value, items, ',');
        // Row value cells beyond the grid's last column have nowhere to go.
        for (std::size_t i = 0; i < items.size() && static_cast<int>(i) + 1 < grid.ColCount(); ++i)
            grid.SetCell(static_cast<int>(i) + 1, row, std::move(items[i]));
        ++row;
    }
}

void BuildNewTimetable(TStringGrid &grid, const std::vector<std::string> &stations, int direction) {
    ClearGridCells(grid);
    grid.SetRowCount(kFirstStationRow + static_cast<int>(stations.size()));
    const int count = static_cast<int>(stations.size());
    for (int i = 0; i < count; ++i)
        grid.SetCell(1, kFirstStationRow + i,
                     stations[static_cast<std::size_t>(direction == 1 ? i : count - 1 - i)]);
}

void SetPairMarkers(TStringGrid &grid) {
    const int last = grid.RowCount() - 1;
    for (int r = kFirstStationRow; r <= last; ++r) {
        const std::string &name = grid.Cell(1, r);
        const bool paired = (r < last && grid.Cell(1, r + 1) == name) ||
                            (r > kFirstStationRow && grid.Cell(1, r - 1) == name);
        grid.SetCell(0, r, paired ? "-" : "+");
    }
}

std::string TimetableCellText(std::string text) {
    std::replace_if(
        text.begin(), text.end(),
        [](char c) { return c == ',' || c == '\t' || c == '\r' || c == '\n'; }, ' ');
    return text;
}

std::string TimetableRowText(const TStringGrid &grid, int row) {
    int lastFilled = -1;
    std::vector<std::string> cells;
    for (int c = 1; c < grid.ColCount(); ++c) {
        cells.push_back(TrimCellText(TimetableCellText(grid.Cell(c, row))));
        if (!cells.back().empty())
            lastFilled = c;
    }
    const int end = lastFilled < 0 ? grid.ColCount() - 1 : lastFilled;
    std::string text;
    for (int c = 1; c <= end; ++c) {
        if (c > 1)
            text += ',';
        text += cells[static_cast<std::size_t>(c - 1)];
    }
    return text;
}

std::vector<std::string> TimetableRowTexts(const TStringGrid &grid) {
    std::vector<std::string> rows;
    for (int r = kFirstStationRow; r < grid.RowCount(); ++r)
        rows.push_back(TimetableRowText(grid, r));
    return rows;
}

std::string JourneyMarksCellText(const TJourneyMarks &marks) {
    return marks.PreviousDayNight ? marks.Footnote + "|N" : marks.Footnote;
}

TJourneyMarks JourneyMarksOfCell(std::string_view text) {
    TJourneyMarks marks;
    const std::size_t bar = text.find('|');
    marks.Footnote = std::string(text.substr(0, bar));
    marks.PreviousDayNight = bar != std::string_view::npos && text.substr(bar) == "|N";
    return marks;
}

TJourneyMarkList JourneyMarksOfGrid(const TStringGrid &grid) {
    TJourneyMarkList marks;
    for (int c = kFirstJourneyCol; c < grid.ColCount(); ++c) {
        const std::string &text = grid.Cell(c, kJourneyMarksRow);
        if (text.empty())
            continue;
        const auto j = static_cast<std::size_t>(c - kFirstJourneyCol);
        marks.resize(j + 1);
        marks[j] = JourneyMarksOfCell(text);
    }
    return marks;
}

void PutJourneyMarks(TStringGrid &grid, const TJourneyMarkList &marks) {
    for (int c = kFirstJourneyCol; c < grid.ColCount(); ++c) {
        const auto j = static_cast<std::size_t>(c - kFirstJourneyCol);
        grid.SetCell(c, kJourneyMarksRow, j < marks.size() ? JourneyMarksCellText(marks[j]) : "");
    }
}

} // namespace takton
