#include "gui/map/map_widget.h"

#include "render/map/map_painter.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>

namespace takton::gui {
namespace {

// One notch of the wheel (120 eighths of a degree) zooms by a fifth.
constexpr double kZoomPerNotch = 1.2;

} // namespace

TMapWidget::TMapWidget(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MapView"));
    setMinimumSize(320, 240);
    setCursor(Qt::OpenHandCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TMapWidget::SetMap(TNetworkMap map) {
    map_ = std::move(map);
    FitAll();
}

void TMapWidget::FitAll() {
    view_ = FitIntoArea(map_, QRectF(rect()));
    fitted_ = true;
    update();
}

void TMapWidget::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    PaintNetworkMap(painter, QRectF(rect()), map_, view_);
}

void TMapWidget::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    if (fitted_)
        FitAll();
}

void TMapWidget::wheelEvent(QWheelEvent *event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0)
        return;
    const QPointF mouse = event->position();
    view_ = ZoomAround(view_, {mouse.x(), mouse.y()}, std::pow(kZoomPerNotch, notches));
    fitted_ = false;
    event->accept();
    update();
}

void TMapWidget::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton)
        return;
    dragging_ = true;
    dragFrom_ = event->position().toPoint();
    setCursor(Qt::ClosedHandCursor);
}

void TMapWidget::mouseMoveEvent(QMouseEvent *event) {
    if (!dragging_)
        return;
    const QPoint to = event->position().toPoint();
    view_ = Panned(view_, to.x() - dragFrom_.x(), to.y() - dragFrom_.y());
    dragFrom_ = to;
    fitted_ = false;
    update();
}

void TMapWidget::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton)
        return;
    dragging_ = false;
    setCursor(Qt::OpenHandCursor);
}

} // namespace takton::gui
