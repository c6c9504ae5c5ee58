#include "gui/print/graph_window.h"

#include "core/model/master_data.h"
#include "core/model/prj_params.h"
#include "gui/common/buttons.h"
#include "gui/common/current_project.h"
#include "gui/common/dialogs.h"
#include "gui/common/error_handler.h"
#include "render/print/print_files.h"
#include "render/print/print_render.h"
#include "render/qt_text.h"

#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace takton::gui {
namespace {

constexpr double kZoomStep = 1.25;
constexpr double kMinZoom = 0.25;
constexpr double kMaxZoom = 8;

} // namespace

TGraphView::TGraphView(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("GraphView"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TGraphView::SetGraph(print::TGraph graph) {
    graph_ = std::move(graph);
    Resize();
}

void TGraphView::SetZoom(double zoom) {
    zoom_ = std::clamp(zoom, kMinZoom, kMaxZoom);
    Resize();
}

void TGraphView::Resize() {
    const print::TGraphScale scale = print::GraphScale(graph_, zoom_);
    resize(static_cast<int>(std::ceil(scale.Width(graph_))),
           static_cast<int>(std::ceil(scale.Height(graph_))));
    update();
}

void TGraphView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!graph_.Stations.empty())
        print::PaintGraph(painter, graph_, print::GraphScale(graph_, zoom_));
}

// Ctrl and the wheel zoom; the wheel alone scrolls.
void TGraphView::wheelEvent(QWheelEvent *event) {
    if (!(event->modifiers() & Qt::ControlModifier)) {
        event->ignore();
        return;
    }
    SetZoom(event->angleDelta().y() > 0 ? zoom_ * kZoomStep : zoom_ / kZoomStep);
    event->accept();
}

TfmGraph::TfmGraph(QWidget *parent) : TLazyDialog(parent) {
    setObjectName(QStringLiteral("fmGraph"));
    setWindowTitle(QStringLiteral("Bildfahrplan"));
    setModal(true);
    setSizeGripEnabled(true);
    resize(960, 680);
}

void TfmGraph::CreateControls() {
    cbLines = new QComboBox(this);
    cbLines->setObjectName(QStringLiteral("cbLines"));
    cbDays = new QComboBox(this);
    cbDays->setObjectName(QStringLiteral("cbDays"));
    btZoomOut = PlainButton(this, QStringLiteral("Verkleinern"), "btZoomOut");
    btZoomIn = PlainButton(this, QStringLiteral("Vergrößern"), "btZoomIn");
    laZoom = new QLabel(this);
    laZoom->setObjectName(QStringLiteral("laZoom"));
    GraphView = new TGraphView();
    ScrollArea = new QScrollArea(this);
    ScrollArea->setObjectName(QStringLiteral("ScrollArea"));
    ScrollArea->setWidget(GraphView);
    ScrollArea->setBackgroundRole(QPalette::Base);
    laSaved = new QLabel(this);
    laSaved->setObjectName(QStringLiteral("laSaved"));
    laSaved->setTextInteractionFlags(Qt::TextSelectableByMouse);
    btSavePng = PlainButton(this, QStringLiteral("Als PNG speichern…"), "btSavePng");
    btSaveSvg = PlainButton(this, QStringLiteral("Als SVG speichern…"), "btSaveSvg");
    btSavePdf = PlainButton(this, QStringLiteral("Als PDF speichern…"), "btSavePdf");
    btClose = PlainButton(this, QStringLiteral("Schließen"), "btClose");

    auto *choice = new QHBoxLayout();
    choice->addWidget(new QLabel(QStringLiteral("Linie:"), this));
    choice->addWidget(cbLines);
    choice->addWidget(new QLabel(QStringLiteral("Tage:"), this));
    choice->addWidget(cbDays);
    choice->addStretch(1);
    choice->addWidget(btZoomOut);
    choice->addWidget(laZoom);
    choice->addWidget(btZoomIn);
    auto *buttons = new QHBoxLayout();
    buttons->addWidget(laSaved, 1);
    buttons->addWidget(btSavePng);
    buttons->addWidget(btSaveSvg);
    buttons->addWidget(btSavePdf);
    buttons->addWidget(btClose);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(choice);
    layout->addWidget(ScrollArea, 1);
    layout->addLayout(buttons);

    for (QComboBox *box : {cbLines, cbDays})
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            if (!filling_)
                RunGuarded([this] { LoadGraph(); });
        });
    connect(btZoomIn, &QPushButton::clicked, this, Guarded([this] { btZoomInClick(); }));
    connect(btZoomOut, &QPushButton::clicked, this, Guarded([this] { btZoomOutClick(); }));
    connect(btSavePng, &QPushButton::clicked, this, Guarded([this] { btSavePngClick(); }));
    connect(btSaveSvg, &QPushButton::clicked, this, Guarded([this] { btSaveSvgClick(); }));
    connect(btSavePdf, &QPushButton::clicked, this, Guarded([this] { btSavePdfClick(); }));
    connect(btClose, &QPushButton::clicked, this, &QDialog::reject);
    ShowZoom();
}

