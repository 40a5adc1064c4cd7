#pragma once

#include <cstddef>
#include <functional>

namespace pq {

// Calls work(part) for each part from 0 to parts - 1, each on a thread of its own (part 0 on the calling one), and
// returns once all have returned. The first exception a part throws (by part number) is thrown again here.
void RunInParts(std::size_t parts, const std::function<void(std::size_t part)> &work);

// Calls work(thread, first, end) for chunks of `chunk` items that together are 0 up to count, on `threads` threads
// as RunInParts does. A thread takes the next chunk not yet taken as soon as it is done with one, so that a thread
// that gets less time on a busy machine takes fewer chunks rather than keeping the others waiting.
void RunInChunks(std::size_t threads, int count, int chunk,
                 const std::function<void(std::size_t thread, int first, int end)> &work);

} // namespace pq
