#pragma once

// Fahrplan bearbeiten: the timetable of one line, direction and day group in a
// grid of 512 columns (two header rows, the pair markers, the stations, then
// 510 journeys). The window is created once at start-up and kept for the whole
// run; it has a choice state (line, day group and direction are chosen) and an
// editing state (the grid is shown, closing is refused). Every cell is checked
// as the cursor leaves it; the checks themselves live in the core
// (core/model/timetable_check.h), this window only wires the grid's events to them.

#include "core/files/file_stamp.h"
#include "core/model/footnotes.h"
#include "core/model/timetable_check.h"
#include "core/model/timetable_file.h"
#include "core/model/timetable_rows.h"
#include "gui/common/lazy_dialog.h"

#include <QDialog>
#include <QList>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QHBoxLayout;
class QMenu;
class QLabel;
class QPainter;
class QRect;
class QPushButton;
class QStatusBar;
class QToolButton;

namespace takton::gui {

class TStringGridView;
class TTimetableHistory;
struct TGridKey;
struct TGridDrawState;

// What the timetable editor asks of the web copy window. The program wires
// it at start-up; the two windows know nothing of each other.
struct TWebCopyLink {
    // Shows the window beside the editor, both usable.
    std::function<void(QWidget *editor)> ShowBeside;
    // Closes the window if it is shown.
    std::function<void()> Close;
    // Lays out the table of a page that names the most stations (see
    // TfmWebCopy::TakePageHtml); whether one was laid out.
    std::function<bool(const std::string &page, bool onlyWhenChosen)> TakePageHtml;
    // The texts of the block selected in the work grid, row by row.
    std::function<std::vector<std::vector<std::string>>()> SelectedBlock;
};

// The window "Betriebstage" for a journey of the open timetable, shown for
// its day group and footnote (empty: none); the program wires it.
struct TOperatingDaysLink {
    std::function<void(QWidget *editor, const std::string &dayGroup, const std::string &footnote)>
        Show;
};

// Printing the open timetable and showing its graph; the program wires them.
struct TPrintLink {
    std::function<void()> Print;
    std::function<void()> Graph;
};

class TfmEditTimeTable : public TLazyDialog {
    Q_OBJECT
  public:
    explicit TfmEditTimeTable(QWidget *parent = nullptr);
    ~TfmEditTimeTable() override;

    TWebCopyLink WebCopy;
    TPrintLink Printing;
    TOperatingDaysLink OperatingDays;

    // The station names of the open timetable's rows, top to bottom (cp1252).
    std::vector<std::string> StationNames();
    // The grid's rows as the timetable file would hold them, saved or not
    // (cp1252).
    std::vector<std::string> GridRowTexts();
    // The journeys' footnotes and night marks as the grid holds them.
    TJourneyMarkList GridJourneyMarks();

    // The save button is shown by the first change of an opened timetable.
    void EditOn();
    void EditOff();

    void btTimeTableEditClick();
    // Opens one timetable in the grid; false when the line has no route, and
    // then the grid stays as it was.
    bool OpenChosenTimetable(const std::string &line, int direction, const std::string &dayGroup);
    void btSaveClick();
    void btCancelClick();
    void sbCopyModeClick();
    // "Zwischenablage einfügen": the block selected in the web copy window's
    // work grid lands at the cursor.
    void sbPasteClick();
    // "HTML Import": the web copy window beside this one, both usable.
    void bbWebCopyClick();

    // Whether the grid is in copy mode: no in-cell editor, no checks.
    bool CopyMode() const;

    // Undo and redo: one step per action that changed the grid.
    void UndoClick();
    void RedoClick();
    // The journey menu: the journey at the cursor.
    void InsertJourneyClick();
    void DeleteJourneyClick();
    void DuplicateJourneyClick();
    void SortJourneysClick();

    // The timetable open in the grid, as chosen at opening (cp1252).
    std::string TimeTableLine;
    std::string TimeTableDayGroup;
    int TimeTableDirection = 1;

    // What the checks keep between key presses and cell changes.
    TTimetableEditState EditState;

  protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

  public slots:
    // The window system's close goes through the close query; Escape on the
    // window closes nothing (a typing planner presses it to take back a cell).
    void reject() override;

  protected:
    void CreateControls() override;

  private:
    // Choice strip
    QWidget *pLineChoice = nullptr;
    QLabel *Label2 = nullptr;
    QComboBox *cbLines = nullptr;
    QLabel *Label4 = nullptr;
    QComboBox *cbDays = nullptr;
    QLabel *Label3 = nullptr;
    QComboBox *cbDirection = nullptr;
    QPushButton *btTimeTableEdit = nullptr;

    // Timetable area
    QWidget *pTimeTableEdit = nullptr;
    QWidget *Panel5 = nullptr;
    QPushButton *bbWebCopy = nullptr;
    QToolButton *sbCopyMode = nullptr;
    QPushButton *sbPaste = nullptr;
    QPushButton *btPrint = nullptr;
    QPushButton *btGraph = nullptr;
    // Which timetable the grid holds: line, direction and day group.
    QLabel *lbTimeTable = nullptr;
    TStringGridView *sgTimeTable = nullptr;
    QWidget *Panel4 = nullptr;
    QPushButton *btSave = nullptr;
    QPushButton *btCancel = nullptr;

