// The web copy window as a planner works it beside the timetable editor, on a
// copy of the demo project: HTML pasted from the clipboard, the table that
// names the most stations of the open timetable laid out in the work grid,
// rows and columns reshaped, and the selected block taken into the timetable.
//
// Built twice: without WEB_COPY_WITH_BROWSER the tests never show the
// "Website" page, so the embedded browser is never started; with it, one test
// shows a local page in the real browser and copies its HTML.

#include "app/main_window.h"
#include "gui/common/error_handler.h"
#include "gui/common/string_grid_view.h"
#include "gui/timetable/edit_timetable.h"
#include "gui/webcopy/web_browser.h"
#include "gui/webcopy/web_copy.h"
#include "render/qt_text.h"
#include "support/controls.h"
#include "support/gui_fixture.h"
#include "support/timetable_steps.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QUrl>

using namespace takton;
using namespace takton::gui;
using takton::testing::Control;
using takton::testing::FindControl;
using takton::testing::GuiFixture;
using takton::testing::ReadBytes;

// Steps shared by both builds (each uses only some of them).
namespace steps {

TStringGridView &Work() {
    return *Control<TStringGridView>(fmWebCopy, "sgWorkGrid");
}

TStringGridView &Timetable() {
    return *Control<TStringGridView>(fmEditTimeTable, "sgTimeTable");
}

// The work grid row by row, cells joined by "|".
QStringList WorkRows() {
    const TStringGrid &grid = Work().Grid();
    QStringList rows;
    for (int row = 0; row < grid.RowCount(); ++row) {
        QStringList cells;
        for (int col = 0; col < grid.ColCount(); ++col)
            cells << FromCp1252(grid.Cell(col, row));
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

QString TimetableCell(int col, int row) {
    return FromCp1252(Timetable().Grid().Cell(col, row));
}

// Journey cells of the first station rows, row by row, joined by "|".
QStringList TimetableBlock(int fromCol, int toCol, int rows) {
    QStringList texts;
    for (int row = 2; row < 2 + rows; ++row) {
        QStringList cells;
        for (int col = fromCol; col <= toCol; ++col)
            cells << TimetableCell(col, row);
        texts << cells.join(QLatin1Char('|'));
    }
    return texts;
}

QPoint Cursor(const TStringGridView &grid) {
    return {grid.Col(), grid.Row()};
}

void Click(QAbstractButton *button) {
    QVERIFY2(button->isVisible(), qPrintable(button->objectName() + " is not visible"));
    QVERIFY2(button->isEnabled(), qPrintable(button->objectName() + " is disabled"));
    QTest::mouseClick(button, Qt::LeftButton);
}

void Choose(QComboBox *box, const QString &text) {
    const int index = box->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    box->setCurrentIndex(index);
}

void ClickCell(TStringGridView &grid, int col, int row) {
    const QRect rect = grid.CellRect(col, row);
    QVERIFY2(!rect.isEmpty(), "cell out of sight");
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, rect.center());
}

// Drags a rectangle of cells with the mouse, from one corner to the other.
void SelectCells(TStringGridView &grid, int fromCol, int fromRow, int toCol, int toRow) {
    QWidget *port = grid.viewport();
    const QPoint from = grid.CellRect(fromCol, fromRow).center();
    const QPoint to = grid.CellRect(toCol, toRow).center();
    QTest::mousePress(port, Qt::LeftButton, Qt::NoModifier, from);
    QMouseEvent move(QEvent::MouseMove, to, port->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(port, &move);
    QTest::mouseRelease(port, Qt::LeftButton, Qt::NoModifier, to);
}

void ClickTab(const QString &caption) {
    QTabBar *bar = Control<QTabWidget>(fmWebCopy, "PageControl1")->tabBar();
    for (int i = 0; i < bar->count(); ++i)
        if (bar->tabText(i) == caption) {
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
            return;
        }
    QFAIL(qPrintable("no tab " + caption));
}

void SetClipboard(const QString &text) {
    QApplication::clipboard()->setText(text);
}

QString ClipboardText() {
    return QApplication::clipboard()->text();
}

// A page with one table per entry, each row given as cells joined by "|".
QString Page(const QList<QStringList> &tables) {
    QString page = QStringLiteral("<html><head><title>Fahrplan</title></head><body>\n");
    for (const QStringList &rows : tables) {
        page += QStringLiteral("<table class=\"fahrplan\">\n");
        for (const QString &row : rows) {
            page += QStringLiteral("<tr>");
            for (const QString &cell : row.split(QLatin1Char('|')))
                page += QStringLiteral("<td>") + cell + QStringLiteral("</td>");
            page += QStringLiteral("</tr>\n");
        }
        page += QStringLiteral("</table>\n<p>Stand: Dezember</p>\n");
    }
    return page + QStringLiteral("</body></html>");
}

// The clipboard as a browser leaves it after copying part of a page: the
// HTML and, beside it, the text of the selection.
void SetClipboardHtml(const QString &html, const QString &text = {}) {
    auto *data = new QMimeData;
    data->setHtml(html);
    if (!text.isEmpty())
        data->setText(text);
    QApplication::clipboard()->setMimeData(data);
}

// Ctrl+V in the timetable grid, where the focus is.
void PasteKey() {
    QWidget *focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : &Timetable(), Qt::Key_V, Qt::ControlModifier);
}

QStringList TableItems() {
    QStringList items;
    for (int i = 0; i < Control<QComboBox>(fmWebCopy, "cbTable")->count(); ++i)
        items << Control<QComboBox>(fmWebCopy, "cbTable")->itemText(i);
    return items;
}

// A timetable page as a browser serialises it: indented, every cell on lines
// of its own, "&nbsp;" where a journey does not stop.
const char *const kBrowserPage = R"(<body class="fahrplan">
  <div id="inhalt">
    <table class="fahrplan" summary="Linie 1">
      <tbody>
        <tr>
          <th>Haltestelle</th>
          <th>Fahrt&nbsp;1</th>
          <th>Fahrt&nbsp;2</th>
        </tr>
        <tr>
          <td>
            <a href="/h?id=1">Hauptbahnhof</a>
          </td>
          <td>
            08:10
          </td>
          <td>&nbsp;08:40&nbsp;</td>
        </tr>
        <tr>
          <td>Marktplatz</td>
          <td>&nbsp;</td>
          <td> 08:43 </td>
        </tr>
        <tr>
          <td>Rathaus &amp; B&uuml;rgeramt</td>
          <td>08:15</td>
          <td>&#160;</td>
        </tr>
      </tbody>
    </table>
  </div>
</body>)";

// Copies the page and pastes it with "HTML einfügen".
void PasteHtml(const QString &page) {
    SetClipboard(page);
    Click(Control<QPushButton>(fmWebCopy, "Button1"));
}

// The timetable editor on the demo project with line 1, working days,
// direction 1 open, and the web copy window shown by "HTML Import".
void OpenTimetableAndWebCopy() {
    const auto choose = [](QComboBox *box, const char *text) { Choose(box, text); };
    choose(Control<QComboBox>(fmEditTimeTable, "cbLines"), "1");
    choose(Control<QComboBox>(fmEditTimeTable, "cbDays"), "Mo-Fr");
    choose(Control<QComboBox>(fmEditTimeTable, "cbDirection"), "1 → Südfriedhof");
    Click(Control<QPushButton>(fmEditTimeTable, "btTimeTableEdit"));
    QVERIFY(Control<QWidget>(fmEditTimeTable, "pTimeTableEdit")->isVisible());
    Click(Control<QPushButton>(fmEditTimeTable, "bbWebCopy"));
    QVERIFY(fmWebCopy->isVisible());
}

// A click delivered the way the window system delivers it, so that a window
// blocked by a modal one does not get it.
void ClickThroughWindowSystem(QWidget *widget) {
    QWidget *window = widget->window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                      widget->mapTo(window, widget->rect().center()));
}

} // namespace steps

