#include "core/gtfs/gtfs_feed.h"

#include "core/calendar/operating_calendar.h"
#include "core/gtfs/gtfs_text.h"
#include "core/model/footnotes.h"
#include "core/model/interval_runs.h"
#include "core/model/line_data.h"
#include "core/model/master_data.h"
#include "core/model/project_rules.h"
#include "core/model/station_data.h"
#include "core/model/timetable_check.h"
#include "core/model/timetable_file.h"
#include "core/util/cp1252.h"
#include "core/util/error.h"
#include "core/util/large_allocator.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <limits>
#include <map>
#include <unordered_map>

namespace takton::gtfs {
namespace {

constexpr int kNoTime = -1;
constexpr std::size_t kNotStored = std::numeric_limits<std::size_t>::max();
constexpr std::string_view kStopTimesHeader =
    "trip_id,arrival_time,departure_time,stop_id,stop_sequence\r\n";

// stop_times.txt kept as its trips' times and written out while the zip
// asks for it: a quarter of the text's memory, and the text never leaves
// the processor's cache.
class TStopTimesStream final : public TZipStream {
  public:
    struct TRow {
        std::uint32_t Group; // stop group in its section; stop_sequence is Group + 1
        std::int32_t Arrival;
        std::int32_t Departure;
    };
    struct TTrip {
        std::size_t IdBegin; // in TripIds
        std::size_t FirstRow;
        std::size_t FirstStop; // in SectionStops, the section's group 0
        std::uint32_t IdSize;
        std::uint32_t Rows;
        int Shift;
    };

    std::string TripIds;
    std::vector<TTrip, TLargeAllocator<TTrip>> Trips;
    std::vector<TRow, TLargeAllocator<TRow>> Rows;
    std::vector<std::uint32_t> SectionStops; // served stop of each section's groups
    std::vector<std::string> StopIds;        // by served stop
    std::uint64_t Bytes = kStopTimesHeader.size();

    std::uint64_t Size() const override { return Bytes; }
    void Rewind() override {
        next_ = 0;
        used_ = at_ = 0;
        header_ = false;
        longestStopId_ = 0;
        for (const auto &id : StopIds)
            longestStopId_ = std::max(longestStopId_, id.size());
    }
    std::size_t Read(char *out, std::size_t size) override {
        std::size_t given = 0;
        while (given < size) {
            if (at_ == used_ && !Refill())
                break;
            const std::size_t n = std::min(size - given, used_ - at_);
            std::memcpy(out + given, chunk_.data() + at_, n);
            at_ += n;
            given += n;
        }
        return given;
    }

  private:
    static constexpr std::size_t kChunk = 64 * 1024;

    bool Refill() {
        used_ = at_ = 0;
        if (!header_) {
            Room(kStopTimesHeader.size());
            std::memcpy(chunk_.data(), kStopTimesHeader.data(), kStopTimesHeader.size());
            used_ = kStopTimesHeader.size();
            header_ = true;
        }
        while (used_ < kChunk && next_ < Trips.size())
            WriteTrip(Trips[next_++]);
        return used_ > 0;
    }
    void Room(std::size_t bytes) {
        if (chunk_.size() < used_ + bytes)
            chunk_.resize(std::max(used_ + bytes, kChunk + kChunk / 2));
    }
    void WriteTrip(const TTrip &trip) {
        // Times of up to ten hour digits, a sequence of up to ten digits.
        Room(trip.Rows * (trip.IdSize + longestStopId_ + 2 * 16 + 10 + 6));
        char *out = chunk_.data() + used_;
        const char *id = TripIds.data() + trip.IdBegin;
        for (std::size_t r = trip.FirstRow; r < trip.FirstRow + trip.Rows; ++r) {
            const TRow &row = Rows[r];
            std::memcpy(out, id, trip.IdSize);
            out += trip.IdSize;
            *out++ = ',';
            out = WriteGtfsTime(out, row.Arrival + trip.Shift);
            *out++ = ',';
            out = WriteGtfsTime(out, row.Departure + trip.Shift);
            *out++ = ',';
            const std::string &stop = StopIds[SectionStops[trip.FirstStop + row.Group]];
            std::memcpy(out, stop.data(), stop.size());
            out += stop.size();
            *out++ = ',';
            out = WriteDecimal(out, row.Group + 1ULL);
            *out++ = '\r';
            *out++ = '\n';
        }
        used_ = static_cast<std::size_t>(out - chunk_.data());
    }

