#pragma once

// Steps shared by the window tests: choosing in a combo box and choosing a
// menu entry through the main window's menu bar with real clicks.

#include "app/app_windows.h"
#include "app/main_window.h"
#include "support/controls.h"

#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

namespace takton::testing {

// The entry of exactly this text, else the first that starts with it (a
// direction's entry also names its terminus).
inline void Choose(QComboBox *box, const QString &text) {
    int index = box->findText(text);
    if (index < 0)
        index = box->findText(text, Qt::MatchStartsWith);
    QVERIFY2(index >= 0, qPrintable(text));
    box->setCurrentIndex(index);
}

inline void ChooseFromMenu(QMenu *menu, QAction *item) {
    QMenuBar *bar = gui::fmMain->menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
}

// Opens a menu of the main window's menu bar and rests the mouse on one of
// its entries, as a planner reading the entry's hint does.
inline void HoverMenuItem(const char *menuName, const char *itemName) {
    QMenuBar *bar = gui::fmMain->menuBar();
    QMenu *menu = Control<QMenu>(gui::fmMain, menuName);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    QTest::mouseMove(menu, menu->actionGeometry(Control<QAction>(gui::fmMain, itemName)).center());
}

} // namespace takton::testing