using namespace steps;

// Shared set-up: fresh windows, the demo project open, the timetable editor
// shown as the main window shows it (modal).
class WebCopyTestBase : public QObject {
    Q_OBJECT
  protected:
    void SetUp() {
        fx = std::make_unique<GuiFixture>();
        takton::testing::OpenDemoInTimetableEditor(*fx);
        QApplication::clipboard()->clear();
    }

    std::unique_ptr<GuiFixture> fx;
};

#ifndef WEB_COPY_WITH_BROWSER

class WebCopyTest : public WebCopyTestBase {
    Q_OBJECT
  private slots:
    void init() { SetUp(); }
    void cleanup() { fx.reset(); }

    void htmlImportShowsTheTableCopyBesideTheModalEditorWithoutABrowser() {
        // Nothing of the window is built at start-up.
        QVERIFY(!FindControl<QTabWidget>(fmWebCopy, "PageControl1"));
        OpenTimetableAndWebCopy();
        QVERIFY(!fmWebCopy->isModal());
        QCOMPARE(fmWebCopy->windowTitle(), QString("Fahrplan Kopier-Bereich"));
        QCOMPARE(Control<QTabWidget>(fmWebCopy, "PageControl1")->currentWidget(),
                 Control<QWidget>(fmWebCopy, "tsTableGrid"));
        QCOMPARE(Control<QTabWidget>(fmWebCopy, "PageControl1")->tabText(0), QString("Website"));
        QCOMPARE(Control<QTabWidget>(fmWebCopy, "PageControl1")->tabText(1),
                 QString("Tabellen-Kopie"));
        // The browser waits for its page to be shown.
        QVERIFY(!fmWebCopy->Browser());
        QVERIFY(!fmWebCopy->findChild<QWidget *>("wbWebCopy"));

        // Both windows stay usable: the modal editor does not block the web
        // copy window, whose buttons take real clicks.
        SetClipboard(Page({{"Stationen|Hauptbahnhof"}}));
        ClickThroughWindowSystem(Control<QPushButton>(fmWebCopy, "Button1"));
        QCOMPARE(WorkRows(), QStringList({"Stationen|Hauptbahnhof"}));

        // Cells are selected, not typed into.
        ClickCell(Work(), 0, 0);
        QTest::keyClicks(&Work(), "x");
        QCOMPARE(WorkRows(), QStringList({"Stationen|Hauptbahnhof"}));

        // Shown again it keeps its grid; closing the editor closes it.
        fmWebCopy->close();
        Click(Control<QPushButton>(fmEditTimeTable, "bbWebCopy"));
        QVERIFY(fmWebCopy->isVisible());
        QCOMPARE(WorkRows(), QStringList({"Stationen|Hauptbahnhof"}));
        Click(Control<QPushButton>(fmEditTimeTable, "btCancel"));
        Click(Control<QPushButton>(fmEditTimeTable, "btClose"));
        QVERIFY(!fmWebCopy->isVisible());
        QVERIFY(!fmWebCopy->Browser());
        QVERIFY(fx->dialogs->log().isEmpty());
    }

