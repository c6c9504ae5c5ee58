#include "gui/gtfs/gtfs_import_window.h"

#include "gui/common/buttons.h"
#include "gui/common/dialogs.h"
#include "gui/common/error_handler.h"
#include "gui/gtfs/report_lines.h"
#include "render/qt_text.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <exception>

namespace takton::gui {

namespace {

const QString kCaption = QStringLiteral("GTFS importieren");

} // namespace

TfmGtfsImport::TfmGtfsImport(QWidget *parent) : TLazyDialog(parent) {
    setObjectName(QStringLiteral("fmGtfsImport"));
    setWindowTitle(kCaption);
    setModal(true);
    resize(600, 440);
}

void TfmGtfsImport::CreateControls() {
    laState = new QLabel(this);
    laState->setObjectName(QStringLiteral("laState"));
    laState->setWordWrap(true);
    edFeed = new QLineEdit(this);
    edFeed->setObjectName(QStringLiteral("edFeed"));
    btFeed = PlainButton(this, QStringLiteral("Feed wählen…"), "btFeed");
    edProject = new QLineEdit(this);
    edProject->setObjectName(QStringLiteral("edProject"));
    btProject = PlainButton(this, QStringLiteral("Projektdatei wählen…"), "btProject");
    pbProgress = new QProgressBar(this);
    pbProgress->setObjectName(QStringLiteral("pbProgress"));
    pbProgress->setRange(0, 1000);
    btAbort = PlainButton(this, QStringLiteral("Abbrechen"), "btAbort");
    mmReport = new QPlainTextEdit(this);
    mmReport->setObjectName(QStringLiteral("mmReport"));
    mmReport->setReadOnly(true);
    btImport = PlainButton(this, QStringLiteral("Importieren"), "btImport");
    btImport->setDefault(true);
    btClose = PlainButton(this, QStringLiteral("Fenster schließen"), "btClose");

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(laState);
    auto *files = new QGridLayout();
    files->addWidget(new QLabel(QStringLiteral("GTFS-Feed:"), this), 0, 0);
    files->addWidget(edFeed, 0, 1);
    files->addWidget(btFeed, 0, 2);
    files->addWidget(new QLabel(QStringLiteral("Neues Projekt:"), this), 1, 0);
    files->addWidget(edProject, 1, 1);
    files->addWidget(btProject, 1, 2);
    layout->addLayout(files);
    auto *progressRow = new QHBoxLayout();
    progressRow->addWidget(pbProgress, 1);
    progressRow->addWidget(btAbort);
    layout->addLayout(progressRow);
    layout->addWidget(mmReport, 1);
    auto *buttons = new QHBoxLayout();
    buttons->addWidget(btImport);
    buttons->addStretch(1);
    buttons->addWidget(btClose);
    layout->addLayout(buttons);

    connect(btFeed, &QPushButton::clicked, this, Guarded([this] { btFeedClick(); }));
    connect(btProject, &QPushButton::clicked, this, Guarded([this] { btProjectClick(); }));
    connect(btImport, &QPushButton::clicked, this, Guarded([this] { btImportClick(); }));
    connect(btAbort, &QPushButton::clicked, this, [this] { btAbortClick(); });
    connect(btClose, &QPushButton::clicked, this, [this] { close(); });
    connect(edFeed, &QLineEdit::textChanged, this, [this] { UpdateImportButton(); });
    connect(edProject, &QLineEdit::textChanged, this, [this] { UpdateImportButton(); });
    ShowRunning(false);
}

void TfmGtfsImport::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfmGtfsImport::FormShow() {
    laState->setText(QStringLiteral("Ein neues Projekt wird aus einem GTFS-Feed angelegt: "
                                    "Stationen, Linien mit ihren Linienwegen, Tagesgruppen und "
                                    "Fahrpläne."));
    mmReport->clear();
    ShowRunning(false);
}

void TfmGtfsImport::reject() {
    // Closing while the import runs means cancelling it first.
    if (job_.Running()) {
        btAbortClick();
        return;
    }
    QDialog::reject();
}

void TfmGtfsImport::UpdateImportButton() {
    // The abort button is shown exactly while an import runs.
    btImport->setEnabled(btAbort->isHidden() && !edFeed->text().trimmed().isEmpty() &&
                         !edProject->text().trimmed().isEmpty());
}

void TfmGtfsImport::ShowRunning(bool running) {
    pbProgress->setVisible(running);
    btAbort->setVisible(running);
    btAbort->setEnabled(running);
    for (QWidget *control : {static_cast<QWidget *>(edFeed), static_cast<QWidget *>(btFeed),
                             static_cast<QWidget *>(edProject), static_cast<QWidget *>(btProject),
                             static_cast<QWidget *>(btClose)})
        control->setEnabled(!running);
    UpdateImportButton();
}

void TfmGtfsImport::btFeedClick() {
    const auto chosen = Dialogs().OpenFileName(
        {QStringLiteral("GTFS-Feed (*.zip)"), QStringLiteral("zip"), edFeed->text()});
    if (chosen)
        edFeed->setText(QDir::toNativeSeparators(*chosen));
}

void TfmGtfsImport::btProjectClick() {
    QString proposed = edProject->text();
    if (proposed.isEmpty() && !edFeed->text().isEmpty()) {
        const QFileInfo feed(edFeed->text());
        proposed = feed.dir().filePath(feed.completeBaseName() + QStringLiteral("/") +
                                       feed.completeBaseName() + QStringLiteral(".zpr"));
    }
    const auto chosen = Dialogs().SaveFileName(
        {QStringLiteral("Projektdateien (*.zpr)"), QStringLiteral("zpr"), proposed});
    if (chosen)
        edProject->setText(QDir::toNativeSeparators(*chosen));
}

void TfmGtfsImport::btImportClick() {
    if (!Importer) {
        Dialogs().ShowMessage(
            QStringLiteral("Der GTFS-Import ist in dieser Ausgabe des Programms nicht enthalten."));
        return;
    }
    const QString project = QFileInfo(edProject->text().trimmed()).absoluteFilePath();
    const std::string feedPath = ToNativePath(edFeed->text().trimmed());
    const std::string projectPath = ToNativePath(project);
    mmReport->clear();
    std::optional<gtfs::TImportReport> report;
    try {
        report = RunImport(feedPath, projectPath);
    } catch (...) {
        laState->setText(QStringLiteral("Import fehlgeschlagen."));
        throw;
    }
    if (report && !report->Cancelled && OpenProject)
        OpenProject(projectPath);
    if (report)
        ShowReport(*report, project);
}

std::optional<gtfs::TImportReport> TfmGtfsImport::RunImport(const std::string &feed,
                                                            const std::string &project) {
    laState->setText(QStringLiteral("Import läuft …"));
    ShowRunning(true);
    struct TRestore {
        TfmGtfsImport &window;
        ~TRestore() { window.ShowRunning(false); }
    } restore{*this};
    gtfs::TImportReport report;
    job_.Run(*pbProgress, [&](const TLongJob::TProgress &progress) {
        report = Importer(feed, project, progress);
    });
    return report;
}

void TfmGtfsImport::btAbortClick() {
    if (!job_.Running())
        return;
    job_.Cancel();
    btAbort->setEnabled(false);
    laState->setText(QStringLiteral("Import wird abgebrochen …"));
}

void TfmGtfsImport::ShowReport(const gtfs::TImportReport &report, const QString &project) {
    if (report.Cancelled) {
        laState->setText(QStringLiteral("Import abgebrochen"));
        mmReport->setPlainText(
            QStringLiteral("Import abgebrochen: es wurde kein Projekt angelegt."));
        return;
    }
    laState->setText(QStringLiteral("Import fertig, das Projekt ist geöffnet: ") +
                     QDir::toNativeSeparators(project));
    QStringList text;
    const auto count = [](std::size_t n, const char *one, const char *many) {
        return Counted(static_cast<long long>(n), QString::fromLatin1(one),
                       QString::fromLatin1(many));
    };
    text << count(report.Stations, "Station", "Stationen") + QStringLiteral(", ") +
                count(report.Lines, "Linie", "Linien") + QStringLiteral(", ") +
                count(report.DayGroups, "Tagesgruppe", "Tagesgruppen") + QStringLiteral(", ") +
                count(report.Trips, "Fahrt", "Fahrten") + QStringLiteral(" (") +
                count(report.StopTimes, "Zeile", "Zeilen") + QStringLiteral(" in stop_times.txt).");
    if (report.Adapted.empty())
        text << QStringLiteral("Angepasst: nichts, alle Fahrten wie im Feed.");
    AppendLines(text, QStringLiteral("Angepasst:"), report.Adapted);
    AppendLines(text, QStringLiteral("Nicht übernommen:"), report.NotHeld);
    AppendLines(text, QStringLiteral("Hinweise:"), report.Notes);
    mmReport->setPlainText(text.join(QLatin1Char('\n')));
}

} // namespace takton::gui
