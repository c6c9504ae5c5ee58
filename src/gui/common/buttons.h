#pragma once

// The push buttons of the program's windows.

#include <QString>

class QPushButton;
class QWidget;

namespace takton::gui {

// A push button that never becomes the default by taking the focus, so that
// Enter in a field or grid clicks none but the window's default button.
QPushButton *PlainButton(QWidget *parent, const QString &caption, const char *objectName);

// "Änderungen speichern": the window's default button (Enter).
QPushButton *SaveButton(QWidget *parent);

} // namespace takton::gui
