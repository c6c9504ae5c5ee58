#include "gui/common/dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace takton::gui {

namespace {

IDialogs *gDialogs = nullptr;

QWidget *ActiveParent() {
    return QApplication::activeWindow();
}

std::optional<QString> RunFileDialog(const FileDialogRequest &request,
                                     QFileDialog::AcceptMode mode) {
    QFileDialog dialog(ActiveParent());
    dialog.setAcceptMode(mode);
    // A project that does not exist yet may be opened: it is created on save.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(request.filter);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.proposedFile.isEmpty())
        dialog.selectFile(request.proposedFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace

IDialogs &Dialogs() {
    static QtDialogs qtDialogs;
    return gDialogs ? *gDialogs : qtDialogs;
}

void SetDialogs(IDialogs *dialogs) {
    gDialogs = dialogs;
}

QString MessageCaption() {
    return QStringLiteral("Takton");
}

void QtDialogs::ShowMessage(const QString &text) {
    QMessageBox box(QMessageBox::NoIcon, MessageCaption(), text, QMessageBox::NoButton,
                    ActiveParent());
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

void QtDialogs::ShowError(const QString &text) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Fehler"), text, QMessageBox::NoButton,
                    ActiveParent());
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

namespace {

// A question box: "yes" and "no" buttons, optionally "Abbrechen"; Escape
// gives the last of them, Enter the default.
Answer RunQuestion(const QString &caption, const QString &text, const QString &yesText,
                   const QString &noText, bool withCancel, Answer defaultAnswer) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, ActiveParent());
    QPushButton *yes = box.addButton(yesText, QMessageBox::YesRole);
    QPushButton *no = box.addButton(noText, QMessageBox::NoRole);
    QPushButton *cancel =
        withCancel ? box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole) : nullptr;
    box.setDefaultButton(defaultAnswer == Answer::Yes  ? yes
                         : defaultAnswer == Answer::No ? no
                         : cancel                      ? cancel
                                                       : no);
    box.setEscapeButton(cancel ? cancel : no);
    box.exec();
    if (box.clickedButton() == yes)
        return Answer::Yes;
    return cancel && box.clickedButton() != no ? Answer::Cancel : Answer::No;
}

} // namespace

Answer QtDialogs::Confirm(const QString &caption, const QString &text) {
    return RunQuestion(caption, text, QStringLiteral("&Ja"), QStringLiteral("&Nein"), false,
                       Answer::No);
}

Answer QtDialogs::Ask(const QString &caption, const QString &text) {
    return RunQuestion(caption, text, QStringLiteral("&Ja"), QStringLiteral("&Nein"), false,
                       Answer::Yes);
}

Answer QtDialogs::AskWithCancel(const QString &caption, const QString &text) {
    return RunQuestion(caption, text, QStringLiteral("&Ja"), QStringLiteral("&Nein"), true,
                       Answer::Yes);
}

Answer QtDialogs::ConfirmWithCancel(const QString &caption, const QString &text) {
    return RunQuestion(caption, text, QStringLiteral("&Ja"), QStringLiteral("&Nein"), true,
                       Answer::Cancel);
}

void QtDialogs::Beep() {
    QApplication::beep();
}

std::optional<QString> QtDialogs::OpenFileName(const FileDialogRequest &request) {
    return RunFileDialog(request, QFileDialog::AcceptOpen);
}

std::optional<QString> QtDialogs::SaveFileName(const FileDialogRequest &request) {
    return RunFileDialog(request, QFileDialog::AcceptSave);
}

int QtDialogs::ShowModal(QDialog &dialog) {
    return dialog.exec();
}

} // namespace takton::gui
