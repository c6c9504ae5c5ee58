#include "gui/timetable/edit_timetable.h"

#include "core/files/file_io.h"
#include "core/model/master_data.h"
#include "core/model/prj_params.h"
#include "core/model/timetable_file.h"
#include "core/model/timetable_grid.h"
#include "core/util/clipboard_text.h"
#include "core/util/string_grid.h"
#include "core/util/text_order.h"
#include "core/webcopy/html_text.h"
#include "core/webcopy/web_time.h"
#include "gui/common/buttons.h"
#include "gui/common/current_project.h"
#include "gui/common/dialogs.h"
#include "gui/common/dialogs_questioner.h"
#include "gui/common/error_handler.h"
#include "gui/common/project_guard.h"
#include "gui/common/string_grid_view.h"
#include "gui/timetable/timetable_undo.h"
#include "render/qt_text.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

namespace takton::gui {

namespace {

// The master-data files the window needs, in the order they are looked for.
constexpr std::string_view kNeededFiles[] = {kLinesFile, kStationsFile, kLineStationsFile,
                                             kStationLinesFile};

bool ProjectHasFile(const std::string &dir, std::string_view name) {
    return !dir.empty() && FileExists(ProjectPath(dir, name));
}

bool IsEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// Keys that change the text of the cell: the ones that type a character, erase
// or paste. Moving, Tab and Escape change nothing.
bool KeyEditsCell(const TGridKey &key) {
    if (key.Key == Qt::Key_Backspace || key.Key == Qt::Key_Delete)
        return true;
    if (key.Modifiers & (Qt::ControlModifier | Qt::MetaModifier)) {
        const QKeySequence typed(key.Key | key.Modifiers);
        for (auto standard :
             {QKeySequence::Paste, QKeySequence::Cut, QKeySequence::Undo, QKeySequence::Redo})
            if (QKeySequence::keyBindings(standard).contains(typed))
                return true;
        return false;
    }
    return !key.Text.isEmpty() && key.Text.at(0).isPrint();
}

bool KeyIs(const TGridKey &key, QKeySequence::StandardKey standard) {
    return QKeySequence::keyBindings(standard).contains(QKeySequence(key.Key | key.Modifiers));
}

// Cream stripes on the even station rows of the journey columns.
const QColor kStripeColor(255, 251, 240);
// "an" and "ab" beside the station of a pair.
const QColor kPairRoleColor(0, 0, 160);

// Choice boxes keep each entry's cp1252 name beside its shown text, so that the
// name read back is the one in the files, byte for byte.
void AddChoice(QComboBox &box, const std::string &name) {
    box.addItem(FromCp1252(name), QByteArray::fromStdString(name));
}

std::string SelectedChoice(const QComboBox &box) {
    if (box.currentIndex() < 0)
        return {};
    return box.currentData().toByteArray().toStdString();
}

QComboBox *ChoiceBox(QWidget *parent, const char *name) {
    auto *box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    QFont font = box->font();
    font.setBold(true);
    box->setFont(font);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Text, QColor(128, 0, 0));
    palette.setColor(QPalette::ButtonText, QColor(128, 0, 0));
    box->setPalette(palette);
    return box;
}

} // namespace

TfmEditTimeTable::TfmEditTimeTable(QWidget *parent) : TLazyDialog(parent) {
    setObjectName(QStringLiteral("fmEditTimeTable"));
    setWindowTitle(QStringLiteral("Fahrplan bearbeiten"));
    setModal(true);
    resize(770, 577);
}

TfmEditTimeTable::~TfmEditTimeTable() = default;

void TfmEditTimeTable::CreateControls() {
    CreateChoiceStrip();
    CreateTimeTableArea();
    CreateCloseStrip();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(pLineChoice);
    layout->addWidget(pTimeTableEdit, 1);
    // Takes the room of the hidden timetable area in the choice state.
    layout->addStretch(0);
    layout->addWidget(Panel3);
    StatusLine = new QStatusBar(this);
    StatusLine->setObjectName(QStringLiteral("StatusLine"));
    StatusLine->setSizeGripEnabled(false);
    layout->addWidget(StatusLine);
    FormCreate();
    ShowChoiceState();
}

