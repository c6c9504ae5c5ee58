#pragma once

// Steps of the timetable editor tests: reading the grid, typing with real keys
// into whatever has the focus, clicking cells and dragging journey headers.

#include "app/app_windows.h"
#include "app/main_window.h"
#include "gui/common/string_grid_view.h"
#include "gui/timetable/edit_timetable.h"
#include "render/qt_text.h"
#include "support/controls.h"
#include "support/gui_fixture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QStringList>
#include <QTest>

namespace takton::testing {

// The demo project copied and open, the timetable editor shown as the main
// window shows it.
inline void OpenDemoInTimetableEditor(GuiFixture &fx) {
    CopyDemoProject(fx.path("demo"));
    gui::fmMain->show();
    gui::fmMain->OpenFromCommandLine(fx.path("demo/demo.zpr"));
    gui::fmEditTimeTable->show();
    gui::fmEditTimeTable->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(gui::fmEditTimeTable));
    fx.dialogs->clearLog();
}

inline gui::TStringGridView &Grid() {
    return *Control<gui::TStringGridView>(gui::fmEditTimeTable, "sgTimeTable");
}

inline QString Cell(int col, int row) {
    return gui::FromCp1252(Grid().Grid().Cell(col, row));
}

// The journey's times from the first station row down.
inline QStringList Column(int col) {
    QStringList texts;
    for (int row = 2; row < Grid().Grid().RowCount(); ++row)
        texts << Cell(col, row);
    return texts;
}

inline QPoint Cursor() {
    return {Grid().Col(), Grid().Row()};
}

inline QWidget *Focused() {
    QWidget *focus = QApplication::focusWidget();
    return focus ? focus : &Grid();
}

inline void Type(const QString &text) {
    QTest::keyClicks(Focused(), text);
}

inline void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(Focused(), Qt::Key(key), modifiers);
}

// Types an entry and leaves the cell with Enter.
inline void Enter(const QString &text) {
    Type(text);
    Key(Qt::Key_Return);
}

inline void ClickCell(int col, int row, Qt::MouseButton button = Qt::LeftButton,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const QRect rect = Grid().CellRect(col, row);
    QVERIFY2(!rect.isEmpty(), "cell out of sight");
    QTest::mouseClick(Grid().viewport(), button, modifiers, rect.center());
}

// Press on a header cell, move in steps with the button held, release.
inline void DragHeader(int fromCol, int toCol) {
    QWidget *port = Grid().viewport();
    const QPoint from = Grid().CellRect(fromCol, 0).center();
    const QPoint to = Grid().CellRect(toCol, 0).center();
    QTest::mousePress(port, Qt::LeftButton, Qt::NoModifier, from);
    for (int step = 1; step <= 4; ++step) {
        const QPoint pos = from + (to - from) * step / 4;
        QMouseEvent move(QEvent::MouseMove, pos, port->mapToGlobal(pos), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(port, &move);
    }
    QTest::mouseRelease(port, Qt::LeftButton, Qt::NoModifier, to);
}

} // namespace takton::testing
