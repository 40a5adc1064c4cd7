#include <QAccessible>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "calc/DateRules.h"
#include "frame/CommandIds.h"
#include "insight/ChartsWindow.h"
#include "insight/ConsistencyChart.h"
#include "insight/InsightSource.h"
#include "insight/InsightWindows.h"
#include "insight/RecordsWindow.h"
#include "insight/ReportFormats.h"
#include "insight/ShoesPage.h"
#include "insight/WeeklyChart.h"
#include "insight/WindowPlacement.h"
#include "insight/YearOverYearChart.h"
#include "log/LogTableModel.h"
#include "log/TPacequillDlgClient.h"
#include "shell/DocumentModules.h"
#include "stats/StatsCalendar.h"
#include "support/ScriptedPrompts.h"

namespace {

// Five weeks of 10 miles, then a week over the ramp, a 5K and a mile on one day, and rows that do not count.
const char *const Rows[] = {
    "2024/01/01\t10 Miles\t01:20:00\t",     "2024/01/08\t10 Miles\t01:20:00\t",
    "2024/01/15\t10 Miles\t01:20:00\t",     "2024/01/22\t10 Miles\t01:20:00\t",
    "2024/01/29\t8 Miles\t01:04:00\t",      "2024/01/31\t5 Kilometers\t00:21:00\t",
    "2024/01/31\t1 Miles\t00:06:30\t",      "No Date\t50 Miles\t08:00:00\t",
    "2024/02/01\t50 miles\t08:00:00\tcase", "2023/12/31\t10 Miles\t01:20:00\tthe year before",
};

void Fill(LogTableModel &model) {
    for (const char *row : Rows)
        model.AppendRow(row);
}

} // namespace

class tst_InsightWindows : public QObject {
    Q_OBJECT

private slots:
    void init() {
        pq::SetDateClock([] { return pq::CivilDate{2024, 2, 1}; });
    }
    void cleanup() { pq::SetDateClock({}); }

    void barsMatchTheTotals_data();
    void barsMatchTheTotals();
    void followsTheLog();
    void tooltipsAndSummaries();
    void saveImage_data();
    void saveImage();
    void darkPalette();
    void calendarCells();
    void recordsAndSelection();
    void commandsEnabledWithADatedRow();
    void axisAndLegendStayWhileThePlotScrolls();
    void emptyPeriodsSayWhy();
    void choicesOnlyWhereTheyAct();
    void calendarLabelsAndKey_data();
    void calendarLabelsAndKey();
    void yearLabelsApart();
    void placedInsideTheAvailableArea_data();
    void placedInsideTheAvailableArea();
    void announcedAsWindows();
};

void tst_InsightWindows::barsMatchTheTotals_data() {
    QTest::addColumn<int>("weeksChoice");
    QTest::addColumn<int>("unit");
    QTest::addColumn<int>("bars");
    QTest::newRow("12 weeks, miles") << 0 << 0 << 6;
    QTest::newRow("all weeks, kilometers") << 4 << 1 << 6;
}

// The height of every bar is its distance over the axis' top, in the plot's height; the weeks over the ramp are
// flagged: 12.1 miles after weeks of 10.
void tst_InsightWindows::barsMatchTheTotals() {
    QFETCH(int, weeksChoice);
    QFETCH(int, unit);
    QFETCH(int, bars);
    LogTableModel model;
    Fill(model);
    InsightSource source(model.List(), model);
    ChartsWindow window(source);
    window.findChild<QComboBox *>("Weeks")->setCurrentIndex(weeksChoice);
    window.findChild<QComboBox *>("Unit")->setCurrentIndex(unit);
    const WeeklyChart *chart = window.Weekly();
    QCOMPARE(int(chart->Bars().size()), bars);
    const QSizeF size(600, 300);
    const QRectF plot = chart->PlotArea(size);
    const double expectedMiles[] = {10, 10, 10, 10, 10, 8 + 1 + 5 * 0.621371192237334};
    for (std::size_t i = 0; i < chart->Bars().size(); ++i) {
        const double distance = unit == 0 ? expectedMiles[i] : chart->Bars()[i].Totals.Kilometers;
        const QRectF bar = chart->BarRect(i, size);
        QVERIFY(qAbs(bar.height() - plot.height() * distance / chart->AxisTop()) < 1e-6);
        QVERIFY(qAbs(bar.bottom() - plot.bottom()) < 1e-9);
        QVERIFY(plot.contains(bar.center()));
        QCOMPARE(chart->Bars()[i].Ramp, i == 5 ? pq::RampLevel::Warning : pq::RampLevel::None);
        if (i > 0)
            QVERIFY(bar.left() > chart->BarRect(i - 1, size).right());
    }
    QCOMPARE(chart->Bars()[1].Totals.Miles, 10.0);
}

