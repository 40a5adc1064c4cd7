#include "log/WorkThreads.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>
#include <vector>

namespace pq {

void RunInParts(std::size_t parts, const std::function<void(std::size_t part)> &work) {
    std::vector<std::exception_ptr> errors(parts);
    const auto guarded = [&](std::size_t part) {
        try {
            work(part);
        } catch (...) {
            errors[part] = std::current_exception();
        }
    };
    // Threads started before one failed to start are joined as the list goes.
    std::vector<std::jthread> threads;
    for (std::size_t part = 1; part < parts; ++part) {
        threads.emplace_back(guarded, part);
    }
    if (parts > 0) {
        guarded(0);
    }
    for (std::jthread &thread : threads) {
        thread.join();
    }
    for (const std::exception_ptr &error : errors) {
        if (error) {
            std::rethrow_exception(error);
        }
    }
}

void RunInChunks(std::size_t threads, int count, int chunk,
                 const std::function<void(std::size_t thread, int first, int end)> &work) {
    std::atomic<int> next = 0;
    RunInParts(threads, [&](std::size_t thread) {
        for (int first = next.fetch_add(chunk); first < count; first = next.fetch_add(chunk)) {
            work(thread, first, std::min(count - first, chunk) + first);
        }
    });
}

} // namespace pq