void TfmEditTimeTable::CreateChoiceStrip() {
    pLineChoice = new QWidget(this);
    pLineChoice->setObjectName(QStringLiteral("pLineChoice"));
    Label2 = new QLabel(QStringLiteral("Linie:"), pLineChoice);
    cbLines = ChoiceBox(pLineChoice, "cbLines");
    Label4 = new QLabel(QStringLiteral("Tage:"), pLineChoice);
    cbDays = ChoiceBox(pLineChoice, "cbDays");
    Label3 = new QLabel(QStringLiteral("Richtung:"), pLineChoice);
    cbDirection = ChoiceBox(pLineChoice, "cbDirection");
    cbDirection->setMinimumContentsLength(16);
    FillDirections();
    btTimeTableEdit =
        PlainButton(pLineChoice, QStringLiteral("Fahrplan editieren"), "btTimeTableEdit");
    btTimeTableEdit->setAutoDefault(true);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label4->setObjectName(QStringLiteral("Label4"));
    Label3->setObjectName(QStringLiteral("Label3"));
    Label2->setBuddy(cbLines);
    Label4->setBuddy(cbDays);
    Label3->setBuddy(cbDirection);
    cbLines->setMinimumContentsLength(12);
    cbDays->setMinimumContentsLength(8);

    auto *strip = new QHBoxLayout(pLineChoice);
    strip->setContentsMargins(0, 0, 0, 0);
    strip->addWidget(Label2);
    strip->addWidget(cbLines);
    strip->addSpacing(12);
    strip->addWidget(Label4);
    strip->addWidget(cbDays);
    strip->addSpacing(12);
    strip->addWidget(Label3);
    strip->addWidget(cbDirection);
    strip->addSpacing(12);
    strip->addWidget(btTimeTableEdit);
    strip->addStretch(1);

    connect(btTimeTableEdit, &QPushButton::clicked, this,
            Guarded([this] { btTimeTableEditClick(); }));
    connect(cbLines, &QComboBox::currentIndexChanged, this, Guarded([this] {
                FillDirections();
                ChoiceChanged();
            }));
    for (QComboBox *box : {cbDays, cbDirection})
        connect(box, &QComboBox::currentIndexChanged, this, Guarded([this] { ChoiceChanged(); }));
}

QString TfmEditTimeTable::DirectionText(int direction, const std::vector<std::string> &stations) {
    QString text = QString::number(direction);
    if (!stations.empty())
        text += QStringLiteral(" → ") + FromCp1252(DirectionTerminus(stations, direction));
    return text;
}

void TfmEditTimeTable::ChoiceChanged() {
    // Filling the boxes (showing the window, another line's directions) is no
    // choice of the planner's; nor is any change while no timetable is open.
    if (fillingChoices_ || !pTimeTableEdit || pTimeTableEdit->isHidden())
        return;
    // The strip is enabled with a timetable open only when the grid matches
    // its file, so nothing typed is lost here.
    const std::string line = SelectedChoice(*cbLines);
    const std::string dayGroup = SelectedChoice(*cbDays);
    const int direction = StrictToNumber(ToCp1252Lossy(cbDirection->currentData().toString()));
    if (line == TimeTableLine && dayGroup == TimeTableDayGroup && direction == TimeTableDirection)
        return;
    if (line.empty() || dayGroup.empty() || !OpenChosenTimetable(line, direction, dayGroup))
        ShowChoiceState();
}

void TfmEditTimeTable::FillDirections() {
    const int chosen = std::max(cbDirection->currentIndex(), 0);
    const std::string line = SelectedChoice(*cbLines);
    const TStringList stations =
        line.empty() || !ProjectHasFile(Project().ProjectDir, kLineStationsFile)
            ? TStringList{}
            : LoadLineStations(Project().ProjectDir, line);
    const bool wasFilling = std::exchange(fillingChoices_, true);
    cbDirection->clear();
    for (int direction : {1, 2})
        cbDirection->addItem(DirectionText(direction, stations), QString::number(direction));
    cbDirection->setCurrentIndex(chosen);
    fillingChoices_ = wasFilling;
}

