#include "gui/common/string_grid_view.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

using namespace takton;
using namespace takton::gui;

namespace {

struct Drawn {
    int col;
    int row;
    QRect rect;
    bool selected;
};

// A grid laid out like the timetable: two fixed rows and columns, a marker and
// a name column, then narrow journey columns, each cell named by its place.
std::unique_ptr<TStringGridView> MakeGrid(int cols, int rows, QSize size = {400, 300}) {
    auto view = std::make_unique<TStringGridView>();
    TStringGrid &grid = view->Grid();
    grid.SetColCount(cols);
    grid.SetRowCount(rows);
    grid.SetFixedCols(2);
    grid.SetFixedRows(2);
    grid.DefaultColWidth = 48;
    grid.DefaultRowHeight = 18;
    grid.SetColWidth(0, 20);
    grid.SetColWidth(1, 140);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            grid.SetCell(c, r, std::to_string(c) + "/" + std::to_string(r));
    view->resize(size);
    view->Refresh();
    return view;
}

// Where the editor stands in a cell: within the current cell's frame.
QRect Inside(const QRect &cell) {
    const int frame = TStringGridView::kCurrentFrame;
    return cell.adjusted(frame, frame, -frame, -frame);
}

// Shows the grid as the active window with the keyboard focus, as a user finds it.
bool Shown(QWidget &window, QWidget &focus) {
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window))
        return false;
    focus.setFocus();
    return true;
}
bool Shown(TStringGridView &view) {
    return Shown(view, view);
}

QWidget *Focused(TStringGridView &view) {
    QWidget *focus = QApplication::focusWidget();
    return focus ? focus : &view;
}

void Key(TStringGridView &view, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(Focused(view), static_cast<Qt::Key>(key), mods);
}

void Type(TStringGridView &view, const QString &text) {
    QTest::keyClicks(Focused(view), text);
}

// A character without a Latin-1 key, as a keyboard layout may send it.
void TypeChar(TStringGridView &view, const QString &text) {
    QTest::sendKeyEvent(QTest::Click, Focused(view), Qt::Key_unknown, text, Qt::NoModifier);
}

// The middle of a cell the user sees; a cell out of sight fails the test.
QPoint CenterOf(TStringGridView &view, int col, int row) {
    const QRect rect = view.CellRect(col, row);
    if (!rect.isValid())
        QTest::qFail(qPrintable(QStringLiteral("cell %1/%2 not shown").arg(col).arg(row)), __FILE__,
                     __LINE__);
    return rect.center();
}

void Click(TStringGridView &view, int col, int row, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::mouseClick(view.viewport(), Qt::LeftButton, mods, CenterOf(view, col, row));
}

// Press, move in steps with the button held, release: as a hand drags.
void Drag(TStringGridView &view, QPoint from, QPoint to) {
    QWidget *port = view.viewport();
    QTest::mousePress(port, Qt::LeftButton, Qt::NoModifier, from);
    for (int step = 1; step <= 4; ++step) {
        const QPoint pos = from + (to - from) * step / 4;
        QMouseEvent move(QEvent::MouseMove, pos, port->mapToGlobal(pos), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(port, &move);
    }
    QTest::mouseRelease(port, Qt::LeftButton, Qt::NoModifier, to);
}

std::string Cell(const TStringGridView &view, int col, int row) {
    return view.Grid().Cell(col, row);
}

} // namespace

namespace takton {
char *toString(const TGridRect &rect) {
    return QTest::toString(QStringLiteral("{%1, %2, %3, %4}")
                               .arg(rect.Left)
                               .arg(rect.Top)
                               .arg(rect.Right)
                               .arg(rect.Bottom));
}
} // namespace takton

