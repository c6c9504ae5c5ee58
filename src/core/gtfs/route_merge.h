#pragma once

// One ordered station list per line out of the stop patterns of its trips. A
// station stands once in a line's route; direction 2 runs the route
// backwards. Patterns are merged into a common supersequence greedily: each
// pattern's stations keep their order, a station the route lacks is put
// right behind the pattern's station before it (or in front of the one after
// it), so branches and short workings leave the other stations empty.

#include <cstdint>
#include <vector>

namespace takton::gtfs {

using TPattern = std::vector<std::uint32_t>; // station indices in travel order

// A pattern that visits a station twice cut into pieces that visit each
// station once; each piece begins at the stop the one before ends with, so
// every section of the journey is kept. A pattern without repeats is one piece.
std::vector<TPattern> SplitLoops(const TPattern &pattern);

class TRouteMerge {
  public:
    // Merges the pattern into the route when its order agrees with it, run
    // forwards (reverse false) or backwards (true). False when it does not
    // agree either way (the route is then unchanged); else reversed tells
    // which way it was taken.
    bool Add(const TPattern &pattern, bool preferReverse, bool &reversed);
    const TPattern &Route() const { return route_; }
    // Position of each station of the route, by station (-1 where absent).
    std::int32_t PositionOf(std::uint32_t station) const {
        return station < position_.size() ? position_[station] : -1;
    }

  private:
    bool Fits(const TPattern &pattern) const;
    void Insert(const TPattern &pattern);
    void Renumber();

    TPattern route_;
    std::vector<std::int32_t> position_;
};

} // namespace takton::gtfs