void TfmEditTimeTable::CreateTimeTableArea() {
    pTimeTableEdit = new QWidget(this);
    pTimeTableEdit->setObjectName(QStringLiteral("pTimeTableEdit"));

    Panel5 = new QWidget(pTimeTableEdit);
    Panel5->setObjectName(QStringLiteral("Panel5"));
    bbWebCopy = PlainButton(Panel5, QStringLiteral("HTML Import"), "bbWebCopy");
    sbCopyMode = new QToolButton(Panel5);
    sbCopyMode->setObjectName(QStringLiteral("sbCopyMode"));
    sbCopyMode->setText(QStringLiteral("Kopiermodus"));
    sbCopyMode->setCheckable(true);
    sbPaste = PlainButton(Panel5, QStringLiteral("Zwischenablage einfügen"), "sbPaste");
    lbTimeTable = new QLabel(Panel5);
    lbTimeTable->setObjectName(QStringLiteral("lbTimeTable"));
    QFont font = lbTimeTable->font();
    font.setBold(true);
    lbTimeTable->setFont(font);
    auto *tools = new QHBoxLayout(Panel5);
    tools->setContentsMargins(0, 0, 0, 0);
    tools->addWidget(lbTimeTable);
    tools->addSpacing(12);
    tools->addWidget(bbWebCopy);
    tools->addWidget(sbCopyMode);
    tools->addWidget(sbPaste);
    tools->addStretch(1);
    btPrint = PlainButton(Panel5, QStringLiteral("Drucken…"), "btPrint");
    btGraph = PlainButton(Panel5, QStringLiteral("Bildfahrplan…"), "btGraph");
    tools->addWidget(btPrint);
    tools->addWidget(btGraph);
    connect(btPrint, &QPushButton::clicked, this, Guarded([this] {
                if (Printing.Print)
                    Printing.Print();
            }));
    connect(btGraph, &QPushButton::clicked, this, Guarded([this] {
                if (Printing.Graph)
                    Printing.Graph();
            }));

    sgTimeTable = new TStringGridView(pTimeTableEdit);
    sgTimeTable->setObjectName(QStringLiteral("sgTimeTable"));
    sgTimeTable->SetTabStop(false);
    sgTimeTable->OnKeyPress = [this](TGridKey &key) {
        RunGuarded([&] { sgTimeTableKeyPress(key); });
    };
    sgTimeTable->OnSelectCell = [this](int col, int row, bool &allow) {
        sgTimeTableSelectCell(col, row, allow);
    };
    sgTimeTable->OnMouseDown = [this](Qt::MouseButton button, Qt::KeyboardModifiers, int col,
                                      int row) {
        RunGuarded([&] {
            if (!JourneyHeaderClick(button, col, row))
                sgTimeTableMouseDown(col, row);
        });
    };
    sgTimeTable->SetColumnMoving(true);
    sgTimeTable->OnColumnMoved = [this](int, int) {
        RunGuarded([&] { sgTimeTableColumnMoved(); });
    };
    sgTimeTable->viewport()->installEventFilter(this);
    sgTimeTable->OnTextEdited = [this](int, int, const std::string &before) {
        CellTextEdited(before);
    };
    sgTimeTable->OnDrawCell = [this](QPainter &painter, const QRect &rect, int col, int row,
                                     const TGridDrawState &state) {
        sgTimeTableDrawCell(painter, rect, col, row, state);
    };

    CreateUndoControls(*tools);
    CreateMarkControls();

    Panel4 = new QWidget(pTimeTableEdit);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    btSave = SaveButton(Panel4);
    btCancel = PlainButton(Panel4, QStringLiteral("Änderungen verwerfen"), "btCancel");
    auto *buttons = new QHBoxLayout(Panel4);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addWidget(btSave);
    buttons->addWidget(btCancel);
    buttons->addStretch(1);

    auto *area = new QVBoxLayout(pTimeTableEdit);
    area->setContentsMargins(0, 0, 0, 0);
    area->addWidget(Panel5);
    area->addWidget(sgTimeTable, 1);
    area->addWidget(Panel4);

    connect(bbWebCopy, &QPushButton::clicked, this, Guarded([this] { bbWebCopyClick(); }));
    connect(sbCopyMode, &QToolButton::clicked, this, Guarded([this] { sbCopyModeClick(); }));
    connect(sbPaste, &QPushButton::clicked, this, Guarded([this] { sbPasteClick(); }));
    connect(btSave, &QPushButton::clicked, this, Guarded([this] { btSaveClick(); }));
    connect(btCancel, &QPushButton::clicked, this, Guarded([this] { btCancelClick(); }));
}

void TfmEditTimeTable::CreateCloseStrip() {
    Panel3 = new QWidget(this);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    btClose = PlainButton(Panel3, QStringLiteral("Fenser schließen"), "btClose");
    auto *strip = new QHBoxLayout(Panel3);
    strip->setContentsMargins(0, 0, 0, 0);
    strip->addStretch(1);
    strip->addWidget(btClose);
    connect(btClose, &QPushButton::clicked, this, [this] { close(); });
}

// ---- Window ---------------------------------------------------------------

void TfmEditTimeTable::FormCreate() {
    PrepareTimetableGrid(sgTimeTable->Grid());
    sgTimeTable->Refresh();
}

void TfmEditTimeTable::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        RunGuarded([this] { FormShow(); });
}

