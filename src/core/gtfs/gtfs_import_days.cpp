// The exact days of a feed's services in the project: a day group holds a
// service's weekdays, and where its dates differ from them over the validity
// period (holidays, added or removed days, a season), a footnote on its
// journeys says where.

#include "core/gtfs/gtfs_importer.h"

#include <algorithm>
#include <bit>

namespace takton::gtfs::detail {

TDateList CoverDays(const std::vector<TCover> &days, long first) {
    TDateList ranges;
    bool open = false; // the last range may still grow
    for (std::size_t i = 0; i < days.size(); ++i) {
        switch (days[i]) {
        case TCover::Never:
            open = false;
            break;
        case TCover::Must: {
            const TDate date{first + static_cast<long>(i)};
            if (open) {
                ranges.back().Last = date;
            } else {
                ranges.push_back({date, date});
                open = true;
            }
            break;
        }
        case TCover::Free:
            break;
        }
    }
    return ranges;
}

std::optional<TFootnote> ExactDaysFootnote(TDaySet groupDays, const std::vector<char> &runs,
                                           long first) {
    const std::size_t n = runs.size();
    std::vector<TCover> notOn(n), alsoOn(n), onlyOn(n);
    bool exact = true;
    int weekday = WeekDayOf(first);
    for (std::size_t i = 0; i < n; ++i) {
        const bool group = HasDay(groupDays, weekday);
        const bool run = runs[i] != 0;
        exact = exact && group == run;
        // "nicht am" must not take in a day the service runs; "auch am" no day
        // it does not run. Days the rule gives right anyway are free.
        notOn[i] = run ? TCover::Never : group ? TCover::Must : TCover::Free;
        alsoOn[i] = !run ? TCover::Never : group ? TCover::Free : TCover::Must;
        onlyOn[i] = run ? TCover::Must : TCover::Never;
        weekday = weekday == kWeekDayCount - 1 ? 0 : weekday + 1;
    }
    if (exact)
        return std::nullopt;
    TFootnote footnote;
    footnote.NotOn = CoverDays(notOn, first);
    footnote.AlsoOn = CoverDays(alsoOn, first);
    TDateList only = CoverDays(onlyOn, first);
    // An empty "nur am" would mean every day: a service without days keeps
    // "nicht am".
    if (!only.empty() && only.size() < footnote.NotOn.size() + footnote.AlsoOn.size()) {
        footnote.NotOn.clear();
        footnote.AlsoOn.clear();
        footnote.OnlyOn = std::move(only);
    }
    // "auch am ..., nicht am ..." without "alle Tage": the journey runs on the
    // days of its day group, not on all.
    footnote.Text = FootnoteRuleText(footnote);
    const std::string all = FootnoteDaysText(TFootnoteDays::All) + ", ";
    if (footnote.OnlyOn.empty() && footnote.Text.starts_with(all))
        footnote.Text.erase(0, all.size());
    return footnote;
}

long WeekdayCount(TDaySet days, long first, long last) {
    if (first > last)
        return 0;
    const long weeks = (last - first + 1) / kWeekDayCount;
    long count = weeks * std::popcount(static_cast<unsigned>(days) & 0x7FU);
    for (long day = first + weeks * kWeekDayCount; day <= last; ++day)
        if (HasDay(days, WeekDayOf(day)))
            ++count;
    return count;
}

// A service of calendar.txt runs on some day unless its removals take all.
bool TImporter::HasDates(const TService &service) const {
    if (!service.Added.empty())
        return true;
    long removed = 0;
    for (const long day : service.Removed)
        if (day >= service.First && day <= service.Last && HasDay(service.Days, WeekDayOf(day)))
            ++removed;
    return WeekdayCount(service.Days, service.First, service.Last) > removed;
}

std::int32_t TImporter::FootnoteOf(std::uint32_t index) {
    TService &service = services_[index];
    if (service.Footnote != kFootnoteUnknown)
        return service.Footnote;
    service.Footnote = -1;
    // The common case: every weekday of the whole period.
    if (!service.ByDates && service.Added.empty() && service.Removed.empty() &&
        service.First <= periodFirst_ && service.Last >= periodLast_)
        return -1;
    const auto days = static_cast<std::size_t>(periodLast_ - periodFirst_ + 1);
    std::vector<char> &runs = scratchRuns_;
    runs.assign(days, 0);
    if (!service.ByDates) {
        const long from = std::max(service.First, periodFirst_);
        const long to = std::min(service.Last, periodLast_);
        int weekday = from <= to ? WeekDayOf(from) : 0;
        for (long day = from; day <= to; ++day) {
            runs[static_cast<std::size_t>(day - periodFirst_)] = HasDay(service.Days, weekday);
            weekday = weekday == kWeekDayCount - 1 ? 0 : weekday + 1;
        }
    }
    auto set = [&](const std::vector<long> &dates, char value) {
        for (const long day : dates)
            if (day >= periodFirst_ && day <= periodLast_)
                runs[static_cast<std::size_t>(day - periodFirst_)] = value;
    };
    set(service.Removed, 0);
    set(service.Added, 1);
    std::optional<TFootnote> footnote = ExactDaysFootnote(service.Days, runs, periodFirst_);
    if (!footnote)
        return -1;
    // One footnote per rule, whichever services and day groups share it.
    const std::string rule = DateListText(footnote->NotOn) + "|" + DateListText(footnote->AlsoOn) +
                             "|" + DateListText(footnote->OnlyOn);
    const auto [at, added] =
        footnoteByRule_.emplace(rule, static_cast<std::int32_t>(footnotes_.size()));
    if (added) {
        footnote->Symbol = std::to_string(footnotes_.size() + 1);
        footnotes_.push_back(std::move(*footnote));
    }
    service.Footnote = at->second;
    footnoted_.push_back(index);
    return service.Footnote;
}

void TImporter::ReportFootnotes() {
    if (footnotes_.empty())
        return;
    Note(Counted(footnotes_.size(), Cp1252("Fußnote"), Cp1252("Fußnoten")) + Cp1252(" für ") +
         Counted(footnoted_.size(), "Dienst", "Dienste") +
         Cp1252(", deren Tage von den Wochentagen ihrer Tagesgruppe abweichen (Feiertage, "
                "zusätzliche oder entfallende Tage, Saison): ihre Fahrten verkehren an den Tagen "
                "des Feeds."));
    std::size_t listed = 0;
    for (const std::uint32_t s : footnoted_) {
        const TService &service = services_[s];
        const TFootnote &footnote = footnotes_[static_cast<std::size_t>(service.Footnote)];
        NoteListed(listed, "Dienst " + Quoted(names_.Text(service.Id)) + ", Tagesgruppe " +
                               Quoted(dayGroups_[static_cast<std::size_t>(service.DayGroup)].Name) +
                               Cp1252(": Fußnote ") + Quoted(footnote.Symbol) + " (" +
                               footnote.Text + ").");
    }
    if (listed > kListed)
        Note(Cp1252("… und ") + std::to_string(listed - kListed) +
             Cp1252(" weitere Dienste mit Fußnote."));
}

} // namespace takton::gtfs::detail
