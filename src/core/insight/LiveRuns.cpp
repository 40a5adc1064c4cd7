#include "insight/LiveRuns.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

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
    const auto begin = LoadDays.begin() + first;
    const auto end = begin + count;
    std::vector<int> days;
    std::copy_if(begin, end, std::back_inserter(days), [](int day) { return day != 0; });
    LoadDays.erase(begin, end);
    RowLoads.erase(RowLoads.begin() + first, RowLoads.begin() + first + count);
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
    const int rows = List.RowCount();
    LoadDays.assign(static_cast<std::size_t>(rows), 0);
    RowLoads.assign(static_cast<std::size_t>(rows), 0);
    // What a load takes from each of the list's distinct Date, Time and Notes texts is read once (logs repeat
    // them); a row is then three look-ups and the load's arithmetic, as RowLoad does it.
    const auto readEach = [this](int column, auto &values, auto read) {
        const TextTable &texts = List.ColumnTexts(column);
        const auto count = static_cast<int>(texts.Size());
        values.resize(texts.Size());
        RunInChunks(CountingParts(count), count, CountingChunk, [&](std::size_t, int first, int end) {
            for (int id = first; id < end; ++id) {
                values[static_cast<std::size_t>(id)] = read(texts.Text(static_cast<std::uint32_t>(id)));
            }
        });
    };
    std::vector<int> days;
    std::vector<double> seconds;
    std::vector<int> efforts;
    readEach(DateColumn, days, LoadDayOf);
    readEach(TimeColumn, seconds, TimeTextSeconds);
    readEach(NotesColumn, efforts, [](std::string_view notes) { return PerceivedEffort(notes).value_or(UsualEffort); });
    RunInChunks(CountingParts(rows), rows, CountingChunk, [&](std::size_t, int first, int end) {
        for (int row = first; row < end; ++row) {
            if (Taken && !Taken(row)) {
                continue;
            }
            const int day = days[List.TextId(row, DateColumn)];
            const double time = seconds[List.TextId(row, TimeColumn)];
            if (day != 0 && time > 0) {
                LoadDays[static_cast<std::size_t>(row)] = day;
                RowLoads[static_cast<std::size_t>(row)] = RunLoad(time, efforts[List.TextId(row, NotesColumn)]);
            }
        }
    });
    Daily = SumLoads();
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
            loads.Loads[static_cast<std::size_t>(LoadDays[row] - loads.FirstDay)] += RowLoads[row];
        }
    }
    return loads;
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
    const std::optional<double> load = (!Taken || Taken(row)) ? LoadOf(row, day) : std::nullopt;
    LoadDays.push_back(load ? day : 0);
    RowLoads.push_back(load.value_or(0));
    if (!load) {
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
    Daily.Loads[index] += *load;
}

// The day's load added up again from its rows in list order; a first or last day left without runs narrows the
// days, which are then added up afresh.
void LiveRuns::SumDay(int day) {
    double sum = 0;
    bool runs = false;
    for (std::size_t row = 0; row < LoadDays.size(); ++row) {
        if (LoadDays[row] == day) {
            sum += RowLoads[row];
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
