// The timetable editor's undo and redo, the journey actions of the header's
// context menu and Delete on a selected block. Every action that changes the
// grid ends with RecordStep, which takes what it changed as one undo step.

#include "core/model/timetable_edit.h"
#include "core/model/timetable_grid.h"
#include "gui/common/dialogs.h"
#include "gui/common/error_handler.h"
#include "gui/common/string_grid_view.h"
#include "gui/timetable/edit_timetable.h"
#include "gui/timetable/timetable_undo.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QToolButton>

namespace takton::gui {

namespace {

QAction *NewAction(QObject *parent, const QString &text, const char *objectName,
                   const QList<QKeySequence> &keys) {
    auto *action = new QAction(text, parent);
    action->setObjectName(QString::fromLatin1(objectName));
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    return action;
}

QToolButton *ActionButton(QWidget *parent, QAction *action, const char *objectName) {
    auto *button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setDefaultAction(action);
    return button;
}

// Whether the key typed in the grid is one of the action's keys. Shift is
// part of Ctrl++ on keyboards where "+" is a shifted key.
bool KeyMatches(const TGridKey &key, const QAction *action) {
    Qt::KeyboardModifiers modifiers = key.Modifiers & ~Qt::KeypadModifier;
    if (key.Key == Qt::Key_Plus)
        modifiers &= ~Qt::ShiftModifier;
    const QKeySequence typed(QKeyCombination(modifiers, Qt::Key(key.Key)));
    for (const QKeySequence &keys : action->shortcuts())
        if (keys.matches(typed) == QKeySequence::ExactMatch)
            return true;
    return false;
}

const QString kNoRoomForJourney =
    QStringLiteral("Kein Platz für eine weitere Fahrt: die letzte Fahrt ist belegt.");

} // namespace

void TfmEditTimeTable::CreateUndoControls(QHBoxLayout &tools) {
    History = new TTimetableHistory(*sgTimeTable, this);
    History->OnStepApplied = [this](int col, int row) { StepApplied(col, row); };

    acUndo = NewAction(pTimeTableEdit, QStringLiteral("Rückgängig"), "acUndo",
                       {QKeySequence(Qt::CTRL | Qt::Key_Z)});
    acRedo = NewAction(
        pTimeTableEdit, QStringLiteral("Wiederholen"), "acRedo",
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    acInsertJourney = NewAction(pTimeTableEdit, QStringLiteral("Fahrt einfügen"), "acInsertJourney",
                                {QKeySequence(Qt::CTRL | Qt::Key_Plus)});
    acDeleteJourney = NewAction(pTimeTableEdit, QStringLiteral("Fahrt löschen"), "acDeleteJourney",
                                {QKeySequence(Qt::CTRL | Qt::Key_Minus)});
    acDuplicateJourney = NewAction(pTimeTableEdit, QStringLiteral("Fahrt duplizieren"),
                                   "acDuplicateJourney", {QKeySequence(Qt::CTRL | Qt::Key_D)});
    acSortJourneys = NewAction(pTimeTableEdit, QStringLiteral("Fahrten nach Abfahrt sortieren"),
                               "acSortJourneys", {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O)});
    pTimeTableEdit->addActions(
        {acUndo, acRedo, acInsertJourney, acDeleteJourney, acDuplicateJourney, acSortJourneys});

    sbUndo = ActionButton(Panel5, acUndo, "sbUndo");
    sbRedo = ActionButton(Panel5, acRedo, "sbRedo");
    // Beside the other tools, before the strip's closing stretch.
    tools.insertWidget(tools.count() - 1, sbUndo);
    tools.insertWidget(tools.count() - 1, sbRedo);
    acUndo->setEnabled(false);
    acRedo->setEnabled(false);
    QUndoStack &stack = History->Stack();
    connect(&stack, &QUndoStack::canUndoChanged, acUndo, &QAction::setEnabled);
    connect(&stack, &QUndoStack::canRedoChanged, acRedo, &QAction::setEnabled);
    connect(&stack, &QUndoStack::undoTextChanged, acUndo, [this](const QString &text) {
        acUndo->setToolTip(text.isEmpty() ? acUndo->text() : acUndo->text() + ": " + text);
    });
    connect(&stack, &QUndoStack::redoTextChanged, acRedo, [this](const QString &text) {
        acRedo->setToolTip(text.isEmpty() ? acRedo->text() : acRedo->text() + ": " + text);
    });

    pmJourney = new QMenu(this);
    pmJourney->setObjectName(QStringLiteral("pmJourney"));
    pmJourney->addActions({acInsertJourney, acDeleteJourney, acDuplicateJourney});
    pmJourney->addSeparator();
    pmJourney->addAction(acSortJourneys);

    connect(acUndo, &QAction::triggered, this, Guarded([this] { UndoClick(); }));
    connect(acRedo, &QAction::triggered, this, Guarded([this] { RedoClick(); }));
    connect(acInsertJourney, &QAction::triggered, this, Guarded([this] { InsertJourneyClick(); }));
    connect(acDeleteJourney, &QAction::triggered, this, Guarded([this] { DeleteJourneyClick(); }));
    connect(acDuplicateJourney, &QAction::triggered, this,
            Guarded([this] { DuplicateJourneyClick(); }));
    connect(acSortJourneys, &QAction::triggered, this, Guarded([this] { SortJourneysClick(); }));
}

// ---- Steps ------------------------------------------------------------------

void TfmEditTimeTable::RecordStep(const QString &text, int col, int row) {
    if (History && History->Record(text, col, row))
        EditOn();
}

void TfmEditTimeTable::ResetHistory() {
    savedSinceOpening_ = false;
    History->Reset();
}

// An undone or redone step: the cursor goes to its cell without checking the
// cell it leaves, which holds a text that was accepted or loaded.
void TfmEditTimeTable::StepApplied(int col, int row) {
    EditState.SavedTextTaken = false;
    EditState.SkipNextCheck = false;
    EditState.EnterPressed = false;
    movingWithoutCheck_ = true;
    sgTimeTable->MoveTo(col, row);
    movingWithoutCheck_ = false;
    sgTimeTable->Editor()->selectAll();
    StatusLine->clearMessage();
}

// At the state of the last save (or of opening) there is nothing to save.
void TfmEditTimeTable::ShowHistoryState() {
    if (!History->Stack().isClean())
        EditOn();
    else if (savedSinceOpening_)
        ShowSavedState();
    else
        EditOff();
    sgTimeTable->setFocus();
}

// Typing that was not yet accepted is the latest change: undo takes it back
// first, as Escape does; redo drops it before it redoes.
bool TfmEditTimeTable::DropPendingTyping() {
    if (CopyMode() || !EditState.SavedTextTaken || EditState.SkipNextCheck)
        return false;
    EditState.SavedTextTaken = false;
    const int col = sgTimeTable->Col();
    const int row = sgTimeTable->Row();
    if (sgTimeTable->Grid().Cell(col, row) == EditState.SavedText)
        return false;
    sgTimeTable->SetCell(col, row, EditState.SavedText);
    sgTimeTable->Editor()->selectAll();
    return true;
}

void TfmEditTimeTable::UndoClick() {
    if (pTimeTableEdit->isHidden())
        return;
    if (DropPendingTyping()) {
        if (History->Stack().isClean() && !savedSinceOpening_ && Unchanged())
            EditOff();
        return;
    }
    if (!History->Stack().canUndo())
        return;
    History->Stack().undo();
    ShowHistoryState();
}

void TfmEditTimeTable::RedoClick() {
    if (pTimeTableEdit->isHidden() || !History->Stack().canRedo())
        return;
    DropPendingTyping();
    History->Stack().redo();
    ShowHistoryState();
}

bool TfmEditTimeTable::HistoryOrJourneyKey(const TGridKey &key) {
    for (QAction *action :
         {acUndo, acRedo, acInsertJourney, acDeleteJourney, acDuplicateJourney, acSortJourneys})
        if (KeyMatches(key, action)) {
            action == acUndo ? UndoClick() : action == acRedo ? RedoClick() : action->trigger();
            return true;
        }
    return DeleteBlockKey(key);
}

// ---- Journeys -----------------------------------------------------------------

// A right click on a journey's header: the cursor goes to that journey (the
// cell it leaves is checked as usual), then the journey menu shows.
bool TfmEditTimeTable::JourneyHeaderClick(Qt::MouseButton button, int col, int row) {
    if (button != Qt::RightButton || row < 0 || row >= kFirstStationRow || col < kFirstJourneyCol)
        return false;
    if (col != sgTimeTable->Col() && !sgTimeTable->MoveTo(col, sgTimeTable->Row()))
        return true;
    const QRect cell = sgTimeTable->CellRect(col, row);
    pmJourney->popup(sgTimeTable->viewport()->mapToGlobal(cell.bottomLeft()));
    return true;
}

bool TfmEditTimeTable::JourneyActionReady() {
    return !pTimeTableEdit->isHidden() && SettlePendingEntry();
}

void TfmEditTimeTable::JourneysChanged(const QString &text, int col) {
    sgTimeTable->Refresh();
    sgTimeTable->Editor()->selectAll();
    RecordStep(text, col, sgTimeTable->Row());
    sgTimeTable->setFocus();
}

void TfmEditTimeTable::RefuseJourneyAction(const QString &reason) {
    Dialogs().Beep();
    StatusLine->showMessage(reason);
}

void TfmEditTimeTable::InsertJourneyClick() {
    if (!JourneyActionReady())
        return;
    const int col = sgTimeTable->Col();
    if (!InsertJourney(sgTimeTable->Grid(), col))
        return RefuseJourneyAction(kNoRoomForJourney);
    JourneysChanged(acInsertJourney->text(), col);
}

void TfmEditTimeTable::DeleteJourneyClick() {
    if (!JourneyActionReady())
        return;
    const int col = sgTimeTable->Col();
    const QString question = QStringLiteral("Fahrt %1 löschen?").arg(col - 1);
    if (Dialogs().Confirm(QStringLiteral("Bestätigung"), question) != Answer::Yes)
        return;
    DeleteJourney(sgTimeTable->Grid(), col);
    JourneysChanged(acDeleteJourney->text(), col);
}

void TfmEditTimeTable::DuplicateJourneyClick() {
    if (!JourneyActionReady())
        return;
    const int col = sgTimeTable->Col();
    if (!DuplicateJourney(sgTimeTable->Grid(), col))
        return RefuseJourneyAction(kNoRoomForJourney);
    JourneysChanged(acDuplicateJourney->text(), col + 1);
}

void TfmEditTimeTable::SortJourneysClick() {
    if (!JourneyActionReady())
        return;
    if (SortJourneysByDeparture(sgTimeTable->Grid()))
        JourneysChanged(acSortJourneys->text(), kFirstJourneyCol);
}

// Delete on a block of cells (or on any cell in copy mode, where no editor
// takes it) empties the block in one step; emptied cells need no check.
bool TfmEditTimeTable::DeleteBlockKey(const TGridKey &key) {
    if (key.Key != Qt::Key_Delete || key.Modifiers != Qt::NoModifier)
        return false;
    const TGridRect block = sgTimeTable->Selection();
    const bool oneCell = block.Left == block.Right && block.Top == block.Bottom;
    if (oneCell && !CopyMode())
        return false;
    if (!SettlePendingEntry())
        return true;
    EmptyCellBlock(sgTimeTable->Grid(), block);
    sgTimeTable->Refresh();
    RecordStep(QStringLiteral("Block leeren"), block.Left, block.Top);
    return true;
}

} // namespace takton::gui
