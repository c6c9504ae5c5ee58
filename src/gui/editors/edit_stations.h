#pragma once

// Stationen bearbeiten: creates, renames and deletes stations and keeps the
// memo list of new stations, and the station data the project options switch
// on (geo position, fare zone and ring). Every save and delete goes through the core's
// station register, which also carries a rename or delete into every other
// file of the project. Created once at start-up and kept for the whole run.

#include "core/files/file_stamp.h"
#include "core/model/list_text.h"
#include "core/model/station_data.h"
#include "gui/editors/entry_dialog.h"

#include <array>
#include <optional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QWidget;

namespace takton::gui {

class TfmEditStations : public TEntryDialog {
    Q_OBJECT
  public:
    explicit TfmEditStations(QWidget *parent = nullptr);

    void FormShow() override;
    void btNewStationClick();
    void btStationEditClick();
    // Selects the station at this place of the list and opens it for a
    // change, as a click on it and "Ändern" do.
    void ChangeStationAt(int row);
    void btStationDeleteClick();
    void btSaveClick();
    void btCancelClick();
    void leStationNameChange();
    void cbStationNewLineClick();
    // "Daten importieren…": station data from a CSV file.
    void btImportDataClick();

    // The memo list as last read from or written to "newstations.csv".
    TStringList NewStationList;

  protected:
    void CreateControls() override;

  private:
    QWidget *fmStationEdit = nullptr;
    QListWidget *lbStations = nullptr;
    QPushButton *btNewStation = nullptr;
    QPushButton *btStationEdit = nullptr;
    QPushButton *btStationDelete = nullptr;
    QPushButton *btImportData = nullptr;
    QGroupBox *gbStationEdit = nullptr;
    QLineEdit *leStationName = nullptr;
    QCheckBox *cbStationNewLine = nullptr;
    QCheckBox *cbStationNewLineClear = nullptr;
    // Shown as the project options say (PrjParams.StationFields).
    QLineEdit *leGeoLatitude = nullptr;
    QLineEdit *leGeoLongitude = nullptr;
    QLineEdit *leTarifZone = nullptr;
    QLineEdit *leTarifRing = nullptr;
    QPushButton *btSave = nullptr;
    QPushButton *btCancel = nullptr;
    QPushButton *btClose = nullptr;

    void CreateBrowsePanel();
    void CreateEntryGroup();
    void OpenEntry();
    void ReturnToBrowse();
    // Reloads the list and the memo list from the files.
    void LoadStations();
    // Shows the station data fields the project options switch on.
    void ShowDataFields();
    void FillDataFields(const TStationData &data);
    // The station data file as the entry's fields were read from it.
    TFileStamp dataStamp_;
    // The station's data with the shown fields applied; nothing after telling
    // the planner what is wrong.
    std::optional<TStationData> TypedData(const TStationData &had);

    // The captioned holders of latitude, longitude, zone and ring.
    std::array<QWidget *, 4> dataFields_{};
};

} // namespace takton::gui
