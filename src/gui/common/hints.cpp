#include "gui/common/hints.h"

#include <QAction>
#include <QVariant>
#include <QWidget>

namespace takton::gui {

namespace {
constexpr const char *kLongHint = "longHint";
}

QString ShortHint(const QString &hint) {
    const auto bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.left(bar);
}

QString LongHint(const QString &hint) {
    const auto bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.mid(bar + 1);
}

void SetHint(QWidget &widget, const QString &hint) {
    widget.setToolTip(ShortHint(hint));
    widget.setProperty(kLongHint, LongHint(hint));
}

void SetHint(QAction &action, const QString &hint) {
    action.setToolTip(ShortHint(hint));
    action.setProperty(kLongHint, LongHint(hint));
}

QString LongHintOf(const QObject &object) {
    return object.property(kLongHint).toString();
}

} // namespace takton::gui
