// The GTFS import window as a planner works it, reached from "&Extras"
// without a project open: feed and project file chosen through the file
// dialogs, the import run with its progress bar, the new project opened and
// the report shown; "Abbrechen" leaves no project; a folder holding a project
// is refused with a message.

#include "app/app_windows.h"
#include "app/main_window.h"
#include "core/gtfs/gtfs_import.h"
#include "core/gtfs/gtfs_zip.h"
#include "gui/common/current_project.h"
#include "gui/gtfs/gtfs_import_window.h"
#include "support/controls.h"
#include "support/editor_steps.h"
#include "support/gui_fixture.h"
#include "support/window_steps.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <filesystem>
#include <fstream>

using namespace takton;
using namespace takton::gui;
using namespace takton::testing;

namespace {

// The sample feed of the test data as a zip.
void WriteSampleZip(const QString &zip) {
    std::vector<std::string> texts, names;
    for (const auto &item :
         std::filesystem::directory_iterator(TAKTON_SOURCE_DIR "/tests/data/gtfs/sample")) {
        std::ifstream in(item.path(), std::ios::binary);
        texts.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        names.push_back(item.path().filename().string());
    }
    std::vector<gtfs::TZipEntry> entries;
    for (std::size_t i = 0; i < texts.size(); ++i)
        entries.push_back({names[i], texts[i], nullptr});
    QVERIFY(gtfs::WriteZipFile(zip.toStdString(), entries));
}

} // namespace

class GtfsImportTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        fx = std::make_unique<GuiFixture>();
        feed = fx->path("feeds/sample.zip");
        QDir().mkpath(fx->path("feeds"));
        WriteSampleZip(feed);
        project = fx->path("neu/sample.zpr");
        fmMain->show();
        QVERIFY(QTest::qWaitForWindowExposed(fmMain));
    }
    void cleanup() { fx.reset(); }

    void importsFromExtrasWithoutAProjectAndOpensTheNewOne() {
        QVERIFY(Control<QMenu>(fmMain, "ExtrasMenu")->isEnabled());
        QVERIFY(!Control<QAction>(fmMain, "ExtrasGtfsItem")->isEnabled());
        QVERIFY(Control<QAction>(fmMain, "ExtrasGtfsImportItem")->isEnabled());
        QCOMPARE(Control<QAction>(fmMain, "ExtrasGtfsImportItem")->text(),
                 QString("GTFS importieren…"));

        fx->dialogs->setNextFileName(feed);
        fx->dialogs->setNextFileName(project);
        fx->dialogs->setNextModalAction([this](QDialog &window) {
            QCOMPARE(&window, static_cast<QDialog *>(fmGtfsImport));
            QVERIFY(!Control<QPushButton>(fmGtfsImport, "btImport")->isEnabled());
            QVERIFY(Control<QProgressBar>(fmGtfsImport, "pbProgress")->isHidden());
            Click(Control<QPushButton>(fmGtfsImport, "btFeed"));
            QCOMPARE(Control<QLineEdit>(fmGtfsImport, "edFeed")->text(),
                     QDir::toNativeSeparators(feed));
            Click(Control<QPushButton>(fmGtfsImport, "btProject"));
            QCOMPARE(fx->dialogs->lastFileRequest().proposedFile,
                     fx->path("feeds/sample/sample.zpr"));
            QCOMPARE(Control<QLineEdit>(fmGtfsImport, "edProject")->text(),
                     QDir::toNativeSeparators(project));
            QVERIFY(Control<QPushButton>(fmGtfsImport, "btImport")->isEnabled());
            Click(Control<QPushButton>(fmGtfsImport, "btImport"));
            const QString report = Control<QPlainTextEdit>(fmGtfsImport, "mmReport")->toPlainText();
            QVERIFY2(report.startsWith("9 Stationen, 5 Linien, 2 Tagesgruppen, 11 Fahrten (28 "
                                       "Zeilen in stop_times.txt).\nAngepasst: nichts"),
                     qPrintable(report));
            QVERIFY(report.contains("\n  1 Fußnote für 1 Dienst, deren Tage"));
            QVERIFY(report.contains("  fare_attributes.txt: Tarife kennt das Projekt nicht"));
            QVERIFY(Control<QPushButton>(fmGtfsImport, "btClose")->isEnabled());
            Click(Control<QPushButton>(fmGtfsImport, "btClose"));
        });
        ChooseFromMenu(Control<QMenu>(fmMain, "ExtrasMenu"),
                       Control<QAction>(fmMain, "ExtrasGtfsImportItem"));
        QCOMPARE(fx->dialogs->log(), QStringList({"modal:GTFS importieren", "open:",
                                                  "save:" + fx->path("feeds/sample/sample.zpr")}));
        QVERIFY(fx->dialogs->errors().isEmpty());
        // The new project is the open one.
        QCOMPARE(QString::fromStdString(OpenProject().ProjectFile), project);
        QVERIFY(Control<QAction>(fmMain, "ExtrasGtfsItem")->isEnabled());
        QCOMPARE(OpenProject().PrjParams.DayGroups.size(), std::size_t{2});
        QVERIFY(ReadBytes(fx->path("neu/lines.csv")) == "10\r\n20\r\n30\r\n40\r\n50\r\n");
        QVERIFY(QFileInfo::exists(fx->path("neu/line_40.ttd")));
    }

    void abortLeavesNoProjectAndTheWindowResponsive() {
        // The core's import, held at its first progress step until the
        // window says stop.
        bool sawRunning = false;
        fmGtfsImport->Importer = [](const std::string &feedPath, const std::string &projectPath,
                                    const gtfs::TImportProgress &progress) {
            return gtfs::ImportGtfs(feedPath, projectPath,
                                    [&progress](std::size_t done, std::size_t total) {
                                        while (progress(done, total))
                                            QThread::msleep(5);
                                        return false;
                                    });
        };
        fmGtfsImport->EnsureControls();
        Control<QLineEdit>(fmGtfsImport, "edFeed")->setText(feed);
        Control<QLineEdit>(fmGtfsImport, "edProject")->setText(project);
        fx->dialogs->setNextModalAction([&](QDialog &) {
            QTimer::singleShot(150, fmGtfsImport, [&] {
                sawRunning = Control<QProgressBar>(fmGtfsImport, "pbProgress")->isVisible() &&
                             !Control<QPushButton>(fmGtfsImport, "btClose")->isEnabled() &&
                             fmGtfsImport->Importing();
                Click(Control<QPushButton>(fmGtfsImport, "btAbort"));
            });
            Click(Control<QPushButton>(fmGtfsImport, "btImport"));
            QCOMPARE(Control<QPlainTextEdit>(fmGtfsImport, "mmReport")->toPlainText(),
                     QString("Import abgebrochen: es wurde kein Projekt angelegt."));
            QVERIFY(Control<QProgressBar>(fmGtfsImport, "pbProgress")->isHidden());
        });
        ChooseFromMenu(Control<QMenu>(fmMain, "ExtrasMenu"),
                       Control<QAction>(fmMain, "ExtrasGtfsImportItem"));
        QVERIFY(sawRunning);
        QVERIFY(!QFileInfo::exists(fx->path("neu")));
        QVERIFY(OpenProject().ProjectFile.empty());
    }

    void aFolderHoldingAProjectIsRefused() {
        WriteBytes(fx->path("neu/alt.zpr"), IniText({"[timetable]", "max_drive_minutes=45"}));
        fmGtfsImport->EnsureControls();
        Control<QLineEdit>(fmGtfsImport, "edFeed")->setText(feed);
        fx->dialogs->setNextModalAction([&](QDialog &) {
            QTest::keyClicks(Control<QLineEdit>(fmGtfsImport, "edProject"), project);
            Click(Control<QPushButton>(fmGtfsImport, "btImport"));
            QCOMPARE(Control<QLabel>(fmGtfsImport, "laState")->text(),
                     QString("Import fehlgeschlagen."));
        });
        ChooseFromMenu(Control<QMenu>(fmMain, "ExtrasMenu"),
                       Control<QAction>(fmMain, "ExtrasGtfsImportItem"));
        QCOMPARE(fx->dialogs->errors().size(), 1);
        QVERIFY(fx->dialogs->errors()[0].contains("liegt schon ein Projekt"));
        QCOMPARE(QDir(fx->path("neu")).entryList(QDir::Files), QStringList{"alt.zpr"});
    }

  private:
    std::unique_ptr<GuiFixture> fx;
    QString feed, project;
};

TAKTON_GUI_TEST_MAIN(GtfsImportTest)
#include "test_gtfs_import.moc"