    void pastingTakesTheTableThatNamesTheMostStations() {
        OpenTimetableAndWebCopy();
        // Two tables with three stations each (a name inside a longer word
        // counts) and no times: the first is taken. Its columns are widened
        // to show their texts whole (2 pixels of room on either side); a
        // column of narrow texts keeps the default width.
        const QStringList first = {"Hauptbahnhof|Rathaus|Marktplatzfest|", "1|2||7"};
        PasteHtml(Page({{"Impressum"}, first, {"Hauptbahnhof|Rathaus|Schloßpark"}}));
        QCOMPARE(WorkRows(), QStringList({"Hauptbahnhof|Rathaus|Marktplatzfest|", "1|2||7"}));
        const QFontMetrics metrics(Work().font());
        QCOMPARE(Work().Grid().ColWidth(0), metrics.horizontalAdvance("Hauptbahnhof") + 4);
        QCOMPARE(Work().Grid().ColWidth(2), metrics.horizontalAdvance("Marktplatzfest") + 4);
        QCOMPARE(Work().Grid().ColWidth(3), 32);

        // Naming as many stations, the table with times wins the tie.
        const QStringList second = {"Hauptbahnhof|08:10", "Rathaus|08:15", "Schloßpark|08:18"};
        PasteHtml(Page({first, second}));
        QCOMPARE(WorkRows(), second);

        // A table naming four stations wins. The clipboard text reaches the
        // grid in the code page: what it cannot hold becomes "?". References
        // are decoded and blanks at either end trimmed; line ends inside stay.
        const QStringList third = {"Haltestelle|Fahrt 1", "Hauptbahnhof|08:10 → 08:12",
                                   "Rathaus|08:15", "Schloßpark|\n08:18&nbsp;",
                                   "Mühlenweg|08:20<br>\n08&#58;22"};
        PasteHtml(Page({first, second, third}));
        QCOMPARE(WorkRows(),
                 QStringList({"Haltestelle|Fahrt 1", "Hauptbahnhof|08:10 ? 08:12", "Rathaus|08:15",
                              "Schloßpark|08:18", "Mühlenweg|08:20\n08:22"}));
        QVERIFY(Control<QLabel>(fmWebCopy, "lbPasteNote")->text().isEmpty());

        // Station names count exactly, letter case included, and only in
        // tables: nothing else changes the grid, and nothing is said.
        const QStringList taken = WorkRows();
        PasteHtml(Page({{"HAUPTBAHNHOF|rathaus"}}));
        PasteHtml(QStringLiteral("<p>Hauptbahnhof Rathaus Schloßpark</p>"));
        // A table whose start tag is never closed is no table.
        PasteHtml(QStringLiteral("<table><tr><td>Hauptbahnhof</td></tr>"));
        QApplication::clipboard()->clear();
        Click(Control<QPushButton>(fmWebCopy, "Button1"));
        QCOMPARE(WorkRows(), taken);
        QVERIFY(fx->dialogs->log().isEmpty());
    }

    void aBrowserPageIsFollowedToTheSavedTimetable() {
        OpenTimetableAndWebCopy();
        PasteHtml(kBrowserPage);
        QCOMPARE(WorkRows(),
                 QStringList({"Haltestelle|Fahrt\u00A01|Fahrt\u00A02", "Hauptbahnhof|08:10|08:40",
                              "Marktplatz||08:43", "Rathaus & Bürgeramt|08:15|"}));

        // The two journeys, taken at journey 1, first station.
        SelectCells(Work(), 1, 1, 2, 3);
        ClickCell(Timetable(), 2, 2);
        Click(Control<QPushButton>(fmEditTimeTable, "sbPaste"));
        QCOMPARE(TimetableBlock(2, 3, 3), QStringList({"08:10|08:40", "|08:43", "08:15|"}));
        QCOMPARE(fx->dialogs->beeps(), 0);
        Click(Control<QPushButton>(fmEditTimeTable, "btSave"));

        const QByteArray saved = ReadBytes(fx->path("demo/line_1.ttd"));
        QVERIFY2(saved.contains("\r\n1=Hauptbahnhof,08:10,08:40,05:50,"), saved.constData());
        QVERIFY2(saved.contains("\r\n2=Marktplatz,,08:43,05:53,"), saved.constData());
        QVERIFY2(saved.contains("\r\n3=Rathaus,08:15,,05:55,"), saved.constData());
        QVERIFY(!saved.contains("&"));
        QVERIFY(!saved.contains('\xA0'));
    }

