// Undo and redo in the timetable editor and the journey actions, worked with
// real keys, clicks and the header's menu on a copy of the demo project; the
// saved file is checked row by row.

#include "app/app_windows.h"
#include "app/main_window.h"
#include "core/model/timetable_file.h"
#include "gui/common/string_grid_view.h"
#include "gui/timetable/edit_timetable.h"
#include "render/qt_text.h"
#include "support/controls.h"
#include "support/gui_fixture.h"
#include "support/timetable_steps.h"
#include "support/window_steps.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

using namespace takton;
using namespace takton::gui;
using namespace takton::testing;

namespace {

// The first station row across journeys 1 to count.
QStringList FirstRow(int count) {
    QStringList texts;
    for (int col = 2; col < 2 + count; ++col)
        texts << Cell(col, 2);
    return texts;
}

void Click(QAbstractButton *button) {
    QVERIFY2(button->isVisible(), qPrintable(button->objectName()));
    QVERIFY2(button->isEnabled(), qPrintable(button->objectName()));
    QTest::mouseClick(button, Qt::LeftButton);
}

// Line 1 on Sundays, direction 1: six stations, journeys at 09:15, 10:15 and
// 11:15 from the first station.
void OpenSunday() {
    Choose(Control<QComboBox>(fmEditTimeTable, "cbLines"), "1");
    Choose(Control<QComboBox>(fmEditTimeTable, "cbDays"), "So");
    Choose(Control<QComboBox>(fmEditTimeTable, "cbDirection"), "1");
    Click(Control<QPushButton>(fmEditTimeTable, "btTimeTableEdit"));
    QVERIFY(Control<QWidget>(fmEditTimeTable, "pTimeTableEdit")->isVisible());
}

void Undo() {
    Key(Qt::Key_Z, Qt::ControlModifier);
}

// Right click on the journey's header, then the menu entry of this caption.
void JourneyMenu(int col, const QString &caption) {
    ClickCell(col, 0, Qt::RightButton);
    QMenu *menu = Control<QMenu>(fmEditTimeTable, "pmJourney");
    QVERIFY(menu->isVisible());
    for (QAction *action : menu->actions())
        if (action->text() == caption) {
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
            QVERIFY(!menu->isVisible());
            return;
        }
    QFAIL(qPrintable(caption));
}

bool SaveShown() {
    return Control<QPushButton>(fmEditTimeTable, "btSave")->isVisible();
}

// The rows of the Sunday section as the file holds them (cp1252 decoded).
QStringList SavedRows() {
    const TTimetableFile file(TimetablePath(OpenProject().ProjectDir, "1"));
    QStringList rows;
    for (const std::string &row : file.ReadRows("1_So"))
        rows << FromCp1252(row);
    return rows;
}

QString Row(const char *utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace

class TimetableUndoTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        fx = std::make_unique<GuiFixture>();
        OpenDemoInTimetableEditor(*fx);
    }
    void cleanup() { fx.reset(); }

