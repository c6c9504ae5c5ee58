#include "core/gtfs/gtfs_importer.h"

#include <algorithm>
#include <bit>
#include <map>

namespace takton::gtfs::detail {

// Stops with a parent become the parent (up to the station); stops of the
// same name close together become one station, far apart ones get a suffix.
std::vector<std::uint32_t> TopStops(const std::vector<TStop> &stops, const TIdMap &index) {
    std::vector<std::uint32_t> top(stops.size());
    for (std::uint32_t i = 0; i < stops.size(); ++i) {
        std::uint32_t at = i;
        for (int depth = 0; depth < 8 && !stops[at].Parent.empty(); ++depth) {
            const std::uint32_t parent = Find(index, stops[at].Parent);
            if (parent == UINT32_MAX || parent == at)
                break;
            at = parent;
        }
        top[i] = at;
    }
    return top;
}

std::string ZoneText(std::string_view zone) {
    std::string clean;
    for (char c : zone)
        clean += (c == ',' || c == '=') ? '-' : c;
    if (clean.size() > kMaxStationDataText)
        clean.resize(kMaxStationDataText);
    return clean;
}

TDaySet CommonestWeekPattern(const std::vector<long> &days, std::size_t &weeksOff) {
    std::map<long, TDaySet> weeks; // by the week's Monday
    for (const long day : days) {
        auto &week = weeks[day - WeekDayOf(day)];
        week = WithDay(week, WeekDayOf(day));
    }
    std::map<TDaySet, int> count;
    for (const auto &[monday, pattern] : weeks)
        ++count[pattern];
    int best = 0;
    TDaySet commonest = 0;
    for (const auto &[pattern, n] : count)
        if (n > best) {
            best = n;
            commonest = pattern;
        }
    weeksOff = 0;
    for (const auto &[monday, pattern] : weeks)
        if (pattern != commonest)
            ++weeksOff;
    return commonest;
}

void OrderDayPatterns(std::vector<TDaySet> &patterns) {
    std::sort(patterns.begin(), patterns.end(), [](TDaySet a, TDaySet b) {
        const int fa = std::countr_zero(static_cast<unsigned>(a)),
                  fb = std::countr_zero(static_cast<unsigned>(b));
        if (fa != fb)
            return fa < fb;
        return std::popcount(static_cast<unsigned>(a)) > std::popcount(static_cast<unsigned>(b));
    });
}

// The station a stop of this name joins: one of the same name within a km,
// or one of them when either has no position; UINT32_MAX for none.
std::uint32_t TImporter::NearbyNamesake(const std::vector<std::uint32_t> &sameName,
                                        const TStop &stop) const {
    for (const std::uint32_t s : sameName) {
        const TStation &other = stations_[s];
        if (!other.Position || !stop.Position || DistanceKm(*other.Position, *stop.Position) <= 1.0)
            return s;
    }
    return UINT32_MAX;
}

// Stops with a parent become the parent (up to the station); stops of the
// same name close together become one station, far apart ones get a suffix.
void TImporter::MakeStations() {
    const std::vector<std::uint32_t> top = TopStops(stops_, stopIndex_);
    std::size_t folded = 0;
    for (std::uint32_t i = 0; i < stops_.size(); ++i)
        if (top[i] != i)
            ++folded;
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
        const std::uint32_t found = NearbyNamesake(same, stop);
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
            std::string clean = ZoneText(zone);
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
// alone takes the pattern of the weeks it runs in most often. The validity
// period runs from the first day of any service to the last.
void TImporter::MakeDayGroups() {
    std::map<TDaySet, std::vector<std::string>> byDays;
    long first = LONG_MAX, last = LONG_MIN;
    for (TService &service : services_) {
        for (std::vector<long> *dates : {&service.Added, &service.Removed}) {
            std::sort(dates->begin(), dates->end());
            dates->erase(std::unique(dates->begin(), dates->end()), dates->end());
        }
        if (service.InCalendar && service.Days != 0) {
            if (!HasDates(service)) {
                service.Days = 0;
                continue;
            }
            if (!service.Added.empty()) {
                first = std::min(first, service.Added.front());
                last = std::max(last, service.Added.back());
            }
        } else {
            service.ByDates = true;
            if (!service.Added.empty()) {
                service.First = std::min(service.First, service.Added.front());
                service.Last = std::max(service.Last, service.Added.back());
            }
            std::size_t off = 0;
            service.Days = CommonestWeekPattern(service.Added, off);
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
    OrderDayPatterns(patterns);
    for (const TDaySet days : patterns) {
        auto [name, text] = DayGroupNaming(days);
        dayGroups_.push_back({name, text, days});
    }
    for (TService &service : services_)
        for (std::size_t g = 0; g < dayGroups_.size(); ++g)
            if (service.Days != 0 && dayGroups_[g].Days == service.Days)
                service.DayGroup = static_cast<int>(g);
    if (first <= last && first != LONG_MAX) {
        publishing_.FirstDate = DateText(first);
        publishing_.LastDate = DateText(last);
        periodFirst_ = first;
        periodLast_ = last;
    }
}

} // namespace takton::gtfs::detail
