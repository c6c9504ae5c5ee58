#pragma once

// The map on screen: the wheel zooms around the mouse, dragging pans. Until
// the planner zooms or pans, the map follows the widget's size.

#include "core/model/network_map.h"

#include <QPoint>
#include <QWidget>

namespace takton::gui {

class TMapWidget : public QWidget {
    Q_OBJECT
  public:
    explicit TMapWidget(QWidget *parent = nullptr);

    void SetMap(TNetworkMap map);
    const TNetworkMap &Map() const { return map_; }
    // Shows the whole map again.
    void FitAll();
    const TMapView &View() const { return view_; }

  protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

  private:
    TNetworkMap map_;
    TMapView view_;
    bool fitted_ = true;
    bool dragging_ = false;
    QPoint dragFrom_;
};

} // namespace takton::gui
