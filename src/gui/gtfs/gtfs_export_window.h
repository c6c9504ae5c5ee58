#pragma once

// GTFS exportieren: asks for the publishing data the project lacks, lets the
// planner choose the zip file, runs the export with a progress bar that
// "Abbrechen" stops, and shows what was written and what was skipped and why.
// The export itself is handed in (Exporter), so the window knows no feed format.

#include "core/gtfs/gtfs_export.h"
#include "gui/common/lazy_dialog.h"
#include "gui/common/long_job.h"

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace takton::gui {

using TGtfsExporter = std::function<gtfs::TExportReport(
    const std::string &projectDir, const TPrjParams &params, const std::string &zipPath,
    const gtfs::TExportProgress &progress)>;
// The German names of the publishing fields still missing (cp1252).
using TMissingPublishingData = std::function<std::vector<std::string>(const TPublishing &)>;
// The served stations without geo position (cp1252), which the export refuses.
using TUnplacedStations = std::function<std::vector<std::string>(const std::string &projectDir,
                                                                 const TPrjParams &params)>;

class TfmGtfsExport : public TLazyDialog {
    Q_OBJECT
  public:
    explicit TfmGtfsExport(QWidget *parent = nullptr);

    // Set by the program; without an exporter the window says the export is
    // not part of this build.
    TGtfsExporter Exporter;
    TMissingPublishingData MissingData;
    TUnplacedStations UnplacedStations;
    // Opens the project options on their "Veröffentlichung" page, modally.
    std::function<void()> ShowPublishingOptions;

    void FormShow();
    void btExportClick();
    void btAbortClick();

    bool Exporting() const { return job_.Running(); }

  protected:
    void CreateControls() override;
    void showEvent(QShowEvent *event) override;
    void reject() override;

  private:
    QLabel *laState = nullptr;
    QProgressBar *pbProgress = nullptr;
    QPushButton *btAbort = nullptr;
    QPlainTextEdit *mmSummary = nullptr;
    QPushButton *btExport = nullptr;
    QPushButton *btClose = nullptr;

    // True once nothing is missing, after asking the planner to fill in
    // what is; false when the planner leaves it missing.
    bool PublishingComplete();
    std::vector<std::string> Missing() const;
    // True when every served station has a position; else says which lack one.
    bool StationsPlaced();
    std::optional<QString> ChosenZipFile();
    // Runs the exporter beside the window; rethrows what it raised.
    gtfs::TExportReport RunExport(const QString &zipPath);
    void ShowRunning(bool running);
    void ShowReport(const gtfs::TExportReport &report, const QString &zipPath);

    TLongJob job_;
    QString lastZip_;
};

} // namespace takton::gui
