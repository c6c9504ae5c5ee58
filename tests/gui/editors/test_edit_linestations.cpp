// The line-station assignment as a planner works it: choosing a line, taking
// a block of stations after the current one, ordering and deleting, saving
// (an empty route too), discarding by Escape and the refused closing while a
// line is being assigned.

#include "app/main_window.h"
#include "gui/common/error_handler.h"
#include "gui/editors/edit_linestations.h"
#include "support/controls.h"
#include "support/editor_steps.h"
#include "support/gui_fixture.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace takton;
using namespace takton::gui;
using namespace takton::testing;

class EditLineStationsTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        fx = std::make_unique<GuiFixture>();
        project = fx->path("netz/netz.zpr");
        WriteBytes(project, IniText({"[timetable]", "max_drive_minutes=45"}));
        WriteBytes(file("stations.csv"), IniText({"A", "B", "C", "D", "E", "F"}));
        WriteBytes(file("newstations.csv"), IniText({"F", "E"}));
        WriteBytes(file("lines.csv"), IniText({"L2", "l1"}));
        WriteBytes(file("line_stations.csv"), IniText({"l1=A,B,C,D"}));
        WriteBytes(file("station_lines.csv"), IniText({"A=l1", "B=l1", "C=l1", "D=l1"}));
        fmMain->show();
        fmMain->OpenFromCommandLine(project);
        fmEditLineStations->show();
        QVERIFY(QTest::qWaitForWindowExposed(fmEditLineStations));
    }
    void cleanup() { fx.reset(); }

    void choosingALineOpensItsRoute() {
        TfmEditLineStations *w = fmEditLineStations;
        QCOMPARE(Items(Control<QListWidget>(w, "lbLines")), QStringList({"l1", "L2"}));
        QCOMPARE(SelectedItems(Control<QListWidget>(w, "lbLines")), QStringList());
        QVERIFY(Control<QGroupBox>(w, "gbLineAssign")->isHidden());
        // Without a chosen line ">>" does nothing.
        Click(Control<QPushButton>(w, "btStationEdit"));
        QVERIFY(Control<QGroupBox>(w, "gbLineAssign")->isHidden());

        QVERIFY(ClickItem(Control<QListWidget>(w, "lbLines"), "l1"));
        Click(Control<QPushButton>(w, "btStationEdit"));
        QVERIFY(Control<QGroupBox>(w, "gbLineAssign")->isVisible());
        QCOMPARE(Control<QLabel>(w, "lLineName")->text(), QString("Linie l1"));
        QCOMPARE(Items(Control<QListWidget>(w, "lbLineStations")),
                 QStringList({"A", "B", "C", "D"}));
        QCOMPARE(Control<QListWidget>(w, "lbLineStations")->currentRow(), -1);
        QVERIFY(!Control<QListWidget>(w, "lbLines")->isEnabled());
        QVERIFY(Control<QPushButton>(w, "btStationEdit")->isHidden());
        QVERIFY(Control<QPushButton>(w, "btClose")->isHidden());
        QVERIFY(!Control<QPushButton>(w, "btSave")->isVisible());
        QCOMPARE(Items(Control<QListWidget>(w, "lbStations")),
                 QStringList({"A", "B", "C", "D", "E", "F"}));

        // The station choice: the memo list in its own order, all stations,
        // "alle markieren"; none of it is a change.
        Click(Control<QRadioButton>(w, "rbNewStations"));
        QCOMPARE(Items(Control<QListWidget>(w, "lbStations")), QStringList({"F", "E"}));
        Click(Control<QRadioButton>(w, "rbAllStations"));
        Click(Control<QPushButton>(w, "btSelectAllStations"));
        QCOMPARE(SelectedItems(Control<QListWidget>(w, "lbStations")).size(), 6);
        QVERIFY(!Control<QPushButton>(w, "btSave")->isVisible());

        // Closing is refused while the line is assigned; Enter does nothing
        // while nothing changed.
        QVERIFY(!w->close());
        QTest::keyClick(Control<QListWidget>(w, "lbLineStations"), Qt::Key_Return);
        QVERIFY(Control<QGroupBox>(w, "gbLineAssign")->isVisible());
        Click(Control<QPushButton>(w, "btCancel"));
        QVERIFY(Control<QGroupBox>(w, "gbLineAssign")->isHidden());
        QCOMPARE(QApplication::focusWidget(), Control<QPushButton>(w, "btStationEdit"));
        QVERIFY(w->close());
    }

    void theArrangementStaysWhileALineIsChosenAssignedAndSaved() {
        // A line with a long name too, as a network's express lines have
        WriteBytes(file("lines.csv"), IniText({"L2", "l1",
                                               "Schnellbus Hauptbahnhof - Flughafen "
                                               "Terminal 2 - Messe Nord"}));
        TfmEditLineStations *w = fmEditLineStations;
        w->hide();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        const auto at = [w](QWidget *part) {
            return QRect(part->mapTo(w, QPoint(0, 0)), part->size());
        };
        const auto arrangement = [&](const QList<QWidget *> &parts) {
            QApplication::processEvents();
            QList<QRect> rects;
            for (QWidget *part : parts)
                rects << at(part);
            return rects;
        };
        // The window's columns, and the assignment's lists inside its group
        const QList<QWidget *> columns = {
            Control<QListWidget>(w, "lbLines"), Control<QPushButton>(w, "btStationEdit"),
            Control<QGroupBox>(w, "gbLineAssign"), Control<QPushButton>(w, "btClose")};
        const QList<QWidget *> lists = {
            Control<QListWidget>(w, "lbStations"), Control<QPushButton>(w, "btStationToLine"),
            Control<QListWidget>(w, "lbLineStations"), Control<QPushButton>(w, "btSave")};
        const QList<QRect> choosing = arrangement(columns);
        QVERIFY(ClickItem(Control<QListWidget>(w, "lbLines"), "l1"));
        QCOMPARE(arrangement(columns), choosing);
        Click(Control<QPushButton>(w, "btStationEdit"));
        QVERIFY(Control<QGroupBox>(w, "gbLineAssign")->isVisible());
        QCOMPARE(arrangement(columns), choosing);
        const QList<QRect> assigning = arrangement(lists);
        // A change shows the save button, in its place
        QVERIFY(ClickItem(Control<QListWidget>(w, "lbStations"), "E"));
        Click(Control<QPushButton>(w, "btStationToLine"));
        QVERIFY(Control<QPushButton>(w, "btSave")->isVisible());
        QCOMPARE(arrangement(columns), choosing);
        QCOMPARE(arrangement(lists), assigning);
        Click(Control<QPushButton>(w, "btSave"));
        QVERIFY(Control<QPushButton>(w, "btClose")->isVisible());
        QCOMPARE(arrangement(columns), choosing);
        QCOMPARE(arrangement(lists), assigning);
        // Another line, the long name among them, chosen and assigned
        QVERIFY(ClickItem(Control<QListWidget>(w, "lbLines"),
                          "Schnellbus Hauptbahnhof - Flughafen Terminal 2 - Messe Nord"));
        QVERIFY(Control<QGroupBox>(w, "gbLineAssign")->isHidden());
        QCOMPARE(arrangement(columns), choosing);
        Click(Control<QPushButton>(w, "btStationEdit"));
        QVERIFY(Control<QLabel>(w, "lLineName")->text().endsWith("Messe Nord"));
        QCOMPARE(arrangement(columns), choosing);
        QCOMPARE(arrangement(lists), assigning);
        Click(Control<QPushButton>(w, "btCancel"));
        QCOMPARE(arrangement(columns), choosing);
    }

    void aBlockOfStationsGoesInAfterTheCurrentOne() {
        TfmEditLineStations *w = fmEditLineStations;
        QVERIFY(ClickItem(Control<QListWidget>(w, "lbLines"), "l1"));
        Click(Control<QPushButton>(w, "btStationEdit"));
        QVERIFY(ClickRow(Control<QListWidget>(w, "lbLineStations"), 1));
        // Chosen in any order, the block keeps the order of the choice.
        QVERIFY(ClickItem(Control<QListWidget>(w, "lbStations"), "F"));
        QVERIFY(ClickItem(Control<QListWidget>(w, "lbStations"), "A", Qt::ControlModifier));
        QVERIFY(ClickItem(Control<QListWidget>(w, "lbStations"), "E", Qt::ControlModifier));
        Click(Control<QPushButton>(w, "btStationToLine"));
        QCOMPARE(Items(Control<QListWidget>(w, "lbLineStations")),
                 QStringList({"A", "B", "A", "E", "F", "C", "D"}));
        QCOMPARE(Control<QListWidget>(w, "lbLineStations")->currentRow(), 4);
        QVERIFY(Control<QPushButton>(w, "btSave")->isVisible());
        QCOMPARE(QApplication::focusWidget(), Control<QListWidget>(w, "lbStations"));
        QCOMPARE(SelectedItems(Control<QListWidget>(w, "lbStations")),
                 QStringList({"A", "E", "F"}));

        // Saved by Enter: a station taken twice is stored twice. The saved
        // route stays in sight, for looking only, while a line is chosen.
        QTest::keyClick(Control<QListWidget>(w, "lbStations"), Qt::Key_Return);
        QVERIFY(Control<QGroupBox>(w, "gbLineAssign")->isVisible());
        QVERIFY(!Control<QGroupBox>(w, "gbLineAssign")->isEnabled());
        QCOMPARE(Items(Control<QListWidget>(w, "lbLineStations")),
                 QStringList({"A", "B", "A", "E", "F", "C", "D"}));
        QVERIFY(Control<QListWidget>(w, "lbLines")->isEnabled());
        QVERIFY(Control<QPushButton>(w, "btClose")->isVisible());
        QCOMPARE(ReadBytes(file("line_stations.csv")), IniText({"l1=A,B,A,E,F,C,D"}));
        QCOMPARE(ReadBytes(file("station_lines.csv")),
                 IniText({"A=l1", "B=l1", "C=l1", "D=l1", "E=l1", "F=l1"}));

        // Without a current station the block goes to the end.
        QVERIFY(ClickItem(Control<QListWidget>(w, "lbLines"), "L2"));
        QVERIFY(Control<QGroupBox>(w, "gbLineAssign")->isHidden());
        Click(Control<QPushButton>(w, "btStationEdit"));
        QVERIFY(Control<QGroupBox>(w, "gbLineAssign")->isEnabled());
        QCOMPARE(Items(Control<QListWidget>(w, "lbLineStations")), QStringList());
        Click(Control<QRadioButton>(w, "rbNewStations"));
        Click(Control<QPushButton>(w, "btSelectAllStations"));
        Click(Control<QPushButton>(w, "btStationToLine"));
        QVERIFY(ClickItem(Control<QListWidget>(w, "lbStations"), "F"));
        Click(Control<QPushButton>(w, "btStationToLine"));
        QCOMPARE(Items(Control<QListWidget>(w, "lbLineStations")), QStringList({"F", "E", "F"}));
        QCOMPARE(Control<QListWidget>(w, "lbLineStations")->currentRow(), 2);
        Click(Control<QPushButton>(w, "btSave"));
        QCOMPARE(ReadBytes(file("line_stations.csv")), IniText({"l1=A,B,A,E,F,C,D", "L2=F,E,F"}));
    }

    void upDownAndDeleteAtTheEndsThenEscapeDiscards() {
        TfmEditLineStations *w = fmEditLineStations;
        const QByteArray routes = ReadBytes(file("line_stations.csv"));
        QVERIFY(ClickItem(Control<QListWidget>(w, "lbLines"), "l1"));
        Click(Control<QPushButton>(w, "btStationEdit"));

        // Up on the first moves nothing but counts as a change.
        QVERIFY(ClickRow(Control<QListWidget>(w, "lbLineStations"), 0));
        Click(Control<QPushButton>(w, "btStationUp"));
        QCOMPARE(Items(Control<QListWidget>(w, "lbLineStations")),
                 QStringList({"A", "B", "C", "D"}));
        QCOMPARE(Control<QListWidget>(w, "lbLineStations")->currentRow(), 0);
        QVERIFY(Control<QPushButton>(w, "btSave")->isVisible());
        Click(Control<QPushButton>(w, "btStationDown"));
        QCOMPARE(Items(Control<QListWidget>(w, "lbLineStations")),
                 QStringList({"B", "A", "C", "D"}));
        QCOMPARE(Control<QListWidget>(w, "lbLineStations")->currentRow(), 1);
        QVERIFY(ClickRow(Control<QListWidget>(w, "lbLineStations"), 3));
        Click(Control<QPushButton>(w, "btStationDown"));
        QCOMPARE(Items(Control<QListWidget>(w, "lbLineStations")),
                 QStringList({"B", "A", "C", "D"}));
        QCOMPARE(Control<QListWidget>(w, "lbLineStations")->currentRow(), 3);
        Click(Control<QPushButton>(w, "btStationUp"));
        QCOMPARE(Items(Control<QListWidget>(w, "lbLineStations")),
                 QStringList({"B", "A", "D", "C"}));
        QCOMPARE(Control<QListWidget>(w, "lbLineStations")->currentRow(), 2);

        // Escape drops every edit and writes nothing.
        QTest::keyClick(Control<QListWidget>(w, "lbLineStations"), Qt::Key_Escape);
        QVERIFY(Control<QGroupBox>(w, "gbLineAssign")->isHidden());
        QVERIFY(w->isVisible());
        QCOMPARE(ReadBytes(file("line_stations.csv")), routes);

        // Deleting the last of four leaves the new last one current.
        Click(Control<QPushButton>(w, "btStationEdit"));
        QCOMPARE(Items(Control<QListWidget>(w, "lbLineStations")),
                 QStringList({"A", "B", "C", "D"}));
        QVERIFY(!Control<QPushButton>(w, "btSave")->isVisible());
        QVERIFY(ClickRow(Control<QListWidget>(w, "lbLineStations"), 3));
        Click(Control<QPushButton>(w, "btDeleteStation"));
        QCOMPARE(Items(Control<QListWidget>(w, "lbLineStations")), QStringList({"A", "B", "C"}));
        QCOMPARE(Control<QListWidget>(w, "lbLineStations")->currentRow(), 2);
        QVERIFY(ClickRow(Control<QListWidget>(w, "lbLineStations"), 0));
        Click(Control<QPushButton>(w, "btDeleteStation"));
        QCOMPARE(Items(Control<QListWidget>(w, "lbLineStations")), QStringList({"B", "C"}));
        QCOMPARE(Control<QListWidget>(w, "lbLineStations")->currentRow(), 0);
        Click(Control<QPushButton>(w, "btSave"));
        QCOMPARE(ReadBytes(file("line_stations.csv")), IniText({"l1=B,C"}));
        QCOMPARE(ReadBytes(file("station_lines.csv")), IniText({"B=l1", "C=l1"}));
    }

    void reorderingAndSavingKeepsTheTimesOfMovedStations() {
        // GIVEN a timetable of l1 with times at every station, C served twice
        WriteBytes(file("line_l1.ttd"),
                   IniText({"[1_Sa]", "1=A,05:00,06:00", "2=B,05:05,06:05", "3=C,05:10,06:10",
                            "4=C,05:11,06:11", "5=D,05:20,06:20", "[2_Sa]", "1=D,07:00",
                            "2=C,07:10", "3=B,07:15", "4=A,07:20"}));
        TfmEditLineStations *w = fmEditLineStations;
        QVERIFY(ClickItem(Control<QListWidget>(w, "lbLines"), "l1"));
        Click(Control<QPushButton>(w, "btStationEdit"));
        // WHEN D is moved up to the top and B down below C, then Enter
        // (the focus still on an arrow button) saves
        QVERIFY(ClickRow(Control<QListWidget>(w, "lbLineStations"), 3));
        for (int i = 0; i < 3; ++i)
            Click(Control<QPushButton>(w, "btStationUp"));
        QVERIFY(ClickRow(Control<QListWidget>(w, "lbLineStations"), 2));
        Click(Control<QPushButton>(w, "btStationDown"));
        QCOMPARE(Items(Control<QListWidget>(w, "lbLineStations")),
                 QStringList({"D", "A", "C", "B"}));
        QCOMPARE(QApplication::focusWidget(), Control<QPushButton>(w, "btStationDown"));
        QTest::keyClick(Control<QPushButton>(w, "btStationDown"), Qt::Key_Return);
        QCOMPARE(Items(Control<QListWidget>(w, "lbLineStations")),
                 QStringList({"D", "A", "C", "B"}));
        // THEN every station keeps its times in both directions
        QCOMPARE(ReadBytes(file("line_stations.csv")), IniText({"l1=D,A,C,B"}));
        QCOMPARE(ReadBytes(file("line_l1.ttd")),
                 IniText({"[1_Sa]", "1=D,05:20,06:20", "2=A,05:00,06:00", "3=C,05:10,06:10",
                          "4=C,05:11,06:11", "5=B,05:05,06:05", "[2_Sa]", "1=B,07:15", "2=C,07:10",
                          "3=A,07:20", "4=D,07:00"}));
    }

    void aDoubleClickTakesAStationAndMinimisingKeepsTheAssignment() {
        TfmEditLineStations *w = fmEditLineStations;
        QVERIFY(ClickItem(Control<QListWidget>(w, "lbLines"), "l1"));
        Click(Control<QPushButton>(w, "btStationEdit"));
        DoubleClickRow(Control<QListWidget>(w, "lbStations"), 4);
        QCOMPARE(SelectedItems(Control<QListWidget>(w, "lbStations")), QStringList({"E"}));
        QCOMPARE(Items(Control<QListWidget>(w, "lbLineStations")),
                 QStringList({"A", "B", "C", "D", "E"}));
        QVERIFY(Control<QPushButton>(w, "btSave")->isVisible());
        // The ">>" buttons keep a button's size however the window is drawn.
        QCOMPARE(Control<QPushButton>(w, "btStationToLine")->size(),
                 Control<QPushButton>(w, "btStationToLine")->sizeHint());

        // WHEN the program is minimised and restored THEN the unsaved
        // assignment is still there and can be saved
        w->showMinimized();
        w->showNormal();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY(Control<QGroupBox>(w, "gbLineAssign")->isVisible());
        QCOMPARE(Items(Control<QListWidget>(w, "lbLineStations")),
                 QStringList({"A", "B", "C", "D", "E"}));
        QCOMPARE(SelectedItems(Control<QListWidget>(w, "lbLines")), QStringList({"l1"}));
        Click(Control<QPushButton>(w, "btSave"));
        QCOMPARE(ReadBytes(file("line_stations.csv")), IniText({"l1=A,B,C,D,E"}));
    }

    void anEmptyRouteIsSaved() {
        TfmEditLineStations *w = fmEditLineStations;
        QVERIFY(ClickItem(Control<QListWidget>(w, "lbLines"), "l1"));
        Click(Control<QPushButton>(w, "btStationEdit"));
        // "löschen" without a current station removes nothing, yet allows saving.
        Click(Control<QPushButton>(w, "btDeleteStation"));
        QCOMPARE(Items(Control<QListWidget>(w, "lbLineStations")).size(), 4);
        QVERIFY(Control<QPushButton>(w, "btSave")->isVisible());
        QVERIFY(ClickRow(Control<QListWidget>(w, "lbLineStations"), 0));
        for (int i = 0; i < 4; ++i)
            Click(Control<QPushButton>(w, "btDeleteStation"));
        QCOMPARE(Control<QListWidget>(w, "lbLineStations")->count(), 0);
        QCOMPARE(Control<QListWidget>(w, "lbLineStations")->currentRow(), -1);
        Click(Control<QPushButton>(w, "btSave"));
        QCOMPARE(ReadBytes(file("line_stations.csv")), IniText({"l1="}));
        QCOMPARE(ReadBytes(file("station_lines.csv")), QByteArray());
        QVERIFY(fx->dialogs->messages().isEmpty());
    }

    void openedFromTheMainWindowItRefusesTheFrameWhileAssigning() {
        fmEditLineStations->hide();
        WriteBytes(file("lines.csv"), IniText({"L9"}));
        bool refused = false;
        fx->dialogs->setNextModalAction([&](QDialog &dialog) {
            TfmEditLineStations *w = fmEditLineStations;
            // Each showing reloads the lines, none chosen, and keeps the
            // station choice.
            if (Items(Control<QListWidget>(w, "lbLines")) != QStringList({"L9"}) ||
                !Control<QRadioButton>(w, "rbAllStations")->isChecked())
                return;
            if (!ClickItem(Control<QListWidget>(w, "lbLines"), "L9"))
                return;
            Click(Control<QPushButton>(w, "btStationEdit"));
            dialog.close();
            refused = dialog.isVisible() && Control<QGroupBox>(w, "gbLineAssign")->isVisible();
            Click(Control<QPushButton>(w, "btCancel"));
        });
        Click(Control<QPushButton>(fmMain, "sbAssignStations"));
        QVERIFY(refused);
        QVERIFY(!fmEditLineStations->isVisible());
        QCOMPARE(fx->dialogs->log(), QStringList({"modal:Stationen für Linie zuweisen"}));
    }

  private:
    QString file(const char *name) const { return fx->path(QStringLiteral("netz/") + name); }

    std::unique_ptr<GuiFixture> fx;
    QString project;
};

TAKTON_GUI_TEST_MAIN(EditLineStationsTest)

#include "test_edit_linestations.moc"
