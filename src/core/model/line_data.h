#pragma once

// What a line publishes beyond its name: the vehicle type of its journeys
// (GTFS route_type) where it differs from the project's (TPublishing). Kept in
// a file of its own beside the line register, so that a project without such
// data keeps exactly the files it had: "line_data.csv", entries
// "Line=route_type" (cp1252, CR LF, the list text rules).

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace takton {

inline constexpr std::string_view kLineDataFile = "line_data.csv";

// The vehicle types a planner chooses from, GTFS's basic route types.
struct TRouteTypeName {
    int Code;
    const char *Name; // German, cp1252
};
std::span<const TRouteTypeName> RouteTypeNames();
// The German name of a route type, or its number as text when it has none.
std::string RouteTypeName(int code);

// Line name and its own route type, in file order; a missing file is empty.
using TLineRouteTypes = std::vector<std::pair<std::string, int>>;
TLineRouteTypes LoadLineRouteTypes(const std::string &dir);
// The line's own route type: the exact name first, then without regard to case.
std::optional<int> FindLineRouteType(const TLineRouteTypes &list, std::string_view line);
// Sets the line's own route type, or with nullopt removes it, and writes the
// file whole (crash-safe); no file is made while no line has one.
void StoreLineRouteType(const std::string &dir, std::string_view line, std::optional<int> type);

} // namespace takton
