#include "import/ActivityReadAhead.h"

#include <algorithm>
#include <new>
#include <string_view>
#include <utility>

namespace pq {

namespace {

// How many files each worker may read beyond the one being taken: enough to keep the cores busy while the taker
// works on a result, few enough that the results waiting cost little memory.
constexpr std::size_t FilesAheadPerThread = 4;
constexpr std::string_view OutOfMemory = "not enough memory to read the file";

// A new thread starts with the vector register state of the thread that made it, and the window program's main
// thread can have the upper halves of the AVX registers in use (left so by library code). Every SSE instruction of
// the parsing, the great-circle arithmetic above all, then pays a transition penalty: the window read a batch with
// half as much CPU time again as pquil. Clearing them once as a worker starts avoids it.
void ClearUpperVectorState() {
#if defined(__x86_64__) || defined(__i386__)
    if (__builtin_cpu_supports("avx")) {
        __asm__ __volatile__("vzeroupper");
    }
#endif
}

} // namespace

ActivityReadAhead::ActivityReadAhead(std::vector<ActivityInput> inputs, std::size_t threads)
    : Inputs(std::move(inputs)), Ahead(std::max<std::size_t>(1, threads) * FilesAheadPerThread),
      Results(Inputs.size()) {
    Names.reserve(Inputs.size());
    for (const ActivityInput &input : Inputs) {
        Names.push_back(input.Name());
    }
    const std::size_t count = std::min(std::max<std::size_t>(1, threads), Inputs.size());
    Workers.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        Workers.emplace_back([this] { Work(); });
    }
}

ActivityReadAhead::~ActivityReadAhead() {
    {
        const std::lock_guard<std::mutex> guard(Lock);
        Stopping = true;
    }
    Changed.notify_all();
    for (std::thread &worker : Workers) {
        worker.join();
    }
}

void ActivityReadAhead::Work() {
    ClearUpperVectorState();
    std::unique_lock<std::mutex> guard(Lock);
    for (;;) {
        Changed.wait(guard,
                     [this] { return Stopping || NextToRead == Inputs.size() || NextToRead < NextToTake + Ahead; });
        if (Stopping || NextToRead == Inputs.size()) {
            return;
        }
        const std::size_t index = NextToRead++;
        guard.unlock();
        FileActivities read;
        try {
            read = ReadActivityInput(Inputs[index]);
        } catch (const std::bad_alloc &) {
            // Nothing may leave a worker thread; the file is reported like any other that could not be read.
            read.Error = ReadError{Names[index], {}, std::string(OutOfMemory)};
        }
        guard.lock();
        Results[index] = std::move(read);
        Changed.notify_all();
    }
}

FileActivities ActivityReadAhead::TakeNext() {
    std::unique_lock<std::mutex> guard(Lock);
    const std::size_t index = NextToTake;
    Changed.wait(guard, [this, index] { return Results[index].has_value(); });
    FileActivities taken = std::move(*Results[index]);
    Results[index].reset();
    ++NextToTake;
    guard.unlock();
    Changed.notify_all();
    return taken;
}

} // namespace pq
