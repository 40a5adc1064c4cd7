// pquil's command-line paths on a generated million-row log (PACEQUILL_BENCH_ROWS for another size), each beside its
// peer on this machine: the statistics and the printing commands beside a plain read of the file (the least any of them
// can cost), convert beside `cp` followed by a sync of the copy (a save syncs, so the fair peer does too). Every row
// gives the wall time (the benchmark's own time) and the processor time the child used (cpu_ms: user and system, which
// other work on a shared machine stretches less), the peer's wall time and the ratio to it, the child's peak resident
// memory as a multiple of the file's size, and for the printing commands the rate of their output, read from a pipe as
// a script reading it would. Run it with --benchmark_repetitions on a busy machine.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "BenchLogs.h"

namespace {

// The size of each read of a child's output.
constexpr std::size_t PipeReadSize = std::size_t{1} << 20;
// A peer is timed this many times and its best time kept.
constexpr int PeerRuns = 5;
constexpr double BytesPerMegabyte = 1e6;
constexpr double BytesPerKilobyte = 1024; // ru_maxrss counts kilobytes
constexpr double MillisecondsPerSecond = 1e3;
constexpr double MicrosecondsPerSecond = 1e6;

// The pquil built beside this benchmark (build/bench → build/src/cli), unless PQUIL_BINARY names another.
std::string PquilPath() {
    if (const char *path = std::getenv("PQUIL_BINARY")) {
        return path;
    }
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    return (self.parent_path().parent_path() / "src" / "cli" / "pquil").string();
}

struct ChildRun {
    bool Ok = false;
    double Seconds = 0;
    double ProcessorSeconds = 0; // user and system
    double PeakBytes = 0;
    std::size_t Output = 0; // bytes read from the child's standard output, when it went to a pipe
};

double SecondsOf(const timeval &time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / MicrosecondsPerSecond;
}

// Runs a program (looked up on PATH) with its output sent to /dev/null, or into a pipe that is read to its end.
ChildRun Run(const std::vector<std::string> &arguments, bool readOutput = false) {
    std::vector<char *> argv;
    argv.reserve(arguments.size() + 1);
    for (const std::string &argument : arguments) {
        argv.push_back(const_cast<char *>(argument.c_str()));
    }
    argv.push_back(nullptr);
    int pipeEnds[2] = {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (readOutput && ::pipe(pipeEnds) == 0) {
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    }
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv.front(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ChildRun run;
    if (pipeEnds[0] >= 0) {
        ::close(pipeEnds[1]);
        const auto buffer = std::make_unique_for_overwrite<char[]>(PipeReadSize);
        for (ssize_t got; (got = ::read(pipeEnds[0], buffer.get(), PipeReadSize)) > 0;) {
            run.Output += static_cast<std::size_t>(got);
        }
        ::close(pipeEnds[0]);
    }
    int status = 0;
    rusage usage{};
    const bool waited = spawned == 0 && ::wait4(child, &status, 0, &usage) == child;
    run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.Ok = waited && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    run.ProcessorSeconds = SecondsOf(usage.ru_utime) + SecondsOf(usage.ru_stime);
    run.PeakBytes = static_cast<double>(usage.ru_maxrss) * BytesPerKilobyte;
    return run;
}

const std::string &Log() {
    static const std::string path = GeneratedLogPath(BenchRows());
    return path;
}

double FileBytes() {
    return static_cast<double>(std::filesystem::file_size(Log()));
}

std::string Scratch(const char *name) {
    return (std::filesystem::temp_directory_path() / (std::string("pacequill-bench-") + name)).string();
}

// A copy of the log and a sync of the copy, as one run.
ChildRun CopyAndSync() {
    const std::string copy = Scratch("copy.pquil");
    const ChildRun copied = Run({"cp", Log(), copy});
    ChildRun run = Run({"sync", copy});
    std::filesystem::remove(copy);
    run.Ok = run.Ok && copied.Ok;
    run.Seconds += copied.Seconds;
    run.ProcessorSeconds += copied.ProcessorSeconds;
    run.PeakBytes = std::max(run.PeakBytes, copied.PeakBytes);
    return run;
}

ChildRun PlainRead() {
    return Run({"cat", Log()});
}

// The best wall time of a few runs of a peer, measured once per program.
template <class Peer> double BestOf(Peer peer) {
    double best = peer().Seconds;
    for (int i = 1; i < PeerRuns; ++i) {
        best = std::min(best, peer().Seconds);
    }
    return best;
}

double PlainReadSeconds() {
    static const double seconds = BestOf(PlainRead);
    return seconds;
}

double CopyAndSyncSeconds() {
    static const double seconds = BestOf(CopyAndSync);
    return seconds;
}

// Times a run per iteration and reports the counters described at the top.
template <class Step> void Measure(benchmark::State &state, Step step, double peer) {
    double seconds = 0;
    double processor = 0;
    double peak = 0;
    std::size_t output = 0;
    for (auto _ : state) {
        const ChildRun run = step();
        if (!run.Ok) {
            state.SkipWithError("the command failed");
            return;
        }
        state.SetIterationTime(run.Seconds);
        seconds += run.Seconds;
        processor += run.ProcessorSeconds;
        peak = std::max(peak, run.PeakBytes);
        output = run.Output;
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["cpu_ms"] = processor / runs * MillisecondsPerSecond;
    state.counters["peer_ms"] = peer * MillisecondsPerSecond;
    state.counters["x_peer"] = seconds / runs / peer;
    state.counters["peak_x_file"] = peak / FileBytes();
    if (output > 0) {
        state.counters["out_MB_per_s"] = static_cast<double>(output) / BytesPerMegabyte / (seconds / runs);
    }
}

void BM_PlainRead(benchmark::State &state) {
    Measure(state, PlainRead, PlainReadSeconds());
}

void BM_CopyAndSync(benchmark::State &state) {
    Measure(state, CopyAndSync, CopyAndSyncSeconds());
}

// Each statistics period, its totals read straight from the file.
void BM_PquilStats(benchmark::State &state) {
    static const char *const Periods[] = {"weekly", "monthly", "yearly", "range"};
    const char *period = Periods[state.range(0)];
    std::vector<std::string> arguments = {PquilPath(), "stats", period, Log()};
    if (std::string_view(period) == "range") {
        arguments.insert(arguments.end(), {"--from", "1980/01/01", "--thru", "2079/12/31"});
    }
    state.SetLabel(period);
    Measure(
        state, [&arguments] { return Run(arguments); }, PlainReadSeconds());
}

void BM_PquilConvert(benchmark::State &state) {
    const std::string target = Scratch("converted.pquil");
    Measure(
        state,
        [&target] {
            std::filesystem::remove(target);
            return Run({PquilPath(), "convert", Log(), target});
        },
        CopyAndSyncSeconds());
    std::filesystem::remove(target);
}

// The printing commands, their output read from a pipe.
void BM_PquilPrint(benchmark::State &state) {
    static const std::vector<std::string> Commands[] = {
        {"show", "--tsv"}, {"export"}, {"export", "--format", "json"}, {"show"}};
    const std::vector<std::string> &command = Commands[state.range(0)];
    std::vector<std::string> arguments = {PquilPath()};
    arguments.insert(arguments.end(), command.begin(), command.end());
    arguments.push_back(Log());
    std::string label;
    for (const std::string &word : command) {
        label += (label.empty() ? "" : " ") + word;
    }
    state.SetLabel(label);
    Measure(
        state, [&arguments] { return Run(arguments, true); }, PlainReadSeconds());
}

// The tag and shoe lists over a million runs whose notes carry tags and shoes.
void BM_PquilTags(benchmark::State &state) {
    const std::vector<std::string> arguments = {PquilPath(), "tags", GeneratedLogPath(BenchRows(), BenchNotes::Tagged)};
    Measure(
        state, [&arguments] { return Run(arguments); }, PlainReadSeconds());
}

void BM_PquilShoes(benchmark::State &state) {
    const std::vector<std::string> arguments = {PquilPath(), "shoes", GeneratedLogPath(BenchRows(), BenchNotes::Tagged),
                                                "--unit", "km"};
    Measure(
        state, [&arguments] { return Run(arguments); }, PlainReadSeconds());
}

// The summary of the runs of one tag: an eighth of the million.
void BM_PquilTaggedSummary(benchmark::State &state) {
    const std::vector<std::string> arguments = {PquilPath(), "summary",
                                                GeneratedLogPath(BenchRows(), BenchNotes::Tagged), "--tag", "tempo"};
    Measure(
        state, [&arguments] { return Run(arguments); }, PlainReadSeconds());
}

} // namespace

BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_CopyAndSync)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_PquilStats)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_PquilConvert)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_PquilPrint)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_PquilTags)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_PquilShoes)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_PquilTaggedSummary)->Unit(benchmark::kMillisecond)->UseManualTime();

BENCHMARK_MAIN();
