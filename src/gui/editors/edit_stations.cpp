#include "gui/editors/edit_stations.h"

#include "core/files/file_io.h"
#include "core/files/write_batch.h"
#include "core/model/master_data.h"
#include "core/model/prj_params.h"
#include "core/model/registers.h"
#include "core/model/station_import.h"
#include "core/util/error.h"
#include "core/util/text_order.h"
#include "gui/common/current_project.h"
#include "gui/common/dialogs.h"
#include "gui/common/error_handler.h"
#include "gui/common/project_guard.h"
#include "gui/editors/name_list_box.h"
#include "render/qt_text.h"

#include <QBoxLayout>
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
    connect(btImportData, &QPushButton::clicked, this, Guarded([this] { btImportDataClick(); }));
    ConnectListKeys(*lbStations, *btStationEdit, *btStationDelete);

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
    btImportData = PlainButton(fmStationEdit, QStringLiteral("Daten importieren…"), "btImportData");
    if (auto *row = qobject_cast<QBoxLayout *>(fmStationEdit->layout()))
        if (auto *buttons = qobject_cast<QBoxLayout *>(row->itemAt(1)->layout()))
            buttons->insertWidget(3, btImportData);
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
    } dataFields[] = {{"Geo-Position Breite", "leGeoLatitude", &leGeoLatitude},
                      {"Geo-Position Länge", "leGeoLongitude", &leGeoLongitude},
                      {"Tarifzone", "leTarifZone", &leTarifZone},
                      {"Tarifring", "leTarifRing", &leTarifRing}};
    std::size_t at = 0;
    for (const auto &field : dataFields) {
        QWidget *holder =
            LabeledEdit(gbStationEdit, QString::fromUtf8(field.caption), field.name, *field.edit);
        layout->addWidget(holder);
        dataFields_[at++] = holder;
        connect(*field.edit, &QLineEdit::textEdited, this, [this] { EditOn(); });
    }
    leGeoLatitude->setPlaceholderText(QStringLiteral("z. B. 52,5200"));
    leGeoLongitude->setPlaceholderText(QStringLiteral("z. B. 13,4050"));
    leTarifZone->setMaxLength(static_cast<int>(kMaxStationDataText));
    leTarifRing->setMaxLength(static_cast<int>(kMaxStationDataText));
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
    ShowDataFields();
}

void TfmEditStations::ShowDataFields() {
    const TStationFields &fields = Project().PrjParams.StationFields;
    dataFields_[0]->setVisible(fields.GeoPosition);
    dataFields_[1]->setVisible(fields.GeoPosition);
    dataFields_[2]->setVisible(fields.TarifZone);
    dataFields_[3]->setVisible(fields.TarifRing);
}

void TfmEditStations::FillDataFields(const TStationData &data) {
    const auto coordinate = [&](double degrees) {
        // Shown as German planners type it.
        return data.Position ? FromCp1252(FormatCoordinate(degrees)).replace(u'.', u',')
                             : QString();
    };
    leGeoLatitude->setText(coordinate(data.Position ? data.Position->Lat : 0));
    leGeoLongitude->setText(coordinate(data.Position ? data.Position->Lon : 0));
    leTarifZone->setText(FromCp1252(data.Zone));
    leTarifRing->setText(FromCp1252(data.Ring));
}

std::optional<TStationData> TfmEditStations::TypedData(const TStationData &had) {
    const TStationFields &fields = Project().PrjParams.StationFields;
    const TStationDataInput input{fields.GeoPosition,
                                  ToCp1252Lossy(leGeoLatitude->text()),
                                  ToCp1252Lossy(leGeoLongitude->text()),
                                  fields.TarifZone,
                                  ToCp1252Lossy(leTarifZone->text()),
                                  fields.TarifRing,
                                  ToCp1252Lossy(leTarifRing->text())};
    TStationData data = had;
    if (const auto refusal = ApplyStationDataInput(input, data)) {
        Dialogs().ShowMessage(FromCp1252(*refusal));
        return std::nullopt;
    }
    return data;
}

void TfmEditStations::LoadStations() {
    NewStationList.clear();
    FillSortedNameList(*lbStations, Project().ProjectDir, kStationsFile);
    if (!Project().ProjectDir.empty())
        NewStationList = LoadNameList(Project().ProjectDir, kNewStationsFile);
}

void TfmEditStations::OpenEntry() {
    lbStations->setEnabled(false);
    btNewStation->hide();
    btStationEdit->hide();
    btStationDelete->hide();
    btImportData->hide();
}

void TfmEditStations::ReturnToBrowse() {
    gbStationEdit->hide();
    lbStations->setEnabled(true);
    btNewStation->show();
    btStationEdit->show();
    btStationDelete->show();
    btImportData->show();
    btClose->show();
}

void TfmEditStations::btNewStationClick() {
    cbStationNewLine->show();
    cbStationNewLineClear->setChecked(false);
    SelectNoName(*lbStations);
    OpenEntry();
    leStationName->clear();
    FillDataFields({});
    ShowDataFields();
    gbStationEdit->show();
    leStationName->setFocus();
    EditOff();
    btClose->hide();
}