    std::vector<char> chunk_;
    std::size_t used_ = 0, at_ = 0, next_ = 0, longestStopId_ = 0;
    bool header_ = false;
};

std::string Quoted(std::string_view name) {
    return "\"" + std::string(name) + "\"";
}

bool IsDigitChar(char c) {
    return c >= '0' && c <= '9';
}

// The common cell "08:05" or "8:05" read without the general cell rules
// (which agree); false for every other text.
bool ReadPlainTime(std::string_view cell, int &minutes) {
    if (cell.size() != 4 && cell.size() != 5)
        return false;
    const std::size_t hourDigits = cell.size() - 3;
    if (cell[hourDigits] != ':')
        return false;
    for (std::size_t i = 0; i < cell.size(); ++i)
        if (i != hourDigits && !IsDigitChar(cell[i]))
            return false;
    const int hour = hourDigits == 2 ? (cell[0] - '0') * 10 + (cell[1] - '0') : cell[0] - '0';
    const int minute = (cell[hourDigits + 1] - '0') * 10 + (cell[hourDigits + 2] - '0');
    if (hour > 23 || minute > 59)
        return false;
    minutes = hour * 60 + minute;
    return true;
}

// Consecutive rows of one station: one stop, arrival from the first row's
// time, departure from the last's.
struct TStopGroup {
    std::string_view Station;
    std::size_t FirstRow = 0;
    std::size_t LastRow = 0;
    int Stop = -1; // index into the served stops, once served
};

struct TStopTime {
    std::size_t Group;
    int Arrival;
    int Departure;
};

struct TJourney {
    std::vector<TStopTime> Stops;
    int IntervalMinutes = -1; // an interval column: its minutes
    std::size_t Times = 0;
    std::size_t Stored = kNotStored; // its first row in the stop_times stream
};

struct TServedStop {
    std::string Id;
    std::string Name;
};

TDateRange ValidityOf(const TPublishing &publishing) {
    const auto period = calendar::ValidityPeriod(publishing);
    if (!period)
        throw TaktonError(Cp1252("Für den GTFS-Export fehlt ein gültiger Gültigkeitszeitraum."));
    return *period;
}

// One timetable section being read: its rows split into station and cells.
struct TSectionGrid {
    std::vector<std::string_view> Stations;
    std::vector<std::vector<std::string_view>> Cells;
    std::size_t Columns = 0;

    void Read(const TTimetableRows &rows) {
        Stations.clear();
        Cells.resize(rows.size());
        Columns = 0;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            std::string_view row = rows[r];
            const std::size_t comma = row.find(',');
            Stations.push_back(row.substr(0, comma));
            auto &cells = Cells[r];
            cells.clear();
            if (comma == std::string_view::npos)
                continue;
            row.remove_prefix(comma + 1);
            for (;;) {
                const std::size_t next = row.find(',');
                cells.push_back(row.substr(0, next));
                if (next == std::string_view::npos)
                    break;
                row.remove_prefix(next + 1);
            }
            Columns = std::max(Columns, cells.size());
        }
    }
    std::string_view Cell(std::size_t row, std::size_t col) const {
        const auto &cells = Cells[row];
        return col < cells.size() ? cells[col] : std::string_view();
    }
};

class TFeedBuilder {
  public:
    TFeedBuilder(const std::string &dir, const TPrjParams &params)
        : dir_(dir), params_(params), publishing_(params.Publishing),
          stationData_(LoadStationData(dir)), routeTypes_(LoadLineRouteTypes(dir)),
          footnotes_(LoadFootnotes(dir)), period_(ValidityOf(params.Publishing)),
          calendar_(params.Calendar, period_) {
        for (const auto &station : LoadNameList(dir, kStationsFile))
            RegisterStation(station);
        // The day groups' names first, so that a timetable without footnotes
        // keeps the service ids it always had.
        for (const auto &group : params.DayGroups)
            serviceIds_.push_back(serviceIdSet_.Take(group.Name));
        for (std::size_t g = 0; g < params.DayGroups.size(); ++g)
            ServiceFor(static_cast<int>(g), "");
        trips_.Csv = "route_id,service_id,trip_id,direction_id\r\n";
        routes_.Csv = "route_id,agency_id,route_short_name,route_type\r\n";
    }

