#include "gui/print/print_window.h"

#include "core/files/file_io.h"
#include "core/model/master_data.h"
#include "core/model/prj_params.h"
#include "core/util/error.h"
#include "gui/common/buttons.h"
#include "gui/common/current_project.h"
#include "gui/common/dialogs.h"
#include "gui/common/error_handler.h"
#include "render/print/print_files.h"
#include "render/print/print_render.h"
#include "render/qt_text.h"

#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

namespace takton::gui {
namespace {

QComboBox *AddChoice(QWidget *parent, const char *name) {
    auto *box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setMinimumWidth(220);
    return box;
}

void Fill(QComboBox &box, const std::vector<std::string> &items) {
    const QString before = box.currentText();
    box.clear();
    for (const auto &item : items)
        box.addItem(FromCp1252(item));
    const int again = box.findText(before);
    box.setCurrentIndex(again >= 0 ? again : 0);
}

void Choose(QComboBox &box, const std::string &item) {
    const int index = box.findText(FromCp1252(item));
    if (index >= 0)
        box.setCurrentIndex(index);
}

} // namespace

TfmPrint::TfmPrint(QWidget *parent) : TLazyDialog(parent) {
    setObjectName(QStringLiteral("fmPrint"));
    setWindowTitle(QStringLiteral("Drucken"));
    setModal(true);
}

void TfmPrint::CreateControls() {
    auto *what = new QGroupBox(QStringLiteral("Was drucken?"), this);
    rbTimetable = new QRadioButton(QStringLiteral("&Fahrplantabelle"), what);
    rbTimetable->setObjectName(QStringLiteral("rbTimetable"));
    rbLine = new QRadioButton(QStringLiteral("Alle Fahrpläne einer &Linie"), what);
    rbLine->setObjectName(QStringLiteral("rbLine"));
    rbPoster = new QRadioButton(QStringLiteral("&Aushangfahrplan einer Station"), what);
    rbPoster->setObjectName(QStringLiteral("rbPoster"));
    rbTimetable->setChecked(true);
    auto *whatLayout = new QVBoxLayout(what);
    whatLayout->addWidget(rbTimetable);
    whatLayout->addWidget(rbLine);
    whatLayout->addWidget(rbPoster);

    cbLines = AddChoice(this, "cbLines");
    cbDirection = AddChoice(this, "cbDirection");
    cbDays = AddChoice(this, "cbDays");
    cbStations = AddChoice(this, "cbStations");
    auto *form = new QFormLayout();
    form->addRow(QStringLiteral("Linie:"), cbLines);
    // The entries say "Richtung 1 → Südfriedhof" themselves.
    form->addRow(QString(), cbDirection);
    form->addRow(QStringLiteral("Tage:"), cbDays);
    form->addRow(QStringLiteral("Station:"), cbStations);

    btPreview = PlainButton(this, QStringLiteral("Vorschau…"), "btPreview");
    btPrint = PlainButton(this, QStringLiteral("Drucken…"), "btPrint");
    btPdf = PlainButton(this, QStringLiteral("Als PDF speichern…"), "btPdf");
    btClose = PlainButton(this, QStringLiteral("Schließen"), "btClose");
    auto *buttons = new QHBoxLayout();
    buttons->addWidget(btPreview);
    buttons->addWidget(btPrint);
    buttons->addWidget(btPdf);
    buttons->addStretch(1);
    buttons->addWidget(btClose);

    laStatus = new QLabel(this);
    laStatus->setObjectName(QStringLiteral("laStatus"));
    laStatus->setWordWrap(true);
    laStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(what);
    layout->addLayout(form);
    layout->addWidget(laStatus);
    layout->addLayout(buttons);

    for (QRadioButton *choice : {rbTimetable, rbLine, rbPoster})
        connect(choice, &QRadioButton::toggled, this, [this] { UpdateChoice(); });
    connect(cbLines, &QComboBox::currentIndexChanged, this, Guarded([this] { FillDirections(); }));
    connect(btPreview, &QPushButton::clicked, this, Guarded([this] { btPreviewClick(); }));
    connect(btPrint, &QPushButton::clicked, this, Guarded([this] { btPrintClick(); }));
    connect(btPdf, &QPushButton::clicked, this, Guarded([this] { btPdfClick(); }));
    connect(btClose, &QPushButton::clicked, this, &QDialog::reject);
    FillDirections();
    UpdateChoice();
}

void TfmPrint::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        RunGuarded([this] { FormShow(); });
}

