#pragma once

// The whole network map as a picture (PNG) or a page (PDF, A4 landscape),
// fitted to it whatever the window shows. Written crash-safe; a file that
// cannot be written raises TaktonError.

#include "core/model/network_map.h"

#include <QImage>
#include <QSize>
#include <QString>

namespace takton::gui {

// The size of an exported picture: A4 landscape in proportion.
inline constexpr QSize kMapImageSize(1754, 1240);

QImage RenderMapImage(const TNetworkMap &map, const QSize &size);
void SaveMapPng(const TNetworkMap &map, const QString &path);
void SaveMapPdf(const TNetworkMap &map, const QString &path);

} // namespace takton::gui