    TFeed Build(const std::string &versionText, const TExportProgress &progress);

  private:
    struct TLineFile {
        std::string Line;
        std::string Path;
        std::vector<std::string> Sections;
    };

    void RegisterStation(const std::string &name) {
        if (stationIds_.contains(name))
            return;
        const std::string id = stopIdSet_.Take(name);
        stationIds_.emplace(name, id);
        stationIdsCi_.emplace(FoldCase(name), id);
    }
    std::vector<TLineFile> LoadTimetables();
    void ExportSection(const std::string &line, const std::string &routeId,
                       const std::string &section, const TTimetableFile &file);
    void ReadJourney(std::size_t col, const std::string &line, int direction,
                     std::string_view dayGroup, TJourney &journey) const;
    void EmitTrip(TJourney &journey, int shift, std::string_view tripId,
                  std::string_view tripsPrefix);
    void ExpandInterval(std::size_t col, std::vector<TJourney> &journeys,
                        const std::string &tripBase, std::string_view tripsPrefix,
                        const std::string &where, int nightShift);
    int StopOf(TStopGroup &group);
    void Skip(std::string text) { report_.Skipped.push_back(std::move(text)); }
    TFeedFile StopsFile();
    TFeedFile CalendarFile() const;
    TFeedFile CalendarDatesFile() const;
    // The service of a day group's journeys with this footnote (empty: none):
    // one per distinct pattern of operating days; -1 when they never run in
    // the validity period.
    int ServiceFor(int group, const std::string &footnote);
    // The weekdays calendar.txt gives a service: those on which it runs more
    // often than not; the rest are exceptions.
    std::array<bool, kWeekDayCount> ServiceWeekdays(const std::string &days) const;
    TFeedFile AgencyFile() const;
    TFeedFile FeedInfoFile(const std::string &versionText) const;

