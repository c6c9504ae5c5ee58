#include "core/model/network_map.h"
#include "master_data_fixture.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace takton {
namespace {

constexpr double kPi = std::numbers::pi;

void ExpectPoint(const TMapPoint &actual, double x, double y) {
    EXPECT_NEAR(actual.X, x, 1e-6);
    EXPECT_NEAR(actual.Y, y, 1e-6);
}

TEST(NetworkMap, WebMercatorPutsKnownPlacesWhereTheProjectionDoes) {
    ExpectPoint(WebMercator({0, 0}), 0.5, 0.5);
    ExpectPoint(WebMercator({0, -180}), 0, 0.5);
    ExpectPoint(WebMercator({0, 180}), 1, 0.5);
    ExpectPoint(WebMercator({0, 90}), 0.75, 0.5);
    // y = 0.5 - ln(tan(45° + lat/2)) / 2π
    ExpectPoint(WebMercator({45, 0}), 0.5, 0.5 - std::log(std::tan(3 * kPi / 8)) / (2 * kPi));
    ExpectPoint(WebMercator({-45, 0}), 0.5, 0.5 + std::log(std::tan(3 * kPi / 8)) / (2 * kPi));
    // The poles are cut at the edge of the square, not at infinity
    ExpectPoint(WebMercator({90, 0}), 0.5, 0);
    ExpectPoint(WebMercator({-90, 0}), 0.5, 1);
    EXPECT_NEAR(WebMercator({85.0511287798, 0}).Y, 0, 1e-9);
}

TEST(NetworkMap, FitPutsTheGroupInsideTheMarginWithOneScaleForBothAxes) {
    // Two stations on the equator a quarter of the world apart: the width
    // decides, the height centres them.
    TMapView view = FitMap({{0, 0}, {0, 90}}, {0, 0, 200, 100}, 10);
    ExpectPoint(view.ToPixel(TGeoPosition{0, 0}), 10, 50);
    ExpectPoint(view.ToPixel(TGeoPosition{0, 90}), 190, 50);
    EXPECT_NEAR(view.Scale, 720, 1e-9);

    // A town wider than high in a tall rect, then the same in a wide rect
    const std::vector<TGeoPosition> town = {
        {51.02, 13.70}, {51.08, 13.80}, {51.05, 13.74}, {51.03, 13.77}};
    for (const TMapRect rect : {TMapRect{0, 0, 300, 600}, TMapRect{20, 40, 900, 200}}) {
        view = FitMap(town, rect, 12);
        double left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
        for (const TGeoPosition &position : town) {
            const TMapPoint pixel = view.ToPixel(position);
            left = std::min(left, pixel.X);
            right = std::max(right, pixel.X);
            top = std::min(top, pixel.Y);
            bottom = std::max(bottom, pixel.Y);
        }
        // Inside the margin, and touching it on one axis
        EXPECT_GE(left, rect.Left + 12 - 1e-6);
        EXPECT_LE(right, rect.Left + rect.Width - 12 + 1e-6);
        EXPECT_GE(top, rect.Top + 12 - 1e-6);
        EXPECT_LE(bottom, rect.Top + rect.Height - 12 + 1e-6);
        const bool fillsWidth = std::abs(right - left - (rect.Width - 24)) < 1e-6;
        const bool fillsHeight = std::abs(bottom - top - (rect.Height - 24)) < 1e-6;
        EXPECT_TRUE(fillsWidth != fillsHeight);
        // Centred on both axes
        EXPECT_NEAR((left + right) / 2, rect.Left + rect.Width / 2, 1e-6);
        EXPECT_NEAR((top + bottom) / 2, rect.Top + rect.Height / 2, 1e-6);
        // The aspect of the group is the aspect of its world spans
        const TMapPoint low = WebMercator({51.08, 13.70});
        const TMapPoint high = WebMercator({51.02, 13.80});
        EXPECT_NEAR((right - left) / (bottom - top), (high.X - low.X) / (high.Y - low.Y), 1e-9);
    }
}

TEST(NetworkMap, FitOfOneStationOrNoneCentresWithAFiniteScale) {
    const TMapRect rect{0, 0, 400, 300};
    const TMapView one = FitMap({{51.05, 13.74}}, rect, 20);
    ExpectPoint(one.ToPixel(TGeoPosition{51.05, 13.74}), 200, 150);
    EXPECT_TRUE(std::isfinite(one.Scale));
    // 300 m fill the smaller side (260 px inside the margins): a station
    // 150 m east lies at its edge, one 2 km away beyond the rect
    const double metre = 1 / 40075016.686 / std::cos(51.05 * kPi / 180);
    const TMapPoint near = one.ToPixel(TMapPoint{WebMercator({51.05, 13.74}).X + 150 * metre, 0});
    const TMapPoint far = one.ToPixel(TMapPoint{WebMercator({51.05, 13.74}).X + 2000 * metre, 0});
    EXPECT_NEAR(near.X, 200 + 130, 0.01);
    EXPECT_GT(far.X, 400);

    // Two stations on one meridian: the zero width does not decide the scale
    const TMapView column = FitMap({{51.00, 13.74}, {51.10, 13.74}}, rect, 20);
    EXPECT_NEAR(column.ToPixel(TGeoPosition{51.10, 13.74}).Y, 20, 1e-6);
    EXPECT_NEAR(column.ToPixel(TGeoPosition{51.00, 13.74}).Y, 280, 1e-6);

    const TMapView none = FitMap({}, rect, 20);
    EXPECT_TRUE(std::isfinite(none.Scale));
    EXPECT_GT(none.Scale, 0);
    ExpectPoint(none.ToPixel(TMapPoint{0.5, 0.5}), 200, 150);
}

TEST(NetworkMap, ZoomKeepsThePixelUnderTheMouseAndPanMovesEverything) {
    const TMapView view = FitMap({{51.02, 13.70}, {51.08, 13.80}}, {0, 0, 400, 300}, 10);
    const TMapPoint mouse{123, 77};
    const TMapPoint under = view.ToWorld(mouse);
    const TMapView zoomed = ZoomAround(view, mouse, 1.5);
    EXPECT_DOUBLE_EQ(zoomed.Scale, view.Scale * 1.5);
    ExpectPoint(zoomed.ToPixel(under), mouse.X, mouse.Y);
    // Another point moves away from the mouse by the factor
    const TMapPoint before = view.ToPixel(TGeoPosition{51.08, 13.80});
    const TMapPoint after = zoomed.ToPixel(TGeoPosition{51.08, 13.80});
    ExpectPoint(after, mouse.X + (before.X - mouse.X) * 1.5, mouse.Y + (before.Y - mouse.Y) * 1.5);

    const TMapView moved = Panned(zoomed, -30, 12);
    ExpectPoint(moved.ToPixel(under), mouse.X - 30, mouse.Y + 12);
    EXPECT_DOUBLE_EQ(moved.Scale, zoomed.Scale);
}

TEST(NetworkMap, LinesFollowTheirRoutesSkippingStationsWithoutPosition) {
    testing::TempDir dir;
    dir.Write("stations.csv", testing::CrLf({"Bahnhof", "Markt", "M\xFChle", "Hafen", "Tal"}));
    dir.Write("lines.csv", testing::CrLf({"1", "S 2"}));
    dir.Write("line_stations.csv",
              testing::CrLf({"1=Bahnhof,Markt,M\xFChle,Hafen", "S 2=Tal,Hafen,Bahnhof"}));
    // Markt has only a zone, Tal no entry; "hafen" is found in another case
    dir.Write("station_data.csv", testing::CrLf({"Bahnhof=51.05,13.74,A,", "Markt=,,B,",
                                                 "M\xFChle=51.06,13.75,,", "hafen=51.04,13.72,,"}));

    const TNetworkMap map = LoadNetworkMap(dir.Path());
    ASSERT_EQ(map.Stations.size(), 3u);
    EXPECT_EQ(map.Stations[0].Name, "Bahnhof");
    EXPECT_EQ(map.Stations[1].Name, "M\xFChle");
    EXPECT_EQ(map.Stations[2].Name, "Hafen");
    EXPECT_EQ(map.Stations[2].Position, (TGeoPosition{51.04, 13.72}));
    EXPECT_EQ(map.WithoutPosition, (TStringList{"Markt", "Tal"}));
    ASSERT_EQ(map.Lines.size(), 2u);
    EXPECT_EQ(map.Lines[0].Name, "1");
    EXPECT_EQ(map.Lines[0].Points,
              (std::vector<TGeoPosition>{{51.05, 13.74}, {51.06, 13.75}, {51.04, 13.72}}));
    EXPECT_EQ(map.Lines[1].Name, "S 2");
    EXPECT_EQ(map.Lines[1].Points, (std::vector<TGeoPosition>{{51.04, 13.72}, {51.05, 13.74}}));
    EXPECT_EQ(map.Lines[0].Colour, LineColour(0));
    EXPECT_EQ(map.Lines[1].Colour, LineColour(1));
    EXPECT_EQ(map.Positions().size(), 3u);

    // A project without files gives an empty map
    testing::TempDir empty;
    const TNetworkMap nothing = LoadNetworkMap(empty.Path());
    EXPECT_TRUE(nothing.Stations.empty());
    EXPECT_TRUE(nothing.Lines.empty());
    EXPECT_TRUE(nothing.WithoutPosition.empty());
}

TEST(NetworkMap, LinesSharingAStretchLieSideBySideCentredOnIt) {
    const TGeoPosition a{51.00, 13.00}, b{51.01, 13.00}, c{51.02, 13.00}, d{51.01, 13.01};
    TNetworkMap map;
    map.Lines = {{"1", LineColour(0), {a, b, c}},
                 {"2", LineColour(1), {c, b, d}}, // runs b-c the other way
                 {"3", LineColour(2), {a, b}},
                 {"4", LineColour(3), {a, b}},
                 {"leer", LineColour(4), {}}};
    const std::vector<std::vector<double>> offsets = StretchOffsets(map);
    ASSERT_EQ(offsets.size(), 5u);
    // a-b: three lines in register order, one width apart, the middle one on it
    EXPECT_EQ(offsets[0][0], -1);
    EXPECT_EQ(offsets[2][0], 0);
    EXPECT_EQ(offsets[3][0], 1);
    // b-c run both ways: the same offset to each one's own side puts them on
    // opposite sides of the stretch, half a width each
    EXPECT_EQ(offsets[0][1], -0.5);
    EXPECT_EQ(offsets[1][0], -0.5);
    // b-d has line 2 alone: on the stretch
    EXPECT_EQ(offsets[1][1], 0);
    EXPECT_TRUE(offsets[4].empty());

    // On the map: line 1 and line 2 between b and c do not cover each other
    const auto across = [](const TGeoPosition &from, const TGeoPosition &to, double offset) {
        const TMapPoint p = WebMercator(from), q = WebMercator(to);
        // The normal (-dy, dx) of the running direction, as x
        return offset * -(q.Y - p.Y) / std::hypot(q.X - p.X, q.Y - p.Y);
    };
    EXPECT_NEAR(across(b, c, offsets[0][1]) - across(c, b, offsets[1][0]), -1, 1e-9);
}

TEST(NetworkMap, LineColoursAreDistinctAndStableByOrder) {
    // The first lines differ from each other and from white and the dots
    std::vector<std::uint32_t> seen;
    for (std::size_t i = 0; i < 10; ++i) {
        const std::uint32_t colour = LineColour(i);
        EXPECT_EQ(std::count(seen.begin(), seen.end(), colour), 0) << i;
        EXPECT_NE(colour, 0xFFFFFFu);
        seen.push_back(colour);
    }
    // The palette repeats rather than running out
    std::size_t period = 1;
    while (LineColour(period) != LineColour(0))
        ++period;
    EXPECT_GE(period, 10u);
    EXPECT_EQ(LineColour(period + 3), LineColour(3));
    // The colour belongs to the place in the register, not to the name
    const TNetworkMap map = BuildNetworkMap({}, {{"9", {}}, {"1", {}}}, {});
    EXPECT_EQ(map.Lines[0].Colour, LineColour(0));
    EXPECT_EQ(map.Lines[1].Colour, LineColour(1));
}

} // namespace
} // namespace takton
