#pragma once

// The reverse index "station_lines.csv" (station=lines in the joined form),
// read once and then looked up as often as a query needs, together with the
// routes that a connection query reads beside it.

#include "core/model/list_text.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace takton {

class TStationLinesIndex {
  public:
    TStationLinesIndex() = default;
    // The entries of "station_lines.csv" as its lines, in file order.
    explicit TStationLinesIndex(TStringList entries);

    // Reads "station_lines.csv" of the project; a missing file gives an empty
    // index.
    static TStationLinesIndex Load(const std::string &dir);

    // The lines serving a station, as LoadStationLines gives them: the first
    // entry whose name matches without regard to case, its value split into
    // its items. Empty when there is no entry; a station without name has none.
    TStringList LinesOf(std::string_view station) const;

  private:
    TStringList entries_;
    // Case-folded name -> index of its first entry.
    std::unordered_map<std::string, std::size_t> firstEntry_;
};

// What a connection query works on, each file read once per query.
struct TQueryNetwork {
    TStationLinesIndex stationLines;
    // The entries of "line_stations.csv"; the listing of lines does not use
    // them yet. A missing file gives none.
    TStringList routes;
};

TQueryNetwork LoadQueryNetwork(const std::string &dir);

inline constexpr int kLineDescentPasses = 10;

// The lines listed under a start station. Level 0 holds the start station's
// lines in the order of its entry; each further level holds the lines of the
// station named like the first item of the level before it, and belongs under
// that item. The descent ends at the first name that is no station, or after
// the given number of passes (a cycle of names would go on for ever).
std::vector<TStringList> LineDescent(const TStationLinesIndex &index, std::string_view start,
                                     int passes = kLineDescentPasses);

} // namespace takton
