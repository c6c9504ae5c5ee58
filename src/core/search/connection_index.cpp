#include "core/search/connection_index.h"

#include "core/calendar/operating_calendar.h"
#include "core/files/file_io.h"
#include "core/model/footnotes.h"
#include "core/model/interval_runs.h"
#include "core/model/master_data.h"
#include "core/model/timetable_check.h"
#include "core/model/timetable_file.h"
#include "core/util/cp1252.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <unordered_map>

namespace takton::search {

namespace {

constexpr int kMinutesPerDay = 1440;
constexpr int kNoTime = std::numeric_limits<int>::min();
// A journey's times run on past midnight; beyond a week they are taken as
// broken rather than searched (and the sort's range stays small).
constexpr int kLastMinute = 7 * kMinutesPerDay;

struct TStop {
    std::uint32_t Station;
    int Arrival;
    int Departure;
};

struct TColumn {
    std::vector<TStop> Stops;
    int IntervalMinutes = -1;
};

// Whether a journey runs on the searched day and on the day before.
struct TRuns {
    bool Today = false;
    bool Yesterday = false;
    bool Any() const { return Today || Yesterday; }
};

// How the journeys of one day group run. Without a date all of them alike;
// on a date each by its footnote (the project's, in list order; a symbol
// the project does not know narrows nothing) and its night mark.
struct TGroupRuns {
    std::string Name;
    TRuns Plain;                   // journeys without a footnote
    std::vector<TRuns> ByFootnote; // on a date only
    bool Dated = false;
    bool Any() const {
        return Plain.Any() ||
               std::any_of(ByFootnote.begin(), ByFootnote.end(), [](TRuns r) { return r.Any(); });
    }
};

// The groups to read for the day, each once.
std::vector<TGroupRuns> GroupRunsOf(const TServiceDay &day, const TFootnoteList &footnotes) {
    const auto holds = [](const std::vector<std::string> &groups, const std::string &group) {
        return std::find(groups.begin(), groups.end(), group) != groups.end();
    };
    std::vector<TGroupRuns> runs;
    if (!day.Dated) {
        std::vector<std::string> groups = day.Today;
        for (const auto &group : day.Yesterday)
            if (!holds(groups, group))
                groups.push_back(group);
        for (auto &group : groups)
            runs.push_back(
                {group, {holds(day.Today, group), holds(day.Yesterday, group)}, {}, false});
        return runs;
    }
    const TDate date = day.Dated->Date;
    const TDate before = date + -1;
    const calendar::TOperatingCalendar days(day.Dated->Calendar, {before, date});
    for (const auto &[name, groupDays] : day.Dated->Groups) {
        TGroupRuns group{name,
                         {calendar::JourneyRuns(days, groupDays, nullptr, date),
                          calendar::JourneyRuns(days, groupDays, nullptr, before)},
                         {},
                         true};
        for (const auto &footnote : footnotes)
            group.ByFootnote.push_back({calendar::JourneyRuns(days, groupDays, &footnote, date),
                                        calendar::JourneyRuns(days, groupDays, &footnote, before)});
        if (group.Any() && std::none_of(runs.begin(), runs.end(),
                                        [&](const TGroupRuns &g) { return g.Name == name; }))
            runs.push_back(std::move(group));
    }
    return runs;
}

// "HH:MM" as written by the editor, without the general cell rules.
bool ReadPlainTime(std::string_view cell, int &minutes) {
    if (cell.size() != 5 || cell[2] != ':')
        return false;
    for (std::size_t i : {0U, 1U, 3U, 4U})
        if (cell[i] < '0' || cell[i] > '9')
            return false;
    const int hour = (cell[0] - '0') * 10 + (cell[1] - '0');
    const int minute = (cell[3] - '0') * 10 + (cell[4] - '0');
    if (hour > 23 || minute > 59)
        return false;
    minutes = hour * 60 + minute;
    return true;
}

// A cell's time, or its interval minutes; texts that are neither are passed
// over, as the timetable check would have refused them.
enum class TCellRead { None, Time, Interval };
TCellRead ReadCell(std::string_view cell, int &value) {
    if (cell.empty())
        return TCellRead::None;
    if (ReadPlainTime(cell, value))
        return TCellRead::Time;
    const std::string text = TrimCellText(cell);
    switch (CellTextKind(text)) {
    case TCellKind::Time: {
        int hour = 0, minute = 0;
        ParseTime(text, hour, minute);
        value = hour * 60 + minute;
        return TCellRead::Time;
    }
    case TCellKind::Interval:
        value = GetIntervalMinutes(text);
        return TCellRead::Interval;
    default:
        return TCellRead::None;
    }
}

// Stable counting sort of the connections by one of their times, from items
// into sorted.
template <typename Key>
void SortByTimeInto(const TConnectionArray &items, TConnectionArray &sorted, int lowest,
                    int highest, Key key) {
    std::vector<std::uint32_t> starts(static_cast<std::size_t>(highest - lowest) + 2, 0);
    for (const auto &c : items)
        ++starts[static_cast<std::size_t>(key(c) - lowest) + 1];
    for (std::size_t i = 1; i < starts.size(); ++i)
        starts[i] += starts[i - 1];
    sorted.resize(items.size());
    for (const auto &c : items)
        sorted[starts[static_cast<std::size_t>(key(c) - lowest)]++] = c;
}

// The same in place, with scratch as the second buffer.
template <typename Key>
void SortByTime(TConnectionArray &items, TConnectionArray &scratch, int lowest, int highest,
                Key key) {
    SortByTimeInto(items, scratch, lowest, highest, key);
    items.swap(scratch);
}

} // namespace

class TIndexBuilder {
  public:
    TIndexBuilder(TConnectionIndex &index, const std::string &dir) : index_(index) {
        for (const auto &station : LoadNameList(dir, kStationsFile))
            StationId(station);
    }

