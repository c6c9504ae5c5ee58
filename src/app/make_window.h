#pragma once

// The data-preparation window; its "Start" button has no task yet.

#include <QDialog>

class QPushButton;

namespace takton::gui {

class TfmMake : public QDialog {
    Q_OBJECT
  public:
    explicit TfmMake(QWidget *parent = nullptr);

  private:
    QPushButton *btStart;
};

} // namespace takton::gui
