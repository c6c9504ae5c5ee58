#pragma once

// Changes to the timetable grid as the planner makes them, each one
// reversible: journeys inserted, deleted, duplicated and sorted, a block
// emptied, and a step that holds whatever one action changed (an entry, a
// fill, a paste, a split or merge, a moved journey) so that it can be taken
// back and done again. Journey operations move the station rows and the
// journeys' marks; the first header row keeps numbering the journeys by
// their place.

#include "core/util/string_grid.h"

#include <string>
#include <vector>

namespace takton {

// Whether no station row of the column holds text.
bool JourneyIsEmpty(const TStringGrid &grid, int col);

// An empty journey at col; the later ones move right by one. False, and
// nothing changes, when the last journey holds text (it would fall off).
bool InsertJourney(TStringGrid &grid, int col);
// The journey at col goes; the later ones move left, the last becomes empty.
void DeleteJourney(TStringGrid &grid, int col);
// A copy of the journey at col stands right of it; the later ones move right.
// False, and nothing changes, when the last journey holds text.
bool DuplicateJourney(TStringGrid &grid, int col);

// Journeys in the order of their first time (minutes of the day), stable.
// An interval column (intervals and no time) moves with the journey to its
// left, so it stays between the journeys it joins; interval columns before
// every journey stay in front. Journeys with text but no time follow the timed
// ones, empty journeys go to the end. Gives whether anything moved.
bool SortJourneysByDeparture(TStringGrid &grid);

// Empties the journey cells of the rectangle (fixed rows and columns stay).
void EmptyCellBlock(TStringGrid &grid, const TGridRect &rect);

struct TCellChange {
    int Col = 0;
    int Row = 0;
    std::string Before;
    std::string After;
};

// One change of the grid as the cells that differ and the row counts before
// and after; cells beyond the smaller row count hold no text there.
class TGridStep {
  public:
    // What turned before into after (both with the same column count).
    static TGridStep Between(const TStringGrid &before, const TStringGrid &after);

    bool Empty() const { return changes_.empty() && rowsBefore_ == rowsAfter_; }
    const std::vector<TCellChange> &Changes() const { return changes_; }
    int RowsBefore() const { return rowsBefore_; }
    int RowsAfter() const { return rowsAfter_; }

    void Undo(TStringGrid &grid) const;
    void Redo(TStringGrid &grid) const;

    // The cell the step was about; the cursor goes there when it is undone or
    // done again.
    int FocusCol = 0;
    int FocusRow = 0;

  private:
    int rowsBefore_ = 0;
    int rowsAfter_ = 0;
    std::vector<TCellChange> changes_;
};

// Keeps the grid's texts as of the last step and takes everything changed
// since as the next one, however it was changed. Undoing and redoing through
// it keeps the two in step.
class TGridRecorder {
  public:
    // The grid as it stands is the starting point; earlier steps are forgotten.
    void Reset(const TStringGrid &grid);
    // What changed since the last step (empty when nothing did); the grid as
    // it stands becomes the new starting point. The focus is kept inside the
    // journey cells.
    TGridStep Take(const TStringGrid &grid, int focusCol, int focusRow);
    void Undo(const TGridStep &step, TStringGrid &grid);
    void Redo(const TGridStep &step, TStringGrid &grid);

  private:
    TStringGrid last_;
};

} // namespace takton