void TfmPrint::SetOpenTimetable(std::optional<print::TPrintTimetable> table) {
    openTimetable_ = std::move(table);
}

void TfmPrint::FillDirections() {
    const int chosen = std::max(cbDirection->currentIndex(), 0);
    const std::string line = ToCp1252Lossy(cbLines->currentText());
    const TStringList stations =
        line.empty() || Project().ProjectDir.empty() ||
                !FileExists(ProjectPath(Project().ProjectDir, kLineStationsFile))
            ? TStringList{}
            : LoadLineStations(Project().ProjectDir, line);
    cbDirection->clear();
    for (const int direction : {1, 2}) {
        QString text = QStringLiteral("Richtung %1").arg(direction);
        if (!stations.empty())
            text += QStringLiteral(" → ") + FromCp1252(DirectionTerminus(stations, direction));
        cbDirection->addItem(text, direction);
    }
    cbDirection->setCurrentIndex(chosen);
}

int TfmPrint::ChosenDirection() const {
    return cbDirection->currentIndex() == 1 ? 2 : 1;
}

void TfmPrint::FormShow() {
    laStatus->clear();
    Fill(*cbLines, LoadNameList(Project().ProjectDir, kLinesFile));
    FillDirections();
    std::vector<std::string> days;
    for (const auto &group : Project().PrjParams.DayGroups)
        days.push_back(group.Name);
    Fill(*cbDays, days);
    Fill(*cbStations, LoadNameList(Project().ProjectDir, kStationsFile));
    if (openTimetable_) {
        Choose(*cbLines, openTimetable_->Line);
        cbDirection->setCurrentIndex(openTimetable_->Direction == 2 ? 1 : 0);
        Choose(*cbDays, openTimetable_->DayGroup);
        rbTimetable->setChecked(true);
    }
    UpdateChoice();
}

void TfmPrint::UpdateChoice() {
    const bool poster = rbPoster->isChecked();
    cbLines->setEnabled(!poster);
    cbDirection->setEnabled(rbTimetable->isChecked());
    cbDays->setEnabled(rbTimetable->isChecked());
    cbStations->setEnabled(poster);
}

bool TfmPrint::PosterChosen() const {
    return rbPoster->isChecked();
}

std::vector<print::TPrintTimetable> TfmPrint::ChosenTimetables() const {
    const std::string line = ToCp1252Lossy(cbLines->currentText());
    if (rbLine->isChecked())
        return print::LoadLineTimetables(Project().ProjectDir, Project().PrjParams, line);
    const int direction = ChosenDirection();
    const std::string dayGroup = ToCp1252Lossy(cbDays->currentText());
    if (openTimetable_ && openTimetable_->Line == line && openTimetable_->Direction == direction &&
        openTimetable_->DayGroup == dayGroup)
        return {*openTimetable_};
    return {print::LoadPrintTimetable(Project().ProjectDir, Project().PrjParams, line, direction,
                                      dayGroup)};
}

