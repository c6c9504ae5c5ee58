#include "gui/common/string_grid_view.h"

#include "render/qt_text.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QValidator>
#include <algorithm>

namespace takton::gui {

namespace {

// Cells hold cp1252 text: the editor takes no character that would change on
// its way into the grid.
class Cp1252Validator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override {
        return ToCp1252(input).has_value() ? Acceptable : Invalid;
    }
};

bool IsEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

constexpr int kGridLine = 1;

} // namespace

TStringGridView::TStringGridView(QWidget *parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    editor_ = new QLineEdit(viewport());
    editor_->setFrame(false);
    editor_->setValidator(new Cp1252Validator(editor_));
    editor_->installEventFilter(this);
    connect(editor_, &QLineEdit::textEdited, this,
            [this](const QString &text) { OnEditorEdited(text); });
    SetEditing(true);
    Refresh();
}

TStringGridView::~TStringGridView() = default;

// ---- Geometry -------------------------------------------------------------

int TStringGridView::LeftCol() const {
    return std::clamp(horizontalScrollBar()->value(), grid_.FixedCols(), grid_.ColCount() - 1);
}

int TStringGridView::TopRow() const {
    return std::clamp(verticalScrollBar()->value(), grid_.FixedRows(), grid_.RowCount() - 1);
}

int TStringGridView::FixedWidth() const {
    int width = 0;
    for (int col = 0; col < grid_.FixedCols(); ++col)
        width += grid_.ColWidth(col) + kGridLine;
    return width;
}

int TStringGridView::FixedHeight() const {
    return grid_.FixedRows() * (grid_.DefaultRowHeight + kGridLine);
}

// Only the columns that reach into the viewport, fixed ones first.
std::vector<TStringGridView::Span> TStringGridView::VisibleCols() const {
    std::vector<Span> cols;
    const int width = viewport()->width();
    int x = 0;
    for (int col = 0; col < grid_.FixedCols() && x < width; ++col) {
        cols.push_back({col, x, grid_.ColWidth(col)});
        x += grid_.ColWidth(col) + kGridLine;
    }
    for (int col = LeftCol(); col < grid_.ColCount() && x < width; ++col) {
        cols.push_back({col, x, grid_.ColWidth(col)});
        x += grid_.ColWidth(col) + kGridLine;
    }
    return cols;
}

std::vector<TStringGridView::Span> TStringGridView::VisibleRows() const {
    std::vector<Span> rows;
    const int height = viewport()->height();
    const int step = grid_.DefaultRowHeight + kGridLine;
    int y = 0;
    for (int row = 0; row < grid_.FixedRows() && y < height; ++row, y += step)
        rows.push_back({row, y, grid_.DefaultRowHeight});
    for (int row = TopRow(); row < grid_.RowCount() && y < height; ++row, y += step)
        rows.push_back({row, y, grid_.DefaultRowHeight});
    return rows;
}

// How many columns from fromCol on are shown whole; at least one.
int TStringGridView::FullyVisibleCols(int fromCol) const {
    const int room = viewport()->width() - FixedWidth();
    int used = 0;
    int count = 0;
    for (int col = fromCol; col < grid_.ColCount(); ++col) {
        used += grid_.ColWidth(col) + kGridLine;
        if (used > room)
            break;
        ++count;
    }
    return std::max(1, count);
}

int TStringGridView::FullyVisibleRows() const {
    const int room = viewport()->height() - FixedHeight();
    return std::max(1, room / std::max(1, grid_.DefaultRowHeight + kGridLine));
}

// The first scrollable column of the view that shows lastCol whole at its right.
int TStringGridView::FirstColShowing(int lastCol) const {
    const int room = viewport()->width() - FixedWidth();
    int col = lastCol;
    int used = grid_.ColWidth(col) + kGridLine;
    while (col > grid_.FixedCols() && used + grid_.ColWidth(col - 1) + kGridLine <= room) {
        --col;
        used += grid_.ColWidth(col) + kGridLine;
    }
    return std::max(col, grid_.FixedCols());
}