    void ReadLine(const std::string &dir, const std::string &line,
                  const std::vector<TGroupRuns> &groups, const TFootnoteList &footnotes);
    void Finish();

  private:
    std::uint32_t StationId(std::string_view name);
    void ReadSection(const TTimetableRows &rows, std::uint32_t line, std::uint8_t direction,
                     const TGroupRuns &group, const TJourneyMarkList &marks,
                     const TFootnoteList &footnotes);
    void ReadColumns(const TTimetableRows &rows);
    void EmitRun(const std::vector<TStop> &stops, int shift, const TTrip &trip, TRuns runs);
    void EmitInterval(std::size_t col, std::pair<std::size_t, std::size_t> sides, int shift,
                      const TTrip &trip, TRuns runs);

    TConnectionIndex &index_;
    std::unordered_map<std::string, std::uint32_t> exact_;
    std::unordered_map<std::string, std::uint32_t> folded_;
    // Scratch of one section.
    std::vector<std::uint32_t> rowStation_;
    std::vector<TColumn> columns_;
};

std::uint32_t TIndexBuilder::StationId(std::string_view name) {
    const std::string key(name);
    if (const auto found = exact_.find(key); found != exact_.end())
        return found->second;
    std::string fold = FoldCase(name);
    auto at = folded_.find(fold);
    if (at == folded_.end()) {
        at = folded_.emplace(std::move(fold), static_cast<std::uint32_t>(index_.stations_.size()))
                 .first;
        index_.stations_.push_back(key);
    }
    exact_.emplace(key, at->second);
    return at->second;
}

void TIndexBuilder::ReadLine(const std::string &dir, const std::string &line,
                             const std::vector<TGroupRuns> &groups,
                             const TFootnoteList &footnotes) {
    const std::string path = TimetablePath(dir, line);
    if (!FileExists(path))
        return;
    const TTimetableFile file(path);
    const auto lineId = static_cast<std::uint32_t>(index_.lines_.size());
    index_.lines_.push_back(line);
    const TJourneyMarkList noMarks;
    for (const auto &group : groups)
        for (std::uint8_t direction = 1; direction <= 2; ++direction) {
            const std::string section = TimetableSectionName(direction, group.Name);
            if (file.HasSection(section))
                ReadSection(file.ReadRows(section), lineId, direction, group,
                            group.Dated ? file.ReadJourneyMarks(section) : noMarks, footnotes);
        }
}

void TIndexBuilder::ReadColumns(const TTimetableRows &rows) {
    rowStation_.clear();
    for (auto &column : columns_) {
        column.Stops.clear();
        column.IntervalMinutes = -1;
    }
    std::vector<int> last;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        std::string_view row = rows[r];
        const std::size_t comma = row.find(',');
        const std::string_view station = row.substr(0, comma);
        const std::uint32_t id = StationId(station);
        // Two rows of one station in a row are its arrival and departure.
        const bool pair = r > 0 && RowStation(rows[r - 1]) == station;
        rowStation_.push_back(id);
        if (comma == std::string_view::npos)
            continue;
        row.remove_prefix(comma + 1);
        for (std::size_t col = 0;; ++col) {
            const std::size_t next = row.find(',');
            const std::string_view cell = row.substr(0, next);
            if (col >= columns_.size())
                columns_.resize(col + 1);
            if (last.size() < columns_.size())
                last.resize(columns_.size(), kNoTime);
            int value = 0;
            TColumn &column = columns_[col];
            switch (ReadCell(cell, value)) {
            case TCellRead::Time: {
                // Times of a journey only go forward; an earlier one is past
                // midnight.
                if (last[col] != kNoTime)
                    while (value < last[col])
                        value += kMinutesPerDay;
                last[col] = value;
                if (!column.Stops.empty() && column.Stops.back().Station == id && pair)
                    column.Stops.back().Departure = value;
                else
                    column.Stops.push_back({id, value, value});
                break;
            }
            case TCellRead::Interval:
                if (column.IntervalMinutes < 0)
                    column.IntervalMinutes = value;
                break;
            case TCellRead::None:
                break;
            }
            if (next == std::string_view::npos)
                break;
            row.remove_prefix(next + 1);
        }
    }
}

