#include "core/gtfs/gtfs_importer.h"
#include "core/util/error.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace takton::gtfs::detail {

void TImporter::ReadAgency() {
    TFeedTable table(feed_, "agency.txt");
    const int name = table.Column("agency_name"), url = table.Column("agency_url"),
              zone = table.Column("agency_timezone"), lang = table.Column("agency_lang");
    std::size_t count = 0;
    while (table.Next()) {
        if (count++ > 0)
            continue;
        publishing_.AgencyName = names_.Text(Trim(table.Get(name)));
        publishing_.AgencyUrl = names_.Text(Trim(table.Get(url)));
        if (!Trim(table.Get(zone)).empty())
            publishing_.Timezone = names_.Text(Trim(table.Get(zone)));
        if (!Trim(table.Get(lang)).empty())
            publishing_.Language = names_.Text(Trim(table.Get(lang)));
    }
    if (count > 1)
        NotHeld(std::to_string(count - 1) +
                Cp1252(" weitere Verkehrsunternehmen (agency.txt): das Projekt kennt eines, "
                       "das erste wurde übernommen."));
}

void TImporter::ReadStops() {
    TFeedTable table(feed_, "stops.txt");
    if (!table.Exists())
        throw TaktonError(Cp1252("Dem GTFS-Feed fehlt stops.txt."));
    const int id = table.Column("stop_id"), name = table.Column("stop_name"),
              lat = table.Column("stop_lat"), lon = table.Column("stop_lon"),
              zone = table.Column("zone_id"), type = table.Column("location_type"),
              parent = table.Column("parent_station");
    while (table.Next()) {
        TStop stop;
        stop.Id = std::string(Trim(table.Get(id)));
        if (stop.Id.empty() || stopIndex_.contains(stop.Id))
            continue;
        stop.Name = std::string(Trim(table.Get(name)));
        const auto la = ParseDouble(table.Get(lat)), lo = ParseDouble(table.Get(lon));
        if (la && lo && *la >= -90 && *la <= 90 && *lo >= -180 && *lo <= 180 &&
            !(*la == 0 && *lo == 0))
            stop.Position = TGeoPosition{*la, *lo};
        stop.Zone = std::string(Trim(table.Get(zone)));
        stop.LocationType = static_cast<int>(ParseInt(table.Get(type)).value_or(0));
        stop.Parent = std::string(Trim(table.Get(parent)));
        stopIndex_.emplace(stop.Id, static_cast<std::uint32_t>(stops_.size()));
        stops_.push_back(std::move(stop));
    }
}

void TImporter::ReadRoutes() {
    TFeedTable table(feed_, "routes.txt");
    if (!table.Exists())
        throw TaktonError(Cp1252("Dem GTFS-Feed fehlt routes.txt."));
    const int id = table.Column("route_id"), shortName = table.Column("route_short_name"),
              longName = table.Column("route_long_name"), type = table.Column("route_type");
    while (table.Next()) {
        TRoute route;
        route.Id = std::string(Trim(table.Get(id)));
        if (routeIndex_.contains(route.Id))
            continue;
        std::string_view name = Trim(table.Get(shortName));
        if (name.empty())
            name = Trim(table.Get(longName));
        if (name.empty())
            name = route.Id;
        route.Name = std::string(name); // UTF-8 until the lines are named
        route.Type = static_cast<int>(ParseInt(table.Get(type)).value_or(3));
        routeIndex_.emplace(route.Id, static_cast<std::uint32_t>(routes_.size()));
        routes_.push_back(std::move(route));
    }
}

