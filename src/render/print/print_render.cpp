#include "render/print/print_render.h"

#include "core/layout/page_layout.h"
#include "core/model/master_data.h"
#include "core/util/cp1252.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>

namespace takton::print {
namespace {

const QString kFontFamily = QStringLiteral("DejaVu Sans");
const QColor kRuleColor(170, 170, 170);
const QColor kShadeColor(232, 232, 232);
const QColor kDirectionColors[] = {QColor(31, 95, 191), QColor(192, 57, 43)};

QFont MakeFont(double points, bool bold = false) {
    QFont font(kFontFamily);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QString PageNumberText(int page, int pages) {
    return QStringLiteral("Seite %1 von %2").arg(page).arg(pages);
}

// Sizes of one document on one device, in device units.
struct TPageFrame {
    QRectF Area;
    double Unit = 1; // device units per point

    explicit TPageFrame(QPagedPaintDevice &device)
        : Area(0, 0, device.width(), device.height()), Unit(device.logicalDpiY() / 72.0) {}
    double Pt(double points) const { return points * Unit; }
};

void DrawFooter(QPainter &painter, const TPageFrame &frame, int page, int pages) {
    painter.setFont(MakeFont(8));
    const double height = painter.fontMetrics().height();
    const QRectF line(frame.Area.left(), frame.Area.bottom() - height, frame.Area.width(), height);
    painter.drawText(line, Qt::AlignHCenter | Qt::AlignVCenter, PageNumberText(page, pages));
}

// One line per mark from at on: the mark in bold, its meaning beside it.
void PaintLegend(QPainter &painter, const std::vector<TLegendLine> &lines, const QPointF &at,
                 double lineHeight, double points) {
    if (lines.empty())
        return;
    const QFont bold = MakeFont(points, true);
    const QFontMetricsF metrics(bold, painter.device());
    double markWidth = 0;
    for (const auto &line : lines)
        markWidth = std::max(markWidth, metrics.horizontalAdvance(FromCp1252Text(line.Mark)));
    markWidth += metrics.horizontalAdvance(QStringLiteral("  "));
    double y = at.y();
    for (const auto &line : lines) {
        painter.setFont(bold);
        painter.drawText(QRectF(at.x(), y, markWidth, lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         FromCp1252Text(line.Mark));
        painter.setFont(MakeFont(points));
        painter.drawText(QRectF(at.x() + markWidth, y, 10000, lineHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, FromCp1252Text(line.Text));
        y += lineHeight;
    }
}

// --- the timetable table -------------------------------------------------

struct TTableMetrics {
    double RowHeight = 0;
    double HeadHeight = 0;   // title and subtitle
    double TableHead = 0;    // the column head row
    double MarkRow = 0;      // the journeys' marks below it; 0 when none carries one
    double LegendHeight = 0; // room below the table for the whole legend
    double LegendLine = 0;
    double FooterHeight = 0;
    double StationWidth = 0;
    double RoleWidth = 0;
    double TimeWidth = 0; // of "00:00"; every time is as wide in this font
    double Baseline = 0;  // of a text in its row
    std::vector<double> ColumnWidths;
};

// "HH:MM": drawn without measuring it again.
bool IsTimeText(const std::string &text) {
    return text.size() == 5 && text[2] == ':';
}

QString TitleText(const TPrintTimetable &table) {
    return QStringLiteral("Linie %1 \u00B7 Richtung %2: %3 \u2192 %4")
        .arg(FromCp1252Text(table.Line))
        .arg(table.Direction)
        .arg(FromCp1252Text(table.FirstStation()), FromCp1252Text(table.LastStation()));
}

QString SubtitleText(const TPrintTimetable &table, const QString &validity) {
    QString text = FromCp1252Text(table.DayGroupText);
    if (!validity.isEmpty())
        text += QStringLiteral(" \u00B7 ") + validity;
    return text;
}

TTableMetrics MeasureTable(const TPrintTimetable &table, const TPageFrame &frame,
                           QPagedPaintDevice &device) {
    TTableMetrics m;
    const QFontMetricsF body(MakeFont(8), &device);
    const QFontMetricsF title(MakeFont(12, true), &device);
    const QFontMetricsF small(MakeFont(8), &device);
    const double pad = frame.Pt(6);
    m.RowHeight = body.height() * 1.3;
    m.HeadHeight = title.height() + small.height() * 1.6;
    m.TableHead = m.RowHeight * 1.2;
    m.FooterHeight = small.height() * 1.8;
    if (std::any_of(table.Columns.begin(), table.Columns.end(),
                    [&](const TPrintColumn &c) { return !ColumnMarkText(table, c).empty(); }))
        m.MarkRow = m.RowHeight;
    m.LegendLine = small.height() * 1.2;
    if (!table.Legend.empty())
        m.LegendHeight = m.LegendLine * (static_cast<double>(table.Legend.size()) + 0.5);
    double names = body.horizontalAdvance(QStringLiteral("Station"));
    for (const auto &row : table.Rows)
        names = std::max(names, body.horizontalAdvance(FromCp1252Text(row.Station)));
    m.StationWidth = std::min(names + pad, frame.Area.width() * 0.3);
    m.RoleWidth = body.horizontalAdvance(QStringLiteral("an")) + pad;
    m.TimeWidth = body.horizontalAdvance(QStringLiteral("00:00"));
    const double time = m.TimeWidth + pad;
    for (const auto &column : table.Columns) {
        double width = time;
        if (column.IsInterval())
            width =
                body.horizontalAdvance(FromCp1252Text(IntervalText(column.IntervalMinutes))) + pad;
        else
            for (const auto &cell : column.Cells)
                if (!IsTimeText(cell))
                    width = std::max(width, body.horizontalAdvance(FromCp1252Text(cell)) + pad);
        if (const std::string mark = ColumnMarkText(table, column); !mark.empty())
            width = std::max(width, body.horizontalAdvance(FromCp1252Text(mark)) + pad);
        m.ColumnWidths.push_back(width);
    }
    m.Baseline = (m.RowHeight + body.ascent() - body.descent()) / 2;
    return m;
}

struct TTableSheet {
    const TPrintTimetable *Table = nullptr;
    TTableMetrics Metrics;
    TTablePage Page;
};

void PaintTableSheet(QPainter &painter, const TPageFrame &frame, const TTableSheet &sheet,
                     const QString &validity) {
    const TPrintTimetable &table = *sheet.Table;
    const TTableMetrics &m = sheet.Metrics;
    const double pad = frame.Pt(3);
    double y = frame.Area.top();
    painter.setPen(Qt::black);
    painter.setFont(MakeFont(12, true));
    const double titleHeight = painter.fontMetrics().height();
    painter.drawText(QRectF(frame.Area.left(), y, frame.Area.width(), titleHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, TitleText(table));
    y += titleHeight;
    painter.setFont(MakeFont(8));
    painter.drawText(QRectF(frame.Area.left(), y, frame.Area.width(), m.HeadHeight - titleHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, SubtitleText(table, validity));
    y = frame.Area.top() + m.HeadHeight;

    // Column x positions on this page.
    const double left = frame.Area.left();
    const double firstX = left + m.StationWidth + m.RoleWidth;
    std::vector<double> xs;
    double x = firstX;
    for (int c = 0; c < sheet.Page.ColCount; ++c) {
        xs.push_back(x);
        x += m.ColumnWidths[static_cast<std::size_t>(sheet.Page.FirstCol + c)];
    }
    const double right = x;
    // The head row: journey numbers, interval texts.
    painter.setFont(MakeFont(8, true));
    painter.fillRect(QRectF(left, y, right - left, m.TableHead), kShadeColor);
    painter.drawText(QRectF(left + pad, y, m.StationWidth - pad, m.TableHead),
                     Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Station"));
    int number = 0;
    for (int c = 0; c < sheet.Page.FirstCol; ++c)
        number += table.Columns[static_cast<std::size_t>(c)].IsInterval() ? 0 : 1;
    for (int c = 0; c < sheet.Page.ColCount; ++c) {
        const auto ci = static_cast<std::size_t>(sheet.Page.FirstCol + c);
        const TPrintColumn &column = table.Columns[ci];
        const QString head = column.IsInterval()
                                 ? FromCp1252Text(IntervalText(column.IntervalMinutes))
                                 : QString::number(++number);
        painter.setFont(MakeFont(8, !column.IsInterval()));
        painter.drawText(
            QRectF(xs[static_cast<std::size_t>(c)], y, m.ColumnWidths[ci], m.TableHead),
            Qt::AlignCenter, head);
    }
    y += m.TableHead;
    painter.setFont(MakeFont(8));
    if (m.MarkRow > 0) {
        for (int c = 0; c < sheet.Page.ColCount; ++c) {
            const auto ci = static_cast<std::size_t>(sheet.Page.FirstCol + c);
            painter.drawText(
                QRectF(xs[static_cast<std::size_t>(c)], y, m.ColumnWidths[ci], m.MarkRow),
                Qt::AlignCenter, FromCp1252Text(ColumnMarkText(table, table.Columns[ci])));
        }
        y += m.MarkRow;
    }
    for (int r = 0; r < sheet.Page.RowCount; ++r) {
        const auto ri = static_cast<std::size_t>(sheet.Page.FirstRow + r);
        const TPrintRow &row = table.Rows[ri];
        if (r % 2 == 1)
            painter.fillRect(QRectF(left, y, right - left, m.RowHeight), QColor(246, 246, 246));
        const QString name = painter.fontMetrics().elidedText(
            FromCp1252Text(row.Station), Qt::ElideRight, static_cast<int>(m.StationWidth - pad));
        // The second row of a pair repeats no name: "ab" says it all.
        if (row.Role != "ab" || r == 0)
            painter.drawText(QRectF(left + pad, y, m.StationWidth - pad, m.RowHeight),
                             Qt::AlignLeft | Qt::AlignVCenter, name);
        painter.drawText(QRectF(left + m.StationWidth, y, m.RoleWidth, m.RowHeight),
                         Qt::AlignCenter, FromCp1252Text(row.Role));
        for (int c = 0; c < sheet.Page.ColCount; ++c) {
            const auto ci = static_cast<std::size_t>(sheet.Page.FirstCol + c);
            const TPrintColumn &column = table.Columns[ci];
            if (column.IsInterval())
                continue; // the head names the interval
            const std::string &cell = column.Cells[ri];
            if (cell.empty())
                continue;
            const QRectF box(xs[static_cast<std::size_t>(c)], y, m.ColumnWidths[ci], m.RowHeight);
            if (IsTimeText(cell))
                painter.drawText(QPointF(box.center().x() - m.TimeWidth / 2, y + m.Baseline),
                                 QString::fromLatin1(cell.data(), 5));
            else
                painter.drawText(box, Qt::AlignCenter, FromCp1252Text(cell));
        }
        y += m.RowHeight;
    }
    painter.setPen(QPen(kRuleColor, 0));
    const double top = frame.Area.top() + m.HeadHeight;
    painter.drawRect(QRectF(left, top, right - left, y - top));
    painter.drawLine(QLineF(firstX, top, firstX, y));
    for (double column : xs)
        painter.drawLine(QLineF(column, top, column, y));
    painter.setPen(Qt::black);
    // What the marks of this page's journeys mean.
    const auto legend = LegendOfColumns(table, sheet.Page.FirstCol, sheet.Page.ColCount);
    y += m.LegendLine * 0.5;
    PaintLegend(painter, legend, QPointF(left + pad, y), m.LegendLine, 8);
}

// --- the poster -----------------------------------------------------------

struct TPosterMetrics {
    double LineHeight = 0;
    double TitleHeight = 0;
    double FooterHeight = 0;
    double HourWidth = 0;
    double GroupWidth = 0;
    double LegendHeight = 0; // room above the footer for the whole legend
    int MinutesPerLine = 1;
    int LinesPerPage = 1;
};

TPosterMetrics MeasurePoster(const TPoster &poster, const TPageFrame &frame,
                             QPagedPaintDevice &device) {
    TPosterMetrics m;
    const QFontMetricsF body(MakeFont(9), &device);
    const QFontMetricsF title(MakeFont(14, true), &device);
    m.LineHeight = body.height() * 1.25;
    m.TitleHeight = title.height() + body.height() * 1.8;
    m.FooterHeight = body.height() * 1.8;
    m.HourWidth = body.horizontalAdvance(QStringLiteral("Uhr")) + frame.Pt(12);
    const double groups =
        static_cast<double>(std::max<std::size_t>(1, poster.DayGroupTexts.size()));
    m.GroupWidth = (frame.Area.width() - m.HourWidth) / groups;
    // As many minutes to a line as the widest of them allows.
    double minuteWidth = body.horizontalAdvance(QStringLiteral("00"));
    if (!poster.Legend.empty())
        for (const auto &block : poster.Blocks)
            for (const auto &hour : block.Hours)
                for (std::size_t g = 0; g < hour.Minutes.size(); ++g)
                    for (std::size_t i = 0; i < hour.Minutes[g].size(); ++i)
                        if (!(hour.MarkOf(g, i) == TMinuteMark{}))
                            minuteWidth =
                                std::max(minuteWidth, body.horizontalAdvance(FromCp1252Text(
                                                          MinuteText(poster, hour, g, i))));
    minuteWidth += body.horizontalAdvance(QStringLiteral(" "));
    m.MinutesPerLine = std::max(1, static_cast<int>((m.GroupWidth - frame.Pt(8)) / minuteWidth));
    if (!poster.Legend.empty())
        m.LegendHeight = m.LineHeight * (static_cast<double>(poster.Legend.size()) + 0.5);
    m.LinesPerPage = std::max(
        kPosterHeadLines + 1,
        static_cast<int>((frame.Area.height() - m.TitleHeight - m.LegendHeight - m.FooterHeight) /
                         m.LineHeight));
    return m;
}

QString MinutesText(const TPoster &poster, const TPosterHour &hour, std::size_t group,
                    std::size_t from, std::size_t count) {
    QStringList parts;
    for (std::size_t i = from; i < std::min(hour.Minutes[group].size(), from + count); ++i)
        parts << FromCp1252Text(MinuteText(poster, hour, group, i));
    return parts.join(QLatin1Char(' '));
}

void PaintPosterPage(QPainter &painter, const TPageFrame &frame, const TPoster &poster,
                     const TPosterMetrics &m, const TPosterPage &page, const QString &validity) {
    const double left = frame.Area.left();
    const double width = frame.Area.width();
    const double pad = frame.Pt(4);
    double y = frame.Area.top();
    painter.setPen(Qt::black);
    painter.setFont(MakeFont(14, true));
    const double titleHeight = painter.fontMetrics().height();
    painter.drawText(QRectF(left, y, width, titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Abfahrten an %1").arg(FromCp1252Text(poster.Station)));
    painter.setFont(MakeFont(9));
    painter.drawText(QRectF(left, y + titleHeight, width, m.TitleHeight - titleHeight),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     validity.isEmpty() ? QStringLiteral("Aushangfahrplan")
                                        : QStringLiteral("Aushangfahrplan \u00B7 ") + validity);
    y += m.TitleHeight;
    for (const auto &piece : page) {
        const TPosterBlock &block = poster.Blocks[static_cast<std::size_t>(piece.Block)];
        painter.fillRect(QRectF(left, y, width, m.LineHeight), QColor(40, 40, 40));
        painter.setPen(Qt::white);
        painter.setFont(MakeFont(10, true));
        QString head = QStringLiteral("Linie %1 \u2192 %2")
                           .arg(FromCp1252Text(block.Line), FromCp1252Text(block.Destination));
        if (piece.FirstHour > 0)
            head += QStringLiteral(" (Fortsetzung)");
        painter.drawText(QRectF(left + pad, y, width - pad, m.LineHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, head);
        y += m.LineHeight;
        painter.setPen(Qt::black);
        painter.setFont(MakeFont(9, true));
        painter.fillRect(QRectF(left, y, width, m.LineHeight), kShadeColor);
        painter.drawText(QRectF(left, y, m.HourWidth, m.LineHeight), Qt::AlignCenter,
                         QStringLiteral("Uhr"));
        for (std::size_t g = 0; g < poster.DayGroupTexts.size(); ++g)
            painter.drawText(
                QRectF(left + m.HourWidth + static_cast<double>(g) * m.GroupWidth + pad, y,
                       m.GroupWidth - pad, m.LineHeight),
                Qt::AlignLeft | Qt::AlignVCenter, FromCp1252Text(poster.DayGroupTexts[g]));
        y += m.LineHeight;
        const double top = y;
        for (int h = piece.FirstHour; h < piece.FirstHour + piece.HourCount; ++h) {
            const TPosterHour &hour = block.Hours[static_cast<std::size_t>(h)];
            const int lines = HourLines(hour, m.MinutesPerLine);
            painter.setFont(MakeFont(9, true));
            painter.drawText(QRectF(left, y, m.HourWidth, m.LineHeight), Qt::AlignCenter,
                             QStringLiteral("%1").arg(hour.Hour, 2, 10, QLatin1Char('0')));
            painter.setFont(MakeFont(9));
            for (std::size_t g = 0; g < hour.Minutes.size(); ++g)
                for (int l = 0; l < lines; ++l) {
                    const auto per = static_cast<std::size_t>(m.MinutesPerLine);
                    const QString text =
                        MinutesText(poster, hour, g, static_cast<std::size_t>(l) * per, per);
                    if (text.isEmpty())
                        continue;
                    painter.drawText(
                        QRectF(left + m.HourWidth + static_cast<double>(g) * m.GroupWidth + pad,
                               y + l * m.LineHeight, m.GroupWidth - pad, m.LineHeight),
                        Qt::AlignLeft | Qt::AlignVCenter, text);
                }
            y += lines * m.LineHeight;
            painter.setPen(QPen(kRuleColor, 0));
            painter.drawLine(QLineF(left, y, left + width, y));
            painter.setPen(Qt::black);
        }
        painter.setPen(QPen(kRuleColor, 0));
        for (std::size_t g = 0; g < poster.DayGroupTexts.size(); ++g) {
            const double x = left + m.HourWidth + static_cast<double>(g) * m.GroupWidth;
            painter.drawLine(QLineF(x, top, x, y));
        }
        painter.setPen(Qt::black);
        y += m.LineHeight; // the gap
    }
    PaintLegend(painter, PosterPageLegend(poster, page),
                QPointF(left + pad,
                        frame.Area.bottom() - m.FooterHeight - m.LegendHeight + m.LineHeight * 0.5),
                m.LineHeight, 9);
}

// Which colour is which direction: "Richtung 1: Hauptbahnhof → Südfriedhof".
void PaintGraphLegend(QPainter &painter, const TGraph &graph, const QPointF &at) {
    if (graph.Stations.empty())
        return;
    constexpr double kRow = 16;
    constexpr double kSwatch = 24;
    for (int direction = 1; direction <= 2; ++direction) {
        const double y = at.y() + (direction - 1) * kRow;
        painter.fillRect(QRectF(at.x(), y + kRow / 2 - 1.5, kSwatch, 3),
                         kDirectionColors[direction - 1]);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(at.x() + kSwatch + 6, y, 600, kRow),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("Richtung %1: %2 \u2192 %3")
                             .arg(direction)
                             .arg(FromCp1252Text(DirectionTerminus(graph.Stations, 3 - direction)),
                                  FromCp1252Text(DirectionTerminus(graph.Stations, direction))));
    }
}

} // namespace

QString FromCp1252Text(const std::string &text) {
    return QString::fromStdU16String(Cp1252ToUtf16(text));
}

QPageLayout TimetablePageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(12, 12, 12, 12),
                       QPageLayout::Millimeter);
}

QPageLayout PosterPageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                       QPageLayout::Millimeter);
}

bool PaintTimetables(QPagedPaintDevice &device, const std::vector<TPrintTimetable> &tables,
                     const QString &validity) {
    const TPageFrame frame(device);
    std::vector<TTableSheet> sheets;
    for (const auto &table : tables) {
        TTableMetrics metrics = MeasureTable(table, frame, device);
        const double available = frame.Area.width() - metrics.StationWidth - metrics.RoleWidth;
        const int rowsPerPage =
            static_cast<int>((frame.Area.height() - metrics.HeadHeight - metrics.TableHead -
                              metrics.MarkRow - metrics.LegendHeight - metrics.FooterHeight) /
                             metrics.RowHeight);
        for (const auto &page : LayoutTablePages(static_cast<int>(table.Rows.size()),
                                                 metrics.ColumnWidths, available, rowsPerPage))
            sheets.push_back({&table, metrics, page});
    }
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const int pages = static_cast<int>(sheets.size());
    for (int p = 0; p < pages; ++p) {
        if (p > 0)
            device.newPage();
        PaintTableSheet(painter, frame, sheets[static_cast<std::size_t>(p)], validity);
        DrawFooter(painter, frame, p + 1, pages);
    }
    return painter.end();
}

bool PaintPoster(QPagedPaintDevice &device, const TPoster &poster, const QString &validity) {
    const TPageFrame frame(device);
    const TPosterMetrics metrics = MeasurePoster(poster, frame, device);
    const auto pages = LayoutPosterPages(poster, metrics.MinutesPerLine, metrics.LinesPerPage);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const int count = static_cast<int>(pages.size());
    for (int p = 0; p < count; ++p) {
        if (p > 0)
            device.newPage();
        PaintPosterPage(painter, frame, poster, metrics, pages[static_cast<std::size_t>(p)],
                        validity);
        if (poster.Blocks.empty() && p == 0) {
            painter.setFont(MakeFont(10));
            painter.drawText(frame.Area, Qt::AlignCenter,
                             QStringLiteral("Keine Abfahrten an dieser Station."));
        }
        DrawFooter(painter, frame, p + 1, count);
    }
    return painter.end();
}

void PaintGraph(QPainter &painter, const TGraph &graph, const TGraphScale &scale) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF all(0, 0, scale.Width(graph), scale.Height(graph));
    painter.fillRect(all, Qt::white);
    QFont font(kFontFamily);
    font.setPixelSize(11);
    QFont bold = font;
    bold.setBold(true);
    bold.setPixelSize(14);
    painter.setFont(bold);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(8, 18),
                     QStringLiteral("Bildfahrplan Linie %1 \u00B7 %2")
                         .arg(FromCp1252Text(graph.Line), FromCp1252Text(graph.DayGroupText)));
    painter.setFont(font);
    const double top = scale.Y(graph, 0);
    const double bottom = scale.Y(graph, static_cast<int>(graph.Stations.size()) - 1);
    const double rightX = scale.X(graph, graph.LastMinute);
    for (int minute = graph.FirstMinute; minute <= graph.LastMinute; minute += 60) {
        const double x = scale.X(graph, minute);
        painter.setPen(QPen(kRuleColor, 0));
        painter.drawLine(QLineF(x, top, x, bottom));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(x - 30, top - 22, 60, 16), Qt::AlignCenter,
                         FromCp1252Text(ClockText(minute)));
    }
    for (std::size_t s = 0; s < graph.Stations.size(); ++s) {
        const double y = scale.Y(graph, static_cast<int>(s));
        painter.setPen(QPen(kRuleColor, 0));
        painter.drawLine(QLineF(scale.Left, y, rightX, y));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(4, y - 8, scale.Left - 10, 16), Qt::AlignRight | Qt::AlignVCenter,
                         FromCp1252Text(graph.Stations[s]));
    }
    for (const auto &journey : graph.Journeys) {
        QPainterPath path;
        for (std::size_t p = 0; p < journey.Points.size(); ++p) {
            const QPointF at(scale.X(graph, journey.Points[p].Minute),
                             scale.Y(graph, journey.Points[p].Station));
            if (p == 0)
                path.moveTo(at);
            else
                path.lineTo(at);
        }
        painter.setPen(QPen(kDirectionColors[journey.Direction == 1 ? 0 : 1], 1.4));
        painter.drawPath(path);
    }
    PaintGraphLegend(painter, graph, QPointF(scale.Left, bottom + 20));
    painter.restore();
}

bool PaintGraphPage(QPagedPaintDevice &device, const TGraph &graph) {
    const TGraphScale scale = GraphScale(graph, 1);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const double fit =
        std::min(device.width() / scale.Width(graph), device.height() / scale.Height(graph));
    painter.scale(fit, fit);
    PaintGraph(painter, graph, scale);
    return painter.end();
}

// The same painting as the picture and the page, so the three exports agree;
// every journey becomes one <path> of its direction's colour.
QByteArray RenderGraphSvg(const TGraph &graph, double zoom) {
    const TGraphScale scale = GraphScale(graph, zoom);
    const QSize size(static_cast<int>(std::ceil(scale.Width(graph))),
                     static_cast<int>(std::ceil(scale.Height(graph))));
    QByteArray svg;
    QBuffer buffer(&svg);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setTitle(QStringLiteral("Bildfahrplan Linie %1, %2")
                           .arg(FromCp1252Text(graph.Line), FromCp1252Text(graph.DayGroupText)));
    QPainter painter(&generator);
    PaintGraph(painter, graph, scale);
    painter.end();
    return svg;
}

QImage RenderGraphImage(const TGraph &graph, double zoom) {
    const TGraphScale scale = GraphScale(graph, zoom);
    QImage image(static_cast<int>(std::ceil(scale.Width(graph))),
                 static_cast<int>(std::ceil(scale.Height(graph))), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintGraph(painter, graph, scale);
    painter.end();
    return image;
}

} // namespace takton::print
