#pragma once

// TStringGridView: the editable grid control over the core's TStringGrid, used
// by the timetable grid and by the web copy window's work grid.
//
// Why a custom QAbstractScrollArea and not QTableView: the grid's behaviour is
// defined cell by cell over a TStringGrid that the core's checks read and write
// directly, and several of its rules do not fit the item views. A move of the
// cursor must be refusable before it happens, for keys, clicks and program moves
// alike, and the handler may itself move the cursor while it runs;
// QItemSelectionModel only reports a change after the fact. Fixed rows and
// columns would need frozen overlay views kept in step with the main one. The
// editor must stay open on the current cell and see keys only after the window
// has had them. Headers are cells of the grid (dragging one moves a column,
// fixed columns never move), whereas QHeaderView keeps its own sections. Painting
// the visible cells from the TStringGrid with cell-wise scrolling is short,
// keeps a 512-column grid fast, and needs no model copy of the data.
//
// Scrolling is by whole cells: LeftCol() and TopRow() are the first scrollable
// column and row shown; fixed rows and columns are always shown in front.
//
// Events are single std::function handlers, called synchronously, in the way a
// window wires one handler per control event:
// - OnSelectCell (target col, row, allow): before every move of the current
//   cell by keys, clicks or MoveTo. Col()/Row() still name the cell being left,
//   whose text the grid already holds as typed. Clear allow to refuse. The
//   handler may call MoveTo itself (a nested move); the cursor then stays where
//   that move left it when the outer move is refused.
// - OnKeyPress (key): every key the grid or its editor receives, before the
//   grid or the editor acts on it; the cell still holds its text from before
//   the key. Set Key to 0 to swallow the key; change Key, Modifiers or Text to
//   make it act as another key. Keys that type (Text not empty) include Enter,
//   Escape, Tab and Backspace; arrow and Page keys have no Text. Without a
//   handler, Enter moves one row down while editing; Enter and Escape are left
//   to the window when editing is off.
// - OnMouseDown (button, modifiers, col, row): after the grid handled a mouse
//   press; col and row are -1 when no cell was hit. A press into the editor
//   hits the current cell.
// - OnDrawCell (painter, rect, col, row, state): after the grid drew a cell; the
//   painter is clipped to the cell, its pen is the cell's text colour.
// - OnColumnMoved (from, to): after a column was dragged by its header cell from
//   index from to index to.
// - OnTextEdited (col, row, before): the user changed the current cell's text
//   in the editor, by any means (typing, the editor's context menu, a
//   middle-click paste, a drop); the grid still holds the text from before.
// The grid takes up what these handlers (all but OnDrawCell, which must not
// change the grid) did to Grid(); elsewhere the program calls Refresh() after
// changing Grid() directly.

#include "core/util/string_grid.h"

#include <QAbstractScrollArea>
#include <functional>
#include <string>

class QLineEdit;
class QPainter;

namespace takton::gui {

// A key as the grid is about to act on it; Key 0 means swallowed.
struct TGridKey {
    int Key = 0; // Qt::Key
    Qt::KeyboardModifiers Modifiers;
    QString Text; // what the key types into the editor; empty for navigation keys
};

struct TGridDrawState {
    bool Fixed = false;
    bool Selected = false; // inside the selected rectangle, the current cell included
    bool Current = false;
};

class TStringGridView : public QAbstractScrollArea {
    Q_OBJECT
  public:
    // Cell texts are drawn this many pixels right of and below the cell's corner.
    static constexpr int kTextIndent = 2;
    // The current cell is framed this thick, inside its edges; the editor
    // stands within the frame.
    static constexpr int kCurrentFrame = 2;

    explicit TStringGridView(QWidget *parent = nullptr);
    ~TStringGridView() override;

    TStringGrid &Grid() { return grid_; }
    const TStringGrid &Grid() const { return grid_; }
    // Takes up changes made to Grid() by the program: counts, widths, texts.
    void Refresh();
    void SetCell(int col, int row, std::string text);

    // The current cell is always one corner of the selection; Shift with the
    // arrow keys, Shift+click and dragging move the other corner only, so they
    // select without leaving the current cell and raise no OnSelectCell.
    int Col() const { return grid_.Col(); }
    int Row() const { return grid_.Row(); }
    const TGridRect &Selection() const { return grid_.Selection(); }
    // A program move of the current cell, raising OnSelectCell like any other;
    // true when the cursor stands on (col, row) afterwards. Moves outside the
    // grid or onto fixed cells are refused without an event.
    bool MoveTo(int col, int row);

    // With editing on the in-cell editor is always shown on the current cell
    // and takes the typed text straight into the grid.
    bool Editing() const { return editing_; }
    void SetEditing(bool on);
    // Whether a scrollable column can be dragged by its cell in a fixed row.
    bool ColumnMoving() const { return columnMoving_; }
    void SetColumnMoving(bool on) { columnMoving_ = on; }
    QLineEdit *Editor() const { return editor_; }
    // Whether Tab from the window's other controls enters the grid; a click
    // always does.
    void SetTabStop(bool on);

    int LeftCol() const;
    int TopRow() const;
    // The cell's rectangle in viewport coordinates (without its grid lines);
    // empty when the cell is not shown.
    QRect CellRect(int col, int row) const;
    // The cell at a viewport position; false (and -1, -1) outside all cells.
    bool CellAt(const QPoint &pos, int &col, int &row) const;

    std::function<void(int col, int row, bool &allow)> OnSelectCell;
    std::function<void(TGridKey &key)> OnKeyPress;
    std::function<void(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int col, int row)>
        OnMouseDown;
    std::function<void(QPainter &painter, const QRect &rect, int col, int row,
                       const TGridDrawState &state)>
        OnDrawCell;
    std::function<void(int from, int to)> OnColumnMoved;
    std::function<void(int col, int row, const std::string &before)> OnTextEdited;

  protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    struct Span {
        int index;
        int pos;
        int size;
    };
    enum class Drag { None, Selecting, MovingColumn };

    std::vector<Span> VisibleCols() const;
    std::vector<Span> VisibleRows() const;
    int FixedWidth() const;
    int FixedHeight() const;
    int FullyVisibleCols(int fromCol) const;
    int FullyVisibleRows() const;
    int FirstColShowing(int lastCol) const;
    int ColNear(int x) const;
    int RowNear(int y) const;
    QPoint RangeEnd() const;

    bool HandleKey(QKeyEvent *event, bool fromEditor);
    bool Navigate(const TGridKey &key, bool fromEditor);
    bool EditorAtSide(bool leftSide) const;
    void ExtendTo(int col, int row);
    void ScrollTo(int col, int row);
    void KeepInside();
    void UpdateScrollBars();
    void PlaceEditor();
    void LoadEditor(bool selectAll);
    void OnEditorEdited(const QString &text);
    void DragScroll(const QPoint &pos, bool vertical);
    void FinishColumnMove(int from, int to);
    void DrawCell(QPainter &painter, const QRect &rect, int col, int row);

    TStringGrid grid_;
    bool editing_ = true;
    bool columnMoving_ = false;
    bool forwarding_ = false; // a changed key on its way to the editor
    QLineEdit *editor_ = nullptr;
    Drag drag_ = Drag::None;
    int dragCol_ = -1;
    int dropCol_ = -1;
};

} // namespace takton::gui
