// The log window over a generated million-row log (PACEQUILL_BENCH_ROWS for another size): from the open command to the
// first painted list, and a header-click sort with the locale collation to the repainted list. Runs on the offscreen
// platform.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMainWindow>
#include <QString>

#include "BenchLogs.h"
#include "PaintWatch.h"
#include "log/TPacequillDlgClient.h"
#include "log/TPacequillListWindow.h"
#include "shell/DocumentModules.h"

namespace {

constexpr int MeasuredRuns = 3;

struct Window {
    QMainWindow Frame;
    TPacequillDlgClient *Client = NewDocumentClient();
    PaintWatch Watch;

    Window() {
        Frame.setCentralWidget(Client);
        Client->SetupWindow({});
        Frame.show();
        QApplication::processEvents();
        Client->ListWindow()->viewport()->installEventFilter(&Watch);
    }

    void WaitForPaint() { Watch.WaitForPaint(); }
};

void BM_OpenToFirstPaint(benchmark::State &state) {
    const QString path = QString::fromStdString(GeneratedLogPath(BenchRows()));
    Window window;
    for (auto _ : state) {
        window.Client->LoadLog(path);
        window.WaitForPaint();
    }
    state.counters["rows"] = window.Client->List().RowCount();
}

void BM_SortByColumn(benchmark::State &state) {
    const QString path = QString::fromStdString(GeneratedLogPath(BenchRows()));
    const int column = static_cast<int>(state.range(0));
    Window window;
    for (auto _ : state) {
        state.PauseTiming();
        window.Client->LoadLog(path); // file order again, and a fresh ascending sort
        window.Client->SortByColumn((column + 1) % pq::ColumnCount);
        window.WaitForPaint();
        state.ResumeTiming();
        window.Client->SortByColumn(column);
        window.WaitForPaint();
    }
}

} // namespace

BENCHMARK(BM_OpenToFirstPaint)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(MeasuredRuns);
BENCHMARK(BM_SortByColumn)
    ->DenseRange(0, pq::ColumnCount - 1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(MeasuredRuns);
