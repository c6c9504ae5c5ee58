#include "core/model/prj_params.h"

namespace takton {

int IndexOfText(std::span<const char *const> table, std::string_view text) {
    for (std::size_t i = 0; i < table.size(); ++i)
        if (text == table[i])
            return static_cast<int>(i);
    return -1;
}

std::vector<std::string> DayKeysOf(TDaySet days) {
    std::vector<std::string> keys;
    for (int i = 0; i < kWeekDayCount; ++i)
        if (HasDay(days, i))
            keys.emplace_back(WeekDayKeys[i]);
    return keys;
}

std::string DayKeysText(TDaySet days) {
    std::string text;
    for (const auto &key : DayKeysOf(days))
        text += (text.empty() ? "" : ",") + key;
    return text;
}

} // namespace takton