void TfmEditTimeTable::FormShow() {
    // A timetable left open by hiding the window: saved, the showing starts
    // with the choice; with unsaved changes grid and strip stay as they are,
    // so that the strip goes on naming what the grid holds.
    if (!pTimeTableEdit->isHidden()) {
        if (!btClose->isVisible())
            return;
        ShowChoiceState();
    }
    for (std::string_view name : kNeededFiles)
        if (!ProjectHasFile(Project().ProjectDir, name)) {
            Dialogs().ShowMessage(
                QStringLiteral("Es konnten nicht alle zugehörigen Dateien gefunden werden!"));
            return;
        }
    const bool wasFilling = std::exchange(fillingChoices_, true);
    const auto filled = qScopeGuard([&] { fillingChoices_ = wasFilling; });
    // Shown in natural order (1, 2, 10, N 5); the file keeps its own.
    TStringList lines = LoadNameList(Project().ProjectDir, kLinesFile);
    SortTextListNatural(lines);
    cbLines->clear();
    for (const std::string &line : lines)
        AddChoice(*cbLines, line);
    cbLines->setCurrentIndex(cbLines->count() > 0 ? 0 : -1);
    cbDays->clear();
    for (const TDayGroupItem &group : Project().PrjParams.DayGroups)
        AddChoice(*cbDays, group.Name);
    cbDays->setCurrentIndex(cbDays->count() > 0 ? 0 : -1);
    FillDirections();
}

bool TfmEditTimeTable::FormCloseQuery() {
    if (!btClose || btClose->isVisible())
        return true;
    btCancelClick();
    return pTimeTableEdit->isHidden();
}

void TfmEditTimeTable::FormClose() {
    // A saved timetable left open: the next showing starts with the choice.
    if (pTimeTableEdit && !pTimeTableEdit->isHidden())
        ShowChoiceState();
    if (WebCopy.Close)
        WebCopy.Close();
}

void TfmEditTimeTable::closeEvent(QCloseEvent *event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
    FormClose();
}

void TfmEditTimeTable::reject() {
    if (!FormCloseQuery())
        return;
    QDialog::reject();
    FormClose();
}

void TfmEditTimeTable::keyPressEvent(QKeyEvent *event) {
    // Escape never discards nor closes: a planner presses it to take back a
    // cell's entry, and an Enter typed next must not answer a question that
    // throws the timetable away. The buttons discard and close.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        return;
    QDialog::keyPressEvent(event);
}

void TfmEditTimeTable::EditOn() {
    EnsureControls();
    btSave->setVisible(true);
    // Something to save: no other timetable and no closing until it is saved
    // or discarded.
    if (!pTimeTableEdit->isHidden()) {
        pLineChoice->setEnabled(false);
        btTimeTableEdit->setEnabled(false);
        btClose->hide();
    }
}

bool TfmEditTimeTable::eventFilter(QObject *watched, QEvent *event) {
    // A click starts a new action: the last refusal's reason is done.
    if (sgTimeTable && watched == sgTimeTable->viewport() &&
        event->type() == QEvent::MouseButtonPress)
        StatusLine->clearMessage();
    return TLazyDialog::eventFilter(watched, event);
}

void TfmEditTimeTable::EditOff() {
    EnsureControls();
    btSave->setVisible(false);
}

bool TfmEditTimeTable::CopyMode() const {
    return sgTimeTable && !sgTimeTable->Editing();
}

void TfmEditTimeTable::ShowChoiceState() {
    pTimeTableEdit->hide();
    // What was done to the grid is gone with it.
    if (History)
        History->Stack().clear();
    pLineChoice->setEnabled(true);
    btTimeTableEdit->setEnabled(true);
    btClose->show();
}

void TfmEditTimeTable::ShowEditingState() {
    pTimeTableEdit->show();
    // The cursor starts in the first journey's first station row. The cell it
    // stood on before belongs to another timetable: nothing typed there is
    // left to check or to put back.
    EditState.SavedTextTaken = false;
    EditState.SkipNextCheck = false;
    sgTimeTable->Grid().SetCurrent(kFirstJourneyCol, kFirstStationRow);
    sgTimeTable->horizontalScrollBar()->setValue(kFirstJourneyCol);
    sgTimeTable->verticalScrollBar()->setValue(kFirstStationRow);
    sgTimeTable->Refresh();
    // The first key replaces the cell's text, as after any move.
    sgTimeTable->Editor()->selectAll();
    sgTimeTable->setFocus();
    pLineChoice->setEnabled(false);
    btTimeTableEdit->setEnabled(false);
    EditOff();
    btClose->hide();
    StatusLine->clearMessage();
    fileRows_ = TimetableRowTexts(sgTimeTable->Grid());
    fileMarks_ = JourneyMarksOfGrid(sgTimeTable->Grid());
    ResetHistory();
}

