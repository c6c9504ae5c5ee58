#include "gui/editors/edit_lines.h"

#include "core/files/file_io.h"
#include "core/model/line_data.h"
#include "core/model/master_data.h"
#include "core/model/prj_params.h"
#include "core/model/registers.h"
#include "core/model/timetable_file.h"
#include "core/util/text_order.h"
#include "gui/common/current_project.h"
#include "gui/common/dialogs.h"
#include "gui/common/error_handler.h"
#include "gui/common/message_box_sink.h"
#include "gui/editors/name_list_box.h"
#include "render/qt_text.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace takton::gui {

TfmEditLines::TfmEditLines(QWidget *parent) : TEntryDialog(parent) {
    setObjectName(QStringLiteral("fmEditLines"));
    setWindowTitle(QStringLiteral("Linien bearbeiten"));
    setModal(true);
}

void TfmEditLines::CreateControls() {
    CreateBrowsePanel();
    CreateEntryGroup();
    btClose = PlainButton(this, QStringLiteral("Fenser schließen"), "btClose");

    LayOutRegisterEditor(this, pnEditLines, gbLineEdit, btClose);

    SetEntryButtons(btSave, btCancel, btClose);
    connect(btNewLine, &QPushButton::clicked, this, Guarded([this] { btNewLineClick(); }));
    connect(btLineEdit, &QPushButton::clicked, this, Guarded([this] { btLineEditClick(); }));
    connect(btLineDelete, &QPushButton::clicked, this, Guarded([this] { btLineDeleteClick(); }));
    connect(btSave, &QPushButton::clicked, this, Guarded([this] { btSaveClick(); }));
    connect(btCancel, &QPushButton::clicked, this, Guarded([this] { btCancelClick(); }));
    connect(btClose, &QPushButton::clicked, this, Guarded([this] { btCloseClick(); }));
    connect(leLineName, &QLineEdit::textChanged, this, Guarded([this] { leLineNameChange(); }));
    ConnectListKeys(*lbLines, *btLineEdit, *btLineDelete);

    gbLineEdit->hide();
    EditOff();
}

void TfmEditLines::CreateBrowsePanel() {
    const TBrowsePanel browse =
        BuildBrowsePanel(this, "pnEditLines", "lbLines", "btNewLine", "btLineEdit", "btLineDelete");
    pnEditLines = browse.panel;
    lbLines = browse.list;
    btNewLine = browse.btNew;
    btLineEdit = browse.btEdit;
    btLineDelete = browse.btDelete;
}

void TfmEditLines::CreateEntryGroup() {
    gbLineEdit = new QGroupBox(QStringLiteral("Linie bearbeiten"), this);
    gbLineEdit->setObjectName(QStringLiteral("gbLineEdit"));
    auto *layout = new QVBoxLayout(gbLineEdit);
    layout->addWidget(
        LabeledEdit(gbLineEdit, QStringLiteral("Name der Linie"), "leLineName", leLineName));
    cbRouteType = new QComboBox(gbLineEdit);
    cbRouteType->setObjectName(QStringLiteral("cbRouteType"));
    connect(cbRouteType, &QComboBox::activated, this, [this] { EditOn(); });
    auto *typeRow = new QFormLayout();
    typeRow->addRow(QStringLiteral("Fahrzeugart:"), cbRouteType);
    layout->addLayout(typeRow);
    Label2 = new QLabel(QStringLiteral("Stationen:"), gbLineEdit);
    Label2->setObjectName(QStringLiteral("Label2"));
    lbLineStations = new QListWidget(gbLineEdit);
    lbLineStations->setObjectName(QStringLiteral("lbLineStations"));
    // For looking only: the route is assigned in its own window.
    lbLineStations->setEnabled(false);
    layout->addWidget(Label2);
    layout->addWidget(lbLineStations, 1);

    btSave = SaveButton(gbLineEdit);
    btCancel = PlainButton(gbLineEdit, QStringLiteral("Änderungen verwerfen"), "btCancel");
    layout->addWidget(btSave);
    layout->addWidget(btCancel);
}

void TfmEditLines::FormShow() {
    // The window cannot close during an entry; should it have been hidden
    // anyway, it comes back browsing.
    if (btClose->isHidden())
        ReturnToBrowse();
    LoadLines();
}

void TfmEditLines::LoadLines() {
    FillLineNameList(*lbLines, Project().ProjectDir);
}

void TfmEditLines::ShowLineStations() {
    // Without a route file, or without an entry for the line, the line has
    // no stations; the display never keeps another line's route.
    FillLineStations(*lbLineStations, Project().ProjectDir, *lbLines);
}

void TfmEditLines::OpenEntry() {
    lbLines->setEnabled(false);
    btNewLine->hide();
    btLineEdit->hide();
    btLineDelete->hide();
}

void TfmEditLines::ReturnToBrowse() {
    gbLineEdit->hide();
    lbLines->setEnabled(true);
    btNewLine->show();
    btLineEdit->show();
    btLineDelete->show();
    btClose->show();
}

