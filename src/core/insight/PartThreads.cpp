#include "insight/PartThreads.h"

#include <algorithm>
#include <thread>

namespace pq {

std::size_t CountingParts(int rows) {
    if (rows < ParallelCountMinimum) {
        return 1;
    }
    return std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, MostCountingParts);
}

} // namespace pq
