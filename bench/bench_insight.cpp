// Records, summary, the charts' data and the training load over a generated million-row log. Each starts from the
// loaded log, so the figures include counting the runs; counting them straight from the file, as pquil does, is
// measured too, and so is keeping the runs and loads of a log up to date through a one-row edit.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "BenchLogs.h"
#include "calc/DateRules.h"
#include "insight/ChartSeries.h"
#include "insight/CountedRuns.h"
#include "insight/LiveRuns.h"
#include "insight/LoadCounter.h"
#include "insight/PersonalRecords.h"
#include "insight/TrainingLoad.h"
#include "log/LogEntry.h"
#include "log/LogFile.h"
#include "log/LogList.h"
#include "log/LogScan.h"
#include "stats/StatsCalendar.h"

namespace {

constexpr std::size_t MillionRows = 1'000'000;
constexpr int Monday = 0;

const pq::LogList &MillionRowLog() {
    static const pq::LogList list = [] {
        pq::LogList loaded;
        pq::LoadLog(GeneratedLogPath(MillionRows), loaded);
        return loaded;
    }();
    return list;
}

// The day after the log's last run, so the current streaks and this year's line have runs behind them.
int DayAfterLastRun(const pq::RunList &runs) {
    return runs.empty() ? 1 : runs.back().DayNumber + 1;
}

void BM_CountRuns(benchmark::State &state) {
    const pq::LogList &list = MillionRowLog();
    for (auto _ : state)
        benchmark::DoNotOptimize(pq::CountRuns(list));
    state.counters["runs"] = static_cast<double>(pq::CountRuns(list).size());
}

// The file read in a part per core, each part counted on its own thread, then the parts joined.
void BM_CountRunsFromFile(benchmark::State &state) {
    const std::string path = GeneratedLogPath(MillionRows);
    std::size_t runs = 0;
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        std::vector<pq::RunCounter> parts(std::max(1U, std::thread::hardware_concurrency()));
        const pq::ScanResult result = pq::ScanLogFile(
            fd,
            [&parts](std::size_t part) -> pq::RowSink & {
                parts[part] = pq::RunCounter();
                return parts[part];
            },
            parts.size());
        ::close(fd);
        for (std::size_t part = 1; part < result.Parts; ++part) {
            parts.front().Append(parts[part]);
        }
        runs = parts.front().Finish().size();
    }
    state.counters["runs"] = static_cast<double>(runs);
}

void BM_Records(benchmark::State &state) {
    const pq::LogList &list = MillionRowLog();
    for (auto _ : state) {
        const pq::RunList runs = pq::CountRuns(list);
        benchmark::DoNotOptimize(pq::ComputeRecords(runs, DayAfterLastRun(runs), Monday));
    }
}

void BM_Summary(benchmark::State &state) {
    const pq::LogList &list = MillionRowLog();
    for (auto _ : state) {
        const pq::RunList runs = pq::CountRuns(list);
        benchmark::DoNotOptimize(
            pq::TotalsBetween(runs, pq::DayNumber(pq::FirstYear, 1, 1), pq::DayNumber(pq::LastYear, 12, 31)));
    }
}

void BM_WeeklySeries(benchmark::State &state) {
    const pq::LogList &list = MillionRowLog();
    for (auto _ : state) {
        const pq::RunList runs = pq::CountRuns(list);
        benchmark::DoNotOptimize(pq::WeeklySeries(runs, DayAfterLastRun(runs), Monday));
    }
}

void BM_YearOverYear(benchmark::State &state) {
    const pq::LogList &list = MillionRowLog();
    for (auto _ : state) {
        const pq::RunList runs = pq::CountRuns(list);
        benchmark::DoNotOptimize(pq::YearOverYearSeries(runs, DayAfterLastRun(runs)));
    }
}

void BM_ConsistencyCalendar(benchmark::State &state) {
    const pq::LogList &list = MillionRowLog();
    for (auto _ : state) {
        const pq::RunList runs = pq::CountRuns(list);
        benchmark::DoNotOptimize(pq::ConsistencySeries(runs, DayAfterLastRun(runs), Monday));
    }
}

// The series through the day after the last run, as the Charts window makes it: the rows counted, then every day.
void BM_TrainingLoad(benchmark::State &state) {
    const pq::LogList &list = MillionRowLog();
    std::size_t days = 0;
    for (auto _ : state) {
        pq::LoadCounter counter;
        counter.AddRows(list, {});
        const pq::DailyLoads loads = counter.Finish();
        days = pq::TrainingLoadSeries(loads, loads.FirstDay + int(loads.Loads.size())).size();
    }
    state.counters["days"] = static_cast<double>(days);
}

// As pquil load reads it: the file in a part per core, the parts joined, then the series.
void BM_TrainingLoadFromFile(benchmark::State &state) {
    const std::string path = GeneratedLogPath(MillionRows);
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        std::vector<pq::LoadCounter> parts(std::max(1U, std::thread::hardware_concurrency()));
        const pq::ScanResult result = pq::ScanLogFile(
            fd,
            [&parts](std::size_t part) -> pq::RowSink & {
                parts[part] = pq::LoadCounter();
                return parts[part];
            },
            parts.size());
        ::close(fd);
        for (std::size_t part = 1; part < result.Parts; ++part) {
            parts.front().Append(parts[part]);
        }
        const pq::DailyLoads loads = parts.front().Finish();
        benchmark::DoNotOptimize(pq::TrainingLoadSeries(loads, loads.FirstDay + int(loads.Loads.size())));
    }
}

// Modify Entry on a row in the middle, as the window makes it: the row leaves and its texts come back last.
void BM_LiveRunsEdit(benchmark::State &state) {
    pq::LogList list = MillionRowLog();
    pq::LiveRuns live(list);
    live.Count({});
    live.Loads();
    const int row = list.RowCount() / 2;
    for (auto _ : state) {
        const pq::LogEntry entry = list.ReadEntry(row);
        live.RowsAboutToBeRemoved(row, row);
        list.RemoveRow(row);
        live.RowsRemoved(row, row);
        list.AppendEntry(entry);
        live.RowsInserted(list.RowCount() - 1, list.RowCount() - 1);
    }
    state.counters["runs"] = static_cast<double>(live.Runs().size());
}

} // namespace

BENCHMARK(BM_CountRuns)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_CountRunsFromFile)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_Records)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Summary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WeeklySeries)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_YearOverYear)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConsistencyCalendar)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrainingLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiveRunsEdit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrainingLoadFromFile)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

BENCHMARK_MAIN();
