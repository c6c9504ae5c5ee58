#include "core/util/string_grid.h"

#include <algorithm>

namespace takton {

int SplitText(std::string_view text, std::vector<std::string> &list, char separator) {
    int count = 0;
    std::size_t start = 0;
    for (std::size_t sep = text.find(separator); sep != std::string_view::npos;
         sep = text.find(separator, start)) {
        list.emplace_back(text.substr(start, sep - start));
        ++count;
        start = sep + 1;
    }
    if (start < text.size()) {
        list.emplace_back(text.substr(start));
        ++count;
    }
    return count;
}

void ReverseList(std::vector<std::string> &list) {
    std::reverse(list.begin(), list.end());
}

TStringGrid::TStringGrid(int colCount, int rowCount, int fixedCols, int fixedRows) {
    SetColCount(colCount);
    SetRowCount(rowCount);
    SetFixedCols(fixedCols);
    SetFixedRows(fixedRows);
    col_ = fixedCols_;
    row_ = fixedRows_;
    selection_ = {col_, row_, col_, row_};
}

void TStringGrid::SetColCount(int count) {
    colCount_ = std::max(1, count);
    for (auto &row : cells_)
        row.resize(static_cast<std::size_t>(colCount_));
    colWidths_.resize(static_cast<std::size_t>(colCount_), -1);
    fixedCols_ = std::min(fixedCols_, colCount_ - 1);
    KeepInside();
}

void TStringGrid::SetRowCount(int count) {
    cells_.resize(static_cast<std::size_t>(std::max(1, count)),
                  std::vector<std::string>(static_cast<std::size_t>(colCount_)));
    fixedRows_ = std::min(fixedRows_, RowCount() - 1);
    KeepInside();
}

// A grid keeps at least one scrollable row and column.
void TStringGrid::SetFixedCols(int count) {
    fixedCols_ = std::clamp(count, 0, colCount_ - 1);
}

void TStringGrid::SetFixedRows(int count) {
    fixedRows_ = std::clamp(count, 0, RowCount() - 1);
}

bool TStringGrid::Contains(int col, int row) const {
    return col >= 0 && col < colCount_ && row >= 0 && row < RowCount();
}

const std::string &TStringGrid::Cell(int col, int row) const {
    static const std::string kEmpty;
    if (!Contains(col, row))
        return kEmpty;
    return cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
}

void TStringGrid::SetCell(int col, int row, std::string text) {
    if (Contains(col, row))
        cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] = std::move(text);
}

int TStringGrid::ColWidth(int col) const {
    if (col < 0 || col >= colCount_ || colWidths_[static_cast<std::size_t>(col)] < 0)
        return DefaultColWidth;
    return colWidths_[static_cast<std::size_t>(col)];
}

void TStringGrid::SetColWidth(int col, int width) {
    if (col >= 0 && col < colCount_)
        colWidths_[static_cast<std::size_t>(col)] = width;
}

void TStringGrid::ResetColWidth(int col) {
    SetColWidth(col, -1);
}

// Rotating [low, high] by one moves the one column and keeps the others in order.
template <typename T> static void MoveItem(std::vector<T> &items, int from, int to) {
    const auto first = items.begin();
    if (from < to)
        std::rotate(first + from, first + from + 1, first + to + 1);
    else
        std::rotate(first + to, first + from, first + from + 1);
}

void TStringGrid::MoveColumn(int from, int to) {
    if (from == to || from < 0 || to < 0 || from >= colCount_ || to >= colCount_)
        return;
    for (auto &row : cells_)
        MoveItem(row, from, to);
    MoveItem(colWidths_, from, to);
}

void TStringGrid::SetCurrent(int col, int row) {
    col_ = col;
    row_ = row;
    selection_ = {col, row, col, row};
    KeepInside();
}

void TStringGrid::SetSelection(const TGridRect &rect) {
    selection_ = {std::min(rect.Left, rect.Right), std::min(rect.Top, rect.Bottom),
                  std::max(rect.Left, rect.Right), std::max(rect.Top, rect.Bottom)};
    KeepInside();
}

void TStringGrid::KeepInside() {
    const int lastCol = colCount_ - 1;
    const int lastRow = RowCount() - 1;
    col_ = std::clamp(col_, 0, lastCol);
    row_ = std::clamp(row_, 0, lastRow);
    selection_.Left = std::clamp(selection_.Left, 0, lastCol);
    selection_.Right = std::clamp(selection_.Right, 0, lastCol);
    selection_.Top = std::clamp(selection_.Top, 0, lastRow);
    selection_.Bottom = std::clamp(selection_.Bottom, 0, lastRow);
}

void ClearGridCells(TStringGrid &grid) {
    for (int row = grid.FixedRows(); row < grid.RowCount(); ++row) {
        auto &cells = grid.RowCells(row);
        for (int col = grid.FixedCols(); col < grid.ColCount(); ++col)
            cells[static_cast<std::size_t>(col)].clear();
    }
}

void InsertGridRow(TStringGrid &grid, int row) {
    if (row < 0 || row >= grid.RowCount())
        return;
    grid.SetRowCount(grid.RowCount() + 1);
    for (int r = grid.RowCount() - 1; r > row; --r)
        std::swap(grid.RowCells(r), grid.RowCells(r - 1));
    for (auto &cell : grid.RowCells(row))
        cell.clear();
}

// The new last column (empty, default width) is moved into place.
void InsertGridColumn(TStringGrid &grid, int col) {
    if (col < 0 || col >= grid.ColCount())
        return;
    grid.SetColCount(grid.ColCount() + 1);
    grid.MoveColumn(grid.ColCount() - 1, col);
}

void DeleteGridRow(TStringGrid &grid, int row) {
    if (row < 0 || row >= grid.RowCount())
        return;
    for (int r = row; r + 1 < grid.RowCount(); ++r)
        std::swap(grid.RowCells(r), grid.RowCells(r + 1));
    for (auto &cell : grid.RowCells(grid.RowCount() - 1))
        cell.clear();
    grid.SetRowCount(grid.RowCount() - 1);
}

void DeleteGridColumn(TStringGrid &grid, int col) {
    if (col < 0 || col >= grid.ColCount())
        return;
    const int last = grid.ColCount() - 1;
    grid.MoveColumn(col, last);
    for (int r = 0; r < grid.RowCount(); ++r)
        grid.RowCells(r).back().clear();
    grid.ResetColWidth(last);
    grid.SetColCount(last);
}

void DuplicateGridRow(TStringGrid &grid, int row) {
    if (row < 0 || row >= grid.RowCount())
        return;
    InsertGridRow(grid, row);
    grid.RowCells(row) = grid.RowCells(row + 1);
}

void DuplicateGridColumn(TStringGrid &grid, int col) {
    if (col < 0 || col >= grid.ColCount())
        return;
    InsertGridColumn(grid, col);
    for (int r = 0; r < grid.RowCount(); ++r) {
        auto &cells = grid.RowCells(r);
        cells[static_cast<std::size_t>(col)] = cells[static_cast<std::size_t>(col) + 1];
    }
    grid.SetColWidth(col, grid.ColWidth(col + 1));
}

} // namespace takton