    const std::string &dir_;
    const TPrjParams &params_;
    const TPublishing &publishing_;
    const TStationDataList stationData_;
    const TLineRouteTypes routeTypes_;
    TIdSet stopIdSet_, serviceIdSet_, routeIdSet_;
    std::unordered_map<std::string, std::string> stationIds_, stationIdsCi_;
    const TFootnoteList footnotes_;
    const TDateRange period_;
    const calendar::TOperatingCalendar calendar_;
    std::vector<std::string> serviceIds_; // by day group
    struct TService {
        std::string Id;
        std::string Days; // '1' or '0' for each day of the validity period
        bool Used = false;
    };
    std::vector<TService> services_;
    std::unordered_map<std::string, int> serviceByDays_;
    std::map<std::pair<int, std::string>, int> serviceByGroup_;
    std::unordered_map<std::string, int> stopIndex_; // by stop id
    std::vector<TServedStop> served_;
    TFeedFile trips_{"trips.txt", {}, 0, {}}, routes_{"routes.txt", {}, 0, {}};
    std::unique_ptr<TStopTimesStream> stopTimes_ = std::make_unique<TStopTimesStream>();
    std::size_t stopTimeRows_ = 0;
    std::size_t sectionStops_ = 0; // the section's group 0 in stopTimes_->SectionStops
    TExportReport report_;
    std::size_t lineTrips_ = 0;
    std::uintmax_t timetableBytes_ = 0;
    char direction_ = '0'; // direction_id of the section being read
    // Scratch of one section, kept to spare allocations.
    TSectionGrid grid_;
    std::vector<TStopGroup> groups_;
    std::vector<TJourney> journeys_;
};

std::vector<TFeedBuilder::TLineFile> TFeedBuilder::LoadTimetables() {
    std::vector<TLineFile> files;
    std::vector<std::string> known;
    for (const auto &line : LoadNameList(dir_, kLinesFile)) {
        const std::string path = TimetablePath(dir_, line);
        known.push_back(path);
        TTimetableFile file(path);
        auto sections = file.Sections();
        if (sections.empty()) {
            Skip("Linie " + Quoted(line) + ": kein Fahrplan, nicht exportiert.");
            continue;
        }
        std::error_code error;
        timetableBytes_ += std::filesystem::file_size(path, error);
        files.push_back({line, path, std::move(sections)});
    }
    for (const auto &path : TimetableFilePaths(dir_))
        if (std::find(known.begin(), known.end(), path) == known.end())
            Skip(Utf8ToCp1252Lossy(path.substr(path.find_last_of('/') + 1)) +
                 ": Fahrplan einer Linie, die nicht in " + std::string(kLinesFile) +
                 " steht, nicht exportiert.");
    return files;
}

int TFeedBuilder::StopOf(TStopGroup &group) {
    if (group.Stop >= 0)
        return group.Stop;
    const std::string name(group.Station);
    auto found = stationIds_.find(name);
    if (found == stationIds_.end()) {
        found = stationIdsCi_.find(FoldCase(name));
        if (found == stationIdsCi_.end()) {
            RegisterStation(name);
            found = stationIds_.find(name);
        }
    }
    const auto [at, added] = stopIndex_.emplace(found->second, static_cast<int>(served_.size()));
    if (added)
        served_.push_back({found->second, name});
    group.Stop = at->second;
    return group.Stop;
}

// A time of the journey, kept increasing past midnight.
void AddTime(TJourney &journey, int at, int &last, int &arrival, int &departure) {
    if (journey.Times > 0)
        while (at < last)
            at += 1440;
    last = at;
    ++journey.Times;
    if (arrival == kNoTime)
        arrival = at;
    departure = at;
}

void TFeedBuilder::ReadJourney(std::size_t col, const std::string &line, int direction,
                               std::string_view dayGroup, TJourney &journey) const {
    journey.Stops.clear();
    journey.IntervalMinutes = -1;
    journey.Times = 0;
    journey.Stored = kNotStored;
    int last = 0;
    for (std::size_t g = 0; g < groups_.size(); ++g) {
        const TStopGroup &group = groups_[g];
        int arrival = kNoTime, departure = kNoTime;
        for (std::size_t r = group.FirstRow; r <= group.LastRow; ++r) {
            const std::string_view cell = grid_.Cell(r, col);
            int at = 0;
            if (cell.empty())
                continue;
            if (ReadPlainTime(cell, at)) {
                AddTime(journey, at, last, arrival, departure);
                continue;
            }
            const std::string text = TrimCellText(cell);
            const TCellKind kind = CellTextKind(text);
            if (kind == TCellKind::Empty)
                continue;
            if (kind == TCellKind::Other)
                throw TaktonError("Linie " + line + ", Richtung " + std::to_string(direction) +
                                  ", Tagesgruppe " + std::string(dayGroup) + ", Fahrt " +
                                  std::to_string(col + 1) + ", Station " +
                                  std::string(group.Station) + ": " + Quoted(text) +
                                  Cp1252(" ist weder eine Zeit noch ein Takt; der Export ist "
                                         "nicht möglich."));
            if (kind == TCellKind::Interval) {
                if (journey.IntervalMinutes < 0)
                    journey.IntervalMinutes = GetIntervalMinutes(text);
                continue;
            }
            int hour = 0, minute = 0;
            ParseTime(text, hour, minute);
            AddTime(journey, hour * 60 + minute, last, arrival, departure);
        }
        if (arrival != kNoTime)
            journey.Stops.push_back({g, arrival, departure});
    }
}

void TFeedBuilder::EmitTrip(TJourney &journey, int shift, std::string_view tripId,
                            std::string_view tripsPrefix) {
    std::string &trips = trips_.Csv;
    trips += tripsPrefix;
    trips += tripId;
    trips += ',';
    trips += direction_;
    trips += "\r\n";
    ++trips_.Rows;
    TStopTimesStream &out = *stopTimes_;
    if (journey.Stored == kNotStored) {
        journey.Stored = out.Rows.size();
        for (const auto &stop : journey.Stops)
            out.Rows.push_back(
                {static_cast<std::uint32_t>(stop.Group), stop.Arrival, stop.Departure});
    }
    out.Trips.push_back({out.TripIds.size(), journey.Stored, sectionStops_,
                         static_cast<std::uint32_t>(tripId.size()),
                         static_cast<std::uint32_t>(journey.Stops.size()), shift});
    out.TripIds += tripId;
    // Counted here so the zip knows the file's size before it is written.
    for (const auto &stop : journey.Stops) {
        const int index = StopOf(groups_[stop.Group]);
        out.SectionStops[sectionStops_ + stop.Group] = static_cast<std::uint32_t>(index);
        out.Bytes += tripId.size() + GtfsTimeLength(stop.Arrival + shift) +
                     GtfsTimeLength(stop.Departure + shift) +
                     served_[static_cast<std::size_t>(index)].Id.size() +
                     DecimalLength(stop.Group + 1) + 6;
    }
    stopTimeRows_ += journey.Stops.size();
    ++lineTrips_;
}

void TFeedBuilder::ExpandInterval(std::size_t col, std::vector<TJourney> &journeys,
                                  const std::string &tripBase, std::string_view tripsPrefix,
                                  const std::string &where, int nightShift) {
    const int minutes = journeys[col].IntervalMinutes;
    const std::string what = where + ", Takt in Fahrt " + std::to_string(col + 1);
    auto isJourney = [&](std::size_t c) {
        return journeys[c].IntervalMinutes < 0 && !journeys[c].Stops.empty();
    };
    if (minutes <= 0) {
        Skip(what + ": ein Takt von 0 Minuten ergibt keine Fahrten.");
        return;
    }
    const auto sides = IntervalNeighbours(col, journeys.size(), isJourney);
    if (!sides) {
        bool journeyLeft = false;
        for (std::size_t c = 0; c < col && !journeyLeft; ++c)
            journeyLeft = isJourney(c);
        Skip(what + ": keine Fahrt " + (journeyLeft ? "rechts" : "links") +
             " davon, keine Fahrten daraus exportiert.");
        return;
    }
    TJourney &first = journeys[sides->first];
    const TJourney &next = journeys[sides->second];
    if (first.Stops.size() < 2)
        return; // reported as a journey of one stop already
    // Compared where both journeys stop, else at their first stops.
    int from = first.Stops.front().Departure, to = next.Stops.front().Departure;
    for (const auto &a : first.Stops) {
        const auto b = std::find_if(next.Stops.begin(), next.Stops.end(),
                                    [&](const TStopTime &s) { return s.Group == a.Group; });
        if (b != next.Stops.end()) {
            from = a.Departure;
            to = b->Departure;
            break;
        }
    }
    std::string tripId;
    int k = 0;
    for (const int shift : IntervalShifts(from, to, minutes)) {
        tripId = tripBase;
        tripId += std::to_string(col + 1);
        tripId += '-';
        tripId += std::to_string(++k);
        EmitTrip(first, shift + nightShift, tripId, tripsPrefix);
    }
}

int TFeedBuilder::ServiceFor(int group, const std::string &footnote) {
    const auto key = std::make_pair(group, footnote);
    if (const auto found = serviceByGroup_.find(key); found != serviceByGroup_.end())
        return found->second;
    const TDayGroupItem &item = params_.DayGroups[static_cast<std::size_t>(group)];
    const TFootnote *note = footnote.empty() ? nullptr : FindFootnote(footnotes_, footnote);
    std::string days(static_cast<std::size_t>(period_.Last.Day - period_.First.Day + 1), '0');
    bool runs = false;
    for (std::size_t i = 0; i < days.size(); ++i)
        if (calendar::JourneyRuns(calendar_, item.Days, note,
                                  period_.First + static_cast<long>(i))) {
            days[i] = '1';
            runs = true;
        }
    int service = -1;
    if (runs) {
        const auto [at, added] = serviceByDays_.emplace(days, static_cast<int>(services_.size()));
        if (added)
            services_.push_back({footnote.empty() ? serviceIds_[static_cast<std::size_t>(group)]
                                                  : serviceIdSet_.Take(item.Name + "_" + footnote),
                                 std::move(days), false});
        service = at->second;
    }
    serviceByGroup_.emplace(key, service);
    return service;
}

void TFeedBuilder::ExportSection(const std::string &line, const std::string &routeId,
                                 const std::string &section, const TTimetableFile &file) {
    const std::string where = "Linie " + Quoted(line) + " [" + section + "]";
    if (section.size() < 2 || (section[0] != '1' && section[0] != '2') || section[1] != '_') {
        Skip(where + ": weder Richtung 1 noch 2, nicht exportiert.");
        return;
    }
    const std::string_view dayGroup = std::string_view(section).substr(2);
    const int group = IndexOfDayGroup(params_, dayGroup);
    if (group < 0) {
        Skip(where + ": die Tagesgruppe " + Quoted(dayGroup) +
             " gibt es im Projekt nicht, nicht exportiert.");
        return;
    }
    const TDayGroupItem &item = params_.DayGroups[static_cast<std::size_t>(group)];
    if (item.Days == 0) {
        Skip(where + ": die Tagesgruppe " + Quoted(item.Name) +
             Cp1252(" hat keine Wochentage, nicht exportiert."));
        return;
    }
    const int direction = section[0] - '0';
    direction_ = direction == 1 ? '0' : '1';
    const TTimetableRows rows = file.ReadRows(section);
    grid_.Read(rows);
    groups_.clear();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (!groups_.empty() && groups_.back().Station == grid_.Stations[r])
            groups_.back().LastRow = r;
        else
            groups_.push_back({grid_.Stations[r], r, r, -1});
    }
    sectionStops_ = stopTimes_->SectionStops.size();
    stopTimes_->SectionStops.resize(sectionStops_ + groups_.size());
    journeys_.resize(grid_.Columns);
    for (std::size_t c = 0; c < grid_.Columns; ++c)
        ReadJourney(c, line, direction, dayGroup, journeys_[c]);

