// The timetable editor as a planner works it, on a copy of the demo project:
// choosing and opening a timetable, typing times in the shorthand with real
// keys, the refusals with their beep, saving the exact rows, discarding, copy
// mode, Escape that takes back one cell and never more, and the close that asks.

#include "app/main_window.h"
#include "core/model/timetable_file.h"
#include "core/util/cp1252.h"
#include "gui/common/string_grid_view.h"
#include "gui/timetable/edit_timetable.h"
#include "gui/webcopy/web_copy.h"
#include "render/qt_text.h"
#include "support/controls.h"
#include "support/gui_fixture.h"
#include "support/timetable_steps.h"
#include "support/window_steps.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

using namespace takton;
using namespace takton::gui;
using namespace takton::testing;

namespace {

const QString kFillQuestion = QStringLiteral("Bestätigung:Für alle weiteren Stationen übernehmen?");

void Click(QAbstractButton *button) {
    QVERIFY(button->isVisible());
    QVERIFY(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
}

// Chooses a timetable and opens it; with a saved timetable open, the choice
// alone opens it.
void Open(const QString &line, const QString &days, const QString &direction) {
    Choose(Control<QComboBox>(fmEditTimeTable, "cbLines"), line);
    Choose(Control<QComboBox>(fmEditTimeTable, "cbDays"), days);
    Choose(Control<QComboBox>(fmEditTimeTable, "cbDirection"), direction);
    if (!Control<QWidget>(fmEditTimeTable, "pTimeTableEdit")->isVisible() ||
        Control<QPushButton>(fmEditTimeTable, "btTimeTableEdit")->isEnabled())
        Click(Control<QPushButton>(fmEditTimeTable, "btTimeTableEdit"));
    QVERIFY(Control<QWidget>(fmEditTimeTable, "pTimeTableEdit")->isVisible());
    QCOMPARE(fmEditTimeTable->TimeTableLine, gui::ToCp1252Lossy(line));
    QCOMPARE(fmEditTimeTable->TimeTableDayGroup, gui::ToCp1252Lossy(days));
}

QString Status() {
    return Control<QStatusBar>(fmEditTimeTable, "StatusLine")->currentMessage();
}

void ClickMarker(int row) {
    const QRect rect = Grid().CellRect(0, row);
    QVERIFY2(!rect.isEmpty(), "marker out of sight");
    QTest::mouseClick(Grid().viewport(), Qt::LeftButton, {}, rect.center());
}

QStringList Header() {
    QStringList texts;
    for (int col = 2; col < 12; ++col)
        texts << Cell(col, 0);
    return texts;
}

// The colour of a cell's pixel away from its text, dy from its top edge.
QColor PixelOf(const QImage &image, int col, int row, int dy) {
    const QRect rect = Grid().CellRect(col, row);
    return image.pixelColor(rect.right() - 3, rect.top() + dy);
}

QImage Picture() {
    return Grid().viewport()->grab().toImage();
}

bool Editing() {
    return Control<QWidget>(fmEditTimeTable, "pTimeTableEdit")->isVisible();
}

QStringList Latin(std::initializer_list<const char *> rows) {
    QStringList list;
    for (const char *row : rows)
        list << QString::fromUtf8(row);
    return list;
}

// Opens the in-cell editor's context menu and chooses the action of this
// caption ("Paste", "Undo", "Delete").
void ContextMenuAction(const char *action) {
    QLineEdit *editor = Grid().Editor();
    const QPoint pos = editor->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, editor->mapToGlobal(pos));
    QApplication::sendEvent(editor, &event);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY2(menu, "no context menu");
    bool triggered = false;
    for (QAction *item : menu->actions())
        if (item->text().section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&')) ==
                QLatin1String(action) &&
            item->isEnabled()) {
            item->trigger();
            triggered = true;
        }
    menu->close();
    QVERIFY2(triggered, action);
}

// Drops a text onto the in-cell editor as a drag from another program would.
void DropText(const QString &text) {
    QLineEdit *editor = Grid().Editor();
    QMimeData data;
    data.setText(text);
    const QPointF pos = editor->rect().center();
    QDragEnterEvent enter(pos.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(editor, &enter);
    QDropEvent drop(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(editor, &drop);
}

// Selects a block of the web copy window's work grid, as its mouse would.
void SelectWorkBlock(const std::vector<std::vector<std::string>> &rows) {
    fmWebCopy->EnsureControls();
    TStringGrid &work = Control<TStringGridView>(fmWebCopy, "sgWorkGrid")->Grid();
    work.SetRowCount(static_cast<int>(rows.size()) + 1);
    work.SetColCount(static_cast<int>(rows.front().size()) + 1);
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            work.SetCell(static_cast<int>(c) + 1, static_cast<int>(r) + 1, rows[r][c]);
    work.SetCurrent(1, 1);
    work.SetSelection({1, 1, static_cast<int>(rows.front().size()), static_cast<int>(rows.size())});
    Control<TStringGridView>(fmWebCopy, "sgWorkGrid")->Refresh();
}

} // namespace

class EditTimeTableTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        fx = std::make_unique<GuiFixture>();
        OpenDemoInTimetableEditor(*fx);
        timetable = fx->path("demo/line_1.ttd");
    }
    void cleanup() { fx.reset(); }

