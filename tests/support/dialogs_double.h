#pragma once

// A stand-in for the dialog seam in tests: answers come from queues filled
// beforehand, and every box, dialog and modal window is logged in order.

#include "gui/common/dialogs.h"

#include <QStringList>
#include <deque>
#include <functional>
#include <utility>

namespace takton::gui {

class DialogsDouble : public IDialogs {
  public:
    // Installs itself as the seam; the destructor restores the Qt dialogs.
    DialogsDouble();
    ~DialogsDouble() override;
    DialogsDouble(const DialogsDouble &) = delete;
    DialogsDouble &operator=(const DialogsDouble &) = delete;

    // The next confirmation or question gets this answer (default when none is
    // queued: No, or Cancel where the box offers it).
    void setNextAnswer(Answer answer);
    // The next open or save dialog returns this path; nothing means "cancel"
    // (also the default when none is queued).
    void setNextFileName(std::optional<QString> path);
    // The next modal window is shown, handed to this action while it is open,
    // and closed afterwards if the action left it open.
    void setNextModalAction(std::function<void(QDialog &)> action);

    // Everything asked so far, in order: "message:<text>", "error:<text>",
    // "confirm:<caption>:<text>", "ask:<caption>:<text>" (Ja/Nein),
    // "ask3:<caption>:<text>" (Ja/Nein/Abbrechen), "confirm3:<caption>:<text>"
    // (Ja/Nein/Abbrechen, Abbrechen the default), "beep", "open:<proposed>",
    // "save:<proposed>", "modal:<window title>".
    const QStringList &log() const { return log_; }
    QStringList messages() const;
    QStringList errors() const;
    // Every question asked, whatever its buttons, as "<caption>:<text>".
    QStringList questions() const;
    int beeps() const;
    const FileDialogRequest &lastFileRequest() const { return lastRequest_; }
    void clearLog() { log_.clear(); }

    void ShowMessage(const QString &text) override;
    void ShowError(const QString &text) override;
    Answer Confirm(const QString &caption, const QString &text) override;
    Answer Ask(const QString &caption, const QString &text) override;
    Answer AskWithCancel(const QString &caption, const QString &text) override;
    Answer ConfirmWithCancel(const QString &caption, const QString &text) override;
    void Beep() override;
    std::optional<QString> OpenFileName(const FileDialogRequest &request) override;
    std::optional<QString> SaveFileName(const FileDialogRequest &request) override;
    int ShowModal(QDialog &dialog) override;

  private:
    std::optional<QString> nextFile();
    Answer nextAnswer(Answer fallback);
    QStringList withPrefix(const QString &prefix) const;

    QStringList log_;
    std::deque<Answer> answers_;
    // A queued file dialog answer: chosen and its path, or cancelled.
    std::deque<std::pair<bool, QString>> files_;
    std::deque<std::function<void(QDialog &)>> modalActions_;
    FileDialogRequest lastRequest_;
};

} // namespace takton::gui