    // Undo, redo and the journey actions, with their keys; the journey
    // actions in the menu of the journey header.
    QAction *acUndo = nullptr;
    QAction *acRedo = nullptr;
    QAction *acInsertJourney = nullptr;
    QAction *acDeleteJourney = nullptr;
    QAction *acDuplicateJourney = nullptr;
    QAction *acSortJourneys = nullptr;
    QToolButton *sbUndo = nullptr;
    QToolButton *sbRedo = nullptr;
    QMenu *pmJourney = nullptr;
    TTimetableHistory *History = nullptr;
    // The journey menu's footnotes (one per project footnote and "keine"),
    // the night mark and the journey's operating days.
    QMenu *pmFootnote = nullptr;
    QAction *acNightJourney = nullptr;
    QAction *acOperatingDays = nullptr;

    // Close strip
    QWidget *Panel3 = nullptr;
    QPushButton *btClose = nullptr;
    // Why the last entry was refused.
    QStatusBar *StatusLine = nullptr;

    void FormCreate();
    void FormShow();
    // Whether the window may close: with a timetable open, as "Änderungen
    // verwerfen" decides (asking first when the grid differs from the file).
    bool FormCloseQuery();
    void FormClose();
    // Another line, direction or day group chosen while a saved timetable is
    // open: the grid follows the choice, so that both always agree.
    void ChoiceChanged();

    void CreateChoiceStrip();
    void CreateTimeTableArea();
    void CreateCloseStrip();
    // "Richtung:" names each direction's terminus on the chosen line.
    void FillDirections();
    // "2 → Hauptbahnhof": the direction and its terminus on the line's route.
    static QString DirectionText(int direction, const std::vector<std::string> &stations);

    void sgTimeTableKeyPress(TGridKey &key);
    void sgTimeTableSelectCell(int col, int row, bool &allow);
    void sgTimeTableMouseDown(int col, int row);
    void sgTimeTableColumnMoved();
    void sgTimeTableDrawCell(QPainter &painter, const QRect &rect, int col, int row,
                             const TGridDrawState &state);
    void EnterKey();

    // A station row becomes an arrival and a departure row, and back.
    void SplitStationRow(int row);
    void MergeStationRow(int row);
    // Ctrl+C and Ctrl+V with blocks of cells as tab-separated text; false
    // when the key is left to the in-cell editor (a single cell's text).
    bool CopyBlockKey();
    bool PasteBlockKey();
    // Rows of cp1252 cell texts, each row from the block's left column on.
    using TCellBlock = takton::TCellBlock;
    void PasteBlock(const TCellBlock &block);
    // A change of the current cell's text however it arrived: the text from
    // before is kept for a refusal, and there is something to save.
    void CellTextEdited(const std::string &before);
    // An entry still being typed is checked as leaving the cell would check
    // it; false (beep, the earlier text back) when it is refused. Before a
    // save, a split and a merge.
    bool SettlePendingEntry();

    // The check of the current cell as the cursor leaves it.
    TCheckResult CheckCurrentCell();
    // A refused entry: the beep, and the reason in the status line.
    void Refuse(const TCheckResult &result);
    // Escape while typing puts the cell's text back; else it discards.
    void EscapeKey();
    // Whether the grid holds what the file holds (as opened or last saved).
    bool Unchanged() const;
    // Moves the cursor to (col, row) and then to the first station row of
    // the column it reached.
    void MoveThenToFirstRow(int col, int row);
    // Back to the choice state; the grid keeps its cells, hidden.
    void ShowChoiceState();
    void ShowEditingState();
    // The timetable stays open with nothing left to save: another one can be
    // chosen and the window closed, until the next change.
    void ShowSavedState();

    // The row texts the file holds for the open timetable.
    std::vector<std::string> fileRows_;

    // Undo, redo and the journey actions (edit_timetable_undo.cpp).
    void CreateUndoControls(QHBoxLayout &tools);
    // What an action changed becomes one undo step; the save button shows.
    void RecordStep(const QString &text, int col, int row);
    void ResetHistory();
    void StepApplied(int col, int row);
    void ShowHistoryState();
    bool DropPendingTyping();
    // The keys of undo, redo, the journey actions and Delete on a block;
    // true when the key was one of them.
    bool HistoryOrJourneyKey(const TGridKey &key);
    bool DeleteBlockKey(const TGridKey &key);
    bool JourneyHeaderClick(Qt::MouseButton button, int col, int row);
    bool JourneyActionReady();
    void JourneysChanged(const QString &text, int col);
    void RefuseJourneyAction(const QString &reason);
    bool savedSinceOpening_ = false;
    // Set while the program fills the choice boxes itself.
    bool fillingChoices_ = false;
    // The cursor goes to an undone step's cell without a check.
    bool movingWithoutCheck_ = false;
    // The timetable file as it was read, to tell a change by someone else.
    TFileStamp fileStamp_;

    // Journey marks (edit_timetable_marks.cpp): the footnote and the night
    // mark of the journey at the cursor, shown in the second header row.
    void CreateMarkControls();
    void FillFootnoteMenu();
    void SetJourneyFootnote(const std::string &symbol);
    void NightJourneyClick(bool on);
    // One undo step named step: the journey at the cursor changed as told.
    void ChangeJourneyMarks(const QString &step,
                            const std::function<void(TJourneyMarks &)> &change);
    void OperatingDaysClick();
    void LoadJourneyMarks(const TTimetableFile &file, const std::string &section);
    void DrawJourneyMarks(QPainter &painter, const QRect &rect, int col);
    // The project's footnotes, read when a timetable opens.
    TFootnoteList footnotes_;
    TJourneyMarkList fileMarks_;
};

} // namespace takton::gui
