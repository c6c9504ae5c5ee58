#include "gui/map/map_window.h"

#include "gui/common/current_project.h"
#include "gui/common/dialogs.h"
#include "gui/common/error_handler.h"
#include "gui/map/map_widget.h"
#include "render/map/map_export.h"
#include "render/qt_text.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace takton::gui {

TfmMap::TfmMap(QWidget *parent) : TLazyDialog(parent) {
    setObjectName(QStringLiteral("fmMap"));
    setWindowTitle(QStringLiteral("Netzkarte"));
    setModal(true);
    setSizeGripEnabled(true);
    resize(900, 640);
}

void TfmMap::CreateControls() {
    MapView = new TMapWidget(this);
    laWithoutPosition = new QLabel(QStringLiteral("Ohne Koordinaten"), this);
    laWithoutPosition->setObjectName(QStringLiteral("laWithoutPosition"));
    lbWithoutPosition = new QListWidget(this);
    lbWithoutPosition->setObjectName(QStringLiteral("lbWithoutPosition"));
    lbWithoutPosition->setFixedWidth(180);
    laWithoutPosition->setBuddy(lbWithoutPosition);

    btFit = AddButton(QStringLiteral("Alles zeigen"), "btFit");
    btSavePng = AddButton(QStringLiteral("Als PNG speichern…"), "btSavePng");
    btSavePdf = AddButton(QStringLiteral("Als PDF speichern…"), "btSavePdf");
    btClose = AddButton(QStringLiteral("Schließen"), "btClose");
    laSaved = new QLabel(this);
    laSaved->setObjectName(QStringLiteral("laSaved"));
    laSaved->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *side = new QVBoxLayout();
    side->addWidget(laWithoutPosition);
    side->addWidget(lbWithoutPosition, 1);
    auto *body = new QHBoxLayout();
    body->addWidget(MapView, 1);
    body->addLayout(side);
    auto *buttons = new QHBoxLayout();
    buttons->addWidget(btFit);
    buttons->addWidget(laSaved, 1);
    buttons->addWidget(btSavePng);
    buttons->addWidget(btSavePdf);
    buttons->addWidget(btClose);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);

    connect(btFit, &QPushButton::clicked, this, Guarded([this] { MapView->FitAll(); }));
    connect(btSavePng, &QPushButton::clicked, this, Guarded([this] { btSavePngClick(); }));
    connect(btSavePdf, &QPushButton::clicked, this, Guarded([this] { btSavePdfClick(); }));
    connect(btClose, &QPushButton::clicked, this, &QDialog::reject);
}

QPushButton *TfmMap::AddButton(const QString &caption, const char *name) {
    auto *button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

void TfmMap::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    // A window restored by the window system is not shown anew.
    if (!event->spontaneous())
        RunGuarded([this] { FormShow(); });
}

void TfmMap::FormShow() {
    TNetworkMap map = LoadNetworkMap(Project().ProjectDir);
    laSaved->clear();
    lbWithoutPosition->clear();
    for (const std::string &station : map.WithoutPosition)
        lbWithoutPosition->addItem(FromCp1252(station));
    MapView->SetMap(std::move(map));
}

QString TfmMap::ProposedFile(const QString &last, const char *suffix) const {
    if (!last.isEmpty())
        return last;
    return QDir(FromNativePath(Project().ProjectDir))
        .filePath(QStringLiteral("Netzkarte.") + QString::fromLatin1(suffix));
}

void TfmMap::btSavePngClick() {
    const auto chosen = Dialogs().SaveFileName(
        {QStringLiteral("PNG-Bild (*.png)"), QStringLiteral("png"), ProposedFile(lastPng_, "png")});
    if (!chosen)
        return;
    lastPng_ = *chosen;
    laSaved->clear();
    SaveMapPng(MapView->Map(), *chosen);
    laSaved->setText(SavedText(*chosen));
}

void TfmMap::btSavePdfClick() {
    const auto chosen =
        Dialogs().SaveFileName({QStringLiteral("PDF-Dokument (*.pdf)"), QStringLiteral("pdf"),
                                ProposedFile(lastPdf_, "pdf")});
    if (!chosen)
        return;
    lastPdf_ = *chosen;
    laSaved->clear();
    SaveMapPdf(MapView->Map(), *chosen);
    laSaved->setText(SavedText(*chosen));
}

} // namespace takton::gui
