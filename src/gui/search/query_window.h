#pragma once

#include "gui/common/current_project.h"

// Verbindugns-Abfrage: a start and a destination station, each with an
// optional date and time, and the results of the queries in two trees, the
// start side left, the destination side right. A query lists under the start
// station the lines that serve it; a line named like a station gets that
// station's lines below it. Below the trees the connections found in the
// project's timetables: leaving at the start side's date and time, or, when
// only the destination side's "Zeit" is checked, arriving by its date and
// time. Created once at start-up and kept for the whole run: the trees keep
// every earlier query, the newest on top.

#include "core/search/connection_index.h"

#include <QDialog>
#include <optional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QTimeEdit;
class QTreeWidget;

namespace takton::gui {

class TfmQuery : public QDialog, public TProjectUser {
    Q_OBJECT
  public:
    explicit TfmQuery(QWidget *parent = nullptr);

    // Refills both station boxes from "stations.csv"; the shown texts stay.
    void FormShow();
    // At least one side keeps its "Zeit" box checked; a side's pickers are
    // shown exactly while its box is checked.
    void cbStartTimeClick();
    void cbEndTimeClick();
    void btStartQueryClick();

  protected:
    void showEvent(QShowEvent *event) override;

  private:
    QLabel *Label1;
    QComboBox *cbStartLine;
    QCheckBox *cbStartTime;
    QDateEdit *dtpStartDate;
    QTimeEdit *dtpStartTime;
    QLabel *Label2;
    QComboBox *cbEndLine;
    QCheckBox *cbEndTime;
    QDateEdit *dtpEndDate;
    QTimeEdit *dtpEndTime;
    QPushButton *btStartQuery;
    QTreeWidget *tvStart;
    QTreeWidget *tvEnd;
    QTreeWidget *tvConnections;

    QLabel *CreateLabel(const QString &caption, const char *name);
    void CreateSide(const char *side, QComboBox *&station, QCheckBox *&time, QDateEdit *&date,
                    QTimeEdit *&clock);
    QTreeWidget *CreateTree(const char *name);
    // The index of the day, built anew when a timetable changed since.
    const search::TConnectionIndex &IndexOf(const search::TServiceDay &day);
    void ListConnections();
    void FitConnections();

    std::optional<search::TConnectionIndex> index_;
    search::TServiceDay indexDay_;
    search::TSourceStamp indexStamp_;
    std::string indexDir_;
    int indexMinChange_ = 0;
};

} // namespace takton::gui
