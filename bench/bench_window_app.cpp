// The real program over a generated million-row log (PACEQUILL_BENCH_ROWS for another size), started the way
// `pacequill <log>` starts: the time from start-up to the first painted list, a header-click sort by each column
// and a second click on it (the order reversed), each statistics command until its dialog's list is filled, the
// first opening of the Charts window to its painted weekly chart, and Duplicate Entry on the last row routed as the
// menu routes it, with the Charts window open. Every step reports the peak resident memory so far and the log's
// file size. Runs on the offscreen platform unless QT_QPA_PLATFORM
// names another (xcb under xvfb-run paints for real).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLineEdit>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QTreeWidget>

#include <filesystem>
#include <functional>
#include <string>
#include <utility>

#include "BenchLogs.h"
#include "PaintWatch.h"
#include "frame/CommandEvent.h"
#include "frame/CommandIds.h"
#include "insight/ChartsWindow.h"
#include "insight/InsightWindows.h"
#include "insight/WeeklyChart.h"
#include "log/TPacequillDlgClient.h"
#include "log/TPacequillListWindow.h"
#include "shell/TPacequillApp.h"
#include "shell/TSDIDecFrame.h"
#include "stats/TPacequillStats.h"

namespace {

constexpr int MeasuredRuns = 3;
// Longer than any step may take: a step that paints nothing fails instead of hanging.
constexpr qint64 PaintLimitMs = 60'000;

TPacequillApp *App = nullptr;
std::size_t FileBytes = 0;
double OpenSeconds = 0;

TPacequillDlgClient *Client() {
    return qobject_cast<TPacequillDlgClient *>(App->MainWindow()->centralWidget());
}

// Notes a paint of the log list's viewport. Installed on the application, so it sees the first paint of a
// window that does not exist yet when the program starts.
class ListPaintWatch : public QObject {
public:
    bool Painted = false;
    std::function<void()> OnPaint;

    // False when nothing painted the list within the time limit.
    bool Wait() {
        QElapsedTimer waited;
        waited.start();
        while (!Painted && waited.elapsed() < PaintLimitMs)
            QCoreApplication::processEvents();
        return std::exchange(Painted, false);
    }

    // Delivers what is pending, painted or not, and forgets the paints.
    void Settle() {
        QCoreApplication::processEvents();
        Painted = false;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Paint && App->MainWindow() && Client() &&
            watched == Client()->ListWindow()->viewport()) {
            Painted = true;
            OnPaint();
        }
        return false;
    }
};

ListPaintWatch *Watch = nullptr;

void SetMemoryCounters(benchmark::State &state) {
    const auto peak = static_cast<double>(PeakResidentBytes());
    state.counters["file_bytes"] = benchmark::Counter(static_cast<double>(FileBytes), {}, benchmark::Counter::kIs1024);
    state.counters["peak_rss"] = benchmark::Counter(peak, {}, benchmark::Counter::kIs1024);
    state.counters["rss_per_file"] = peak / static_cast<double>(FileBytes);
}

void BM_OpenToFirstPaint(benchmark::State &state) {
    for (auto _ : state)
        state.SetIterationTime(OpenSeconds);
    state.counters["rows"] = Client()->List().RowCount();
    SetMemoryCounters(state);
}

void BM_SortByColumn(benchmark::State &state) {
    const int column = static_cast<int>(state.range(0));
    TPacequillDlgClient *client = Client();
    for (auto _ : state) {
        state.PauseTiming();
        // Another column first, so the measured click is a fresh ascending sort of a different order.
        client->SortByColumn((column + 1) % pq::ColumnCount);
        Watch->Settle();
        state.ResumeTiming();
        client->SortByColumn(column);
        if (!Watch->Wait()) {
            state.SkipWithError("the sorted list was not painted");
            break;
        }
    }
    SetMemoryCounters(state);
}

void BM_SortBack(benchmark::State &state) {
    const int column = static_cast<int>(state.range(0));
    TPacequillDlgClient *client = Client();
    for (auto _ : state) {
        state.PauseTiming();
        client->SortByColumn((column + 1) % pq::ColumnCount);
        client->SortByColumn(column);
        Watch->Settle();
        state.ResumeTiming();
        client->SortByColumn(column);
        if (!Watch->Wait()) {
            state.SkipWithError("the reversed list was not painted");
            break;
        }
    }
    SetMemoryCounters(state);
}