void TIndexBuilder::ReadSection(const TTimetableRows &rows, std::uint32_t line,
                                std::uint8_t direction, const TGroupRuns &group,
                                const TJourneyMarkList &marks, const TFootnoteList &footnotes) {
    if (rows.empty())
        return;
    ReadColumns(rows);
    const TTrip trip{line, rowStation_.back(), direction};
    const auto isJourney = [&](std::size_t c) {
        return columns_[c].IntervalMinutes < 0 && !columns_[c].Stops.empty();
    };
    for (std::size_t col = 0; col < columns_.size(); ++col) {
        const TColumn &column = columns_[col];
        const bool interval = column.IntervalMinutes >= 0;
        // An interval's runs are those of the journey it repeats.
        std::pair<std::size_t, std::size_t> sides{col, col};
        if (interval) {
            const auto found = IntervalNeighbours(col, columns_.size(), isJourney);
            if (!found)
                continue;
            sides = *found;
        }
        const std::size_t owner = sides.first;
        TRuns runs = group.Plain;
        int shift = 0;
        if (owner < marks.size()) {
            const TJourneyMarks &mark = marks[owner];
            if (!mark.Footnote.empty())
                for (std::size_t f = 0; f < footnotes.size(); ++f)
                    if (footnotes[f].Symbol == mark.Footnote) {
                        runs = group.ByFootnote[f];
                        break;
                    }
            shift = calendar::RunMinutes(0, mark.PreviousDayNight);
        }
        if (!runs.Any())
            continue;
        if (interval)
            EmitInterval(col, sides, shift, trip, runs);
        else
            EmitRun(column.Stops, shift, trip, runs);
    }
}

// An interval column repeats the journey left of it every so many minutes,
// up to the journey right of it (its sides), as the timetable check demands
// of them.
void TIndexBuilder::EmitInterval(std::size_t col, std::pair<std::size_t, std::size_t> sides,
                                 int shift, const TTrip &trip, TRuns runs) {
    const std::vector<TStop> &first = columns_[sides.first].Stops;
    const std::vector<TStop> &next = columns_[sides.second].Stops;
    // Compared where both journeys stop, else at their first stops.
    int from = first.front().Departure, to = next.front().Departure;
    for (const auto &a : first) {
        const auto b = std::find_if(next.begin(), next.end(),
                                    [&](const TStop &s) { return s.Station == a.Station; });
        if (b != next.end()) {
            from = a.Departure;
            to = b->Departure;
            break;
        }
    }
    for (const int repeat : IntervalShifts(from, to, columns_[col].IntervalMinutes))
        EmitRun(first, shift + repeat, trip, runs);
}

void TIndexBuilder::EmitRun(const std::vector<TStop> &stops, int shift, const TTrip &trip,
                            TRuns runs) {
    if (stops.size() < 2)
        return;
    auto &out = index_.byDeparture_;
    if (runs.Today) {
        const auto id = static_cast<std::uint32_t>(index_.trips_.size());
        index_.trips_.push_back(trip);
        for (std::size_t i = 0; i + 1 < stops.size() && stops[i + 1].Arrival + shift <= kLastMinute;
             ++i)
            out.push_back({stops[i].Station, stops[i + 1].Station, stops[i].Departure + shift,
                           stops[i + 1].Arrival + shift, id});
    }
    // Of the day before, only what runs after midnight.
    if (runs.Yesterday && stops[stops.size() - 2].Departure + shift >= kMinutesPerDay) {
        const auto id = static_cast<std::uint32_t>(index_.trips_.size());
        index_.trips_.push_back(trip);
        for (std::size_t i = 0; i + 1 < stops.size() && stops[i + 1].Arrival + shift <= kLastMinute;
             ++i)
            if (stops[i].Departure + shift >= kMinutesPerDay)
                out.push_back({stops[i].Station, stops[i + 1].Station,
                               stops[i].Departure + shift - kMinutesPerDay,
                               stops[i + 1].Arrival + shift - kMinutesPerDay, id});
    }
}

