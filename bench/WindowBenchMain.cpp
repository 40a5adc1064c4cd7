#include <QApplication>

#include <benchmark/benchmark.h>

// The start of the window benchmarks that need only an application object: the widgets are drawn off-screen.
int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
