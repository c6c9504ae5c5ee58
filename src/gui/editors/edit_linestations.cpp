#include "gui/editors/edit_linestations.h"

#include "core/model/master_data.h"
#include "core/util/text_order.h"
#include "gui/common/current_project.h"
#include "gui/common/error_handler.h"
#include "gui/common/project_guard.h"
#include "gui/editors/name_list_box.h"
#include "render/qt_text.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

namespace takton::gui {

TfmEditLineStations::TfmEditLineStations(QWidget *parent) : TEntryDialog(parent) {
    setObjectName(QStringLiteral("fmEditLineStations"));
    setWindowTitle(QStringLiteral("Stationen für Linie zuweisen"));
    setModal(true);
}

void TfmEditLineStations::CreateControls() {
    Label1 = new QLabel(QStringLiteral("Linien:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    lbLines = new QListWidget(this);
    lbLines->setObjectName(QStringLiteral("lbLines"));
    lbLines->setSelectionMode(QAbstractItemView::SingleSelection);
    lbLines->setMaximumWidth(200);
    Label1->setBuddy(lbLines);
    btStationEdit = PlainButton(this, QStringLiteral(">>"), "btStationEdit");
    btStationEdit->setFixedSize(btStationEdit->sizeHint());

    gbLineAssign = new QGroupBox(QStringLiteral("Linien zuweisen"), this);
    gbLineAssign->setObjectName(QStringLiteral("gbLineAssign"));
    CreateStationChoice();
    btStationToLine = PlainButton(gbLineAssign, QStringLiteral(">>"), "btStationToLine");
    // Between two stretching lists it keeps a button's size.
    btStationToLine->setFixedSize(btStationToLine->sizeHint());
    CreateLineStations();
    btSave = SaveButton(gbLineAssign);
    btCancel = PlainButton(gbLineAssign, QStringLiteral("Änderungen verwerfen"), "btCancel");

    auto *assignLayout = new QVBoxLayout(gbLineAssign);
    auto *lists = new QHBoxLayout();
    lists->addWidget(gbStations, 1);
    lists->addWidget(btStationToLine, 0, Qt::AlignVCenter);
    lists->addWidget(gbLineStations, 1);
    assignLayout->addLayout(lists, 1);
    auto *saveRow = new QHBoxLayout();
    saveRow->addWidget(btSave);
    saveRow->addWidget(btCancel);
    saveRow->addStretch(1);
    assignLayout->addLayout(saveRow);

    btClose = PlainButton(this, QStringLiteral("Fenser schließen"), "btClose");

    auto *layout = new QVBoxLayout(this);
    auto *columns = new QHBoxLayout();
    auto *linesColumn = new QVBoxLayout();
    linesColumn->addWidget(Label1);
    linesColumn->addWidget(lbLines, 1);
    columns->addLayout(linesColumn);
    columns->addWidget(btStationEdit, 0, Qt::AlignVCenter);
    columns->addWidget(gbLineAssign, 1);
    layout->addLayout(columns, 1);
    auto *closeRow = new QHBoxLayout();
    closeRow->addStretch(1);
    closeRow->addWidget(btClose);
    layout->addLayout(closeRow);
    resize(900, 480);

    // Choosing, assigning and saving show and hide these; the window keeps
    // their room, so that the lists do not jump under the mouse.
    for (QWidget *shownOrHidden :
         {static_cast<QWidget *>(gbLineAssign), static_cast<QWidget *>(btStationEdit),
          static_cast<QWidget *>(btSave), static_cast<QWidget *>(btClose)}) {
        QSizePolicy policy = shownOrHidden->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        shownOrHidden->setSizePolicy(policy);
    }
    SetEntryButtons(btSave, btCancel, btClose);
    connect(btStationEdit, &QPushButton::clicked, this, Guarded([this] { btStationEditClick(); }));
    connect(rbAllStations, &QRadioButton::clicked, this, Guarded([this] { rbAllStationsClick(); }));
    connect(rbNewStations, &QRadioButton::clicked, this, Guarded([this] { rbNewStationsClick(); }));
    connect(btSelectAllStations, &QPushButton::clicked, this,
            Guarded([this] { btSelectAllStationsClick(); }));
    connect(btStationToLine, &QPushButton::clicked, this,
            Guarded([this] { btStationToLineClick(); }));
    connect(btStationUp, &QPushButton::clicked, this, Guarded([this] { btStationUpClick(); }));
    connect(btStationDown, &QPushButton::clicked, this, Guarded([this] { btStationDownClick(); }));
    connect(btDeleteStation, &QPushButton::clicked, this,
            Guarded([this] { btDeleteStationClick(); }));
    connect(btSave, &QPushButton::clicked, this, Guarded([this] { btSaveClick(); }));
    connect(btCancel, &QPushButton::clicked, this, Guarded([this] { btCancelClick(); }));
    connect(btClose, &QPushButton::clicked, this, Guarded([this] { btCloseClick(); }));
    // A double-click takes that one station into the line.
    connect(lbStations, &QListWidget::itemDoubleClicked, this,
            [this] { ClickIfOffered(*btStationToLine); });
    // The route shown after saving belongs to the line saved; choosing
    // another line puts it away.
    connect(lbLines, &QListWidget::itemSelectionChanged, this, [this] {
        if (lbLines->isEnabled())
            gbLineAssign->hide();
    });

    gbLineAssign->hide();
}

void TfmEditLineStations::keyPressEvent(QKeyEvent *event) {
    // Enter saves whenever there is something to save, wherever the focus
    // stands (after a click on an arrow button it stands there).
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
        btSave->isVisible()) {
        btSave->click();
        event->accept();
        return;
    }
    TEntryDialog::keyPressEvent(event);
}

void TfmEditLineStations::CreateStationChoice() {
    gbStations = new QGroupBox(QStringLiteral("vorhandene Stationen"), gbLineAssign);
    gbStations->setObjectName(QStringLiteral("gbStations"));
    rbAllStations = new QRadioButton(QStringLiteral("alle Stationen"), gbStations);
    rbAllStations->setObjectName(QStringLiteral("rbAllStations"));
    rbAllStations->setChecked(true);
    rbNewStations = new QRadioButton(QStringLiteral("neue Stationen"), gbStations);
    rbNewStations->setObjectName(QStringLiteral("rbNewStations"));
    lbStations = new QListWidget(gbStations);
    lbStations->setObjectName(QStringLiteral("lbStations"));
    lbStations->setSelectionMode(QAbstractItemView::ExtendedSelection);
    btSelectAllStations =
        PlainButton(gbStations, QStringLiteral("alle markieren"), "btSelectAllStations");

    auto *layout = new QVBoxLayout(gbStations);
    auto *choice = new QHBoxLayout();
    choice->addWidget(rbAllStations);
    choice->addWidget(rbNewStations);
    choice->addStretch(1);
    layout->addLayout(choice);
    layout->addWidget(lbStations, 1);
    layout->addWidget(btSelectAllStations, 0, Qt::AlignLeft);
}

void TfmEditLineStations::CreateLineStations() {
    gbLineStations = new QGroupBox(QStringLiteral("zugewiesene Stationen"), gbLineAssign);
    gbLineStations->setObjectName(QStringLiteral("gbLineStations"));
    lLineName = new QLabel(QStringLiteral("Linie "), gbLineStations);
    lLineName->setObjectName(QStringLiteral("lLineName"));
    lLineName->setStyleSheet(
        QStringLiteral("QLabel { color: #8b0000; background-color: #fffbf0; font-weight: bold; "
                       "font-size: 14pt; padding: 2px 4px; }"));
    // A long line name is cut rather than widening its column.
    lLineName->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lbLineStations = new QListWidget(gbLineStations);
    lbLineStations->setObjectName(QStringLiteral("lbLineStations"));
    lbLineStations->setSelectionMode(QAbstractItemView::SingleSelection);
    lbLineStations->setMinimumWidth(200);
    btStationUp = PlainButton(gbLineStations, QString(), "btStationUp");
    btStationUp->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    btStationUp->setToolTip(QStringLiteral("nach oben"));
    btStationDown = PlainButton(gbLineStations, QString(), "btStationDown");
    btStationDown->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    btStationDown->setToolTip(QStringLiteral("nach unten"));
    btDeleteStation = PlainButton(gbLineStations, QStringLiteral("löschen"), "btDeleteStation");

    auto *layout = new QVBoxLayout(gbLineStations);
    layout->addWidget(lLineName);
    auto *row = new QHBoxLayout();
    row->addWidget(lbLineStations, 1);
    auto *buttons = new QVBoxLayout();
    buttons->addWidget(btStationUp);
    buttons->addWidget(btStationDown);
    buttons->addWidget(btDeleteStation);
    buttons->addStretch(1);
    row->addLayout(buttons);
    layout->addLayout(row, 1);
}

void TfmEditLineStations::FormShow() {
    // The window cannot close while a line is assigned; should it have been
    // hidden anyway, it comes back choosing a line.
    if (btClose->isHidden())
        ReturnToChoosing();
    gbLineAssign->hide();
    FillLineNameList(*lbLines, Project().ProjectDir);
    SelectNoName(*lbLines);
    ShowStationChoice();
}

void TfmEditLineStations::ShowStationChoice() {
    lbStations->clear();
    if (Project().ProjectDir.empty())
        return;
    FillNameList(*lbStations,
                 LoadNameList(Project().ProjectDir,
                              rbAllStations->isChecked() ? kStationsFile : kNewStationsFile));
}

void TfmEditLineStations::ShowLineStations() {
    FillLineStations(*lbLineStations, Project().ProjectDir, *lbLines);
    SelectNoName(*lbLineStations);
}

void TfmEditLineStations::AssignLineAt(int row) {
    EnsureControls();
    lbLines->setCurrentRow(row);
    btStationEditClick();
}

void TfmEditLineStations::btStationEditClick() {
    const std::optional<std::string> line = SelectedName(*lbLines);
    if (!line)
        return;
    lbLines->setEnabled(false);
    btStationEdit->hide();
    lLineName->setText(QStringLiteral("Linie ") + FromCp1252(*line));
    routesStamp_ = StampFile(ProjectPath(Project().ProjectDir, kLineStationsFile));
    ShowLineStations();
    gbLineAssign->setEnabled(true);
    gbLineAssign->show();
    EditOff();
    btClose->hide();
}

void TfmEditLineStations::rbAllStationsClick() {
    ShowStationChoice();
}

void TfmEditLineStations::rbNewStationsClick() {
    ShowStationChoice();
}

void TfmEditLineStations::btSelectAllStationsClick() {
    lbStations->selectAll();
}

void TfmEditLineStations::btStationToLineClick() {
    TStringList chosen;
    for (int i = 0; i < lbStations->count(); ++i)
        if (lbStations->item(i)->isSelected())
            chosen.push_back(ItemName(*lbStations->item(i)));
    if (chosen.empty())
        return;
    EditOn();
    // The block goes in after the current station, in the order of the
    // choice, or at the end when no station is current.
    for (const std::string &station : chosen) {
        const int current = lbLineStations->currentRow();
        const int at = current >= 0 ? current + 1 : lbLineStations->count();
        lbLineStations->insertItem(at, NewNameItem(station));
        lbLineStations->setCurrentRow(at);
    }
    lbStations->setFocus();
}

void TfmEditLineStations::MoveCurrentStation(int step) {
    const int current = lbLineStations->currentRow();
    const int target = current + step;
    if (current < 0 || target < 0 || target >= lbLineStations->count())
        return;
    QListWidgetItem *item = lbLineStations->takeItem(current);
    lbLineStations->insertItem(target, item);
    lbLineStations->setCurrentRow(target);
}

void TfmEditLineStations::btStationUpClick() {
    EditOn();
    MoveCurrentStation(-1);
}

void TfmEditLineStations::btStationDownClick() {
    EditOn();
    MoveCurrentStation(+1);
}

void TfmEditLineStations::btDeleteStationClick() {
    EditOn();
    const int current = lbLineStations->currentRow();
    if (current < 0)
        return;
    delete lbLineStations->takeItem(current);
    const int count = lbLineStations->count();
    if (count == 0)
        SelectNoName(*lbLineStations);
    else
        lbLineStations->setCurrentRow(std::min(current, count - 1));
}

void TfmEditLineStations::btSaveClick() {
    const std::optional<std::string> line = SelectedName(*lbLines);
    if (!line || NoProjectDir(Project()))
        return;
    // Routes changed by someone else meanwhile: overwrite, keep the entry, or
    // reload the route.
    const TOverwrite overwrite =
        MayOverwrite(ProjectPath(Project().ProjectDir, kLineStationsFile), routesStamp_);
    if (overwrite == TOverwrite::Keep)
        return;
    if (overwrite == TOverwrite::Reload) {
        routesStamp_ = StampFile(ProjectPath(Project().ProjectDir, kLineStationsFile));
        ShowLineStations();
        EditOff();
        return;
    }
    StoreLineStations(Project().ProjectDir, *line, ItemNames(*lbLineStations));
    ReturnToChoosing();
    // The saved route stays in sight, for looking only, until another line
    // is chosen.
    ShowLineStations();
    EditOff();
    gbLineAssign->setEnabled(false);
    gbLineAssign->show();
}

void TfmEditLineStations::btCancelClick() {
    ShowLineStations();
    ReturnToChoosing();
}

void TfmEditLineStations::ReturnToChoosing() {
    gbLineAssign->hide();
    lbLines->setEnabled(true);
    btStationEdit->show();
    btStationEdit->setFocus();
    btClose->show();
}

} // namespace takton::gui
