#pragma once

#include <algorithm>
#include <cstddef>
#include <numeric>
#include <vector>

#include "stats/RowKey.h"

namespace pq {

// Puts rows that carry their key's day number (a member Day) in date order, keeping the order of the rows of
// each day: counts the rows of each day and places them in a second array, which keeps the first one's room, so
// that rows added afterwards do not make it grow at once.
template <class Row> void PlaceByDay(std::vector<Row> &rows) {
    std::vector<std::size_t> starts(static_cast<std::size_t>(LargestKeyDayNumber) + 2, 0);
    for (const Row &row : rows) {
        ++starts[static_cast<std::size_t>(row.Day) + 1];
    }
    std::partial_sum(starts.begin(), starts.end(), starts.begin());
    std::vector<Row> placed;
    placed.reserve(rows.capacity());
    placed.resize(rows.size());
    for (const Row &row : rows) {
        placed[starts[static_cast<std::size_t>(row.Day)]++] = row;
    }
    rows = std::move(placed);
}

// Puts rows that carry their key's day number in date order, and the rows of each day by `less`: first by day,
// then the few rows of each day. Most logs are kept in date order already, and their rows need no second array.
template <class Row, class Less> void SortByDay(std::vector<Row> &rows, Less less) {
    if (!std::is_sorted(rows.begin(), rows.end(),
                        [](const Row &left, const Row &right) { return left.Day < right.Day; })) {
        PlaceByDay(rows);
    }
    for (auto first = rows.begin(); first != rows.end();) {
        const auto day = first->Day;
        const auto last = std::find_if(first, rows.end(), [day](const Row &row) { return row.Day != day; });
        std::sort(first, last, less);
        first = last;
    }
}

} // namespace pq
