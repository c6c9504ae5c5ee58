#pragma once

// Steps of the master-data editor tests: clicking list items, typing names
// (also characters outside ASCII, as a foreign keyboard sends them) and
// reading what a list shows.

#include <QAbstractButton>
#include <QLineEdit>
#include <QListWidget>
#include <QStringList>
#include <QTest>

namespace takton::testing {

inline QStringList Items(const QListWidget *list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->item(i)->text();
    return items;
}

inline QStringList SelectedItems(const QListWidget *list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->isSelected())
            items << list->item(i)->text();
    return items;
}

// Clicks the item with this text; Ctrl adds it to a multiple selection.
inline bool ClickItem(QListWidget *list, const QString &text,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
    if (found.size() != 1)
        return false;
    list->scrollToItem(found.first());
    const QRect rect = list->visualItemRect(found.first());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, rect.center());
    return true;
}

inline bool ClickRow(QListWidget *list, int row) {
    if (row < 0 || row >= list->count())
        return false;
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    return true;
}

// A double-click as the mouse sends it: a click, then the second press.
inline void DoubleClickRow(QListWidget *list, int row) {
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

// Types at the end of the field, as the user would after clicking into it.
inline void TypeText(QLineEdit *field, const QString &text) {
    field->setFocus();
    field->end(false);
    for (QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(field, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Empties the field by keyboard and types the text.
inline void ReplaceText(QLineEdit *field, const QString &text) {
    field->setFocus();
    field->selectAll();
    if (!field->text().isEmpty())
        QTest::keyClick(field, Qt::Key_Backspace);
    TypeText(field, text);
}

inline void Click(QAbstractButton *button) {
    QVERIFY2(button->isVisible(), qPrintable(button->objectName() + " is not visible"));
    QTest::mouseClick(button, Qt::LeftButton);
}

} // namespace takton::testing
