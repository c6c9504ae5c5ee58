#include "core/model/line_data.h"

#include "core/files/file_io.h"
#include "core/model/list_text.h"
#include "core/util/cp1252.h"

#include <charconv>

namespace takton {
namespace {

constexpr TRouteTypeName kRouteTypes[] = {
    {0, "Stra\xDF"
        "enbahn"},
    {1, "U-Bahn"},
    {2, "Eisenbahn"},
    {3, "Bus"},
    {4, "F\xE4hre"},
    {5, "Kabelstra\xDF"
        "enbahn"},
    {6, "Seilbahn"},
    {7, "Standseilbahn"},
    {11, "Oberleitungsbus"},
    {12, "Einschienenbahn"},
};

std::optional<int> ParseRouteType(std::string_view text) {
    int value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size() || value < 0)
        return std::nullopt;
    return value;
}

} // namespace

std::span<const TRouteTypeName> RouteTypeNames() {
    return kRouteTypes;
}

std::string RouteTypeName(int code) {
    for (const TRouteTypeName &type : kRouteTypes)
        if (type.Code == code)
            return type.Name;
    return std::to_string(code);
}

TLineRouteTypes LoadLineRouteTypes(const std::string &dir) {
    TLineRouteTypes list;
    for (const std::string &entry : LoadTextList(ProjectPath(dir, kLineDataFile)))
        if (HasEntryName(entry))
            if (const auto type = ParseRouteType(EntryValue(entry)))
                list.emplace_back(EntryName(entry), *type);
    return list;
}

std::optional<int> FindLineRouteType(const TLineRouteTypes &list, std::string_view line) {
    for (const auto &[name, type] : list)
        if (name == line)
            return type;
    for (const auto &[name, type] : list)
        if (SameTextCi(name, line))
            return type;
    return std::nullopt;
}

void StoreLineRouteType(const std::string &dir, std::string_view line, std::optional<int> type) {
    const std::string path = ProjectPath(dir, kLineDataFile);
    TStringList entries = LoadTextList(path);
    int at = -1;
    for (std::size_t i = 0; i < entries.size() && at < 0; ++i)
        if (HasEntryName(entries[i]) && EntryName(entries[i]) == line)
            at = static_cast<int>(i);
    for (std::size_t i = 0; i < entries.size() && at < 0; ++i)
        if (HasEntryName(entries[i]) && SameTextCi(EntryName(entries[i]), line))
            at = static_cast<int>(i);
    if (!type) {
        if (at < 0)
            return;
        entries.erase(entries.begin() + at);
    } else {
        // An entry keeps the spelling it was stored with.
        const std::string name =
            at < 0 ? std::string(line) : EntryName(entries[static_cast<std::size_t>(at)]);
        std::string entry = name + '=' + std::to_string(*type);
        if (at < 0)
            entries.push_back(std::move(entry));
        else
            entries[static_cast<std::size_t>(at)] = std::move(entry);
    }
    SaveTextList(path, entries);
}

} // namespace takton