    void choiceStripOffersTheProjectsLinesAndDayGroups() {
        auto items = [](QComboBox *box) {
            QStringList texts;
            for (int i = 0; i < box->count(); ++i)
                texts << box->itemText(i);
            return texts;
        };
        QCOMPARE(items(Control<QComboBox>(fmEditTimeTable, "cbLines")), QStringList({"1", "5"}));
        QCOMPARE(items(Control<QComboBox>(fmEditTimeTable, "cbDays")),
                 QStringList({"Mo-Fr", "Sa", "So"}));
        QCOMPARE(items(Control<QComboBox>(fmEditTimeTable, "cbDirection")),
                 QStringList({QString::fromUtf8("1 → Südfriedhof"), "2 → Hauptbahnhof"}));
        // The entries follow the chosen line; the chosen direction stays.
        Control<QComboBox>(fmEditTimeTable, "cbDirection")->setCurrentIndex(1);
        Choose(Control<QComboBox>(fmEditTimeTable, "cbLines"), "5");
        QCOMPARE(items(Control<QComboBox>(fmEditTimeTable, "cbDirection")),
                 QStringList({QString::fromUtf8("1 → Weißer Hirsch"),
                              QString::fromUtf8("2 → Am Gänseanger")}));
        QCOMPARE(Control<QComboBox>(fmEditTimeTable, "cbDirection")->currentIndex(), 1);
        Control<QComboBox>(fmEditTimeTable, "cbDirection")->setCurrentIndex(0);
        Choose(Control<QComboBox>(fmEditTimeTable, "cbLines"), "1");
        QCOMPARE(Control<QComboBox>(fmEditTimeTable, "cbLines")->currentText(), QString("1"));
        QVERIFY(!Editing());
        QVERIFY(Control<QPushButton>(fmEditTimeTable, "btClose")->isVisible());

        // Lines are offered in natural order; the file keeps its own.
        fmEditTimeTable->hide();
        const QByteArray lines = "10\r\n2\r\nN 5\r\n1\r\n5\r\n";
        takton::testing::WriteBytes(fx->path("demo/lines.csv"), lines);
        fmEditTimeTable->show();
        QCOMPARE(items(Control<QComboBox>(fmEditTimeTable, "cbLines")),
                 QStringList({"1", "2", "5", "10", "N 5"}));
        QCOMPARE(takton::testing::ReadBytes(fx->path("demo/lines.csv")), lines);

        // A missing master-data file: the message, and the boxes keep their entries.
        fmEditTimeTable->hide();
        QFile::remove(fx->path("demo/station_lines.csv"));
        fmEditTimeTable->show();
        QCOMPARE(fx->dialogs->messages(),
                 QStringList({"Es konnten nicht alle zugehörigen Dateien gefunden werden!"}));
        QCOMPARE(items(Control<QComboBox>(fmEditTimeTable, "cbLines")),
                 QStringList({"1", "2", "5", "10", "N 5"}));
        // Without the reverse index nothing opens, and nothing is said.
        Click(Control<QPushButton>(fmEditTimeTable, "btTimeTableEdit"));
        QVERIFY(!Editing());
        QCOMPARE(fx->dialogs->log().size(), 1);
    }

    void openingShowsTheStoredTimetableAndEscapeTakesBackOneCell() {
        Open("1", "Mo-Fr", "1");
        QVERIFY(Editing());
        QVERIFY(!Control<QWidget>(fmEditTimeTable, "pLineChoice")->isEnabled());
        QVERIFY(!Control<QPushButton>(fmEditTimeTable, "btClose")->isVisible());
        QVERIFY(!Control<QPushButton>(fmEditTimeTable, "btSave")->isVisible());
        QCOMPARE(Grid().Grid().RowCount(), 8);
        QCOMPARE(Grid().Grid().ColCount(), 512);
        QCOMPARE(Cell(1, 1), QString("Stationen"));
        QCOMPARE(Cell(2, 0), QString("1"));
        QCOMPARE(Cell(511, 0), QString("510"));
        QCOMPARE(Column(1), Latin({"Hauptbahnhof", "Marktplatz", "Rathaus", "Schloßpark",
                                   "Mühlenweg", "Südfriedhof"}));
        QCOMPARE(Column(0), QStringList({"+", "+", "+", "+", "+", "+"}));
        QCOMPARE(Column(2), QStringList({"05:10", "05:13", "05:15", "05:18", "05:21", "05:24"}));
        QCOMPARE(Cursor(), QPoint(2, 2));

        // Escape while typing puts the cell's text back and nothing else.
        const QByteArray before = ReadBytes(timetable);
        Type("0600");
        QCOMPARE(Cell(2, 2), QString("0600"));
        QVERIFY(Control<QPushButton>(fmEditTimeTable, "btSave")->isVisible());
        Key(Qt::Key_Escape);
        QCOMPARE(Cell(2, 2), QString("05:10"));
        QCOMPARE(Grid().Editor()->text(), QString("05:10"));
        QVERIFY(Editing());
        // "Änderungen verwerfen" asks first while the grid differs from the
        // file, with the harmless "&Nein" as its default: the timetable stays.
        Enter("0511");
        Click(Control<QPushButton>(fmEditTimeTable, "btCancel"));
        QCOMPARE(fx->dialogs->log().filter("Ungespeicherte"),
                 QStringList({QString::fromUtf8(
                     "confirm:Bestätigung:Ungespeicherte Änderungen verwerfen?")}));
        QVERIFY(Editing());
        QCOMPARE(Cell(2, 2), QString("05:11"));
        // Discarding returns to the choice state and touches no file.
        fx->dialogs->setNextAnswer(Answer::Yes);
        Click(Control<QPushButton>(fmEditTimeTable, "btCancel"));
        QCOMPARE(fx->dialogs->questions().size(), 2);
        QVERIFY(!Editing());
        QVERIFY(Control<QWidget>(fmEditTimeTable, "pLineChoice")->isEnabled());
        QCOMPARE(ReadBytes(timetable), before);
        fmEditTimeTable->close();
        QVERIFY(!fmEditTimeTable->isVisible());
    }

    void escapeNeverDiscardsAndTheTitleBarCloseAsksFirst() {
        Open("1", "Mo-Fr", "1");
        const QByteArray before = ReadBytes(timetable);
        Enter("0511");
        Enter("15");
        // A click on a filled cell selects its text; Escape there, then the
        // Enter a typing planner presses next: no question, every change kept.
        ClickCell(4, 3);
        QVERIFY(Grid().Editor()->hasSelectedText());
        Key(Qt::Key_Escape);
        Key(Qt::Key_Return);
        Key(Qt::Key_Escape);
        Key(Qt::Key_Escape);
        QVERIFY(fx->dialogs->questions().isEmpty());
        QVERIFY(Editing());
        QCOMPARE(Column(2).mid(0, 2), QStringList({"05:11", "05:15"}));
        QVERIFY(Control<QPushButton>(fmEditTimeTable, "btSave")->isVisible());
        // Escape on the window's own controls closes nothing either.
        Control<QPushButton>(fmEditTimeTable, "btSave")->setFocus();
        QTest::keyClick(Control<QPushButton>(fmEditTimeTable, "btSave"), Qt::Key_Escape);
        QVERIFY(fmEditTimeTable->isVisible());
        QVERIFY(fx->dialogs->questions().isEmpty());

        // The title bar's close asks as "Änderungen verwerfen" does: "&Nein"
        // (the default) keeps the window and the grid.
        fmEditTimeTable->close();
        QCOMPARE(
            fx->dialogs->questions(),
            QStringList({QString::fromUtf8("Bestätigung:Ungespeicherte Änderungen verwerfen?")}));
        QVERIFY(fmEditTimeTable->isVisible());
        QCOMPARE(Cell(2, 2), QString("05:11"));
        // Saved, the window closes without a question; so it does after "&Ja".
        Click(Control<QPushButton>(fmEditTimeTable, "btSave"));
        QVERIFY(ReadBytes(timetable).contains("Hauptbahnhof,05:11"));
        fmEditTimeTable->close();
        QVERIFY(!fmEditTimeTable->isVisible());
        QCOMPARE(fx->dialogs->questions().size(), 1);
        fmEditTimeTable->show();
        Open("1", "Mo-Fr", "1");
        Enter("0600");
        fx->dialogs->setNextAnswer(Answer::Yes);
        fmEditTimeTable->close();
        QVERIFY(!fmEditTimeTable->isVisible());
        QVERIFY(!ReadBytes(timetable).contains("Hauptbahnhof,06:00"));
        QVERIFY(ReadBytes(timetable) != before);
    }

