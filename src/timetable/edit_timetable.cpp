#include "timetable/edit_timetable.h"

namespace takton::gui {

TfmEditTimeTable::TfmEditTimeTable(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmEditTimeTable"));
    setWindowTitle(QStringLiteral("Fahrplan bearbeiten"));
    setModal(true);
    resize(770, 577);
}

} // namespace takton::gui