void tst_InsightWindows::followsTheLog() {
    LogTableModel model;
    Fill(model);
    InsightSource source(model.List(), model);
    ChartsWindow window(source);
    const double before = window.Weekly()->Bars().back().Totals.Miles;
    model.AppendRow("2024/02/01\t3 Miles\t00:24:00\t");
    QTRY_COMPARE(window.Weekly()->Bars().back().Totals.Miles, before + 3);
    model.RemoveRow(model.rowCount() - 1);
    QTRY_COMPARE(window.Weekly()->Bars().back().Totals.Miles, before);
    model.ClearRows();
    // The runs are read through the list's rows, which are gone: until the recount there are none to read.
    QVERIFY(source.Runs().empty());
    QTRY_VERIFY(window.Weekly()->Bars().empty());
    QCOMPARE(window.YearOverYear()->Series().Years.size(), 1U);
}

void tst_InsightWindows::tooltipsAndSummaries() {
    LogTableModel model;
    Fill(model);
    InsightSource source(model.List(), model);
    ChartsWindow window(source);
    WeeklyChart *chart = window.Weekly();
    chart->resize(600, 300);
    const QString tip = chart->ToolTipAt(chart->BarRect(1, chart->size()).center());
    QVERIFY2(tip.contains("Week of 2024/01/01 to 2024/01/07"), qPrintable(tip));
    QVERIFY2(tip.contains("Distance: 10.00 Miles") && tip.contains("Runs: 1") && tip.contains("Time: 1:20:00") &&
                 tip.contains("Average pace: 8:00 per mile"),
             qPrintable(tip));
    const QString rampTip = chart->ToolTipAt(chart->BarRect(5, chart->size()).center());
    QVERIFY2(rampTip.contains("More than 10% above"), qPrintable(rampTip));
    QVERIFY(chart->ToolTipAt(QPointF(1, 1)).isEmpty());
    QVERIFY2(chart->accessibleDescription().contains("6 weeks from 2023/12/25") &&
                 chart->accessibleDescription().contains("1 week is more than 10% above"),
             qPrintable(chart->accessibleDescription()));
    QVERIFY(window.YearOverYear()->accessibleDescription().contains("On pace for"));
    QCOMPARE(window.YearOverYear()->OnPaceText(),
             QStringLiteral("On pace for %1 Miles this year")
                 .arg(std::lround((40 + 8 + 1 + 5 * 0.621371192237334) * 366 / 32)));
    QVERIFY(window.Consistency()->accessibleDescription().contains("days with a run"));
}

void tst_InsightWindows::saveImage_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("name");
    QTest::newRow("weekly as PNG") << 0 << "weekly.png";
    QTest::newRow("years as SVG") << 1 << "years.svg";
    QTest::newRow("calendar as PNG") << 2 << "calendar.png";
    QTest::newRow("training load as SVG") << 3 << "load.svg";
}

