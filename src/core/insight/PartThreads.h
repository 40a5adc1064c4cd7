#pragma once

#include <cstddef>
#include <functional>

namespace pq {

// A log of fewer rows than this is counted on one thread: a second one would cost more than it saves.
inline constexpr int ParallelCountMinimum = 1 << 16;
// Counting takes at most this many threads, however many cores there are.
inline constexpr std::size_t MostCountingParts = 8;

// How many parts to count this many rows in: one per core for a big log, one for a small one.
std::size_t CountingParts(int rows);

// The first row of a part when `rows` rows are split into `parts` parts of about the same size; part `parts`
// gives `rows`.
int PartStart(int rows, std::size_t parts, std::size_t part);

// Calls work(part) for each part from 0 to parts - 1, each on a thread of its own (part 0 on the calling one), and
// returns once all have returned. The first exception a part throws is thrown again here.
void RunInParts(std::size_t parts, const std::function<void(std::size_t part)> &work);

} // namespace pq
