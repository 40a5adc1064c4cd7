#pragma once

#include <cstddef>

namespace pq {

// Room for rows added after an array of a log's rows was filled: an eighth more, and a few for a short log.
// Without it the first added row would double the array, which for a million rows holds both copies for a moment;
// room never written to takes no memory.
inline constexpr std::size_t SpareRowsDivisor = 8;
inline constexpr std::size_t SpareRowsMinimum = 16;

constexpr std::size_t RowsWithSpare(std::size_t rows) {
    return rows + rows / SpareRowsDivisor + SpareRowsMinimum;
}

} // namespace pq