    const std::string &serviceId = serviceIds_[static_cast<std::size_t>(group)];
    const std::string tripBase = routeId + "_" + std::to_string(direction) + "_" + serviceId + "_";
    const TJourneyMarkList marks = file.ReadJourneyMarks(section);
    const TJourneyMarks none;
    std::string tripId, tripsPrefix;
    int prefixService = -2;
    for (std::size_t c = 0; c < grid_.Columns; ++c) {
        TJourney &journey = journeys_[c];
        const bool interval = journey.IntervalMinutes >= 0;
        if (!interval && journey.Stops.size() < 2) {
            if (journey.Stops.size() == 1)
                Skip(where + ", Fahrt " + std::to_string(c + 1) +
                     Cp1252(": nur eine Station mit Zeit, keine Fahrt für GTFS."));
            continue;
        }
        // The trips of an interval run on the days of the journey they repeat.
        std::size_t owner = c;
        if (interval) {
            auto isJourney = [&](std::size_t k) {
                return journeys_[k].IntervalMinutes < 0 && !journeys_[k].Stops.empty();
            };
            if (const auto sides = IntervalNeighbours(c, journeys_.size(), isJourney))
                owner = sides->first;
        }
        const TJourneyMarks &mark = owner < marks.size() ? marks[owner] : none;
        if (!mark.Footnote.empty() && !FindFootnote(footnotes_, mark.Footnote))
            throw TaktonError(where + ", Fahrt " + std::to_string(owner + 1) +
                              Cp1252(": die Fußnote \"") + mark.Footnote +
                              Cp1252("\" gibt es im Projekt nicht; der Export ist nicht möglich."));
        const int service = ServiceFor(group, mark.Footnote);
        if (service < 0) {
            Skip(where + ", Fahrt " + std::to_string(c + 1) +
                 Cp1252(": fährt im Gültigkeitszeitraum an keinem Tag, nicht exportiert."));
            continue;
        }
        if (service != prefixService) {
            tripsPrefix = routeId + "," + services_[static_cast<std::size_t>(service)].Id + ",";
            prefixService = service;
        }
        const std::size_t before = lineTrips_;
        const int nightShift = calendar::RunMinutes(0, mark.PreviousDayNight);
        if (interval) {
            if (journey.Times > 0)
                Skip(where + ", Fahrt " + std::to_string(c + 1) +
                     ": Zeiten neben einem Takt, nur der Takt exportiert.");
            ExpandInterval(c, journeys_, tripBase, tripsPrefix, where, nightShift);
        } else {
            tripId = tripBase;
            tripId += std::to_string(c + 1);
            EmitTrip(journey, nightShift, tripId, tripsPrefix);
        }
        if (lineTrips_ > before)
            services_[static_cast<std::size_t>(service)].Used = true;
    }
}

