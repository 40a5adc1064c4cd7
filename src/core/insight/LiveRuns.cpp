#include "insight/LiveRuns.h"

#include <algorithm>

#include "insight/LoadCounter.h"
#include "log/LogEntry.h"
#include "log/LogList.h"

namespace pq {

void LiveRuns::Count(RowFilter filter) {
    Taken = std::move(filter);
    Counted = CountRuns(List, Taken);
    if (LoadsKept) {
        CountLoads();
    }
}

std::vector<CountedRun> LiveRuns::RowsInserted(int first, int last) {
    const int count = last - first + 1;
    // Rows added at the end, as the window adds them, move no row.
    const bool appended = last == List.RowCount() - 1;
    if (!appended) {
        for (CountedRun &run : Counted) {
            run.Row += run.Row >= first ? count : 0;
        }
    }
    std::vector<CountedRun> inserted;
    for (int row = first; row <= last; ++row) {
        if (const std::optional<CountedRun> run = InsertRun(row)) {
            inserted.push_back(*run);
        }
    }
    if (LoadsKept && !appended) {
        CountLoads();
    } else if (LoadsKept) {
        for (int row = first; row <= last; ++row) {
            if (!Taken || Taken(row)) {
                AppendLoad(row);
            }
        }
    }
    return inserted;
}

void LiveRuns::RowsAboutToBeRemoved(int first, int last) {
    for (int row = first; row <= last; ++row) {
        if (const std::optional<CountedRun> run = RunOf(row)) {
            const auto [begin, end] = DayRuns(*run);
            const auto found =
                std::lower_bound(begin, end, *run, [this](const CountedRun &left, const CountedRun &right) {
                    return RunBefore(List, left, right);
                });
            if (found != end && found->Row == row) {
                Counted.erase(found);
            }
        }
    }
}

void LiveRuns::RowsRemoved(int first, int last) {
    const int count = last - first + 1;
    if (first < List.RowCount()) {
        for (CountedRun &run : Counted) {
            run.Row -= run.Row > last ? count : 0;
        }
    }
    if (!LoadsKept) {
        return;
    }
    const auto begin = std::lower_bound(LoadedRows.begin(), LoadedRows.end(), first);
    const auto end = std::upper_bound(begin, LoadedRows.end(), last);
    const auto from = RowLoads.begin() + (begin - LoadedRows.begin());
    std::vector<int> days;
    for (auto removed = from; removed != from + (end - begin); ++removed) {
        days.push_back(removed->first);
    }
    RowLoads.erase(from, from + (end - begin));
    for (auto loaded = LoadedRows.erase(begin, end); loaded != LoadedRows.end(); ++loaded) {
        *loaded -= count;
    }
    for (const int day : days) {
        SumDay(day);
    }
}

const DailyLoads &LiveRuns::Loads() {
    if (!LoadsKept) {
        LoadsKept = true;
        CountLoads();
    }
    return Daily;
}

std::optional<CountedRun> LiveRuns::RunOf(int row) const {
    if (Taken && !Taken(row)) {
        return std::nullopt;
    }
    return CountedRunOf(row, List.Text(row, DateColumn), List.Text(row, DistanceColumn), List.Text(row, TimeColumn));
}

std::pair<std::vector<CountedRun>::iterator, std::vector<CountedRun>::iterator>
LiveRuns::DayRuns(const CountedRun &run) {
    return std::equal_range(Counted.begin(), Counted.end(), run, [](const CountedRun &left, const CountedRun &right) {
        return left.DayNumber < right.DayNumber;
    });
}

// The run goes after the runs that come before it in CountRuns' order: by date, by its key's texts, then by row.
std::optional<CountedRun> LiveRuns::InsertRun(int row) {
    const std::optional<CountedRun> run = RunOf(row);
    if (run) {
        const auto [begin, end] = DayRuns(*run);
        Counted.insert(std::upper_bound(begin, end, *run,
                                        [this](const CountedRun &left, const CountedRun &right) {
                                            return RunBefore(List, left, right);
                                        }),
                       *run);
    }
    return run;
}

void LiveRuns::CountLoads() {
    LoadedRows.clear();
    RowLoads.clear();
    // Room for every row at once: grown step by step, the old and the new room would be held together.
    LoadedRows.reserve(static_cast<std::size_t>(List.RowCount()));
    RowLoads.reserve(static_cast<std::size_t>(List.RowCount()));
    // Logs hold the runs of a day together: the day of the last Date text read is kept.
    std::string_view lastDate;
    int lastDay = 0;
    for (int row = 0; row < List.RowCount(); ++row) {
        if (!Taken || Taken(row)) {
            const std::string_view date = List.Text(row, DateColumn);
            if (row == 0 || date != lastDate) {
                lastDay = LoadDayOf(date);
                lastDate = date;
            }
            if (const std::optional<double> load = LoadOf(row, lastDay)) {
                LoadedRows.push_back(row);
                RowLoads.emplace_back(lastDay, *load);
            }
        }
    }
    Daily = SumDailyLoads(RowLoads);
}

std::optional<double> LiveRuns::LoadOf(int row, int day) const {
    if (day == 0) {
        return std::nullopt;
    }
    return RowLoad(List.Text(row, TimeColumn), List.Text(row, NotesColumn));
}

// The last row's load is the last one added to its day, as a count of all rows adds it.
void LiveRuns::AppendLoad(int row) {
    const int day = LoadDayOf(List.Text(row, DateColumn));
    const std::optional<double> load = LoadOf(row, day);
    if (!load) {
        return;
    }
    LoadedRows.push_back(row);
    RowLoads.emplace_back(day, *load);
    if (Daily.Loads.empty()) {
        Daily.FirstDay = day;
    } else if (day < Daily.FirstDay) {
        Daily.Loads.insert(Daily.Loads.begin(), static_cast<std::size_t>(Daily.FirstDay - day), 0);
        Daily.FirstDay = day;
    }
    const auto index = static_cast<std::size_t>(day - Daily.FirstDay);
    if (index >= Daily.Loads.size()) {
        Daily.Loads.resize(index + 1, 0);
    }
    Daily.Loads[index] += *load;
}

// The day's load added up again from its rows in list order; a first or last day left without runs narrows the
// days, which are then added up afresh.
void LiveRuns::SumDay(int day) {
    double sum = 0;
    bool runs = false;
    for (const auto &[loadDay, load] : RowLoads) {
        if (loadDay == day) {
            sum += load;
            runs = true;
        }
    }
    const int lastDay = Daily.FirstDay + static_cast<int>(Daily.Loads.size()) - 1;
    if (!runs && (day == Daily.FirstDay || day == lastDay)) {
        Daily = SumDailyLoads(RowLoads);
        return;
    }
    Daily.Loads[static_cast<std::size_t>(day - Daily.FirstDay)] = sum;
}

} // namespace pq
