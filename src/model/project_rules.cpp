#include "model/project_rules.h"

#include "util/cp1252.h"

namespace takton {

std::optional<std::string> CheckDayGroupName(std::string_view name) {
    bool breaks = !name.empty() && (name.front() == ' ' || name.back() == ' ');
    for (char c : name)
        if (static_cast<unsigned char>(c) < 32 ||
            std::string_view(",=\"'[]").find(c) != std::string_view::npos)
            breaks = true;
    if (!breaks)
        return std::nullopt;
    return Cp1252("Der Name einer Tag-Gruppe darf keines der Zeichen , = \" ' [ ] "
                  "enthalten und nicht mit einem Leerzeichen beginnen oder enden.");
}

std::optional<std::string> CheckNewDayGroup(const TPrjParams &params, const TDayGroupItem &group) {
    if (group.Name.empty())
        return Cp1252("Die Tag-Gruppe braucht einen Namen.");
    if (auto why = CheckDayGroupName(group.Name))
        return why;
    if (group.Text.empty())
        return Cp1252("Die Tag-Gruppe braucht einen Text.");
    if (group.Days == 0)
        return Cp1252("Die Tag-Gruppe braucht mindestens einen Wochentag.");
    for (const auto &other : params.DayGroups) {
        // The file's keys and the timetables' sections are named after the group
        // and compare without regard to case: "sa" would overwrite "Sa".
        if (SameTextCi(other.Name, group.Name))
            return Cp1252("Eine Tag-Gruppe mit dem Namen ") + other.Name +
                   Cp1252(" gibt es schon.");
        if (other.Text == group.Text)
            return Cp1252("Eine Tag-Gruppe mit dem Text ") + group.Text + Cp1252(" gibt es schon.");
    }
    return std::nullopt;
}

std::optional<std::int32_t> ParseDriveMinutes(std::string_view text) {
    if (text.empty() || text.size() > 10)
        return std::nullopt;
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > 2147483647LL)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

} // namespace takton