TFeedFile TFeedBuilder::StopsFile() {
    TFeedFile file{"stops.txt", "stop_id,stop_name,stop_lat,stop_lon,zone_id\r\n", 0, {}};
    std::vector<std::string> missing;
    bool rings = false;
    for (const auto &stop : served_) {
        const TStationData *data = FindStationData(stationData_, stop.Name);
        if (!data || !data->Position) {
            missing.push_back(Quoted(stop.Name));
            continue;
        }
        rings = rings || !data->Ring.empty();
        file.Csv += stop.Id;
        file.Csv += ',';
        AppendCsvField(file.Csv, Cp1252ToUtf8(stop.Name));
        file.Csv += ',' + FormatCoordinate(data->Position->Lat) + ',' +
                    FormatCoordinate(data->Position->Lon) + ',';
        AppendCsvField(file.Csv, Cp1252ToUtf8(data->Zone));
        file.Csv += "\r\n";
        ++file.Rows;
    }
    if (!missing.empty()) {
        std::string list;
        for (const auto &name : missing)
            list += (list.empty() ? "" : ", ") + name;
        throw TaktonError("Diese Stationen werden angefahren, haben aber keine Geo-Position: " +
                          list + Cp1252(". Ohne sie ist der GTFS-Export nicht möglich."));
    }
    if (rings)
        Skip("Tarifringe der Stationen: GTFS kennt sie nicht, nicht exportiert.");
    return file;
}

