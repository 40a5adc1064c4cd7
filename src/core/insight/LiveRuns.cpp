#include "insight/LiveRuns.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <utility>
#include <vector>

#include "calc/DistanceTimeParts.h"
#include "insight/LoadCounter.h"
#include "insight/PartThreads.h"
#include "insight/TrainingLoad.h"
#include "log/LogEntry.h"
#include "log/LogList.h"
#include "log/NoteMarks.h"
#include "log/SpareRows.h"
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
}

void LiveRuns::RowsRemoved(int first, int last) {
    const int count = last - first + 1;
    if (first < List.RowCount()) {
        Counted.MoveRows(last + 1, -count);
    }
    if (!LoadsKept) {
        return;
    }
    const auto begin = LoadDays.begin() + first;
    const auto end = begin + count;
    std::vector<int> days;
    std::copy_if(begin, end, std::back_inserter(days), [](int day) { return day != 0; });
    LoadDays.erase(begin, end);
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
    const int rows = List.RowCount();
    // With room for rows appended later, so that the first one does not copy them all.
    LoadDays.clear();
    LoadDays.reserve(RowsWithSpare(static_cast<std::size_t>(rows)));
    LoadDays.resize(static_cast<std::size_t>(rows));
    RunInChunks(CountingParts(rows), rows, CountingChunk, [&](std::size_t, int first, int end) {
        for (int row = first; row < end; ++row) {
            LoadDays[static_cast<std::size_t>(row)] = LoadDayOfRow(row);
        }
    });
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

int LiveRuns::LoadDayOfRow(int row) const {
    if (Taken && !Taken(row)) {
        return 0;
    }
    const int day = DateDays[List.TextId(row, DateColumn)];
    return day != 0 && TimeSeconds[List.TextId(row, TimeColumn)] > 0 ? day : 0;
}

double LiveRuns::LoadOfRow(int row) const {
    return RunLoad(TimeSeconds[List.TextId(row, TimeColumn)], NotesEfforts[List.TextId(row, NotesColumn)]);
}

DailyLoads LiveRuns::SumLoads() const {
    DailyLoads loads;
    int lastDay = 0;
    for (const int day : LoadDays) {
        if (day != 0) {
            loads.FirstDay = loads.FirstDay == 0 ? day : std::min(loads.FirstDay, day);
            lastDay = std::max(lastDay, day);
        }
    }
    if (lastDay == 0) {
        return {};
    }
    loads.Loads.assign(static_cast<std::size_t>(lastDay - loads.FirstDay) + 1, 0);
    for (std::size_t row = 0; row < LoadDays.size(); ++row) {
        if (LoadDays[row] != 0) {
            loads.Loads[static_cast<std::size_t>(LoadDays[row] - loads.FirstDay)] += LoadOfRow(static_cast<int>(row));
        }
    }
    return loads;
}

// The last row's load is the last one added to its day, as a count of all rows adds it.
void LiveRuns::AppendLoad(int row) {
    ReadNewTexts();
    const int day = LoadDayOfRow(row);
    LoadDays.push_back(day);
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

// The day's load added up again from its rows in list order; a first or last day left without runs narrows the
// days, which are then added up afresh.
void LiveRuns::SumDay(int day) {
    double sum = 0;
    bool runs = false;
    for (std::size_t row = 0; row < LoadDays.size(); ++row) {
        if (LoadDays[row] == day) {
            sum += LoadOfRow(static_cast<int>(row));
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