    void typedShorthandIsCheckedAndSavedAsExactRows() {
        Open("1", "Mo-Fr", "1");
        const QByteArray before = ReadBytes(timetable);
        // Journey 9 below the last stored one: a full time, minutes, an
        // offset, a time with a dot, minutes into the next hour, an offset in
        // the last row; Enter then goes on to journey 10, first station.
        ClickCell(10, 2);
        Enter("0750");
        Enter("53");
        Enter("+2");
        Enter("7.58");
        Enter("1");
        Enter("+3");
        QCOMPARE(Column(10), QStringList({"07:50", "07:53", "07:55", "07:58", "08:01", "08:04"}));
        QCOMPARE(Cursor(), QPoint(11, 2));

        // Journey 10 is an interval for every station; Enter goes on.
        fx->dialogs->setNextAnswer(Answer::Yes);
        Enter("a20");
        QCOMPARE(fx->dialogs->questions(), QStringList({kFillQuestion}));
        QCOMPARE(Column(11), QStringList(6, "20 Min"));
        QCOMPARE(Cursor(), QPoint(12, 2));

        // Journey 11 keeps the interval and copies journey 9 from the second
        // station on; Enter goes on to journey 12.
        Enter("0810");
        Enter("=9");
        QCOMPARE(Column(12), QStringList({"08:10", "08:13", "08:15", "08:18", "08:21", "08:24"}));
        QCOMPARE(Cursor(), QPoint(13, 2));

        // Journey 12 runs like journey 3, 160 minutes later.
        Enter("0830");
        Enter("=3");
        QCOMPARE(Column(13), QStringList({"08:30", "08:33", "08:35", "08:38", "08:41", "08:44"}));
        QCOMPARE(Cursor(), QPoint(14, 2));
        QCOMPARE(fx->dialogs->beeps(), 0);
        QCOMPARE(ReadBytes(timetable), before);

        // Saved, the timetable stays open with nothing to save; another one
        // can be chosen and the window closed until the next change.
        Click(Control<QPushButton>(fmEditTimeTable, "btSave"));
        QVERIFY(Editing());
        QVERIFY(!Control<QPushButton>(fmEditTimeTable, "btSave")->isVisible());
        QVERIFY(Control<QPushButton>(fmEditTimeTable, "btClose")->isVisible());
        QVERIFY(Control<QWidget>(fmEditTimeTable, "pLineChoice")->isEnabled());
        QVERIFY(Control<QPushButton>(fmEditTimeTable, "btTimeTableEdit")->isEnabled());
        const TTimetableFile file(timetable.toStdString());
        const std::vector<std::string> expected = {
            Cp1252("Hauptbahnhof,05:10,05:30,05:50,06:10,06:30,06:50,07:10,07:30,07:50,20 "
                   "Min,08:10,08:30"),
            Cp1252("Marktplatz,05:13,05:33,05:53,06:13,06:33,06:53,07:13,07:33,07:53,20 "
                   "Min,08:13,08:33"),
            Cp1252("Rathaus,05:15,05:35,05:55,06:15,06:35,06:55,07:15,07:35,07:55,20 "
                   "Min,08:15,08:35"),
            Cp1252("Schloßpark,05:18,05:38,05:58,06:18,06:38,06:58,07:18,07:38,07:58,20 "
                   "Min,08:18,08:38"),
            Cp1252("Mühlenweg,05:21,05:41,06:01,06:21,06:41,07:01,07:21,07:41,08:01,20 "
                   "Min,08:21,08:41"),
            Cp1252("Südfriedhof,05:24,05:44,06:04,06:24,06:44,07:04,07:24,07:44,08:04,20 "
                   "Min,08:24,08:44")};
        QVERIFY(file.ReadRows("1_Mo-Fr") == expected);
        // The section is rewritten at the end of the file, the others stay.
        QByteArray tail = "[1_Mo-Fr]\r\n";
        for (std::size_t i = 0; i < expected.size(); ++i)
            tail += QByteArray::number(int(i) + 1) + "=" + QByteArray::fromStdString(expected[i]) +
                    "\r\n";
        const QByteArray after = ReadBytes(timetable);
        QVERIFY(after.endsWith(tail));
        WriteBytes(fx->path("before.ttd"), before);
        const TTimetableFile original(fx->path("before.ttd").toStdString());
        for (const char *section : {"2_Mo-Fr", "1_Sa"})
            QVERIFY(file.ReadRows(section) == original.ReadRows(section));

        // Typing on locks the choice again; taken back with Escape, the
        // timetable is discarded without a question.
        Type("9");
        QVERIFY(!Control<QPushButton>(fmEditTimeTable, "btClose")->isVisible());
        QVERIFY(!Control<QWidget>(fmEditTimeTable, "pLineChoice")->isEnabled());
        Key(Qt::Key_Escape);
        Key(Qt::Key_Escape);
        QVERIFY(Editing());
        Click(Control<QPushButton>(fmEditTimeTable, "btCancel"));
        QVERIFY(!Editing());
        QCOMPARE(fx->dialogs->questions().size(), 1);
    }

