#include "insight/PartThreads.h"

#include <algorithm>
#include <exception>
#include <thread>
#include <vector>

namespace pq {

std::size_t CountingParts(int rows) {
    if (rows < ParallelCountMinimum) {
        return 1;
    }
    return std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, MostCountingParts);
}

int PartStart(int rows, std::size_t parts, std::size_t part) {
    return static_cast<int>(static_cast<long long>(rows) * static_cast<long long>(part) /
                            static_cast<long long>(parts));
}

void RunInParts(std::size_t parts, const std::function<void(std::size_t part)> &work) {
    std::vector<std::exception_ptr> errors(parts);
    const auto guarded = [&](std::size_t part) {
        try {
            work(part);
        } catch (...) {
            errors[part] = std::current_exception();
        }
    };
    std::vector<std::thread> threads;
    for (std::size_t part = 1; part < parts; ++part) {
        threads.emplace_back(guarded, part);
    }
    if (parts > 0) {
        guarded(0);
    }
    for (std::thread &thread : threads) {
        thread.join();
    }
    for (const std::exception_ptr &error : errors) {
        if (error) {
            std::rethrow_exception(error);
        }
    }
}

} // namespace pq
