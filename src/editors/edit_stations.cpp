#include "editors/edit_stations.h"

#include "editors/name_list_box.h"
#include "gui/current_project.h"
#include "gui/dialogs.h"
#include "gui/error_handler.h"
#include "gui/qt_text.h"
#include "model/db_func.h"
#include "model/registers.h"
#include "util/text_order.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace takton::gui {

TfmEditStations::TfmEditStations(QWidget *parent) : TEntryDialog(parent) {
    setObjectName(QStringLiteral("fmEditStations"));
    setWindowTitle(QStringLiteral("Stationen bearbeiten"));
    setModal(true);
}

void TfmEditStations::CreateControls() {
    CreateBrowsePanel();
    CreateEntryGroup();
    btClose = PlainButton(this, QStringLiteral("Fenser schließen"), "btClose");

    LayOutRegisterEditor(this, fmStationEdit, gbStationEdit, btClose);

    SetEntryButtons(btSave, btCancel, btClose);
    connect(btNewStation, &QPushButton::clicked, this, Guarded([this] { btNewStationClick(); }));
    connect(btStationEdit, &QPushButton::clicked, this, Guarded([this] { btStationEditClick(); }));
    connect(btStationDelete, &QPushButton::clicked, this,
            Guarded([this] { btStationDeleteClick(); }));
    connect(btSave, &QPushButton::clicked, this, Guarded([this] { btSaveClick(); }));
    connect(btCancel, &QPushButton::clicked, this, Guarded([this] { btCancelClick(); }));
    connect(btClose, &QPushButton::clicked, this, Guarded([this] { btCloseClick(); }));
    connect(leStationName, &QLineEdit::textChanged, this,
            Guarded([this] { leStationNameChange(); }));
    connect(cbStationNewLine, &QCheckBox::clicked, this,
            Guarded([this] { cbStationNewLineClick(); }));
    ConnectListKeys(
        *lbStations, [this] { btStationEditClick(); }, [this] { btStationDeleteClick(); });

    gbStationEdit->hide();
    EditOff();
}

void TfmEditStations::CreateBrowsePanel() {
    const TBrowsePanel browse = BuildBrowsePanel(
        this, "fmStationEdit", "lbStations", "btNewStation", "btStationEdit", "btStationDelete");
    fmStationEdit = browse.panel;
    lbStations = browse.list;
    btNewStation = browse.btNew;
    btStationEdit = browse.btEdit;
    btStationDelete = browse.btDelete;
}

void TfmEditStations::CreateEntryGroup() {
    gbStationEdit = new QGroupBox(QStringLiteral("Station editieren"), this);
    gbStationEdit->setObjectName(QStringLiteral("gbStationEdit"));
    auto *layout = new QVBoxLayout(gbStationEdit);
    layout->addWidget(LabeledEdit(gbStationEdit, QStringLiteral("Name der Station"),
                                  "leStationName", leStationName));
    const struct {
        const char *caption;
        const char *name;
        QLineEdit **edit;
    } hiddenFields[] = {{"Geo-Position Breite", "leGeoLatitude", &leGeoLatitude},
                        {"Geo-Position Länge", "leGeoLongitude", &leGeoLongitude},
                        {"Tarifzone", "leTarifZone", &leTarifZone},
                        {"Tarifring", "leTarifRing", &leTarifRing}};
    for (const auto &field : hiddenFields) {
        QWidget *holder =
            LabeledEdit(gbStationEdit, QString::fromUtf8(field.caption), field.name, *field.edit);
        layout->addWidget(holder);
        holder->hide();
    }
    cbStationNewLine = new QCheckBox(QStringLiteral("für neue Linie merken"), gbStationEdit);
    cbStationNewLine->setObjectName(QStringLiteral("cbStationNewLine"));
    cbStationNewLineClear = new QCheckBox(QStringLiteral("Neue Merkliste beginnen"), gbStationEdit);
    cbStationNewLineClear->setObjectName(QStringLiteral("cbStationNewLineClear"));
    layout->addWidget(cbStationNewLine);
    layout->addWidget(cbStationNewLineClear);
    layout->addStretch(1);

    btSave = SaveButton(gbStationEdit);
    btCancel = PlainButton(gbStationEdit, QStringLiteral("Änderungen verwerfen"), "btCancel");
    layout->addWidget(btSave);
    layout->addWidget(btCancel);
}

