#pragma once

// The timetable editor's undo history: each planner's action that changed the
// grid is one step on a QUndoStack. A step holds the cells the action changed
// (core/model/timetable_edit.h), so undoing and redoing only put texts back; no
// entry is checked again. The stack's clean state is the timetable as last
// saved (or as opened).

#include "core/model/timetable_edit.h"

#include <QObject>
#include <QString>
#include <QUndoStack>
#include <functional>

namespace takton::gui {

class TStringGridView;

class TTimetableHistory : public QObject {
    Q_OBJECT
  public:
    TTimetableHistory(TStringGridView &grid, QObject *parent = nullptr);

    QUndoStack &Stack() { return stack_; }

    // The grid as it stands starts a new history: no steps, clean.
    void Reset();
    // Whatever changed since the last step becomes one step named text, about
    // the cell (col, row); nothing when nothing changed. Gives whether a step
    // was added.
    bool Record(const QString &text, int col, int row);
    // The grid as it stands is what the file holds.
    void MarkSaved();

    // After a step was undone or redone: the grid holds its texts; the cursor
    // belongs on (col, row).
    std::function<void(int col, int row)> OnStepApplied;

  private:
    friend class TGridStepCommand;
    void Apply(const TGridStep &step, bool undo);

    TStringGridView &grid_;
    TGridRecorder recorder_;
    QUndoStack stack_;
};

} // namespace takton::gui