    void ctrlVWithHtmlLaysTheTableOutInsteadOfPastingMarkup() {
        OpenTimetableAndWebCopy();
        fmWebCopy->close();
        fmEditTimeTable->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(fmEditTimeTable));
        ClickCell(Timetable(), 4, 3);
        const QStringList journeys = TimetableBlock(2, 6, 4);

        // What a browser puts on the clipboard: the HTML of the selection
        // beside its text.
        SetClipboardHtml(kBrowserPage, "Hauptbahnhof\t08:10\t08:40\nMarktplatz\t\t08:43\n");
        PasteKey();
        QVERIFY(fmWebCopy->isVisible());
        QCOMPARE(WorkRows().mid(1, 1), QStringList({"Hauptbahnhof|08:10|08:40"}));
        QCOMPARE(TimetableBlock(2, 6, 4), journeys);
        QVERIFY(!Control<QPushButton>(fmEditTimeTable, "btSave")->isVisible());

        // The text of "HTML kopieren" is an HTML document: the same.
        PasteHtml(Page({{"Mühlenweg|09:20"}}));
        QCOMPARE(WorkRows(), QStringList({"Mühlenweg|09:20"}));
        fmWebCopy->close();
        SetClipboard(QStringLiteral("\n  ") + kBrowserPage);
        PasteKey();
        QVERIFY(fmWebCopy->isVisible());
        QCOMPARE(WorkRows().mid(1, 1), QStringList({"Hauptbahnhof|08:10|08:40"}));

        // HTML without a table of the timetable's stations and without text:
        // the window says why, the timetable stays.
        SetClipboardHtml("<table><tr><td>Nordstadt</td><td>05:10</td></tr></table>");
        PasteKey();
        QVERIFY(
            Control<QLabel>(fmWebCopy, "lbPasteNote")->text().startsWith("Keine Tabelle nennt"));
        QCOMPARE(TimetableBlock(2, 6, 4), journeys);
        QVERIFY(!Control<QPushButton>(fmEditTimeTable, "btSave")->isVisible());

