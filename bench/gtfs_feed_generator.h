#pragma once

// A GTFS feed of a chosen size written as a zip, for the import benchmark:
// stations on a grid, routes of consecutive stations, trips both ways on
// weekdays and at weekends, stop_times made while the zip is written.

#include <cstddef>
#include <string>

namespace takton::bench {

struct TFeedShape {
    int Stations = 5000;
    int Routes = 500;
    int StopsPerRoute = 25;
    // Trips of a route; rows = Routes * TripsPerRoute * StopsPerRoute.
    int TripsPerRoute = 80;
};

// The shape closest to the wanted number of stop_times rows.
TFeedShape ShapeForRows(std::size_t rows);
// Writes the feed; gives the number of stop_times rows written.
std::size_t WriteGeneratedFeed(const std::string &zipPath, const TFeedShape &shape);

} // namespace takton::bench
