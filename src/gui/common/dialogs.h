#pragma once

// The one seam through which windows talk to the user in boxes and file
// dialogs. The program uses the Qt implementation; tests install a double that
// answers from queues and records what was asked.

#include <QString>
#include <optional>

class QDialog;

namespace takton::gui {

enum class Answer { Ok, Yes, No, Cancel };

// A file dialog: one filter ("ZAL-Projekt (*.zpr)"), the suffix appended to a
// name typed without one, and the name it proposes (may be empty).
struct FileDialogRequest {
    QString filter;
    QString defaultSuffix;
    QString proposedFile;
};

class IDialogs {
  public:
    virtual ~IDialogs() = default;
    // A plain notice with an OK button only.
    virtual void ShowMessage(const QString &text) = 0;
    // An error reported by the central error handler.
    virtual void ShowError(const QString &text) = 0;
    // A question with the buttons "&Ja" and "&Nein", "&Nein" the default;
    // closing the box means "&Nein". Every question whose "&Ja" throws work
    // away is asked so, so that an Enter typed on goes to the harmless answer.
    virtual Answer Confirm(const QString &caption, const QString &text) = 0;
    // A question with the buttons "&Ja" and "&Nein" (keys J and N); closing
    // the box means "&Nein".
    virtual Answer Ask(const QString &caption, const QString &text) = 0;
    // A question with "&Ja", "&Nein" and "Abbrechen"; closing the box means
    // "Abbrechen".
    virtual Answer AskWithCancel(const QString &caption, const QString &text) = 0;
    // The same three buttons for a question where both "&Ja" and "&Nein" throw
    // work away: "Abbrechen" is the default, and closing the box means it too.
    virtual Answer ConfirmWithCancel(const QString &caption, const QString &text) = 0;
    // A short system beep: an entry was refused.
    virtual void Beep() = 0;
    // The chosen path, or nothing when the user cancels. The open dialog
    // accepts a name whose file does not exist; the save dialog asks before
    // it replaces an existing file.
    virtual std::optional<QString> OpenFileName(const FileDialogRequest &request) = 0;
    virtual std::optional<QString> SaveFileName(const FileDialogRequest &request) = 0;
    // Shows a window modally and gives its result code.
    virtual int ShowModal(QDialog &dialog) = 0;
};

// The current seam: the Qt implementation unless a test installed another.
IDialogs &Dialogs();
// nullptr restores the Qt implementation; the caller keeps ownership.
void SetDialogs(IDialogs *dialogs);

// The caption of the program's own notices.
QString MessageCaption();

class QtDialogs : public IDialogs {
  public:
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
};

} // namespace takton::gui
