#pragma once

// The network map of a project: every station with a geo position at its place
// in Web Mercator, every line as a polyline along its route, and the stations
// that have no position yet. What the map window draws and exports, without
// the drawing itself.

#include "core/model/list_text.h"
#include "core/model/station_data.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace takton {

struct TMapPoint {
    double X = 0;
    double Y = 0;
    bool operator==(const TMapPoint &) const = default;
};

// Web Mercator in world units: the whole world is the square 0..1, x growing
// eastwards from 180° W, y southwards from about 85.05° N (latitudes beyond
// are clamped there).
TMapPoint WebMercator(const TGeoPosition &position);

struct TMapRect {
    double Left = 0;
    double Top = 0;
    double Width = 0;
    double Height = 0;
};

// Where world points land in pixels: pixel = world * Scale + Offset. The same
// scale on both axes, so shapes keep their proportions.
struct TMapView {
    double Scale = 1;
    double OffsetX = 0;
    double OffsetY = 0;

    TMapPoint ToPixel(const TMapPoint &world) const;
    TMapPoint ToPixel(const TGeoPosition &position) const;
    TMapPoint ToWorld(const TMapPoint &pixel) const;
};

// The view that shows every position as large as possible inside the rect,
// keeping a margin on each side, the group centred. A group smaller than 300 m
// (a single station) is shown as if it were that wide; no position gives a
// view centred on the world.
TMapView FitMap(const std::vector<TGeoPosition> &positions, const TMapRect &rect, double margin);
// The view scaled by the factor with the pixel under it staying in its place.
TMapView ZoomAround(const TMapView &view, const TMapPoint &pixel, double factor);
TMapView Panned(const TMapView &view, double dx, double dy);

struct TMapStation {
    std::string Name; // cp1252
    TGeoPosition Position;
};

struct TMapLine {
    std::string Name;         // cp1252
    std::uint32_t Colour = 0; // 0xRRGGBB
    // The positions of the route's stations in route order; stations without
    // a position are left out.
    std::vector<TGeoPosition> Points;
};

struct TNetworkMap {
    std::vector<TMapStation> Stations; // register order, positioned ones only
    std::vector<TMapLine> Lines;       // register order
    TStringList WithoutPosition;       // register order

    std::vector<TGeoPosition> Positions() const;
};

// Where each line runs through its stretches (between two neighbouring points
// of its route), in line widths along the normal (-dy, dx) of its own running
// direction on the map: lines that run the same stretch, between the same two
// places either way, lie side by side in register order, centred on it; a
// line alone on a stretch lies on it (0). Offsets[i][k - 1] is line i's
// stretch from Points[k - 1] to Points[k].
std::vector<std::vector<double>> StretchOffsets(const TNetworkMap &map);

// The colour of the line at this place of the register (0xRRGGBB): a fixed
// palette of distinct colours, repeated after its end.
std::uint32_t LineColour(std::size_t lineIndex);

// A line's name and its route.
struct TLineRoute {
    std::string Line;
    TStringList Stations;
};

TNetworkMap BuildNetworkMap(const TStringList &stations, const std::vector<TLineRoute> &routes,
                            const TStationDataList &data);
// The map of the project in the folder: stations, lines, routes, station data.
TNetworkMap LoadNetworkMap(const std::string &dir);

} // namespace takton