void TfmEditTimeTable::ShowSavedState() {
    EditOff();
    pLineChoice->setEnabled(true);
    btTimeTableEdit->setEnabled(true);
    btClose->show();
    fileRows_ = TimetableRowTexts(sgTimeTable->Grid());
    fileMarks_ = JourneyMarksOfGrid(sgTimeTable->Grid());
}

bool TfmEditTimeTable::Unchanged() const {
    return TimetableRowTexts(sgTimeTable->Grid()) == fileRows_ &&
           JourneyMarksOfGrid(sgTimeTable->Grid()) == fileMarks_;
}

// ---- Opening, saving, discarding ------------------------------------------

void TfmEditTimeTable::btTimeTableEditClick() {
    OpenChosenTimetable(SelectedChoice(*cbLines),
                        StrictToNumber(ToCp1252Lossy(cbDirection->currentData().toString())),
                        SelectedChoice(*cbDays));
}

bool TfmEditTimeTable::OpenChosenTimetable(const std::string &line, int direction,
                                           const std::string &dayGroup) {
    if (!ProjectHasFile(Project().ProjectDir, kLineStationsFile) ||
        !ProjectHasFile(Project().ProjectDir, kStationLinesFile))
        return false;
    const TStringList stations = LoadLineStations(Project().ProjectDir, line);
    if (stations.empty())
        return false;
    TimeTableLine = line;
    TimeTableDayGroup = dayGroup;
    TimeTableDirection = direction;
    lbTimeTable->setText(
        QStringLiteral("Linie %1 · Richtung %2 · %3")
            .arg(FromCp1252(line), DirectionText(direction, stations), FromCp1252(dayGroup)));
    fileStamp_ = StampFile(TimetablePath(Project().ProjectDir, TimeTableLine));
    const TTimetableFile file(TimetablePath(Project().ProjectDir, TimeTableLine));
    const std::string section = TimetableSectionName(TimeTableDirection, TimeTableDayGroup);
    TStringGrid &grid = sgTimeTable->Grid();
    if (file.HasSection(section))
        LoadTimetableRows(grid, file.ReadRows(section));
    else
        BuildNewTimetable(grid, stations, TimeTableDirection);
    SetPairMarkers(grid);
    LoadJourneyMarks(file, section);
    ShowEditingState();
    return true;
}

void TfmEditTimeTable::btSaveClick() {
    if (!SettlePendingEntry())
        return;
    // Changed by someone else since it was read: overwrite, keep the grid
    // unsaved, or reload it.
    switch (MayOverwrite(TimetablePath(Project().ProjectDir, TimeTableLine), fileStamp_)) {
    case TOverwrite::Keep:
        sgTimeTable->setFocus();
        return;
    case TOverwrite::Reload:
        OpenChosenTimetable(TimeTableLine, TimeTableDirection, TimeTableDayGroup);
        return;
    case TOverwrite::Write:
        break;
    }
    TTimetableFile file(TimetablePath(Project().ProjectDir, TimeTableLine));
    const std::string section = TimetableSectionName(TimeTableDirection, TimeTableDayGroup);
    file.WriteRows(section, TimetableRowTexts(sgTimeTable->Grid()));
    file.WriteJourneyMarks(section, JourneyMarksOfGrid(sgTimeTable->Grid()));
    file.Save();
    savedSinceOpening_ = true;
    History->MarkSaved();
    fileStamp_ = StampFile(TimetablePath(Project().ProjectDir, TimeTableLine));
    ShowSavedState();
    sgTimeTable->setFocus();
}

void TfmEditTimeTable::btCancelClick() {
    if (!Unchanged() &&
        Dialogs().Confirm(QStringLiteral("Bestätigung"),
                          QStringLiteral("Ungespeicherte Änderungen verwerfen?")) != Answer::Yes) {
        sgTimeTable->setFocus();
        return;
    }
    ShowChoiceState();
}

void TfmEditTimeTable::sbCopyModeClick() {
    const bool copyMode = sbCopyMode->isChecked();
    sgTimeTable->SetEditing(!copyMode);
    if (!copyMode) {
        EditState.EnterPressed = false;
        EditState.SkipNextCheck = false;
        // Text saved before or pasted during copy mode belongs to another cell.
        EditState.SavedTextTaken = false;
    }
}

// ---- Checking entries -----------------------------------------------------

