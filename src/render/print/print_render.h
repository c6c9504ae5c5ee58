#pragma once

// Painting the printed documents onto any paged device (PDF writer, printer,
// print preview) and the graphical timetable onto any painter.

#include "core/layout/graph.h"
#include "core/layout/poster.h"
#include "core/layout/print_timetable.h"

#include <QImage>
#include <QPageLayout>
#include <QString>
#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace takton::print {

QPageLayout TimetablePageLayout(); // A4 landscape
QPageLayout PosterPageLayout();    // A4 portrait

// Pages of the timetables, numbered "Seite i von n" over the whole document.
// The device's page layout must be set; false when painting failed.
bool PaintTimetables(QPagedPaintDevice &device, const std::vector<TPrintTimetable> &tables,
                     const QString &validity);
bool PaintPoster(QPagedPaintDevice &device, const TPoster &poster, const QString &validity);

// The graph at the scale, from (0, 0) on.
void PaintGraph(QPainter &painter, const TGraph &graph, const TGraphScale &scale);
// The graph fitted into one page of the device.
bool PaintGraphPage(QPagedPaintDevice &device, const TGraph &graph);
QImage RenderGraphImage(const TGraph &graph, double zoom);
QByteArray RenderGraphSvg(const TGraph &graph, double zoom);

QString FromCp1252Text(const std::string &text);

} // namespace takton::print
