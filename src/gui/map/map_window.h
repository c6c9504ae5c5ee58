#pragma once

// Netzkarte: every station with a geo position at its place and every line
// along its route, the stations without a position listed beside the map.
// Reads the project each time it is shown; exports the whole map as PNG or PDF.

#include "gui/common/lazy_dialog.h"

#include <QDialog>
#include <QString>

class QLabel;
class QListWidget;
class QPushButton;

namespace takton::gui {

class TMapWidget;

class TfmMap : public TLazyDialog {
    Q_OBJECT
  public:
    explicit TfmMap(QWidget *parent = nullptr);

    void FormShow();
    void btSavePngClick();
    void btSavePdfClick();

  protected:
    void CreateControls() override;
    void showEvent(QShowEvent *event) override;

  private:
    TMapWidget *MapView = nullptr;
    QLabel *laWithoutPosition = nullptr;
    QListWidget *lbWithoutPosition = nullptr;
    QPushButton *btFit = nullptr;
    // What the last export wrote where.
    QLabel *laSaved = nullptr;
    QPushButton *btSavePng = nullptr;
    QPushButton *btSavePdf = nullptr;
    QPushButton *btClose = nullptr;

    QPushButton *AddButton(const QString &caption, const char *name);
    // The file the save dialog proposes: the last one chosen of that kind, or
    // "Netzkarte" in the project folder.
    QString ProposedFile(const QString &last, const char *suffix) const;

    QString lastPng_;
    QString lastPdf_;
};

} // namespace takton::gui