std::optional<std::vector<print::TPrintTimetable>> TfmPrint::PrintableTimetables() {
    const QString line = cbLines->currentText();
    std::vector<print::TPrintTimetable> tables;
    try {
        tables = ChosenTimetables();
    } catch (const TaktonError &error) {
        // A line without any section of the project's day groups.
        laStatus->setText(FromCp1252(error.what()));
        return std::nullopt;
    }
    if (std::all_of(tables.begin(), tables.end(),
                    [](const print::TPrintTimetable &table) { return table.Columns.empty(); })) {
        laStatus->setText(rbLine->isChecked()
                              ? QStringLiteral("Die Linie %1 hat keine Fahrten.").arg(line)
                              : QStringLiteral("Linie %1, %2, %3: kein Fahrplan vorhanden.")
                                    .arg(line, cbDirection->currentText(), cbDays->currentText()));
        return std::nullopt;
    }
    return tables;
}

std::optional<std::vector<print::TPrintTimetable>> TfmPrint::ToPrint() {
    laStatus->clear();
    if (PosterChosen())
        return std::vector<print::TPrintTimetable>{};
    return PrintableTimetables();
}

bool TfmPrint::Paint(QPagedPaintDevice &device, const std::vector<print::TPrintTimetable> &tables) {
    const QString validity = print::FromCp1252Text(print::ValidityText(Project().PrjParams));
    if (PosterChosen()) {
        device.setPageLayout(print::PosterPageLayout());
        const auto poster = print::BuildPoster(Project().ProjectDir, Project().PrjParams,
                                               ToCp1252Lossy(cbStations->currentText()));
        return print::PaintPoster(device, poster, validity);
    }
    device.setPageLayout(print::TimetablePageLayout());
    return print::PaintTimetables(device, tables, validity);
}

void TfmPrint::PreparePrinter(QPrinter &printer) {
    printer.setPageLayout(PosterChosen() ? print::PosterPageLayout()
                                         : print::TimetablePageLayout());
    printer.setDocName(windowTitle());
}

void TfmPrint::btPreviewClick() {
    const auto tables = ToPrint();
    if (!tables)
        return;
    QPrinter printer(QPrinter::HighResolution);
    PreparePrinter(printer);
    QPrintPreviewDialog preview(&printer, this);
    preview.setObjectName(QStringLiteral("dlgPrintPreview"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [&](QPrinter *target) { RunGuarded([&] { Paint(*target, *tables); }); });
    Dialogs().ShowModal(preview);
}

void TfmPrint::btPrintClick() {
    const auto tables = ToPrint();
    if (!tables)
        return;
    QPrinter printer(QPrinter::HighResolution);
    PreparePrinter(printer);
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("dlgPrint"));
    if (Dialogs().ShowModal(dialog) == QDialog::Accepted)
        Paint(printer, *tables);
}

QString TfmPrint::ProposedPdfName() const {
    const QString name =
        PosterChosen()        ? QStringLiteral("Aushang %1").arg(cbStations->currentText())
        : rbLine->isChecked() ? QStringLiteral("Linie %1").arg(cbLines->currentText())
                              : QStringLiteral("Linie %1 Richtung %2 %3")
                                    .arg(cbLines->currentText(), QString::number(ChosenDirection()),
                                         cbDays->currentText());
    return QDir(FromNativePath(Project().ProjectDir)).filePath(name + QStringLiteral(".pdf"));
}

void TfmPrint::btPdfClick() {
    laStatus->clear();
    std::optional<std::vector<print::TPrintTimetable>> tables;
    if (!PosterChosen() && !(tables = PrintableTimetables()))
        return;
    const auto file = Dialogs().SaveFileName(
        {QStringLiteral("PDF-Datei (*.pdf)"), QStringLiteral("pdf"), ProposedPdfName()});
    if (!file)
        return;
    const std::string path = ToNativePath(*file);
    const std::string validity = print::ValidityText(Project().PrjParams);
    if (PosterChosen())
        print::WritePosterPdf(path,
                              print::BuildPoster(Project().ProjectDir, Project().PrjParams,
                                                 ToCp1252Lossy(cbStations->currentText())),
                              validity);
    else
        print::WriteTimetablePdf(path, *tables, validity);
    laStatus->setText(SavedText(*file));
}

} // namespace takton::gui
