#include "render/map/map_painter.h"

#include "render/qt_text.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace takton::gui {
namespace {

constexpr double kDotRadius = 4.5;
constexpr double kLineWidth = 4;
constexpr int kLabelPixels = 11;
constexpr int kLegendPixels = 12;
constexpr double kLegendPadding = 10;
constexpr double kLegendSwatch = 26;
constexpr double kLegendRowGap = 6;

QFont PixelFont(int pixels, bool bold = false) {
    QFont font = QGuiApplication::font();
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QString LegendTitle() {
    return QStringLiteral("Linien");
}

double LegendRowHeight() {
    return QFontMetricsF(PixelFont(kLegendPixels)).height() + kLegendRowGap;
}

QSizeF LegendSize(const TNetworkMap &map) {
    if (map.Lines.empty())
        return {};
    const QFontMetricsF metrics(PixelFont(kLegendPixels));
    double width = QFontMetricsF(PixelFont(kLegendPixels, true)).horizontalAdvance(LegendTitle());
    for (const TMapLine &line : map.Lines)
        width =
            std::max(width, kLegendSwatch + 8 + metrics.horizontalAdvance(FromCp1252(line.Name)));
    const double rows = static_cast<double>(map.Lines.size() + 1);
    return {width + 2 * kLegendPadding, rows * LegendRowHeight() + 2 * kLegendPadding};
}

QRectF LegendRect(const TNetworkMap &map, const QRectF &area) {
    const QSizeF size = LegendSize(map);
    return {area.right() - size.width() - 8, area.top() + 8, size.width(), size.height()};
}

QPointF Pixel(const TMapView &view, const TGeoPosition &position) {
    const TMapPoint point = view.ToPixel(position);
    return {point.X, point.Y};
}

// Lines that share a stretch run side by side through it, as the map's
// geometry places them.
void PaintLines(QPainter &painter, const TNetworkMap &map, const TMapView &view) {
    const std::vector<std::vector<double>> offsets = StretchOffsets(map);
    for (std::size_t i = 0; i < map.Lines.size(); ++i) {
        const TMapLine &line = map.Lines[i];
        painter.setPen(QPen(QColor::fromRgb(line.Colour), kLineWidth, Qt::SolidLine, Qt::RoundCap,
                            Qt::RoundJoin));
        for (std::size_t k = 1; k < line.Points.size(); ++k) {
            const QPointF from = Pixel(view, line.Points[k - 1]);
            const QPointF to = Pixel(view, line.Points[k]);
            const QPointF along = to - from;
            const double length = std::hypot(along.x(), along.y());
            QPointF shift;
            if (length > 0)
                shift = QPointF(-along.y(), along.x()) * (offsets[i][k - 1] * kLineWidth / length);
            painter.drawLine(from + shift, to + shift);
        }
    }
}

bool CrossesALine(const QRectF &rect, const TNetworkMap &map, const TMapView &view) {
    const QRectF wide = rect.adjusted(-1, -1, 1, 1);
    const QLineF edges[] = {{wide.topLeft(), wide.topRight()},
                            {wide.topRight(), wide.bottomRight()},
                            {wide.bottomRight(), wide.bottomLeft()},
                            {wide.bottomLeft(), wide.topLeft()}};
    for (const TMapLine &line : map.Lines) {
        for (std::size_t k = 1; k < line.Points.size(); ++k) {
            const QLineF segment(Pixel(view, line.Points[k - 1]), Pixel(view, line.Points[k]));
            if (wide.contains(segment.p1()) || wide.contains(segment.p2()))
                return true;
            for (const QLineF &edge : edges)
                if (segment.intersects(edge, nullptr) == QLineF::BoundedIntersection)
                    return true;
        }
    }
    return false;
}

QRectF DotRect(const QPointF &centre) {
    const double r = kDotRadius + 1;
    return {centre.x() - r, centre.y() - r, 2 * r, 2 * r};
}

// A name on a white halo, so that it stays legible where it crosses a line.
// The name itself is drawn as text, so that a PDF of the map can be searched.
void PaintLabel(QPainter &painter, const QRectF &rect, const QString &name) {
    QPainterPath path;
    const QFontMetricsF metrics(painter.font());
    const QPointF baseline(rect.left(),
                           rect.top() + metrics.ascent() + (rect.height() - metrics.height()) / 2);
    path.addText(baseline, painter.font(), name);
    painter.strokePath(
        path, QPen(QColor(255, 255, 255, 220), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setPen(QColor(0x30, 0x30, 0x30));
    painter.drawText(baseline, name);
}

// A name goes right of its dot, else left, above or below, where possible
// clear of the lines; where every place would cover a dot, another name, the
// legend or the edge, it is left out.
void PaintLabels(QPainter &painter, const QRectF &area, const TNetworkMap &map,
                 const TMapView &view, const QRectF &legend) {
    const QFont font = PixelFont(kLabelPixels);
    const QFontMetricsF metrics(font);
    std::vector<QRectF> taken;
    std::vector<QPointF> centres;
    for (const TMapStation &station : map.Stations) {
        centres.push_back(Pixel(view, station.Position));
        taken.push_back(DotRect(centres.back()));
    }
    taken.push_back(legend);
    painter.setFont(font);
    for (std::size_t i = 0; i < map.Stations.size(); ++i) {
        const QPointF c = centres[i];
        if (!area.contains(c))
            continue;
        const QString name = FromCp1252(map.Stations[i].Name);
        const QSizeF size(metrics.horizontalAdvance(name), metrics.height());
        const double gap = kDotRadius + 4;
        const QPointF corners[] = {
            {c.x() + gap, c.y() - size.height() / 2},
            {c.x() - gap - size.width(), c.y() - size.height() / 2},
            {c.x() - size.width() / 2, c.y() - gap - size.height()},
            {c.x() - size.width() / 2, c.y() + gap},
        };
        // First a place clear of the lines too; else one that only crosses them.
        std::optional<QRectF> place;
        for (const bool avoidLines : {true, false}) {
            for (const QPointF &corner : corners) {
                const QRectF rect(corner, size);
                const bool free =
                    area.contains(rect) &&
                    std::none_of(taken.begin(), taken.end(),
                                 [&](const QRectF &other) { return other.intersects(rect); }) &&
                    !(avoidLines && CrossesALine(rect, map, view));
                if (free) {
                    place = rect;
                    break;
                }
            }
            if (place)
                break;
        }
        if (!place)
            continue;
        PaintLabel(painter, *place, name);
        taken.push_back(*place);
    }
}

void PaintStations(QPainter &painter, const TNetworkMap &map, const TMapView &view) {
    painter.setPen(QPen(Qt::white, 1.5));
    painter.setBrush(kStationDotColour);
    for (const TMapStation &station : map.Stations)
        painter.drawEllipse(Pixel(view, station.Position), kDotRadius, kDotRadius);
}

void PaintLegend(QPainter &painter, const TNetworkMap &map, const QRectF &rect) {
    if (map.Lines.empty())
        return;
    painter.setPen(QPen(QColor(0xB0, 0xB0, 0xB0), 1));
    painter.setBrush(QColor(255, 255, 255, 235));
    painter.drawRect(rect);
    const double row = LegendRowHeight();
    double y = rect.top() + kLegendPadding;
    const double x = rect.left() + kLegendPadding;
    painter.setPen(QColor(0x20, 0x20, 0x20));
    painter.setFont(PixelFont(kLegendPixels, true));
    painter.drawText(QRectF(x, y, rect.width(), row), Qt::AlignLeft | Qt::AlignVCenter,
                     LegendTitle());
    painter.setFont(PixelFont(kLegendPixels));
    for (const TMapLine &line : map.Lines) {
        y += row;
        const double middle = y + row / 2;
        painter.setPen(QPen(QColor::fromRgb(line.Colour), kLineWidth, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(x + 2, middle), QPointF(x + kLegendSwatch - 2, middle));
        painter.setPen(QColor(0x20, 0x20, 0x20));
        painter.drawText(QRectF(x + kLegendSwatch + 8, y, rect.width(), row),
                         Qt::AlignLeft | Qt::AlignVCenter, FromCp1252(line.Name));
    }
}

} // namespace

TMapRect MapArea(const TNetworkMap &map, const QRectF &area) {
    const double legend = map.Lines.empty() ? 0 : LegendSize(map).width() + 8;
    return {area.left(), area.top(), std::max(area.width() - legend, 1.0), area.height()};
}

TMapView FitIntoArea(const TNetworkMap &map, const QRectF &area) {
    return FitMap(map.Positions(), MapArea(map, area), kMapMargin);
}

void PaintNetworkMap(QPainter &painter, const QRectF &area, const TNetworkMap &map,
                     const TMapView &view) {
    painter.save();
    painter.setClipRect(area);
    painter.fillRect(area, Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QRectF legend = LegendRect(map, area);
    PaintLines(painter, map, view);
    PaintLabels(painter, area, map, view, legend);
    PaintStations(painter, map, view);
    PaintLegend(painter, map, legend);
    painter.restore();
}

} // namespace takton::gui