QRect TStringGridView::CellRect(int col, int row) const {
    const auto cols = VisibleCols();
    const auto rows = VisibleRows();
    const auto c =
        std::find_if(cols.begin(), cols.end(), [&](const Span &s) { return s.index == col; });
    const auto r =
        std::find_if(rows.begin(), rows.end(), [&](const Span &s) { return s.index == row; });
    if (c == cols.end() || r == rows.end())
        return {};
    return {c->pos, r->pos, c->size, r->size};
}

// A grid line belongs to the cell left of or above it.
bool TStringGridView::CellAt(const QPoint &pos, int &col, int &row) const {
    col = row = -1;
    for (const Span &s : VisibleCols())
        if (pos.x() >= s.pos && pos.x() < s.pos + s.size + kGridLine)
            col = s.index;
    for (const Span &s : VisibleRows())
        if (pos.y() >= s.pos && pos.y() < s.pos + s.size + kGridLine)
            row = s.index;
    if (col < 0 || row < 0)
        col = row = -1;
    return col >= 0;
}

// The scrollable column nearest to x: the first shown one left of it, the last
// shown one right of the cells.
int TStringGridView::ColNear(int x) const {
    int nearest = LeftCol();
    for (const Span &s : VisibleCols()) {
        if (s.index < grid_.FixedCols())
            continue;
        nearest = s.index;
        if (x < s.pos + s.size + kGridLine)
            break;
    }
    return nearest;
}

int TStringGridView::RowNear(int y) const {
    int nearest = TopRow();
    for (const Span &s : VisibleRows()) {
        if (s.index < grid_.FixedRows())
            continue;
        nearest = s.index;
        if (y < s.pos + s.size + kGridLine)
            break;
    }
    return nearest;
}

// The current cell is one corner of the selection, this is the other.
QPoint TStringGridView::RangeEnd() const {
    const TGridRect &sel = grid_.Selection();
    return {Col() == sel.Left ? sel.Right : sel.Left, Row() == sel.Top ? sel.Bottom : sel.Top};
}

// ---- State ----------------------------------------------------------------

void TStringGridView::Refresh() {
    KeepInside();
    UpdateScrollBars();
    PlaceEditor();
    LoadEditor(false);
    viewport()->update();
}

void TStringGridView::SetCell(int col, int row, std::string text) {
    grid_.SetCell(col, row, std::move(text));
    if (col == Col() && row == Row())
        LoadEditor(false);
    viewport()->update();
}

// The cursor never stands on a fixed cell, and the selection has it as a corner.
void TStringGridView::KeepInside() {
    const int col = std::max(Col(), grid_.FixedCols());
    const int row = std::max(Row(), grid_.FixedRows());
    const TGridRect sel = grid_.Selection();
    const bool corner =
        (col == sel.Left || col == sel.Right) && (row == sel.Top || row == sel.Bottom);
    if (col != Col() || row != Row() || !corner) {
        grid_.SetCurrent(col, row);
        return;
    }
    if (sel.Left < grid_.FixedCols() || sel.Top < grid_.FixedRows())
        grid_.SetSelection({std::max(sel.Left, grid_.FixedCols()),
                            std::max(sel.Top, grid_.FixedRows()), sel.Right, sel.Bottom});
}

void TStringGridView::UpdateScrollBars() {
    QScrollBar *h = horizontalScrollBar();
    h->setRange(grid_.FixedCols(), FirstColShowing(grid_.ColCount() - 1));
    h->setPageStep(FullyVisibleCols(LeftCol()));
    QScrollBar *v = verticalScrollBar();
    v->setRange(grid_.FixedRows(),
                std::max(grid_.FixedRows(), grid_.RowCount() - FullyVisibleRows()));
    v->setPageStep(FullyVisibleRows());
}

