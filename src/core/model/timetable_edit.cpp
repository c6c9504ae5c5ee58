#include "core/model/timetable_edit.h"

#include "core/model/timetable_check.h"
#include "core/model/timetable_grid.h"

#include <algorithm>
#include <optional>

namespace takton {

namespace {

int LastCol(const TStringGrid &grid) {
    return grid.ColCount() - 1;
}

// Puts the station rows' journey cells into the given order: journey column
// kFirstJourneyCol + i takes the cells of column order[i].
void ReorderJourneys(TStringGrid &grid, const std::vector<int> &order) {
    std::vector<std::string> moved(order.size());
    for (int r = kJourneyMarksRow; r < grid.RowCount(); ++r) {
        std::vector<std::string> &cells = grid.RowCells(r);
        for (std::size_t i = 0; i < order.size(); ++i)
            moved[i] = std::move(cells[static_cast<std::size_t>(order[i])]);
        std::move(moved.begin(), moved.end(), cells.begin() + kFirstJourneyCol);
    }
}

enum class TSortGroup { LeadingIntervals, Timed, Untimed, Empty };

// A journey and the interval columns that follow it, kept together.
struct TSortUnit {
    TSortGroup Group;
    int FirstMinute = 0;
    std::vector<int> Cols;
};

// The column's first time as minutes of the day, or none; whether it holds an
// interval.
struct TColumnScan {
    std::optional<int> FirstMinute;
    bool HasInterval = false;
};

TColumnScan ScanColumn(const TStringGrid &grid, int col) {
    TColumnScan scan;
    for (int r = kFirstStationRow; r < grid.RowCount(); ++r) {
        const std::string &text = grid.Cell(col, r);
        const TCellKind kind = CellTextKind(text);
        if (kind == TCellKind::Interval) {
            scan.HasInterval = true;
        } else if (kind == TCellKind::Time && !scan.FirstMinute) {
            int hour = 0;
            int minute = 0;
            ParseTime(TrimCellText(text), hour, minute);
            scan.FirstMinute = hour * 60 + minute;
        }
    }
    // A night journey of the previous day runs after the day's last one.
    if (scan.FirstMinute && JourneyMarksOfCell(grid.Cell(col, kJourneyMarksRow)).PreviousDayNight)
        *scan.FirstMinute += 1440;
    return scan;
}

std::vector<TSortUnit> SortUnits(const TStringGrid &grid) {
    std::vector<TSortUnit> units;
    std::optional<std::size_t> lastJourney;
    for (int c = kFirstJourneyCol; c < grid.ColCount(); ++c) {
        if (JourneyIsEmpty(grid, c)) {
            units.push_back({TSortGroup::Empty, 0, {c}});
            continue;
        }
        const TColumnScan scan = ScanColumn(grid, c);
        if (scan.HasInterval && !scan.FirstMinute) {
            if (lastJourney) {
                units[*lastJourney].Cols.push_back(c);
            } else {
                if (units.empty() || units.front().Group != TSortGroup::LeadingIntervals)
                    units.insert(units.begin(), {TSortGroup::LeadingIntervals, 0, {}});
                units.front().Cols.push_back(c);
            }
            continue;
        }
        lastJourney = units.size();
        if (scan.FirstMinute)
            units.push_back({TSortGroup::Timed, *scan.FirstMinute, {c}});
        else
            units.push_back({TSortGroup::Untimed, 0, {c}});
    }
    return units;
}

} // namespace

bool JourneyIsEmpty(const TStringGrid &grid, int col) {
    for (int r = kJourneyMarksRow; r < grid.RowCount(); ++r)
        if (!TrimCellText(grid.Cell(col, r)).empty())
            return false;
    return true;
}

bool InsertJourney(TStringGrid &grid, int col) {
    if (col < kFirstJourneyCol || col > LastCol(grid) || !JourneyIsEmpty(grid, LastCol(grid)))
        return false;
    for (int r = kJourneyMarksRow; r < grid.RowCount(); ++r) {
        std::vector<std::string> &cells = grid.RowCells(r);
        std::rotate(cells.begin() + col, cells.end() - 1, cells.end());
        cells[static_cast<std::size_t>(col)].clear();
    }
    return true;
}

void DeleteJourney(TStringGrid &grid, int col) {
    if (col < kFirstJourneyCol || col > LastCol(grid))
        return;
    for (int r = kJourneyMarksRow; r < grid.RowCount(); ++r) {
        std::vector<std::string> &cells = grid.RowCells(r);
        std::rotate(cells.begin() + col, cells.begin() + col + 1, cells.end());
        cells.back().clear();
    }
}

bool DuplicateJourney(TStringGrid &grid, int col) {
    if (col < kFirstJourneyCol || col >= LastCol(grid) || !InsertJourney(grid, col + 1))
        return false;
    for (int r = kJourneyMarksRow; r < grid.RowCount(); ++r)
        grid.SetCell(col + 1, r, grid.Cell(col, r));
    return true;
}

bool SortJourneysByDeparture(TStringGrid &grid) {
    std::vector<TSortUnit> units = SortUnits(grid);
    std::stable_sort(units.begin(), units.end(), [](const TSortUnit &a, const TSortUnit &b) {
        if (a.Group != b.Group)
            return a.Group < b.Group;
        return a.Group == TSortGroup::Timed && a.FirstMinute < b.FirstMinute;
    });
    std::vector<int> order;
    for (const TSortUnit &unit : units)
        order.insert(order.end(), unit.Cols.begin(), unit.Cols.end());
    bool moved = false;
    for (std::size_t i = 0; i < order.size(); ++i)
        moved = moved || order[i] != kFirstJourneyCol + static_cast<int>(i);
    if (moved)
        ReorderJourneys(grid, order);
    return moved;
}

void EmptyCellBlock(TStringGrid &grid, const TGridRect &rect) {
    const int right = std::min(rect.Right, LastCol(grid));
    const int bottom = std::min(rect.Bottom, grid.RowCount() - 1);
    for (int r = std::max(rect.Top, kFirstStationRow); r <= bottom; ++r)
        for (int c = std::max(rect.Left, kFirstJourneyCol); c <= right; ++c)
            grid.SetCell(c, r, "");
}

// ---- Steps ------------------------------------------------------------------

TGridStep TGridStep::Between(const TStringGrid &before, const TStringGrid &after) {
    TGridStep step;
    step.rowsBefore_ = before.RowCount();
    step.rowsAfter_ = after.RowCount();
    const int rows = std::max(step.rowsBefore_, step.rowsAfter_);
    const int cols = std::max(before.ColCount(), after.ColCount());
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            const std::string &was = before.Cell(c, r);
            const std::string &is = after.Cell(c, r);
            if (was != is)
                step.changes_.push_back({c, r, was, is});
        }
    return step;
}

