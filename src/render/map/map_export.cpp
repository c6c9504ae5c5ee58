#include "render/map/map_export.h"

#include "core/files/file_io.h"
#include "core/util/error.h"
#include "render/map/map_painter.h"
#include "render/qt_text.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace takton::gui {
namespace {

constexpr int kPdfResolution = 300;
// The map's own sizes are meant for a screen of this resolution.
constexpr double kScreenResolution = 96;

[[noreturn]] void CannotWrite(const QString &path) {
    throw TaktonError("In " + PathForMessage(ToNativePath(path)) +
                      " kann nicht geschrieben werden");
}

void Commit(QSaveFile &file, bool written, const QString &path) {
    if (!written || !file.commit())
        CannotWrite(path);
}

} // namespace

QImage RenderMapImage(const TNetworkMap &map, const QSize &size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    const QRectF area(QPointF(0, 0), QSizeF(size));
    PaintNetworkMap(painter, area, map, FitIntoArea(map, area));
    return image;
}

void SaveMapPng(const TNetworkMap &map, const QString &path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        CannotWrite(path);
    const bool written = RenderMapImage(map, kMapImageSize).save(&file, "PNG");
    Commit(file, written, path);
}

void SaveMapPdf(const TNetworkMap &map, const QString &path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        CannotWrite(path);
    bool written = false;
    {
        QPdfWriter writer(&file);
        writer.setTitle(QStringLiteral("Netzkarte"));
        writer.setCreator(QStringLiteral("Takton"));
        writer.setResolution(kPdfResolution);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                         QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        QPainter painter;
        if (painter.begin(&writer)) {
            const double scale = kPdfResolution / kScreenResolution;
            painter.scale(scale, scale);
            const QRectF area(0, 0, writer.width() / scale, writer.height() / scale);
            PaintNetworkMap(painter, area, map, FitIntoArea(map, area));
            written = painter.end();
        }
    }
    Commit(file, written, path);
}

} // namespace takton::gui
