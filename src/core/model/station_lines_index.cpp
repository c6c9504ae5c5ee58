#include "core/model/station_lines_index.h"

#include "core/files/file_io.h"
#include "core/model/master_data.h"
#include "core/util/cp1252.h"

#include <utility>

namespace takton {
namespace {} // namespace

TStationLinesIndex::TStationLinesIndex(TStringList entries) : entries_(std::move(entries)) {
    firstEntry_.reserve(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        // An entry without "=" names no station; the first of equal names wins.
        if (HasEntryName(entries_[i]))
            firstEntry_.emplace(FoldCase(EntryName(entries_[i])), i);
    }
}

TStationLinesIndex TStationLinesIndex::Load(const std::string &dir) {
    return TStationLinesIndex(LoadNameList(dir, kStationLinesFile));
}

TStringList TStationLinesIndex::LinesOf(std::string_view station) const {
    if (station.empty())
        return {};
    const auto found = firstEntry_.find(FoldCase(station));
    if (found == firstEntry_.end())
        return {};
    return SplitList(EntryValue(entries_[found->second]));
}

TQueryNetwork LoadQueryNetwork(const std::string &dir) {
    TQueryNetwork network;
    network.stationLines = TStationLinesIndex::Load(dir);
    network.routes = LoadNameList(dir, kLineStationsFile);
    return network;
}

std::vector<TStringList> LineDescent(const TStationLinesIndex &index, std::string_view start,
                                     int passes) {
    std::vector<TStringList> levels;
    std::string current(start);
    for (int pass = 0; pass < passes; ++pass) {
        TStringList lines = index.LinesOf(current);
        // Every later pass would look up the same name again and find nothing.
        if (lines.empty())
            break;
        current = lines.front();
        levels.push_back(std::move(lines));
    }
    return levels;
}

} // namespace takton
