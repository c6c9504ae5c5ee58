#pragma once

// What an interval column of a timetable stands for: the journey left of it
// repeated every so many minutes while it leaves before the journey right of
// it. The feed export, the connection index, the poster and the graph each
// read the journeys their own way and expand intervals by this one rule.

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

namespace takton {

// The nearest journeys left and right of the interval column col among
// count columns (isJourney(c) tells a journey from an interval or an empty
// column); nothing when a side has none.
template <class IsJourney>
std::optional<std::pair<std::size_t, std::size_t>>
IntervalNeighbours(std::size_t col, std::size_t count, IsJourney isJourney) {
    std::size_t left = col, right = col + 1;
    while (left > 0 && !isJourney(left - 1))
        --left;
    while (right < count && !isJourney(right))
        ++right;
    if (left == 0 || right >= count)
        return std::nullopt;
    return std::pair(left - 1, right);
}

// The shifts of the journeys between a journey leaving at from and the next
// leaving at to: every minutes while before to; a to at or before from lies
// on the next day.
inline std::vector<int> IntervalShifts(int from, int to, int minutes) {
    std::vector<int> shifts;
    if (minutes <= 0)
        return shifts;
    while (to <= from)
        to += 24 * 60;
    for (int shift = minutes; from + shift < to; shift += minutes)
        shifts.push_back(shift);
    return shifts;
}

} // namespace takton
