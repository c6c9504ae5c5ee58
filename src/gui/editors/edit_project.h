#pragma once

// The project options window: the data kept for stations, day groups, the
// longest driving time between two stations and what a published feed says of
// the project ("Veröffentlichung"). A new day group goes straight into PrjParams;
// "Änderungen speichern" writes the project file. Every project load refreshes the window, shown or
// not.

#include "core/model/prj_load.h"
#include "core/model/prj_params.h"
#include "gui/common/lazy_dialog.h"

#include <QDialog>
#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace takton::gui {
class TOperatingDaysPage;
class TFootnotesPage;
} // namespace takton::gui

namespace takton::gui {

class TfmEditProject : public TLazyDialog, public IProjectLoadObserver {
    Q_OBJECT
  public:
    explicit TfmEditProject(QWidget *parent = nullptr);
    ~TfmEditProject() override;

    // Refills the right column from PrjParams.DayGroups.
    void SetDayGroups();
    // The editing mode shows the save button; it has no other effect.
    void EditOn();
    void EditOff();

    void btSaveClick();
    void btCancelClick();
    void btCloseClick();
    void btAddDayGroupClick();
    void cbDayGroupsChange();
    // Rename the group the box names to "Neuer Name:", or delete it; both are
    // carried into every timetable file at once.
    void btRenameDayGroupClick();
    void btDeleteDayGroupClick();

    // IProjectLoadObserver
    void DayGroupsLoaded() override;
    void MaxDriveMinutesLoaded(const std::string &text) override;
    void StationFieldsLoaded() override;
    void PublishingLoaded() override;

    // Brings the "Veröffentlichung" page to the front (the export sends the
    // planner there when data is missing).
    void ShowPublishingPage();
    // Brings the "Fahrplan" page to the front.
    void ShowTimetablePage();

  protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void CreateControls() override;

  private:
    QTabWidget *pcRubrik = nullptr;
    QWidget *tsStationOptions = nullptr;
    QWidget *tsLineOptions = nullptr;
    QWidget *tsDays = nullptr;
    QWidget *tsTimeTable = nullptr;
    QWidget *tsPublishing = nullptr;

    QGroupBox *gbStationFields = nullptr;
    QCheckBox *cbPrjGeoPosition = nullptr;
    QCheckBox *cbPrjTarifZone = nullptr;
    QCheckBox *cbPrjTarifRing = nullptr;

    QGroupBox *GroupBox1 = nullptr;
    QLineEdit *leNewDaysName = nullptr;
    QLineEdit *leNewDaysText = nullptr;
    QListWidget *lbAllDays = nullptr;
    QPushButton *btAddDayGroup = nullptr;
    QLabel *StaticText1 = nullptr;
    QComboBox *cbDayGroups = nullptr;
    QLineEdit *leDayGroupText = nullptr;
    QListWidget *lbDayGroups = nullptr;
    QLineEdit *leRenameDayGroup = nullptr;
    QPushButton *btRenameDayGroup = nullptr;
    QPushButton *btDeleteDayGroup = nullptr;

    QGroupBox *GroupBox2 = nullptr;
    QLineEdit *leMaxDriveMinutes = nullptr;
    QLineEdit *leMaxOverlapMinutes = nullptr;
    QSpinBox *seMinChangeMinutes = nullptr; // least change time of the connection search

    QLineEdit *leAgencyName = nullptr;
    QLineEdit *leAgencyUrl = nullptr;
    QLineEdit *leTimezone = nullptr;
    QLineEdit *leLanguage = nullptr;
    // A date is set only while its box is checked.
    QCheckBox *cbFirstDate = nullptr;
    QDateEdit *deFirstDate = nullptr;
    QCheckBox *cbLastDate = nullptr;
    QDateEdit *deLastDate = nullptr;
    QComboBox *cbRouteType = nullptr;

    // "Betriebstage" and "Fußnoten"
    TOperatingDaysPage *tsOperatingDays = nullptr;
    TFootnotesPage *tsFootnotes = nullptr;

    QPushButton *btSave = nullptr;
    QPushButton *btCancel = nullptr;
    QPushButton *btClose = nullptr;

    void FormShow();
    void CreateStationPage();
    // The check boxes of "Daten für Stationen" as PrjParams holds them.
    void ShowStationFields();
    void ShowMinChangeMinutes();
    void CreateDaysPage();
    void CreateTimeTablePage();
    void CreatePublishingPage();
    QDateEdit *CreateDateField(QCheckBox *&box, const QString &caption, const char *name);
    // The fields of "Veröffentlichung" as PrjParams holds them.
    void ShowPublishing();
    // The typed publishing options, or nothing after telling the planner
    // what is wrong and showing the field.
    std::optional<TPublishing> TypedPublishing();
    void CreateButtons();
    void CreateCalendarPages();
    // The calendar and footnote pages as the project holds them.
    void ShowCalendar();
    // The project file and the footnotes, written as one.
    void SaveCalendarAndProject();
    // The folder whose footnotes the page shows: only those are written back.
    std::string footnotesOf_;
    // A minute field takes digits and backspace only; both start editing.
    bool MinuteFieldKeyPress(QKeyEvent &event);
    void ShowDayGroup(int index);
    void ShowTypedDayGroup(const QString &typed);
    // The stored name of the group the box's text names, or nothing after
    // telling the planner to choose one.
    std::optional<std::string> NamedDayGroup() const;
    void ShowDayGroupsSelecting(const std::string &name);
};

// The German weekday names in index order, Monday first.
QStringList WeekDayNames();

} // namespace takton::gui