        // A spreadsheet's cells come as HTML beside tab text; no table of
        // them names a station, so the text is pasted, 12-hour times and
        // dotted times as timetable times, blanks and references as text.
        fmWebCopy->close();
        fmEditTimeTable->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(fmEditTimeTable));
        ClickCell(Timetable(), 12, 2);
        SetClipboardHtml("<table><tr><td>06.25</td><td>6.25pm</td></tr></table>",
                         " 06.25 \t6.25pm\n6.45 am\t&nbsp;\n6.5\tR&ouml;mer\n");
        PasteKey();
        QVERIFY(!fmWebCopy->isVisible());
        QCOMPARE(TimetableCell(12, 2), QString("06:25"));
        QCOMPARE(TimetableCell(13, 2), QString("18:25"));
        QCOMPARE(TimetableCell(12, 3), QString("06:45"));
        QCOMPARE(TimetableCell(13, 3), QString(""));
        QCOMPARE(TimetableCell(12, 4), QString("6.5"));
        QCOMPARE(TimetableCell(13, 4), QString("Römer"));
        QCOMPARE(Cursor(Timetable()), QPoint(14, 2));
        QVERIFY(Control<QPushButton>(fmEditTimeTable, "btSave")->isVisible());
        QVERIFY(fx->dialogs->log().isEmpty());
    }

    void operatorLayoutsChooseTheTableOfTimes() {
        OpenTimetableAndWebCopy();
        // A frozen stop column: codes and names only, then the table of
        // times that repeats the names.
        const QStringList stops = {"Hst|Name", "A1|Hauptbahnhof", "A2|Marktplatz", "A3|Rathaus"};
        const QStringList times = {"Name|Fahrt 1|Fahrt 2", "Hauptbahnhof|6.10pm|7.10pm",
                                   "Marktplatz|6.13pm|&nbsp;", "Rathaus|6.15pm|7.15pm"};
        PasteHtml(Page({stops, times}));
        QCOMPARE(WorkRows(), QStringList({"Name|Fahrt 1|Fahrt 2", "Hauptbahnhof|6.10pm|7.10pm",
                                          "Marktplatz|6.13pm|", "Rathaus|6.15pm|7.15pm"}));
        QCOMPARE(TableItems(),
                 QStringList({"Tabelle 1: 4 Zeilen, 2 Spalten, 3 Stationen, 0 Zeiten",
                              "Tabelle 2: 4 Zeilen, 3 Spalten, 3 Stationen, 5 Zeiten"}));
        QCOMPARE(Control<QComboBox>(fmWebCopy, "cbTable")->currentIndex(), 1);

        // 12-hour times become timetable times when taken.
        SelectCells(Work(), 1, 1, 2, 3);
        ClickCell(Timetable(), 2, 2);
        Click(Control<QPushButton>(fmEditTimeTable, "sbPaste"));
        QCOMPARE(TimetableBlock(2, 3, 3), QStringList({"18:10|19:10", "18:13|", "18:15|19:15"}));
        QCOMPARE(fx->dialogs->beeps(), 0);

        // Names in one table, times in another that repeats no name: the
        // names stay chosen, the list offers the times (a table without
        // cells is not offered), and choosing them lays them out.
        const QStringList names = {"Hauptbahnhof", "Marktplatz", "Rathaus"};
        const QStringList bare = {"06:10|06:40|07:10", "06:13|06:43|07:13", "06:15|06:45|07:15"};
        PasteHtml(Page({names, {}, bare}));
        QCOMPARE(WorkRows(), names);
        QCOMPARE(TableItems(),
                 QStringList({"Tabelle 1: 3 Zeilen, 1 Spalte, 3 Stationen, 0 Zeiten",
                              "Tabelle 3: 3 Zeilen, 3 Spalten, 0 Stationen, 9 Zeiten"}));
        QCOMPARE(Control<QComboBox>(fmWebCopy, "cbTable")->currentIndex(), 0);
        Control<QComboBox>(fmWebCopy, "cbTable")->setFocus();
        QTest::keyClick(Control<QComboBox>(fmWebCopy, "cbTable"), Qt::Key_Down);
        QCOMPARE(WorkRows(), bare);
        // Same fit as a paste: a column the layout makes is widened to its
        // widest text.
        const QFontMetrics metrics(Work().font());
        int widest = 0;
        for (const char *text : {"06:40", "06:43", "06:45"})
            widest = std::max(widest, metrics.horizontalAdvance(text) + 4);
        QCOMPARE(Work().Grid().ColWidth(1), widest);
        QVERIFY(fx->dialogs->log().isEmpty());
    }

    void whyNothingWasLaidOutIsSaidInTheWindow() {
        OpenTimetableAndWebCopy();
        PasteHtml(Page({{"Hauptbahnhof|05:10"}}));
        const QStringList taken = WorkRows();
        QLabel *note = Control<QLabel>(fmWebCopy, "lbPasteNote");
        QVERIFY(note->isVisible());
        QVERIFY(note->text().isEmpty());

        QApplication::clipboard()->clear();
        Click(Control<QPushButton>(fmWebCopy, "Button1"));
        QCOMPARE(note->text(), QString("Die Zwischenablage enthält kein HTML."));
        PasteHtml("Hauptbahnhof\t05:10\n");
        QCOMPARE(note->text(), QString("Die Zwischenablage enthält kein HTML."));
        PasteHtml("<body><p>Hauptbahnhof 05:10</p></body>");
        QCOMPARE(note->text(), QString("Das HTML in der Zwischenablage enthält keine Tabelle."));
        note->clear();
        PasteHtml("<table class=\"rahmen\">\n</table>");
        QCOMPARE(note->text(), QString("Das HTML in der Zwischenablage enthält keine Tabelle."));
        // The list still offers the last page's tables.
        QCOMPARE(Control<QComboBox>(fmWebCopy, "cbTable")->count(), 1);

        // Tables, but none names a station: they are offered, none chosen,
        // and one can be chosen by hand.
        PasteHtml(Page({{"Nordstadt|05:10", "Südstadt|05:20"}, {"Preis|2,10"}}));
        QCOMPARE(note->text(), QString("Keine Tabelle nennt eine Station des Fahrplans; unter "
                                       "\"Tabelle:\" lässt sich eine wählen."));
        QCOMPARE(WorkRows(), taken);
        QCOMPARE(Control<QComboBox>(fmWebCopy, "cbTable")->count(), 2);
        QCOMPARE(Control<QComboBox>(fmWebCopy, "cbTable")->currentIndex(), -1);
        Control<QComboBox>(fmWebCopy, "cbTable")->setFocus();
        QTest::keyClick(Control<QComboBox>(fmWebCopy, "cbTable"), Qt::Key_Down);
        QCOMPARE(WorkRows(), QStringList({"Nordstadt|05:10", "Südstadt|05:20"}));
        QVERIFY(note->text().isEmpty());
        QVERIFY(fx->dialogs->log().isEmpty());
    }

    void theStationsHeaderCountsAlsoWithoutAnOpenTimetable() {
        // The editor has opened no timetable: its grid holds only the header
        // "Stationen" and one empty station row.
        fmEditTimeTable->hide();
        fmWebCopy->show();
        PasteHtml(Page({{"Hauptbahnhof|05:10"}, {"Stationen|Fahrt 1", "Rathaus|05:15"}}));
        QCOMPARE(WorkRows(), QStringList({"Stationen|Fahrt 1", "Rathaus|05:15"}));
    }

    void aTableTooLargeForTheGridIsReportedAndTheGridStays() {
        OpenTimetableAndWebCopy();
        PasteHtml(Page({{"Hauptbahnhof|05:10"}}));
        // 1401 rows, the first of 1500 cells: more cells than the grid takes.
        QString table =
            QStringLiteral("<table><tr>") + QStringLiteral("<td>Rathaus</td>").repeated(1500) +
            QStringLiteral("</tr>") + QStringLiteral("<tr><td>1</td></tr>").repeated(1400) +
            QStringLiteral("</table>");
        PasteHtml(table);
        QCOMPARE(fx->dialogs->errors(),
                 QStringList({"Die Tabelle ist mit 1401 Zeilen und 1500 Spalten zu groß für das "
                              "Arbeitsraster."}));
        QCOMPARE(WorkRows(), QStringList({"Hauptbahnhof|05:10"}));
        QVERIFY(fmWebCopy->isVisible());
    }

    void rowAndColumnActionsWorkAtTheCurrentCell() {
        OpenTimetableAndWebCopy();
        PasteHtml(Page({{"Stationen|b0|c0", "a1|b1|c1", "a2|b2|c2"}}));
        QCOMPARE(Control<QComboBox>(fmWebCopy, "cbActionArea")->currentText(), QString("Zeile"));
        QCOMPARE(Control<QComboBox>(fmWebCopy, "cbAction")->currentText(), QString("einfügen"));
        auto act = [](const char *area, const char *action) {
            Choose(Control<QComboBox>(fmWebCopy, "cbActionArea"), QString::fromUtf8(area));
            Choose(Control<QComboBox>(fmWebCopy, "cbAction"), QString::fromUtf8(action));
            Click(Control<QPushButton>(fmWebCopy, "btAction"));
        };

        // Row 0 duplicated: two equal rows, the cursor stays on row 0.
        ClickCell(Work(), 1, 0);
        act("Zeile", "duplizieren");
        QCOMPARE(WorkRows(),
                 QStringList({"Stationen|b0|c0", "Stationen|b0|c0", "a1|b1|c1", "a2|b2|c2"}));
        QCOMPARE(Cursor(Work()), QPoint(1, 0));
        act("Zeile", "löschen");
        QCOMPARE(WorkRows(), QStringList({"Stationen|b0|c0", "a1|b1|c1", "a2|b2|c2"}));

        // The whole selection does not count, only the current cell.
        ClickCell(Work(), 0, 1);
        SelectCells(Work(), 0, 1, 2, 2);
        act("Zeile", "einfügen");
        QCOMPARE(WorkRows(), QStringList({"Stationen|b0|c0", "||", "a1|b1|c1", "a2|b2|c2"}));
        act("Zeile", "löschen");

        ClickCell(Work(), 1, 2);
        act("Spalte", "einfügen");
        QCOMPARE(WorkRows(), QStringList({"Stationen||b0|c0", "a1||b1|c1", "a2||b2|c2"}));
        act("Spalte", "löschen");
        act("Spalte", "duplizieren");
        QCOMPARE(WorkRows(), QStringList({"Stationen|b0|b0|c0", "a1|b1|b1|c1", "a2|b2|b2|c2"}));
        QCOMPARE(Cursor(Work()), QPoint(1, 2));

        // Without a chosen area the action works on columns; without a chosen
        // action the button does nothing.
        Control<QComboBox>(fmWebCopy, "cbActionArea")->setCurrentIndex(-1);
        Choose(Control<QComboBox>(fmWebCopy, "cbAction"), "löschen");
        Click(Control<QPushButton>(fmWebCopy, "btAction"));
        QCOMPARE(WorkRows(), QStringList({"Stationen|b0|c0", "a1|b1|c1", "a2|b2|c2"}));
        Control<QComboBox>(fmWebCopy, "cbAction")->setCurrentIndex(-1);
        Click(Control<QPushButton>(fmWebCopy, "btAction"));
        QCOMPARE(WorkRows(), QStringList({"Stationen|b0|c0", "a1|b1|c1", "a2|b2|c2"}));

        // Deleting at the last row and column: the cursor stays inside, and
        // the grid's last row is kept, emptied.
        ClickCell(Work(), 2, 2);
        act("Zeile", "löschen");
        QCOMPARE(WorkRows(), QStringList({"Stationen|b0|c0", "a1|b1|c1"}));
        QCOMPARE(Cursor(Work()), QPoint(2, 1));
        act("Zeile", "löschen");
        act("Zeile", "löschen");
        QCOMPARE(WorkRows(), QStringList({"||"}));
        QVERIFY(fx->dialogs->log().isEmpty());
    }

    void columnWidthsMoveWithTheirColumns() {
        OpenTimetableAndWebCopy();
        PasteHtml(Page({{"Stationen|Fahrt 1", "Hauptbahnhof|08:10"}}));
        const QFontMetrics metrics(Work().font());
        const int names = metrics.horizontalAdvance("Hauptbahnhof") + 4;
        const int times = Work().Grid().ColWidth(1);
        QCOMPARE(Work().Grid().ColWidth(0), names);
        auto act = [](const char *action) {
            Choose(Control<QComboBox>(fmWebCopy, "cbActionArea"), "Spalte");
            Choose(Control<QComboBox>(fmWebCopy, "cbAction"), QString::fromUtf8(action));
            Click(Control<QPushButton>(fmWebCopy, "btAction"));
        };

        // A column put in before the names: they keep their width.
        ClickCell(Work(), 0, 1);
        act("einfügen");
        QCOMPARE(Work().Grid().ColWidth(0), 32);
        QCOMPARE(Work().Grid().ColWidth(1), names);
        QCOMPARE(Work().Grid().ColWidth(2), times);
        // Deleted again, and the names duplicated: both copies are wide.
        act("löschen");
        QCOMPARE(WorkRows(), QStringList({"Stationen|Fahrt 1", "Hauptbahnhof|08:10"}));
        QCOMPARE(Work().Grid().ColWidth(0), names);
        act("duplizieren");
        QCOMPARE(Work().Grid().ColWidth(1), names);
        QCOMPARE(Work().Grid().ColWidth(2), times);
        // Deleting column 0 leaves the other copy of the names at full width,
        // the grid drawing it so; then the times column moves to the front.
        act("löschen");
        QCOMPARE(Work().Grid().ColWidth(0), names);
        QVERIFY(Work().CellRect(1, 0).left() - Work().CellRect(0, 0).left() >= names);
        act("löschen");
        QCOMPARE(WorkRows(), QStringList({"Fahrt 1", "08:10"}));
        QCOMPARE(Work().Grid().ColWidth(0), times);
    }

    void theSelectedBlockLandsInTheTimetableAtTheCursor() {
        OpenTimetableAndWebCopy();
        PasteHtml(Page({{"Hauptbahnhof|08:10|08:40|09:10", "Marktplatz|08:13|08:43|09:13",
                         "Rathaus|08:15|08:45|09:15", "Schloßpark|08:18|08:48|09:18",
                         "Mühlenweg|08:20<br>\n08:22|x|"}}));

        // A block of 3 journeys and 4 stations whose top-left text is a time,
        // taken at journey 1, first station: the cursor ends at journey 4.
        SelectCells(Work(), 1, 0, 3, 3);
        ClickCell(Timetable(), 2, 2);
        Click(Control<QPushButton>(fmEditTimeTable, "sbPaste"));
        QCOMPARE(TimetableBlock(2, 5, 5),
                 QStringList({"08:10|08:40|09:10|06:10", "08:13|08:43|09:13|06:13",
                              "08:15|08:45|09:15|06:15", "08:18|08:48|09:18|06:18",
                              "05:21|05:41|06:01|06:21"}));
        QCOMPARE(Cursor(Timetable()), QPoint(5, 2));
        QVERIFY(Timetable().hasFocus());
        QVERIFY(Control<QPushButton>(fmEditTimeTable, "btSave")->isVisible());
        QCOMPARE(fx->dialogs->beeps(), 0);

        // A top-left text that is no time is refused: a beep, the cell gets
        // its own text back and the cursor stays in its column. The rest of
        // the block stays unchecked; a line end inside a cell becomes a blank.
        SelectCells(Work(), 0, 4, 2, 4);
        ClickCell(Timetable(), 6, 3);
        Click(Control<QPushButton>(fmEditTimeTable, "sbPaste"));
        QCOMPARE(fx->dialogs->beeps(), 1);
        QCOMPARE(TimetableCell(6, 3), QString("06:33"));
        QCOMPARE(TimetableCell(7, 3), QString("08:20 08:22"));
        QCOMPARE(TimetableCell(8, 3), QString("x"));
        QCOMPARE(Cursor(Timetable()), QPoint(6, 2));

        // At the last journey the block is cut off at the grid's edge and the
        // cursor stays in its column, without an error.
        SelectCells(Work(), 1, 0, 3, 1);
        QVERIFY(Timetable().MoveTo(511, 4));
        Click(Control<QPushButton>(fmEditTimeTable, "sbPaste"));
        QCOMPARE(TimetableCell(511, 4), QString("08:10"));
        QCOMPARE(TimetableCell(511, 5), QString("08:13"));
        QCOMPARE(Cursor(Timetable()), QPoint(511, 2));
        QVERIFY(fx->dialogs->errors().isEmpty());

        // In copy mode nothing is checked: the refused text stays.
        Click(Control<QToolButton>(fmEditTimeTable, "sbCopyMode"));
        SelectCells(Work(), 2, 4, 2, 4);
        QVERIFY(Timetable().MoveTo(9, 2));
        Click(Control<QPushButton>(fmEditTimeTable, "sbPaste"));
        QCOMPARE(TimetableCell(9, 2), QString("x"));
        QCOMPARE(Cursor(Timetable()), QPoint(10, 2));
        QCOMPARE(fx->dialogs->beeps(), 1);
        Click(Control<QToolButton>(fmEditTimeTable, "sbCopyMode"));

        // Saved, every row stays one line of the timetable file.
        Click(Control<QPushButton>(fmEditTimeTable, "btSave"));
        const QString saved = QString::fromLatin1(ReadBytes(fx->path("demo/line_1.ttd")));
        QVERIFY2(saved.contains("\r\n2=Marktplatz,08:13,08:43,09:13,06:13,06:33,08:20 08:22,x,"
                                "07:33\r\n"),
                 qPrintable(saved));
        QVERIFY2(
            saved.contains("\r\n1=Hauptbahnhof,08:10,08:40,09:10,06:10,06:30,06:50,07:10,x\r\n"),
            qPrintable(saved));
    }
};