    void refusedEntriesBeepAndGetTheirTextBack() {
        Open("1", "Mo-Fr", "1");
        // Minutes beyond the hour, then letters: each refused with a beep, and
        // the cell shows what it held before the first key.
        ClickCell(3, 3);
        Enter("99");
        QCOMPARE(fx->dialogs->beeps(), 1);
        QCOMPARE(Cell(3, 3), QString("05:33"));
        QCOMPARE(Cursor(), QPoint(3, 3));
        QCOMPARE(Grid().Editor()->text(), QString("05:33"));
        Enter("x");
        QCOMPARE(fx->dialogs->beeps(), 2);
        QCOMPARE(Cell(3, 3), QString("05:33"));
        // Beyond the longest driving time of 30 minutes, by arrow key.
        Type("06:10");
        Key(Qt::Key_Down);
        QCOMPARE(fx->dialogs->beeps(), 3);
        QCOMPARE(Cell(3, 3), QString("05:33"));
        // An accepted entry moves on.
        Enter("+5");
        QCOMPARE(Cell(3, 3), QString("05:35"));
        QCOMPARE(Cursor(), QPoint(3, 4));

        // "=" with a text that is no journey number: refused like the rest,
        // the reason in the status line, no box.
        Enter("=x");
        QVERIFY(fx->dialogs->errors().isEmpty());
        QCOMPARE(Status(), QString("'x' ist kein gültiger Integerwert"));
        QCOMPARE(Cursor(), QPoint(3, 4));
        QCOMPARE(Cell(3, 4), QString("05:35"));
        QCOMPARE(fx->dialogs->beeps(), 4);
        // The next key starts a new entry: the reason goes.
        Type("3");
        QCOMPARE(Status(), QString());
        // The reasons of the other refusals.
        Grid().Editor()->selectAll();
        Enter("0533");
        QCOMPARE(Status(), QString::fromUtf8("Zeit liegt vor der Zeit darüber (05:35)"));
        Grid().Editor()->selectAll();
        Enter("#");
        QCOMPARE(Status(), QString("Unbekannte Eingabe"));
        Grid().Editor()->selectAll();
        Enter("=600");
        QCOMPARE(Status(), QString("Fahrt 600 gibt es nicht"));
        QCOMPARE(fx->dialogs->beeps(), 7);
        // A time that would run backwards against the time below.
        ClickCell(3, 2);
        Enter("0545");
        QCOMPARE(Status(), QString("Zeit liegt nach der Zeit darunter (05:35)"));
        QCOMPARE(Cursor(), QPoint(3, 2));
        // A click starts afresh.
        ClickCell(4, 2);
        QCOMPARE(Status(), QString());
    }

    void savingChecksTheCellStillBeingTyped() {
        Open("1", "Mo-Fr", "1");
        const QByteArray before = ReadBytes(timetable);
        // A wrong entry is not saved: beep, the text from before, still open.
        ClickCell(9, 7);
        Type("0900");
        Click(Control<QPushButton>(fmEditTimeTable, "btSave"));
        QCOMPARE(fx->dialogs->beeps(), 1);
        QCOMPARE(Status(), QString::fromUtf8("Fahrzeit über 30 Minuten"));
        QCOMPARE(Cell(9, 7), QString("07:44"));
        QVERIFY(Editing());
        QCOMPARE(ReadBytes(timetable), before);

        // A right one is saved in its checked form.
        Type("750");
        Click(Control<QPushButton>(fmEditTimeTable, "btSave"));
        QVERIFY(!Control<QPushButton>(fmEditTimeTable, "btSave")->isVisible());
        const TTimetableFile file(timetable.toStdString());
        QCOMPARE(FromCp1252(file.ReadRows("1_Mo-Fr").back()),
                 FromCp1252(Cp1252("Südfriedhof,05:24,05:44,06:04,06:24,06:44,07:04,07:24,07:50")));
        // Nothing left to save: the window closes, and shows the choice again.
        Click(Control<QPushButton>(fmEditTimeTable, "btClose"));
        QVERIFY(!fmEditTimeTable->isVisible());
        fmEditTimeTable->show();
        QVERIFY(!Editing());
        QVERIFY(Control<QPushButton>(fmEditTimeTable, "btTimeTableEdit")->isEnabled());
    }

    void directionTwoShowsTheRouteReversedAndNewSectionsAreWritten() {
        // Sonntag has no timetable yet: it is built from the route.
        Open("1", "So", "2");
        QCOMPARE(Column(1), Latin({"Südfriedhof", "Mühlenweg", "Schloßpark", "Rathaus",
                                   "Marktplatz", "Hauptbahnhof"}));
        QCOMPARE(Column(2), QStringList(6, QString()));
        // No time before the first one: minutes and offsets have no base.
        Enter("+5");
        QCOMPARE(fx->dialogs->beeps(), 1);
        QCOMPARE(Cursor(), QPoint(2, 2));
        Enter("600");
        Enter("+5");
        Click(Control<QPushButton>(fmEditTimeTable, "btSave"));
        const TTimetableFile file(timetable.toStdString());
        const std::vector<std::string> expected = {Cp1252("Südfriedhof,06:00"),
                                                   Cp1252("Mühlenweg,06:05"),
                                                   Cp1252("Schloßpark"),
                                                   "Rathaus",
                                                   "Marktplatz",
                                                   "Hauptbahnhof"};
        QVERIFY(file.ReadRows("2_So") == expected);

        // Direction 1 of the same day group is still built new, in route order;
        // line 5 shows its quoted station names as names.
        Open("1", "So", "1");
        QCOMPARE(Cell(1, 2), QString("Hauptbahnhof"));
        QCOMPARE(Cell(1, 7), QString::fromUtf8("Südfriedhof"));
        Click(Control<QPushButton>(fmEditTimeTable, "btCancel"));
        Open("5", "Mo-Fr", "1");
        QCOMPARE(Cell(1, 2), QString::fromUtf8("Am Gänseanger"));
        QCOMPARE(Cell(1, 7), QString::fromUtf8("Weißer Hirsch"));
    }

    void aLineWithoutStationsOpensNothing() {
        fmEditTimeTable->hide();
        WriteBytes(fx->path("demo/lines.csv"), "1\r\n5\r\n7\r\n");
        fmEditTimeTable->show();
        Choose(Control<QComboBox>(fmEditTimeTable, "cbLines"), "7");
        Click(Control<QPushButton>(fmEditTimeTable, "btTimeTableEdit"));
        QVERIFY(!Editing());
        QVERIFY(Control<QPushButton>(fmEditTimeTable, "btClose")->isVisible());
        QVERIFY(fx->dialogs->log().isEmpty());
    }

