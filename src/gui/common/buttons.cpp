#include "gui/common/buttons.h"

#include <QPushButton>

namespace takton::gui {

QPushButton *PlainButton(QWidget *parent, const QString &caption, const char *objectName) {
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAutoDefault(false);
    return button;
}

QPushButton *SaveButton(QWidget *parent) {
    QPushButton *button = PlainButton(parent, QStringLiteral("Änderungen speichern"), "btSave");
    button->setDefault(true);
    return button;
}

} // namespace takton::gui