TAKTON_GUI_TEST_MAIN(WebCopyTest)

#else // WEB_COPY_WITH_BROWSER

class WebCopyBrowserTest : public WebCopyTestBase {
    Q_OBJECT
  private slots:
    void init() { SetUp(); }
    void cleanup() { fx.reset(); }

    void aShownPagesBodyGoesToTheClipboardAndIntoTheWorkGrid() {
        OpenTimetableAndWebCopy();
        ClickTab("Website");
        QVERIFY(fmWebCopy->Browser());
        QWidget *view = fmWebCopy->findChild<QWidget *>("wbWebCopy");
        QVERIFY(view);
        QVERIFY(view->isVisible());

        // Nothing shown yet: "HTML kopieren" leaves the clipboard alone.
        SetClipboard("vorher");
        Click(Control<QPushButton>(fmWebCopy, "btCopy"));
        QCOMPARE(ClipboardText(), QString("vorher"));

        const QString page =
            QStringLiteral(TAKTON_SOURCE_DIR "/tests/data/html/linie1_web_copy.html");
        QSignalSpy loaded(view, SIGNAL(loadFinished(bool)));
        QTest::keyClicks(Control<QLineEdit>(fmWebCopy, "leURL"),
                         QUrl::fromLocalFile(page).toString());
        Click(Control<QPushButton>(fmWebCopy, "btShowURL"));
        QVERIFY(loaded.wait(20000));
        QCOMPARE(loaded.first().first().toBool(), true);

        // The body as the browser serialises it (the page is written that
        // way), without the head; "→" is not in the code page.
        const QString source = QString::fromUtf8(ReadBytes(page));
        const qsizetype start = source.indexOf("<body");
        const qsizetype end = source.indexOf("</body>") + 7;
        QString body = source.mid(start, end - start);
        body.replace(QStringLiteral("→"), QStringLiteral("?"));
        QVERIFY(body.contains("€"));
        Click(Control<QPushButton>(fmWebCopy, "btCopy"));
        QTRY_COMPARE_WITH_TIMEOUT(ClipboardText(), body, 10000);

        // Pasted, the plan table names four stations, the network table two;
        // "&nbsp;" is taken as the empty cell it stands for.
        ClickTab("Tabellen-Kopie");
        Click(Control<QPushButton>(fmWebCopy, "Button1"));
        QCOMPARE(WorkRows(), QStringList({"Haltestelle|Fahrt 1|Fahrt 2", "Hauptbahnhof|08:10|08:40",
                                          "Marktplatz|08:13|08:43", "Rathaus|08:15|08:45",
                                          "Schloßpark|08:18|"}));
        QVERIFY(fx->dialogs->log().isEmpty());
    }