    void copyModeLeavesCellsUncheckedAndGivesEnterAndEscapeToTheButtons() {
        Open("1", "Mo-Fr", "1");
        ClickCell(3, 2);
        Type("2400");
        Click(Control<QToolButton>(fmEditTimeTable, "sbCopyMode"));
        QVERIFY(!Grid().Editing());
        // Leaving a wrong entry in copy mode: no check, no beep.
        ClickCell(4, 2);
        QCOMPARE(Cell(3, 2), QString("2400"));
        QCOMPARE(fx->dialogs->beeps(), 0);
        QCOMPARE(Cursor(), QPoint(4, 2));
        // Back out of copy mode the checks are on again for the next move.
        Click(Control<QToolButton>(fmEditTimeTable, "sbCopyMode"));
        QVERIFY(Grid().Editing());
        ClickCell(3, 2);
        ClickCell(3, 3);
        QCOMPARE(fx->dialogs->beeps(), 1);
        QCOMPARE(Cursor(), QPoint(3, 2));

        // In copy mode Enter saves (the save button is shown) ...
        Grid().SetCell(3, 2, "05:30");
        Click(Control<QToolButton>(fmEditTimeTable, "sbCopyMode"));
        Grid().setFocus();
        Key(Qt::Key_Return);
        QVERIFY(!Control<QPushButton>(fmEditTimeTable, "btSave")->isVisible());
        QVERIFY(ReadBytes(timetable).contains("Hauptbahnhof,05:10,05:30,05:50"));
        // ... or, with the save button hidden, moves down unchecked ...
        Open("1", "Mo-Fr", "1");
        QVERIFY(!Grid().Editing());
        Grid().SetCell(2, 2, "x");
        Grid().setFocus();
        Key(Qt::Key_Return);
        QCOMPARE(Cursor(), QPoint(2, 3));
        QVERIFY(Editing());
        QCOMPARE(fx->dialogs->beeps(), 1);
        // ... and Escape discards, after the question.
        fx->dialogs->setNextAnswer(Answer::Yes);
        Key(Qt::Key_Escape);
        QCOMPARE(fx->dialogs->questions().size(), 1);
        QVERIFY(!Editing());
        QVERIFY(fmEditTimeTable->isVisible());
    }

    void aRefusalAfterCopyModeRestoresTheCellsOwnText() {
        // GIVEN an entry started in one cell, then copy mode on and off in another
        Open("1", "Mo-Fr", "1");
        ClickCell(3, 2);
        Type("2400");
        Click(Control<QToolButton>(fmEditTimeTable, "sbCopyMode"));
        ClickCell(4, 3);
        Click(Control<QToolButton>(fmEditTimeTable, "sbCopyMode"));
        const QString before = Cell(4, 3);
        // WHEN a wrong entry is typed there
        Enter("x");
        // THEN the cell gets its own text back, not the earlier cell's
        QCOMPARE(Cell(4, 3), before);
    }

    void aPastedLineBreakNeverSplitsARowOfTheFile() {
        Open("1", "Mo-Fr", "1");
        ClickCell(10, 2);
        QApplication::clipboard()->setText("\"08:00\n2=Kaputt\"\n");
        QTest::keyClick(Focused(), Qt::Key_V, Qt::ControlModifier);
        Click(Control<QToolButton>(fmEditTimeTable, "sbCopyMode"));
        Click(Control<QPushButton>(fmEditTimeTable, "btSave"));
        const QByteArray bytes = ReadBytes(timetable);
        const int section = bytes.indexOf("[1_Mo-Fr]");
        QVERIFY(section >= 0);
        QVERIFY(!bytes.mid(section).contains("\r\n2=Kaputt"));
        QVERIFY(!bytes.contains("Kaputt\"\r\n3="));
    }

    void markersSplitAndMergeStationRowsWithoutMovingTheCursor() {
        Open("1", "Mo-Fr", "1");
        ClickCell(3, 5);
        QCOMPARE(Cell(3, 5), QString("05:38"));
        // Splitting Marktplatz between Hauptbahnhof and Rathaus, with its times.
        fx->dialogs->setNextAnswer(Answer::Yes);
        ClickMarker(3);
        QCOMPARE(fx->dialogs->log(),
                 QStringList({QString::fromUtf8("ask3:Bestätigung:Gleiche Werte einsetzen?")}));
        QCOMPARE(Column(1).mid(0, 4),
                 QStringList({"Hauptbahnhof", "Marktplatz", "Marktplatz", "Rathaus"}));
        QCOMPARE(Column(0), QStringList({"+", "-", "-", "+", "+", "+", "+"}));
        for (int col = 2; col <= 9; ++col)
            QCOMPARE(Cell(col, 3), Cell(col, 4));
        QCOMPARE(Cell(2, 3), QString("05:13"));
        // The cursor stays on its cell, nothing is checked; there is
        // something to save.
        QCOMPARE(Cursor(), QPoint(3, 6));
        QCOMPARE(Cell(3, 6), QString("05:38"));
        QVERIFY(Control<QPushButton>(fmEditTimeTable, "btSave")->isVisible());
        QCOMPARE(fx->dialogs->beeps(), 0);

        // Either row of the pair merges back into one "+" row; a row with
        // times goes only when "&Ja" answers the question.
        fx->dialogs->clearLog();
        ClickMarker(4);
        QCOMPARE(fx->dialogs->questions(),
                 QStringList({QString::fromUtf8("Bestätigung:Zeiten dieser Zeile löschen?")}));
        QCOMPARE(Column(1).size(), 7);
        fx->dialogs->setNextAnswer(Answer::Yes);
        ClickMarker(4);
        QCOMPARE(Column(1).size(), 6);
        QCOMPARE(Column(0), QStringList(6, "+"));
        QCOMPARE(Cell(2, 3), QString("05:13"));
        QCOMPARE(Cursor(), QPoint(3, 5));
        fx->dialogs->setNextAnswer(Answer::No);
        ClickMarker(4);
        QCOMPARE(Column(1).mid(2, 2), QStringList({"Rathaus", "Rathaus"}));
        QCOMPARE(Cell(2, 4), QString());
        QCOMPARE(Cell(2, 5), QString("05:15"));
        ClickMarker(4);
        QCOMPARE(Column(0), QStringList(6, "+"));
        QCOMPARE(Column(2), QStringList({"05:10", "05:13", "05:15", "05:18", "05:21", "05:24"}));
        // Only the split's question came; the empty row went without one.
        QCOMPARE(fx->dialogs->questions().size(), 3);

        // A split station is saved as two rows and comes back as a pair.
        fx->dialogs->setNextAnswer(Answer::Cancel);
        ClickMarker(7);
        ClickCell(2, 7);
        Enter("0524");
        Click(Control<QPushButton>(fmEditTimeTable, "btSave"));
        QCOMPARE(fx->dialogs->beeps(), 0);
        const TTimetableFile file(timetable.toStdString());
        const auto rows = file.ReadRows("1_Mo-Fr");
        QCOMPARE(rows.size(), std::size_t(7));
        QCOMPARE(FromCp1252(rows[5]), QString::fromUtf8("Südfriedhof,05:24"));
        QCOMPARE(FromCp1252(rows[6]),
                 QString::fromUtf8("Südfriedhof,05:24,05:44,06:04,06:24,06:44,07:04,07:24,07:44"));
        Open("1", "Mo-Fr", "1");
        QCOMPARE(Column(0), QStringList({"+", "+", "+", "+", "+", "-", "-"}));
    }

