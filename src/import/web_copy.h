#pragma once

// Fahrplan Kopier-Bereich: created once at start-up and kept for the whole run.

#include <QDialog>

namespace takton::gui {

class TfmWebCopy : public QDialog {
    Q_OBJECT
  public:
    explicit TfmWebCopy(QWidget *parent = nullptr);
};

} // namespace takton::gui
