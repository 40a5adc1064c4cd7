#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "insight/CountedRuns.h"
#include "insight/RunList.h"
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
    // Lets go of the runs until the next Count, for a list whose rows are about to be replaced or reordered: the
    // runs are read through the list, and those rows would no longer be theirs.
    void Forget();
    // After rows first through last were inserted into the list, those after them moved down; the runs of the
    // rows inserted that count.
    std::vector<CountedRun> RowsInserted(int first, int last);
    // Before rows first through last are removed from the list, and after, when those after them moved up.
    void RowsAboutToBeRemoved(int first, int last);
    void RowsRemoved(int first, int last);

    const RunList &Runs() const { return Counted; }
    const RowFilter &Filter() const { return Taken; }
    // The daily loads of the rows the filter takes: counted when first asked for, and kept from then on.
    const DailyLoads &Loads();

private:
    // The row's run when the filter takes it and it counts.
    std::optional<CountedRun> RunOf(int row) const;
    // The runs of the run's day, which are next to each other.
    std::pair<RunList::const_iterator, RunList::const_iterator> DayRuns(const CountedRun &run) const;
    // Inserts the row's run, when it has one that counts, and gives it.
    std::optional<CountedRun> InsertRun(int row);
    // Reads what a load takes from each of the list's Date, Time and Notes texts and adds up the loads by day.
    void CountLoads();
    // Reads the list's texts that came since they were last read, a part of them on each core when many.
    void ReadNewTexts();
    // The day of the row's load, when the filter takes it, its Date passes the date rules and its Time is above
    // zero; 0 for a row without a load.
    int LoadDayOfRow(int row) const;
    // The load of a row that has one.
    double LoadOfRow(int row) const;
    void AppendLoad(int row);
    // Adds up again the loads of the days of rows that were removed.
    void SumDays(std::vector<int> days);
    void SumDay(int day);
    // The daily loads of the rows' loads, added up in list order.
    DailyLoads SumLoads() const;

    const LogList &List;
    RowFilter Taken;
    RunList Counted;
    bool LoadsKept = false;
    // The days of the loads of rows about to be removed, to add up again once they are.
    std::vector<int> RemovedLoadDays;
    // By the number of a text in its column of the list: the day of a Date (0 when it fails the date rules), the
    // seconds of a Time and the effort of a Notes text. Logs repeat their texts, so a row's load and its day are
    // made from these when needed rather than kept for every row.
    std::vector<int> DateDays;
    std::vector<double> TimeSeconds;
    std::vector<int> NotesEfforts;
    DailyLoads Daily;
};

} // namespace pq
