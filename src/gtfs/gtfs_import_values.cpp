#include "gtfs/gtfs_importer.h"

#include <algorithm>
#include <array>

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

// Days since 1970-01-01 of "YYYYMMDD"; nullopt when it is no date.
std::optional<long> DayNumber(std::string_view text) {
    text = Trim(text);
    if (text.size() != 8)
        return std::nullopt;
    const auto value = ParseInt(text);
    if (!value)
        return std::nullopt;
    const long y = *value / 10000, m = *value / 100 % 100, d = *value % 100;
    if (m < 1 || m > 12 || d < 1 || d > 31)
        return std::nullopt;
    // Days from civil (proleptic Gregorian).
    const long yy = y - (m <= 2);
    const long era = (yy >= 0 ? yy : yy - 399) / 400;
    const long yoe = yy - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// Weekday index, 0 Monday, of a day number (1970-01-01 was a Thursday).
int WeekDayOf(long day) {
    return static_cast<int>(((day % 7) + 7 + 3) % 7);
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