TCheckResult TfmEditTimeTable::CheckCurrentCell() {
    TDialogQuestioner questioner;
    return CheckCell(sgTimeTable->Grid(), sgTimeTable->Col(), sgTimeTable->Row(), EditState,
                     questioner, Project().PrjParams.MaxDriveMinutes);
}

void TfmEditTimeTable::Refuse(const TCheckResult &result) {
    Dialogs().Beep();
    StatusLine->showMessage(FromCp1252(result.Reason));
}

// A typed entry is saved, split or merged only in its checked form: the cell
// is checked as if the cursor left it. A fill (interval for all stations,
// journey copy) has written its cells and counts as accepted here. A cell
// nobody changed since the cursor came holds what was checked, loaded or
// filled: it stays as it is, without asking the fill question again.
bool TfmEditTimeTable::SettlePendingEntry() {
    if (CopyMode() || !EditState.SavedTextTaken)
        return true;
    // A mouse action: the Enter of an earlier key does not jump anywhere.
    EditState.EnterPressed = false;
    const TCheckResult result = CheckCurrentCell();
    sgTimeTable->Refresh();
    if (result || EditState.SkipNextCheck) {
        EditState.SkipNextCheck = false;
        EditState.SavedTextTaken = false;
        RecordStep(QStringLiteral("Eingabe"), sgTimeTable->Col(), sgTimeTable->Row());
        return true;
    }
    Refuse(result);
    // Typing goes on in the cell, not on the button just clicked.
    sgTimeTable->setFocus();
    return false;
}

void TfmEditTimeTable::CellTextEdited(const std::string &before) {
    if (CopyMode())
        return;
    if (!EditState.SavedTextTaken) {
        EditState.SavedTextTaken = true;
        EditState.SavedText = before;
    }
    EditOn();
}

void TfmEditTimeTable::MoveThenToFirstRow(int col, int row) {
    sgTimeTable->MoveTo(col, row);
    sgTimeTable->MoveTo(sgTimeTable->Col(), kFirstStationRow);
}

void TfmEditTimeTable::sgTimeTableSelectCell(int, int, bool &allow) {
    if (CopyMode() || movingWithoutCheck_)
        return;
    const int col = sgTimeTable->Col();
    const int row = sgTimeTable->Row();
    const TCheckResult result = CheckCurrentCell();
    // An accepted entry or a fill is one step.
    if (result || EditState.SkipNextCheck)
        RecordStep(QStringLiteral("Eingabe"), col, row);
    if (result) {
        EditState.SavedTextTaken = false;
        return;
    }
    allow = false;
    const int lastCol = sgTimeTable->Grid().ColCount() - 1;
    if (EditState.EnterPressed && EditState.SkipNextCheck && col < lastCol) {
        // A fill with Enter: on to the next journey's first station. The first
        // move passes the filled cell (SkipNextCheck), the second checks the
        // cell it leaves in the new column.
        EditState.EnterPressed = false;
        MoveThenToFirstRow(col + 1, row);
        return;
    }
    Refuse(result);
}

void TfmEditTimeTable::sgTimeTableKeyPress(TGridKey &key) {
    if (HistoryOrJourneyKey(key)) {
        key.Key = 0;
        return;
    }
    if ((KeyIs(key, QKeySequence::Copy) && CopyBlockKey()) ||
        (KeyIs(key, QKeySequence::Paste) && PasteBlockKey())) {
        key.Key = 0;
        return;
    }
    const bool enter = IsEnter(key.Key);
    StatusLine->clearMessage();
    if (!CopyMode() && key.Key == Qt::Key_Escape) {
        key.Key = 0;
        EscapeKey();
        return;
    }
    if (CopyMode()) {
        // Without the in-cell editor Enter and Escape act on the window's buttons.
        if (enter && btSave->isVisible()) {
            key.Key = 0;
            btSave->click();
            return;
        }
        if (key.Key == Qt::Key_Escape) {
            key.Key = 0;
            btCancel->click();
            return;
        }
    }
    EditState.EnterPressed = enter;
    if (enter) {
        key.Key = 0;
        EnterKey();
    } else if (KeyEditsCell(key) && sgTimeTable->Editing()) {
        if (!EditState.SavedTextTaken) {
            EditState.SavedTextTaken = true;
            EditState.SavedText = sgTimeTable->Grid().Cell(sgTimeTable->Col(), sgTimeTable->Row());
        }
    } else {
        return;
    }
    EditOn();
    if (!sgTimeTable->hasFocus())
        sgTimeTable->setFocus();
}

