// One planner per project and files changed behind the editor's back, as a
// planner meets them: a second instance asked about the lock, read-only
// windows that write nothing, a stale lock taken over, and the question
// before a timetable changed by someone else is saved.

#include "app/app_windows.h"
#include "app/main_window.h"
#include "gui/common/project_guard.h"
#include "gui/common/string_grid_view.h"
#include "gui/editors/edit_lines.h"
#include "gui/editors/edit_linestations.h"
#include "gui/editors/edit_project.h"
#include "gui/editors/edit_stations.h"
#include "gui/timetable/edit_timetable.h"
#include "render/qt_text.h"
#include "support/controls.h"
#include "support/editor_steps.h"
#include "support/gui_fixture.h"
#include "support/process_steps.h"
#include "support/timetable_steps.h"
#include "support/window_steps.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <sys/wait.h>
#include <unistd.h>

using namespace takton;
using namespace takton::gui;
using takton::testing::Choose;
using takton::testing::Click;
using takton::testing::ClickCell;
using takton::testing::Control;
using takton::testing::DeadPid;
using takton::testing::Enter;
using takton::testing::GuiFixture;
using takton::testing::HostName;
using takton::testing::ReadBytes;
using takton::testing::WriteBytes;

namespace {

QByteArray LockText(const std::string &host, long pid) {
    return "host=" + QByteArray::fromStdString(host) +
           "\nuser=kollegin\npid=" + QByteArray::number(qlonglong(pid)) +
           "\ntime=2026-12-10T08:00:00Z\n";
}

} // namespace

class ProjectGuardTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        fx = std::make_unique<GuiFixture>();
        takton::testing::CopyDemoProject(fx->path("demo"));
        project = fx->path("demo/demo.zpr");
        lock = fx->path("demo/.takton.lock");
        fmMain->show();
    }
    void cleanup() {
        ReleaseProjectDir(OpenProject());
        fx.reset();
    }

    void secondInstanceAsksAndReadOnlyWritesNothing() {
        // GIVEN the project open in another live process of this host
        const QByteArray theirs = LockText(HostName(), ::getppid());
        WriteBytes(lock, theirs);
        const QByteArray stations = ReadBytes(fx->path("demo/stations.csv"));

        // WHEN opened and "Nein" answered THEN nothing is opened
        fx->dialogs->setNextAnswer(Answer::No);
        fmMain->OpenFromCommandLine(project);
        QCOMPARE(fx->dialogs->questions().size(), 1);
        QVERIFY(fx->dialogs->questions().first().startsWith(
            "Projekt gesperrt:Das Projekt ist geöffnet von kollegin auf " +
            QString::fromStdString(HostName())));
        QVERIFY(fx->dialogs->questions().first().endsWith("Projekt schreibgeschützt öffnen?"));
        QVERIFY(gui::OpenProject().ProjectFile.empty());
        QVERIFY(!Control<QWidget>(fmMain, "paWorkChoice")->isVisible());

        // WHEN "Ja" THEN it opens read-only: the title says so, the save
        // commands and every writing button are disabled
        fx->dialogs->setNextAnswer(Answer::Yes);
        fmMain->OpenFromCommandLine(project);
        QVERIFY(OpenProject().ReadOnly);
        QVERIFY(fmMain->windowTitle().endsWith("[schreibgeschützt]"));
        QVERIFY(!Control<QAction>(fmMain, "FileSaveItem")->isEnabled());
        QVERIFY(!Control<QToolButton>(fmMain, "SaveButton")->isEnabled());
        fx->dialogs->setNextModalAction([this](QDialog &) {
            for (QPushButton *button : {Control<QPushButton>(fmEditStations, "btNewStation"),
                                        Control<QPushButton>(fmEditStations, "btStationEdit"),
                                        Control<QPushButton>(fmEditStations, "btStationDelete")})
                QVERIFY(!button->isEnabled());
            QVERIFY(Control<QListWidget>(fmEditStations, "lbStations")->count() >
                    0); // reading still works
            // Neither the Delete key nor a double-click starts what the
            // disabled buttons refuse: no question, no error, no entry.
            const int asked = fx->dialogs->log().size();
            QVERIFY(takton::testing::ClickItem(Control<QListWidget>(fmEditStations, "lbStations"),
                                               "Marktplatz"));
            QTest::keyClick(Control<QListWidget>(fmEditStations, "lbStations"), Qt::Key_Delete);
            takton::testing::DoubleClickRow(Control<QListWidget>(fmEditStations, "lbStations"), 1);
            QCOMPARE(fx->dialogs->log().size(), asked);
            QVERIFY(!Control<QGroupBox>(fmEditStations, "gbStationEdit")->isVisible());
        });
        Click(Control<QPushButton>(fmMain, "sbEditStations"));
        fx->dialogs->setNextModalAction([this](QDialog &) {
            const int asked = fx->dialogs->log().size();
            QTest::keyClick(Control<QListWidget>(fmEditLines, "lbLines"), Qt::Key_Delete);
            takton::testing::DoubleClickRow(Control<QListWidget>(fmEditLines, "lbLines"), 0);
            QCOMPARE(fx->dialogs->log().size(), asked);
            QVERIFY(!Control<QGroupBox>(fmEditLines, "gbLineEdit")->isVisible());
        });
        Click(Control<QPushButton>(fmMain, "sbEditLines"));
        fx->dialogs->setNextModalAction([](QDialog &) {
            QVERIFY(!Control<QPushButton>(fmEditProject, "btAddDayGroup")->isEnabled());
            QVERIFY(!Control<QPushButton>(fmEditProject, "btRenameDayGroup")->isEnabled());
            QVERIFY(!Control<QPushButton>(fmEditProject, "btDeleteDayGroup")->isEnabled());
            // A change shows the save button, which stays disabled
            QTest::keyClicks(Control<QLineEdit>(fmEditProject, "leMaxDriveMinutes"), "5");
            QVERIFY(Control<QPushButton>(fmEditProject, "btSave")->isVisible());
            QVERIFY(!Control<QPushButton>(fmEditProject, "btSave")->isEnabled());
        });
        Click(Control<QPushButton>(fmMain, "sbEditProject"));
        // A timetable opens for reading; a change there cannot be saved and is
        // discarded
        const QByteArray timetable = ReadBytes(fx->path("demo/line_1.ttd"));
        fmEditTimeTable->show();
        fmEditTimeTable->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(fmEditTimeTable));
        Choose(Control<QComboBox>(fmEditTimeTable, "cbLines"), "1");
        Choose(Control<QComboBox>(fmEditTimeTable, "cbDays"), "Mo-Fr");
        Choose(Control<QComboBox>(fmEditTimeTable, "cbDirection"), "1");
        QVERIFY(Control<QPushButton>(fmEditTimeTable, "btTimeTableEdit")->isEnabled());
        QTest::mouseClick(Control<QPushButton>(fmEditTimeTable, "btTimeTableEdit"), Qt::LeftButton);
        QVERIFY(Control<TStringGridView>(fmEditTimeTable, "sgTimeTable")->isVisible());
        QCOMPARE(Control<TStringGridView>(fmEditTimeTable, "sgTimeTable")->Grid().Cell(2, 2),
                 std::string("05:10"));
        ClickCell(2, 2);
        Enter("0511");
        QVERIFY(Control<QPushButton>(fmEditTimeTable, "btSave")->isVisible());
        QVERIFY(!Control<QPushButton>(fmEditTimeTable, "btSave")->isEnabled());
        fx->dialogs->setNextAnswer(Answer::Yes);
        QTest::mouseClick(Control<QPushButton>(fmEditTimeTable, "btCancel"), Qt::LeftButton);
        QVERIFY(fx->dialogs->questions().last().endsWith("Ungespeicherte Änderungen verwerfen?"));
        fmEditTimeTable->close();
        QVERIFY(!fmEditTimeTable->isVisible());
        QCOMPARE(ReadBytes(fx->path("demo/line_1.ttd")), timetable);
        // Ctrl+S reaches no file either
        const QByteArray projectFile = ReadBytes(project);
        fx->dialogs->clearLog();
        fmMain->activateWindow();
        QTest::keyClick(fmMain, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(ReadBytes(project), projectFile);
        QCOMPARE(ReadBytes(fx->path("demo/stations.csv")), stations);
        QCOMPARE(ReadBytes(lock), theirs); // their lock stays

        // Another project, free, opens for writing: the buttons come back
        takton::testing::CopyDemoProject(fx->path("zwei"));
        fmMain->OpenFromCommandLine(fx->path("zwei/demo.zpr"));
        QVERIFY(!OpenProject().ReadOnly);
        QVERIFY(!fmMain->windowTitle().contains("schreibgeschützt"));
        QVERIFY(Control<QToolButton>(fmMain, "SaveButton")->isEnabled());
        fx->dialogs->setNextModalAction([](QDialog &) {
            QVERIFY(Control<QPushButton>(fmEditStations, "btNewStation")->isEnabled());
        });
        Click(Control<QPushButton>(fmMain, "sbEditStations"));
    }

    void lockOfAnotherHostAsksAndStaleLockIsTakenOverSilently() {
        WriteBytes(lock, LockText("anderer-rechner", 1));
        WriteBytes(fx->path("demo/.takton-Ab12Cd"), "ihre");
        fmMain->OpenFromCommandLine(project); // unanswered: "Nein"
        QCOMPARE(fx->dialogs->questions().size(), 1);
        QVERIFY(QFile::exists(fx->path("demo/.takton-Ab12Cd"))); // theirs, not touched
        QVERIFY(gui::OpenProject().ProjectFile.empty());

        // A lock left by a dead process of this host: no question, and the
        // lock is this instance's until it lets go. What the dead process
        // left half written goes.
        fx->dialogs->clearLog();
        WriteBytes(lock, LockText(HostName(), DeadPid()));
        WriteBytes(fx->path("demo/.takton-Ab12Cd"), "halb");
        fmMain->OpenFromCommandLine(project);
        QVERIFY(fx->dialogs->log().isEmpty());
        QVERIFY(!QFile::exists(fx->path("demo/.takton-Ab12Cd")));
        QCOMPARE(gui::OpenProject().ProjectFile, project.toStdString());
        QVERIFY(!OpenProject().ReadOnly);
        QVERIFY(ReadBytes(lock).contains("pid=" + QByteArray::number(::getpid()) + "\n"));
        ReleaseProjectDir(OpenProject());
        QVERIFY(!QFile::exists(lock));
    }

    void timetableChangedBehindTheEditorsBackIsNotOverwrittenSilently() {
        fmMain->OpenFromCommandLine(project);
        const QString timetable = fx->path("demo/line_1.ttd");
        fmEditTimeTable->show();
        fmEditTimeTable->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(fmEditTimeTable));
        auto open = [] {
            Choose(Control<QComboBox>(fmEditTimeTable, "cbLines"), "1");
            Choose(Control<QComboBox>(fmEditTimeTable, "cbDays"), "Mo-Fr");
            Choose(Control<QComboBox>(fmEditTimeTable, "cbDirection"), "1");
            QTest::mouseClick(Control<QPushButton>(fmEditTimeTable, "btTimeTableEdit"),
                              Qt::LeftButton);
        };
        // Types into the first time of the first station, as a planner does.
        auto typeFirstTime = [](const char *text) {
            ClickCell(2, 2);
            Enter(text);
        };
        // Someone else's version: the first time of direction 1 is 04:00
        QByteArray theirs = ReadBytes(timetable);
        theirs.replace("1=Hauptbahnhof,05:10", "1=Hauptbahnhof,04:00");

        // WHEN the file changes between opening and saving, and "Ja"
        // (overwrite) is answered THEN the editor's version is written
        open();
        typeFirstTime("0511");
        WriteBytes(timetable, theirs);
        fx->dialogs->clearLog();
        fx->dialogs->setNextAnswer(Answer::Yes);
        QTest::mouseClick(Control<QPushButton>(fmEditTimeTable, "btSave"), Qt::LeftButton);
        QCOMPARE(fx->dialogs->questions().size(), 1);
        QVERIFY(fx->dialogs->questions().first().startsWith("Datei geändert:Die Datei " +
                                                            timetable + " wurde geändert"));
        QVERIFY(ReadBytes(timetable).contains("1=Hauptbahnhof,05:11,"));

        // A save right after asks nothing: the editor's own write is known
        fx->dialogs->clearLog();
        typeFirstTime("0512");
        QTest::mouseClick(Control<QPushButton>(fmEditTimeTable, "btSave"), Qt::LeftButton);
        QVERIFY(fx->dialogs->questions().isEmpty());
        QVERIFY(ReadBytes(timetable).contains("1=Hauptbahnhof,05:12,"));

        // WHEN it changes again and "Nein" is answered THEN their file stays
        // and the grid shows it, the editor's change lost
        typeFirstTime("0509");
        theirs = ReadBytes(timetable);
        theirs.replace("1=Hauptbahnhof,05:12", "1=Hauptbahnhof,04:30");
        WriteBytes(timetable, theirs);
        // "Abbrechen", the question's default, writes nothing and loses
        // nothing: the grid keeps the editor's change, ready to be saved.
        fx->dialogs->clearLog();
        QTest::mouseClick(Control<QPushButton>(fmEditTimeTable, "btSave"), Qt::LeftButton);
        QCOMPARE(fx->dialogs->log().size(), 1);
        QVERIFY(fx->dialogs->log().first().startsWith("confirm3:Datei geändert:"));
        QCOMPARE(ReadBytes(timetable), theirs);
        QCOMPARE(
            FromCp1252(Control<TStringGridView>(fmEditTimeTable, "sgTimeTable")->Grid().Cell(2, 2)),
            QString("05:09"));
        QVERIFY(Control<QPushButton>(fmEditTimeTable, "btSave")->isVisible());
        fx->dialogs->setNextAnswer(Answer::No);
        QTest::mouseClick(Control<QPushButton>(fmEditTimeTable, "btSave"), Qt::LeftButton);
        QCOMPARE(ReadBytes(timetable), theirs);
        QCOMPARE(
            FromCp1252(Control<TStringGridView>(fmEditTimeTable, "sgTimeTable")->Grid().Cell(2, 2)),
            QString("04:30"));
    }

    void routeChangedByOthersIsAskedAboutAndReloadedOnNein() {
        fmMain->OpenFromCommandLine(project);
        const QString routes = fx->path("demo/line_stations.csv");
        fx->dialogs->setNextModalAction([&](QDialog &) {
            QVERIFY(takton::testing::ClickItem(Control<QListWidget>(fmEditLineStations, "lbLines"),
                                               "1"));
            Click(Control<QPushButton>(fmEditLineStations, "btStationEdit"));
            QVERIFY(takton::testing::ClickRow(
                Control<QListWidget>(fmEditLineStations, "lbLineStations"), 1));
            Click(Control<QPushButton>(fmEditLineStations, "btDeleteStation"));
            QCOMPARE(Control<QListWidget>(fmEditLineStations, "lbLineStations")->count(), 5);
            // Meanwhile someone else shortens line 1 to two stations
            QByteArray theirs = ReadBytes(routes);
            theirs.replace(theirs.left(theirs.indexOf('\r')), "1=Hauptbahnhof,Rathaus");
            WriteBytes(routes, theirs);
            fx->dialogs->setNextAnswer(Answer::No);
            Click(Control<QPushButton>(fmEditLineStations, "btSave"));
            QCOMPARE(fx->dialogs->questions().size(), 1);
            QVERIFY(fx->dialogs->questions().first().startsWith("Datei geändert:"));
            QCOMPARE(ReadBytes(routes), theirs);
            QCOMPARE(
                takton::testing::Items(Control<QListWidget>(fmEditLineStations, "lbLineStations")),
                QStringList({"Hauptbahnhof", "Rathaus"}));
            // Saved again unchanged by others: no question
            QVERIFY(takton::testing::ClickRow(
                Control<QListWidget>(fmEditLineStations, "lbLineStations"), 1));
            Click(Control<QPushButton>(fmEditLineStations, "btDeleteStation"));
            fx->dialogs->clearLog();
            Click(Control<QPushButton>(fmEditLineStations, "btSave"));
            QVERIFY(fx->dialogs->questions().isEmpty());
            QVERIFY(ReadBytes(routes).startsWith("1=Hauptbahnhof\r\n"));
        });
        Click(Control<QPushButton>(fmMain, "sbAssignStations"));
    }

  private:
    std::unique_ptr<GuiFixture> fx;
    QString project;
    QString lock;
};

TAKTON_GUI_TEST_MAIN(ProjectGuardTest)
#include "test_project_guard.moc"
