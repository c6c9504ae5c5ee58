#include "core/gtfs/gtfs_importer.h"
#include "core/model/timetable_file.h"

#include <algorithm>
#include <memory>
#include <numeric>

namespace takton::gtfs::detail {

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
    lines_.push_back({name, variant, route.Type, {}, {}, {}});
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

std::vector<TJourney> SettleIntervalBlocks(std::vector<TJourney> journeys,
                                           std::size_t &blocksExpanded) {
    std::sort(journeys.begin(), journeys.end(),
              [](const TJourney &a, const TJourney &b) { return a.First() < b.First(); });
    std::vector<TJourney> laid;
    for (std::size_t j = 0; j < journeys.size(); ++j) {
        const TJourney &journey = journeys[j];
        if (journey.IntervalMinutes > 0) {
            const std::int32_t last =
                journey.First() + (journey.Count - 1) * journey.IntervalMinutes;
            bool alone = true;
            for (std::size_t o = 0; o < journeys.size() && alone; ++o)
                if (o != j && journeys[o].First() >= journey.First() && journeys[o].First() <= last)
                    alone = false;
            if (!alone) {
                ++blocksExpanded;
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
    std::stable_sort(laid.begin(), laid.end(),
                     [](const TJourney &a, const TJourney &b) { return a.First() < b.First(); });
    return laid;
}

TJourneyPages PageColumns(const std::vector<TJourney> &laid, std::size_t pageWidth) {
    TJourneyPages result;
    result.Pages.emplace_back();
    for (const TJourney &journey : laid) {
        const std::size_t width = journey.IntervalMinutes > 0 ? 3 : 1;
        if (result.Pages.back().size() + width > pageWidth)
            result.Pages.emplace_back();
        auto &page = result.Pages.back();
        if (journey.IntervalMinutes == 0) {
            page.push_back(&journey);
            continue;
        }
        auto first = std::make_unique<TJourney>(journey);
        first->IntervalMinutes = 0;
        auto mark = std::make_unique<TJourney>();
        mark->IntervalMinutes = journey.IntervalMinutes;
        mark->Count = 0;
        auto last = std::make_unique<TJourney>(*first);
        last->Shift += (journey.Count - 1) * journey.IntervalMinutes;
        for (auto *column : {&first, &mark, &last}) {
            page.push_back(column->get());
            result.Owned.push_back(std::move(*column));
        }
    }
    return result;
}

void TImporter::WriteSections(const TRoute &route, std::uint32_t variant, const TRouteMerge &merge,
                              TSections &sections) {
    for (auto &[key, journeys] : sections) {
        const auto [direction, group] = key;
        std::size_t blocksExpanded = 0;
        const std::vector<TJourney> laid =
            SettleIntervalBlocks(std::move(journeys), blocksExpanded);
        expandedFrequencies_ += blocksExpanded;
        intervalBlocks_ -= blocksExpanded;
        CountNights(laid);
        const TJourneyPages pages = PageColumns(laid, kMaxJourneys);
        const std::string section =
            TimetableSectionName(direction, dayGroups_[static_cast<std::size_t>(group)].Name);
        for (std::size_t p = 0; p < pages.Pages.size(); ++p) {
            const std::size_t line = LineFor(route, variant, p);
            if (p > 0)
                Adapted("Linie " + Quoted(lines_[LineFor(route, variant, 0)].Name) + " [" +
                        section + Cp1252("]: mehr als 510 Fahrten, die weiteren in Linie ") +
                        Quoted(lines_[line].Name) + ".");
            lines_[line].Sections[section] = SectionRows(merge, direction, pages.Pages[p]);
            TJourneyMarkList marks = SectionMarks(pages.Pages[p]);
            if (!marks.empty())
                lines_[line].Marks[section] = std::move(marks);
        }
    }
}

// A journey leaving at or after 24:00 of its operating day is a night
// journey of that day: its clock times (past midnight) and the mark. The
// interval column carries what its first journey does.
TJourneyMarkList TImporter::SectionMarks(const std::vector<const TJourney *> &columns) const {
    TJourneyMarkList marks(columns.size());
    bool any = false;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const TJourney *journey = columns[c];
        if (journey->IntervalMinutes > 0 && journey->Count == 0)
            journey = columns[c - 1];
        if (journey->Footnote >= 0)
            marks[c].Footnote = footnotes_[static_cast<std::size_t>(journey->Footnote)].Symbol;
        marks[c].PreviousDayNight = journey->First() >= 1440;
        any = any || !marks[c].Empty();
    }
    if (!any)
        marks.clear();
    return marks;
}

// A journey from 48:00 on would run in the night after the next operating
// day, which no mark can say: it is counted apart, as it comes out a day
// early.
void TImporter::CountNights(const std::vector<TJourney> &laid) {
    for (const TJourney &journey : laid) {
        const int count = journey.IntervalMinutes > 0 ? journey.Count : 1;
        for (int k = 0; k < count; ++k) {
            const std::int32_t first = journey.First() + k * journey.IntervalMinutes;
            if (first >= 2 * 1440)
                ++secondNights_;
            else if (first >= 1440)
                ++nights_;
        }
    }
}

TFrequencyJourneys ExpandFrequency(const TJourney &journey, const TFrequency &frequency,
                                   std::int32_t base, bool timesRounded) {
    TFrequencyJourneys result;
    const std::int32_t count =
        (frequency.End - frequency.Start + frequency.Headway - 1) / frequency.Headway;
    const bool whole =
        frequency.Headway % 60 == 0 && frequency.Start % 60 == 0 && !timesRounded && base % 60 == 0;
    if (whole && count >= 3) {
        TJourney block = journey;
        block.Shift = (frequency.Start - base) / 60;
        block.IntervalMinutes = frequency.Headway / 60;
        block.Count = count;
        result.Block = true;
        result.Journeys.push_back(std::move(block));
        return result;
    }
    for (std::int32_t k = 0; k < count; ++k) {
        TJourney single = journey;
        bool rounded = false;
        single.Shift = Minutes(frequency.Start + k * frequency.Headway - base, rounded);
        if (rounded)
            ++result.Rounded;
        result.Journeys.push_back(std::move(single));
    }
    return result;
}

void TImporter::AssignTripsToRoutes() {
    for (auto &trip : trips_) {
        if (trip.Route == UINT32_MAX) {
            ++tripsUnknown_;
            continue;
        }
        routes_[trip.Route].Trips.push_back(static_cast<std::uint32_t>(&trip - trips_.data()));
    }
}

// The stop sequences of a route's trips, each sequence once with the number
// of trips that use it. A trip through a station twice is split into pieces
// that each pass it once.
TRoutePatterns TImporter::CollectPatterns(const TRoute &route) {
    TRoutePatterns found;
    std::map<TPattern, std::uint32_t> patternIndex;
    found.TripStations.resize(route.Trips.size());
    found.TripArrivals.resize(route.Trips.size());
    found.TripDepartures.resize(route.Trips.size());
    for (std::size_t i = 0; i < route.Trips.size(); ++i) {
        const TTrip &trip = trips_[route.Trips[i]];
        if (trip.Service == UINT32_MAX || services_[trip.Service].DayGroup < 0) {
            ++tripsWithoutService_;
            continue;
        }
        if (!TripStops(trip, found.TripStations[i], found.TripArrivals[i],
                       found.TripDepartures[i])) {
            ++tripsWithoutTimes_;
            continue;
        }
        const TPattern &stations = found.TripStations[i];
        std::vector<TPattern> split;
        if (VisitsTwice(stations)) {
            split = SplitLoops(stations);
            Adapted("Linie " + Quoted(names_.Text(route.Name)) + ", Fahrt " +
                    Quoted(names_.Text(trip.Id)) +
                    Cp1252(": hält mehrmals an derselben Station, in ") +
                    Counted(split.size(), "Fahrt", "Fahrten") + " geteilt.");
        }
        std::size_t from = 0;
        for (std::size_t p = 0; p < std::max<std::size_t>(1, split.size()); ++p) {
            const TPattern &piece = split.empty() ? stations : split[p];
            auto at = patternIndex.find(piece);
            if (at == patternIndex.end()) {
                at = patternIndex.emplace(piece, static_cast<std::uint32_t>(found.Patterns.size()))
                         .first;
                found.Patterns.push_back(piece);
                found.Uses.push_back(0);
                found.Directions.push_back(trip.Direction);
            }
            ++found.Uses[at->second];
            found.Pieces.push_back(
                {static_cast<std::uint32_t>(i), from, from + piece.size(), at->second});
            from += piece.size() - 1;
        }
    }
    return found;
}

// Patterns merged into as few station orders as fit, the commonest first so
// that it sets the order; a pattern that fits none starts a line of its own.
TRouteVariants TImporter::MergePatterns(const TRoute &route, const TRoutePatterns &found) {
    const std::size_t n = found.Patterns.size();
    std::vector<std::uint32_t> order(n);
    std::iota(order.begin(), order.end(), 0U);
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        if (found.Uses[a] != found.Uses[b])
            return found.Uses[a] > found.Uses[b];
        return found.Patterns[a].size() > found.Patterns[b].size();
    });
    TRouteVariants merged;
    merged.VariantOf.resize(n);
    merged.DirectionOf.resize(n);
    for (const std::uint32_t p : order) {
        const bool forward = found.Directions[p] == 1;
        bool reversed = false;
        std::size_t v = 0;
        for (; v < merged.Variants.size(); ++v)
            if (merged.Variants[v].Add(found.Patterns[p], forward, reversed))
                break;
        if (v == merged.Variants.size()) {
            merged.Variants.emplace_back();
            merged.Variants.back().Add(found.Patterns[p], forward, reversed);
            if (v > 0)
                Adapted("Linie " + Quoted(names_.Text(route.Name)) + ": " +
                        Counted(found.Uses[p], "Fahrt", "Fahrten") +
                        " in einer Stationsfolge, die nicht in den Linienweg "
                        "passt, in einer eigenen Linie.");
        }
        merged.VariantOf[p] = static_cast<std::uint32_t>(v);
        merged.DirectionOf[p] = reversed ? 2 : 1;
        if (forward != reversed)
            reversedPieces_ += found.Uses[p];
    }
    return merged;
}

// Every piece as a journey of its variant, per direction and day group; a
// trip of frequencies.txt as its journeys or its interval block.
std::vector<TImporter::TSections>
TImporter::LayOutJourneys(const TRoute &route, const TRoutePatterns &found,
                          const TRouteVariants &merged,
                          const std::vector<std::vector<std::uint32_t>> &frequencyOf) {
    std::vector<TSections> sections(merged.Variants.size());
    for (const TPiece &piece : found.Pieces) {
        const std::uint32_t tripIndex = route.Trips[piece.Trip];
        const TTrip &trip = trips_[tripIndex];
        const TRouteMerge &merge = merged.Variants[merged.VariantOf[piece.Pattern]];
        const int direction = merged.DirectionOf[piece.Pattern];
        TJourney journey;
        journey.Footnote = FootnoteOf(trip.Service);
        bool rounded = false;
        for (std::size_t k = piece.From; k < piece.To; ++k)
            journey.Stops.push_back(
                {static_cast<std::uint32_t>(merge.PositionOf(found.TripStations[piece.Trip][k])),
                 Minutes(found.TripArrivals[piece.Trip][k], rounded),
                 Minutes(found.TripDepartures[piece.Trip][k], rounded)});
        if (rounded)
            ++rounded_;
        auto &list = sections[merged.VariantOf[piece.Pattern]]
                             [{direction, services_[trip.Service].DayGroup}];
        const auto &freq = frequencyOf[tripIndex];
        if (freq.empty()) {
            list.push_back(std::move(journey));
            continue;
        }
        const std::int32_t base = found.TripDepartures[piece.Trip][0];
        for (const std::uint32_t f : freq) {
            TFrequencyJourneys expanded = ExpandFrequency(journey, frequencies_[f], base, rounded);
            if (expanded.Block)
                ++intervalBlocks_;
            else
                ++expandedFrequencies_;
            rounded_ += expanded.Rounded;
            for (TJourney &one : expanded.Journeys)
                list.push_back(std::move(one));
        }
    }
    return sections;
}

// Each route's trips: patterns merged into routes (a second line where a
// pattern does not fit), journeys laid out per direction and day group.
bool TImporter::BuildLines() {
    AssignTripsToRoutes();
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
        const TRoutePatterns found = CollectPatterns(route);
        if (found.Patterns.empty()) {
            NotHeld("Linie " + Quoted(names_.Text(route.Name)) +
                    Cp1252(": keine Fahrt mit Verkehrstagen und Zeiten, nicht übernommen."));
            continue;
        }
        const TRouteVariants merged = MergePatterns(route, found);
        std::vector<TSections> sections = LayOutJourneys(route, found, merged, frequencyOf);
        for (std::uint32_t v = 0; v < merged.Variants.size(); ++v)
            if (!sections[v].empty())
                WriteSections(route, v, merged.Variants[v], sections[v]);
        // Each line of the route gets its variant's stations.
        const auto self = static_cast<std::uint32_t>(&route - routes_.data());
        for (const auto &[key, index] : lineOf_)
            if (std::get<0>(key) == self)
                lines_[index].Stations = merged.Variants[std::get<1>(key)].Route();
        std::vector<bool> taken(route.Trips.size(), false);
        for (const TPiece &piece : found.Pieces)
            taken[piece.Trip] = true;
        report_.Trips += static_cast<std::size_t>(std::count(taken.begin(), taken.end(), true));
    }
    return true;
}

} // namespace takton::gtfs::detail
