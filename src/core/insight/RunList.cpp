#include "insight/RunList.h"

#include <utility>

namespace pq {

RunList::RunList(std::vector<Numbers> runs, std::vector<int> days, std::vector<Distance> distances,
                 std::vector<double> seconds)
    : Runs(std::move(runs)), Days(std::move(days)), Distances(std::move(distances)), Seconds(std::move(seconds)) {}

RunList::RunList(const std::vector<CountedRun> &runs) {
    Runs.reserve(runs.size());
    Days.reserve(runs.size());
    Distances.reserve(runs.size());
    Seconds.reserve(runs.size());
    for (const CountedRun &run : runs) {
        Runs.push_back(Append(run));
    }
}

void RunList::Insert(const_iterator at, const CountedRun &run) {
    Runs.insert(Runs.begin() + static_cast<std::ptrdiff_t>(at.Index()), Append(run));
}

void RunList::Erase(const_iterator at) {
    Runs.erase(Runs.begin() + static_cast<std::ptrdiff_t>(at.Index()));
}

void RunList::MoveRows(int first, int offset) {
    const auto from = static_cast<std::uint32_t>(first);
    // A move back wraps around in unsigned arithmetic to the same row as in signed.
    const auto by = static_cast<std::uint32_t>(offset);
    for (Numbers &run : Runs) {
        run.Row += run.Row >= from ? by : 0U;
    }
}

RunList::Numbers RunList::Append(const CountedRun &run) {
    const auto place = [](const auto &table) { return static_cast<std::uint32_t>(table.size()); };
    const Numbers numbers{static_cast<std::uint32_t>(run.Row), place(Days), place(Distances), place(Seconds)};
    Days.push_back(run.DayNumber);
    Distances.push_back({run.Miles, run.Kilometers});
    Seconds.push_back(run.Seconds);
    return numbers;
}

} // namespace pq