void tst_InsightWindows::saveImage() {
    QFETCH(int, tab);
    QFETCH(QString, name);
    QTemporaryDir folder;
    LogTableModel model;
    Fill(model);
    InsightSource source(model.List(), model);
    ChartsWindow window(source);
    window.resize(800, 500);
    window.show();
    window.Tabs()->setCurrentIndex(tab);
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    ScriptedPrompts prompts;
    const QString path = folder.filePath(name);
    prompts.SaveAnswers << path;
    window.SaveImage();
    QVERIFY(prompts.Messages.isEmpty());
    QCOMPARE(prompts.SaveDialogs.size(), 1);
    QVERIFY(prompts.SaveDialogs[0].Filter.contains("*.svg"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    if (name.endsWith(".svg")) {
        QVERIFY(bytes.contains("<svg"));
        QVERIFY(bytes.contains("path"));
    } else {
        // Twice the pixels of the chart on screen, so the picture stays sharp.
        const QImage image = QImage::fromData(bytes, "PNG");
        const QWidget *chart = window.Tabs()->currentWidget();
        QCOMPARE(image.width(), 2 * chart->width());
    }

    // A folder that does not exist is reported, not taken for a saved image.
    prompts.SaveAnswers << folder.filePath("missing/chart.png");
    window.SaveImage();
    QCOMPARE(prompts.Messages.size(), 1);
    QVERIFY(prompts.Messages[0].Text.startsWith("The image was not saved."));
}

void tst_InsightWindows::darkPalette() {
    LogTableModel model;
    Fill(model);
    InsightSource source(model.List(), model);
    ChartsWindow window(source);
    QPalette dark;
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Highlight, QColor(80, 140, 230));
    window.Weekly()->setPalette(dark);
    const ChartView::Colours colours = window.Weekly()->ChartColours();
    QCOMPARE(colours.Background, QColor(30, 30, 30));
    QVERIFY(colours.Text.lightness() - colours.Background.lightness() > 150);
    QVERIFY(colours.Warning.lightness() - colours.Background.lightness() > 100);
    QVERIFY(colours.Warning != colours.Bar);
}

void tst_InsightWindows::calendarCells() {
    LogTableModel model;
    Fill(model);
    InsightSource source(model.List(), model);
    ChartsWindow window(source);
    const ConsistencyChart *chart = window.Consistency();
    const pq::ConsistencyCalendar &calendar = chart->Calendar();
    QCOMPARE(calendar.Days.size(), std::size_t(52 * 7 + 4)); // Monday to Thursday of this week
    const QSizeF size(900, 260);
    // A week per column, a weekday per row, no two cells overlapping.
    QCOMPARE(chart->CellRect(7, size).left() - chart->CellRect(0, size).left(),
             chart->CellRect(1, size).top() - chart->CellRect(0, size).top());
    QVERIFY(!chart->CellRect(0, size).intersects(chart->CellRect(1, size)));
    QCOMPARE(chart->StreaksText(), QStringLiteral("Days in a row: 1 now, 2 at most\nWeeks in a row: 6 now, 6 at most"));
}

void tst_InsightWindows::recordsAndSelection() {
    LogTableModel model;
    Fill(model);
    InsightSource source(model.List(), model);
    QList<int> selected;
    RecordsWindow window(source, [&selected](int row) { selected << row; });
    const QTableWidget *table = window.RecordsTable();
    QStringList labels;
    for (int row = 0; row < table->rowCount(); ++row)
        labels << table->item(row, RecordsWindow::RecordColumn)->text();
    QCOMPARE(labels, QStringList({"1 Mile", "5K", "Longest Run", "Biggest Week", "Biggest Month", "Biggest Year"}));
    QCOMPARE(table->item(1, RecordsWindow::TimeColumn)->text(), QStringLiteral("00:21:00"));
    QCOMPARE(table->item(1, RecordsWindow::PaceMileColumn)->text(), QStringLiteral("6:46"));
    QCOMPARE(table->item(1, RecordsWindow::PaceKilometerColumn)->text(), QStringLiteral("4:12"));
    QCOMPARE(table->item(3, RecordsWindow::DateColumn)->text(), QStringLiteral("2024/01/29 to 2024/02/04"));
    const QTableWidget *predictions = window.PredictionsTable();
    QCOMPARE(predictions->rowCount(), 5);
    QCOMPARE(predictions->item(0, 4)->text(), QStringLiteral("from the 1 Mile of 2024/01/31"));
    QCOMPARE(predictions->item(1, 1)->text(), QStringLiteral("0:21:00"));
    QCOMPARE(predictions->item(4, 4)->text(), QStringLiteral("from the 5K of 2024/01/31"));

    // It opens wide enough for every column, its rows a line of text high.
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(!table->horizontalScrollBar()->isVisible());
    QVERIFY(!predictions->horizontalScrollBar()->isVisible());
    QVERIFY(table->rowHeight(0) < 2 * table->fontMetrics().height());

    emit window.RecordsTable()->cellDoubleClicked(0, 2);
    emit window.RecordsTable()->cellDoubleClicked(3, 0);
    // The mile's own row; for the biggest week, its last run in date order (the 5K, the mile's day twin, sorts
    // after "1 Miles" by its distance text).
    QCOMPARE(selected, QList<int>({6, 5}));

    model.AppendRow("2024/02/01\t1 Miles\t00:06:00\t");
    QTRY_COMPARE(window.RecordsTable()->item(0, RecordsWindow::TimeColumn)->text(), QStringLiteral("00:06:00"));
}

void tst_InsightWindows::commandsEnabledWithADatedRow() {
    TPacequillDlgClient client;
    AttachFeatureModules(client);
    QCOMPARE(client.Enabled(Cmd::StatsCharts), std::optional<bool>(false));
    client.Rows().AppendRow("No Date\t3 Miles\t00:25:00\t");
    client.Rows().AppendRow("2024/13/01\t3 Miles\t00:25:00\t");
    QCOMPARE(client.Enabled(Cmd::StatsRecords), std::optional<bool>(false));
    client.Rows().AppendRow("2024/01/31\t3 Miles\t00:25:00\t");
    QCOMPARE(client.Enabled(Cmd::StatsCharts), std::optional<bool>(true));
    QVERIFY(client.Handle(Cmd::StatsCharts));
    auto *windows = client.findChild<InsightWindows *>();
    QVERIFY(windows && windows->Charts() && windows->Charts()->isVisible());
    QVERIFY(client.Handle(Cmd::StatsCharts));
    QCOMPARE(client.findChildren<ChartsWindow *>().size(), 1);
    QVERIFY(client.Handle(Cmd::StatsRecords));
    QVERIFY(windows->Records()->isVisible());
    emit windows->Records()->RecordsTable()->cellDoubleClicked(0, 0);
    QCOMPARE(client.FindSelectedRow(), std::optional<int>(2));
}

// With two years of weeks in a narrow window the plot scrolls; the value axis and the legend stay where they are.
void tst_InsightWindows::axisAndLegendStayWhileThePlotScrolls() {
    LogTableModel model;
    for (int day = pq::DayNumber(2022, 1, 3); day < pq::DayNumber(2024, 2, 1); day += 2)
        model.AppendRow(pq::DayText(day) + "\t" + std::to_string(3 + day % 7) + " Miles\t00:40:00\t");
    InsightSource source(model.List(), model);
    ChartsWindow window(source);
    window.findChild<QComboBox *>("Weeks")->setCurrentIndex(3); // 104
    window.resize(500, 400);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QScrollBar *scroll = window.WeeklyScrollArea()->horizontalScrollBar();
    QTRY_VERIFY(scroll->maximum() > 0 && scroll->value() == scroll->maximum());
    QCOMPARE(window.Weekly()->PinnedAxis(), qreal(scroll->value()));
    QWidget *viewport = window.WeeklyScrollArea()->viewport();
    const QImage newest = viewport->grab().toImage();
    scroll->setValue(0);
    QCOMPARE(window.Weekly()->PinnedAxis(), 0.0);
    const QImage oldest = viewport->grab().toImage();
    // The axis strip on the left and the legend's row on top look the same at either end of the weeks.
    const QRect axis(0, 0, 50, newest.height());
    const QRect legend(0, 0, newest.width(), 20);
    QCOMPARE(newest.copy(axis), oldest.copy(axis));
    QCOMPARE(newest.copy(legend), oldest.copy(legend));
}

// Every run before the chosen weeks: the weekly chart says so and offers all the weeks; so does the calendar.
void tst_InsightWindows::emptyPeriodsSayWhy() {
    pq::SetDateClock([] { return pq::CivilDate{2026, 12, 7}; });
    LogTableModel model;
    Fill(model);
    InsightSource source(model.List(), model);
    ChartsWindow window(source);
    auto *save = window.findChild<QPushButton *>("SaveImage");
    QCOMPARE(window.EmptyMessage(), QStringLiteral("No runs between 2026/06/15 and 2026/12/07."));
    QVERIFY(!save->isEnabled());
    QVERIFY(window.ShowAllWeeksButton()->isVisibleTo(&window));
    window.Tabs()->setCurrentIndex(2);
    QCOMPARE(window.EmptyMessage(), QStringLiteral("No runs between 2025/12/08 and 2026/12/07."));
    window.Tabs()->setCurrentIndex(1);
    QVERIFY(window.EmptyMessage().isEmpty());
    QCOMPARE(window.YearOverYear()->OnPaceText(), QStringLiteral("On pace for 0 Miles this year"));
    window.ShowAllWeeksButton()->click();
    QCOMPARE(window.Tabs()->currentIndex(), 0);
    QCOMPARE(window.findChild<QComboBox *>("Weeks")->currentText(), QStringLiteral("All"));
    QVERIFY(window.EmptyMessage().isEmpty());
    QVERIFY(save->isEnabled());
    QVERIFY(!window.ShowAllWeeksButton()->isVisibleTo(&window));
}

void tst_InsightWindows::choicesOnlyWhereTheyAct() {
    LogTableModel model;
    Fill(model);
    InsightSource source(model.List(), model);
    ChartsWindow charts(source);
    auto *weeks = charts.findChild<QComboBox *>("Weeks");
    auto *weekStart = charts.findChild<QComboBox *>("WeekStart");
    const QList<std::pair<bool, bool>> enabled{{true, true}, {false, false}, {false, true}};
    for (int tab = 0; tab < 3; ++tab) {
        charts.Tabs()->setCurrentIndex(tab);
        QCOMPARE(std::make_pair(weeks->isEnabled(), weekStart->isEnabled()), enabled[tab]);
    }
    RecordsWindow records(source, [](int) {});
    auto *recordsWeekStart = records.findChild<QComboBox *>("WeekStart");
    records.Pages()->setCurrentWidget(records.Shoes());
    QVERIFY(!recordsWeekStart->isEnabled());
    records.Pages()->setCurrentIndex(0);
    QVERIFY(recordsWeekStart->isEnabled());
}

void tst_InsightWindows::calendarLabelsAndKey_data() {
    QTest::addColumn<int>("weekStart");
    QTest::addColumn<QStringList>("weekdays");
    QTest::newRow("Monday first") << 0 << QStringList{"Mon", "Wed", "Fri"};
    QTest::newRow("Sunday first") << 6 << QStringList{"Mon", "Wed", "Fri"};
}

// Month names over the weeks where months begin, Mon, Wed and Fri beside their rows, a headline, and in a dark
// theme, days without a run still visible as cells.
void tst_InsightWindows::calendarLabelsAndKey() {
    QFETCH(int, weekStart);
    QFETCH(QStringList, weekdays);
    LogTableModel model;
    Fill(model);
    InsightSource source(model.List(), model);
    ChartsWindow window(source);
    window.findChild<QComboBox *>("WeekStart")->setCurrentIndex(weekStart);
    const ConsistencyChart *chart = window.Consistency();
    const QSizeF size(900, 300);
    QStringList months;
    qreal right = 0;
    for (const auto &[name, label] : chart->MonthLabels(size)) {
        months << name;
        QVERIFY(label.left() > right);
        right = label.right();
    }
    QCOMPARE(months,
             (QStringList{"Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec", "Jan", "Feb"}));
    QStringList names;
    for (const auto &[name, label] : chart->WeekdayLabels(size)) {
        names << name;
        QVERIFY(label.right() < chart->CellRect(0, size).left());
    }
    QCOMPARE(names, weekdays);
    QVERIFY2(QRegularExpression("^\\d+ days with a run in the last 53 weeks$").match(chart->Headline()).hasMatch(),
             qPrintable(chart->Headline()));

    QPalette dark;
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::Mid, QColor(36, 36, 36));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    window.Consistency()->setPalette(dark);
    QVERIFY(chart->DayColour({}).lightness() - 30 >= 20);
    QVERIFY(chart->ChartColours().Grid.lightness() - 30 >= 40);
}

