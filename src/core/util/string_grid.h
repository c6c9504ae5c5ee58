#pragma once

// Small text and grid operations shared by the timetable editor, the web copy
// window and the master-data files.

#include <string>
#include <string_view>
#include <vector>

namespace takton {

// Appends the pieces of text between separators to list; returns how many.
// No quoting; a separator at the end adds no empty piece after it.
int SplitText(std::string_view text, std::vector<std::string> &list, char separator);

void ReverseList(std::vector<std::string> &list);

struct TGridRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    friend bool operator==(const TGridRect &, const TGridRect &) = default;
};

// A table of texts addressed by column and row from 0. The first FixedRows rows
// and FixedCols columns are headers. Cells outside the counts hold no text: a
// shrink forgets them, a later grow shows them empty.
class TStringGrid {
  public:
    TStringGrid(int colCount = 5, int rowCount = 5, int fixedCols = 1, int fixedRows = 1);

    int ColCount() const { return colCount_; }
    int RowCount() const { return static_cast<int>(cells_.size()); }
    void SetColCount(int count);
    void SetRowCount(int count);

    int FixedCols() const { return fixedCols_; }
    int FixedRows() const { return fixedRows_; }
    void SetFixedCols(int count);
    void SetFixedRows(int count);

    // Empty text for a cell outside the grid.
    const std::string &Cell(int col, int row) const;
    // Ignored for a cell outside the grid.
    void SetCell(int col, int row, std::string text);
    bool Contains(int col, int row) const;

    int DefaultColWidth = 64;
    int DefaultRowHeight = 24;
    int ColWidth(int col) const;
    void SetColWidth(int col, int width);
    // The column follows DefaultColWidth again.
    void ResetColWidth(int col);
    // Takes column from out and puts it in at to, with its texts in every row and
    // its width; the columns between close up. Ignored unless both lie inside.
    // The current cell and the selection keep their indexes.
    void MoveColumn(int from, int to);

    // The current cell; kept inside the grid.
    int Col() const { return col_; }
    int Row() const { return row_; }
    void SetCurrent(int col, int row);

    // The selected rectangle, corners included; kept inside the grid.
    const TGridRect &Selection() const { return selection_; }
    void SetSelection(const TGridRect &rect);

    // Row-wise access for fast bulk work: row r holds ColCount() texts.
    std::vector<std::string> &RowCells(int row) { return cells_[static_cast<std::size_t>(row)]; }

  private:
    void KeepInside();

    int colCount_ = 0;
    int fixedCols_ = 0;
    int fixedRows_ = 0;
    int col_ = 0;
    int row_ = 0;
    TGridRect selection_;
    std::vector<int> colWidths_;
    std::vector<std::vector<std::string>> cells_;
};

// Empties every cell that is in neither a fixed row nor a fixed column.
void ClearGridCells(TStringGrid &grid);
// Moves rows row.. down by one (the grid grows by a row) and empties row.
void InsertGridRow(TStringGrid &grid, int row);
// Moves columns col.. right by one (the grid grows by a column) and empties col.
// Widths move with their columns; the new column has the default width.
void InsertGridColumn(TStringGrid &grid, int col);
// Moves the rows after row up by one and takes the last row off; a grid of one
// row keeps it, emptied.
void DeleteGridRow(TStringGrid &grid, int row);
// As DeleteGridRow, for columns. Widths move with their columns; the only
// column of a grid, emptied, gets the default width.
void DeleteGridColumn(TStringGrid &grid, int col);

// InsertGridRow at row, then the row below (the one that was at row) copied
// into it: the row stands there twice.
void DuplicateGridRow(TStringGrid &grid, int row);
// As DuplicateGridRow, for columns; the copy gets the column's width too.
void DuplicateGridColumn(TStringGrid &grid, int col);

} // namespace takton
