#pragma once

// "Bildfahrplan": the graphical timetable of a line and day group, with zoom
// and scrolling, exported as PNG, SVG or PDF. Reads the project each time the
// choice changes or the window is shown.

#include "core/layout/graph.h"
#include "gui/common/lazy_dialog.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;

namespace takton::gui {

// The graph at its zoom, as large as the graph is; scrolled by its parent.
class TGraphView : public QWidget {
    Q_OBJECT
  public:
    explicit TGraphView(QWidget *parent = nullptr);
    void SetGraph(print::TGraph graph);
    const print::TGraph &Graph() const { return graph_; }
    void SetZoom(double zoom);
    double Zoom() const { return zoom_; }

  protected:
    void paintEvent(QPaintEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

  private:
    void Resize();
    print::TGraph graph_;
    double zoom_ = 1;
};

class TfmGraph : public TLazyDialog {
    Q_OBJECT
  public:
    explicit TfmGraph(QWidget *parent = nullptr);

    // Chooses the line and day group shown next (the editor's timetable).
    void ChooseTimetable(const std::string &line, const std::string &dayGroup);

    void FormShow();
    void LoadGraph();
    void btZoomInClick();
    void btZoomOutClick();
    void btSavePngClick();
    void btSaveSvgClick();
    void btSavePdfClick();

  protected:
    void CreateControls() override;
    void showEvent(QShowEvent *event) override;

  private:
    QComboBox *cbLines = nullptr;
    QComboBox *cbDays = nullptr;
    QPushButton *btZoomIn = nullptr;
    QPushButton *btZoomOut = nullptr;
    QLabel *laZoom = nullptr;
    QScrollArea *ScrollArea = nullptr;
    TGraphView *GraphView = nullptr;
    // What the last export wrote where.
    QLabel *laSaved = nullptr;
    QPushButton *btSavePng = nullptr;
    QPushButton *btSaveSvg = nullptr;
    QPushButton *btSavePdf = nullptr;
    QPushButton *btClose = nullptr;

    void Export(const QString &filter, const QString &suffix);
    void ShowZoom();
    // The zoom at which the whole graph fits the window, at most 100 %.
    void FitToWindow();
    std::string chosenLine_;
    std::string chosenDayGroup_;
    bool filling_ = false;
};

} // namespace takton::gui