void TfmEditStations::ChangeStationAt(int row) {
    EnsureControls();
    lbStations->setCurrentRow(row);
    btStationEditClick();
}

void TfmEditStations::btStationEditClick() {
    const std::optional<std::string> station = SelectedName(*lbStations);
    if (!station)
        return;
    cbStationNewLine->hide();
    cbStationNewLineClear->hide();
    OpenEntry();
    leStationName->setText(FromCp1252(*station));
    dataStamp_ = StampFile(ProjectPath(Project().ProjectDir, kStationDataFile));
    FillDataFields(Project().ProjectDir.empty()
                       ? TStationData{}
                       : LoadOneStationData(Project().ProjectDir, *station));
    ShowDataFields();
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
    if (NoProjectDir(Project()))
        return;
    const std::optional<std::string> name = TypedName(leStationName->text());
    if (!name)
        return;
    // A selected station is the one being changed; without one the entry is new.
    const std::optional<std::string> former = SelectedName(*lbStations);
    // Station data changed by someone else meanwhile: overwrite, keep the
    // entry as typed, or reload.
    const TOverwrite overwrite =
        former ? MayOverwrite(ProjectPath(Project().ProjectDir, kStationDataFile), dataStamp_)
               : TOverwrite::Write;
    if (overwrite == TOverwrite::Keep)
        return;
    if (overwrite == TOverwrite::Reload) {
        dataStamp_ = StampFile(ProjectPath(Project().ProjectDir, kStationDataFile));
        FillDataFields(LoadOneStationData(Project().ProjectDir, *former));
        return;
    }
    // The data is checked before anything is written, as the name is.
    const std::optional<TStationData> data =
        TypedData(LoadOneStationData(Project().ProjectDir, former ? *former : *name));
    if (!data)
        return;
    // The register, its cascade and the station data: all or nothing.
    TWriteBatch batch(Project().ProjectDir);
    const TRefusal refusal = former
                                 ? RenameStation(Project().ProjectDir, *former, *name)
                                 : AddStation(Project().ProjectDir, *name,
                                              TNewStationMemo{cbStationNewLine->isChecked(),
                                                              cbStationNewLineClear->isChecked()});
    if (refusal) {
        Dialogs().ShowMessage(FromCp1252(*refusal));
        return;
    }
    StoreStationData(Project().ProjectDir, *name, *data);
    batch.Commit();
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
    if (NoProjectDir(Project()))
        return;
    QString question = QStringLiteral("Möchten Sie die Station ") + FromCp1252(*station) +
                       QStringLiteral(" wirklich löschen?");
    // What goes with it: the station leaves the routes and timetables of its lines.
    const TStringList lines = LoadStationLines(Project().ProjectDir, *station);
    if (!lines.empty())
        question += QStringLiteral("\nSie wird aus Route und Fahrplänen dieser Linien entfernt: ") +
                    LineNamesText(lines);
    if (Dialogs().Confirm(QStringLiteral("Bestätigung"), question) != Answer::Yes)
        return;
    if (const TRefusal refusal = DeleteStation(Project().ProjectDir, *station))
        Dialogs().ShowMessage(FromCp1252(*refusal));
    LoadStations();
}

void TfmEditStations::btImportDataClick() {
    if (NoProjectDir(Project()))
        return;
    const auto chosen = Dialogs().OpenFileName(
        {QStringLiteral("CSV-Dateien (*.csv *.txt)"), QStringLiteral("csv"), QString()});
    if (!chosen)
        return;
    const auto bytes = ReadWholeFile(ToNativePath(*chosen));
    if (!bytes)
        throw TaktonError(
            ToCp1252Lossy(QStringLiteral("Die Datei %1 kann nicht gelesen werden.").arg(*chosen)));
    const TStationImportResult result = ImportStationData(Project().ProjectDir, *bytes);
    QString report = QStringLiteral("Daten übernommen für ") +
                     Counted(static_cast<long long>(result.Stored.size()),
                             QStringLiteral("Station"), QStringLiteral("Stationen")) +
                     QStringLiteral(".");
    // A long list would not fit a message box; the first names show the kind.
    const auto list = [&report](const QString &caption, const std::vector<std::string> &names) {
        if (names.empty())
            return;
        constexpr std::size_t shown = 15;
        report += QStringLiteral("\n\n") + caption.arg(names.size());
        for (std::size_t i = 0; i < names.size() && i < shown; ++i)
            report += QStringLiteral("\n") + FromCp1252(names[i]);
        if (names.size() > shown)
            report += QStringLiteral("\n…");
    };
    list(QStringLiteral("Nicht gefunden (%1):"), result.NotFound);
    list(QStringLiteral("Nicht übernommen (%1):"), result.Refused);
    Dialogs().ShowMessage(report);
}

} // namespace takton::gui
