#pragma once

// Linien bearbeiten: creates, renames and deletes lines and shows, read-only,
// the stations of the line being changed. Every save and delete goes through
// the core's line register, which also carries a rename or delete into every
// other file of the project, the line's timetable file included. Created once
// at start-up and kept for the whole run.

#include "editors/entry_dialog.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QWidget;

namespace takton::gui {

class TfmEditLines : public TEntryDialog {
    Q_OBJECT
  public:
    explicit TfmEditLines(QWidget *parent = nullptr);

    void FormShow();
    void btNewLineClick();
    void btLineEditClick();
    void btLineDeleteClick();
    void btSaveClick();
    void btCancelClick();
    void btCloseClick();
    void leLineNameChange();

    // The editing mode shows the save button; it has no other effect.
    void EditOn();
    void EditOff();
    // Fills the station display with the selected line's route.
    void ShowLineStations();

    QWidget *pnEditLines;
    QListWidget *lbLines;
    QPushButton *btNewLine;
    QPushButton *btLineEdit;
    QPushButton *btLineDelete;
    QGroupBox *gbLineEdit;
    QLineEdit *leLineName;
    QLabel *Label2;
    QListWidget *lbLineStations;
    QPushButton *btSave;
    QPushButton *btCancel;
    QPushButton *btClose;

  protected:
    void FormCloseQuery(bool &canClose) override;
    QPushButton *EscapeButton() const override;
    void showEvent(QShowEvent *event) override;

  private:
    void CreateBrowsePanel();
    void CreateEntryGroup();
    void OpenEntry();
    void ReturnToBrowse();
    void LoadLines();
};

} // namespace takton::gui
