#pragma once

// Fahrplan bearbeiten: created once at start-up and kept for the whole run.

#include <QDialog>

namespace takton::gui {

class TfmEditTimeTable : public QDialog {
    Q_OBJECT
  public:
    explicit TfmEditTimeTable(QWidget *parent = nullptr);
};

} // namespace takton::gui
