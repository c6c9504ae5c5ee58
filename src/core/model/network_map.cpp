#include "core/model/network_map.h"

#include "core/model/master_data.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <numbers>
#include <utility>

namespace takton {
namespace {

// Beyond this latitude Web Mercator runs off to infinity; maps cut it here.
constexpr double kMaxLatitude = 85.0511287798;
constexpr double kEquatorMetres = 40075016.686;
// The smallest group a fitted map shows as it is; a smaller one (a single
// station) is shown as if it were this wide.
constexpr double kMinSpanMetres = 300;

constexpr std::array<std::uint32_t, 12> kLinePalette = {
    0xD7191C, // red
    0x1F6FB5, // blue
    0x1A9641, // green
    0xF08C00, // orange
    0x8E3C97, // purple
    0x00A3B4, // teal
    0xA6611A, // brown
    0xE7298A, // magenta
    0x6B8E23, // olive
    0x283C8C, // navy
    0xC9A100, // ochre
    0x808080, // grey
};

using TPlace = std::pair<double, double>;

TPlace PlaceOf(const TGeoPosition &position) {
    return {position.Lat, position.Lon};
}

} // namespace

TMapPoint WebMercator(const TGeoPosition &position) {
    const double lat = std::clamp(position.Lat, -kMaxLatitude, kMaxLatitude);
    const double phi = lat * std::numbers::pi / 180;
    const double x = (position.Lon + 180) / 360;
    const double y =
        0.5 - std::log(std::tan(std::numbers::pi / 4 + phi / 2)) / (2 * std::numbers::pi);
    return {x, y};
}

TMapPoint TMapView::ToPixel(const TMapPoint &world) const {
    return {world.X * Scale + OffsetX, world.Y * Scale + OffsetY};
}

TMapPoint TMapView::ToPixel(const TGeoPosition &position) const {
    return ToPixel(WebMercator(position));
}

TMapPoint TMapView::ToWorld(const TMapPoint &pixel) const {
    return {(pixel.X - OffsetX) / Scale, (pixel.Y - OffsetY) / Scale};
}

TMapView FitMap(const std::vector<TGeoPosition> &positions, const TMapRect &rect, double margin) {
    const double width = std::max(rect.Width - 2 * margin, 1.0);
    const double height = std::max(rect.Height - 2 * margin, 1.0);
    TMapPoint low{0.5, 0.5};
    TMapPoint high{0.5, 0.5};
    if (!positions.empty()) {
        low = high = WebMercator(positions.front());
        for (const TGeoPosition &position : positions) {
            const TMapPoint point = WebMercator(position);
            low = {std::min(low.X, point.X), std::min(low.Y, point.Y)};
            high = {std::max(high.X, point.X), std::max(high.Y, point.Y)};
        }
    }
    const double spanX = high.X - low.X;
    const double spanY = high.Y - low.Y;
    // A metre spans more of the world square away from the equator: by
    // cosh(pi * (1 - 2y)), the inverse of the cosine of the latitude at y.
    const double centreY = low.Y + spanY / 2;
    const double minSpan =
        kMinSpanMetres / kEquatorMetres * std::cosh(std::numbers::pi * (1 - 2 * centreY));
    double scale = std::min(width, height) / minSpan;
    if (spanX > 0)
        scale = std::min(scale, width / spanX);
    if (spanY > 0)
        scale = std::min(scale, height / spanY);

    TMapView view;
    view.Scale = scale;
    view.OffsetX = rect.Left + rect.Width / 2 - (low.X + spanX / 2) * scale;
    view.OffsetY = rect.Top + rect.Height / 2 - (low.Y + spanY / 2) * scale;
    return view;
}

TMapView ZoomAround(const TMapView &view, const TMapPoint &pixel, double factor) {
    TMapView zoomed;
    zoomed.Scale = view.Scale * factor;
    zoomed.OffsetX = pixel.X - (pixel.X - view.OffsetX) * factor;
    zoomed.OffsetY = pixel.Y - (pixel.Y - view.OffsetY) * factor;
    return zoomed;
}

TMapView Panned(const TMapView &view, double dx, double dy) {
    TMapView moved = view;
    moved.OffsetX += dx;
    moved.OffsetY += dy;
    return moved;
}

std::vector<TGeoPosition> TNetworkMap::Positions() const {
    std::vector<TGeoPosition> positions;
    positions.reserve(Stations.size());
    for (const TMapStation &station : Stations)
        positions.push_back(station.Position);
    return positions;
}

std::vector<std::vector<double>> StretchOffsets(const TNetworkMap &map) {
    // The lines on each stretch, keyed the same whichever way a line runs it.
    std::map<std::pair<TPlace, TPlace>, std::vector<std::size_t>> shared;
    const auto key = [](const TGeoPosition &a, const TGeoPosition &b) {
        const TPlace p = PlaceOf(a), q = PlaceOf(b);
        return p < q ? std::pair{p, q} : std::pair{q, p};
    };
    for (std::size_t i = 0; i < map.Lines.size(); ++i) {
        const std::vector<TGeoPosition> &points = map.Lines[i].Points;
        for (std::size_t k = 1; k < points.size(); ++k) {
            std::vector<std::size_t> &lines = shared[key(points[k - 1], points[k])];
            if (std::find(lines.begin(), lines.end(), i) == lines.end())
                lines.push_back(i);
        }
    }
    std::vector<std::vector<double>> offsets(map.Lines.size());
    for (std::size_t i = 0; i < map.Lines.size(); ++i) {
        const std::vector<TGeoPosition> &points = map.Lines[i].Points;
        for (std::size_t k = 1; k < points.size(); ++k) {
            const std::vector<std::size_t> &lines = shared[key(points[k - 1], points[k])];
            const double place =
                static_cast<double>(std::find(lines.begin(), lines.end(), i) - lines.begin());
            double offset = place - (static_cast<double>(lines.size()) - 1) / 2;
            // Counted across the stretch in its key's direction; a line running
            // it the other way has its normal the other way round.
            if (PlaceOf(points[k - 1]) > PlaceOf(points[k]))
                offset = -offset;
            offsets[i].push_back(offset == 0 ? 0.0 : offset);
        }
    }
    return offsets;
}

std::uint32_t LineColour(std::size_t lineIndex) {
    return kLinePalette[lineIndex % kLinePalette.size()];
}

TNetworkMap BuildNetworkMap(const TStringList &stations, const std::vector<TLineRoute> &routes,
                            const TStationDataList &data) {
    TNetworkMap map;
    for (const std::string &station : stations) {
        const TStationData *entry = FindStationData(data, station);
        if (entry && entry->Position)
            map.Stations.push_back({station, *entry->Position});
        else
            map.WithoutPosition.push_back(station);
    }
    for (std::size_t i = 0; i < routes.size(); ++i) {
        TMapLine line{routes[i].Line, LineColour(i), {}};
        for (const std::string &station : routes[i].Stations) {
            const TStationData *entry = FindStationData(data, station);
            if (entry && entry->Position)
                line.Points.push_back(*entry->Position);
        }
        map.Lines.push_back(std::move(line));
    }
    return map;
}

TNetworkMap LoadNetworkMap(const std::string &dir) {
    // The routes file is read once for all lines.
    const TStringList allRoutes = LoadNameList(dir, kLineStationsFile);
    std::vector<TLineRoute> routes;
    for (const std::string &line : LoadNameList(dir, kLinesFile))
        routes.push_back({line, LineStationsOf(allRoutes, line)});
    return BuildNetworkMap(LoadNameList(dir, kStationsFile), routes, LoadStationData(dir));
}

} // namespace takton
