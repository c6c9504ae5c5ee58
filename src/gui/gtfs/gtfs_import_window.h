#pragma once

// GTFS importieren: the planner chooses a feed (zip) and the project file of
// the new project; the import runs beside the window with a progress bar that
// "Abbrechen" stops (nothing is left behind then); at the end the new project
// is opened and the window lists what was adapted and what was left out.
// The import itself is handed in (Importer), so the window knows no feed format.

#include "core/gtfs/gtfs_import.h"
#include "gui/common/lazy_dialog.h"
#include "gui/common/long_job.h"

#include <QString>
#include <functional>
#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace takton::gui {

using TGtfsImporter =
    std::function<gtfs::TImportReport(const std::string &feedPath, const std::string &projectPath,
                                      const gtfs::TImportProgress &progress)>;

class TfmGtfsImport : public TLazyDialog {
    Q_OBJECT
  public:
    explicit TfmGtfsImport(QWidget *parent = nullptr);

    // Set by the program: the import, and how a project is opened.
    TGtfsImporter Importer;
    std::function<void(const std::string &projectFile)> OpenProject;

    void FormShow();
    void btFeedClick();
    void btProjectClick();
    void btImportClick();
    void btAbortClick();

    bool Importing() const { return job_.Running(); }

  protected:
    void CreateControls() override;
    void showEvent(QShowEvent *event) override;
    void reject() override;

  private:
    QLabel *laState = nullptr;
    QLineEdit *edFeed = nullptr;
    QPushButton *btFeed = nullptr;
    QLineEdit *edProject = nullptr;
    QPushButton *btProject = nullptr;
    QProgressBar *pbProgress = nullptr;
    QPushButton *btAbort = nullptr;
    QPlainTextEdit *mmReport = nullptr;
    QPushButton *btImport = nullptr;
    QPushButton *btClose = nullptr;

    // Runs the importer on a worker thread; the window stays responsive and
    // shows its progress. Rethrows what the importer raised.
    std::optional<gtfs::TImportReport> RunImport(const std::string &feed,
                                                 const std::string &project);
    void ShowRunning(bool running);
    void ShowReport(const gtfs::TImportReport &report, const QString &project);
    void UpdateImportButton();

    TLongJob job_;
};

} // namespace takton::gui