void TfmEditLines::btNewLineClick() {
    SelectNoName(*lbLines);
    OpenEntry();
    leLineName->clear();
    // A new line has no stations yet.
    lbLineStations->clear();
    ShowRouteType(std::nullopt);
    gbLineEdit->show();
    leLineName->setFocus();
    EditOff();
    btClose->hide();
}

void TfmEditLines::ChangeLineAt(int row) {
    EnsureControls();
    lbLines->setCurrentRow(row);
    btLineEditClick();
}

void TfmEditLines::btLineEditClick() {
    const std::optional<std::string> line = SelectedName(*lbLines);
    if (!line)
        return;
    OpenEntry();
    leLineName->setText(FromCp1252(*line));
    ShowLineStations();
    ShowRouteType(NoProjectDir(Project())
                      ? std::nullopt
                      : FindLineRouteType(LoadLineRouteTypes(Project().ProjectDir), *line));
    gbLineEdit->show();
    leLineName->setFocus();
    EditOff();
    btClose->hide();
}

void TfmEditLines::leLineNameChange() {
    EditOn();
}

void TfmEditLines::btSaveClick() {
    if (NoProjectDir(Project()))
        return;
    const std::optional<std::string> name = TypedName(leLineName->text());
    if (!name)
        return;
    // A selected line is the one being changed; without one the entry is new.
    const std::optional<std::string> former = SelectedName(*lbLines);
    TMessageBoxSink messages;
    const TRefusal refusal = former ? RenameLine(Project().ProjectDir, *former, *name, messages)
                                    : AddLine(Project().ProjectDir, *name);
    if (refusal) {
        Dialogs().ShowMessage(FromCp1252(*refusal));
        return;
    }
    StoreRouteType(former, *name);
    LoadLines();
    SelectName(*lbLines, *name);
    leLineName->clear();
    ReturnToBrowse();
    btNewLine->setFocus();
}

void TfmEditLines::ShowRouteType(std::optional<int> own) {
    cbRouteType->clear();
    cbRouteType->addItem(QStringLiteral("wie im Projekt (") +
                         FromCp1252(RouteTypeName(Project().PrjParams.Publishing.RouteType)) +
                         QStringLiteral(")"));
    for (const TRouteTypeName &type : RouteTypeNames())
        cbRouteType->addItem(FromCp1252(type.Name), type.Code);
    // A type from the file that the list does not name stays choosable.
    if (own && cbRouteType->findData(*own) < 0)
        cbRouteType->addItem(FromCp1252(RouteTypeName(*own)), *own);
    cbRouteType->setCurrentIndex(own ? cbRouteType->findData(*own) : 0);
}

std::optional<int> TfmEditLines::ChosenRouteType() const {
    const QVariant code = cbRouteType->currentData();
    if (!code.isValid())
        return std::nullopt;
    return code.toInt();
}

void TfmEditLines::StoreRouteType(const std::optional<std::string> &former,
                                  const std::string &name) {
    if (former && *former != name)
        StoreLineRouteType(Project().ProjectDir, *former, std::nullopt);
    StoreLineRouteType(Project().ProjectDir, name, ChosenRouteType());
}

void TfmEditLines::btCancelClick() {
    ReturnToBrowse();
}

QString TfmEditLines::WhatGoesWithLine(const std::string &line) const {
    QStringList lost;
    const TStringList route = LoadLineStations(Project().ProjectDir, line);
    if (!route.empty())
        lost << (route.size() == 1
                     ? QStringLiteral("ihre Route mit 1 Station")
                     : QStringLiteral("ihre Route mit %1 Stationen").arg(route.size()));
    if (FileExists(TimetablePath(Project().ProjectDir, line)))
        lost << QStringLiteral("ihre Fahrpläne (") + FromCp1252(TimetableFileName(line)) +
                    QStringLiteral(")");
    return lost.join(QStringLiteral(" und "));
}

void TfmEditLines::btLineDeleteClick() {
    const std::optional<std::string> line = SelectedName(*lbLines);
    if (!line)
        return;
    if (NoProjectDir(Project()))
        return;
    // "Line", as the question has always read.
    QString question = QStringLiteral("Möchten Sie die Line ") + FromCp1252(*line) +
                       QStringLiteral(" wirklich löschen?");
    const QString lost = WhatGoesWithLine(*line);
    if (!lost.isEmpty())
        question += QStringLiteral("\nMit ihr gehen verloren: ") + lost;
    if (Dialogs().Confirm(QStringLiteral("Bestätigung"), question) != Answer::Yes)
        return;
    TMessageBoxSink messages;
    if (const TRefusal refusal = DeleteLine(Project().ProjectDir, *line, messages))
        Dialogs().ShowMessage(FromCp1252(*refusal));
    else
        StoreLineRouteType(Project().ProjectDir, *line, std::nullopt);
    LoadLines();
}

} // namespace takton::gui
