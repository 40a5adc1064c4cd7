// The Charts window over a generated million-row log (PACEQUILL_BENCH_ROWS for another size) on the offscreen platform:
// from the command to the first painted weekly chart, a scroll of the weekly bars (all weeks) to the repainted chart,
// the training load tab (all weeks) and the year over year and consistency tabs from their choice to their painted
// chart; a one-row edit (Duplicate Entry) with
// the Charts or the Records window open, from the command to the window repainted with the edited log's figures.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QMainWindow>
#include <QScrollArea>
#include <QScrollBar>
#include <QString>
#include <QTabWidget>
#include <QTableWidget>

#include <memory>

#include "BenchLogs.h"
#include "PaintWatch.h"
#include "frame/CommandIds.h"
#include "insight/ChartsWindow.h"
#include "insight/ConsistencyChart.h"
#include "insight/InsightWindows.h"
#include "insight/RecordsWindow.h"
#include "insight/TrainingLoadChart.h"
#include "insight/WeeklyChart.h"
#include "insight/YearOverYearChart.h"
#include "log/TPacequillDlgClient.h"
#include "shell/DocumentModules.h"

namespace {

constexpr int MeasuredRuns = 3;
constexpr int AllWeeksChoice = 4;
constexpr int WeeklyTab = 0;
constexpr int YearOverYearTab = 1;
constexpr int ConsistencyTab = 2;
constexpr int TrainingLoadTab = 3;

struct Window {
    QMainWindow Frame;
    TPacequillDlgClient *Client = NewDocumentClient();

    Window() {
        Frame.setCentralWidget(Client);
        Client->SetupWindow(QString::fromStdString(GeneratedLogPath(BenchRows())));
        Frame.show();
        QApplication::processEvents();
    }
    InsightWindows *Windows() const { return Client->findChild<InsightWindows *>(); }
};

// The first opening, which counts the runs of the log too.
void BM_OpenCharts(benchmark::State &state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<Window>();
        state.ResumeTiming();
        window->Client->Handle(Cmd::StatsCharts);
        PaintWatch watch;
        window->Windows()->Charts()->Weekly()->installEventFilter(&watch);
        watch.WaitForPaint();
        state.PauseTiming();
        window.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

void BM_ScrollWeeklyBars(benchmark::State &state) {
    Window window;
    window.Client->Handle(Cmd::StatsCharts);
    ChartsWindow *charts = window.Windows()->Charts();
    charts->findChild<QComboBox *>("Weeks")->setCurrentIndex(AllWeeksChoice);
    QApplication::processEvents();
    QScrollBar *scroll = charts->findChild<QScrollArea *>()->horizontalScrollBar();
    PaintWatch watch;
    charts->Weekly()->installEventFilter(&watch);
    int step = 0;
    for (auto _ : state) {
        scroll->setValue(++step % 2 == 0 ? scroll->maximum() : scroll->maximum() / 2);
        watch.WaitForPaint();
    }
    state.counters["weeks"] = static_cast<double>(charts->Weekly()->Bars().size());
}

void BM_ShowTrainingLoad(benchmark::State &state) {
    Window window;
    window.Client->Handle(Cmd::StatsCharts);
    ChartsWindow *charts = window.Windows()->Charts();
    charts->findChild<QComboBox *>("Weeks")->setCurrentIndex(AllWeeksChoice);
    QApplication::processEvents();
    PaintWatch watch;
    charts->Load()->installEventFilter(&watch);
    for (auto _ : state) {
        state.PauseTiming();
        charts->Tabs()->setCurrentIndex(WeeklyTab);
        QApplication::processEvents();
        state.ResumeTiming();
        charts->Tabs()->setCurrentIndex(TrainingLoadTab);
        watch.WaitForPaint();
    }
    state.counters["days"] = static_cast<double>(charts->Load()->Days().size());
}

void BM_ShowOtherTab(benchmark::State &state) {
    Window window;
    window.Client->Handle(Cmd::StatsCharts);
    ChartsWindow *charts = window.Windows()->Charts();
    QApplication::processEvents();
    const auto tab = static_cast<int>(state.range(0));
    ChartView *chart =
        tab == YearOverYearTab ? static_cast<ChartView *>(charts->YearOverYear()) : charts->Consistency();
    PaintWatch watch;
    chart->installEventFilter(&watch);
    for (auto _ : state) {
        state.PauseTiming();
        charts->Tabs()->setCurrentIndex(WeeklyTab);
        QApplication::processEvents();
        state.ResumeTiming();
        charts->Tabs()->setCurrentIndex(tab);
        watch.WaitForPaint();
    }
    state.SetLabel(tab == YearOverYearTab ? "year over year" : "consistency");
}

// The window whose repaint ends an edit.
enum class Shown { Charts, Records };

void BM_EditWithWindowOpen(benchmark::State &state) {
    Window window;
    QWidget *repainted = nullptr;
    if (static_cast<Shown>(state.range(0)) == Shown::Charts) {
        window.Client->Handle(Cmd::StatsCharts);
        repainted = window.Windows()->Charts()->Weekly();
        state.SetLabel("charts");
    } else {
        window.Client->Handle(Cmd::StatsRecords);
        repainted = window.Windows()->Records()->findChild<QTableWidget *>(QStringLiteral("Records"))->viewport();
        state.SetLabel("records");
    }
    QApplication::processEvents();
    PaintWatch watch;
    repainted->installEventFilter(&watch);
    for (auto _ : state) {
        state.PauseTiming();
        window.Client->SelectLastRow();
        QApplication::processEvents();
        watch.Painted = false;
        state.ResumeTiming();
        window.Client->Handle(Cmd::DuplicateEntry);
        watch.WaitForPaint();
    }
}

} // namespace

BENCHMARK(BM_OpenCharts)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(MeasuredRuns);
BENCHMARK(BM_ScrollWeeklyBars)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);
BENCHMARK(BM_ShowTrainingLoad)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK(BM_ShowOtherTab)
    ->Arg(YearOverYearTab)
    ->Arg(ConsistencyTab)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(10);
BENCHMARK(BM_EditWithWindowOpen)
    ->DenseRange(static_cast<int>(Shown::Charts), static_cast<int>(Shown::Records))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(MeasuredRuns);
