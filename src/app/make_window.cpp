#include "app/make_window.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace takton::gui {

TfmMake::TfmMake(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmMake"));
    setWindowTitle(QStringLiteral("Daten aufbereiten"));
    setModal(true);
    btStart = new QPushButton(QStringLiteral("Start"), this);
    btStart->setObjectName(QStringLiteral("btStart"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(btStart, 0, Qt::AlignCenter);
    resize(320, 200);
}

} // namespace takton::gui
