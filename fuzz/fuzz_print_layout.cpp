// The print layout on any timetable rows: the table, the poster's departures
// and the graph's journeys from lines of arbitrary bytes; no crash, no
// sanitizer report, no hang, and every departure a minute of the day.

#include "core/layout/graph.h"
#include "core/layout/poster.h"
#include "core/layout/print_timetable.h"
#include "core/model/list_text.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace takton;
using namespace takton::print;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const TStringList rows = SplitTextLines(text);
    const TPrintTimetable table = PrintTimetableFromRows(rows);
    for (const auto &column : table.Columns)
        if (column.Cells.size() != table.Rows.size())
            __builtin_trap();
    if (!table.Rows.empty())
        for (int minute : DeparturesAt(rows, table.Rows.front().Station))
            if (minute < 0 || minute >= 1440)
                __builtin_trap();
    std::vector<std::string> route;
    for (const auto &row : table.Rows)
        route.push_back(row.Station);
    const auto journeys = GraphJourneys(rows, route, 1);
    const auto offsets = StationOffsets(journeys, static_cast<int>(route.size()));
    for (std::size_t i = 1; i < offsets.size(); ++i)
        if (!(offsets[i] > offsets[i - 1]))
            __builtin_trap();
    return 0;
}