void TGridStep::Undo(TStringGrid &grid) const {
    grid.SetRowCount(std::max(rowsBefore_, rowsAfter_));
    for (const TCellChange &change : changes_)
        grid.SetCell(change.Col, change.Row, change.Before);
    grid.SetRowCount(rowsBefore_);
}

void TGridStep::Redo(TStringGrid &grid) const {
    grid.SetRowCount(std::max(rowsBefore_, rowsAfter_));
    for (const TCellChange &change : changes_)
        grid.SetCell(change.Col, change.Row, change.After);
    grid.SetRowCount(rowsAfter_);
}

void TGridRecorder::Reset(const TStringGrid &grid) {
    last_ = grid;
}

TGridStep TGridRecorder::Take(const TStringGrid &grid, int focusCol, int focusRow) {
    TGridStep step = TGridStep::Between(last_, grid);
    step.Redo(last_);
    step.FocusCol = std::max(focusCol, kFirstJourneyCol);
    step.FocusRow = std::max(focusRow, kFirstStationRow);
    return step;
}

void TGridRecorder::Undo(const TGridStep &step, TStringGrid &grid) {
    step.Undo(grid);
    step.Undo(last_);
}

void TGridRecorder::Redo(const TGridStep &step, TStringGrid &grid) {
    step.Redo(grid);
    step.Redo(last_);
}

} // namespace takton
