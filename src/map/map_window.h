#pragma once

// Netzkarte: every station with a geo position at its place and every line
// along its route, the stations without a position listed beside the map.
// Reads the project each time it is shown; exports the whole map as PNG or PDF.

#include <QDialog>
#include <QString>

class QLabel;
class QListWidget;
class QPushButton;

namespace takton::gui {

class TMapWidget;

class TfmMap : public QDialog {
    Q_OBJECT
  public:
    explicit TfmMap(QWidget *parent = nullptr);

    void FormShow();
    void btSavePngClick();
    void btSavePdfClick();

    TMapWidget *MapView;
    QLabel *laWithoutPosition;
    QListWidget *lbWithoutPosition;
    QPushButton *btFit;
    QPushButton *btSavePng;
    QPushButton *btSavePdf;
    QPushButton *btClose;

  protected:
    void showEvent(QShowEvent *event) override;

  private:
    QPushButton *AddButton(const QString &caption, const char *name);
    // The file the save dialog proposes: the last one chosen of that kind, or
    // "Netzkarte" in the project folder.
    QString ProposedFile(const QString &last, const char *suffix) const;

    QString lastPng_;
    QString lastPdf_;
};

} // namespace takton::gui
