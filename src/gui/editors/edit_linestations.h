#pragma once

// Stationen für Linie zuweisen: gives a line its ordered route. The user picks
// a line, takes stations from all stations or from the memo list of new
// stations, orders them and saves; saving stores the route through the core,
// which also keeps the reverse index and the line's timetable file in step.
// Created once at start-up and kept for the whole run.

#include "core/files/file_stamp.h"
#include "gui/editors/entry_dialog.h"

class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace takton::gui {

class TfmEditLineStations : public TEntryDialog {
    Q_OBJECT
  public:
    explicit TfmEditLineStations(QWidget *parent = nullptr);

    void FormShow() override;
    void btStationEditClick();
    // Selects the line at this place of the list and starts assigning its
    // stations, as a click on it and ">>" do.
    void AssignLineAt(int row);
    void rbAllStationsClick();
    void rbNewStationsClick();
    void btSelectAllStationsClick();
    void btStationToLineClick();
    void btStationUpClick();
    void btStationDownClick();
    void btDeleteStationClick();
    void btSaveClick();
    void btCancelClick();

    // Fills the station choice from all stations or from the new ones.
    void ShowStationChoice();
    // Fills the line's list from its stored route.
    void ShowLineStations();

  protected:
    void CreateControls() override;
    void keyPressEvent(QKeyEvent *event) override;

  private:
    QLabel *Label1 = nullptr;
    QListWidget *lbLines = nullptr;
    QPushButton *btStationEdit = nullptr;
    QGroupBox *gbLineAssign = nullptr;
    QGroupBox *gbStations = nullptr;
    QRadioButton *rbAllStations = nullptr;
    QRadioButton *rbNewStations = nullptr;
    QListWidget *lbStations = nullptr;
    QPushButton *btSelectAllStations = nullptr;
    QPushButton *btStationToLine = nullptr;
    QGroupBox *gbLineStations = nullptr;
    QLabel *lLineName = nullptr;
    QListWidget *lbLineStations = nullptr;
    QPushButton *btStationUp = nullptr;
    QPushButton *btStationDown = nullptr;
    QPushButton *btDeleteStation = nullptr;
    QPushButton *btSave = nullptr;
    QPushButton *btCancel = nullptr;
    QPushButton *btClose = nullptr;

    void CreateStationChoice();
    void CreateLineStations();
    void ReturnToChoosing();
    // Moves the current station of the line by one place, if it can.
    void MoveCurrentStation(int step);

    // The routes file as the assigned line's route was read from it.
    TFileStamp routesStamp_;
};

} // namespace takton::gui