void TStringGridView::ScrollTo(int col, int row) {
    if (col >= grid_.FixedCols()) {
        const int left = LeftCol();
        if (col < left)
            horizontalScrollBar()->setValue(col);
        else if (col >= left + FullyVisibleCols(left))
            horizontalScrollBar()->setValue(FirstColShowing(col));
    }
    if (row >= grid_.FixedRows()) {
        const int top = TopRow();
        if (row < top)
            verticalScrollBar()->setValue(row);
        else if (row >= top + FullyVisibleRows())
            verticalScrollBar()->setValue(row - FullyVisibleRows() + 1);
    }
}

bool TStringGridView::MoveTo(int col, int row) {
    if (!grid_.Contains(col, row) || col < grid_.FixedCols() || row < grid_.FixedRows())
        return false;
    const bool moving = col != Col() || row != Row();
    if (moving) {
        bool allow = true;
        if (OnSelectCell)
            OnSelectCell(col, row, allow);
        // The handler may have rewritten the cell, reshaped the grid or moved the cursor.
        KeepInside();
        UpdateScrollBars();
        if (!allow || !grid_.Contains(col, row)) {
            PlaceEditor();
            LoadEditor(false);
            viewport()->update();
            return false;
        }
    }
    grid_.SetCurrent(col, row);
    ScrollTo(col, row);
    PlaceEditor();
    LoadEditor(moving);
    viewport()->update();
    return true;
}

void TStringGridView::ExtendTo(int col, int row) {
    col = std::clamp(col, grid_.FixedCols(), grid_.ColCount() - 1);
    row = std::clamp(row, grid_.FixedRows(), grid_.RowCount() - 1);
    grid_.SetSelection({Col(), Row(), col, row});
    ScrollTo(col, row);
    PlaceEditor();
    viewport()->update();
}

// ---- Editor ---------------------------------------------------------------

void TStringGridView::SetEditing(bool on) {
    editing_ = on;
    if (on) {
        const bool hadFocus = hasFocus();
        setFocusProxy(editor_);
        PlaceEditor();
        LoadEditor(true);
        if (hadFocus)
            editor_->setFocus();
    } else {
        const bool editorHadFocus = editor_->hasFocus();
        setFocusProxy(nullptr);
        editor_->hide();
        if (editorHadFocus)
            setFocus();
    }
    viewport()->update();
}

// The editor, not the grid, stands in the window's tab order while editing.
void TStringGridView::SetTabStop(bool on) {
    const Qt::FocusPolicy policy = on ? Qt::StrongFocus : Qt::ClickFocus;
    setFocusPolicy(policy);
    editor_->setFocusPolicy(policy);
}

// The editor stays shown while editing, also when its cell is scrolled away, so
// that it keeps the keyboard focus; it then waits outside the viewport.
void TStringGridView::PlaceEditor() {
    if (!editing_) {
        editor_->hide();
        return;
    }
    const QRect scrollArea(FixedWidth(), FixedHeight(), viewport()->width() - FixedWidth(),
                           viewport()->height() - FixedHeight());
    const QRect cell = CellRect(Col(), Row()).intersected(scrollArea);
    if (cell.isEmpty())
        editor_->setGeometry(-1000, -1000, grid_.ColWidth(Col()), grid_.DefaultRowHeight);
    else
        editor_->setGeometry(
            cell.adjusted(kCurrentFrame, kCurrentFrame, -kCurrentFrame, -kCurrentFrame));
    editor_->show();
}

void TStringGridView::LoadEditor(bool selectAll) {
    const QString text = FromCp1252(grid_.Cell(Col(), Row()));
    if (editor_->text() == text && !selectAll)
        return;
    editor_->setText(text);
    editor_->selectAll();
}

// The typed text is the cell's text at once, so that whoever reads the grid
// (the check when the cell is left, a save) sees what the user sees.
void TStringGridView::OnEditorEdited(const QString &text) {
    if (OnTextEdited)
        OnTextEdited(Col(), Row(), grid_.Cell(Col(), Row()));
    grid_.SetCell(Col(), Row(), ToCp1252Lossy(text));
}