// As in a spreadsheet: Escape takes back what was typed into the cell, and
// does nothing more; discarding the timetable is the button's alone.
void TfmEditTimeTable::EscapeKey() {
    if (!EditState.SavedTextTaken)
        return;
    sgTimeTable->SetCell(sgTimeTable->Col(), sgTimeTable->Row(), EditState.SavedText);
    EditState.SavedTextTaken = false;
    sgTimeTable->Editor()->selectAll();
}

// Enter goes down the journey; from its last station on to the next journey's
// first. A refused entry keeps the cursor on its cell, in the last row too, so
// that what is typed next corrects it instead of overwriting another time.
void TfmEditTimeTable::EnterKey() {
    const TStringGrid &grid = sgTimeTable->Grid();
    const int lastRow = grid.RowCount() - 1;
    const int lastCol = grid.ColCount() - 1;
    const int col = sgTimeTable->Col();
    if (sgTimeTable->Row() < lastRow) {
        sgTimeTable->MoveTo(col, sgTimeTable->Row() + 1);
    } else if (col < lastCol) {
        sgTimeTable->MoveTo(col + 1, sgTimeTable->Row());
        if (sgTimeTable->Col() != col)
            sgTimeTable->MoveTo(sgTimeTable->Col(), kFirstStationRow);
    }
}

// ---- Working the grid -------------------------------------------------------

void TfmEditTimeTable::sgTimeTableMouseDown(int col, int row) {
    if (col != 0 || row < kFirstStationRow)
        return;
    const std::string &marker = sgTimeTable->Grid().Cell(0, row);
    if (marker == "+")
        SplitStationRow(row);
    else if (marker == "-")
        MergeStationRow(row);
}

// The new row above becomes the arrival row. The cursor stays on the cell it
// stood on, wherever the rows below have moved.
void TfmEditTimeTable::SplitStationRow(int row) {
    if (!SettlePendingEntry())
        return;
    TStringGrid &grid = sgTimeTable->Grid();
    takton::SplitStationRow(grid, row);
    sgTimeTable->Refresh();
    EditOn();
    if (Dialogs().AskWithCancel(QStringLiteral("Bestätigung"),
                                QStringLiteral("Gleiche Werte einsetzen?")) == Answer::Yes)
        CopyRowFromBelow(grid, row);
    RecordStep(QStringLiteral("Station teilen"), grid.Col(), row);
}

void TfmEditTimeTable::MergeStationRow(int row) {
    if (!SettlePendingEntry())
        return;
    TStringGrid &grid = sgTimeTable->Grid();
    if (grid.RowCount() - 1 == kFirstStationRow)
        return;
    if (StationRowHasEntries(grid, row) &&
        Dialogs().Confirm(QStringLiteral("Bestätigung"),
                          QStringLiteral("Zeiten dieser Zeile löschen?")) != Answer::Yes)
        return;
    const bool cursorRowGoes = grid.Row() == row;
    if (!takton::MergeStationRow(grid, row))
        return;
    EditOn();
    // What was typed there went with the row.
    if (cursorRowGoes)
        EditState.SavedTextTaken = false;
    RecordStep(QStringLiteral("Stationen zusammenfassen"), grid.Col(), row);
}

void TfmEditTimeTable::sgTimeTableColumnMoved() {
    NumberJourneyColumns(sgTimeTable->Grid());
    EditOn();
    RecordStep(QStringLiteral("Fahrt verschieben"), sgTimeTable->Col(), sgTimeTable->Row());
}

void TfmEditTimeTable::sgTimeTableDrawCell(QPainter &painter, const QRect &rect, int col, int row,
                                           const TGridDrawState &state) {
    const TStringGrid &grid = sgTimeTable->Grid();
    // Selected cells keep the selection's colours, so that a selected block
    // stays visible and its text readable.
    if (!CopyMode() && col >= kFirstJourneyCol && row > 0 && row % 2 == 0 && !state.Selected) {
        painter.fillRect(rect, kStripeColor);
        painter.drawText(
            rect.adjusted(TStringGridView::kTextIndent, TStringGridView::kTextIndent, 0, 0),
            Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, FromCp1252(grid.Cell(col, row)));
    }
    if (col == 1) {
        // Arrival and departure row of a pair, shown only.
        const std::string role = PairRowRole(grid, row);
        if (!role.empty()) {
            painter.save();
            painter.setPen(kPairRoleColor);
            painter.drawText(
                rect.adjusted(0, TStringGridView::kTextIndent, -TStringGridView::kTextIndent, 0),
                Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine,
                QString::fromLatin1(role.c_str()));
            painter.restore();
        }
    }
    if (row == kJourneyMarksRow && col >= kFirstJourneyCol)
        DrawJourneyMarks(painter, rect, col);
    if (row >= kFirstStationRow && row < grid.RowCount() - 1 &&
        grid.Cell(1, row) == grid.Cell(1, row + 1)) {
        const int bottom = rect.top() + rect.height();
        painter.drawLine(rect.left(), bottom - 2, rect.right(), bottom - 2);
        painter.drawLine(rect.left(), bottom - 1, rect.right(), bottom - 1);
    }
}

