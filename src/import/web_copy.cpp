#include "import/web_copy.h"

namespace takton::gui {

TfmWebCopy::TfmWebCopy(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmWebCopy"));
    setWindowTitle(QStringLiteral("Fahrplan Kopier-Bereich"));
    setModal(false);
    // Shown beside the timetable editor without blocking either window.
}

} // namespace takton::gui
