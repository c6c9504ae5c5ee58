#pragma once

// Draws a network map: white ground, the lines as coloured polylines, the
// station names where there is room, the stations as dots and a legend of the
// lines. The screen, the picture and the PDF share it. Sizes are in pixels of
// a 96 dpi screen; a painter on a finer device is scaled beforehand.

#include "core/model/network_map.h"

#include <QColor>
#include <QRectF>
#include <QSizeF>

class QPainter;

namespace takton::gui {

// The fill of a station dot.
inline const QColor kStationDotColour = QColor(0x20, 0x20, 0x20);
// Space left free around the stations when the map is fitted.
inline constexpr double kMapMargin = 24;

// The part of the area the stations are fitted into: all of it but the
// legend's column on the right.
TMapRect MapArea(const TNetworkMap &map, const QRectF &area);
// The view that shows the whole map in the area.
TMapView FitIntoArea(const TNetworkMap &map, const QRectF &area);

void PaintNetworkMap(QPainter &painter, const QRectF &area, const TNetworkMap &map,
                     const TMapView &view);

} // namespace takton::gui
