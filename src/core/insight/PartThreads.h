#pragma once

#include <cstddef>

#include "log/WorkThreads.h"

namespace pq {

// A log of fewer rows than this is counted on one thread: a second one would cost more than it saves.
inline constexpr int ParallelCountMinimum = 1 << 16;
// Counting takes at most this many threads, however many cores there are.
inline constexpr std::size_t MostCountingParts = 8;
// The rows or days a counting thread takes at a time.
inline constexpr int CountingChunk = 1 << 14;

// How many parts to count this many rows in: one per core for a big log, one for a small one.
std::size_t CountingParts(int rows);

} // namespace pq
