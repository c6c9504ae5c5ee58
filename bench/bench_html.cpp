// Pasting a large web page: the whole "HTML einfügen" pipeline (cut out and
// measure every table, count its time-like cells, score each against the
// timetable's station names, lay out the chosen one with its texts decoded)
// against a single memchr pass over the same bytes and, when the parser
// library is installed, against a real HTML parser building the page's tree.

#include "core/util/string_grid.h"
#include "core/webcopy/html_table.h"
#include "core/webcopy/table_choice.h"
#include "core/webcopy/web_time.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#ifdef TAKTON_HAVE_GUMBO
#include <gumbo.h>
#endif

using namespace takton;

namespace {

constexpr std::size_t kPageBytes = 10 * 1024 * 1024;
constexpr int kTables = 300;
constexpr int kChosenTable = 217;
constexpr int kStations = 40;

std::vector<std::string> TimetableStations() {
    const char *first[] = {"Linden", "Birken", "Eichen", "Buchen",
                           "Ahorn",  "Erlen",  "Ulmen",  "Kastanien"};
    const char *second[] = {"weg", "platz", "hof", "allee", "ring"};
    std::vector<std::string> names;
    for (const char *a : first)
        for (const char *b : second)
            names.push_back(std::string(a) + b);
    return names;
}

std::string Time(int minutes) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", minutes / 60 % 24, minutes % 60);
    return text;
}

// One operator timetable: a header row of th cells, then a row per station
// with a th name cell (a link) and one td per journey; entities for no stop.
std::string TimetableTable(int id, const std::vector<std::string> &stations, int journeys,
                           std::mt19937 &random) {
    std::string html = "<table class=\"fahrplan\" id=\"t" + std::to_string(id) +
                       "\" summary=\"Fahrplan\">\n<thead><tr><th>Haltestelle</th>";
    for (int j = 1; j <= journeys; ++j)
        html += "<th>Fahrt " + std::to_string(j) + "</th>";
    html += "</tr></thead>\n<tbody>\n";
    std::uniform_int_distribution<int> skip(0, 11);
    for (std::size_t s = 0; s < stations.size(); ++s) {
        html += s % 2 ? "<tr class=\"odd\">" : "<tr>";
        html += "<th scope=\"row\"><a href=\"/haltestelle?id=" + std::to_string(id * 100 + s) +
                "\">" + stations[s] + "</a></th>";
        for (int j = 0; j < journeys; ++j)
            html += skip(random) == 0 ? std::string("<td class=\"zeit\">&nbsp;</td>")
                                      : "<td class=\"zeit\">" +
                                            Time(300 + j * 20 + static_cast<int>(s) * 2) + "</td>";
        html += "</tr>\n";
    }
    html += "</tbody>\n</table>\n";
    return html;
}

// 300 tables of other lines (some name one or two of the timetable's
// stations), one that names all 40, text and comments between them; 10 MB.
std::string GeneratedPage(const std::vector<std::string> &stations) {
    std::mt19937 random(2026);
    const std::size_t perTable = kPageBytes / kTables;
    std::string page = "<body class=\"fahrplanauskunft\">\n<table class=\"layout\"><tr><td>"
                       "<a href=\"/\">Start</a></td></tr></table>\n";
    for (int t = 0; t < kTables; ++t) {
        const std::size_t tableStart = page.size();
        page += "<!-- Linie " + std::to_string(t) + " -->\n<div class=\"linie\"><h2>Linie " +
                std::to_string(t) + "</h2><p>Hinweis: \"Ersatzverkehr\" beachten.</p>\n";
        std::vector<std::string> names;
        if (t == kChosenTable) {
            names = stations;
        } else {
            for (int s = 0; s < 20; ++s)
                names.push_back("Haltestelle " + std::to_string(t * 20 + s));
            if (t % 10 == 0)
                names[3] = stations[static_cast<std::size_t>(t % kStations)];
            if (t % 20 == 0)
                names[7] = stations[static_cast<std::size_t>((t + 1) % kStations)];
        }
        // Journeys enough to fill this table's share of the page.
        const std::size_t rowBytesPerJourney = 29 * names.size() + 20;
        const int journeys = static_cast<int>(std::max<std::size_t>(
            4, (perTable - std::min(perTable, names.size() * 60 + 300)) / rowBytesPerJourney));
        page += TimetableTable(t, names, journeys, random);
        page += "</div>\n";
        while (page.size() - tableStart < perTable)
            page += "<p>Fahrplan&auml;nderungen vorbehalten.</p>\n";
    }
    page += "</body>\n";
    page.resize(std::max(page.size(), kPageBytes), ' ');
    return page;
}

