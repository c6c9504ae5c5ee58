#pragma once

// Stationen für Linie zuweisen: created once at start-up and kept for the whole run.

#include <QDialog>

namespace takton::gui {

class TfmEditLineStations : public QDialog {
    Q_OBJECT
  public:
    explicit TfmEditLineStations(QWidget *parent = nullptr);
};

} // namespace takton::gui