void TfmEditStations::FormShow() {
    // The window cannot close during an entry; should it have been hidden
    // anyway, it comes back browsing.
    if (btClose->isHidden())
        ReturnToBrowse();
    LoadStations();
    cbStationNewLineClear->hide();
}

void TfmEditStations::LoadStations() {
    NewStationList.clear();
    FillSortedNameList(*lbStations, kStationsFile);
    if (!ProjectDir.empty())
        NewStationList = LoadNameList(ProjectDir, kNewStationsFile);
}

void TfmEditStations::OpenEntry() {
    lbStations->setEnabled(false);
    btNewStation->hide();
    btStationEdit->hide();
    btStationDelete->hide();
}

void TfmEditStations::ReturnToBrowse() {
    gbStationEdit->hide();
    lbStations->setEnabled(true);
    btNewStation->show();
    btStationEdit->show();
    btStationDelete->show();
    btClose->show();
}

void TfmEditStations::btNewStationClick() {
    cbStationNewLine->show();
    cbStationNewLineClear->setChecked(false);
    SelectNoName(*lbStations);
    OpenEntry();
    leStationName->clear();
    gbStationEdit->show();
    leStationName->setFocus();
    EditOff();
    btClose->hide();
}

void TfmEditStations::btStationEditClick() {
    const std::optional<std::string> station = SelectedName(*lbStations);
    if (!station)
        return;
    cbStationNewLine->hide();
    cbStationNewLineClear->hide();
    OpenEntry();
    leStationName->setText(FromCp1252(*station));
    gbStationEdit->show();
    leStationName->setFocus();
    EditOff();
    btClose->hide();
}

void TfmEditStations::leStationNameChange() {
    EditOn();
}

void TfmEditStations::cbStationNewLineClick() {
    cbStationNewLineClear->setVisible(cbStationNewLine->isChecked());
}

void TfmEditStations::btSaveClick() {
    if (NoProjectDir())
        return;
    const std::optional<std::string> name = TypedName(leStationName->text());
    if (!name)
        return;
    // A selected station is the one being changed; without one the entry is new.
    const std::optional<std::string> former = SelectedName(*lbStations);
    const TRefusal refusal = former
                                 ? RenameStation(ProjectDir, *former, *name)
                                 : AddStation(ProjectDir, *name,
                                              TNewStationMemo{cbStationNewLine->isChecked(),
                                                              cbStationNewLineClear->isChecked()});
    if (refusal) {
        Dialogs().ShowMessage(FromCp1252(*refusal));
        return;
    }
    LoadStations();
    SelectName(*lbStations, *name);
    ReturnToBrowse();
    btNewStation->setFocus();
}

void TfmEditStations::btCancelClick() {
    ReturnToBrowse();
}

void TfmEditStations::btStationDeleteClick() {
    const std::optional<std::string> station = SelectedName(*lbStations);
    if (!station)
        return;
    if (NoProjectDir())
        return;
    QString question = QStringLiteral("Möchten Sie die Station ") + FromCp1252(*station) +
                       QStringLiteral(" wirklich löschen?");
    // What goes with it: the station leaves the routes and timetables of its lines.
    const TStringList lines = LoadStationLines(ProjectDir, *station);
    if (!lines.empty())
        question += QStringLiteral("\nSie wird aus Route und Fahrplänen dieser Linien entfernt: ") +
                    LineNamesText(lines);
    if (Dialogs().Confirm(QStringLiteral("Bestätigung"), question) != Answer::Yes)
        return;
    if (const TRefusal refusal = DeleteStation(ProjectDir, *station))
        Dialogs().ShowMessage(FromCp1252(*refusal));
    LoadStations();
}

} // namespace takton::gui
