#pragma once

#include <algorithm>
#include <cstddef>
#include <numeric>
#include <vector>

#include "stats/RowKey.h"

namespace pq {

// Puts rows that carry their key's day number (a member Day) in date order, and the rows of each day by `less`:
// first by day, counting the rows of each day and placing them in a second array, then the few rows of each day.
template <class Row, class Less> void SortByDay(std::vector<Row> &rows, Less less) {
    std::vector<std::size_t> starts(static_cast<std::size_t>(LargestKeyDayNumber) + 2, 0);
    for (const Row &row : rows) {
        ++starts[static_cast<std::size_t>(row.Day) + 1];
    }
    std::partial_sum(starts.begin(), starts.end(), starts.begin());
    std::vector<Row> sorted(rows.size());
    for (const Row &row : rows) {
        sorted[starts[static_cast<std::size_t>(row.Day)]++] = row;
    }
    rows = std::move(sorted);
    for (auto first = rows.begin(); first != rows.end();) {
        const auto day = first->Day;
        const auto last = std::find_if(first, rows.end(), [day](const Row &row) { return row.Day != day; });
        std::sort(first, last, less);
        first = last;
    }
}

} // namespace pq
