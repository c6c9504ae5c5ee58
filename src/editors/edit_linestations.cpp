#include "editors/edit_linestations.h"

namespace takton::gui {

TfmEditLineStations::TfmEditLineStations(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmEditLineStations"));
    setWindowTitle(QStringLiteral("Stationen für Linie zuweisen"));
    setModal(true);
}

} // namespace takton::gui