// Left and Right leave the editor only at its ends, or when all its text is selected.
bool TStringGridView::EditorAtSide(bool leftSide) const {
    const int length = static_cast<int>(editor_->text().length());
    if (editor_->hasSelectedText())
        return editor_->selectionStart() == 0 && editor_->selectionLength() == length;
    return editor_->cursorPosition() == (leftSide ? 0 : length);
}

// ---- Keys -----------------------------------------------------------------

bool TStringGridView::event(QEvent *event) {
    // Tab moves between cells instead of leaving the grid.
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

bool TStringGridView::eventFilter(QObject *watched, QEvent *event) {
    if (watched != editor_)
        return QAbstractScrollArea::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // While editing, Enter and Escape belong to the grid, not to the window.
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (IsEnter(key) || key == Qt::Key_Escape) {
            event->accept();
            return true;
        }
        return false;
    }
    case QEvent::KeyPress:
        return !forwarding_ && HandleKey(static_cast<QKeyEvent *>(event), true);
    case QEvent::MouseButtonPress:
        if (OnMouseDown) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            OnMouseDown(mouse->button(), mouse->modifiers(), Col(), Row());
        }
        return false;
    default:
        return false;
    }
}

void TStringGridView::keyPressEvent(QKeyEvent *event) {
    if (HandleKey(event, false))
        event->accept();
    else
        event->ignore();
}

// True when the key has been used up here; false lets the editor have it
// (or, without an editor, the window).
bool TStringGridView::HandleKey(QKeyEvent *event, bool fromEditor) {
    TGridKey key{event->key(), event->modifiers(), event->text()};
    if (OnKeyPress) {
        OnKeyPress(key);
        Refresh();
    }
    if (key.Key == 0)
        return true;
    if (Navigate(key, fromEditor))
        return true;
    const bool changed =
        key.Key != event->key() || key.Modifiers != event->modifiers() || key.Text != event->text();
    if (!changed)
        return false;
    if (editing_) {
        QKeyEvent changedKey(QEvent::KeyPress, key.Key, key.Modifiers, key.Text);
        forwarding_ = true;
        QCoreApplication::sendEvent(editor_, &changedKey);
        forwarding_ = false;
    }
    return true;
}

bool TStringGridView::Navigate(const TGridKey &key, bool fromEditor) {
    const bool shift = key.Modifiers & Qt::ShiftModifier;
    const bool ctrl = key.Modifiers & Qt::ControlModifier;
    const QPoint end = RangeEnd();
    // Shift moves the selection's far corner, otherwise the cursor moves.
    auto go = [&](int dCol, int dRow) {
        if (shift)
            ExtendTo(end.x() + dCol, end.y() + dRow);
        else
            MoveTo(std::clamp(Col() + dCol, grid_.FixedCols(), grid_.ColCount() - 1),
                   std::clamp(Row() + dRow, grid_.FixedRows(), grid_.RowCount() - 1));
        return true;
    };
    const int page = FullyVisibleRows();
    switch (key.Key) {
    case Qt::Key_Up:
        return go(0, -1);
    case Qt::Key_Down:
        return go(0, 1);
    case Qt::Key_Left:
        return (!fromEditor || EditorAtSide(true)) && go(-1, 0);
    case Qt::Key_Right:
        return (!fromEditor || EditorAtSide(false)) && go(1, 0);
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        // The view turns a page with the cursor, when the cursor could move.
        const int before = shift ? end.y() : Row();
        go(0, key.Key == Qt::Key_PageUp ? -page : page);
        const QPoint moved = shift ? RangeEnd() : QPoint(Col(), Row());
        if (moved.y() != before) {
            verticalScrollBar()->setValue(TopRow() + moved.y() - before);
            ScrollTo(moved.x(), moved.y());
        }
        return true;
    }
    case Qt::Key_Home:
        if (fromEditor && !ctrl)
            return false;
        return go(grid_.FixedCols() - (shift ? end.x() : Col()),
                  ctrl ? grid_.FixedRows() - (shift ? end.y() : Row()) : 0);
    case Qt::Key_End:
        if (fromEditor && !ctrl)
            return false;
        return go(grid_.ColCount() - 1 - (shift ? end.x() : Col()),
                  ctrl ? grid_.RowCount() - 1 - (shift ? end.y() : Row()) : 0);
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
        // Tab runs along the row and on into the next one; Shift+Tab back.
        const bool back = key.Key == Qt::Key_Backtab || shift;
        int col = Col() + (back ? -1 : 1);
        int row = Row();
        if (col >= grid_.ColCount()) {
            col = grid_.FixedCols();
            ++row;
        } else if (col < grid_.FixedCols()) {
            col = grid_.ColCount() - 1;
            --row;
        }
        if (row >= grid_.FixedRows() && row < grid_.RowCount())
            MoveTo(col, row);
        return true;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Without editing Enter is left to the window (its default button).
        if (!editing_)
            return false;
        if (Row() + 1 < grid_.RowCount())
            MoveTo(Col(), Row() + 1);
        return true;
    case Qt::Key_Escape:
        return editing_;
    default:
        return false;
    }
}

