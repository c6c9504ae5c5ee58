#include "support/dialogs_double.h"

#include <QApplication>
#include <QDialog>

namespace takton::gui {

DialogsDouble::DialogsDouble() {
    SetDialogs(this);
}

DialogsDouble::~DialogsDouble() {
    SetDialogs(nullptr);
}

void DialogsDouble::setNextAnswer(Answer answer) {
    answers_.push_back(answer);
}

void DialogsDouble::setNextFileName(std::optional<QString> path) {
    files_.emplace_back(path.has_value(), path.value_or(QString()));
}

void DialogsDouble::setNextModalAction(std::function<void(QDialog &)> action) {
    modalActions_.push_back(std::move(action));
}

QStringList DialogsDouble::withPrefix(const QString &prefix) const {
    QStringList result;
    for (const QString &entry : log_)
        if (entry.startsWith(prefix))
            result << entry.mid(prefix.size());
    return result;
}

QStringList DialogsDouble::messages() const {
    return withPrefix(QStringLiteral("message:"));
}

QStringList DialogsDouble::errors() const {
    return withPrefix(QStringLiteral("error:"));
}

void DialogsDouble::ShowMessage(const QString &text) {
    log_ << QStringLiteral("message:") + text;
}

void DialogsDouble::ShowError(const QString &text) {
    log_ << QStringLiteral("error:") + text;
}

QStringList DialogsDouble::questions() const {
    QStringList result;
    for (const QString &entry : log_)
        if (entry.startsWith(QStringLiteral("ask:")) || entry.startsWith(QStringLiteral("ask3:")) ||
            entry.startsWith(QStringLiteral("confirm:")) ||
            entry.startsWith(QStringLiteral("confirm3:")))
            result << entry.section(QLatin1Char(':'), 1);
    return result;
}

int DialogsDouble::beeps() const {
    return static_cast<int>(log_.count(QStringLiteral("beep")));
}

Answer DialogsDouble::nextAnswer(Answer fallback) {
    if (answers_.empty())
        return fallback;
    const Answer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

Answer DialogsDouble::Confirm(const QString &caption, const QString &text) {
    log_ << QStringLiteral("confirm:%1:%2").arg(caption, text);
    return nextAnswer(Answer::No);
}

Answer DialogsDouble::Ask(const QString &caption, const QString &text) {
    log_ << QStringLiteral("ask:%1:%2").arg(caption, text);
    return nextAnswer(Answer::No);
}

Answer DialogsDouble::AskWithCancel(const QString &caption, const QString &text) {
    log_ << QStringLiteral("ask3:%1:%2").arg(caption, text);
    return nextAnswer(Answer::Cancel);
}

Answer DialogsDouble::ConfirmWithCancel(const QString &caption, const QString &text) {
    log_ << QStringLiteral("confirm3:%1:%2").arg(caption, text);
    return nextAnswer(Answer::Cancel);
}

void DialogsDouble::Beep() {
    log_ << QStringLiteral("beep");
}

std::optional<QString> DialogsDouble::nextFile() {
    if (files_.empty())
        return std::nullopt;
    const auto [chosen, path] = files_.front();
    files_.pop_front();
    if (!chosen)
        return std::nullopt;
    return path;
}

std::optional<QString> DialogsDouble::OpenFileName(const FileDialogRequest &request) {
    lastRequest_ = request;
    log_ << QStringLiteral("open:") + request.proposedFile;
    return nextFile();
}

std::optional<QString> DialogsDouble::SaveFileName(const FileDialogRequest &request) {
    lastRequest_ = request;
    log_ << QStringLiteral("save:") + request.proposedFile;
    return nextFile();
}

int DialogsDouble::ShowModal(QDialog &dialog) {
    log_ << QStringLiteral("modal:") + dialog.windowTitle();
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    QApplication::processEvents();
    if (!modalActions_.empty()) {
        auto action = std::move(modalActions_.front());
        modalActions_.pop_front();
        action(dialog);
    }
    if (dialog.isVisible())
        dialog.close();
    // A window that refuses to close would stay open after a real modal loop
    // too; a test must not leave it lying around.
    if (dialog.isVisible())
        dialog.hide();
    return dialog.result();
}

} // namespace takton::gui