class StringGridViewTest : public QObject {
    Q_OBJECT
  private slots:
    void fixedRowsAndColumnsStayWhileTheRestScrolls() {
        auto view = MakeGrid(40, 60);
        QVERIFY(Shown(*view));
        // Widths: 20 and 140 for the fixed columns, 48 by default, 18 high, 1 px lines.
        QCOMPARE(view->CellRect(0, 0), QRect(0, 0, 20, 18));
        QCOMPARE(view->CellRect(1, 1), QRect(21, 19, 140, 18));
        QCOMPARE(view->CellRect(2, 2), QRect(162, 38, 48, 18));
        QCOMPARE(view->CellRect(3, 2).x(), 162 + 49);

        // Walking right and down past the edge scrolls the journey cells only.
        for (int i = 0; i < 20; ++i)
            Key(*view, Qt::Key_Right);
        for (int i = 0; i < 30; ++i)
            Key(*view, Qt::Key_Down);
        QCOMPARE(view->Col(), 22);
        QCOMPARE(view->Row(), 32);
        QVERIFY(view->LeftCol() > 2);
        QVERIFY(view->TopRow() > 2);
        QVERIFY(view->CellRect(2, 2).isNull());
        QCOMPARE(view->CellRect(1, 32).x(), 21);
        QCOMPARE(view->CellRect(22, 1).y(), 19);
        QCOMPARE(view->CellRect(view->LeftCol(), view->TopRow()), QRect(162, 38, 48, 18));
        QVERIFY(view->viewport()->rect().contains(view->CellRect(22, 32)));

        // What is painted: the header cells in their place, in the header colour.
        std::vector<Drawn> drawn;
        view->OnDrawCell = [&](QPainter &, const QRect &rect, int col, int row,
                               const TGridDrawState &state) {
            drawn.push_back({col, row, rect, state.Selected});
            QVERIFY(state.Fixed == (col < 2 || row < 2));
        };
        const QImage image = view->viewport()->grab().toImage();
        auto at = [&](int col, int row) {
            return std::find_if(drawn.begin(), drawn.end(),
                                [&](const Drawn &d) { return d.col == col && d.row == row; });
        };
        QVERIFY(at(1, 0) != drawn.end());
        QCOMPARE(at(1, view->TopRow())->rect, QRect(21, 38, 140, 18));
        QCOMPARE(at(view->LeftCol(), 0)->rect, QRect(162, 0, 48, 18));
        QVERIFY(at(2, 2) == drawn.end());
        // Sampled right of the text and above it.
        auto background = [&](int col, int row) {
            return image.pixelColor(view->CellRect(col, row).topRight() + QPoint(-1, 1));
        };
        const QColor header = view->palette().color(QPalette::Button);
        QCOMPARE(background(1, 1), header);
        QCOMPARE(background(0, view->TopRow() + 3), header);
        QCOMPARE(background(view->LeftCol() + 1, 0), header);
        QCOMPARE(background(view->LeftCol() + 1, view->TopRow()),
                 view->palette().color(QPalette::Base));

        // The scroll bar scrolls back without moving the cursor.
        view->horizontalScrollBar()->setValue(2);
        QCOMPARE(view->CellRect(2, 32).x(), 162);
        QCOMPARE(view->Col(), 22);
    }

