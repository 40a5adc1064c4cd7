#include "insight/LiveRuns.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "calc/DistanceTimeParts.h"
#include "insight/LoadCounter.h"
#include "insight/PartThreads.h"
#include "insight/TrainingLoad.h"
#include "log/LogEntry.h"
#include "log/LogList.h"
#include "log/NoteMarks.h"
#include "log/TextTable.h"

namespace pq {

void LiveRuns::Count(RowFilter filter) {
    Taken = std::move(filter);
    // The runs counted before go first, so that a count again does not hold both.
    Counted = {};
    Counted = CountRuns(List, Taken);
    if (LoadsKept) {
        CountLoads();
    }
}

void LiveRuns::Forget() {
    Counted = {};
}

std::vector<CountedRun> LiveRuns::RowsInserted(int first, int last) {
    const int count = last - first + 1;
    // Rows added at the end, as the window adds them, move no row.
    const bool appended = last == List.RowCount() - 1;
    if (!appended) {
        Counted.MoveRows(first, count);
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
            AppendLoad(row);
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
                Counted.Erase(found);
            }
        }
    }
    if (LoadsKept) {
        ReadNewTexts();
        for (int row = first; row <= last; ++row) {
            if (const int day = LoadDayOfRow(row); day != 0) {
                RemovedLoadDays.push_back(day);
            }
        }
    }
}

void LiveRuns::RowsRemoved(int first, int last) {
    const int count = last - first + 1;
    if (first < List.RowCount()) {
        Counted.MoveRows(last + 1, -count);
    }
    if (LoadsKept) {
        SumDays(std::exchange(RemovedLoadDays, {}));
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

std::pair<RunList::const_iterator, RunList::const_iterator> LiveRuns::DayRuns(const CountedRun &run) const {
    return std::equal_range(Counted.begin(), Counted.end(), run, [](const CountedRun &left, const CountedRun &right) {
        return left.DayNumber < right.DayNumber;
    });
}

// The run goes after the runs that come before it in CountRuns' order: by date, by its key's texts, then by row.
std::optional<CountedRun> LiveRuns::InsertRun(int row) {
    const std::optional<CountedRun> run = RunOf(row);
    if (run) {
        const auto [begin, end] = DayRuns(*run);
        Counted.Insert(std::upper_bound(begin, end, *run,
                                        [this](const CountedRun &left, const CountedRun &right) {
                                            return RunBefore(List, left, right);
                                        }),
                       *run);
    }
    return run;
}

void LiveRuns::CountLoads() {
    DateDays.clear();
    TimeSeconds.clear();
    NotesEfforts.clear();
    ReadNewTexts();
    Daily = SumLoads();
}

// What a load takes from each of the list's distinct Date, Time and Notes texts is read once (logs repeat them);
// a row is then three look-ups and the load's arithmetic, as RowLoad does it.
void LiveRuns::ReadNewTexts() {
    const auto readNew = [this](int column, auto &values, auto read) {
        const TextTable &texts = List.ColumnTexts(column);
        const auto known = static_cast<int>(values.size());
        const auto count = static_cast<int>(texts.Size()) - known;
        if (count <= 0) {
            return;
        }
        values.resize(texts.Size());
        RunInChunks(CountingParts(count), count, CountingChunk, [&](std::size_t, int first, int end) {
            for (int id = known + first; id < known + end; ++id) {
                values[static_cast<std::size_t>(id)] = read(texts.Text(static_cast<std::uint32_t>(id)));
            }
        });
    };
    readNew(DateColumn, DateDays, LoadDayOf);
    readNew(TimeColumn, TimeSeconds, TimeTextSeconds);
    readNew(NotesColumn, NotesEfforts,
            [](std::string_view notes) { return PerceivedEffort(notes).value_or(UsualEffort); });
}

// The filter, which may read the row's texts, is asked last.
int LiveRuns::LoadDayOfRow(int row) const {
    const PackedRows &ids = List.Records();
    const auto index = static_cast<std::size_t>(row);
    const int day = DateDays[ids.Id(index, DateColumn)];
    if (day == 0 || TimeSeconds[ids.Id(index, TimeColumn)] <= 0 || (Taken && !Taken(row))) {
        return 0;
    }
    return day;
}

double LiveRuns::LoadOfRow(int row) const {
    return RunLoad(TimeSeconds[List.TextId(row, TimeColumn)], NotesEfforts[List.TextId(row, NotesColumn)]);
}

// The first and last days are found a part of the rows on each core; the loads are then added up in list order.
DailyLoads LiveRuns::SumLoads() const {
    const int rows = List.RowCount();
    const std::size_t parts = CountingParts(rows);
    std::vector<std::pair<int, int>> spans(parts, {0, 0});
    RunInChunks(parts, rows, CountingChunk, [&](std::size_t part, int first, int end) {
        auto &[firstDay, lastDay] = spans[part];
        for (int row = first; row < end; ++row) {
            if (const int day = LoadDayOfRow(row); day != 0) {
                firstDay = firstDay == 0 ? day : std::min(firstDay, day);
                lastDay = std::max(lastDay, day);
            }
        }
    });
    DailyLoads loads;
    int lastDay = 0;
    for (const auto &[first, last] : spans) {
        if (last != 0) {
            loads.FirstDay = loads.FirstDay == 0 ? first : std::min(loads.FirstDay, first);
            lastDay = std::max(lastDay, last);
        }
    }
    if (lastDay == 0) {
        return {};
    }
    loads.Loads.assign(static_cast<std::size_t>(lastDay - loads.FirstDay) + 1, 0);
    for (int row = 0; row < rows; ++row) {
        if (const int day = LoadDayOfRow(row); day != 0) {
            loads.Loads[static_cast<std::size_t>(day - loads.FirstDay)] += LoadOfRow(row);
        }
    }
    return loads;
}

// The last row's load is the last one added to its day, as a count of all rows adds it.
void LiveRuns::AppendLoad(int row) {
    ReadNewTexts();
    const int day = LoadDayOfRow(row);
    if (day == 0) {
        return;
    }
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
    Daily.Loads[index] += LoadOfRow(row);
}

// A day is added up again by a pass over the rows; many days at once are added up afresh in one.
void LiveRuns::SumDays(std::vector<int> days) {
    constexpr std::size_t MostDaysApart = 4;
    std::sort(days.begin(), days.end());
    days.erase(std::unique(days.begin(), days.end()), days.end());
    if (days.size() > MostDaysApart) {
        Daily = SumLoads();
        return;
    }
    for (const int day : days) {
        SumDay(day);
    }
}

// The day's load added up again from its rows in list order; a first or last day left without runs narrows the
// days, which are then added up afresh.
void LiveRuns::SumDay(int day) {
    // A day outside the days held has no load to change: one added up afresh for an earlier day narrowed them.
    if (Daily.Loads.empty() || day < Daily.FirstDay || day >= Daily.FirstDay + static_cast<int>(Daily.Loads.size())) {
        return;
    }
    double sum = 0;
    bool runs = false;
    for (int row = 0; row < List.RowCount(); ++row) {
        if (LoadDayOfRow(row) == day) {
            sum += LoadOfRow(row);
            runs = true;
        }
    }
    const int lastDay = Daily.FirstDay + static_cast<int>(Daily.Loads.size()) - 1;
    if (!runs && (day == Daily.FirstDay || day == lastDay)) {
        Daily = SumLoads();
        return;
    }
    Daily.Loads[static_cast<std::size_t>(day - Daily.FirstDay)] = sum;
}

} // namespace pq
