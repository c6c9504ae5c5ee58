#include "core/gtfs/gtfs_importer.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>

namespace takton::gtfs::detail {
namespace {

const std::array<const char *, 7> kDayShort = {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"};
const std::array<const char *, 7> kDayLong = {"Montag",  "Dienstag", "Mittwoch", "Donnerstag",
                                              "Freitag", "Samstag",  "Sonntag"};

} // namespace

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

double DistanceKm(const TGeoPosition &a, const TGeoPosition &b) {
    constexpr double kRad = 3.14159265358979323846 / 180.0;
    const double dLat = (b.Lat - a.Lat) * kRad, dLon = (b.Lon - a.Lon) * kRad;
    const double h =
        std::sin(dLat / 2) * std::sin(dLat / 2) +
        std::cos(a.Lat * kRad) * std::cos(b.Lat * kRad) * std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2 * 6371.0 * std::asin(std::min(1.0, std::sqrt(h)));
}

std::optional<long> DayNumber(std::string_view text) {
    using namespace std::chrono;
    text = Trim(text);
    const auto value = text.size() == 8 ? ParseInt(text) : std::nullopt;
    if (!value || *value < 0)
        return std::nullopt;
    const year_month_day date{year(static_cast<int>(*value / 10000)),
                              month(static_cast<unsigned>(*value / 100 % 100)),
                              day(static_cast<unsigned>(*value % 100))};
    if (!date.ok())
        return std::nullopt;
    return sys_days(date).time_since_epoch().count();
}

int WeekDayOf(long day) {
    using namespace std::chrono;
    return static_cast<int>(weekday(sys_days(days(day))).iso_encoding()) - 1;
}

std::string DateText(long day) {
    using namespace std::chrono;
    const year_month_day date{sys_days(days(day))};
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02u%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

// "Mo-Fr", "Sa", "Mo+Mi+Fr" and their texts "Montag bis Freitag", ...
std::pair<std::string, std::string> DayGroupNaming(TDaySet days) {
    std::string name, text;
    for (int d = 0; d < kWeekDayCount;) {
        if (!HasDay(days, d)) {
            ++d;
            continue;
        }
        int last = d;
        while (last + 1 < kWeekDayCount && HasDay(days, last + 1))
            ++last;
        if (!name.empty()) {
            name += "+";
            text += " und ";
        }
        name += kDayShort[static_cast<std::size_t>(d)];
        text += kDayLong[static_cast<std::size_t>(d)];
        if (last > d) {
            name += last == d + 1 ? "+" : "-";
            name += kDayShort[static_cast<std::size_t>(last)];
            text += last == d + 1 ? " und " : " bis ";
            text += kDayLong[static_cast<std::size_t>(last)];
        }
        d = last + 1;
    }
    return {name, text};
}

} // namespace takton::gtfs::detail
