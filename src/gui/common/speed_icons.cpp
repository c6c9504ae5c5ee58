#include "gui/common/speed_icons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace takton::gui {

namespace {

const QColor kOutline(60, 60, 60);
const QColor kPaper(250, 250, 250);
const QColor kFolder(226, 176, 70);
const QColor kDisk(52, 101, 164);
const QColor kAccent(204, 0, 0);

// Pictures on a 16 by 16 grid, scaled to the requested size.
void DrawDocument(QPainter &p) {
    QPainterPath sheet;
    sheet.moveTo(3, 1);
    sheet.lineTo(10, 1);
    sheet.lineTo(13, 4);
    sheet.lineTo(13, 15);
    sheet.lineTo(3, 15);
    sheet.closeSubpath();
    p.setPen(QPen(kOutline, 1));
    p.setBrush(kPaper);
    p.drawPath(sheet);
    p.drawLine(QPointF(10, 1), QPointF(10, 4));
    p.drawLine(QPointF(10, 4), QPointF(13, 4));
}

void DrawFolder(QPainter &p) {
    p.setPen(QPen(kOutline, 1));
    p.setBrush(kFolder.darker(115));
    p.drawRect(QRectF(1, 3, 6, 3));
    p.setBrush(kFolder);
    QPainterPath front;
    front.moveTo(1, 5);
    front.lineTo(14, 5);
    front.lineTo(14, 14);
    front.lineTo(1, 14);
    front.closeSubpath();
    p.drawPath(front);
}

void DrawDisk(QPainter &p) {
    p.setPen(QPen(kOutline, 1));
    p.setBrush(kDisk);
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4, 1.5, 8, 5));
    p.setBrush(kDisk.lighter(150));
    p.drawRect(QRectF(4, 9, 8, 5.5));
}

void DrawPencil(QPainter &p) {
    p.setPen(QPen(kAccent, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9, 14), QPointF(15, 8));
}

void DrawTriangle(QPainter &p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(78, 154, 6));
    p.drawPolygon(QPolygonF({QPointF(4, 2), QPointF(14, 8), QPointF(4, 14)}));
}

void DrawMagnifier(QPainter &p) {
    p.setPen(QPen(kOutline, 2));
    p.setBrush(kPaper);
    p.drawEllipse(QRectF(2, 2, 8, 8));
    p.drawLine(QPointF(9, 9), QPointF(14, 14));
}

// A timetable sheet with an orange header on a blue tile, and a clock.
void DrawProgram(QPainter &p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 70, 140));
    p.drawRoundedRect(QRectF(0, 0, 16, 16), 2.5, 2.5);
    p.setBrush(QColor(245, 245, 245));
    p.drawRect(QRectF(3, 3, 10, 10));
    p.setBrush(QColor(230, 160, 30));
    p.drawRect(QRectF(3, 3, 10, 2));
    p.setPen(QPen(QColor(120, 140, 170), 0.4));
    for (double y : {7.0, 9.0, 11.0})
        p.drawLine(QPointF(3, y), QPointF(13, y));
    p.setPen(QPen(QColor(20, 70, 140), 0.5));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(11.5, 11.5), 3, 3);
    p.drawLine(QPointF(11.5, 11.5), QPointF(11.5, 9.3));
    p.drawLine(QPointF(11.5, 11.5), QPointF(13.2, 11.5));
}

class DrawnIconEngine : public QIconEngine {
  public:
    explicit DrawnIconEngine(SpeedIcon kind, bool program = false)
        : kind_(kind), program_(program) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / 16.0, rect.height() / 16.0);
        if (mode == QIcon::Disabled)
            painter->setOpacity(0.4);
        if (program_) {
            DrawProgram(*painter);
            painter->restore();
            return;
        }
        switch (kind_) {
        case SpeedIcon::New:
            DrawDocument(*painter);
            break;
        case SpeedIcon::Open:
            DrawFolder(*painter);
            break;
        case SpeedIcon::Save:
            DrawDisk(*painter);
            break;
        case SpeedIcon::SaveAs:
            DrawDisk(*painter);
            DrawPencil(*painter);
            break;
        case SpeedIcon::Build:
            DrawTriangle(*painter);
            break;
        case SpeedIcon::Preview:
            DrawDocument(*painter);
            DrawMagnifier(*painter);
            break;
        case SpeedIcon::Query:
            DrawMagnifier(*painter);
            break;
        }
        painter->restore();
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QIconEngine *clone() const override { return new DrawnIconEngine(kind_, program_); }

  private:
    SpeedIcon kind_;
    bool program_;
};

} // namespace

QIcon SpeedBarIcon(SpeedIcon kind) {
    return QIcon(new DrawnIconEngine(kind));
}

QIcon ProgramIcon() {
    return QIcon(new DrawnIconEngine(SpeedIcon::New, true));
}

} // namespace takton::gui
