#pragma once

// Stationen bearbeiten: created once at start-up and kept for the whole run.

#include <QDialog>

namespace takton::gui {

class TfmEditStations : public QDialog {
    Q_OBJECT
  public:
    explicit TfmEditStations(QWidget *parent = nullptr);
};

} // namespace takton::gui
