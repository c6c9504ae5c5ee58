#include "editors/edit_lines.h"

namespace takton::gui {

TfmEditLines::TfmEditLines(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmEditLines"));
    setWindowTitle(QStringLiteral("Linien bearbeiten"));
    setModal(true);
}

} // namespace takton::gui
