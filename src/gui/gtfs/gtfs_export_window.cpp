#include "gui/gtfs/gtfs_export_window.h"

#include "core/model/prj_params.h"
#include "core/util/error.h"
#include "gui/common/buttons.h"
#include "gui/common/current_project.h"
#include "gui/common/dialogs.h"
#include "gui/common/error_handler.h"
#include "gui/gtfs/report_lines.h"
#include "render/qt_text.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

namespace takton::gui {

namespace {

const QString kCaption = QStringLiteral("GTFS exportieren");

} // namespace

TfmGtfsExport::TfmGtfsExport(QWidget *parent) : TLazyDialog(parent) {
    setObjectName(QStringLiteral("fmGtfsExport"));
    setWindowTitle(kCaption);
    setModal(true);
    resize(560, 400);
}

void TfmGtfsExport::CreateControls() {
    laState = new QLabel(this);
    laState->setObjectName(QStringLiteral("laState"));
    laState->setWordWrap(true);
    pbProgress = new QProgressBar(this);
    pbProgress->setObjectName(QStringLiteral("pbProgress"));
    btAbort = PlainButton(this, QStringLiteral("Abbrechen"), "btAbort");
    mmSummary = new QPlainTextEdit(this);
    mmSummary->setObjectName(QStringLiteral("mmSummary"));
    mmSummary->setReadOnly(true);
    btExport = PlainButton(this, QStringLiteral("Exportieren…"), "btExport");
    btExport->setDefault(true);
    btClose = PlainButton(this, QStringLiteral("Fenster schließen"), "btClose");

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(laState);
    auto *progressRow = new QHBoxLayout();
    progressRow->addWidget(pbProgress, 1);
    progressRow->addWidget(btAbort);
    layout->addLayout(progressRow);
    layout->addWidget(mmSummary, 1);
    auto *buttons = new QHBoxLayout();
    buttons->addWidget(btExport);
    buttons->addStretch(1);
    buttons->addWidget(btClose);
    layout->addLayout(buttons);

    connect(btExport, &QPushButton::clicked, this, Guarded([this] { btExportClick(); }));
    connect(btAbort, &QPushButton::clicked, this, [this] { btAbortClick(); });
    connect(btClose, &QPushButton::clicked, this, [this] { close(); });
    ShowRunning(false);
}

void TfmGtfsExport::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfmGtfsExport::FormShow() {
    laState->setText(QStringLiteral("Das Projekt wird als GTFS-Feed (zip) für Fahrplanauskünfte "
                                    "geschrieben."));
    mmSummary->clear();
    ShowRunning(false);
}

void TfmGtfsExport::reject() {
    // Closing while the export runs means cancelling it; the window closes
    // once the exporter has stopped.
    if (job_.Running()) {
        btAbortClick();
        return;
    }
    QDialog::reject();
}

void TfmGtfsExport::ShowRunning(bool running) {
    pbProgress->setVisible(running);
    btAbort->setVisible(running);
    btAbort->setEnabled(running);
    btExport->setEnabled(!running);
    btClose->setEnabled(!running);
}

std::vector<std::string> TfmGtfsExport::Missing() const {
    return MissingData ? MissingData(Project().PrjParams.Publishing) : std::vector<std::string>();
}

bool TfmGtfsExport::PublishingComplete() {
    std::vector<std::string> missing = Missing();
    if (missing.empty())
        return true;
    QString question = QStringLiteral("Für den Export fehlen Angaben zur Veröffentlichung:\n");
    for (const std::string &field : missing)
        question += QStringLiteral("- ") + FromCp1252(field) + QLatin1Char('\n');
    question += QStringLiteral("Möchten Sie sie jetzt in den Projekt-Optionen auf der Seite "
                               "\"Veröffentlichung\" eintragen?");
    if (Dialogs().Ask(kCaption, question) == Answer::Yes && ShowPublishingOptions) {
        ShowPublishingOptions();
        missing = Missing();
        if (missing.empty())
            return true;
    }
    laState->setText(QStringLiteral("Nicht exportiert: Angaben zur Veröffentlichung fehlen."));
    return false;
}

bool TfmGtfsExport::StationsPlaced() {
    if (!UnplacedStations)
        return true;
    const std::vector<std::string> unplaced =
        UnplacedStations(Project().ProjectDir, Project().PrjParams);
    if (unplaced.empty())
        return true;
    laState->setText(QStringLiteral("Nicht exportiert: angefahrene Stationen ohne Geo-Position."));
    QStringList text;
    AppendLines(text,
                QStringLiteral("Diese Stationen werden angefahren, haben aber keine "
                               "Geo-Position:"),
                unplaced);
    text << QStringLiteral("Tragen Sie ihre Geo-Positionen unter \"Stationen bearbeiten\" ein.");
    mmSummary->setPlainText(text.join(QLatin1Char('\n')));
    return false;
}

std::optional<QString> TfmGtfsExport::ChosenZipFile() {
    QString proposed = lastZip_;
    if (proposed.isEmpty()) {
        const QFileInfo project(FromNativePath(Project().ProjectFile));
        proposed = QDir(FromNativePath(Project().ProjectDir))
                       .filePath((Project().ProjectFile.empty() ? QStringLiteral("gtfs")
                                                                : project.completeBaseName()) +
                                 QStringLiteral(".zip"));
    }
    return Dialogs().SaveFileName(
        {QStringLiteral("GTFS-Feed (*.zip)"), QStringLiteral("zip"), proposed});
}

void TfmGtfsExport::btExportClick() {
    if (NoProjectDir(Project()))
        return;
    if (!Exporter) {
        Dialogs().ShowMessage(
            QStringLiteral("Der GTFS-Export ist in dieser Ausgabe des Programms nicht enthalten."));
        return;
    }
    if (!PublishingComplete())
        return;
    mmSummary->clear();
    if (!StationsPlaced())
        return;
    const std::optional<QString> zipPath = ChosenZipFile();
    if (!zipPath)
        return;
    lastZip_ = *zipPath;
    mmSummary->clear();
    gtfs::TExportReport report;
    try {
        report = RunExport(*zipPath);
    } catch (const TaktonError &error) {
        // The reason stays in the window beside the export it belongs to.
        laState->setText(QStringLiteral("Export fehlgeschlagen."));
        mmSummary->setPlainText(FromCp1252(error.what()));
        return;
    } catch (...) {
        laState->setText(QStringLiteral("Export fehlgeschlagen."));
        throw;
    }
    ShowReport(report, *zipPath);
}

gtfs::TExportReport TfmGtfsExport::RunExport(const QString &zipPath) {
    laState->setText(QStringLiteral("Export läuft …"));
    ShowRunning(true);
    // The window comes back to rest whichever way the exporter ends.
    struct TRestore {
        TfmGtfsExport &window;
        ~TRestore() { window.ShowRunning(false); }
    } restore{*this};
    // The worker reads its own copies, never the window's state.
    const std::string dir = Project().ProjectDir;
    const TPrjParams params = Project().PrjParams;
    const std::string zip = ToNativePath(zipPath);
    gtfs::TExportReport report;
    job_.Run(*pbProgress, [&](const TLongJob::TProgress &progress) {
        report = Exporter(dir, params, zip, progress);
    });
    return report;
}

void TfmGtfsExport::btAbortClick() {
    if (!job_.Running())
        return;
    job_.Cancel();
    btAbort->setEnabled(false);
    laState->setText(QStringLiteral("Export wird abgebrochen …"));
}

void TfmGtfsExport::ShowReport(const gtfs::TExportReport &report, const QString &zipPath) {
    if (report.Cancelled) {
        laState->setText(QStringLiteral("Export abgebrochen"));
        mmSummary->setPlainText(QStringLiteral("Export abgebrochen: es wurde nichts geschrieben."));
        return;
    }
    laState->setText(QStringLiteral("Export fertig: ") + QDir::toNativeSeparators(zipPath));
    QStringList text;
    text << Counted(static_cast<long long>(report.Trips), QStringLiteral("Fahrt"),
                    QStringLiteral("Fahrten")) +
                QStringLiteral(", ") +
                Counted(static_cast<long long>(report.StopTimes), QStringLiteral("Halt"),
                        QStringLiteral("Halte")) +
                QStringLiteral(" geschrieben.");
    AppendLines(text, QStringLiteral("Geschrieben:"), report.Written);
    AppendLines(text, QStringLiteral("Nicht exportiert:"), report.Skipped);
    mmSummary->setPlainText(text.join(QLatin1Char('\n')));
}

} // namespace takton::gui
