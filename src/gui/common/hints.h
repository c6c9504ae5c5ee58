#pragma once

// Control hints of the form "short|long": the short part is the tooltip, the
// long part goes into the status line. A hint without a bar serves as both.

#include <QString>

class QAction;
class QObject;
class QWidget;

namespace takton::gui {

QString ShortHint(const QString &hint);
QString LongHint(const QString &hint);

// The long part is kept in the property "longHint" for the status line.
void SetHint(QWidget &widget, const QString &hint);
void SetHint(QAction &action, const QString &hint);
QString LongHintOf(const QObject &object);

} // namespace takton::gui
