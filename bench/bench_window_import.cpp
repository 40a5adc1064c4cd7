// File > Import Activities... of a thousand one-hour GPX runs (one point a second) in the window, on the offscreen
// platform, in under 15 s with a live progress bar: the command routed as the menu routes it, the file dialog
// answered with the thousand files, the files read under the progress dialog, the review filled and accepted as it
// comes, the rows added to the log. Reports how often the progress bar was seen to move, the rows added and the
// peak resident memory.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMainWindow>
#include <QProgressDialog>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <sys/resource.h>

#include "BenchActivities.h"
#include "BenchLogs.h"
#include "frame/CommandIds.h"
#include "import/ImportReviewDialog.h"
#include "log/TPacequillDlgClient.h"
#include "shell/DocumentModules.h"
#include "support/ScriptedPrompts.h"

namespace {

constexpr int MeasuredRuns = 3;
// How often the watch looks at the dialogs; it can only look when the import lets events through.
constexpr int LookIntervalMs = 20;
constexpr double BytesPerMegabyte = 1024.0 * 1024.0;
constexpr double MicrosecondsPerSecond = 1e6;

// The CPU time of all the process's threads so far.
double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / MicrosecondsPerSecond;
}

// Looks at the dialogs of an import while it runs: notes each new value of a visible progress dialog, and accepts
// the review as the user would who takes it as it comes.
class ImportWatch : public QObject {
public:
    ImportWatch() {
        Timer.setInterval(LookIntervalMs);
        connect(&Timer, &QTimer::timeout, this, &ImportWatch::Look);
        Timer.start();
    }

    int ProgressSteps = 0;
    bool Reviewed = false;

private:
    void Look() {
        if (auto *review = qobject_cast<ImportReviewDialog *>(QApplication::activeModalWidget())) {
            Reviewed = true;
            review->accept();
            return;
        }
        for (QWidget *window : QApplication::topLevelWidgets()) {
            const auto *progress = qobject_cast<QProgressDialog *>(window);
            if (progress != nullptr && progress->isVisible() && progress->value() != LastValue) {
                LastValue = progress->value();
                ++ProgressSteps;
            }
        }
    }

    QTimer Timer;
    int LastValue = -1;
};

void RunWindowImport(benchmark::State &state, const QStringList &paths, int expectedRows) {
    ScriptedPrompts prompts;
    int fewestSteps = -1;
    int rows = 0;
    double cpuSeconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto frame = std::make_unique<QMainWindow>();
        auto *client = NewDocumentClient();
        frame->setCentralWidget(client);
        client->SetupWindow({});
        frame->show();
        prompts.OpenManyAnswers << paths;
        ImportWatch watch;
        const double cpuBefore = ProcessCpuSeconds();
        state.ResumeTiming();

        client->Handle(Cmd::ImportActivities);

        state.PauseTiming();
        cpuSeconds += ProcessCpuSeconds() - cpuBefore;
        rows = client->List().RowCount();
        fewestSteps = fewestSteps < 0 ? watch.ProgressSteps : std::min(fewestSteps, watch.ProgressSteps);
        frame.reset();
        if (!watch.Reviewed || rows != expectedRows) {
            state.SkipWithError("the runs were not imported");
            break;
        }
        state.ResumeTiming();
    }
    state.counters["ProgressSteps"] = fewestSteps;
    state.counters["RowsAdded"] = rows;
    // On a busy machine the wall time includes waiting for a core; the CPU time of all the threads does not.
    state.counters["CpuSeconds"] = cpuSeconds / static_cast<double>(std::max<std::int64_t>(1, state.iterations()));
    state.counters["PeakMB"] = static_cast<double>(PeakResidentBytes()) / BytesPerMegabyte;
}

void BM_WindowImportThousandRuns(benchmark::State &state) {
    QStringList paths;
    for (const std::string &file : OneHourGpxFiles()) {
        paths << QString::fromStdString(file);
    }
    RunWindowImport(state, paths, BenchRunCount);
}

// An account's export: 3,000 compressed runs in one zip.
void BM_WindowImportAccountExport(benchmark::State &state) {
    RunWindowImport(state, {QString::fromStdString(AccountExportZip())}, ExportRunCount);
}

} // namespace

BENCHMARK(BM_WindowImportThousandRuns)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(MeasuredRuns);
BENCHMARK(BM_WindowImportAccountExport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(MeasuredRuns);