    void selectsARectangleByDragAndByShiftWithArrows() {
        auto view = MakeGrid(20, 20);
        view->SetEditing(false);
        QVERIFY(Shown(*view));
        Drag(*view, CenterOf(*view, 3, 3), CenterOf(*view, 5, 6));
        QCOMPARE(view->Selection(), (TGridRect{3, 3, 5, 6}));
        QCOMPARE(view->Col(), 3);
        QCOMPARE(view->Row(), 3);
        // Dragging back past the current cell turns the rectangle over.
        Drag(*view, CenterOf(*view, 4, 4), CenterOf(*view, 2, 2));
        QCOMPARE(view->Selection(), (TGridRect{2, 2, 4, 4}));
        QCOMPARE(view->Col(), 4);
        // Into the headers the rectangle stops at the first scrollable cell.
        Drag(*view, CenterOf(*view, 3, 3), QPoint(5, 5));
        QCOMPARE(view->Selection(), (TGridRect{2, 2, 3, 3}));

        Click(*view, 4, 4);
        Key(*view, Qt::Key_Right, Qt::ShiftModifier);
        Key(*view, Qt::Key_Right, Qt::ShiftModifier);
        Key(*view, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(view->Selection(), (TGridRect{4, 4, 6, 5}));
        Key(*view, Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(view->Selection(), (TGridRect{4, 4, 5, 5}));
        // Shift+click spans from the cursor; a plain arrow drops the rectangle.
        Click(*view, 7, 8, Qt::ShiftModifier);
        QCOMPARE(view->Selection(), (TGridRect{4, 4, 7, 8}));
        Key(*view, Qt::Key_Down);
        QCOMPARE(view->Selection(), (TGridRect{4, 5, 4, 5}));
        // Without the editor Tab still moves between cells, not out of the grid.
        Key(*view, Qt::Key_Tab);
        QVERIFY(view->hasFocus());
        QCOMPARE(view->Col(), 5);
        Key(*view, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(view->Col(), 4);

        // The focused cell and the rectangle are drawn as selected, nothing else.
        Key(*view, Qt::Key_Right, Qt::ShiftModifier);
        const QImage image = view->viewport()->grab().toImage();
        const QColor highlight = view->palette().color(QPalette::Highlight);
        QCOMPARE(image.pixelColor(view->CellRect(4, 5).topLeft() + QPoint(3, 3)), highlight);
        // The current cell carries its frame.
        const QColor frame = view->palette().color(QPalette::Text);
        QCOMPARE(image.pixelColor(view->CellRect(4, 5).topLeft() + QPoint(1, 1)), frame);
        QCOMPARE(image.pixelColor(view->CellRect(4, 5).bottomRight()), frame);
        QCOMPARE(image.pixelColor(view->CellRect(5, 5).topLeft() + QPoint(1, 1)), highlight);
        QVERIFY(image.pixelColor(view->CellRect(6, 5).topLeft() + QPoint(1, 1)) != highlight);
    }

    void everyMoveAsksTheSelectCellEventWhichCanRefuse() {
        auto view = MakeGrid(10, 40);
        QVERIFY(Shown(*view));
        QList<QPoint> asked;
        QPoint refused(-1, -1);
        view->OnSelectCell = [&](int col, int row, bool &allow) {
            asked.append({col, row});
            allow = QPoint(col, row) != refused;
        };
        auto expectMove = [&](int key, Qt::KeyboardModifiers mods, QPoint target) {
            asked.clear();
            Key(*view, key, mods);
            QCOMPARE(asked, QList<QPoint>{target});
            QCOMPARE(QPoint(view->Col(), view->Row()), target);
        };
        expectMove(Qt::Key_Right, Qt::NoModifier, {3, 2});
        expectMove(Qt::Key_Down, Qt::NoModifier, {3, 3});
        expectMove(Qt::Key_Left, Qt::NoModifier, {2, 3});
        expectMove(Qt::Key_Up, Qt::NoModifier, {2, 2});
        expectMove(Qt::Key_Tab, Qt::NoModifier, {3, 2});
        expectMove(Qt::Key_Backtab, Qt::ShiftModifier, {2, 2});
        expectMove(Qt::Key_Return, Qt::NoModifier, {2, 3});
        asked.clear();
        Key(*view, Qt::Key_PageDown);
        QCOMPARE(asked.size(), 1);
        QVERIFY(view->Row() > 10);
        QCOMPARE(asked.first(), QPoint(view->Col(), view->Row()));
        QVERIFY(view->TopRow() > 2);
        expectMove(Qt::Key_PageUp, Qt::NoModifier, {2, 3});
        // Tab runs on into the next row, Shift+Tab back into the row before.
        view->MoveTo(9, 3);
        expectMove(Qt::Key_Tab, Qt::NoModifier, {2, 4});
        expectMove(Qt::Key_Backtab, Qt::ShiftModifier, {9, 3});

        asked.clear();
        Click(*view, 7, 6);
        QCOMPARE(asked, QList<QPoint>{QPoint(7, 6)});
        asked.clear();
        QVERIFY(view->MoveTo(6, 7));
        QCOMPARE(asked, QList<QPoint>{QPoint(6, 7)});

        // Refused: the cursor stays, whatever asked for the move.
        refused = {6, 8};
        asked.clear();
        Key(*view, Qt::Key_Down);
        Key(*view, Qt::Key_Return);
        QVERIFY(!view->MoveTo(6, 8));
        Click(*view, 6, 8);
        QCOMPARE(asked.size(), 4);
        QCOMPARE(QPoint(view->Col(), view->Row()), QPoint(6, 7));
        // A drag that starts on a refused cell selects nothing.
        Drag(*view, CenterOf(*view, 6, 8), CenterOf(*view, 8, 9));
        QCOMPARE(view->Selection(), (TGridRect{6, 7, 6, 7}));

        // No event without a move: at the edge, onto fixed cells, outside the grid.
        view->MoveTo(2, 2);
        asked.clear();
        Key(*view, Qt::Key_Up);
        Key(*view, Qt::Key_Left);
        Click(*view, 1, 5);
        QVERIFY(!view->MoveTo(1, 5));
        QVERIFY(!view->MoveTo(2, 40));
        QVERIFY(asked.isEmpty());
        QCOMPARE(QPoint(view->Col(), view->Row()), QPoint(2, 2));
    }

    void theHandlerMayMoveTheCursorWhileRefusing() {
        // As a window jumps to the top of the next column instead of going down.
        auto view = MakeGrid(10, 10);
        QVERIFY(Shown(*view));
        view->MoveTo(3, 5);
        int depth = 0;
        QList<QPoint> asked;
        view->OnSelectCell = [&](int col, int row, bool &allow) {
            asked.append({col, row});
            if (depth == 0 && row == 6) {
                ++depth;
                view->MoveTo(view->Col() + 1, view->Row());
                view->MoveTo(view->Col(), 2);
                --depth;
                allow = false;
            }
        };
        Key(*view, Qt::Key_Down);
        QCOMPARE(QPoint(view->Col(), view->Row()), QPoint(4, 2));
        QCOMPARE(asked, (QList<QPoint>{{3, 6}, {4, 5}, {4, 2}}));
        QCOMPARE(view->Selection(), (TGridRect{4, 2, 4, 2}));
        QCOMPARE(view->Editor()->text(), QStringLiteral("4/2"));
    }

    void keyPressEventChangesOrSwallowsKeysBeforeTheEditor() {
        auto view = MakeGrid(10, 10);
        QVERIFY(Shown(*view));
        QList<int> seen;
        view->OnKeyPress = [&](TGridKey &key) {
            seen.append(key.Key);
            if (key.Text == ".") {
                key.Key = Qt::Key_Colon;
                key.Text = ":";
            } else if (key.Text == "x" || key.Key == Qt::Key_Down) {
                key.Key = 0;
            }
        };
        Type(*view, "9.x30");
        QCOMPARE(view->Editor()->text(), QStringLiteral("9:30"));
        QCOMPARE(Cell(*view, 2, 2), std::string("9:30"));
        Key(*view, Qt::Key_Down);
        QCOMPARE(view->Row(), 2);
        QCOMPARE(seen, (QList<int>{Qt::Key_9, Qt::Key_Period, Qt::Key_X, Qt::Key_3, Qt::Key_0,
                                   Qt::Key_Down}));

        // The window may take Enter for itself and move the cursor its own way.
        view->OnKeyPress = [&](TGridKey &key) {
            if (key.Key == Qt::Key_Return) {
                key.Key = 0;
                view->MoveTo(view->Col() + 1, 2);
            }
        };
        view->MoveTo(2, 4);
        Key(*view, Qt::Key_Return);
        QCOMPARE(QPoint(view->Col(), view->Row()), QPoint(3, 2));
        // A key turned into an arrow moves like the arrow.
        view->OnKeyPress = [](TGridKey &key) {
            if (key.Text == "j") {
                key = {Qt::Key_Down, Qt::NoModifier, {}};
            }
        };
        Type(*view, "j");
        QCOMPARE(view->Row(), 3);
        QCOMPARE(Cell(*view, 3, 2), std::string("3/2"));
        // What the handler writes into the grid shows at once.
        view->OnKeyPress = [&](TGridKey &key) {
            if (key.Key == Qt::Key_Escape)
                view->Grid().SetCell(view->Col(), view->Row(), "alt");
        };
        Type(*view, "neu");
        Key(*view, Qt::Key_Escape);
        QCOMPARE(view->Editor()->text(), QStringLiteral("alt"));
    }

    void enterAndEscapeStayInTheGridOnlyWhileEditing() {
        QDialog dialog;
        auto *layout = new QVBoxLayout(&dialog);
        auto *view = new TStringGridView(&dialog);
        auto *ok = new QPushButton(QStringLiteral("OK"), &dialog);
        ok->setDefault(true);
        layout->addWidget(view);
        layout->addWidget(ok);
        view->Grid().SetColCount(6);
        view->Grid().SetRowCount(6);
        view->Refresh();
        QSignalSpy clicked(ok, &QPushButton::clicked);
        QVERIFY(Shown(dialog, *view));
        QVERIFY(view->Editor()->hasFocus());

        Key(*view, Qt::Key_Return);
        Key(*view, Qt::Key_Escape);
        QCOMPARE(clicked.count(), 0);
        QVERIFY(dialog.isVisible());
        QCOMPARE(view->Row(), 2);

        view->SetEditing(false);
        QVERIFY(view->hasFocus());
        Key(*view, Qt::Key_Return);
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(view->Row(), 2);
        Key(*view, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
    }

    void theGridCanStayOutOfTheWindowsTabOrder() {
        QDialog dialog;
        auto *layout = new QVBoxLayout(&dialog);
        auto *first = new QPushButton(QStringLiteral("Eins"), &dialog);
        auto *view = new TStringGridView(&dialog);
        auto *second = new QPushButton(QStringLiteral("Zwei"), &dialog);
        layout->addWidget(first);
        layout->addWidget(view);
        layout->addWidget(second);
        QVERIFY(Shown(dialog, *first));
        QTest::keyClick(first, Qt::Key_Tab);
        QVERIFY(view->Editor()->hasFocus());

        view->SetTabStop(false);
        first->setFocus();
        QTest::keyClick(first, Qt::Key_Tab);
        QVERIFY(second->hasFocus());
        // A click still gives it the keyboard.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, CenterOf(*view, 2, 2));
        QVERIFY(view->Editor()->hasFocus());
        view->SetEditing(false);
        QVERIFY(view->hasFocus());
        QTest::keyClick(view, Qt::Key_Tab);
        QVERIFY(view->hasFocus());
    }

    void programChangesShowAfterRefresh() {
        auto view = MakeGrid(30, 40);
        QVERIFY(Shown(*view));
        QVERIFY(view->MoveTo(29, 39));
        const int lastLeft = view->LeftCol();
        // Rows and columns taken off under the cursor: it stays inside, on scrollable cells.
        DeleteGridRow(view->Grid(), 39);
        DeleteGridColumn(view->Grid(), 29);
        view->Grid().SetRowCount(20);
        view->Refresh();
        QCOMPARE(QPoint(view->Col(), view->Row()), QPoint(28, 19));
        QCOMPARE(view->Editor()->text(), QStringLiteral("28/19"));
        QCOMPARE(view->Editor()->geometry(), Inside(view->CellRect(28, 19)));
        QVERIFY(view->verticalScrollBar()->maximum() < 20);
        QVERIFY(view->LeftCol() < lastLeft);
        // Wider journey columns and more fixed ones.
        view->Grid().DefaultColWidth = 60;
        view->Grid().SetFixedCols(3);
        view->MoveTo(3, 2);
        view->Refresh();
        QCOMPARE(view->CellRect(3, 2), QRect(162 + 61, 38, 60, 18));
        QCOMPARE(view->Editor()->geometry(), Inside(view->CellRect(3, 2)));
        view->Grid().SetFixedRows(5);
        view->Refresh();
        QCOMPARE(QPoint(view->Col(), view->Row()), QPoint(3, 5));
    }

    void theCurrentCellIsFramedAndEveryEditTellsItsEarlierText() {
        auto view = MakeGrid(10, 40);
        QVERIFY(Shown(*view));
        view->SetCell(3, 3, "");
        QVERIFY(view->MoveTo(3, 3));
        // Framed while empty and with the editor on it: the frame is outside
        // the editor, so no cursor blink hides it.
        const QImage image = view->viewport()->grab().toImage();
        const QColor frame = view->palette().color(QPalette::Text);
        const QRect cell = view->CellRect(3, 3);
        for (const QPoint &p :
             {cell.topLeft(), cell.topLeft() + QPoint(1, 1), cell.bottomRight(),
              cell.bottomRight() - QPoint(1, 1), QPoint(cell.left(), cell.center().y())})
            QCOMPARE(image.pixelColor(p), frame);
        QVERIFY(image.pixelColor(view->CellRect(4, 3).topLeft() + QPoint(1, 1)) != frame);

        QStringList edits;
        view->OnTextEdited = [&](int col, int row, const std::string &before) {
            edits
                << QStringLiteral("%1/%2:%3").arg(col).arg(row).arg(QString::fromStdString(before));
        };
        Type(*view, "ab");
        view->Editor()->undo();
        QCOMPARE(edits, QStringList({"3/3:", "3/3:a", "3/3:ab"}));
        QCOMPARE(Cell(*view, 3, 3), std::string());
    }

    void editorIsAlwaysShownOnTheCurrentCellWhileEditing() {
        auto view = MakeGrid(10, 40);
        QVERIFY(Shown(*view));
        QLineEdit *editor = view->Editor();
        view->setFocus();
        QVERIFY(editor->isVisible());
        QVERIFY(editor->hasFocus());
        QCOMPARE(editor->geometry(), Inside(view->CellRect(2, 2)));
        QCOMPARE(editor->text(), QStringLiteral("2/2"));

        // Typing replaces the shown text and is in the grid at once.
        Type(*view, "0815");
        QCOMPARE(Cell(*view, 2, 2), std::string("0815"));
        Key(*view, Qt::Key_Backspace);
        QCOMPARE(Cell(*view, 2, 2), std::string("081"));
        // Left and Right move the caret inside the text, and leave it at its ends.
        Key(*view, Qt::Key_Left);
        QCOMPARE(view->Col(), 2);
        Key(*view, Qt::Key_Right);
        Key(*view, Qt::Key_Right);
        QCOMPARE(view->Col(), 3);
        QCOMPARE(editor->geometry(), Inside(view->CellRect(3, 2)));
        QCOMPARE(editor->selectedText(), QStringLiteral("3/2"));
        Type(*view, "S");
        TypeChar(*view, QStringLiteral("ü"));
        Type(*view, "d");
        Key(*view, Qt::Key_Down);
        QCOMPARE(Cell(*view, 3, 2), std::string("S\xFC"
                                                "d"));
        QCOMPARE(Cell(*view, 2, 2), std::string("081"));
        // A character the files cannot hold is not taken.
        TypeChar(*view, QStringLiteral("Ł"));
        Type(*view, QStringLiteral("1"));
        QCOMPARE(Cell(*view, 3, 3), std::string("1"));

        // The window's handler rewrites the cell being left; the grid shows it.
        view->OnSelectCell = [&](int, int, bool &allow) {
            view->Grid().SetCell(view->Col(), view->Row(), "09:30");
            allow = false;
        };
        Type(*view, "930");
        Key(*view, Qt::Key_Down);
        QCOMPARE(editor->text(), QStringLiteral("09:30"));
        view->OnSelectCell = nullptr;

        // Editing off: no editor, typing changes nothing; on again: shown again.
        view->SetEditing(false);
        QVERIFY(!editor->isVisible());
        Type(*view, "77");
        Key(*view, Qt::Key_Down);
        QCOMPARE(Cell(*view, 3, 4), std::string("3/4"));
        QCOMPARE(view->Row(), 4);
        view->SetEditing(true);
        QVERIFY(editor->isVisible());
        QVERIFY(editor->hasFocus());
        QCOMPARE(editor->geometry(), Inside(view->CellRect(3, 4)));
        Type(*view, "77");
        QCOMPARE(Cell(*view, 3, 4), std::string("77"));

        // Scrolled out of sight the editor keeps the focus and the typing.
        view->verticalScrollBar()->setValue(8);
        QVERIFY(!view->viewport()->rect().intersects(editor->geometry()));
        Type(*view, "8");
        QCOMPARE(Cell(*view, 3, 4), std::string("778"));
        // The program changes the current cell and shows it.
        view->SetCell(3, 4, "neu");
        QCOMPARE(editor->text(), QStringLiteral("neu"));
    }

    void mouseDownReportsTheHitCellAndOwnerDrawPaintsOverTheDefault() {
        auto view = MakeGrid(10, 10);
        QVERIFY(Shown(*view));
        QList<QPoint> hits;
        view->OnMouseDown = [&](Qt::MouseButton, Qt::KeyboardModifiers, int col, int row) {
            hits.append({col, row});
            // As the timetable splits a station row from its marker cell.
            if (col == 0 && row >= 2)
                InsertGridRow(view->Grid(), row);
        };
        Click(*view, 0, 5);
        QTest::mouseClick(view->viewport(), Qt::RightButton, {}, CenterOf(*view, 4, 3));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(300, 250));
        // A click into the editor hits the current cell.
        QTest::mouseClick(view->Editor(), Qt::LeftButton);
        QCOMPARE(hits, (QList<QPoint>{{0, 5}, {4, 3}, {-1, -1}, {2, 2}}));
        QCOMPARE(view->Grid().RowCount(), 11);
        QCOMPARE(Cell(*view, 0, 6), std::string("0/5"));
        // right button does not move
        QCOMPARE(QPoint(view->Col(), view->Row()), QPoint(2, 2));

        const QColor cream(255, 251, 240);
        QList<QColor> pens;
        view->OnDrawCell = [&](QPainter &painter, const QRect &rect, int col, int row,
                               const TGridDrawState &) {
            if (col >= 2 && row >= 2 && row % 2 == 0) {
                pens.append(painter.pen().color());
                painter.fillRect(rect, cream);
            }
        };
        view->SetEditing(false);
        const QImage image = view->viewport()->grab().toImage();
        QCOMPARE(image.pixelColor(view->CellRect(3, 4).center()), cream);
        // over the selection
        QCOMPARE(image.pixelColor(view->CellRect(2, 2).center()), cream);
        QVERIFY(image.pixelColor(view->CellRect(3, 3).center()) != cream);
        QVERIFY(image.pixelColor(view->CellRect(1, 4).center()) != cream);
        QVERIFY(pens.contains(view->palette().color(QPalette::Text)));
        QVERIFY(pens.contains(view->palette().color(QPalette::HighlightedText)));
    }

    void aJourneyColumnMovesByDraggingItsHeaderCell() {
        auto view = MakeGrid(30, 6, {700, 200});
        view->SetColumnMoving(true);
        QVERIFY(Shown(*view));
        QList<QPair<int, int>> moves;
        view->OnColumnMoved = [&](int from, int to) {
            moves.append({from, to});
            // As the timetable numbers its journeys again.
            for (int c = 2; c < view->Grid().ColCount(); ++c)
                view->Grid().SetCell(c, 0, std::to_string(c - 1));
        };
        view->MoveTo(5, 3);
        Type(*view, "x");

        // GIVEN column 5 dragged by its header cell onto column 2
        Drag(*view, CenterOf(*view, 5, 0), CenterOf(*view, 2, 1));
        QCOMPARE(moves, (QList<QPair<int, int>>{{5, 2}}));
        QCOMPARE(Cell(*view, 2, 2), std::string("5/2"));
        QCOMPARE(Cell(*view, 3, 2), std::string("2/2"));
        QCOMPARE(Cell(*view, 6, 2), std::string("6/2"));
        // second header row moves along
        QCOMPARE(Cell(*view, 2, 1), std::string("5/1"));
        QCOMPARE(Cell(*view, 2, 0), std::string("1"));
        // The cursor and its editor stay with the moved text.
        QCOMPARE(QPoint(view->Col(), view->Row()), QPoint(2, 3));
        QCOMPARE(view->Editor()->text(), QStringLiteral("x"));

        // Onto the fixed columns: it goes no further than the first journey column.
        Drag(*view, CenterOf(*view, 7, 1), CenterOf(*view, 0, 1));
        QCOMPARE(moves.last(), (QPair<int, int>{7, 2}));
        QCOMPARE(Cell(*view, 2, 3), std::string("7/3"));
        QCOMPARE(Cell(*view, 0, 3), std::string("0/3"));
        QCOMPARE(Cell(*view, 1, 3), std::string("1/3"));
        // Rightwards, and a press and release on one header cell moves nothing.
        Drag(*view, CenterOf(*view, 2, 0), CenterOf(*view, 4, 0));
        QCOMPARE(moves.last(), (QPair<int, int>{2, 4}));
        QCOMPARE(Cell(*view, 4, 3), std::string("7/3"));
        Click(*view, 6, 0);
        QCOMPARE(moves.size(), 3);

        // Dragged past the right edge the grid scrolls along, one column per move.
        QWidget *port = view->viewport();
        const QPoint outside(port->width() + 20, 9);
        QTest::mousePress(port, Qt::LeftButton, {}, CenterOf(*view, 2, 0));
        for (int i = 0; i < 30; ++i) {
            QMouseEvent move(QEvent::MouseMove, outside, port->mapToGlobal(outside), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(port, &move);
        }
        QTest::mouseRelease(port, Qt::LeftButton, {}, outside);
        QCOMPARE(moves.last(), (QPair<int, int>{2, 29}));
        QCOMPARE(Cell(*view, 29, 2), std::string("5/2"));
        QVERIFY(view->LeftCol() > 2);
        view->horizontalScrollBar()->setValue(2);

        // Fixed columns do not move, and neither does anything without the switch.
        Drag(*view, CenterOf(*view, 1, 0), CenterOf(*view, 6, 0));
        view->SetColumnMoving(false);
        Drag(*view, CenterOf(*view, 6, 0), CenterOf(*view, 3, 0));
        QCOMPARE(moves.size(), 4);
        QCOMPARE(Cell(*view, 1, 3), std::string("1/3"));
        QCOMPARE(Cell(*view, 6, 3), std::string("6/3"));
    }

    void paintsOnlyTheVisibleCellsOfALargeGrid() {
        auto view = MakeGrid(512, 300, {770, 480});
        view->SetEditing(false);
        QVERIFY(Shown(*view));
        std::vector<Drawn> drawn;
        view->OnDrawCell = [&](QPainter &, const QRect &rect, int col, int row,
                               const TGridDrawState &state) {
            drawn.push_back({col, row, rect, state.Selected});
        };
        auto shownCells = [&] {
            int count = 0;
            for (int r = 0; r < 300; ++r)
                for (int c = 0; c < 512; ++c)
                    count += view->CellRect(c, r).isValid() ? 1 : 0;
            return count;
        };
        view->viewport()->repaint();
        const int shown = shownCells();
        QVERIFY(shown > 200);
        QVERIFY(shown < 800);
        QCOMPARE(static_cast<int>(drawn.size()), shown);

        // At the far corner the last cell is painted, and still only what shows.
        Key(*view, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(QPoint(view->Col(), view->Row()), QPoint(511, 299));
        drawn.clear();
        view->viewport()->repaint();
        QCOMPARE(static_cast<int>(drawn.size()), shownCells());
        QVERIFY(std::any_of(drawn.begin(), drawn.end(),
                            [](const Drawn &d) { return d.col == 511 && d.row == 299; }));
        QVERIFY(view->viewport()->rect().contains(view->CellRect(511, 299)));
    }
};

QTEST_MAIN(StringGridViewTest)
#include "test_string_grid_view.moc"
