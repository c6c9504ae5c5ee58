#include "editors/edit_stations.h"

namespace takton::gui {

TfmEditStations::TfmEditStations(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmEditStations"));
    setWindowTitle(QStringLiteral("Stationen bearbeiten"));
    setModal(true);
}

} // namespace takton::gui