    void draggingAJourneyHeaderReordersTheJourneys() {
        Open("1", "Mo-Fr", "1");
        DragHeader(6, 3);
        QCOMPARE(Header(), QStringList({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
        QCOMPARE(Column(3), QStringList({"06:30", "06:33", "06:35", "06:38", "06:41", "06:44"}));
        QCOMPARE(Column(4), QStringList({"05:30", "05:33", "05:35", "05:38", "05:41", "05:44"}));
        QVERIFY(Control<QPushButton>(fmEditTimeTable, "btSave")->isVisible());
        // Nothing goes in front of the fixed columns, and they stay put.
        DragHeader(5, 1);
        QCOMPARE(Column(2), QStringList({"05:50", "05:53", "05:55", "05:58", "06:01", "06:04"}));
        QCOMPARE(Column(1).first(), QString("Hauptbahnhof"));
        DragHeader(1, 5);
        QCOMPARE(Column(1).first(), QString("Hauptbahnhof"));
        QCOMPARE(Header(), QStringList({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
    }

    void evenRowsAreCreamOutsideCopyModeAndPairsGetADoubleLine() {
        Open("1", "Mo-Fr", "1");
        ClickCell(2, 3);
        const QColor cream(255, 251, 240);
        QImage image = Picture();
        QCOMPARE(PixelOf(image, 3, 2, 9), cream);
        QVERIFY(PixelOf(image, 3, 3, 9) != cream);
        QCOMPARE(PixelOf(image, 3, 4, 9), cream);
        QVERIFY(PixelOf(image, 1, 2, 9) != cream);

        // The pair Marktplatz, Marktplatz: two lines at the foot of the upper
        // row, in every column; none below the lower one.
        ClickMarker(3);
        image = Picture();
        const int height = Grid().CellRect(3, 3).height();
        const QColor pen = Grid().palette().color(QPalette::Text);
        QCOMPARE(PixelOf(image, 3, 3, height - 1), pen);
        QCOMPARE(PixelOf(image, 3, 3, height - 2), pen);
        QVERIFY(PixelOf(image, 3, 3, height - 3) != pen);
        QCOMPARE(PixelOf(image, 0, 3, height - 1), Grid().palette().color(QPalette::ButtonText));
        QCOMPARE(PixelOf(image, 3, 4, height - 1), cream);
        // The rows of the pair are marked "an" and "ab" beside the name.
        auto marked = [&](int row) {
            const QRect rect = Grid().CellRect(1, row);
            for (int x = rect.right() - 18; x <= rect.right(); ++x)
                for (int y = rect.top(); y < rect.bottom() - 2; ++y) {
                    const QColor c = image.pixelColor(x, y);
                    if (c.blue() > 120 && c.red() < 100 && c.green() < 100)
                        return true;
                }
            return false;
        };
        QVERIFY(marked(3));
        QVERIFY(marked(4));
        QVERIFY(!marked(2));
        QVERIFY(!marked(5));

        // In copy mode no row is cream.
        Click(Control<QToolButton>(fmEditTimeTable, "sbCopyMode"));
        image = Picture();
        QVERIFY(PixelOf(image, 3, 2, 9) != cream);
        QCOMPARE(PixelOf(image, 3, 2, 9), PixelOf(image, 3, 5, 9));
    }

    void blocksGoThroughTheClipboardAsTabSeparatedText() {
        Open("1", "Mo-Fr", "1");
        // Copying a selected block.
        Key(Qt::Key_Right);
        QTest::keyClick(Focused(), Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(Focused(), Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(Focused(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QString("05:30\t05:50\n05:33\t05:53\n"));

        // A block from a spreadsheet lands at the cursor, unchecked; the
        // cursor goes on to the column right of it, first station.
        ClickCell(10, 3);
        QApplication::clipboard()->setText("07:53\t08:13\r\n07:55\t\"08:15\"\r\n");
        QTest::keyClick(Focused(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(Column(10).mid(0, 3), QStringList({"", "07:53", "07:55"}));
        QCOMPARE(Column(11).mid(0, 3), QStringList({"", "08:13", "08:15"}));
        QCOMPARE(Cursor(), QPoint(12, 2));
        QVERIFY(Control<QPushButton>(fmEditTimeTable, "btSave")->isVisible());
        QCOMPARE(fx->dialogs->beeps(), 0);

        // A refused top-left text gets the cell's own text back, with a beep.
        ClickCell(4, 3);
        QApplication::clipboard()->setText("9999\tx\n");
        QTest::keyClick(Focused(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(fx->dialogs->beeps(), 1);
        QCOMPARE(Cell(4, 3), QString("05:53"));
        QCOMPARE(Cell(5, 3), QString("x"));
        QCOMPARE(Cursor(), QPoint(4, 2));

        // A single text is pasted into the cell like typing.
        ClickCell(10, 2);
        QApplication::clipboard()->setText("0750");
        QTest::keyClick(Focused(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(Grid().Editor()->text(), QString("0750"));
        Key(Qt::Key_Return);
        QCOMPARE(Cell(10, 2), QString("07:50"));
    }

    void closingTheEditorClosesTheWebCopyWindow() {
        fmWebCopy->show();
        Open("1", "Mo-Fr", "1");
        // Nothing changed: the title bar's close closes at once, both windows.
        fmEditTimeTable->close();
        QVERIFY(!fmEditTimeTable->isVisible());
        QVERIFY(!fmWebCopy->isVisible());
        QVERIFY(fx->dialogs->questions().isEmpty());
        fmEditTimeTable->show();
        fmWebCopy->show();
        Click(Control<QPushButton>(fmEditTimeTable, "btClose"));
        QVERIFY(!fmEditTimeTable->isVisible());
        QVERIFY(!fmWebCopy->isVisible());
    }

    void theMainWindowOpensTheEditorModally() {
        fmEditTimeTable->hide();
        fx->dialogs->clearLog();
        bool opened = false;
        fx->dialogs->setNextModalAction([&](QDialog &) {
            Open("1", "Sa", "1");
            opened = Editing();
            QCOMPARE(Cell(2, 2), QString("07:15"));
            Click(Control<QPushButton>(fmEditTimeTable, "btCancel"));
        });
        Click(Control<QPushButton>(fmMain, "sbEditTimeTable"));
        QVERIFY(opened);
        QCOMPARE(fx->dialogs->log(), QStringList({"modal:Fahrplan bearbeiten"}));
        QVERIFY(!fmEditTimeTable->isVisible());
    }

    void aPendingEntryIsCheckedBeforeASplitOrMerge() {
        Open("1", "Mo-Fr", "1");
        const QByteArray before = ReadBytes(timetable);
        // A refused entry: beep, the cell's text back, no split, no question.
        ClickCell(3, 5);
        Type("2400");
        ClickMarker(5);
        QCOMPARE(fx->dialogs->beeps(), 1);
        QCOMPARE(fx->dialogs->questions(), QStringList());
        QCOMPARE(Cell(3, 5), QString("05:38"));
        QCOMPARE(Column(0), QStringList(6, "+"));
        // The same for a merge of a pair.
        Type("0538");
        Key(Qt::Key_Down);
        fx->dialogs->clearLog();
        fx->dialogs->setNextAnswer(Answer::No);
        ClickMarker(4);
        ClickCell(4, 6);
        Type("x");
        ClickMarker(5);
        QCOMPARE(fx->dialogs->beeps(), 1);
        QCOMPARE(Column(1).size(), 7);
        QCOMPARE(Cell(4, 6), QString("05:58"));

        // An accepted entry goes into both rows in its checked form.
        ClickCell(10, 2);
        Type("930");
        fx->dialogs->setNextAnswer(Answer::Yes);
        ClickMarker(2);
        QCOMPARE(Cell(10, 2), QString("09:30"));
        QCOMPARE(Cell(10, 3), QString("09:30"));
        QCOMPARE(fx->dialogs->beeps(), 1);
        fx->dialogs->setNextAnswer(Answer::Yes);
        Click(Control<QPushButton>(fmEditTimeTable, "btCancel"));
        QCOMPARE(ReadBytes(timetable), before);
    }

    void theIntegerMessageComesOncePerAction() {
        Open("1", "Mo-Fr", "1");
        // "=x" with Enter in the last row.
        ClickCell(3, 7);
        Enter("=x");
        QCOMPARE(fx->dialogs->beeps(), 1);
        QCOMPARE(Status(), QString("'x' ist kein gültiger Integerwert"));
        // The refused cell keeps the cursor.
        QCOMPARE(Cursor(), QPoint(3, 7));
        // A station name taken from a web table as the block's top-left text.
        fx->dialogs->clearLog();
        ClickCell(10, 2);
        SelectWorkBlock({{Cp1252("Schloßpark"), "05:18"}});
        Click(Control<QPushButton>(fmEditTimeTable, "sbPaste"));
        QCOMPARE(fx->dialogs->beeps(), 1);
        QVERIFY(Status().endsWith("ist kein gültiger Integerwert"));
        QCOMPARE(Cursor(), QPoint(10, 2));
        QCOMPARE(Cell(10, 2), QString());
        // The same block from the clipboard.
        fx->dialogs->clearLog();
        ClickCell(12, 3);
        QApplication::clipboard()->setText(QString::fromUtf8("Schloßpark\t05:18\n"));
        QTest::keyClick(Focused(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(fx->dialogs->beeps(), 1);
        QVERIFY(Status().endsWith("ist kein gültiger Integerwert"));
        QVERIFY(fx->dialogs->errors().isEmpty());
    }

    void everyChangeOfTheCellTextIsAnEdit() {
        Open("1", "Mo-Fr", "1");
        // Pasted by the editor's context menu: the save button shows, and a
        // refusal puts back the cell's own text.
        ClickCell(3, 3);
        QApplication::clipboard()->setText("99");
        ContextMenuAction("Paste");
        QCOMPARE(Cell(3, 3), QString("99"));
        QVERIFY(Control<QPushButton>(fmEditTimeTable, "btSave")->isVisible());
        Key(Qt::Key_Return);
        QCOMPARE(fx->dialogs->beeps(), 1);
        QCOMPARE(Cell(3, 3), QString("05:33"));

        // Deleted by the context menu, then taken back by its undo.
        fx->dialogs->setNextAnswer(Answer::Yes);
        Control<QPushButton>(fmEditTimeTable, "btCancel")->click();
        Open("1", "Mo-Fr", "1");
        ClickCell(4, 3);
        Grid().Editor()->selectAll();
        ContextMenuAction("Delete");
        QCOMPARE(Cell(4, 3), QString());
        QVERIFY(Control<QPushButton>(fmEditTimeTable, "btSave")->isVisible());
        ContextMenuAction("Undo");
        QCOMPARE(Cell(4, 3), QString("05:53"));
        Key(Qt::Key_Down);
        QCOMPARE(Cursor(), QPoint(4, 4));

        // Dropped onto the cell.
        fx->dialogs->setNextAnswer(Answer::Yes);
        Control<QPushButton>(fmEditTimeTable, "btCancel")->click();
        fx->dialogs->clearLog();
        Open("1", "Mo-Fr", "1");
        ClickCell(5, 4);
        Grid().Editor()->selectAll();
        DropText("x");
        QVERIFY(Cell(5, 4).contains("x"));
        QCOMPARE(Cell(5, 4), Grid().Editor()->text());
        QVERIFY(Control<QPushButton>(fmEditTimeTable, "btSave")->isVisible());
        Key(Qt::Key_Return);
        QCOMPARE(fx->dialogs->beeps(), 1);
        QCOMPARE(Cell(5, 4), QString("06:15"));
    }

    void savingOnAnUnchangedIntervalCellAsksNothing() {
        Open("1", "Mo-Fr", "1");
        ClickCell(10, 2);
        fx->dialogs->setNextAnswer(Answer::No);
        Enter("a20");
        QCOMPARE(fx->dialogs->questions(), QStringList({kFillQuestion}));
        Key(Qt::Key_Up);
        QCOMPARE(Cursor(), QPoint(10, 2));
        fx->dialogs->setNextAnswer(Answer::Yes);
        Click(Control<QPushButton>(fmEditTimeTable, "btSave"));
        QCOMPARE(fx->dialogs->questions(), QStringList({kFillQuestion}));
        const TTimetableFile file(timetable.toStdString());
        QCOMPARE(FromCp1252(file.ReadRows("1_Mo-Fr")[1]),
                 QString("Marktplatz,05:13,05:33,05:53,06:13,06:33,06:53,07:13,07:33"));
        QCOMPARE(FromCp1252(file.ReadRows("1_Mo-Fr")[0]),
                 QString("Hauptbahnhof,05:10,05:30,05:50,06:10,06:30,06:50,07:10,07:30,20 Min"));
    }

    void theFillQuestionAfterNoIsNotAskedAgainOnTheUnchangedCell() {
        Open("1", "Mo-Fr", "1");
        ClickCell(10, 2);
        fx->dialogs->setNextAnswer(Answer::No);
        Enter("a20");
        QCOMPARE(Column(10), QStringList({"20 Min", "", "", "", "", ""}));
        QCOMPARE(Cursor(), QPoint(10, 3));
        Key(Qt::Key_Up);
        fx->dialogs->setNextAnswer(Answer::No);
        Key(Qt::Key_Down);
        QCOMPARE(fx->dialogs->questions(), QStringList({kFillQuestion}));
        QCOMPARE(Cursor(), QPoint(10, 3));
        QCOMPARE(Cell(10, 3), QString());
    }

    void aJourneyCopyLeftByArrowOrTabStaysOnceWithABeep() {
        Open("1", "Mo-Fr", "1");
        ClickCell(10, 2);
        Enter("0750");
        Type("=8");
        Key(Qt::Key_Down);
        QCOMPARE(Column(10), QStringList({"07:50", "07:53", "07:55", "07:58", "08:01", "08:04"}));
        QCOMPARE(Cursor(), QPoint(10, 3));
        QCOMPARE(fx->dialogs->beeps(), 1);
        Key(Qt::Key_Down);
        QCOMPARE(Cursor(), QPoint(10, 4));
        QCOMPARE(fx->dialogs->beeps(), 1);

        ClickCell(11, 2);
        Enter("0810");
        Type("=9");
        Key(Qt::Key_Tab);
        QCOMPARE(Column(11), QStringList({"08:10", "08:13", "08:15", "08:18", "08:21", "08:24"}));
        QCOMPARE(Cursor(), QPoint(11, 3));
        QCOMPARE(fx->dialogs->beeps(), 2);
        Key(Qt::Key_Tab);
        QCOMPARE(Cursor(), QPoint(12, 3));
    }

    void theGridAlwaysHoldsTheTimetableTheStripShows() {
        Open("1", "Mo-Fr", "1");
        QCOMPARE(Control<QLabel>(fmEditTimeTable, "lbTimeTable")->text(),
                 QString::fromUtf8("Linie 1 · Richtung 1 → Südfriedhof · Mo-Fr"));
        // Unsaved changes keep the strip out of reach.
        Enter("0511");
        QVERIFY(!Control<QWidget>(fmEditTimeTable, "pLineChoice")->isEnabled());
        Click(Control<QPushButton>(fmEditTimeTable, "btSave"));
        QVERIFY(Control<QWidget>(fmEditTimeTable, "pLineChoice")->isEnabled());
        const QByteArray line1 = ReadBytes(timetable);

        // Saved, another line chosen in the strip: the grid follows it at once.
        Choose(Control<QComboBox>(fmEditTimeTable, "cbLines"), "5");
        QVERIFY(Editing());
        QCOMPARE(Control<QLabel>(fmEditTimeTable, "lbTimeTable")->text(),
                 QString::fromUtf8("Linie 5 · Richtung 1 → Weißer Hirsch · Mo-Fr"));
        QCOMPARE(Column(1).first(), QString::fromUtf8("Am Gänseanger"));
        QCOMPARE(Cursor(), QPoint(2, 2));
        // What is typed now goes into line 5's file, and line 1's stays.
        Enter("0700");
        Click(Control<QPushButton>(fmEditTimeTable, "btSave"));
        QCOMPARE(ReadBytes(timetable), line1);
        QVERIFY(ReadBytes(fx->path("demo/line_5.ttd")).contains("[1_Mo-Fr]"));

        // The direction and the day group follow as well.
        Choose(Control<QComboBox>(fmEditTimeTable, "cbDirection"),
               QString::fromUtf8("2 → Am Gänseanger"));
        Choose(Control<QComboBox>(fmEditTimeTable, "cbDays"), "Sa");
        QCOMPARE(Control<QLabel>(fmEditTimeTable, "lbTimeTable")->text(),
                 QString::fromUtf8("Linie 5 · Richtung 2 → Am Gänseanger · Sa"));
        QCOMPARE(Column(1).first(), QString::fromUtf8("Weißer Hirsch"));
        QCOMPARE(fmEditTimeTable->TimeTableDayGroup, std::string("Sa"));
        QCOMPARE(fmEditTimeTable->TimeTableDirection, 2);
        Enter("0800");
        Click(Control<QPushButton>(fmEditTimeTable, "btSave"));
        const QByteArray line5 = ReadBytes(fx->path("demo/line_5.ttd"));
        QVERIFY(line5.contains("[2_Sa]"));
        QVERIFY(line5.contains("08:00"));

        // A line without a route cannot be shown: the grid is put away
        // rather than left holding the other timetable.
        fmEditTimeTable->hide();
        WriteBytes(fx->path("demo/lines.csv"), "1\r\n5\r\n7\r\n");
        fmEditTimeTable->show();
        Open("1", "Mo-Fr", "1");
        Enter("0512");
        Click(Control<QPushButton>(fmEditTimeTable, "btSave"));
        Choose(Control<QComboBox>(fmEditTimeTable, "cbLines"), "7");
        QVERIFY(!Editing());
        QVERIFY(Control<QPushButton>(fmEditTimeTable, "btTimeTableEdit")->isEnabled());
        QVERIFY(fx->dialogs->questions().isEmpty());
    }

    void aRefusalInTheLastRowKeepsTheCursorOnTheRefusedCell() {
        Open("1", "Mo-Fr", "1");
        // An empty journey, typed down with Enter; the last row's entry lies
        // before the time above it.
        ClickCell(11, 2);
        for (const char *entry : {"1200", "3", "7", "10", "12"})
            Enter(entry);
        QCOMPARE(Cursor(), QPoint(11, 7));
        Enter("1100");
        QCOMPARE(fx->dialogs->beeps(), 1);
        QVERIFY(Status().startsWith(QString::fromUtf8("Zeit liegt vor der Zeit darüber")));
        QCOMPARE(Cursor(), QPoint(11, 7));
        // What is typed next corrects the refused cell, not the first time.
        Enter("14");
        QCOMPARE(Column(11), QStringList({"12:00", "12:03", "12:07", "12:10", "12:12", "12:14"}));
        QCOMPARE(Cursor(), QPoint(12, 2));
    }

  private:
    std::unique_ptr<GuiFixture> fx;
    QString timetable;
};

QTEST_MAIN(EditTimeTableTest)
#include "test_edit_timetable.moc"