TFeedFile TFeedBuilder::CalendarFile() const {
    TFeedFile file{"calendar.txt",
                   "service_id,monday,tuesday,wednesday,thursday,friday,saturday,sunday,"
                   "start_date,end_date\r\n",
                   0,
                   {}};
    for (const TService &service : services_) {
        if (!service.Used)
            continue;
        file.Csv += service.Id;
        for (const bool runs : ServiceWeekdays(service.Days))
            file.Csv += runs ? ",1" : ",0";
        file.Csv += ',' + publishing_.FirstDate + ',' + publishing_.LastDate + "\r\n";
        ++file.Rows;
    }
    return file;
}

std::array<bool, kWeekDayCount> TFeedBuilder::ServiceWeekdays(const std::string &days) const {
    std::array<int, kWeekDayCount> all{}, running{};
    const int first = WeekdayOf(period_.First);
    for (std::size_t i = 0; i < days.size(); ++i) {
        const std::size_t weekday = (static_cast<std::size_t>(first) + i) % kWeekDayCount;
        ++all[weekday];
        running[weekday] += days[i] == '1';
    }
    std::array<bool, kWeekDayCount> weekdays{};
    for (std::size_t d = 0; d < weekdays.size(); ++d)
        weekdays[d] = running[d] * 2 > all[d];
    return weekdays;
}

TFeedFile TFeedBuilder::CalendarDatesFile() const {
    TFeedFile file{"calendar_dates.txt", "service_id,date,exception_type\r\n", 0, {}};
    for (const TService &service : services_) {
        if (!service.Used)
            continue;
        const auto weekdays = ServiceWeekdays(service.Days);
        for (std::size_t i = 0; i < service.Days.size(); ++i) {
            const TDate date = period_.First + static_cast<long>(i);
            const bool runs = service.Days[i] == '1';
            if (runs == weekdays[static_cast<std::size_t>(WeekdayOf(date))])
                continue;
            file.Csv += service.Id + "," + CompactDateText(date) + (runs ? ",1\r\n" : ",2\r\n");
            ++file.Rows;
        }
    }
    return file;
}