    void aDocumentThatIsNoHtmlIsReported() {
        OpenTimetableAndWebCopy();
        ClickTab("Website");
        QWidget *view = fmWebCopy->findChild<QWidget *>("wbWebCopy");
        QVERIFY(view);
        const QString page = QStringLiteral(TAKTON_SOURCE_DIR "/tests/data/html/kein_html.svg");
        QSignalSpy loaded(view, SIGNAL(loadFinished(bool)));
        QTest::keyClicks(Control<QLineEdit>(fmWebCopy, "leURL"),
                         QUrl::fromLocalFile(page).toString());
        QTest::keyClick(Control<QLineEdit>(fmWebCopy, "leURL"), Qt::Key_Return);
        QVERIFY(loaded.wait(20000));
        SetClipboard("vorher");
        Click(Control<QPushButton>(fmWebCopy, "btCopy"));
        QTRY_COMPARE_WITH_TIMEOUT(fx->dialogs->errors(),
                                  QStringList({"Das angezeigte Dokument ist kein HTML-Dokument."}),
                                  10000);
        QCOMPARE(ClipboardText(), QString("vorher"));
    }
};

int main(int argc, char **argv) {
    // The browser module is loaded after the application object exists.
    PrepareWebBrowser();
    TaktonApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    WebCopyBrowserTest test;
    return QTest::qExec(&test, argc, argv);
}

#endif

#include "test_web_copy.moc"