// ---- Mouse ----------------------------------------------------------------

void TStringGridView::mousePressEvent(QMouseEvent *event) {
    const QPoint pos = event->position().toPoint();
    int col = -1;
    int row = -1;
    const bool hit = CellAt(pos, col, row);
    drag_ = Drag::None;
    if (hit && event->button() == Qt::LeftButton) {
        const bool scrollableCol = col >= grid_.FixedCols();
        if (row < grid_.FixedRows() && scrollableCol && columnMoving_) {
            drag_ = Drag::MovingColumn;
            dragCol_ = dropCol_ = col;
        } else if (row >= grid_.FixedRows() && scrollableCol) {
            if (event->modifiers() & Qt::ShiftModifier) {
                ExtendTo(col, row);
                drag_ = Drag::Selecting;
            } else if (MoveTo(col, row)) {
                drag_ = Drag::Selecting;
            }
        }
    }
    if (OnMouseDown) {
        OnMouseDown(event->button(), event->modifiers(), col, row);
        Refresh();
    }
}

// Dragging past the scrollable area scrolls it one cell per move.
void TStringGridView::DragScroll(const QPoint &pos, bool vertical) {
    QScrollBar *h = horizontalScrollBar();
    if (pos.x() >= viewport()->width())
        h->setValue(LeftCol() + 1);
    else if (pos.x() < FixedWidth())
        h->setValue(LeftCol() - 1);
    if (!vertical)
        return;
    QScrollBar *v = verticalScrollBar();
    if (pos.y() >= viewport()->height())
        v->setValue(TopRow() + 1);
    else if (pos.y() < FixedHeight())
        v->setValue(TopRow() - 1);
}

void TStringGridView::mouseMoveEvent(QMouseEvent *event) {
    const QPoint pos = event->position().toPoint();
    // A modal box opened by a handler may have taken the release.
    if (!(event->buttons() & Qt::LeftButton))
        drag_ = Drag::None;
    if (drag_ == Drag::Selecting) {
        DragScroll(pos, true);
        ExtendTo(ColNear(pos.x()), RowNear(pos.y()));
    } else if (drag_ == Drag::MovingColumn) {
        DragScroll(pos, false);
        dropCol_ = ColNear(pos.x());
        viewport()->update();
    }
}

void TStringGridView::mouseReleaseEvent(QMouseEvent *) {
    const Drag drag = drag_;
    drag_ = Drag::None;
    if (drag == Drag::MovingColumn && dropCol_ != dragCol_)
        FinishColumnMove(dragCol_, dropCol_);
    viewport()->update();
}

