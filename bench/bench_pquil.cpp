#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "BenchLogs.h"

namespace {

constexpr std::size_t MillionRows = 1'000'000;

// The pquil built beside this benchmark (build/bench → build/src/cli), unless PQUIL_BINARY names another.
std::string PquilPath() {
    if (const char *path = std::getenv("PQUIL_BINARY")) {
        return path;
    }
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    return (self.parent_path().parent_path() / "src" / "cli" / "pquil").string();
}

// Runs pquil with its output sent to /dev/null, as a script piping it elsewhere would; false when it fails.
bool RunPquil(const std::vector<std::string> &arguments) {
    std::vector<char *> argv;
    for (const std::string &argument : arguments) {
        argv.push_back(const_cast<char *>(argument.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv.front(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    return spawned == 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The processor time (user and system) that the finished children of this process have used so far.
double ChildProcessorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval &time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs the command once per iteration. Besides the wall time, which other work on the machine stretches, the
// counter child_cpu_s gives the processor time pquil itself used per run.
void Repeat(benchmark::State &state, const std::vector<std::string> &arguments) {
    const double before = ChildProcessorSeconds();
    for (auto _ : state) {
        if (!RunPquil(arguments)) {
            state.SkipWithError("pquil failed");
            break;
        }
    }
    state.counters["child_cpu_s"] =
        benchmark::Counter(ChildProcessorSeconds() - before, benchmark::Counter::kAvgIterations);
}

// The whole command as a user runs it: start, read the log, build the snapshot, add up the weeks, print.
void BM_PquilStatsWeekly(benchmark::State &state) {
    const std::string log = GeneratedLogPath(static_cast<std::size_t>(state.range(0)));
    const std::vector<std::string> arguments = {PquilPath(), "stats", "weekly", log};
    Repeat(state, arguments);
}
BENCHMARK(BM_PquilStatsWeekly)->Arg(MillionRows)->Unit(benchmark::kMillisecond)->UseRealTime();

// The tag and shoe lists over a million runs whose notes carry tags and shoes.
void BM_PquilTags(benchmark::State &state) {
    const std::string log = GeneratedLogPath(static_cast<std::size_t>(state.range(0)), BenchNotes::Tagged);
    const std::vector<std::string> arguments = {PquilPath(), "tags", log};
    Repeat(state, arguments);
}
BENCHMARK(BM_PquilTags)->Arg(MillionRows)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PquilShoes(benchmark::State &state) {
    const std::string log = GeneratedLogPath(static_cast<std::size_t>(state.range(0)), BenchNotes::Tagged);
    const std::vector<std::string> arguments = {PquilPath(), "shoes", log, "--unit", "km"};
    Repeat(state, arguments);
}
BENCHMARK(BM_PquilShoes)->Arg(MillionRows)->Unit(benchmark::kMillisecond)->UseRealTime();

// The summary of the runs of one tag: an eighth of the million.
void BM_PquilTaggedSummary(benchmark::State &state) {
    const std::string log = GeneratedLogPath(static_cast<std::size_t>(state.range(0)), BenchNotes::Tagged);
    const std::vector<std::string> arguments = {PquilPath(), "summary", log, "--tag", "tempo"};
    Repeat(state, arguments);
}
BENCHMARK(BM_PquilTaggedSummary)->Arg(MillionRows)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
