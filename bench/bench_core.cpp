// Load, save, sort and statistics over generated logs of 10 k, 100 k and 1 M rows; the live snapshot's build, its
// change for one edited row and the weekly totals read from it.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "BenchLogs.h"
#include "log/LogEntry.h"
#include "log/LogFile.h"
#include "log/LogList.h"
#include "log/TPQLComparator.h"
#include "stats/LiveSnapshot.h"
#include "stats/PeriodTotals.h"

namespace {

void ReportMemory(benchmark::State &state, std::size_t fileBytes) {
    state.counters["file_MB"] = static_cast<double>(fileBytes) / 1e6;
    state.counters["peak_RSS_MB"] = static_cast<double>(PeakResidentBytes()) / 1e6;
}

void BM_LoadLog(benchmark::State &state) {
    const std::string path = GeneratedLogPath(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        pq::LogList list;
        benchmark::DoNotOptimize(pq::LoadLog(path, list));
        benchmark::DoNotOptimize(list.RowCount());
    }
    ReportMemory(state, std::filesystem::file_size(path));
}

void BM_WriteLog(benchmark::State &state) {
    const std::string path = GeneratedLogPath(static_cast<std::size_t>(state.range(0)));
    pq::LogList list;
    pq::LoadLog(path, list);
    const std::string target = path + ".written";
    for (auto _ : state)
        benchmark::DoNotOptimize(pq::WriteLog(list, target));
    std::filesystem::remove(target);
    ReportMemory(state, std::filesystem::file_size(path));
}

void BM_SortByColumn(benchmark::State &state) {
    const std::string path = GeneratedLogPath(static_cast<std::size_t>(state.range(0)));
    const int column = static_cast<int>(state.range(1));
    pq::LogList loaded;
    pq::LoadLog(path, loaded);
    for (auto _ : state) {
        state.PauseTiming();
        pq::LogList list = loaded;
        pq::SortState sort;
        state.ResumeTiming();
        pq::SortByColumn(list, sort, column);
    }
}

void BM_SnapshotAndTotals(benchmark::State &state) {
    const std::string path = GeneratedLogPath(static_cast<std::size_t>(state.range(0)));
    pq::LogList list;
    pq::LoadLog(path, list);
    for (auto _ : state) {
        const pq::TPacequillSSArray snapshot = pq::BuildSnapshot(list);
        benchmark::DoNotOptimize(pq::WeeklyTotals(snapshot, 0));
        benchmark::DoNotOptimize(pq::MonthlyTotals(snapshot));
        benchmark::DoNotOptimize(pq::YearlyTotals(snapshot));
        benchmark::DoNotOptimize(pq::RangeTotals(snapshot, {1980, 1, 1}, {2079, 12, 31}));
    }
    ReportMemory(state, std::filesystem::file_size(path));
}

void BM_Snapshot(benchmark::State &state) {
    const std::string path = GeneratedLogPath(static_cast<std::size_t>(state.range(0)));
    pq::LogList list;
    pq::LoadLog(path, list);
    for (auto _ : state)
        benchmark::DoNotOptimize(pq::BuildSnapshot(list));
}

void BM_LiveSnapshotBuild(benchmark::State &state) {
    const std::string path = GeneratedLogPath(static_cast<std::size_t>(state.range(0)));
    pq::LogList list;
    pq::LoadLog(path, list);
    for (auto _ : state) {
        pq::LiveSnapshot snapshot;
        snapshot.Build(list);
        benchmark::DoNotOptimize(snapshot.Size());
    }
}

// A row modified: its old texts leave the snapshot and its new ones join it.
void BM_LiveSnapshotEdit(benchmark::State &state) {
    const std::string path = GeneratedLogPath(static_cast<std::size_t>(state.range(0)));
    pq::LogList list;
    pq::LoadLog(path, list);
    pq::LiveSnapshot snapshot;
    snapshot.Build(list);
    const int row = list.RowCount() / 2;
    const auto date = list.Text(row, pq::DateColumn);
    const auto time = list.Text(row, pq::TimeColumn);
    const std::string distances[] = {std::string(list.Text(row, pq::DistanceColumn)), "12.5 Kilometers"};
    std::size_t step = 0;
    for (auto _ : state) {
        snapshot.RemoveRow(date, distances[step % 2], time);
        snapshot.AddRow(date, distances[++step % 2], time);
    }
}

void BM_LiveSnapshotWeekly(benchmark::State &state) {
    const std::string path = GeneratedLogPath(static_cast<std::size_t>(state.range(0)));
    pq::LogList list;
    pq::LoadLog(path, list);
    pq::LiveSnapshot snapshot;
    snapshot.Build(list);
    for (auto _ : state)
        benchmark::DoNotOptimize(pq::WeeklyTotals(snapshot, 0));
}

constexpr long Sizes[] = {10'000, 100'000, 1'000'000};

void RowSizes(benchmark::internal::Benchmark *bench) {
    for (long rows : Sizes)
        bench->Arg(rows);
}

void RowSizesByColumn(benchmark::internal::Benchmark *bench) {
    for (long rows : Sizes)
        for (long column = 0; column < 4; ++column)
            bench->Args({rows, column});
}

} // namespace

BENCHMARK(BM_LoadLog)->Apply(RowSizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteLog)->Apply(RowSizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByColumn)->Apply(RowSizesByColumn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Snapshot)->Apply(RowSizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SnapshotAndTotals)->Apply(RowSizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiveSnapshotBuild)->Apply(RowSizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiveSnapshotEdit)->Apply(RowSizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LiveSnapshotWeekly)->Apply(RowSizes)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
