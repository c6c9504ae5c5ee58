#include "gui/timetable/timetable_undo.h"

#include "gui/common/string_grid_view.h"

#include <QUndoCommand>
#include <algorithm>

namespace takton::gui {

// One step on the stack. The action has changed the grid already when the
// step is pushed, so the push's own redo does nothing.
class TGridStepCommand : public QUndoCommand {
  public:
    TGridStepCommand(TTimetableHistory &history, TGridStep step, const QString &text)
        : QUndoCommand(text), history_(history), step_(std::move(step)) {}

    void undo() override { history_.Apply(step_, true); }
    void redo() override {
        if (pushed_)
            history_.Apply(step_, false);
        pushed_ = true;
    }

  private:
    TTimetableHistory &history_;
    TGridStep step_;
    bool pushed_ = false;
};

TTimetableHistory::TTimetableHistory(TStringGridView &grid, QObject *parent)
    : QObject(parent), grid_(grid) {}

void TTimetableHistory::Reset() {
    stack_.clear();
    recorder_.Reset(grid_.Grid());
    stack_.setClean();
}

bool TTimetableHistory::Record(const QString &text, int col, int row) {
    TGridStep step = recorder_.Take(grid_.Grid(), col, row);
    if (step.Empty())
        return false;
    stack_.push(new TGridStepCommand(*this, std::move(step), text));
    return true;
}

void TTimetableHistory::MarkSaved() {
    stack_.setClean();
}

void TTimetableHistory::Apply(const TGridStep &step, bool undo) {
    TStringGrid &grid = grid_.Grid();
    if (undo)
        recorder_.Undo(step, grid);
    else
        recorder_.Redo(step, grid);
    grid_.Refresh();
    if (OnStepApplied)
        OnStepApplied(step.FocusCol, std::min(step.FocusRow, grid.RowCount() - 1));
}

} // namespace takton::gui
