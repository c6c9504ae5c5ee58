#include "core/gtfs/gtfs_importer.h"
#include "core/model/calendar_date.h"

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

std::optional<long> DayNumber(std::string_view text) {
    const auto date = ParseCompactDate(Trim(text));
    return date ? std::optional<long>(date->Day) : std::nullopt;
}

int WeekDayOf(long day) {
    return WeekdayOf(TDate{day});
}

std::string DateText(long day) {
    return CompactDateText(TDate{day});
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
