#pragma once

// Verbindugns-Abfrage: created once at start-up and kept for the whole run.

#include <QDialog>

namespace takton::gui {

class TfmQuery : public QDialog {
    Q_OBJECT
  public:
    explicit TfmQuery(QWidget *parent = nullptr);
};

} // namespace takton::gui