void TfmGraph::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        RunGuarded([this] { FormShow(); });
}

void TfmGraph::ChooseTimetable(const std::string &line, const std::string &dayGroup) {
    chosenLine_ = line;
    chosenDayGroup_ = dayGroup;
}

void TfmGraph::FormShow() {
    laSaved->clear();
    filling_ = true;
    const QString line = chosenLine_.empty() ? cbLines->currentText() : FromCp1252(chosenLine_);
    const QString day =
        chosenDayGroup_.empty() ? cbDays->currentText() : FromCp1252(chosenDayGroup_);
    cbLines->clear();
    for (const auto &name : LoadNameList(Project().ProjectDir, kLinesFile))
        cbLines->addItem(FromCp1252(name));
    cbDays->clear();
    for (const auto &group : Project().PrjParams.DayGroups)
        cbDays->addItem(FromCp1252(group.Name));
    cbLines->setCurrentIndex(std::max(0, cbLines->findText(line)));
    cbDays->setCurrentIndex(std::max(0, cbDays->findText(day)));
    chosenLine_.clear();
    chosenDayGroup_.clear();
    filling_ = false;
    LoadGraph();
    FitToWindow();
}

void TfmGraph::FitToWindow() {
    const print::TGraph &graph = GraphView->Graph();
    if (graph.Stations.empty())
        return;
    if (layout())
        layout()->activate();
    // The room without scroll bars, less a pixel for the rounding up of the size.
    const QSize room = ScrollArea->maximumViewportSize() - QSize(1, 1);
    const print::TGraphScale one = print::GraphScale(graph, 1);
    const double marginsX = one.Left + one.Right;
    const double marginsY = one.Top + one.Bottom;
    // Only the graph's inside grows with the zoom; the margins for names stay.
    double zoom = 1;
    const double insideX = one.Width(graph) - marginsX;
    const double insideY = one.Height(graph) - marginsY;
    if (insideX > 0)
        zoom = std::min(zoom, (room.width() - marginsX) / insideX);
    if (insideY > 0)
        zoom = std::min(zoom, (room.height() - marginsY) / insideY);
    GraphView->SetZoom(zoom);
    ShowZoom();
}

void TfmGraph::LoadGraph() {
    if (cbLines->currentText().isEmpty()) {
        GraphView->SetGraph({});
        return;
    }
    GraphView->SetGraph(print::BuildGraph(Project().ProjectDir, Project().PrjParams,
                                          ToCp1252Lossy(cbLines->currentText()),
                                          ToCp1252Lossy(cbDays->currentText())));
}

void TfmGraph::ShowZoom() {
    laZoom->setText(QStringLiteral("%1 %").arg(std::lround(GraphView->Zoom() * 100)));
}

void TfmGraph::btZoomInClick() {
    GraphView->SetZoom(GraphView->Zoom() * kZoomStep);
    ShowZoom();
}

void TfmGraph::btZoomOutClick() {
    GraphView->SetZoom(GraphView->Zoom() / kZoomStep);
    ShowZoom();
}

void TfmGraph::Export(const QString &filter, const QString &suffix) {
    if (GraphView->Graph().Stations.empty())
        return;
    const QString proposed =
        QDir(FromNativePath(Project().ProjectDir))
            .filePath(QStringLiteral("Bildfahrplan %1 %2.%3")
                          .arg(cbLines->currentText(), cbDays->currentText(), suffix));
    const auto file = Dialogs().SaveFileName({filter, suffix, proposed});
    if (!file)
        return;
    laSaved->clear();
    print::WriteGraphFile(ToNativePath(*file), GraphView->Graph());
    laSaved->setText(SavedText(*file));
}

void TfmGraph::btSavePngClick() {
    Export(QStringLiteral("PNG-Bild (*.png)"), QStringLiteral("png"));
}

void TfmGraph::btSaveSvgClick() {
    Export(QStringLiteral("SVG-Grafik (*.svg)"), QStringLiteral("svg"));
}

void TfmGraph::btSavePdfClick() {
    Export(QStringLiteral("PDF-Datei (*.pdf)"), QStringLiteral("pdf"));
}

} // namespace takton::gui
