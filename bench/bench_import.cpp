// Reading activity files: GPX and TCX at 50 MB/s or more and FIT at 200 MB/s or more on one core; the duplicate
// check over a big log; pquil import of a thousand one-hour GPX runs (one point a second) in under 10 s with a peak
// under 200 MB, and of an account's export of 3,000 compressed runs in one zip in under 30 s, also under 200 MB.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ActivityTemplates.h"
#include "BenchActivities.h"
#include "FitWriter.h"
#include "import/ActivityFiles.h"
#include "import/DuplicateCheck.h"
#include "log/LogList.h"

namespace {

constexpr std::int64_t Start = 1764572400; // 2025-12-01T07:00:00Z
constexpr int FitRecords = 200000;
constexpr int TcxLaps = 5000;
constexpr int DuplicateRows = 1000000;
constexpr int DuplicateLookupStep = 10;

std::string ManyLapsTcx() {
    std::vector<ActivityTemplates::Lap> laps;
    laps.reserve(TcxLaps);
    for (int i = 0; i < TcxLaps; ++i) {
        laps.push_back({Start + std::int64_t{i} * 60, 60, 200});
    }
    return ActivityTemplates::Tcx({ActivityTemplates::TcxActivity("Running", Start, laps)});
}

std::string LongFit() {
    FitWriter writer;
    const auto start = static_cast<std::uint32_t>(Start - FitWriter::FitEpoch);
    writer.AddRecords(start, FitRecords / 2);
    writer.AddRecords(start + FitRecords / 2, FitRecords / 2, true);
    writer.AddSession({start, 1, FitRecords * 1000u, FitRecords * 1000u, FitRecords * 300u});
    return writer.Bytes();
}

void Parse(benchmark::State &state, const std::string &bytes) {
    for (auto _ : state) {
        const pq::FileActivities result = pq::ReadActivityBytes(bytes, "bench");
        if (result.Error || result.Activities.empty()) {
            state.SkipWithError("the file was not read");
            break;
        }
        benchmark::DoNotOptimize(result.Activities.front().DistanceMeters);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes.size()));
}

void BM_ParseGpx(benchmark::State &state) {
    Parse(state, OneHourGpx(0));
}
BENCHMARK(BM_ParseGpx)->Unit(benchmark::kMillisecond);

void BM_ParseTcx(benchmark::State &state) {
    Parse(state, ManyLapsTcx());
}
BENCHMARK(BM_ParseTcx)->Unit(benchmark::kMillisecond);

void BM_ParseFit(benchmark::State &state) {
    Parse(state, LongFit());
}
BENCHMARK(BM_ParseFit)->Unit(benchmark::kMillisecond);

// The pquil built beside this benchmark (build/bench -> build/src/cli), unless PQUIL_BINARY names another.
std::string PquilPath() {
    if (const char *path = std::getenv("PQUIL_BINARY")) {
        return path;
    }
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    return (self.parent_path().parent_path() / "src" / "cli" / "pquil").string();
}

// The whole command as a user runs it; the child's peak memory is reported as PeakMB and its CPU time a run as
// ChildCpuSeconds.
void RunPquilImport(benchmark::State &state, const std::vector<std::string> &files) {
    const std::string out = (std::filesystem::temp_directory_path() / "pacequill-bench-import.pquil").string();
    std::vector<std::string> arguments = {PquilPath(), "import"};
    arguments.insert(arguments.end(), files.begin(), files.end());
    arguments.push_back(out);
    arguments.push_back("--force");
    std::vector<char *> argv;
    argv.reserve(arguments.size() + 1);
    for (std::string &argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    long peakKilobytes = 0;
    double cpuSeconds = 0;
    for (auto _ : state) {
        pid_t child = 0;
        int status = 0;
        rusage usage{};
        if (posix_spawn(&child, argv.front(), nullptr, nullptr, argv.data(), environ) != 0 ||
            wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("pquil import failed");
            break;
        }
        peakKilobytes = std::max(peakKilobytes, usage.ru_maxrss);
        cpuSeconds += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                      static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    // On a busy machine the wall time includes waiting for a core; the child's own CPU time does not.
    state.counters["PeakMB"] = static_cast<double>(peakKilobytes) / 1024.0;
    state.counters["ChildCpuSeconds"] = cpuSeconds / static_cast<double>(std::max<std::int64_t>(1, state.iterations()));
}

void BM_PquilImportThousandRuns(benchmark::State &state) {
    RunPquilImport(state, OneHourGpxFiles());
}
BENCHMARK(BM_PquilImportThousandRuns)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// A whole account's export: 3,000 one-hour runs as .fit.gz, .gpx.gz and .tcx.gz in one zip, in under 30 s with a
// peak under 200 MB.
void BM_PquilImportAccountExport(benchmark::State &state) {
    RunPquilImport(state, {AccountExportZip()});
}
BENCHMARK(BM_PquilImportAccountExport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Counting a big log's rows for the duplicate check and looking each row up: a million distinct rows, and a
// million rows of one Date, Distance and Time (an old log of runs typed without dates). It runs after pquil
// import, whose peak memory as the system reports it includes what this process had in use when it started pquil.
void BM_DuplicateCheck(benchmark::State &state) {
    const bool distinct = state.range(0) != 0;
    pq::LogList list;
    list.Reserve(DuplicateRows, 0);
    for (int i = 0; i < DuplicateRows; ++i) {
        const int day = distinct ? i : 0;
        list.AppendEntry({"No Date", std::to_string(day % 9000) + " Miles", std::to_string(day / 9000) + ":00:00", ""});
    }
    for (auto _ : state) {
        pq::DuplicateCheck check(list);
        check.CountRowsBefore(list.RowCount());
        int found = 0;
        for (int row = 0; row < list.RowCount(); row += DuplicateLookupStep) {
            found += check.Contains(list.ReadEntry(row)) ? 1 : 0;
        }
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * DuplicateRows);
}
BENCHMARK(BM_DuplicateCheck)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