void TIndexBuilder::Finish() {
    auto &byDeparture = index_.byDeparture_;
    auto &byArrival = index_.byArrival_;
    int lowest = 0, highest = 0;
    for (const auto &c : byDeparture) {
        lowest = std::min(lowest, c.Departure);
        highest = std::max(highest, c.Arrival);
    }
    const auto departure = [](const TConnection &c) { return c.Departure; };
    const auto arrival = [](const TConnection &c) { return c.Arrival; };
    // Stable passes with two buffers only: fresh memory is what costs here.
    SortByTime(byDeparture, byArrival, lowest, highest, arrival);
    SortByTime(byDeparture, byArrival, lowest, highest, departure);
    byArrival.clear();
    SortByTimeInto(byDeparture, byArrival, lowest, highest, arrival);
    for (const auto &[fold, id] : folded_)
        index_.folded_.emplace_back(fold, id);
    std::sort(index_.folded_.begin(), index_.folded_.end());
}

TConnectionIndex TConnectionIndex::Build(const std::string &projectDir, const TServiceDay &day,
                                         int minChangeMinutes) {
    TConnectionIndex index;
    index.minChange_ = std::max(0, minChangeMinutes);
    TIndexBuilder builder(index, projectDir);
    // Room for every time of every file: reserved address space costs
    // nothing until written, growing the array would copy it again and again.
    std::uintmax_t bytes = 0;
    for (const auto &path : TimetableFilePaths(projectDir)) {
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(path, error);
        bytes += error ? 0 : size;
    }
    index.byDeparture_.reserve(static_cast<std::size_t>(bytes / 6));
    // Footnotes count on a date only; without one the search goes by day group.
    const TFootnoteList footnotes = day.Dated ? LoadFootnotes(projectDir) : TFootnoteList{};
    const std::vector<TGroupRuns> groups = GroupRunsOf(day, footnotes);
    for (const auto &line : LoadNameList(projectDir, kLinesFile))
        builder.ReadLine(projectDir, line, groups, footnotes);
    builder.Finish();
    return index;
}

int TConnectionIndex::FindStation(std::string_view name) const {
    const auto exact = std::find(stations_.begin(), stations_.end(), name);
    if (exact != stations_.end())
        return static_cast<int>(exact - stations_.begin());
    const std::string fold = FoldCase(name);
    const auto at = std::lower_bound(
        folded_.begin(), folded_.end(), fold,
        [](const auto &entry, const std::string &key) { return entry.first < key; });
    if (at == folded_.end() || at->first != fold)
        return -1;
    return static_cast<int>(at->second);
}

int WeekdayOfDate(std::string_view isoDate) {
    const auto date = ParseIsoDate(isoDate);
    return date ? WeekdayOf(*date) : -1;
}

TServiceDay ServiceDayOfWeekday(const TPrjParams &params, int weekday) {
    TServiceDay day;
    const int before = (weekday + 6) % 7;
    for (const auto &group : params.DayGroups) {
        if (HasDay(group.Days, weekday))
            day.Today.push_back(group.Name);
        if (HasDay(group.Days, before))
            day.Yesterday.push_back(group.Name);
    }
    return day;
}

TServiceDay ServiceDayOfDate(const TPrjParams &params, TDate date) {
    TServiceDay day;
    const TDate before = date + -1;
    const calendar::TOperatingCalendar days(params.Calendar, {before, date});
    TDatedService dated{date, params.Calendar, {}};
    for (const auto &group : params.DayGroups) {
        if (calendar::JourneyRuns(days, group.Days, nullptr, date))
            day.Today.push_back(group.Name);
        if (calendar::JourneyRuns(days, group.Days, nullptr, before))
            day.Yesterday.push_back(group.Name);
        dated.Groups.emplace_back(group.Name, group.Days);
    }
    day.Dated = std::move(dated);
    return day;
}

TServiceDay ServiceDayOfGroup(std::string_view group) {
    return {{std::string(group)}, {std::string(group)}, std::nullopt};
}

namespace {

std::vector<std::string> SourcePaths(const std::string &projectDir) {
    std::vector<std::string> paths = {ProjectPath(projectDir, kLinesFile),
                                      ProjectPath(projectDir, kStationsFile),
                                      ProjectPath(projectDir, kFootnotesFile)};
    for (auto &path : TimetableFilePaths(projectDir))
        paths.push_back(std::move(path));
    return paths;
}

} // namespace

TSourceStamp SourceStampOf(const std::string &projectDir) {
    TSourceStamp stamp;
    stamp.Paths = SourcePaths(projectDir);
    for (const auto &path : stamp.Paths)
        stamp.Stamps.push_back(StampFile(path));
    return stamp;
}

bool SourceUnchanged(const TSourceStamp &stamp, const std::string &projectDir) {
    if (SourcePaths(projectDir) != stamp.Paths)
        return false;
    for (std::size_t i = 0; i < stamp.Paths.size(); ++i)
        if (!UnchangedSince(stamp.Paths[i], stamp.Stamps[i]))
            return false;
    return true;
}

} // namespace takton::search
