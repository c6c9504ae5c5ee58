#include "core/gtfs/route_merge.h"

#include <algorithm>

namespace takton::gtfs {

std::vector<TPattern> SplitLoops(const TPattern &pattern) {
    std::vector<TPattern> pieces;
    TPattern piece;
    for (const std::uint32_t station : pattern) {
        if (std::find(piece.begin(), piece.end(), station) != piece.end()) {
            const std::uint32_t last = piece.back();
            pieces.push_back(std::move(piece));
            piece = {last};
        }
        piece.push_back(station);
    }
    if (!piece.empty() && (pieces.empty() || piece.size() > 1))
        pieces.push_back(std::move(piece));
    return pieces;
}

bool TRouteMerge::Fits(const TPattern &pattern) const {
    std::int32_t last = -1;
    for (const std::uint32_t station : pattern) {
        const std::int32_t at = PositionOf(station);
        if (at < 0)
            continue;
        if (at <= last)
            return false;
        last = at;
    }
    return true;
}

void TRouteMerge::Renumber() {
    for (std::size_t i = 0; i < route_.size(); ++i) {
        if (position_.size() <= route_[i])
            position_.resize(route_[i] + 1, -1);
        position_[route_[i]] = static_cast<std::int32_t>(i);
    }
}

// Fits(pattern) holds. New stations go behind the pattern's station before
// them, a leading run in front of the first known one.
void TRouteMerge::Insert(const TPattern &pattern) {
    TPattern merged;
    merged.reserve(route_.size() + pattern.size());
    std::size_t taken = 0; // route stations copied so far
    TPattern pending;      // new stations waiting for their place
    for (const std::uint32_t station : pattern) {
        const std::int32_t at = PositionOf(station);
        if (at < 0) {
            pending.push_back(station);
            continue;
        }
        const auto upTo = static_cast<std::size_t>(at);
        if (merged.empty() && taken == 0) {
            // Leading new stations come right before the first known one.
            merged.insert(merged.end(), route_.begin(), route_.begin() + at);
            merged.insert(merged.end(), pending.begin(), pending.end());
        } else {
            // Behind the known station before them.
            merged.insert(merged.end(), pending.begin(), pending.end());
            merged.insert(merged.end(), route_.begin() + static_cast<std::ptrdiff_t>(taken),
                          route_.begin() + at);
        }
        pending.clear();
        merged.push_back(station);
        taken = upTo + 1;
    }
    merged.insert(merged.end(), pending.begin(), pending.end());
    merged.insert(merged.end(), route_.begin() + static_cast<std::ptrdiff_t>(taken), route_.end());
    route_ = std::move(merged);
    Renumber();
}

bool TRouteMerge::Add(const TPattern &pattern, bool preferReverse, bool &reversed) {
    TPattern backwards(pattern.rbegin(), pattern.rend());
    const TPattern &first = preferReverse ? backwards : pattern;
    const TPattern &second = preferReverse ? pattern : backwards;
    if (Fits(first)) {
        Insert(first);
        reversed = preferReverse;
        return true;
    }
    if (Fits(second)) {
        Insert(second);
        reversed = !preferReverse;
        return true;
    }
    return false;
}

} // namespace takton::gtfs
