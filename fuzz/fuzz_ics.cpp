// School holidays read from any iCalendar text, and date lists parsed from
// any text: each either gives periods that run forwards or a German refusal.

#include "core/calendar/ics_reader.h"
#include "core/util/error.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    try {
        for (const auto &period : takton::calendar::ReadSchoolHolidaysIcs(text))
            if (period.Dates.Last < period.Dates.First)
                std::abort();
    } catch (const takton::TaktonError &) {
    }
    try {
        for (const auto &range : takton::ParseDateList(text))
            if (range.Last < range.First)
                std::abort();
    } catch (const takton::TaktonError &) {
    }
    return 0;
}