void TImporter::ReadServices() {
    auto serviceOf = [&](std::string_view id) -> TService & {
        auto [at, added] =
            serviceIndex_.emplace(std::string(id), static_cast<std::uint32_t>(services_.size()));
        if (added) {
            services_.emplace_back();
            services_.back().Id = std::string(id);
        }
        return services_[at->second];
    };
    {
        TFeedTable table(feed_, "calendar.txt");
        const int id = table.Column("service_id"), start = table.Column("start_date"),
                  end = table.Column("end_date");
        std::array<int, kWeekDayCount> day{};
        for (int d = 0; d < kWeekDayCount; ++d)
            day[static_cast<std::size_t>(d)] =
                table.Column(WeekDayKeys[static_cast<std::size_t>(d)]);
        while (table.Next()) {
            TService &service = serviceOf(Trim(table.Get(id)));
            service.InCalendar = true;
            for (int d = 0; d < kWeekDayCount; ++d)
                if (Trim(table.Get(day[static_cast<std::size_t>(d)])) == "1")
                    service.Days = WithDay(service.Days, d);
            if (auto first = DayNumber(table.Get(start)))
                service.First = std::min(service.First, *first);
            if (auto last = DayNumber(table.Get(end)))
                service.Last = std::max(service.Last, *last);
        }
    }
    TFeedTable table(feed_, "calendar_dates.txt");
    const int id = table.Column("service_id"), date = table.Column("date"),
              type = table.Column("exception_type");
    while (table.Next()) {
        const auto day = DayNumber(table.Get(date));
        if (!day)
            continue;
        TService &service = serviceOf(Trim(table.Get(id)));
        if (Trim(table.Get(type)) == "2")
            service.Removed.push_back(*day);
        else
            service.Added.push_back(*day);
    }
}

void TImporter::ReadTrips() {
    TFeedTable table(feed_, "trips.txt");
    if (!table.Exists())
        throw TaktonError(Cp1252("Dem GTFS-Feed fehlt trips.txt."));
    const int route = table.Column("route_id"), service = table.Column("service_id"),
              id = table.Column("trip_id"), direction = table.Column("direction_id");
    while (table.Next()) {
        TTrip trip;
        trip.Id = std::string(Trim(table.Get(id)));
        trip.Route = Find(routeIndex_, Trim(table.Get(route)));
        trip.Service = Find(serviceIndex_, Trim(table.Get(service)));
        trip.Direction = Trim(table.Get(direction)) == "1" ? 1 : 0;
        if (trip.Id.empty() || tripIndex_.contains(trip.Id))
            continue;
        tripIndex_.emplace(trip.Id, static_cast<std::uint32_t>(trips_.size()));
        trips_.push_back(std::move(trip));
    }
}

// The rows kept as numbers; sorted by trip and sequence unless they came so.
bool TImporter::ReadStopTimes() {
    std::uint64_t read = 0;
    TFeedTable table(feed_, "stop_times.txt", &read);
    if (!table.Exists())
        throw TaktonError(Cp1252("Dem GTFS-Feed fehlt stop_times.txt."));
    const std::uint64_t size = std::max<std::uint64_t>(1, feed_.SizeOf("stop_times.txt"));
    rows_.reserve(0x10000);
    const int trip = table.Column("trip_id"), arrival = table.Column("arrival_time"),
              departure = table.Column("departure_time"), stop = table.Column("stop_id"),
              sequence = table.Column("stop_sequence"),
              distance = table.Column("shape_dist_traveled");
    std::string lastTrip;
    std::uint32_t lastTripIndex = UINT32_MAX;
    std::vector<bool> tripSeen(trips_.size(), false);
    bool ordered = true;
    std::uint32_t lastSequence = 0;
    std::size_t count = 0;
    TNextStopGuess nextStop(stops_, stopIndex_);
    while (table.Next()) {
        if ((++count & 0xFFFF) == 0) {
            if (!Progress(50 + 750 * read / size))
                return false;
            // The rows to come, from the bytes a row took so far: grown once.
            if (count == 0x10000 && read > 0)
                rows_.reserve(static_cast<std::size_t>(static_cast<double>(size) /
                                                       static_cast<double>(read) * count * 1.05));
        }
        const std::string_view tripId = table.Get(trip);
        if (tripId != lastTrip) {
            lastTrip.assign(tripId);
            lastTripIndex = Find(tripIndex_, Trim(tripId));
            lastSequence = 0;
            if (lastTripIndex != UINT32_MAX) {
                if (tripSeen[lastTripIndex])
                    ordered = false;
                tripSeen[lastTripIndex] = true;
            }
        }
        if (lastTripIndex == UINT32_MAX) {
            ++unknownTripRows_;
            continue;
        }
        const std::uint32_t stopIndex = nextStop.Find(table.Get(stop));
        if (stopIndex == UINT32_MAX || stops_[stopIndex].Station == UINT32_MAX) {
            ++unknownStopRows_;
            continue;
        }
        const auto seq = ParseInt(table.Get(sequence));
        const std::int32_t arr = ParseGtfsTime(table.Get(arrival));
        const std::int32_t dep = ParseGtfsTime(table.Get(departure));
        if (!seq || *seq < 0 || arr == kBad || dep == kBad) {
            ++badRows_;
            continue;
        }
        const auto s = static_cast<std::uint32_t>(*seq);
        if (s < lastSequence)
            ordered = false;
        lastSequence = s;
        if (distance >= 0) {
            const auto d = ParseDouble(table.Get(distance));
            distances_.push_back(d ? static_cast<float>(*d) : std::nanf(""));
        }
        rows_.push_back({lastTripIndex, s, stopIndex, arr, dep});
    }
    report_.StopTimes = count;
    if (!ordered)
        SortRows();
    IndexTripRows();
    ReportDroppedStopTimes();
    return true;
}