bool TfmEditTimeTable::CopyBlockKey() {
    const TStringGrid &grid = sgTimeTable->Grid();
    const TGridRect &sel = grid.Selection();
    // A single cell while editing: the editor copies its (selected) text.
    if (sgTimeTable->Editing() && sel.Left == sel.Right && sel.Top == sel.Bottom)
        return false;
    QApplication::clipboard()->setText(FromCp1252(GridBlockTabText(grid, sel)));
    return true;
}

bool TfmEditTimeTable::PasteBlockKey() {
    const QMimeData *data = QApplication::clipboard()->mimeData();
    const std::string text = data && data->hasText() ? ToCp1252Lossy(data->text()) : std::string();
    // HTML never lands here as markup: its table goes to the web copy window.
    // Spreadsheets put their cells as HTML beside the tab text; that text is
    // pasted here unless a table of the HTML names a station.
    const bool textIsHtml = IsHtmlText(text);
    if (textIsHtml || (data && data->hasHtml())) {
        const bool tabTextBeside = !textIsHtml && !text.empty();
        const std::string page = data->hasHtml() ? ToCp1252Lossy(data->html()) : text;
        if (WebCopy.TakePageHtml(page, tabTextBeside) || !tabTextBeside) {
            WebCopy.ShowBeside(this);
            return true;
        }
    }
    const TTextBlock block = ParseTabText(text);
    if (block.empty())
        return !sgTimeTable->Editing();
    // One cell's text while editing goes into the editor as typed text.
    if (sgTimeTable->Editing() && block.size() == 1 && block.front().size() == 1)
        return false;
    TCellBlock cells;
    for (const std::vector<std::string> &row : block) {
        cells.emplace_back();
        for (const std::string &cell : row)
            cells.back().push_back(TimetableCellText(TimetableTimeText(WebCellText(cell))));
    }
    PasteBlock(cells);
    return true;
}

void TfmEditTimeTable::sbPasteClick() {
    // The work grid holds its texts decoded and trimmed already.
    TCellBlock cells = WebCopy.SelectedBlock();
    for (std::vector<std::string> &row : cells)
        for (std::string &cell : row)
            cell = TimetableCellText(TimetableTimeText(cell));
    PasteBlock(cells);
    // Typing goes on in the grid, not on the button.
    sgTimeTable->setFocus();
}

void TfmEditTimeTable::bbWebCopyClick() {
    WebCopy.ShowBeside(this);
}

std::vector<std::string> TfmEditTimeTable::StationNames() {
    EnsureControls();
    const TStringGrid &grid = sgTimeTable->Grid();
    std::vector<std::string> names;
    for (int row = kFirstStationRow; row < grid.RowCount(); ++row)
        names.push_back(grid.Cell(1, row));
    return names;
}

std::vector<std::string> TfmEditTimeTable::GridRowTexts() {
    EnsureControls();
    return TimetableRowTexts(sgTimeTable->Grid());
}

TJourneyMarkList TfmEditTimeTable::GridJourneyMarks() {
    EnsureControls();
    return JourneyMarksOfGrid(sgTimeTable->Grid());
}

// The block lands unchecked with its top-left cell at the cursor; then the
// cursor goes to the column right of it (checking the cell it leaves, which
// gets its own former text back when refused) and to the first station row.
void TfmEditTimeTable::PasteBlock(const TCellBlock &block) {
    TStringGrid &grid = sgTimeTable->Grid();
    const int col0 = grid.Col();
    const int row0 = grid.Row();
    EditState.EnterPressed = false;
    if (!EditState.SavedTextTaken) {
        EditState.SavedText = grid.Cell(col0, row0);
        EditState.SavedTextTaken = true;
    }
    const int width = PasteCellBlock(grid, col0, row0, block);
    EditOn();
    sgTimeTable->Refresh();
    // A block that reaches the last column leaves the cursor in its own column.
    const int lastCol = grid.ColCount() - 1;
    MoveThenToFirstRow(col0 + width <= lastCol ? col0 + width : col0, row0);
    RecordStep(QStringLiteral("Einfügen"), col0, row0);
}

} // namespace takton::gui