TFeedFile TFeedBuilder::AgencyFile() const {
    TFeedFile file{
        "agency.txt", "agency_id,agency_name,agency_url,agency_timezone,agency_lang\r\n", 1, {}};
    file.Csv += "1,";
    AppendCsvField(file.Csv, Cp1252ToUtf8(publishing_.AgencyName));
    file.Csv += ',';
    AppendCsvField(file.Csv, Cp1252ToUtf8(publishing_.AgencyUrl));
    file.Csv += ',';
    AppendCsvField(file.Csv, Cp1252ToUtf8(publishing_.Timezone));
    file.Csv += ',';
    AppendCsvField(file.Csv, Cp1252ToUtf8(publishing_.Language));
    file.Csv += "\r\n";
    return file;
}

TFeedFile TFeedBuilder::FeedInfoFile(const std::string &versionText) const {
    TFeedFile file{"feed_info.txt",
                   "feed_publisher_name,feed_publisher_url,feed_lang,feed_start_date,"
                   "feed_end_date,feed_version\r\n",
                   1,
                   {}};
    AppendCsvField(file.Csv, Cp1252ToUtf8(publishing_.AgencyName));
    file.Csv += ',';
    AppendCsvField(file.Csv, Cp1252ToUtf8(publishing_.AgencyUrl));
    file.Csv += ',';
    AppendCsvField(file.Csv, Cp1252ToUtf8(publishing_.Language));
    file.Csv += ',' + publishing_.FirstDate + ',' + publishing_.LastDate + ',';
    AppendCsvField(file.Csv, versionText);
    file.Csv += "\r\n";
    return file;
}

TFeed TFeedBuilder::Build(const std::string &versionText, const TExportProgress &progress) {
    TFeed feed;
    const std::vector<TLineFile> files = LoadTimetables();
    // A stop time is at least a cell of five bytes ("7:05,"): never grown.
    stopTimes_->Rows.reserve(static_cast<std::size_t>(timetableBytes_) / 5);
    trips_.Csv.reserve(static_cast<std::size_t>(timetableBytes_) / 4);
    std::size_t total = 1, done = 0;
    for (const auto &file : files)
        total += file.Sections.size();
    feed.Steps = total;
    for (const auto &file : files) {
        const std::string routeId = routeIdSet_.Take(file.Line);
        lineTrips_ = 0;
        // Read again rather than all files kept: the memory of one is reused
        // for the next, which costs less than fresh pages for all.
        const TTimetableFile timetable(file.Path);
        for (const auto &section : file.Sections) {
            ExportSection(file.Line, routeId, section, timetable);
            if (progress && !progress(++done, total)) {
                feed.Report.Cancelled = true;
                return feed;
            }
        }
        if (lineTrips_ == 0) {
            Skip("Linie " + Quoted(file.Line) +
                 Cp1252(": keine Fahrt mit mindestens zwei Zeiten, nicht exportiert."));
            continue;
        }
        const int type = FindLineRouteType(routeTypes_, file.Line).value_or(publishing_.RouteType);
        routes_.Csv += routeId + ",1,";
        AppendCsvField(routes_.Csv, Cp1252ToUtf8(file.Line));
        routes_.Csv += ',' + std::to_string(type) + "\r\n";
        ++routes_.Rows;
    }
    TFeedFile stops = StopsFile();
    report_.Trips = trips_.Rows;
    report_.StopTimes = stopTimeRows_;
    for (const auto &stop : served_)
        stopTimes_->StopIds.push_back(stop.Id);
    feed.Files.push_back(AgencyFile());
    feed.Files.push_back(std::move(stops));
    feed.Files.push_back(std::move(routes_));
    feed.Files.push_back(std::move(trips_));
    feed.Files.push_back({"stop_times.txt", {}, stopTimeRows_, std::move(stopTimes_)});
    feed.Files.push_back(CalendarFile());
    if (TFeedFile dates = CalendarDatesFile(); dates.Rows > 0)
        feed.Files.push_back(std::move(dates));
    feed.Files.push_back(FeedInfoFile(versionText));
    feed.Report = std::move(report_);
    return feed;
}

} // namespace

TFeed BuildFeed(const std::string &projectDir, const TPrjParams &params,
                const std::string &versionText, const TExportProgress &progress) {
    return TFeedBuilder(projectDir, params).Build(versionText, progress);
}

} // namespace takton::gtfs
