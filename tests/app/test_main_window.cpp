// The main window as a planner works it: start-up, new, open, save and save
// as, the first-save notice, the hidden commands and the error display.

#include "app/app_windows.h"
#include "app/first_save.h"
#include "app/main_window.h"
#include "app/make_window.h"
#include "gui/common/current_project.h"
#include "gui/common/error_handler.h"
#include "gui/editors/edit_lines.h"
#include "gui/editors/edit_linestations.h"
#include "gui/editors/edit_project.h"
#include "gui/editors/edit_stations.h"
#include "gui/map/map_window.h"
#include "gui/search/query_window.h"
#include "gui/timetable/edit_timetable.h"
#include "gui/webcopy/web_copy.h"
#include "support/controls.h"
#include "support/editor_steps.h"
#include "support/gui_fixture.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

using namespace takton;
using namespace takton::gui;
using takton::testing::Click;
using takton::testing::Control;
using takton::testing::GuiFixture;
using takton::testing::IniText;
using takton::testing::ReadBytes;
using takton::testing::TypeText;
using takton::testing::WriteBytes;

namespace {

void ChooseMenu(QAction *item) {
    item->trigger();
}

// Shortcuts reach the window the planner works in.
void ActivateMain() {
    fmMain->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(fmMain));
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        fx = std::make_unique<GuiFixture>();
        fmMain->show();
        QVERIFY(QTest::qWaitForWindowExposed(fmMain));
    }
    void cleanup() { fx.reset(); }

    void startUpCreatesTheElevenWindowsAndShowsNoWorkButtons() {
        const QList<QPair<QWidget *, QString>> windows = {
            {fmMain, "TfmMain"},
            {fmEditStations, "TfmEditStations"},
            {fmEditProject, "TfmEditProject"},
            {DlgFirstSave, "TDlgFirstSave"},
            {fmEditLines, "TfmEditLines"},
            {fmEditLineStations, "TfmEditLineStations"},
            {fmEditTimeTable, "TfmEditTimeTable"},
            {fmWebCopy, "TfmWebCopy"},
            {fmMake, "TfmMake"},
            {fmQuery, "TfmQuery"},
            {fmMap, "TfmMap"}};
        const QStringList titles = {"Takton 1.0.1",
                                    "Stationen bearbeiten",
                                    "fmEditProject",
                                    "Hinweis",
                                    "Linien bearbeiten",
                                    "Stationen für Linie zuweisen",
                                    "Fahrplan bearbeiten",
                                    "Fahrplan Kopier-Bereich",
                                    "Daten aufbereiten",
                                    "Verbindugns-Abfrage",
                                    "Netzkarte"};
        for (int i = 0; i < windows.size(); ++i) {
            QVERIFY(windows[i].first);
            QCOMPARE(QString(windows[i].first->metaObject()->className()),
                     "takton::gui::" + windows[i].second);
            QCOMPARE(windows[i].first->windowTitle(), titles[i]);
            // Everything but the main window and the web copy window is modal.
            if (i > 0)
                QCOMPARE(windows[i].first->isModal(),
                         windows[i].first != static_cast<QWidget *>(fmWebCopy));
        }
        QVERIFY(Control<QWidget>(fmMain, "paWorkChoice")->isHidden());
        QVERIFY(Control<QToolButton>(fmMain, "ErstellenButton")->isHidden());
        QVERIFY(Control<QToolButton>(fmMain, "WebAnsichtButton")->isHidden());
        QVERIFY(Control<QToolButton>(fmMain, "SpeedButton3")->isHidden());
        QVERIFY(Control<QPushButton>(fmMain, "sbMake")->isHidden());
        QCOMPARE(gui::OpenProject().ProjectFile, std::string());
    }

    void menuAndSpeedBarHintsFeedTooltipsAndTheStatusLine() {
        QCOMPARE(fmMain->menuBar()->actions().size(), 2);
        QCOMPARE(Control<QMenu>(fmMain, "FileMenu")->title(), QString("&Datei"));
        QStringList captions;
        for (QAction *item : Control<QMenu>(fmMain, "FileMenu")->actions())
            captions << (item->isSeparator() ? "-" : item->text());
        QCOMPARE(captions, QStringList({"&Neu", "Projekt ö&ffnen...", "Projekt &speichern",
                                        "Projekt speichern &unter...", "-", "&Beenden"}));

        Control<QMenu>(fmMain, "FileMenu")->popup(fmMain->mapToGlobal(QPoint(0, 0)));
        QVERIFY(QTest::qWaitForWindowExposed(Control<QMenu>(fmMain, "FileMenu")));
        Control<QMenu>(fmMain, "FileMenu")
            ->setActiveAction(Control<QAction>(fmMain, "FileSaveAsItem"));
        QCOMPARE(fmMain->statusBar()->currentMessage(),
                 QString("Aktuelles Projekt unter neuem Namen speichern"));
        Control<QMenu>(fmMain, "FileMenu")
            ->setActiveAction(Control<QAction>(fmMain, "FileNewItem"));
        QCOMPARE(fmMain->statusBar()->currentMessage(), QString("Neue Datei erzeugen"));
        Control<QMenu>(fmMain, "FileMenu")->hide();

        // Opened from the menu bar by the mouse, as a planner does: the
        // highlighted item's hint stands in the status line.
        QMenuBar *bar = fmMain->menuBar();
        QTest::mouseClick(
            bar, Qt::LeftButton, {},
            bar->actionGeometry(Control<QMenu>(fmMain, "FileMenu")->menuAction()).center());
        QVERIFY(QTest::qWaitForWindowExposed(Control<QMenu>(fmMain, "FileMenu")));
        QTest::mouseMove(Control<QMenu>(fmMain, "FileMenu"),
                         Control<QMenu>(fmMain, "FileMenu")
                             ->actionGeometry(Control<QAction>(fmMain, "FileOpenItem"))
                             .center());
        QTRY_COMPARE(fmMain->statusBar()->currentMessage(),
                     QString("Existierendes Projekt öffnen"));
        QTest::mouseMove(Control<QMenu>(fmMain, "FileMenu"),
                         Control<QMenu>(fmMain, "FileMenu")
                             ->actionGeometry(Control<QAction>(fmMain, "FileSaveItem"))
                             .center());
        QTRY_COMPARE(fmMain->statusBar()->currentMessage(), QString("Aktuelles Projekt speichern"));
        QTest::keyClick(Control<QMenu>(fmMain, "FileMenu"), Qt::Key_Escape);
        QCOMPARE(Control<QAction>(fmMain, "FileNewItem")->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::Key_N));
        QCOMPARE(Control<QAction>(fmMain, "FileOpenItem")->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::Key_O));

        // Speed buttons: the short part is the tooltip; their long part is
        // empty, so the status line is emptied while the pointer is on them.
        QCOMPARE(Control<QToolButton>(fmMain, "SpeedButton1")->toolTip(), QString("Neu"));
        QCOMPARE(Control<QToolButton>(fmMain, "SpeedButton2")->toolTip(), QString("Öffnen"));
        QCOMPARE(Control<QToolButton>(fmMain, "SaveButton")->toolTip(), QString("Speichern"));
        QCOMPARE(Control<QToolButton>(fmMain, "SaveAsButton")->toolTip(),
                 QString("Speichern unter"));
        fmMain->ShowHint("etwas");
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(Control<QToolButton>(fmMain, "SaveButton"), &enter);
        QCOMPARE(fmMain->statusBar()->currentMessage(), QString());
        QVERIFY(!Control<QToolButton>(fmMain, "SpeedButton1")->icon().isNull());
        // A hint without a bar serves as tooltip and status text alike.
        QCOMPARE(Control<QToolButton>(fmMain, "ErstellenButton")->toolTip(),
                 QString("Erstellen..."));
        QEvent enterHidden(QEvent::Enter);
        QApplication::sendEvent(Control<QToolButton>(fmMain, "ErstellenButton"), &enterHidden);
        QCOMPARE(fmMain->statusBar()->currentMessage(), QString("Erstellen..."));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(Control<QToolButton>(fmMain, "ErstellenButton"), &leave);
        QCOMPARE(fmMain->statusBar()->currentMessage(), QString());
    }

    void fileNewCancelledThenSaveBehavesAsSaveAs() {
        fx->dialogs->setNextFileName(std::nullopt);
        Click(Control<QToolButton>(fmMain, "SpeedButton1"));
        // The notice comes first, then a save dialog without a proposed name.
        QCOMPARE(fx->dialogs->log(), QStringList({"modal:Hinweis", "save:"}));
        QCOMPARE(fx->dialogs->lastFileRequest().filter, QString("ZAL-Projekt (*.zpr)"));
        QCOMPARE(fx->dialogs->lastFileRequest().defaultSuffix, QString("zpr"));
        QCOMPARE(fmMain->windowTitle(), QString("ZAL-Editor: [neues Projekt]"));
        QVERIFY(Control<QWidget>(fmMain, "paWorkChoice")->isHidden());
        QVERIFY(gui::OpenProject().ProjectFile.empty());
        // The parameters came from the default project file.
        QCOMPARE(OpenProject().PrjParams.MaxDriveMinutes, 60);
        QCOMPARE(OpenProject().PrjParams.DayGroups.size(), std::size_t(2));

        const QString target = fx->path("elsewhere/netz.zpr");
        QDir().mkpath(fx->path("elsewhere"));
        fx->dialogs->setNextFileName(target);
        Click(Control<QToolButton>(fmMain, "SaveButton"));
        QVERIFY(ReadBytes(target).contains("daygroupnames=Mo-Fr,So\r\n"));
        QCOMPARE(fmMain->windowTitle(), "ZAL-Editor: " + target);
        QVERIFY(Control<QWidget>(fmMain, "paWorkChoice")->isHidden());
        QVERIFY(gui::OpenProject().ProjectDir.empty());
        QCOMPARE(gui::OpenProject().ProjectFile, target.toStdString());
    }

    void fileNewSavedThenOpenedEnablesAllWorkButtons() {
        const QString project = fx->path("neu/projekt.zpr");
        QDir().mkpath(fx->path("neu"));
        fx->dialogs->setNextFileName(project);
        ChooseMenu(Control<QAction>(fmMain, "FileNewItem"));
        QCOMPARE(fmMain->windowTitle(), "ZAL-Editor: " + project);
        QVERIFY(Control<QWidget>(fmMain, "paWorkChoice")->isVisible());
        QVERIFY(Control<QPushButton>(fmMain, "sbEditProject")->isEnabled());
        QVERIFY(Control<QPushButton>(fmMain, "sbEditStations")->isEnabled());
        QVERIFY(Control<QPushButton>(fmMain, "sbAssignStations")->isEnabled());
        // A new project works as an opened one.
        QVERIFY(Control<QPushButton>(fmMain, "sbEditLines")->isEnabled());
        QVERIFY(Control<QPushButton>(fmMain, "sbEditTimeTable")->isEnabled());
        QCOMPARE(gui::OpenProject().ProjectDir, fx->path("neu").toStdString());
        const QByteArray written = ReadBytes(project);
        QVERIFY(written.startsWith("[application]\r\nname=ZAL Editor\r\nedition=Standard\r\n"
                                   "version=1.0.1\r\ntype=full\r\n"));
        QVERIFY(written.contains("max_drive_minutes=60\r\n"));
        // The open dialog now proposes the new file.
        fx->dialogs->setNextFileName(project);
        Click(Control<QToolButton>(fmMain, "SpeedButton2"));
        QCOMPARE(fx->dialogs->log().last(), "open:" + project);
        QCOMPARE(fmMain->windowTitle(), "Takton 1.0.1:   " + project);
        for (QPushButton *button : {Control<QPushButton>(fmMain, "sbEditProject"),
                                    Control<QPushButton>(fmMain, "sbEditStations"),
                                    Control<QPushButton>(fmMain, "sbEditLines"),
                                    Control<QPushButton>(fmMain, "sbAssignStations"),
                                    Control<QPushButton>(fmMain, "sbEditTimeTable")})
            QVERIFY(button->isVisible() && button->isEnabled());

        // After an open, save as proposes the opened file.
        fx->dialogs->clearLog();
        fx->dialogs->setNextFileName(std::nullopt);
        ChooseMenu(Control<QAction>(fmMain, "FileSaveAsItem"));
        QCOMPARE(fx->dialogs->log(), QStringList({"save:" + project}));
        QCOMPARE(fmMain->windowTitle(), "Takton 1.0.1:   " + project);

        // Every FileNew shows the notice again, before an empty save dialog;
        // Ctrl+N starts it from the keyboard.
        fx->dialogs->clearLog();
        const QString second = fx->path("zwei/b.zpr");
        QDir().mkpath(fx->path("zwei"));
        fx->dialogs->setNextFileName(second);
        ActivateMain();
        QTest::keyClick(fmMain, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(fx->dialogs->log(), QStringList({"modal:Hinweis", "save:"}));
        QVERIFY(Control<QPushButton>(fmMain, "sbEditLines")->isEnabled());
        QCOMPARE(gui::OpenProject().ProjectDir, fx->path("zwei").toStdString());
    }

    void fileOpenOfAnExistingAndOfAMissingFile() {
        const QString project = fx->path("netz/netz.zpr");
        WriteBytes(project, IniText({"[daygroups]", "daygroupnames=Sa,So", "Sa_text=Samstag",
                                     "Sa_days=saturday", "So_text=Sonntag", "So_days=sunday",
                                     "[timetable]", "max_drive_minutes=45"}));
        fx->dialogs->setNextFileName(project);
        Click(Control<QToolButton>(fmMain, "SpeedButton2"));
        QCOMPARE(fmMain->windowTitle(), "Takton 1.0.1:   " + project);
        QCOMPARE(gui::OpenProject().ProjectDir, fx->path("netz").toStdString());
        // The options window follows the load although it was never shown.
        QVERIFY(!fmEditProject->isVisible());
        QCOMPARE(Control<QLineEdit>(fmEditProject, "leMaxDriveMinutes")->text(), QString("45"));
        QCOMPARE(Control<QComboBox>(fmEditProject, "cbDayGroups")->count(), 2);
        QCOMPARE(Control<QComboBox>(fmEditProject, "cbDayGroups")->currentText(), QString("Sa"));
        QCOMPARE(Control<QLineEdit>(fmEditProject, "leDayGroupText")->text(), QString("Samstag"));

        // A cancelled open changes nothing.
        fx->dialogs->setNextFileName(std::nullopt);
        Click(Control<QToolButton>(fmMain, "SpeedButton2"));
        QCOMPARE(gui::OpenProject().ProjectFile, project.toStdString());

        const QString missing = fx->path("leer/fehlt.zpr");
        QDir().mkpath(fx->path("leer"));
        fx->dialogs->setNextFileName(missing);
        ChooseMenu(Control<QAction>(fmMain, "FileOpenItem"));
        QCOMPARE(gui::OpenProject().ProjectFile, missing.toStdString());
        QCOMPARE(gui::OpenProject().ProjectDir, fx->path("leer").toStdString());
        QCOMPARE(OpenProject().PrjParams.MaxDriveMinutes, 720);
        QCOMPARE(Control<QLineEdit>(fmEditProject, "leMaxDriveMinutes")->text(), QString("720"));
        QCOMPARE(OpenProject().PrjParams.DayGroups.size(), std::size_t(2));
        QVERIFY(!QFile::exists(missing));
        Click(Control<QToolButton>(fmMain, "SaveButton"));
        QVERIFY(ReadBytes(missing).contains("daygroupnames=Sa,So\r\n"));
        QVERIFY(fx->dialogs->errors().isEmpty());
    }

    void fileSaveAsIntoAnotherFolderCanTakeTheWholeProjectAlong() {
        const QString project = fx->path("a/netz.zpr");
        WriteBytes(project, IniText({"[timetable]", "max_drive_minutes=30"}));
        WriteBytes(fx->path("a/stations.csv"), IniText({"Au", "Berg"}));
        WriteBytes(fx->path("a/lines.csv"), IniText({"1"}));
        WriteBytes(fx->path("a/line_stations.csv"), IniText({"1=Au,Berg"}));
        WriteBytes(fx->path("a/station_lines.csv"), IniText({"Au=1", "Berg=1"}));
        WriteBytes(fx->path("a/line_1.ttd"), IniText({"[1_Sa]", "1=Au,05:00", "2=Berg,05:05"}));
        WriteBytes(fx->path("a/line_2.ttd"), IniText({"[2_So]", "1=Berg,07:00"}));
        WriteBytes(fx->path("a/newstations.csv"), IniText({"Berg"}));
        WriteBytes(fx->path("a/station_data.csv"),
                   IniText({"Au=51.05,13.74,10,", "Berg=51.1,13.8,,"}));
        WriteBytes(fx->path("a/line_data.csv"), IniText({"1=3"}));
        fmMain->OpenFromCommandLine(project);

        // WHEN saved as into another folder by Ctrl+Shift+S and "Ja" answered
        const QString copy = fx->path("b/kopie.zpr");
        QDir().mkpath(fx->path("b"));
        fx->dialogs->setNextFileName(copy);
        fx->dialogs->setNextAnswer(Answer::Yes);
        ActivateMain();
        QTest::keyClick(fmMain, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(fx->dialogs->questions(),
                 QStringList({"Bestätigung:Stationen, Linien und Fahrpläne mitkopieren?"}));
        // THEN every file of the project is there, byte for byte, and the
        // project goes on in the new folder
        const auto projectFiles = [&](const QString &folder, const QString &projectFile) {
            QStringList names = QDir(fx->path(folder)).entryList(QDir::Files | QDir::Hidden);
            names.removeAll(projectFile);
            names.removeAll(QStringLiteral(".takton.lock"));
            return names;
        };
        const QStringList names = projectFiles("a", "netz.zpr");
        QCOMPARE(names.size(), 9);
        QCOMPARE(projectFiles("b", "kopie.zpr"), names);
        for (const QString &name : names)
            QCOMPARE(ReadBytes(fx->path("b/") + name), ReadBytes(fx->path("a/") + name));
        QCOMPARE(gui::OpenProject().ProjectFile, copy.toStdString());
        QCOMPARE(gui::OpenProject().ProjectDir, fx->path("b").toStdString());
        fx->dialogs->setNextModalAction([&](QDialog &) {
            Click(Control<QPushButton>(fmEditStations, "btNewStation"));
            TypeText(Control<QLineEdit>(fmEditStations, "leStationName"), "Chaussee");
            Click(Control<QPushButton>(fmEditStations, "btSave"));
        });
        Click(Control<QPushButton>(fmMain, "sbEditStations"));
        QCOMPARE(ReadBytes(fx->path("b/stations.csv")), IniText({"Au", "Berg", "Chaussee"}));
        QCOMPARE(ReadBytes(fx->path("a/stations.csv")), IniText({"Au", "Berg"}));

        // Ctrl+S saves the project file where it now is; saving into the
        // same folder asks nothing
        fx->dialogs->clearLog();
        QFile::remove(copy);
        ActivateMain();
        QTest::keyClick(fmMain, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(ReadBytes(copy).contains("max_drive_minutes=30\r\n"));
        fx->dialogs->setNextFileName(fx->path("b/zweite.zpr"));
        ChooseMenu(Control<QAction>(fmMain, "FileSaveAsItem"));
        QVERIFY(fx->dialogs->questions().isEmpty());
    }

    void fileSaveAsIntoAnotherFolderKeepsTheProjectDirectory() {
        const QString project = fx->path("a/netz.zpr");
        WriteBytes(project, IniText({"[timetable]", "max_drive_minutes=30"}));
        fmMain->OpenFromCommandLine(project);
        QCOMPARE(fmMain->windowTitle(), "Takton 1.0.1:   " + project);

        const QString copy = fx->path("b/kopie.zpr");
        QDir().mkpath(fx->path("b"));
        fx->dialogs->setNextFileName(copy);
        // "Nein" to taking the files along: only the project file moves.
        Click(Control<QToolButton>(fmMain, "SaveAsButton"));
        QCOMPARE(fx->dialogs->questions(),
                 QStringList({"Bestätigung:Stationen, Linien und Fahrpläne mitkopieren?"}));
        QVERIFY(!QFile::exists(fx->path("b/stations.csv")));
        QVERIFY(ReadBytes(copy).contains("max_drive_minutes=30\r\n"));
        QCOMPARE(fmMain->windowTitle(), "ZAL-Editor: " + copy);
        QCOMPARE(gui::OpenProject().ProjectFile, copy.toStdString());
        QCOMPARE(gui::OpenProject().ProjectDir, fx->path("a").toStdString());
        QVERIFY(Control<QPushButton>(fmMain, "sbEditLines")->isEnabled());
        // Both dialogs now propose the new file.
        fx->dialogs->setNextFileName(std::nullopt);
        Click(Control<QToolButton>(fmMain, "SpeedButton2"));
        QCOMPARE(fx->dialogs->log().last(), "open:" + copy);
    }

    void commandLineOpensARelativePathAsAnAbsoluteOne() {
        const QString project = fx->path("cli/netz.zpr");
        WriteBytes(project, IniText({"[timetable]", "max_drive_minutes=33"}));
        QDir::setCurrent(fx->path("cli"));
        fmMain->OpenFromCommandLine("netz.zpr");
        QCOMPARE(gui::OpenProject().ProjectFile, project.toStdString());
        QCOMPARE(OpenProject().PrjParams.MaxDriveMinutes, 33);
        QVERIFY(Control<QWidget>(fmMain, "paWorkChoice")->isVisible());
    }

    void firstSaveNoticeHasItsSevenLinesAndAnOkButton() {
        QCOMPARE(Control<QPlainTextEdit>(DlgFirstSave, "Memo1")->toPlainText().split('\n'),
                 QStringList({"Bevor Sie mit den Eingaben für das neue Projekt",
                              "beginnen können, muß dieses zunächst gespeichert", "werden. ", "",
                              "Wählen Sie im nachfolgenden Dialog ein möglichst ",
                              "leeres Verzeichnis", "aus und vergeben Sie einen Dateinamen."}));
        QVERIFY(Control<QPlainTextEdit>(DlgFirstSave, "Memo1")->isReadOnly());
        int result = -1;
        fx->dialogs->setNextModalAction([&](QDialog &dialog) {
            QCOMPARE(&dialog, static_cast<QDialog *>(DlgFirstSave));
            QTest::mouseClick(Control<QPushButton>(DlgFirstSave, "OKBtn"), Qt::LeftButton);
            result = dialog.result();
        });
        fx->dialogs->setNextFileName(std::nullopt);
        Click(Control<QToolButton>(fmMain, "SpeedButton1"));
        QCOMPARE(result, int(QDialog::Accepted));
        QVERIFY(!DlgFirstSave->isVisible());
    }

    void hiddenCommandsNeedAProjectAndWorkButtonsOpenTheirWindows() {
        fmMain->SpeedButton3Click();
        fmMain->sbMakeClick();
        QCOMPARE(fx->dialogs->messages(),
                 QStringList({"Kein Projekt geladen!", "Kein Projekt geladen!"}));
        QCOMPARE(fx->dialogs->log().size(), 2);

        const QString project = fx->path("p/netz.zpr");
        WriteBytes(project, IniText({"[timetable]", "max_drive_minutes=30"}));
        fmMain->OpenFromCommandLine(project);
        fx->dialogs->clearLog();
        fmMain->SpeedButton3Click();
        fmMain->sbMakeClick();
        fmMain->WebAnsichtButtonClick();
        for (QPushButton *button : {Control<QPushButton>(fmMain, "sbEditProject"),
                                    Control<QPushButton>(fmMain, "sbEditStations"),
                                    Control<QPushButton>(fmMain, "sbEditLines"),
                                    Control<QPushButton>(fmMain, "sbAssignStations"),
                                    Control<QPushButton>(fmMain, "sbEditTimeTable")})
            Click(button);
        QCOMPARE(fx->dialogs->log(),
                 QStringList({"modal:Verbindugns-Abfrage", "modal:Daten aufbereiten",
                              "modal:Fahrplan Kopier-Bereich", "modal:fmEditProject",
                              "modal:Stationen bearbeiten", "modal:Linien bearbeiten",
                              "modal:Stationen für Linie zuweisen", "modal:Fahrplan bearbeiten",
                              "message:Es konnten nicht alle zugehörigen Dateien gefunden "
                              "werden!"}));
    }

    void anErrorInAHandlerIsShownAndTheProgramGoesOn() {
        const QString project = fx->path("ok/netz.zpr");
        WriteBytes(project, IniText({"[timetable]", "max_drive_minutes=30"}));
        fmMain->OpenFromCommandLine(project);
        const QString title = fmMain->windowTitle();

        // A folder that does not exist cannot take the file.
        const QString impossible = fx->path("gibt-es-nicht/x.zpr");
        fx->dialogs->setNextFileName(impossible);
        Click(Control<QToolButton>(fmMain, "SaveAsButton"));
        QCOMPARE(fx->dialogs->errors().size(), 1);
        QVERIFY(fx->dialogs->errors().first().contains("kann nicht geschrieben werden"));
        QVERIFY(fx->dialogs->errors().first().contains("gibt-es-nicht"));
        // The steps after the failed save were not taken.
        QCOMPARE(fmMain->windowTitle(), title);
        QCOMPARE(gui::OpenProject().ProjectFile, project.toStdString());
        QVERIFY(!QFile::exists(impossible));

        // The program is still usable: the next command works.
        OpenProject().PrjParams.MaxDriveMinutes = 31;
        Click(Control<QToolButton>(fmMain, "SaveButton"));
        QVERIFY(ReadBytes(project).contains("max_drive_minutes=31\r\n"));
        QCOMPARE(fx->dialogs->errors().size(), 1);
    }

    void anUnguardedHandlerErrorIsCaughtByTheApplication() {
        // A handler connected without a guard: the application's last line of
        // defence reports the error and the event loop goes on.
        QPushButton button("Fehler");
        QObject::connect(&button, &QPushButton::clicked,
                         [] { throw std::runtime_error("Absichtlicher Fehler"); });
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(fx->dialogs->errors(), QStringList({"Absichtlicher Fehler"}));
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(fx->dialogs->errors().size(), 2);
    }

    void fileExitClosesTheMainWindow() {
        ChooseMenu(Control<QAction>(fmMain, "FileExitItem"));
        QVERIFY(!fmMain->isVisible());
    }

  private:
    std::unique_ptr<GuiFixture> fx;
};

TAKTON_GUI_TEST_MAIN(MainWindowTest)

#include "test_main_window.moc"