// The cursor and the selection keep standing on the texts they stood on.
void TStringGridView::FinishColumnMove(int from, int to) {
    auto follow = [from, to](int col) {
        if (col == from)
            return to;
        if (from < to && col > from && col <= to)
            return col - 1;
        if (to < from && col >= to && col < from)
            return col + 1;
        return col;
    };
    const QPoint end = RangeEnd();
    const int col = follow(Col());
    grid_.MoveColumn(from, to);
    grid_.SetCurrent(col, Row());
    grid_.SetSelection({col, Row(), follow(end.x()), end.y()});
    Refresh();
    if (OnColumnMoved) {
        OnColumnMoved(from, to);
        Refresh();
    }
}

// ---- Painting -------------------------------------------------------------

void TStringGridView::resizeEvent(QResizeEvent *event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
    PlaceEditor();
}

void TStringGridView::scrollContentsBy(int, int) {
    PlaceEditor();
    viewport()->update();
}

void TStringGridView::paintEvent(QPaintEvent *event) {
    QPainter painter(viewport());
    painter.fillRect(event->rect(), palette().color(QPalette::Window));
    const auto cols = VisibleCols();
    const auto rows = VisibleRows();
    if (cols.empty() || rows.empty())
        return;
    // The lines are what the cells leave uncovered of this area.
    const QRect cellsArea(0, 0, cols.back().pos + cols.back().size + kGridLine,
                          rows.back().pos + rows.back().size + kGridLine);
    painter.fillRect(cellsArea.intersected(event->rect()), palette().color(QPalette::Mid));
    for (const Span &r : rows)
        for (const Span &c : cols) {
            const QRect rect(c.pos, r.pos, c.size, r.size);
            if (rect.intersects(event->rect()))
                DrawCell(painter, rect, c.index, r.index);
        }
    if (drag_ == Drag::MovingColumn && dropCol_ != dragCol_) {
        const QRect target = CellRect(dropCol_, 0);
        const int x = dropCol_ < dragCol_ ? target.left() : target.right() + 1;
        painter.fillRect(x - 1, 0, 3, viewport()->height(), palette().color(QPalette::Highlight));
    }
}

void TStringGridView::DrawCell(QPainter &painter, const QRect &rect, int col, int row) {
    TGridDrawState state;
    state.Fixed = col < grid_.FixedCols() || row < grid_.FixedRows();
    state.Current = col == Col() && row == Row();
    const TGridRect &sel = grid_.Selection();
    state.Selected =
        !state.Fixed && col >= sel.Left && col <= sel.Right && row >= sel.Top && row <= sel.Bottom;
    const QPalette &pal = palette();
    QColor back = pal.color(QPalette::Base);
    QColor text = pal.color(QPalette::Text);
    if (state.Fixed) {
        back = pal.color(QPalette::Button);
        text = pal.color(QPalette::ButtonText);
    } else if (state.Selected) {
        back = pal.color(QPalette::Highlight);
        text = pal.color(QPalette::HighlightedText);
    }
    painter.save();
    painter.setClipRect(rect);
    painter.fillRect(rect, back);
    painter.setPen(text);
    painter.drawText(rect.adjusted(kTextIndent, kTextIndent, 0, 0),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     FromCp1252(grid_.Cell(col, row)));
    if (OnDrawCell)
        OnDrawCell(painter, rect, col, row, state);
    // Drawn last, so that the cursor is seen whatever the cell holds.
    if (state.Current && !state.Fixed) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::NoBrush);
        const QColor frame = pal.color(QPalette::Text);
        painter.fillRect(rect.left(), rect.top(), rect.width(), kCurrentFrame, frame);
        painter.fillRect(rect.left(), rect.bottom() - kCurrentFrame + 1, rect.width(),
                         kCurrentFrame, frame);
        painter.fillRect(rect.left(), rect.top(), kCurrentFrame, rect.height(), frame);
        painter.fillRect(rect.right() - kCurrentFrame + 1, rect.top(), kCurrentFrame, rect.height(),
                         frame);
    }
    painter.restore();
}

} // namespace takton::gui