// Each trip's run of rows, once the rows are in trip order.
void TImporter::IndexTripRows() {
    for (std::size_t r = 0; r < rows_.size();) {
        std::size_t end = r;
        while (end < rows_.size() && rows_[end].Trip == rows_[r].Trip)
            ++end;
        TTrip &t = trips_[rows_[r].Trip];
        t.FirstRow = r;
        t.Rows = end - r;
        r = end;
    }
}

void TImporter::ReportDroppedStopTimes() {
    if (unknownTripRows_ > 0)
        NotHeld(Counted(unknownTripRows_, "Zeile", "Zeilen") +
                Cp1252(" von stop_times.txt zu unbekannten Fahrten, nicht übernommen."));
    if (unknownStopRows_ > 0)
        NotHeld(Counted(unknownStopRows_, "Zeile", "Zeilen") +
                Cp1252(" von stop_times.txt an unbekannten Haltestellen, nicht "
                       "übernommen."));
    if (badRows_ > 0)
        NotHeld(Counted(badRows_, "Zeile", "Zeilen") +
                Cp1252(" von stop_times.txt mit unlesbarer Zeit oder Reihenfolge, nicht "
                       "übernommen."));
}

void TImporter::ReadFrequencies() {
    TFeedTable table(feed_, "frequencies.txt");
    const int trip = table.Column("trip_id"), start = table.Column("start_time"),
              end = table.Column("end_time"), headway = table.Column("headway_secs");
    while (table.Next()) {
        const std::uint32_t t = Find(tripIndex_, Trim(table.Get(trip)));
        const std::int32_t from = ParseGtfsTime(table.Get(start)),
                           to = ParseGtfsTime(table.Get(end));
        const auto secs = ParseInt(table.Get(headway));
        if (t == UINT32_MAX || from < 0 || to <= from || !secs || *secs <= 0) {
            NotHeld("Zeile " + std::to_string(table.Line()) +
                    Cp1252(" von frequencies.txt unlesbar, nicht übernommen."));
            continue;
        }
        trips_[t].Frequent = true;
        frequencies_.push_back({t, from, to, static_cast<std::int32_t>(*secs)});
    }
}

// By trip and stop_sequence, the distances along.
void TImporter::SortRows() {
    std::vector<std::uint32_t> order(rows_.size());
    std::iota(order.begin(), order.end(), 0U);
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        const TStopTimeRow &x = rows_[a], &y = rows_[b];
        return x.Trip != y.Trip ? x.Trip < y.Trip : x.Sequence < y.Sequence;
    });
    decltype(rows_) rows;
    rows.reserve(rows_.size());
    for (const std::uint32_t i : order)
        rows.push_back(rows_[i]);
    rows_ = std::move(rows);
    if (distances_.empty())
        return;
    decltype(distances_) distances;
    distances.reserve(distances_.size());
    for (const std::uint32_t i : order)
        distances.push_back(distances_[i]);
    distances_ = std::move(distances);
}

} // namespace takton::gtfs::detail
