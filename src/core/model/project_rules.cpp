#include "core/model/project_rules.h"

#include "core/util/cp1252.h"

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

int IndexOfDayGroup(const TPrjParams &params, std::string_view name) {
    const auto &groups = params.DayGroups;
    for (std::size_t i = 0; i < groups.size(); ++i)
        if (groups[i].Name == name)
            return static_cast<int>(i);
    for (std::size_t i = 0; i < groups.size(); ++i)
        if (SameTextCi(groups[i].Name, name))
            return static_cast<int>(i);
    return -1;
}

std::string NoSuchDayGroup(std::string_view name) {
    return Cp1252("Die Tag-Gruppe ") + std::string(name) + Cp1252(" gibt es nicht.");
}

std::optional<std::string> RenameDayGroup(TPrjParams &params, std::string_view oldName,
                                          std::string_view newName) {
    const int at = IndexOfDayGroup(params, oldName);
    if (at < 0)
        return NoSuchDayGroup(oldName);
    TDayGroupItem &group = params.DayGroups[static_cast<std::size_t>(at)];
    if (group.Name == newName)
        return std::nullopt;
    if (newName.empty())
        return Cp1252("Die Tag-Gruppe braucht einen Namen.");
    if (auto why = CheckDayGroupName(newName))
        return why;
    for (const auto &other : params.DayGroups)
        if (&other != &group && SameTextCi(other.Name, newName))
            return Cp1252("Eine Tag-Gruppe mit dem Namen ") + other.Name +
                   Cp1252(" gibt es schon.");
    group.Name = std::string(newName);
    return std::nullopt;
}

std::optional<std::string> DeleteDayGroup(TPrjParams &params, std::string_view name) {
    const int at = IndexOfDayGroup(params, name);
    if (at < 0)
        return NoSuchDayGroup(name);
    params.DayGroups.erase(params.DayGroups.begin() + at);
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
