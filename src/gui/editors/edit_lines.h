#pragma once

// Linien bearbeiten: creates, renames and deletes lines and shows, read-only,
// the stations of the line being changed. Every save and delete goes through
// the core's line register, which also carries a rename or delete into every
// other file of the project, the line's timetable file included. A line's own
// vehicle type ("Fahrzeugart") is kept in line_data.csv and follows a rename
// or delete of the line. Created once
// at start-up and kept for the whole run.

#include "gui/editors/entry_dialog.h"

#include <optional>
#include <string>

class QComboBox;
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

    void FormShow() override;
    void btNewLineClick();
    void btLineEditClick();
    // Selects the line at this place of the list and opens it for a change,
    // as a click on it and "Ändern" do.
    void ChangeLineAt(int row);
    void btLineDeleteClick();
    void btSaveClick();
    void btCancelClick();
    void leLineNameChange();

    // Fills the station display with the selected line's route.
    void ShowLineStations();

  protected:
    void CreateControls() override;

  private:
    QWidget *pnEditLines = nullptr;
    QListWidget *lbLines = nullptr;
    QPushButton *btNewLine = nullptr;
    QPushButton *btLineEdit = nullptr;
    QPushButton *btLineDelete = nullptr;
    QGroupBox *gbLineEdit = nullptr;
    QLineEdit *leLineName = nullptr;
    // "wie im Projekt (…)" first, then every vehicle type.
    QComboBox *cbRouteType = nullptr;
    QLabel *Label2 = nullptr;
    QListWidget *lbLineStations = nullptr;
    QPushButton *btSave = nullptr;
    QPushButton *btCancel = nullptr;
    QPushButton *btClose = nullptr;

    void CreateBrowsePanel();
    void CreateEntryGroup();
    void OpenEntry();
    void ReturnToBrowse();
    void LoadLines();
    // Fills the vehicle type choice, the line's own type chosen (nothing:
    // the project's).
    void ShowRouteType(std::optional<int> own);
    std::optional<int> ChosenRouteType() const;
    // line_data.csv after a save: the former name's entry moves to the new
    // name with the chosen type.
    void StoreRouteType(const std::optional<std::string> &former, const std::string &name);
    // The route and timetable file that deleting the line takes along, as
    // words for the question; empty when it has neither.
    QString WhatGoesWithLine(const std::string &line) const;
};

} // namespace takton::gui
