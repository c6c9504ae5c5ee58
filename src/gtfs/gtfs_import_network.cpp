#include "gtfs/gtfs_importer.h"

#include <algorithm>
#include <bit>
#include <map>

namespace takton::gtfs::detail {

// Stops with a parent become the parent (up to the station); stops of the
// same name close together become one station, far apart ones get a suffix.
void TImporter::MakeStations() {
    std::size_t folded = 0;
    std::vector<std::uint32_t> top(stops_.size());
    for (std::uint32_t i = 0; i < stops_.size(); ++i) {
        std::uint32_t at = i;
        for (int depth = 0; depth < 8 && !stops_[at].Parent.empty(); ++depth) {
            const std::uint32_t parent = Find(stopIndex_, stops_[at].Parent);
            if (parent == UINT32_MAX || parent == at)
                break;
            at = parent;
        }
        top[i] = at;
        if (at != i)
            ++folded;
    }
    if (folded > 0)
        Adapted(std::to_string(folded) +
                Cp1252(" Haltepunkte (Bahnsteige, Eingänge, ...) als ihre Elternstation "
                       "übernommen."));
    std::unordered_map<std::string, std::vector<std::uint32_t>> byName; // folded name
    std::size_t renamed = 0, mergedNames = 0;
    for (std::uint32_t i = 0; i < stops_.size(); ++i) {
        if (top[i] != i)
            continue;
        TStop &stop = stops_[i];
        if (stop.LocationType >= 2) {
            NotHeld("Haltepunkt " + Quoted(names_.Text(stop.Id)) +
                    Cp1252(": Eingang oder Knoten ohne Elternstation, nicht übernommen."));
            continue;
        }
        std::string name = names_.StationName(stop.Name);
        if (name.empty())
            name = names_.StationName("Haltestelle " + stop.Id);
        if (Cp1252ToUtf8(name) != stop.Name)
            AdaptedListed(renamed,
                          "Station " + Quoted(names_.Text(stop.Name)) + Cp1252(": als ") +
                              Quoted(name) +
                              Cp1252(" übernommen (Zeichen, die ein Name nicht haben darf)."));
        // The same name close by: the same station.
        auto &same = byName[FoldCase(name)];
        std::uint32_t found = UINT32_MAX;
        for (const std::uint32_t s : same) {
            const TStation &other = stations_[s];
            if (other.Position && stop.Position &&
                DistanceKm(*other.Position, *stop.Position) <= 1.0) {
                found = s;
                break;
            }
            if (!other.Position || !stop.Position) {
                found = s;
                break;
            }
        }
        if (found != UINT32_MAX) {
            stop.Station = found;
            AdaptedListed(
                mergedNames,
                "Haltestelle " + Quoted(names_.Text(stop.Id)) + " (" + Quoted(name) +
                    Cp1252(") mit der gleichnamigen Station in der Nähe zusammengelegt."));
            continue;
        }
        if (!same.empty()) {
            std::string suffixed;
            for (int n = static_cast<int>(same.size()) + 1;; ++n) {
                suffixed = name + " (" + std::to_string(n) + ")";
                if (!byName.contains(FoldCase(suffixed)))
                    break;
            }
            Adapted("Station " + Quoted(name) + " (Haltestelle " + Quoted(names_.Text(stop.Id)) +
                    Cp1252("): mehr als 1 km von der gleichnamigen entfernt, heißt ") +
                    Quoted(suffixed) + ".");
            byName[FoldCase(suffixed)];
            name = suffixed;
        }
        TStation station{name, stop.Position, {}};
        std::string zone = names_.Text(stop.Zone);
        if (!zone.empty()) {
            std::string clean;
            for (char c : zone)
                clean += (c == ',' || c == '=') ? '-' : c;
            if (clean.size() > kMaxStationDataText)
                clean.resize(kMaxStationDataText);
            if (clean != zone)
                Adapted("Station " + Quoted(name) + ": Tarifzone " + Quoted(zone) + " als " +
                        Quoted(clean) + Cp1252(" übernommen."));
            station.Zone = clean;
        }
        stop.Station = static_cast<std::uint32_t>(stations_.size());
        same.push_back(stop.Station);
        stations_.push_back(std::move(station));
    }
    for (std::uint32_t i = 0; i < stops_.size(); ++i)
        if (top[i] != i)
            stops_[i].Station = stops_[top[i]].Station;
    ListedRest(renamed, "Stationsnamen angepasst");
    ListedRest(mergedNames,
               "Haltestellen mit der gleichnamigen Station in der Nähe zusammengelegt");
}

// Services of one weekday pattern make one day group; a service of dates
// alone takes the pattern of the weeks it runs in most often.
void TImporter::MakeDayGroups() {
    std::size_t exceptions = 0;
    std::map<TDaySet, std::vector<std::string>> byDays;
    long first = LONG_MAX, last = LONG_MIN;
    for (TService &service : services_) {
        if (service.InCalendar && service.Days != 0) {
            exceptions += service.Added.size() + service.Removed.size();
        } else {
            std::map<long, TDaySet> weeks; // by the week's Monday
            for (const long day : service.Added) {
                auto &week = weeks[day - WeekDayOf(day)];
                week = WithDay(week, WeekDayOf(day));
                service.First = std::min(service.First, day);
                service.Last = std::max(service.Last, day);
            }
            std::map<TDaySet, int> count;
            for (const auto &[monday, days] : weeks)
                ++count[days];
            int best = 0;
            for (const auto &[days, n] : count)
                if (n > best) {
                    best = n;
                    service.Days = days;
                }
            std::size_t off = 0;
            for (const auto &[monday, days] : weeks)
                if (days != service.Days)
                    ++off;
            exceptions += off;
            if (service.Days != 0)
                Adapted("Dienst " + Quoted(names_.Text(service.Id)) +
                        Cp1252(": nur durch einzelne Tage (calendar_dates.txt) bestimmt, als "
                               "Tagesgruppe ") +
                        Quoted(DayGroupNaming(service.Days).first) + Cp1252(" übernommen."));
        }
        if (service.Days == 0)
            continue;
        byDays[service.Days].push_back(service.Id);
        first = std::min(first, service.First);
        last = std::max(last, service.Last);
    }
    // Monday groups first, the wider before the narrower.
    std::vector<TDaySet> patterns;
    for (const auto &[days, ids] : byDays)
        patterns.push_back(days);
    std::sort(patterns.begin(), patterns.end(), [](TDaySet a, TDaySet b) {
        const int fa = std::countr_zero(static_cast<unsigned>(a)),
                  fb = std::countr_zero(static_cast<unsigned>(b));
        if (fa != fb)
            return fa < fb;
        return std::popcount(static_cast<unsigned>(a)) > std::popcount(static_cast<unsigned>(b));
    });
    for (const TDaySet days : patterns) {
        auto [name, text] = DayGroupNaming(days);
        dayGroups_.push_back({name, text, days});
    }
    for (TService &service : services_)
        for (std::size_t g = 0; g < dayGroups_.size(); ++g)
            if (service.Days != 0 && dayGroups_[g].Days == service.Days)
                service.DayGroup = static_cast<int>(g);
    if (exceptions > 0)
        NotHeld(std::to_string(exceptions) +
                Cp1252(" Ausnahmetage (Feiertage, zusätzliche oder entfallende Tage aus "
                       "calendar_dates.txt): eine Tagesgruppe gilt an ihren Wochentagen, "
                       "nicht übernommen."));
    if (first <= last && first != LONG_MAX) {
        publishing_.FirstDate = DateText(first);
        publishing_.LastDate = DateText(last);
    }
}

} // namespace takton::gtfs::detail