// Years that end on one spot are named apart, right of every line's end.
void tst_InsightWindows::yearLabelsApart() {
    LogTableModel model;
    for (int year = 2019; year <= 2023; ++year)
        model.AppendRow(std::to_string(year) + "/06/01\t10 Miles\t01:20:00\t");
    InsightSource source(model.List(), model);
    ChartsWindow window(source);
    const YearOverYearChart *chart = window.YearOverYear();
    const QSizeF size(640, 320);
    const auto labels = chart->YearLabels(size);
    QCOMPARE(labels.size(), std::size_t(6)); // and the current year
    for (std::size_t i = 0; i < labels.size(); ++i) {
        for (const pq::YearLine &line : chart->Series().Years)
            QVERIFY(labels[i].second.left() > chart->PointAt(line, line.Cumulative.size() - 1, size).x());
        for (std::size_t j = 0; j < i; ++j)
            QVERIFY(!labels[i].second.intersects(labels[j].second));
    }
}

void tst_InsightWindows::placedInsideTheAvailableArea_data() {
    QTest::addColumn<QRect>("over");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("placed");
    const QRect main(200, 150, 600, 400);
    QTest::newRow("room enough: centred") << main << QRect(0, 0, 1280, 900) << QRect(124, 158, 752, 410);
    QTest::newRow("at scale 2: shrunk to the area") << main << QRect(0, 20, 640, 430) << QRect(4, 50, 632, 396);
    QTest::newRow("main window off the edge: moved in")
        << QRect(-300, 600, 600, 400) << QRect(0, 0, 1280, 900) << QRect(4, 486, 752, 410);
}

void tst_InsightWindows::placedInsideTheAvailableArea() {
    QFETCH(QRect, over);
    QFETCH(QRect, available);
    QFETCH(QRect, placed);
    const QMargins frame(4, 30, 4, 4);
    QCOMPARE(WindowPlacement::CentredInside(QSize(752, 410), frame, over, available), placed);
}

void tst_InsightWindows::announcedAsWindows() {
    TPacequillDlgClient client;
    AttachFeatureModules(client);
    client.Rows().AppendRow("2024/01/31\t3 Miles\t00:25:00\t");
    QVERIFY(client.Handle(Cmd::StatsCharts));
    QVERIFY(client.Handle(Cmd::StatsRecords));
    auto *windows = client.findChild<InsightWindows *>();
    for (QWidget *window : {static_cast<QWidget *>(windows->Charts()), static_cast<QWidget *>(windows->Records())}) {
        QCOMPARE(QAccessible::queryAccessibleInterface(window)->role(), QAccessible::Window);
        QVERIFY(window->screen()->availableGeometry().contains(window->geometry()));
    }
}

QTEST_MAIN(tst_InsightWindows)
#include "tst_InsightWindows.moc"
