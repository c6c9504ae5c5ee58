// The list text rules on any bytes: no crash, no sanitizer report, no hang.

#include "core/model/list_text.h"
#include "core/util/string_grid.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace takton;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char *>(data), size);

    const TStringList lines = SplitTextLines(text);
    const std::string joinedLines = JoinTextLines(lines);
    if (SplitTextLines(joinedLines) != lines)
        __builtin_trap();

    const TStringList items = SplitList(text);
    (void)SplitList(JoinList(items));
    for (const auto &line : lines) {
        (void)EntryName(line);
        (void)EntryValue(line);
        (void)HasEntryName(line);
    }
    if (!lines.empty()) {
        (void)IndexOfName(lines, EntryName(lines.back()));
        (void)IndexOfItem(lines, lines.front());
    }

    std::vector<std::string> pieces;
    SplitText(text, pieces, ',');
    return 0;
}