const std::string &Page() {
    static const std::string page = GeneratedPage(TimetableStations());
    return page;
}

std::vector<std::string> PasteNames() {
    std::vector<std::string> names{"Stationen"};
    for (const auto &name : TimetableStations())
        names.push_back(name);
    return names;
}

void BM_PastePipeline(benchmark::State &state) {
    const std::string &page = Page();
    const std::vector<std::string> stations = TimetableStations();
    TStringGrid grid(1, 1, 0, 0);
    grid.DefaultColWidth = 32;
    const TTextWidthFn width = [](std::string_view text) {
        return 7 * static_cast<int>(text.size());
    };
    for (auto _ : state) {
        const TWebTablePage taken = TakeWebTable(page, "Stationen", stations, grid, width);
        // Cut 0 is the page's layout table.
        if (taken.Chosen != kChosenTable + 1 ||
            taken.Tables[static_cast<std::size_t>(taken.Chosen)].Stations != kStations) {
            state.SkipWithError("wrong table chosen");
            return;
        }
        benchmark::DoNotOptimize(grid.RowCount());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(page.size()));
    state.counters["grid_rows"] = grid.RowCount();
    state.counters["grid_cols"] = grid.ColCount();
}
BENCHMARK(BM_PastePipeline)->Unit(benchmark::kMillisecond);

// The same page taken by the first table naming the most stations, without
// counting times or decoding the cells: the pipeline as it was before ties
// went to the times, for comparison on the same machine and load.
void BM_PastePipelineFirstOfHighest(benchmark::State &state) {
    const std::string &page = Page();
    const std::vector<std::string> names = PasteNames();
    TStringGrid grid(1, 1, 0, 0);
    grid.DefaultColWidth = 32;
    const TTextWidthFn width = [](std::string_view text) {
        return 7 * static_cast<int>(text.size());
    };
    for (auto _ : state) {
        const auto tables = CutTables(page);
        const auto scores = ScoreTables(tables, names);
        const auto best = std::max_element(scores.begin(), scores.end());
        const auto chosen = static_cast<std::size_t>(best - scores.begin());
        if (chosen != kChosenTable + 1) {
            state.SkipWithError("wrong table chosen");
            return;
        }
        HtmlTableToGrid(tables[chosen], grid, true, width);
        benchmark::DoNotOptimize(grid.RowCount());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_PastePipelineFirstOfHighest)->Unit(benchmark::kMillisecond);

// The two steps that read the whole page, on their own.
void BM_CutTables(benchmark::State &state) {
    const std::string &page = Page();
    for (auto _ : state)
        benchmark::DoNotOptimize(CutTables(page).size());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(page.size()));
    state.counters["tables"] = static_cast<double>(CutTables(page).size());
    state.counters["page_bytes"] = static_cast<double>(page.size());
}
BENCHMARK(BM_CutTables)->Unit(benchmark::kMillisecond);

// The walk over the tags that cuts the tables and measures them; with
// argument 1 it also counts their time-like cells, as the choice does.
void BM_MeasureTables(benchmark::State &state) {
    const std::string &page = Page();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            MeasureTables(page, state.range(0) ? IsTimeLikeHtmlCell : nullptr).size());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_MeasureTables)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ScoreTables(benchmark::State &state) {
    const std::string &page = Page();
    const auto tables = CutTables(page);
    const std::vector<std::string> names = PasteNames();
    for (auto _ : state)
        benchmark::DoNotOptimize(ScoreTables(tables, names).size());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_ScoreTables)->Unit(benchmark::kMillisecond);

// The floor: one pass over the bytes that finds nothing.
void BM_MemchrPass(benchmark::State &state) {
    const std::string &page = Page();
    for (auto _ : state) {
        const void *hit = std::memchr(page.data(), '\0', page.size());
        benchmark::DoNotOptimize(hit);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_MemchrPass)->Unit(benchmark::kMillisecond);

#ifdef TAKTON_HAVE_GUMBO
void BM_GumboTree(benchmark::State &state) {
    const std::string &page = Page();
    for (auto _ : state) {
        GumboOutput *output =
            gumbo_parse_with_options(&kGumboDefaultOptions, page.data(), page.size());
        benchmark::DoNotOptimize(output->root);
        gumbo_destroy_output(&kGumboDefaultOptions, output);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_GumboTree)->Unit(benchmark::kMillisecond)->MinTime(2.0);
#endif

} // namespace

BENCHMARK_MAIN();
