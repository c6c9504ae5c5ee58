#include "gtfs/gtfs_import.h"

#include "gtfs/gtfs_names.h"
#include "gtfs/gtfs_source.h"
#include "gtfs/route_merge.h"
#include "model/db_func.h"
#include "model/line_data.h"
#include "model/prj_params.h"
#include "model/prj_save.h"
#include "model/station_data.h"
#include "model/timetable_file.h"
#include "util/cp1252.h"
#include "util/error.h"
#include "util/file_io.h"
#include "util/large_allocator.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <exception>
#include <filesystem>
#include <map>
#include <numeric>
#include <optional>
#include <thread>
#include <unordered_map>

namespace takton::gtfs {
namespace {

constexpr std::int32_t kNone = -1;
constexpr std::int32_t kBad = -2;
constexpr std::size_t kMaxJourneys = 510; // journey columns of the grid
constexpr std::size_t kProgressTotal = 1000;
constexpr std::size_t kWriters = 4; // files written at once
constexpr std::size_t kListed = 50; // report lines of one kind before they are counted

struct TStringHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
        return std::hash<std::string_view>{}(text);
    }
};
using TIdMap = std::unordered_map<std::string, std::uint32_t, TStringHash, std::equal_to<>>;

std::uint32_t Find(const TIdMap &map, std::string_view id) {
    const auto at = map.find(id);
    return at == map.end() ? UINT32_MAX : at->second;
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// "H:MM:SS" or "HH:MM:SS" in seconds; kNone when empty, kBad otherwise.
std::int32_t ParseGtfsTime(std::string_view text) {
    text = Trim(text);
    if (text.empty())
        return kNone;
    std::int32_t parts[3] = {0, 0, 0};
    int part = 0, digits = 0;
    for (const char c : text) {
        if (c == ':') {
            if (digits == 0 || ++part > 2)
                return kBad;
            digits = 0;
        } else if (c >= '0' && c <= '9') {
            if (++digits > 3)
                return kBad;
            parts[part] = parts[part] * 10 + (c - '0');
        } else {
            return kBad;
        }
    }
    if (part != 2 || digits != 2 || parts[1] > 59 || parts[2] > 59)
        return kBad;
    return parts[0] * 3600 + parts[1] * 60 + parts[2];
}

std::optional<long> ParseInt(std::string_view text) {
    text = Trim(text);
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<double> ParseDouble(std::string_view text) {
    text = Trim(text);
    if (text.empty())
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
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

const std::array<const char *, 7> kDayShort = {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"};
const std::array<const char *, 7> kDayLong = {"Montag",  "Dienstag", "Mittwoch", "Donnerstag",
                                              "Freitag", "Samstag",  "Sonntag"};

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

std::string TimeText(std::int32_t minutes) {
    const int m = ((minutes % 1440) + 1440) % 1440;
    char text[6] = {static_cast<char>('0' + m / 600),     static_cast<char>('0' + m / 60 % 10), ':',
                    static_cast<char>('0' + m % 60 / 10), static_cast<char>('0' + m % 10),      0};
    return text;
}

struct TStop {
    std::string Id;
    std::string Name; // UTF-8 as in the feed
    std::optional<TGeoPosition> Position;
    std::string Zone;
    std::string Parent;
    int LocationType = 0;
    std::uint32_t Station = UINT32_MAX;
};

struct TStation {
    std::string Name; // cp1252
    std::optional<TGeoPosition> Position;
    std::string Zone;
};

struct TRoute {
    std::string Id;
    std::string Name; // cp1252, as the line is called
    int Type = 3;
    std::vector<std::uint32_t> Trips;
};

struct TService {
    std::string Id;
    TDaySet Days = 0;
    bool InCalendar = false;
    long First = LONG_MAX, Last = LONG_MIN;
    std::vector<long> Added, Removed;
    int DayGroup = -1;
};

struct TTrip {
    std::string Id;
    std::uint32_t Route = UINT32_MAX;
    std::uint32_t Service = UINT32_MAX;
    int Direction = 0; // direction_id
    std::size_t FirstRow = 0, Rows = 0;
    bool Frequent = false;
};

struct TStopTimeRow {
    std::uint32_t Trip;
    std::uint32_t Sequence;
    std::uint32_t Stop;
    std::int32_t Arrival; // seconds, kNone when empty
    std::int32_t Departure;
};

struct TFrequency {
    std::uint32_t Trip;
    std::int32_t Start, End, Headway; // seconds
};

// One stop of a journey: the station's place on the route, times in minutes.
struct TJourneyStop {
    std::uint32_t Position;
    std::int32_t Arrival;
    std::int32_t Departure;
};

struct TJourney {
    std::vector<TJourneyStop> Stops; // in travel order
    std::int32_t Shift = 0;          // minutes added to every time
    int IntervalMinutes = 0;         // > 0: an interval block up to Shift + (Count-1)*minutes
    int Count = 1;
    std::int32_t First() const { return Stops.front().Departure + Shift; }
};

// A line as written: its route and its timetable sections.
struct TOutLine {
    std::string Name;
    std::uint32_t Variant = 0;
    int Type = 3;
    TPattern Stations;                                        // station indices in route order
    std::map<std::string, std::vector<std::string>> Sections; // name → rows
};

class TImporter {
  public:
    TImporter(const std::string &feedPath, const std::string &projectPath,
              const TImportProgress &progress)
        : feed_(feedPath), projectPath_(projectPath), dir_(DirectoryOf(projectPath)),
          progress_(progress) {}

    TImportReport Run();

  private:
    bool Progress(std::size_t done) {
        if (progress_ && !progress_(std::min(done, kProgressTotal), kProgressTotal))
            cancelled_ = true;
        return !cancelled_;
    }
    void Adapted(std::string text) { report_.Adapted.push_back(std::move(text)); }
    // One line per case up to a limit, then only counted (a feed may have
    // thousands of platforms without a parent).
    void AdaptedListed(std::size_t &count, std::string text) {
        if (++count <= kListed)
            Adapted(std::move(text));
    }
    void ListedRest(std::size_t count, const char *what) {
        if (count > kListed)
            Adapted(Cp1252("… und ") + std::to_string(count - kListed) + " weitere " +
                    Cp1252(what) + ".");
    }
    void Note(std::string text) { report_.Notes.push_back(std::move(text)); }
    void NotHeld(std::string text) { report_.NotHeld.push_back(std::move(text)); }

    void ReadAgency();
    void ReadStops();
    void MakeStations();
    void ReadRoutes();
    void ReadServices();
    void ReadTrips();
    bool ReadStopTimes();
    void SortRows();
    bool VisitsTwice(const TPattern &stations) {
        seen_.resize(stations_.size(), 0);
        ++visit_;
        for (const std::uint32_t station : stations) {
            if (seen_[station] == visit_)
                return true;
            seen_[station] = visit_;
        }
        return false;
    }
    float DistanceOf(std::size_t row) const {
        return distances_.empty() ? std::nanf("") : distances_[row];
    }
    void ReadFrequencies();
    void MakeDayGroups();
    bool BuildLines();
    void BuildRoute(TRoute &route);
    bool TripStops(const TTrip &trip, std::vector<std::uint32_t> &stations,
                   std::vector<std::int32_t> &arrivals, std::vector<std::int32_t> &departures);
    void WriteSections(const TRoute &route, std::uint32_t variant, const TRouteMerge &merge,
                       std::map<std::pair<int, int>, std::vector<TJourney>> &sections);
    std::vector<std::string> SectionRows(const TRouteMerge &merge, int direction,
                                         const std::vector<const TJourney *> &columns);
    std::size_t LineFor(const TRoute &route, std::uint32_t variant, std::size_t page);
    void NameNotHeldFiles();
    void ReportCounts();
    void Write();
    void WriteFiles();
    void WriteTimetables();

    TFeedSource feed_;
    std::string projectPath_, dir_;
    std::vector<std::string> written_;
    bool madeDir_ = false;
    const TImportProgress &progress_;
    TImportReport report_;
    bool cancelled_ = false;
    TNameMaker names_;

    TPublishing publishing_;
    std::vector<TStop> stops_;
    TIdMap stopIndex_;
    std::vector<TStation> stations_;
    std::vector<TRoute> routes_;
    TIdMap routeIndex_;
    std::vector<TService> services_;
    TIdMap serviceIndex_;
    std::vector<TTrip> trips_;
    TIdMap tripIndex_;
    std::vector<TStopTimeRow, TLargeAllocator<TStopTimeRow>> rows_;
    // shape_dist_traveled of each row (NaN where missing), when the feed has it.
    std::vector<float, TLargeAllocator<float>> distances_;
    std::vector<TFrequency> frequencies_;
    std::vector<TDayGroupItem> dayGroups_;
    std::vector<TOutLine> lines_;
    std::map<std::tuple<std::uint32_t, std::uint32_t, std::size_t>, std::size_t> lineOf_;
    std::vector<std::string> lineNamesTaken_; // folded

    // Scratch of one trip, kept to spare allocations.
    std::vector<std::int32_t> scratchArrivals_, scratchDepartures_;
    std::vector<std::uint32_t> seen_;
    std::uint32_t visit_ = 0;

    // Counts for the report.
    std::size_t interpolated_ = 0, rounded_ = 0, afterMidnight_ = 0, pairs_ = 0;
    std::size_t intervalBlocks_ = 0, expandedFrequencies_ = 0, reversedPieces_ = 0;
    std::size_t badRows_ = 0, unknownTripRows_ = 0, unknownStopRows_ = 0, droppedStops_ = 0;
    std::size_t tripsWithoutTimes_ = 0, tripsUnknown_ = 0, tripsWithoutService_ = 0;
};

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
        if (added)
            services_.push_back(
                TService{std::string(id), 0, false, LONG_MAX, LONG_MIN, {}, {}, -1});
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
    auto dateText = [](long day) {
        // Civil from days.
        day += 719468;
        const long era = (day >= 0 ? day : day - 146096) / 146097;
        const long doe = day - era * 146097;
        const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
        const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
        const long mp = (5 * doy + 2) / 153;
        const long d = doy - (153 * mp + 2) / 5 + 1;
        const long m = mp + (mp < 10 ? 3 : -9);
        const long y = yoe + era * 400 + (m <= 2);
        char text[64];
        std::snprintf(text, sizeof text, "%04ld%02ld%02ld", y, m, d);
        return std::string(text);
    };
    if (first <= last && first != LONG_MAX) {
        publishing_.FirstDate = dateText(first);
        publishing_.LastDate = dateText(last);
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
    // Two stops that followed each stop (a pattern and its way back).
    std::vector<std::array<std::uint32_t, 2>> followedBy(stops_.size(), {UINT32_MAX, UINT32_MAX});
    std::uint32_t lastStop = UINT32_MAX;
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
        // Trips of one pattern name the same stops in turn: the stop that
        // followed last time is tried before the hash.
        const std::string_view stopId = table.Get(stop);
        std::uint32_t stopIndex = UINT32_MAX;
        if (lastStop < stops_.size()) {
            for (const std::uint32_t guess : followedBy[lastStop])
                if (guess != UINT32_MAX && stops_[guess].Id == stopId)
                    stopIndex = guess;
        }
        if (stopIndex == UINT32_MAX) {
            stopIndex = Find(stopIndex_, stopId);
            if (lastStop < stops_.size())
                followedBy[lastStop] = {stopIndex, followedBy[lastStop][0]};
        }
        lastStop = stopIndex;
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
    for (std::size_t r = 0; r < rows_.size();) {
        std::size_t end = r;
        while (end < rows_.size() && rows_[end].Trip == rows_[r].Trip)
            ++end;
        TTrip &t = trips_[rows_[r].Trip];
        t.FirstRow = r;
        t.Rows = end - r;
        r = end;
    }
    if (unknownTripRows_ > 0)
        NotHeld(std::to_string(unknownTripRows_) +
                Cp1252(" Zeilen von stop_times.txt zu unbekannten Fahrten, nicht übernommen."));
    if (unknownStopRows_ > 0)
        NotHeld(std::to_string(unknownStopRows_) +
                Cp1252(" Zeilen von stop_times.txt an unbekannten Haltestellen, nicht "
                       "übernommen."));
    if (badRows_ > 0)
        NotHeld(std::to_string(badRows_) +
                Cp1252(" Zeilen von stop_times.txt mit unlesbarer Zeit oder Reihenfolge, nicht "
                       "übernommen."));
    return true;
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

// The trip's stops as stations with times in seconds: empty times between
// timepoints interpolated, a station's consecutive stops as one.
bool TImporter::TripStops(const TTrip &trip, std::vector<std::uint32_t> &stations,
                          std::vector<std::int32_t> &arrivals,
                          std::vector<std::int32_t> &departures) {
    stations.clear();
    arrivals.clear();
    departures.clear();
    const TStopTimeRow *rows = rows_.data() + trip.FirstRow;
    const std::size_t n = trip.Rows;
    std::vector<std::int32_t> &arr = scratchArrivals_, &dep = scratchDepartures_;
    arr.resize(n);
    dep.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        arr[i] = rows[i].Arrival >= 0 ? rows[i].Arrival : rows[i].Departure;
        dep[i] = rows[i].Departure >= 0 ? rows[i].Departure : rows[i].Arrival;
    }
    std::size_t begin = 0, end = n;
    while (begin < n && arr[begin] < 0)
        ++begin;
    while (end > begin && arr[end - 1] < 0)
        --end;
    if (end - begin < 2)
        return false;
    droppedStops_ += n - (end - begin);
    for (std::size_t i = begin; i < end;) {
        if (arr[i] >= 0) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (arr[j] < 0)
            ++j;
        // Stops i..j-1 lack times between i-1 and j: by distance where known.
        std::vector<double> at(j - i + 2, 0.0);
        bool byDistance = true;
        for (std::size_t k = i - 1; k <= j; ++k)
            if (std::isnan(DistanceOf(trip.FirstRow + k)))
                byDistance = false;
        bool byPlace = !byDistance;
        for (std::size_t k = i - 1; byPlace && k <= j; ++k)
            byPlace = stops_[rows[k].Stop].Position.has_value();
        for (std::size_t k = i; k <= j; ++k) {
            double step = 1.0;
            if (byDistance)
                step = DistanceOf(trip.FirstRow + k) - DistanceOf(trip.FirstRow + k - 1);
            else if (byPlace)
                step =
                    DistanceKm(*stops_[rows[k - 1].Stop].Position, *stops_[rows[k].Stop].Position);
            at[k - i + 1] = at[k - i] + std::max(0.0, step);
        }
        const double total = at.back();
        for (std::size_t k = i; k < j; ++k) {
            const double share =
                total > 0 ? at[k - i + 1] / total : double(k - i + 1) / double(j - i + 1);
            arr[k] = dep[k] =
                dep[i - 1] + static_cast<std::int32_t>(std::lround(share * (arr[j] - dep[i - 1])));
            ++interpolated_;
        }
        i = j;
    }
    for (std::size_t i = begin; i < end; ++i) {
        const std::uint32_t station = stops_[rows[i].Stop].Station;
        if (!stations.empty() && stations.back() == station) {
            departures.back() = dep[i];
            continue;
        }
        stations.push_back(station);
        arrivals.push_back(arr[i]);
        departures.push_back(std::max(arr[i], dep[i]));
    }
    return stations.size() >= 2;
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

std::int32_t Minutes(std::int32_t seconds, bool &rounded) {
    if (seconds % 60 != 0)
        rounded = true;
    return (seconds + 30) / 60;
}

std::size_t TImporter::LineFor(const TRoute &route, std::uint32_t variant, std::size_t page) {
    const auto key =
        std::make_tuple(static_cast<std::uint32_t>(&route - routes_.data()), variant, page);
    if (const auto at = lineOf_.find(key); at != lineOf_.end())
        return at->second;
    std::string base = names_.LineName(route.Name);
    if (base.empty())
        base = names_.LineName("Linie " + route.Id);
    std::string name = base;
    for (int n = 2; std::find(lineNamesTaken_.begin(), lineNamesTaken_.end(), FoldCase(name)) !=
                    lineNamesTaken_.end();
         ++n)
        name = base + " (" + std::to_string(n) + ")";
    if (variant == 0 && page == 0 && Cp1252ToUtf8(name) != route.Name)
        Adapted("Linie " + Quoted(names_.Text(route.Name)) + Cp1252(": als ") + Quoted(name) +
                Cp1252(" übernommen (Name als Dateiname gültig und eindeutig)."));
    lineNamesTaken_.push_back(FoldCase(name));
    lines_.push_back({name, variant, route.Type, {}, {}});
    lineOf_.emplace(key, lines_.size() - 1);
    return lines_.size() - 1;
}

// The rows of one section: stations in route order (reversed in direction
// 2), a station where any journey's arrival and departure differ as a pair.
std::vector<std::string> TImporter::SectionRows(const TRouteMerge &merge, int direction,
                                                const std::vector<const TJourney *> &columns) {
    const TPattern &route = merge.Route();
    const std::size_t n = route.size();
    std::vector<bool> pair(n, false);
    for (const TJourney *journey : columns)
        for (const TJourneyStop &stop : journey->Stops)
            if (stop.Arrival != stop.Departure)
                pair[stop.Position] = true;
    // The cells of each station: arrival and departure of each column.
    std::vector<std::vector<std::pair<std::int32_t, std::int32_t>>> cells(
        n, std::vector<std::pair<std::int32_t, std::int32_t>>(columns.size(), {kNone, kNone}));
    std::vector<std::string> interval(columns.size());
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const TJourney *journey = columns[c];
        for (const TJourneyStop &stop : journey->Stops)
            cells[stop.Position][c] = {stop.Arrival + journey->Shift,
                                       stop.Departure + journey->Shift};
    }
    std::vector<std::string> rows;
    auto emit = [&](std::size_t position, int which) {
        std::string row = stations_[route[position]].Name;
        std::size_t kept = row.size();
        for (std::size_t c = 0; c < columns.size(); ++c) {
            row += ',';
            const TJourney *journey = columns[c];
            if (journey->IntervalMinutes > 0 && journey->Count == 0) {
                // The interval column beside its first journey.
                if (cells[position][c - 1].first != kNone)
                    row += std::to_string(journey->IntervalMinutes) + " Min";
            } else if (const auto [a, d] = cells[position][c]; a != kNone) {
                row += TimeText(which == 1 ? d : a);
            }
            if (row.back() != ',')
                kept = row.size();
        }
        row.resize(kept);
        rows.push_back(std::move(row));
    };
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t position = direction == 1 ? k : n - 1 - k;
        if (pair[position]) {
            emit(position, 0);
            emit(position, 1);
            ++pairs_;
        } else {
            emit(position, 1);
        }
    }
    return rows;
}

void TImporter::WriteSections(const TRoute &route, std::uint32_t variant, const TRouteMerge &merge,
                              std::map<std::pair<int, int>, std::vector<TJourney>> &sections) {
    for (auto &[key, journeys] : sections) {
        const auto [direction, group] = key;
        std::sort(journeys.begin(), journeys.end(),
                  [](const TJourney &a, const TJourney &b) { return a.First() < b.First(); });
        // An interval block stays one only when no other journey starts
        // between its first and last; else it is expanded.
        std::vector<TJourney> laid;
        for (std::size_t j = 0; j < journeys.size(); ++j) {
            TJourney &journey = journeys[j];
            if (journey.IntervalMinutes > 0) {
                const std::int32_t last =
                    journey.First() + (journey.Count - 1) * journey.IntervalMinutes;
                bool alone = true;
                for (std::size_t o = 0; o < journeys.size() && alone; ++o)
                    if (o != j && journeys[o].First() >= journey.First() &&
                        journeys[o].First() <= last)
                        alone = false;
                if (!alone) {
                    ++expandedFrequencies_;
                    --intervalBlocks_;
                    for (int k = 0; k < journey.Count; ++k) {
                        TJourney single = journey;
                        single.IntervalMinutes = 0;
                        single.Count = 1;
                        single.Shift = journey.Shift + k * journey.IntervalMinutes;
                        laid.push_back(std::move(single));
                    }
                    continue;
                }
            }
            laid.push_back(journey);
        }
        std::stable_sort(laid.begin(), laid.end(), [](const TJourney &a, const TJourney &b) {
            return a.First() < b.First();
        });
        // Columns: a block is its first journey, the interval and its last.
        std::vector<std::vector<const TJourney *>> pages(1);
        std::vector<std::unique_ptr<TJourney>> owned;
        for (const TJourney &journey : laid) {
            const std::size_t width = journey.IntervalMinutes > 0 ? 3 : 1;
            if (pages.back().size() + width > kMaxJourneys)
                pages.emplace_back();
            auto &page = pages.back();
            if (journey.IntervalMinutes > 0) {
                auto first = std::make_unique<TJourney>(journey);
                first->IntervalMinutes = 0;
                auto mark = std::make_unique<TJourney>();
                mark->IntervalMinutes = journey.IntervalMinutes;
                mark->Count = 0;
                auto last = std::make_unique<TJourney>(*first);
                last->Shift += (journey.Count - 1) * journey.IntervalMinutes;
                page.push_back(first.get());
                page.push_back(mark.get());
                page.push_back(last.get());
                owned.push_back(std::move(first));
                owned.push_back(std::move(mark));
                owned.push_back(std::move(last));
            } else {
                page.push_back(&journey);
            }
        }
        const std::string section =
            TimetableSectionName(direction, dayGroups_[static_cast<std::size_t>(group)].Name);
        for (std::size_t p = 0; p < pages.size(); ++p) {
            const std::size_t line = LineFor(route, variant, p);
            if (p > 0)
                Adapted("Linie " + Quoted(lines_[LineFor(route, variant, 0)].Name) + " [" +
                        section + Cp1252("]: mehr als 510 Fahrten, die weiteren in Linie ") +
                        Quoted(lines_[line].Name) + ".");
            lines_[line].Sections[section] = SectionRows(merge, direction, pages[p]);
        }
    }
}

// Each route's trips: patterns merged into routes (a second line where a
// pattern does not fit), journeys laid out per direction and day group.
bool TImporter::BuildLines() {
    for (auto &trip : trips_) {
        if (trip.Route == UINT32_MAX) {
            ++tripsUnknown_;
            continue;
        }
        routes_[trip.Route].Trips.push_back(static_cast<std::uint32_t>(&trip - trips_.data()));
    }
    std::vector<std::vector<std::uint32_t>> frequencyOf(trips_.size());
    for (std::uint32_t f = 0; f < frequencies_.size(); ++f)
        frequencyOf[frequencies_[f].Trip].push_back(f);
    std::size_t done = 0;
    for (TRoute &route : routes_) {
        if (!Progress(800 + 100 * done++ / std::max<std::size_t>(1, routes_.size())))
            return false;
        if (route.Trips.empty()) {
            NotHeld("Linie " + Quoted(names_.Text(route.Name)) +
                    Cp1252(": keine Fahrten, nicht übernommen."));
            continue;
        }
        // Patterns by how many trips use them: the commonest sets the order.
        struct TPiece {
            std::uint32_t Trip;
            std::size_t From, To; // stop range of the trip
            std::uint32_t Pattern;
        };
        std::map<TPattern, std::uint32_t> patternIndex;
        std::vector<TPattern> patterns;
        std::vector<std::size_t> uses;
        std::vector<int> patternDirection;
        std::vector<TPiece> pieces;
        std::vector<std::vector<std::uint32_t>> tripStations(route.Trips.size());
        std::vector<std::vector<std::int32_t>> tripArr(route.Trips.size()),
            tripDep(route.Trips.size());
        for (std::size_t i = 0; i < route.Trips.size(); ++i) {
            const TTrip &trip = trips_[route.Trips[i]];
            if (trip.Service == UINT32_MAX || services_[trip.Service].DayGroup < 0) {
                ++tripsWithoutService_;
                continue;
            }
            if (!TripStops(trip, tripStations[i], tripArr[i], tripDep[i])) {
                ++tripsWithoutTimes_;
                continue;
            }
            const TPattern &stations = tripStations[i];
            std::vector<TPattern> split;
            if (VisitsTwice(stations)) {
                split = SplitLoops(stations);
                Adapted("Linie " + Quoted(names_.Text(route.Name)) + ", Fahrt " +
                        Quoted(names_.Text(trip.Id)) +
                        Cp1252(": hält mehrmals an derselben Station, in ") +
                        std::to_string(split.size()) + Cp1252(" Fahrten geteilt."));
            }
            std::size_t from = 0;
            for (std::size_t p = 0; p < std::max<std::size_t>(1, split.size()); ++p) {
                const TPattern &piece = split.empty() ? stations : split[p];
                auto at = patternIndex.find(piece);
                if (at == patternIndex.end()) {
                    at = patternIndex.emplace(piece, static_cast<std::uint32_t>(patterns.size()))
                             .first;
                    patterns.push_back(piece);
                    uses.push_back(0);
                    patternDirection.push_back(trip.Direction);
                }
                ++uses[at->second];
                pieces.push_back(
                    {static_cast<std::uint32_t>(i), from, from + piece.size(), at->second});
                from += piece.size() - 1;
            }
        }
        if (patterns.empty()) {
            NotHeld("Linie " + Quoted(names_.Text(route.Name)) +
                    Cp1252(": keine Fahrt mit Verkehrstagen und Zeiten, nicht übernommen."));
            continue;
        }
        std::vector<std::uint32_t> order(patterns.size());
        std::iota(order.begin(), order.end(), 0U);
        std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
            if (uses[a] != uses[b])
                return uses[a] > uses[b];
            return patterns[a].size() > patterns[b].size();
        });
        std::vector<TRouteMerge> variants;
        std::vector<std::uint32_t> variantOf(patterns.size());
        std::vector<int> directionOf(patterns.size());
        for (const std::uint32_t p : order) {
            bool reversed = false;
            std::size_t v = 0;
            for (; v < variants.size(); ++v)
                if (variants[v].Add(patterns[p], patternDirection[p] == 1, reversed))
                    break;
            if (v == variants.size()) {
                variants.emplace_back();
                variants.back().Add(patterns[p], patternDirection[p] == 1, reversed);
                if (v > 0)
                    Adapted("Linie " + Quoted(names_.Text(route.Name)) + ": " +
                            std::to_string(uses[p]) +
                            Cp1252(" Fahrten in einer Stationsfolge, die nicht in den Linienweg "
                                   "passt, in einer eigenen Linie."));
            }
            variantOf[p] = static_cast<std::uint32_t>(v);
            directionOf[p] = reversed ? 2 : 1;
            if ((patternDirection[p] == 1) != reversed)
                reversedPieces_ += uses[p];
        }
        std::vector<std::map<std::pair<int, int>, std::vector<TJourney>>> sections(variants.size());
        for (const TPiece &piece : pieces) {
            const TTrip &trip = trips_[route.Trips[piece.Trip]];
            const TRouteMerge &merge = variants[variantOf[piece.Pattern]];
            const int direction = directionOf[piece.Pattern];
            TJourney journey;
            bool rounded = false;
            for (std::size_t k = piece.From; k < piece.To; ++k)
                journey.Stops.push_back(
                    {static_cast<std::uint32_t>(merge.PositionOf(tripStations[piece.Trip][k])),
                     Minutes(tripArr[piece.Trip][k], rounded),
                     Minutes(tripDep[piece.Trip][k], rounded)});
            if (rounded)
                ++rounded_;
            auto &list =
                sections[variantOf[piece.Pattern]][{direction, services_[trip.Service].DayGroup}];
            const auto &freq = frequencyOf[route.Trips[piece.Trip]];
            if (freq.empty()) {
                if (journey.Stops.front().Departure >= 1440)
                    ++afterMidnight_;
                list.push_back(std::move(journey));
                continue;
            }
            // A trip of frequencies.txt: its times shifted to each start.
            const std::int32_t base = tripDep[piece.Trip][0];
            for (const std::uint32_t f : freq) {
                const TFrequency &frequency = frequencies_[f];
                const std::int32_t count =
                    (frequency.End - frequency.Start + frequency.Headway - 1) / frequency.Headway;
                const bool whole = frequency.Headway % 60 == 0 && frequency.Start % 60 == 0 &&
                                   !rounded && base % 60 == 0;
                if (whole && count >= 3) {
                    TJourney block = journey;
                    block.Shift = (frequency.Start - base) / 60;
                    block.IntervalMinutes = frequency.Headway / 60;
                    block.Count = count;
                    ++intervalBlocks_;
                    list.push_back(std::move(block));
                    continue;
                }
                ++expandedFrequencies_;
                for (std::int32_t k = 0; k < count; ++k) {
                    TJourney single = journey;
                    bool r = false;
                    single.Shift = Minutes(frequency.Start + k * frequency.Headway - base, r);
                    if (r)
                        ++rounded_;
                    list.push_back(std::move(single));
                }
            }
        }
        for (std::uint32_t v = 0; v < variants.size(); ++v)
            if (!sections[v].empty())
                WriteSections(route, v, variants[v], sections[v]);
        // Each line of the route gets its variant's stations.
        const auto self = static_cast<std::uint32_t>(&route - routes_.data());
        for (const auto &[key, index] : lineOf_)
            if (std::get<0>(key) == self)
                lines_[index].Stations = variants[std::get<1>(key)].Route();
        std::vector<bool> taken(route.Trips.size(), false);
        for (const TPiece &piece : pieces)
            taken[piece.Trip] = true;
        report_.Trips += static_cast<std::size_t>(std::count(taken.begin(), taken.end(), true));
    }
    return true;
}

void TImporter::NameNotHeldFiles() {
    static const std::array<std::string_view, 8> kRead = {
        "agency.txt",   "stops.txt",          "routes.txt",     "trips.txt",
        "calendar.txt", "calendar_dates.txt", "stop_times.txt", "frequencies.txt"};
    for (const auto &file : feed_.Files()) {
        if (file == "shapes.txt") {
            NotHeld(Cp1252("shapes.txt: den Linienverlauf auf der Straße kennt das Projekt "
                           "nicht, nicht übernommen."));
            continue;
        }
        if (std::find(kRead.begin(), kRead.end(), file) != kRead.end())
            continue;
        std::string why = "kennt das Projekt nicht, nicht übernommen.";
        if (file == "transfers.txt")
            why = "Umsteigeregeln kennt das Projekt nicht, nicht übernommen.";
        else if (file.starts_with("fare"))
            why = "Tarife kennt das Projekt nicht, nicht übernommen.";
        NotHeld(names_.Text(file) + ": " + Cp1252(why));
    }
}

void TImporter::ReportCounts() {
    const auto n = [](std::size_t count) { return std::to_string(count); };
    if (droppedStops_ > 0)
        Adapted(n(droppedStops_) +
                Cp1252(" Halte ohne Zeit am Anfang oder Ende einer Fahrt weggelassen."));
    if (interpolated_ > 0)
        Adapted(n(interpolated_) +
                Cp1252(" fehlende Zeiten zwischen zwei Zeitpunkten ergänzt (nach Entfernung, wo "
                       "bekannt, sonst gleichmäßig)."));
    if (rounded_ > 0)
        Adapted(n(rounded_) + Cp1252(" Fahrten mit Sekunden in den Zeiten: auf Minuten gerundet."));
    if (afterMidnight_ > 0)
        Adapted(n(afterMidnight_) +
                Cp1252(" Fahrten beginnen nach 24:00 ihres Betriebstags: als Uhrzeit des Tages "
                       "übernommen."));
    if (reversedPieces_ > 0)
        Adapted(n(reversedPieces_) +
                Cp1252(" Fahrten (oder Teile) passen nur gegen den Linienweg: in der anderen "
                       "Richtung übernommen."));
    if (expandedFrequencies_ > 0)
        Adapted(n(expandedFrequencies_) +
                Cp1252(" Takte aus frequencies.txt als einzelne Fahrten eingetragen (Takt nicht "
                       "in ganzen Minuten oder andere Fahrten dazwischen)."));
    if (intervalBlocks_ > 0)
        Note(
            n(intervalBlocks_) +
            Cp1252(" Takte aus frequencies.txt als Taktspalte (erste Fahrt, Takt, letzte Fahrt)."));
    if (pairs_ > 0)
        Note(n(pairs_) + Cp1252(" Zeilenpaare (\"-\") für Stationen mit verschiedener "
                                "Ankunfts- und Abfahrtszeit."));
    if (tripsWithoutTimes_ > 0)
        NotHeld(n(tripsWithoutTimes_) +
                Cp1252(" Fahrten mit weniger als zwei Halten mit Zeit, nicht übernommen."));
    if (tripsWithoutService_ > 0)
        NotHeld(n(tripsWithoutService_) +
                Cp1252(" Fahrten ohne Verkehrstage (Dienst unbekannt oder ohne Tage), nicht "
                       "übernommen."));
    if (tripsUnknown_ > 0)
        NotHeld(n(tripsUnknown_) + Cp1252(" Fahrten zu unbekannten Linien, nicht übernommen."));
}

// Each file is written crash-safe, which waits for the disk: a few at once.
void TImporter::WriteTimetables() {
    std::atomic<std::size_t> next{0}, done{0};
    std::atomic<bool> stop{false};
    std::vector<std::exception_ptr> failures(kWriters);
    for (const auto &line : lines_)
        written_.push_back(TimetablePath(dir_, line.Name));
    auto writeOne = [&](std::size_t l) {
        TTimetableFile file(TimetablePath(dir_, lines_[l].Name));
        for (const auto &[section, rows] : lines_[l].Sections)
            file.WriteRows(section, rows);
        file.Save();
        ++done;
    };
    // Writer 0 is this thread: it also tells the progress between its files.
    auto work = [&](std::size_t writer) {
        try {
            for (std::size_t l; !stop && (l = next++) < lines_.size();) {
                if (writer == 0 &&
                    !Progress(900 + 90 * done / std::max<std::size_t>(1, lines_.size()))) {
                    stop = true;
                    break;
                }
                writeOne(l);
            }
        } catch (...) {
            failures[writer] = std::current_exception();
            stop = true;
        }
    };
    std::vector<std::thread> writers;
    for (std::size_t w = 1; w < kWriters; ++w)
        writers.emplace_back(work, w);
    work(0);
    for (auto &writer : writers)
        writer.join();
    for (const auto &failure : failures)
        if (failure)
            std::rethrow_exception(failure);
}

void TImporter::WriteFiles() {
    auto track = [&](std::string_view file) { written_.push_back(ProjectPath(dir_, file)); };
    TStringList stationNames;
    for (const auto &station : stations_)
        stationNames.push_back(station.Name);
    track(kStationsFile);
    SaveNameList(dir_, kStationsFile, stationNames);
    TStringList lineNames, routes;
    std::vector<TStringList> servedBy(stations_.size());
    for (const auto &line : lines_) {
        lineNames.push_back(line.Name);
        TStringList stations;
        for (const auto s : line.Stations) {
            stations.push_back(stations_[s].Name);
            servedBy[s].push_back(line.Name);
        }
        routes.push_back(line.Name + "=" + JoinList(stations));
    }
    track(kLinesFile);
    SaveNameList(dir_, kLinesFile, lineNames);
    track(kLineStationsFile);
    SaveNameList(dir_, kLineStationsFile, routes);
    TStringList index;
    for (std::size_t s = 0; s < stations_.size(); ++s)
        if (!servedBy[s].empty())
            index.push_back(stations_[s].Name + "=" + JoinList(servedBy[s]));
    track(kStationLinesFile);
    SaveNameList(dir_, kStationLinesFile, index);
    TStationDataList data;
    for (const auto &station : stations_)
        if (station.Position || !station.Zone.empty())
            data.push_back({station.Name, {station.Position, station.Zone, {}}});
    track(kStationDataFile);
    SaveStationData(dir_, data);
    // The commonest vehicle type is the project's, the others the lines' own.
    std::map<int, std::size_t> types;
    for (const auto &line : lines_)
        ++types[line.Type];
    std::size_t most = 0;
    for (const auto &[type, count] : types)
        if (count > most) {
            most = count;
            publishing_.RouteType = type;
        }
    // line_data.csv ("Line=route_type") written once, only when a line has its own.
    TStringList ownTypes;
    for (const auto &line : lines_)
        if (line.Type != publishing_.RouteType)
            ownTypes.push_back(line.Name + "=" + std::to_string(line.Type));
    if (!ownTypes.empty()) {
        track(kLineDataFile);
        SaveTextList(ProjectPath(dir_, kLineDataFile), ownTypes);
    }
    WriteTimetables();
    if (cancelled_)
        return;
    // The project file last: the project exists once it does.
    TPrjParams params;
    params.DayGroups = dayGroups_;
    params.Publishing = publishing_;
    params.StationFields.TarifZone = std::any_of(stations_.begin(), stations_.end(),
                                                 [](const TStation &s) { return !s.Zone.empty(); });
    written_.push_back(projectPath_);
    SaveProjectFile(projectPath_, params);
}

// All or nothing: a failed or cancelled write takes back what it wrote.
void TImporter::Write() {
    std::error_code error;
    if (!std::filesystem::exists(dir_, error)) {
        if (!std::filesystem::create_directories(dir_, error))
            ThrowCannotWrite(dir_);
        madeDir_ = true;
    }
    auto takeBack = [&] {
        for (const auto &path : written_)
            RemoveFile(path);
        if (madeDir_)
            std::filesystem::remove(dir_, error);
    };
    try {
        WriteFiles();
    } catch (...) {
        takeBack();
        throw;
    }
    if (cancelled_)
        takeBack();
}

TImportReport TImporter::Run() {
    CheckImportTarget(projectPath_);
    if (!Progress(0))
        return report_.Cancelled = true, report_;
    ReadAgency();
    ReadStops();
    MakeStations();
    ReadRoutes();
    ReadServices();
    MakeDayGroups();
    ReadTrips();
    if (!Progress(50) || !ReadStopTimes()) {
        report_.Cancelled = true;
        return report_;
    }
    ReadFrequencies();
    if (!BuildLines()) {
        report_.Cancelled = true;
        return report_;
    }
    rows_ = {};
    NameNotHeldFiles();
    ReportCounts();
    Write();
    if (cancelled_) {
        report_.Cancelled = true;
        return report_;
    }
    Progress(kProgressTotal);
    report_.Stations = stations_.size();
    report_.Lines = lines_.size();
    report_.DayGroups = dayGroups_.size();
    return report_;
}

} // namespace

void CheckImportTarget(const std::string &projectPath) {
    const std::string dir = DirectoryOf(projectPath);
    std::error_code error;
    if (!std::filesystem::exists(dir, error))
        return;
    bool project = FileExists(ProjectPath(dir, kStationsFile)) ||
                   FileExists(ProjectPath(dir, kLinesFile)) || FileExists(projectPath);
    for (const auto &entry : std::filesystem::directory_iterator(dir, error))
        if (entry.path().extension() == ".zpr")
            project = true;
    if (project)
        throw TaktonError(Cp1252("Im Ordner ") + PathForMessage(dir) +
                          Cp1252(" liegt schon ein Projekt. Ein GTFS-Import braucht einen neuen "
                                 "oder leeren Ordner."));
}

TImportReport ImportGtfs(const std::string &feedPath, const std::string &projectPath,
                         const TImportProgress &progress) {
    CheckImportTarget(projectPath);
    return TImporter(feedPath, projectPath, progress).Run();
}

} // namespace takton::gtfs
