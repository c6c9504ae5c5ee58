#include "gui/editors/entry_dialog.h"

#include "gui/common/error_handler.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QShowEvent>

namespace takton::gui {

TEntryDialog::TEntryDialog(QWidget *parent) : TLazyDialog(parent) {}

void TEntryDialog::SetEntryButtons(QPushButton *save, QPushButton *cancel, QPushButton *close) {
    save_ = save;
    cancel_ = cancel;
    close_ = close;
}

void TEntryDialog::EditOn() {
    save_->setVisible(true);
}

void TEntryDialog::EditOff() {
    save_->setVisible(false);
}

void TEntryDialog::btCloseClick() {
    close();
}

void TEntryDialog::FormCloseQuery(bool &canClose) {
    canClose = !close_->isHidden();
}

void TEntryDialog::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    // Restoring a minimised window is no new showing: an open entry stays.
    if (!event->spontaneous())
        RunGuarded([this] { FormShow(); });
}

bool TEntryDialog::CloseAllowed() {
    // A window never shown has no entry open.
    if (!ControlsCreated())
        return true;
    bool canClose = true;
    FormCloseQuery(canClose);
    return canClose;
}

void TEntryDialog::reject() {
    if (CloseAllowed())
        QDialog::reject();
}

void TEntryDialog::keyPressEvent(QKeyEvent *event) {
    // Escape discards an entry; it never closes the window by itself.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (cancel_ && cancel_->isVisible() && cancel_->isEnabled())
            cancel_->click();
        event->accept();
        return;
    }
    // Enter on a focused button clicks that button, as Space does; anywhere
    // else it goes to the default button, and only while that is visible.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        auto *focused = qobject_cast<QPushButton *>(focusWidget());
        if (focused && focused->isVisible() && focused->isEnabled()) {
            focused->click();
            event->accept();
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

} // namespace takton::gui
