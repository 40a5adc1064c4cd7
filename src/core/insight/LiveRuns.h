#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "insight/CountedRuns.h"
#include "insight/TrainingLoad.h"

namespace pq {

class LogList;

// The counted runs of a log list (CountRuns) and the daily training loads of its rows (LoadCounter), kept beside
// the list and changed per inserted or removed row, so that an edit costs a pass over the runs rather than reading
// every row again. The list must outlive it; after the list's rows are reordered or replaced, Count again.
class LiveRuns {
public:
    explicit LiveRuns(const LogList &list) : List(list) {}
    LiveRuns(const LogList &&) = delete;

    // Counts the rows that the filter takes (every row for an empty one) afresh.
    void Count(RowFilter filter);
    // After rows first through last were inserted into the list, those after them moved down; the runs of the
    // rows inserted that count.
    std::vector<CountedRun> RowsInserted(int first, int last);
    // Before rows first through last are removed from the list, and after, when those after them moved up.
    void RowsAboutToBeRemoved(int first, int last);
    void RowsRemoved(int first, int last);

    const std::vector<CountedRun> &Runs() const { return Counted; }
    const RowFilter &Filter() const { return Taken; }
    // The daily loads of the rows the filter takes: counted when first asked for, and kept from then on.
    const DailyLoads &Loads();

private:
    // The row's run when the filter takes it and it counts.
    std::optional<CountedRun> RunOf(int row) const;
    // The runs of the run's day, which are next to each other.
    std::pair<std::vector<CountedRun>::iterator, std::vector<CountedRun>::iterator> DayRuns(const CountedRun &run);
    // Inserts the row's run, when it has one that counts, and gives it.
    std::optional<CountedRun> InsertRun(int row);
    // Reads the load of every row, a part of the rows on each core for a big list, and adds them up by day.
    void CountLoads();
    // The load of the row when its Date has this day (LoadDayOf, 0 for none) and its Time is above zero.
    std::optional<double> LoadOf(int row, int day) const;
    void AppendLoad(int row);
    void SumDay(int day);
    // The daily loads of the rows' loads, added up in list order.
    DailyLoads SumLoads() const;

    const LogList &List;
    RowFilter Taken;
    std::vector<CountedRun> Counted;
    bool LoadsKept = false;
    // Per row of the list: the day of its load (0 for a row without one) and the load.
    std::vector<int> LoadDays;
    std::vector<double> RowLoads;
    DailyLoads Daily;
};

} // namespace pq