void BM_DuplicateLastEntry(benchmark::State &state) {
    TPacequillDlgClient *client = Client();
    for (auto _ : state) {
        state.PauseTiming();
        client->SelectLastRow();
        Watch->Settle();
        const int rowsBefore = client->List().RowCount();
        state.ResumeTiming();
        CommandEvent::Post(Cmd::DuplicateEntry);
        if (!Watch->Wait() || client->List().RowCount() != rowsBefore + 1) {
            state.SkipWithError("Duplicate Entry added no painted row");
            break;
        }
    }
    SetMemoryCounters(state);
}

// Whether the dialog's opening tab shows its figures.
bool IsFilled(const TPacequillStats &dialog, int command) {
    switch (command) {
    case Cmd::StatsWeekly:
        return dialog.findChild<QTreeWidget *>(QString::number(TPacequillStats::WeeklyListId))->topLevelItemCount() > 0;
    case Cmd::StatsMonthly:
        return dialog.findChild<QTreeWidget *>(QString::number(TPacequillStats::MonthlyListId))->topLevelItemCount() >
               0;
    case Cmd::StatsYearly:
        return dialog.findChild<QTreeWidget *>(QString::number(TPacequillStats::YearlyListId))->topLevelItemCount() > 0;
    default:
        return !dialog.findChild<QLineEdit *>(QString::number(TPacequillStats::MilesResultId))->text().isEmpty();
    }
}

void BM_StatsTab(benchmark::State &state) {
    const int command = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        Watch->Settle();
        state.ResumeTiming();
        bool closed = false;
        bool filled = false;
        // Polls from inside the dialog's own loop and closes it as soon as its list is filled.
        QTimer closer;
        closer.setInterval(0);
        QObject::connect(&closer, &QTimer::timeout, [&] {
            auto *dialog = qobject_cast<TPacequillStats *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            filled = IsFilled(*dialog, command);
            if (!filled)
                return;
            closer.stop();
            dialog->reject();
            closed = true;
        });
        closer.start();
        CommandEvent::Post(command);
        while (!closed)
            QCoreApplication::processEvents();
        if (!filled) {
            state.SkipWithError("the statistics list stayed empty");
            break;
        }
    }
    SetMemoryCounters(state);
}

// The first opening, which counts the runs of the log. The window stays open for the steps after it.
void BM_OpenCharts(benchmark::State &state) {
    for (auto _ : state) {
        Client()->Handle(Cmd::StatsCharts);
        PaintWatch painted;
        Client()->findChild<InsightWindows *>()->Charts()->Weekly()->installEventFilter(&painted);
        if (!painted.WaitForPaint()) {
            state.SkipWithError("the weekly chart was not painted");
            break;
        }
    }
    SetMemoryCounters(state);
}

} // namespace

BENCHMARK(BM_OpenToFirstPaint)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);
BENCHMARK(BM_SortByColumn)
    ->DenseRange(0, pq::ColumnCount - 1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(MeasuredRuns);
BENCHMARK(BM_SortBack)
    ->DenseRange(0, pq::ColumnCount - 1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(MeasuredRuns);
BENCHMARK(BM_StatsTab)
    ->DenseRange(Cmd::StatsWeekly, Cmd::StatsFromThru)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(MeasuredRuns);
BENCHMARK(BM_OpenCharts)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_DuplicateLastEntry)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(MeasuredRuns);

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    benchmark::Initialize(&argc, argv);
    // Made before the clock starts: the program is timed, not the generator.
    const std::string path = GeneratedLogPath(BenchRows());
    FileBytes = std::filesystem::file_size(path);

    // The command line `pacequill <log>` hands the program.
    TPacequillApp app(argc, argv, QString::fromStdString(path));
    App = &app;
    ListPaintWatch watch;
    Watch = &watch;
    app.installEventFilter(&watch);

    int failures = 0;
    QElapsedTimer clock;
    // The splash runs the event loop while it shows, before the frame exists: the benchmarks start once the
    // first painted list is seen, from the loop that painted it.
    bool started = false;
    watch.OnPaint = [&] {
        if (std::exchange(started, true))
            return;
        QTimer::singleShot(0, &app, [&] {
            OpenSeconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
            watch.Painted = false;
            if (Client()->List().RowCount() == 0)
                failures = 1;
            else
                benchmark::RunSpecifiedBenchmarks();
            // Exits without closing the frame: the duplicated rows would ask to be saved.
            app.exit(failures);
        });
    };
    clock.start();
    const int result = app.Run();
    benchmark::Shutdown();
    return result;
}