    void threeEntriesUndoneTwiceRedoneOnceAreSavedExactly() {
        OpenSunday();
        QVERIFY(!Control<QToolButton>(fmEditTimeTable, "sbUndo")->isEnabled());
        ClickCell(5, 2);
        Enter("1215");
        Enter("18");
        Enter("20");
        QCOMPARE(Column(5).mid(0, 4), QStringList({"12:15", "12:18", "12:20", ""}));

        // Each undo takes one entry back and puts the cursor on its cell.
        Undo();
        QCOMPARE(Column(5).mid(0, 3), QStringList({"12:15", "12:18", ""}));
        QCOMPARE(Cursor(), QPoint(5, 4));
        Undo();
        QCOMPARE(Column(5).mid(0, 3), QStringList({"12:15", "", ""}));
        QCOMPARE(Cursor(), QPoint(5, 3));
        Key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(Column(5).mid(0, 3), QStringList({"12:15", "12:18", ""}));
        QCOMPARE(Cursor(), QPoint(5, 3));
        QCOMPARE(Grid().Editor()->text(), QString("12:18"));
        // Nothing was checked again: no beep, no question.
        QCOMPARE(fx->dialogs->log(), QStringList());

        Click(Control<QPushButton>(fmEditTimeTable, "btSave"));
        QCOMPARE(SavedRows(), QStringList({
                                  Row("Hauptbahnhof,09:15,10:15,11:15,12:15"),
                                  Row("Marktplatz,09:18,10:18,11:18,12:18"),
                                  Row("Rathaus,09:20,10:20,11:20"),
                                  Row("Schloßpark,09:23,10:23,11:23"),
                                  Row("Mühlenweg,09:26,10:26,11:26"),
                                  Row("Südfriedhof,09:29,10:29,11:29"),
                              }));
        QVERIFY(!SaveShown());

        // Undo after the save shows the save button; redo back to the saved
        // state hides it, and another timetable may be chosen again.
        Undo();
        QVERIFY(SaveShown());
        QVERIFY(!Control<QWidget>(fmEditTimeTable, "pLineChoice")->isEnabled());
        QCOMPARE(Cell(5, 3), QString());
        Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(Cell(5, 3), QString("12:18"));
        QVERIFY(!SaveShown());
        QVERIFY(Control<QWidget>(fmEditTimeTable, "pLineChoice")->isEnabled());

        // The tool strip's buttons do the same. A new entry after an undo
        // drops the step that could have been redone.
        Click(Control<QToolButton>(fmEditTimeTable, "sbUndo"));
        Click(Control<QToolButton>(fmEditTimeTable, "sbUndo"));
        QCOMPARE(Column(5).mid(0, 2), QStringList({"", ""}));
        QVERIFY(Control<QToolButton>(fmEditTimeTable, "sbRedo")->isEnabled());
        ClickCell(5, 2);
        Enter("1230");
        QVERIFY(!Control<QToolButton>(fmEditTimeTable, "sbRedo")->isEnabled());
        Key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(Column(5).mid(0, 2), QStringList({"12:30", ""}));

        // Typing not yet accepted goes first, then the steps.
        QTest::keyClicks(Focused(), "35");
        QCOMPARE(Cell(5, 3), QString("35"));
        Undo();
        QCOMPARE(Column(5).mid(0, 2), QStringList({"12:30", ""}));
        Undo();
        QCOMPARE(Column(5).mid(0, 2), QStringList({"", ""}));
        QCOMPARE(Cursor(), QPoint(5, 2));
        Click(Control<QPushButton>(fmEditTimeTable, "btSave"));
        QCOMPARE(SavedRows().mid(0, 2), QStringList({Row("Hauptbahnhof,09:15,10:15,11:15"),
                                                     Row("Marktplatz,09:18,10:18,11:18")}));

        // Discarding forgets every step: after reopening there is nothing to undo.
        ClickCell(2, 2);
        Enter("0916");
        QVERIFY(Control<QToolButton>(fmEditTimeTable, "sbUndo")->isEnabled());
        fx->dialogs->setNextAnswer(Answer::Yes);
        Click(Control<QPushButton>(fmEditTimeTable, "btCancel"));
        OpenSunday();
        QVERIFY(!Control<QToolButton>(fmEditTimeTable, "sbUndo")->isEnabled());
        Undo();
        QCOMPARE(Cell(2, 2), QString("09:15"));
        QVERIFY(!SaveShown());
    }

    void aFillIsUndoneInOneStep() {
        OpenSunday();
        // An interval right of journey 3, for all further stations, with Enter
        // on to journey 5.
        ClickCell(5, 2);
        fx->dialogs->setNextAnswer(Answer::Yes);
        Enter("a60");
        QCOMPARE(Column(5), QStringList(6, "60 Min"));
        QCOMPARE(Cursor(), QPoint(6, 2));
        Undo();
        QCOMPARE(Column(5), QStringList(6, QString()));
        QCOMPARE(Cursor(), QPoint(5, 2));
        QVERIFY(!SaveShown());
        Key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(Column(5), QStringList(6, "60 Min"));

        // A journey copy without Enter: the cursor stays with a beep, and one
        // undo empties every copied cell.
        ClickCell(7, 2);
        Enter("1230");
        QTest::keyClicks(Focused(), "=1");
        Key(Qt::Key_Down);
        QCOMPARE(Column(7), QStringList({"12:30", "12:33", "12:35", "12:38", "12:41", "12:44"}));
        Undo();
        QCOMPARE(Column(7), QStringList({"12:30", "", "", "", "", ""}));
        // The next move checks the cell again as usual: empty is fine.
        Key(Qt::Key_Down);
        QCOMPARE(Cursor(), QPoint(7, 4));
        Undo();
        QCOMPARE(Column(7), QStringList(6, QString()));
        Click(Control<QPushButton>(fmEditTimeTable, "btSave"));
        QCOMPARE(SavedRows().first(), Row("Hauptbahnhof,09:15,10:15,11:15,60 Min"));
    }

