#include "query/query.h"

namespace takton::gui {

TfmQuery::TfmQuery(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmQuery"));
    setWindowTitle(QStringLiteral("Verbindugns-Abfrage"));
    setModal(true);
}

} // namespace takton::gui
