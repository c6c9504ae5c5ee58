// The GTFS export window as a planner works it, reached from "&Extras": the
// publishing data asked for first, the zip file chosen, the progress bar and
// its "Abbrechen", the summary and the error shown. The exporter is a stand-in
// that writes a small file, so the window is tested on its own.

#include "app/app_windows.h"
#include "app/main_window.h"
#include "core/gtfs/gtfs_export.h"
#include "core/util/error.h"
#include "gui/common/current_project.h"
#include "gui/editors/edit_project.h"
#include "gui/gtfs/gtfs_export_window.h"
#include "support/controls.h"
#include "support/editor_steps.h"
#include "support/gui_fixture.h"
#include "support/window_steps.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>

using namespace takton;
using namespace takton::gui;
using namespace takton::testing;

namespace {

// What the stand-in exporter was given and saw.
struct TExportCall {
    int calls = 0;
    std::string projectDir;
    std::string zipPath;
    std::vector<bool> progressAnswers;
};

} // namespace

class GtfsExportTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        fx = std::make_unique<GuiFixture>();
        project = fx->path("netz/netz.zpr");
        WriteBytes(project, IniText({"[timetable]", "max_drive_minutes=45"}));
        fmMain->show();
        QVERIFY(QTest::qWaitForWindowExposed(fmMain));
        // The core's rule: name, address and both dates.
        fmGtfsExport->MissingData = [](const TPublishing &publishing) {
            std::vector<std::string> missing;
            if (publishing.AgencyName.empty())
                missing.push_back("Name des Verkehrsunternehmens");
            if (publishing.AgencyUrl.empty())
                missing.push_back("Internetadresse des Verkehrsunternehmens");
            return missing;
        };
        call = {};
    }
    void cleanup() { fx.reset(); }

    void extrasItemOpensTheExportWindowWhileAProjectIsOpen() {
        QVERIFY(!Control<QAction>(fmMain, "ExtrasGtfsItem")->isEnabled());
        QCOMPARE(Control<QAction>(fmMain, "ExtrasGtfsItem")->text(), QString("GTFS exportieren…"));
        fmMain->OpenFromCommandLine(project);
        QVERIFY(Control<QAction>(fmMain, "ExtrasGtfsItem")->isEnabled());

        HoverMenuItem("ExtrasMenu", "ExtrasGtfsItem");
        QTRY_COMPARE(fmMain->statusBar()->currentMessage(),
                     QString("Das Projekt als GTFS-Feed für Fahrplanauskünfte exportieren"));
        QTest::keyClick(Control<QMenu>(fmMain, "ExtrasMenu"), Qt::Key_Escape);

        bool shown = false;
        fx->dialogs->setNextModalAction([&shown](QDialog &window) {
            shown = window.isVisible() && &window == static_cast<QDialog *>(fmGtfsExport);
            QVERIFY(Control<QPushButton>(fmGtfsExport, "btExport")->isEnabled());
            QVERIFY(Control<QProgressBar>(fmGtfsExport, "pbProgress")->isHidden());
            QVERIFY(Control<QPushButton>(fmGtfsExport, "btAbort")->isHidden());
        });
        ChooseFromMenu(Control<QMenu>(fmMain, "ExtrasMenu"),
                       Control<QAction>(fmMain, "ExtrasGtfsItem"));
        QVERIFY(shown);
        QCOMPARE(fx->dialogs->log(), QStringList{"modal:GTFS exportieren"});
    }

    void missingPublishingDataIsAskedForBeforeAnything() {
        OpenProjectAndWindow();
        // "Nein": nothing chosen, nothing exported.
        Click(Control<QPushButton>(fmGtfsExport, "btExport"));
        QCOMPARE(fx->dialogs->questions(),
                 QStringList({"GTFS exportieren:Für den Export fehlen Angaben zur "
                              "Veröffentlichung:\n- Name des Verkehrsunternehmens\n- "
                              "Internetadresse des Verkehrsunternehmens\nMöchten Sie sie jetzt "
                              "in den Projekt-Optionen auf der Seite \"Veröffentlichung\" "
                              "eintragen?"}));
        QCOMPARE(call.calls, 0);
        QVERIFY(!fx->dialogs->log().join(' ').contains("save:"));
        QVERIFY(Control<QLabel>(fmGtfsExport, "laState")->text().contains("fehlen"));

        // "Ja": the options open on their page; filled in and saved there,
        // the export goes on to the file.
        fx->dialogs->clearLog();
        fx->dialogs->setNextAnswer(Answer::Yes);
        fx->dialogs->setNextModalAction([](QDialog &window) {
            QCOMPARE(&window, static_cast<QDialog *>(fmEditProject));
            QCOMPARE(Control<QTabWidget>(fmEditProject, "pcRubrik")->currentWidget(),
                     Control<QWidget>(fmEditProject, "tsPublishing"));
            ReplaceText(Control<QLineEdit>(fmEditProject, "leAgencyName"), "Verkehrsbetriebe Süd");
            ReplaceText(Control<QLineEdit>(fmEditProject, "leAgencyUrl"),
                        "https://vb-sued.example");
            Click(Control<QPushButton>(fmEditProject, "btSave"));
            Click(Control<QPushButton>(fmEditProject, "btClose"));
        });
        fx->dialogs->setNextFileName(fx->path("feed.zip"));
        Click(Control<QPushButton>(fmGtfsExport, "btExport"));
        QCOMPARE(call.calls, 1);
        QVERIFY(ReadBytes(project).contains("agency_name=Verkehrsbetriebe S\xFC"
                                            "d\r\n"));
        QVERIFY(QFile::exists(fx->path("feed.zip")));

        // Filled in only halfway: still refused after the options close.
        OpenProject().PrjParams.Publishing.AgencyUrl.clear();
        fx->dialogs->setNextAnswer(Answer::Yes);
        fx->dialogs->setNextModalAction(
            [](QDialog &) { Click(Control<QPushButton>(fmEditProject, "btClose")); });
        Click(Control<QPushButton>(fmGtfsExport, "btExport"));
        QCOMPARE(call.calls, 1);
    }

    void exportWritesTheChosenFileAndSummarisesIt() {
        Complete();
        OpenProjectAndWindow();
        // Cancelled file dialog: nothing happens.
        Click(Control<QPushButton>(fmGtfsExport, "btExport"));
        QCOMPARE(call.calls, 0);
        QCOMPARE(fx->dialogs->lastFileRequest().filter, QString("GTFS-Feed (*.zip)"));
        QCOMPARE(fx->dialogs->lastFileRequest().proposedFile, fx->path("netz/netz.zip"));

        fx->dialogs->setNextFileName(fx->path("aus/feed.zip"));
        Click(Control<QPushButton>(fmGtfsExport, "btExport"));
        QCOMPARE(call.calls, 1);
        QCOMPARE(call.projectDir, fx->path("netz").toStdString());
        QCOMPARE(call.zipPath, fx->path("aus/feed.zip").toStdString());
        QCOMPARE(ReadBytes(fx->path("aus/feed.zip")), QByteArray("PK"));
        QCOMPARE(call.progressAnswers, std::vector<bool>({true, true}));
        QCOMPARE(Control<QPlainTextEdit>(fmGtfsExport, "mmSummary")->toPlainText(),
                 QString("2 Fahrten, 5 Halte geschrieben.\n"
                         "Geschrieben:\n"
                         "  stops.txt: 3 Zeilen\n"
                         "  stop_times.txt: 5 Zeilen\n"
                         "Nicht exportiert:\n"
                         "  Linie 7: kein Fahrplan (Straßenbahn)"));
        QVERIFY(Control<QPlainTextEdit>(fmGtfsExport, "mmSummary")->isReadOnly());
        QVERIFY(Control<QLabel>(fmGtfsExport, "laState")->text().startsWith("Export fertig"));
        QVERIFY(Control<QProgressBar>(fmGtfsExport, "pbProgress")->isHidden());
        QVERIFY(Control<QPushButton>(fmGtfsExport, "btExport")->isEnabled());
        // The next export proposes the file chosen last.
        Click(Control<QPushButton>(fmGtfsExport, "btExport"));
        QCOMPARE(fx->dialogs->lastFileRequest().proposedFile, fx->path("aus/feed.zip"));
    }

    void abortDuringTheExportCancelsIt() {
        Complete();
        OpenProjectAndWindow();
        bool runningShown = false;
        std::atomic<bool> reported{false}, clicked{false};
        fmGtfsExport->Exporter = [&](const std::string &, const TPrjParams &, const std::string &,
                                     const gtfs::TExportProgress &progress) {
            // The export runs beside the window: it reports, works on until
            // the planner has clicked, and learns of it at its next report.
            ++call.calls;
            call.progressAnswers.push_back(progress(1, 4));
            reported = true;
            while (!clicked)
                QThread::msleep(5);
            call.progressAnswers.push_back(progress(2, 4));
            gtfs::TExportReport report;
            report.Cancelled = !call.progressAnswers.back();
            return report;
        };
        // The planner watches the window while the export works, then clicks.
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            if (!reported || clicked ||
                Control<QProgressBar>(fmGtfsExport, "pbProgress")->value() != 250)
                return;
            runningShown = Control<QProgressBar>(fmGtfsExport, "pbProgress")->isVisible() &&
                           Control<QPushButton>(fmGtfsExport, "btAbort")->isVisible() &&
                           !Control<QPushButton>(fmGtfsExport, "btExport")->isEnabled() &&
                           !Control<QPushButton>(fmGtfsExport, "btClose")->isEnabled() &&
                           fmGtfsExport->Exporting();
            QTest::mouseClick(Control<QPushButton>(fmGtfsExport, "btAbort"), Qt::LeftButton);
            clicked = true;
        });
        watch.start(10);
        fx->dialogs->setNextFileName(fx->path("feed.zip"));
        Click(Control<QPushButton>(fmGtfsExport, "btExport"));
        QVERIFY(runningShown);
        QCOMPARE(call.progressAnswers, std::vector<bool>({true, false}));
        QCOMPARE(Control<QLabel>(fmGtfsExport, "laState")->text(), QString("Export abgebrochen"));
        QVERIFY(Control<QPlainTextEdit>(fmGtfsExport, "mmSummary")
                    ->toPlainText()
                    .contains("nichts geschrieben"));
        QVERIFY(Control<QProgressBar>(fmGtfsExport, "pbProgress")->isHidden());
        QVERIFY(Control<QPushButton>(fmGtfsExport, "btExport")->isEnabled());
        QVERIFY(fmGtfsExport->isVisible());
        QVERIFY(fx->dialogs->errors().isEmpty());
    }

    void anExportErrorIsSaidInTheWindowAndItStaysUsable() {
        Complete();
        OpenProjectAndWindow();
        fmGtfsExport->Exporter = [&](const std::string &, const TPrjParams &, const std::string &,
                                     const gtfs::TExportProgress &) -> gtfs::TExportReport {
            ++call.calls;
            throw TaktonError("Stationen ohne Koordinaten: M\xFChle, Zoo");
        };
        fx->dialogs->setNextFileName(fx->path("feed.zip"));
        Click(Control<QPushButton>(fmGtfsExport, "btExport"));
        QCOMPARE(call.calls, 1);
        // The reason stands in the window, no box blocks it.
        QVERIFY(fx->dialogs->errors().isEmpty());
        QCOMPARE(Control<QLabel>(fmGtfsExport, "laState")->text(),
                 QString("Export fehlgeschlagen."));
        QCOMPARE(Control<QPlainTextEdit>(fmGtfsExport, "mmSummary")->toPlainText(),
                 QString("Stationen ohne Koordinaten: Mühle, Zoo"));
        QVERIFY(fmGtfsExport->isVisible());
        QVERIFY(Control<QProgressBar>(fmGtfsExport, "pbProgress")->isHidden());
        QVERIFY(Control<QPushButton>(fmGtfsExport, "btExport")->isEnabled());
        QVERIFY(Control<QPushButton>(fmGtfsExport, "btClose")->isEnabled());
    }

    void theDemoProjectIsExportedByTheCoresExport() {
        // GIVEN the demo project with its publishing data, and the window as
        // the program wires it
        takton::testing::CopyDemoProject(fx->path("demo"));
        fmGtfsExport->MissingData = gtfs::MissingPublishingData;
        fmMain->OpenFromCommandLine(fx->path("demo/demo.zpr"));
        fmGtfsExport->show();
        QVERIFY(QTest::qWaitForWindowExposed(fmGtfsExport));
        // WHEN the planner exports it into a file
        fx->dialogs->setNextFileName(fx->path("demo/feed.zip"));
        Click(Control<QPushButton>(fmGtfsExport, "btExport"));
        // THEN the feed is there and the summary names its files
        QVERIFY2(fx->dialogs->errors().isEmpty(), qUtf8Printable(fx->dialogs->errors().join("|")));
        QVERIFY(ReadBytes(fx->path("demo/feed.zip")).startsWith("PK"));
        const QString summary = Control<QPlainTextEdit>(fmGtfsExport, "mmSummary")->toPlainText();
        for (const char *file : {"agency.txt", "stops.txt", "routes.txt", "trips.txt",
                                 "stop_times.txt", "calendar.txt", "feed_info.txt"})
            QVERIFY2(summary.contains(file), qUtf8Printable(summary));
        QVERIFY(Control<QLabel>(fmGtfsExport, "laState")->text().startsWith("Export fertig"));
    }

    void servedStationsWithoutPositionAreNamedBeforeTheFileIsChosen() {
        // GIVEN the demo project whose Rathaus, served by line 1, lost its position
        takton::testing::CopyDemoProject(fx->path("demo"));
        QByteArray data = ReadBytes(fx->path("demo/station_data.csv"));
        data.replace("Rathaus=51.0535,13.745,A,\r\n", "");
        WriteBytes(fx->path("demo/station_data.csv"), data);
        fmGtfsExport->MissingData = gtfs::MissingPublishingData;
        fmMain->OpenFromCommandLine(fx->path("demo/demo.zpr"));
        fmGtfsExport->show();
        QVERIFY(QTest::qWaitForWindowExposed(fmGtfsExport));
        fx->dialogs->clearLog();
        // WHEN the planner exports
        fx->dialogs->setNextFileName(fx->path("demo/feed.zip"));
        Click(Control<QPushButton>(fmGtfsExport, "btExport"));
        // THEN no file is asked for, nothing written, and the window names
        // the station; Weißer Hirsch has no position either but no times
        QVERIFY2(!fx->dialogs->log().join(' ').contains("save:"),
                 qUtf8Printable(fx->dialogs->log().join('|')));
        QVERIFY(!QFile::exists(fx->path("demo/feed.zip")));
        QVERIFY(fx->dialogs->errors().isEmpty());
        QVERIFY(Control<QLabel>(fmGtfsExport, "laState")->text().startsWith("Nicht exportiert"));
        const QString summary = Control<QPlainTextEdit>(fmGtfsExport, "mmSummary")->toPlainText();
        QVERIFY2(summary.contains("keine Geo-Position:\n  Rathaus\n"), qUtf8Printable(summary));
        QVERIFY(!summary.contains("Weißer Hirsch"));

        // Once it has its position again, the export goes on to the file
        WriteBytes(fx->path("demo/station_data.csv"), data + "Rathaus=51.0535,13.745,A,\r\n");
        Click(Control<QPushButton>(fmGtfsExport, "btExport"));
        QVERIFY(ReadBytes(fx->path("demo/feed.zip")).startsWith("PK"));
        QVERIFY(Control<QLabel>(fmGtfsExport, "laState")->text().startsWith("Export fertig"));
    }

    void aSingleTripAndStopAreCountedInTheSingular() {
        Complete();
        OpenProjectAndWindow();
        fmGtfsExport->Exporter = [](const std::string &, const TPrjParams &, const std::string &,
                                    const gtfs::TExportProgress &) {
            gtfs::TExportReport report;
            report.Trips = 1;
            report.StopTimes = 1;
            return report;
        };
        fx->dialogs->setNextFileName(fx->path("feed.zip"));
        Click(Control<QPushButton>(fmGtfsExport, "btExport"));
        QCOMPARE(Control<QPlainTextEdit>(fmGtfsExport, "mmSummary")->toPlainText(),
                 QString("1 Fahrt, 1 Halt geschrieben."));
    }

  private:
    void Complete() {
        WriteBytes(project, IniText({"[timetable]", "max_drive_minutes=45", "[publishing]",
                                     "agency_name=VB", "agency_url=https://vb.example"}));
    }

    // The project open, the window shown with the stand-in exporter.
    void OpenProjectAndWindow() {
        fmMain->OpenFromCommandLine(project);
        fmGtfsExport->Exporter = [this](const std::string &projectDir, const TPrjParams &,
                                        const std::string &zipPath,
                                        const gtfs::TExportProgress &progress) {
            ++call.calls;
            call.projectDir = projectDir;
            call.zipPath = zipPath;
            call.progressAnswers.push_back(progress(1, 2));
            WriteBytes(QString::fromStdString(zipPath), "PK");
            call.progressAnswers.push_back(progress(2, 2));
            gtfs::TExportReport report;
            report.Trips = 2;
            report.StopTimes = 5;
            report.Written = {"stops.txt: 3 Zeilen", "stop_times.txt: 5 Zeilen"};
            report.Skipped = {"Linie 7: kein Fahrplan (Stra\xDF"
                              "enbahn)"};
            return report;
        };
        fmGtfsExport->show();
        QVERIFY(QTest::qWaitForWindowExposed(fmGtfsExport));
        fx->dialogs->clearLog();
    }

    std::unique_ptr<GuiFixture> fx;
    QString project;
    TExportCall call;
};

TAKTON_GUI_TEST_MAIN(GtfsExportTest)

#include "test_gtfs_export.moc"