    void sortingPutsAnEarlyJourneyAddedAtTheEndFirst() {
        OpenSunday();
        // Journey 4 runs before all others; an interval stands between
        // journeys 2 and 3 after journey 2 was moved one to the right.
        ClickCell(5, 2);
        for (const char *entry : {"0815", "18", "20", "23", "26", "29"})
            Enter(entry);
        JourneyMenu(3, "Fahrt einfügen");
        QCOMPARE(FirstRow(5), QStringList({"09:15", "", "10:15", "11:15", "08:15"}));
        ClickCell(3, 2);
        fx->dialogs->setNextAnswer(Answer::Yes);
        Enter("a60");
        QCOMPARE(Column(3), QStringList(6, "60 Min"));

        JourneyMenu(6, "Fahrten nach Abfahrt sortieren");
        QCOMPARE(FirstRow(6), QStringList({"08:15", "09:15", "60 Min", "10:15", "11:15", ""}));
        QCOMPARE(Column(2), QStringList({"08:15", "08:18", "08:20", "08:23", "08:26", "08:29"}));
        QCOMPARE(Cell(2, 0), QString("1"));
        QCOMPARE(Cell(6, 0), QString("5"));
        Click(Control<QPushButton>(fmEditTimeTable, "btSave"));
        QCOMPARE(SavedRows().first(), Row("Hauptbahnhof,08:15,09:15,60 Min,10:15,11:15"));
        QCOMPARE(SavedRows().last(), Row("Südfriedhof,08:29,09:29,60 Min,10:29,11:29"));

        // One step back: the order before the sort.
        Undo();
        QCOMPARE(FirstRow(6), QStringList({"09:15", "60 Min", "10:15", "11:15", "08:15", ""}));
        QVERIFY(SaveShown());
        // Sorting by its key: a new step, so the saved state is no step away.
        Key(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(FirstRow(6), QStringList({"08:15", "09:15", "60 Min", "10:15", "11:15", ""}));
        QVERIFY(SaveShown());
        QVERIFY(!Control<QToolButton>(fmEditTimeTable, "sbRedo")->isEnabled());
    }

    void journeysAreInsertedDuplicatedAndDeletedByKeys() {
        OpenSunday();
        ClickCell(3, 4);
        Key(Qt::Key_Plus, Qt::ControlModifier);
        QCOMPARE(FirstRow(4), QStringList({"09:15", "", "10:15", "11:15"}));
        QVERIFY(SaveShown());
        QCOMPARE(Cursor(), QPoint(3, 4));

        ClickCell(4, 2);
        Key(Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(FirstRow(5), QStringList({"09:15", "", "10:15", "10:15", "11:15"}));
        QCOMPARE(Column(5), Column(4));

        // Deleting asks first; "&Nein" keeps the journey.
        ClickCell(2, 3);
        Key(Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(fx->dialogs->questions(), QStringList({Row("Bestätigung:Fahrt 1 löschen?")}));
        QCOMPARE(FirstRow(2), QStringList({"09:15", ""}));
        fx->dialogs->setNextAnswer(Answer::Yes);
        Key(Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(FirstRow(5), QStringList({"", "10:15", "10:15", "11:15", ""}));

        // The menu deletes the journey it was opened on.
        fx->dialogs->setNextAnswer(Answer::Yes);
        JourneyMenu(2, Row("Fahrt löschen"));
        QCOMPARE(fx->dialogs->questions().last(), Row("Bestätigung:Fahrt 1 löschen?"));
        QCOMPARE(FirstRow(4), QStringList({"10:15", "10:15", "11:15", ""}));
        JourneyMenu(3, "Fahrt duplizieren");
        QCOMPARE(FirstRow(5), QStringList({"10:15", "10:15", "10:15", "11:15", ""}));

        // Five actions, five steps back to the file's timetable.
        for (int step = 0; step < 5; ++step)
            Undo();
        QCOMPARE(FirstRow(4), QStringList({"09:15", "10:15", "11:15", ""}));
        QVERIFY(!SaveShown());
        QVERIFY(!Control<QToolButton>(fmEditTimeTable, "sbUndo")->isEnabled());

        // A journey in the last place has no room to move right.
        ClickCell(2, 2);
        Grid().Grid().SetCell(511, 2, "23:00");
        Key(Qt::Key_Plus, Qt::ControlModifier);
        QCOMPARE(fx->dialogs->beeps(), 1);
        QVERIFY(Control<QStatusBar>(fmEditTimeTable, "StatusLine")
                    ->currentMessage()
                    .startsWith("Kein Platz"));
        QCOMPARE(FirstRow(2), QStringList({"09:15", "10:15"}));
    }

    void deleteEmptiesASelectedBlockAndSplitsAreSteps() {
        OpenSunday();
        ClickCell(3, 3);
        Key(Qt::Key_Right, Qt::ShiftModifier);
        Key(Qt::Key_Down, Qt::ShiftModifier);
        Key(Qt::Key_Delete);
        QCOMPARE(Column(3), QStringList({"10:15", "", "", "10:23", "10:26", "10:29"}));
        QCOMPARE(Column(4), QStringList({"11:15", "", "", "11:23", "11:26", "11:29"}));
        QCOMPARE(Column(2).at(1), QString("09:18"));
        QVERIFY(SaveShown());
        QCOMPARE(fx->dialogs->beeps(), 0);
        // Leaving the emptied cells checks nothing that could refuse.
        Key(Qt::Key_Up);
        QCOMPARE(Cursor(), QPoint(3, 2));
        Undo();
        QCOMPARE(Column(3), QStringList({"10:15", "10:18", "10:20", "10:23", "10:26", "10:29"}));
        QCOMPARE(Column(4).mid(1, 2), QStringList({"11:18", "11:20"}));
        QCOMPARE(Cursor(), QPoint(3, 3));
        QVERIFY(!SaveShown());

        // Delete on a single cell is the editor's: one character goes.
        Key(Qt::Key_Home);
        Key(Qt::Key_Delete);
        QCOMPARE(Cell(3, 3), QString("0:18"));
        Key(Qt::Key_Escape);

        // A split with the same values, undone in one step.
        fx->dialogs->setNextAnswer(Answer::Yes);
        ClickCell(0, 4);
        QCOMPARE(Grid().Grid().RowCount(), 9);
        QCOMPARE(Column(2).mid(2, 2), QStringList({"09:20", "09:20"}));
        Undo();
        QCOMPARE(Grid().Grid().RowCount(), 8);
        QCOMPARE(Column(2), QStringList({"09:15", "09:18", "09:20", "09:23", "09:26", "09:29"}));
        QCOMPARE(Cell(0, 4), QString("+"));
        QVERIFY(!SaveShown());
        Key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(Cell(0, 4), QString("-"));
        Click(Control<QPushButton>(fmEditTimeTable, "btSave"));
        QCOMPARE(SavedRows().size(), 7);
        QCOMPARE(SavedRows().at(2), Row("Rathaus,09:20,10:20,11:20"));
    }

    void aPastedBlockAndADraggedJourneyAreOneStepEach() {
        OpenSunday();
        ClickCell(5, 3);
        QApplication::clipboard()->setText("12:18\t13:18\n12:20\t13:20\n");
        Key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(Column(5).mid(0, 3), QStringList({"", "12:18", "12:20"}));
        QCOMPARE(Column(6).mid(0, 3), QStringList({"", "13:18", "13:20"}));
        QCOMPARE(Cursor(), QPoint(7, 2));
        Undo();
        QCOMPARE(Column(5), QStringList(6, QString()));
        QCOMPARE(Column(6), QStringList(6, QString()));
        QCOMPARE(Cursor(), QPoint(5, 3));
        QVERIFY(!SaveShown());

        // Journey 3 dragged before journey 1, and back by undo; the header
        // numbers the places either way.
        DragHeader(4, 2);
        QCOMPARE(FirstRow(3), QStringList({"11:15", "09:15", "10:15"}));
        QCOMPARE(Cell(2, 0), QString("1"));
        QVERIFY(SaveShown());
        Undo();
        QCOMPARE(FirstRow(3), QStringList({"09:15", "10:15", "11:15"}));
        QCOMPARE(Cell(4, 0), QString("3"));
        QVERIFY(!SaveShown());
        Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(FirstRow(3), QStringList({"11:15", "09:15", "10:15"}));
        Click(Control<QPushButton>(fmEditTimeTable, "btSave"));
        QCOMPARE(SavedRows().first(), Row("Hauptbahnhof,11:15,09:15,10:15"));
    }

  private:
    std::unique_ptr<GuiFixture> fx;
};

TAKTON_GUI_TEST_MAIN(TimetableUndoTest)
#include "test_timetable_undo.moc"
