#pragma once

// Linien bearbeiten: created once at start-up and kept for the whole run.

#include <QDialog>

namespace takton::gui {

class TfmEditLines : public QDialog {
    Q_OBJECT
  public:
    explicit TfmEditLines(QWidget *parent = nullptr);
};

} // namespace takton::gui
