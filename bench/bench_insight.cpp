// Records, summary and the three charts' data over a generated million-row log. Each starts from the loaded log,
// so the figures include counting the runs (the statistics' snapshot and the row checks).
#include <benchmark/benchmark.h>

#include "BenchLogs.h"
#include "calc/DateRules.h"
#include "insight/ChartSeries.h"
#include "insight/CountedRuns.h"
#include "insight/PersonalRecords.h"
#include "log/LogFile.h"
#include "log/LogList.h"
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
int DayAfterLastRun(const std::vector<pq::CountedRun> &runs) {
    return runs.empty() ? 1 : runs.back().DayNumber + 1;
}

void BM_CountRuns(benchmark::State &state) {
    const pq::LogList &list = MillionRowLog();
    for (auto _ : state)
        benchmark::DoNotOptimize(pq::CountRuns(list));
    state.counters["runs"] = static_cast<double>(pq::CountRuns(list).size());
}

void BM_Records(benchmark::State &state) {
    const pq::LogList &list = MillionRowLog();
    for (auto _ : state) {
        const std::vector<pq::CountedRun> runs = pq::CountRuns(list);
        benchmark::DoNotOptimize(pq::ComputeRecords(runs, DayAfterLastRun(runs), Monday));
    }
}

void BM_Summary(benchmark::State &state) {
    const pq::LogList &list = MillionRowLog();
    for (auto _ : state) {
        const std::vector<pq::CountedRun> runs = pq::CountRuns(list);
        benchmark::DoNotOptimize(
            pq::TotalsBetween(runs, pq::DayNumber(pq::FirstYear, 1, 1), pq::DayNumber(pq::LastYear, 12, 31)));
    }
}

void BM_WeeklySeries(benchmark::State &state) {
    const pq::LogList &list = MillionRowLog();
    for (auto _ : state) {
        const std::vector<pq::CountedRun> runs = pq::CountRuns(list);
        benchmark::DoNotOptimize(pq::WeeklySeries(runs, DayAfterLastRun(runs), Monday));
    }
}

void BM_YearOverYear(benchmark::State &state) {
    const pq::LogList &list = MillionRowLog();
    for (auto _ : state) {
        const std::vector<pq::CountedRun> runs = pq::CountRuns(list);
        benchmark::DoNotOptimize(pq::YearOverYearSeries(runs, DayAfterLastRun(runs)));
    }
}

void BM_ConsistencyCalendar(benchmark::State &state) {
    const pq::LogList &list = MillionRowLog();
    for (auto _ : state) {
        const std::vector<pq::CountedRun> runs = pq::CountRuns(list);
        benchmark::DoNotOptimize(pq::ConsistencySeries(runs, DayAfterLastRun(runs), Monday));
    }
}

} // namespace

BENCHMARK(BM_CountRuns)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Records)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Summary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WeeklySeries)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_YearOverYear)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConsistencyCalendar)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
