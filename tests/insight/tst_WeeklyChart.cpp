#include <QImage>
#include <QRegion>
#include <QtTest>

#include <cmath>
#include <string>
#include <vector>

#include "insight/ChartSeries.h"
#include "insight/CountedRuns.h"
#include "insight/ReportFormats.h"
#include "insight/WeeklyChart.h"
#include "log/LogList.h"
#include "stats/StatsCalendar.h"

namespace {

constexpr int Monday = 0;
constexpr int Weeks = 300;

// A run every third day for the weeks, of distances that rise and fall, so that some weeks ramp.
std::vector<pq::WeekBar> RisingAndFallingWeeks() {
    const int firstDay = pq::DayNumber(2018, 1, 1);
    pq::LogList list;
    for (int day = firstDay; day < firstDay + Weeks * 7; day += 3) {
        const int miles = 3 + (day * 7) % 11;
        list.AppendRow(pq::DayText(day) + '\t' + std::to_string(miles) + " Miles\t00:40:00\t");
    }
    return pq::WeeklySeries(pq::CountRuns(list), firstDay + Weeks * 7 - 1, Monday);
}

} // namespace

class tst_WeeklyChart : public QObject {
    Q_OBJECT

private slots:
    // A wide chart in a scroll area draws only its exposed part: that part must look as it does when the whole
    // chart is drawn, with the bars, date labels and average line that run on past its edges.
    void exposedPartDrawsAsTheWhole_data() {
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("width");
        QTest::newRow("the start") << 0 << 200;
        QTest::newRow("a narrow strip") << 137 << 9;
        QTest::newRow("a screen in the middle") << 1500 << 700;
        QTest::newRow("a label's start left of the part") << 1063 << 41;
        QTest::newRow("the end") << -300 << 300;
    }

    void exposedPartDrawsAsTheWhole() {
        QFETCH(int, left);
        QFETCH(int, width);
        WeeklyChart chart;
        chart.SetBars(RisingAndFallingWeeks(), pq::DistanceUnit::Miles);
        chart.resize(chart.sizeHint());
        QVERIFY(chart.width() > 3000);
        const QImage whole = chart.grab().toImage();
        const QRect part(left < 0 ? chart.width() + left : left, 0, width, chart.height());
        QImage drawn(whole.size(), whole.format());
        drawn.fill(Qt::transparent);
        chart.render(&drawn, part.topLeft(), QRegion(part));
        QCOMPARE(drawn.copy(part), whole.copy(part));
    }

    // The newest week is dated, and every date is whole inside the chart, right of the axis and clear of the next.
    void everyDateFits_data() {
        QTest::addColumn<int>("weeks");
        QTest::addColumn<int>("width");
        for (const int weeks : {1, 12, 26, 52, 104, Weeks})
            for (const int width : {300, 760, 4000})
                QTest::addRow("%d weeks, %d wide", weeks, width) << weeks << width;
    }

    void everyDateFits() {
        QFETCH(int, weeks);
        QFETCH(int, width);
        std::vector<pq::WeekBar> bars = RisingAndFallingWeeks();
        bars.erase(bars.begin(), bars.end() - weeks);
        WeeklyChart chart;
        chart.SetBars(bars, pq::DistanceUnit::Miles);
        const QSizeF size(width, 280);
        const QFontMetricsF metrics(chart.font());
        const auto labels = chart.DateLabels(size);
        QVERIFY(!labels.empty());
        QCOMPARE(labels.front().first, std::size_t(weeks - 1));
        for (std::size_t i = 0; i < labels.size(); ++i) {
            const QRectF &label = labels[i].second;
            QVERIFY(label.left() >= chart.PlotArea(size).left());
            QVERIFY2(label.right() <= size.width(), qPrintable(QString::number(label.right())));
            QVERIFY(metrics.horizontalAdvance(pq::DayText(bars[labels[i].first].FirstDay).c_str()) <= label.width());
            if (i > 0)
                QVERIFY(label.right() < labels[i - 1].second.left());
        }
    }

    void axisSteps_data() {
        QTest::addColumn<double>("top");
        QTest::addColumn<int>("steps");
        QTest::newRow("1") << 1.0 << 5;
        QTest::newRow("2") << 2.0 << 4;
        QTest::newRow("5") << 5.0 << 5;
        QTest::newRow("20") << 20.0 << 4;
        QTest::newRow("50: 0, 10, 20, 30, 40, 50") << 50.0 << 5;
        QTest::newRow("200") << 200.0 << 4;
        QTest::newRow("0.5") << 0.5 << 5;
    }

    void axisSteps() {
        QFETCH(double, top);
        QFETCH(int, steps);
        QCOMPARE(ChartView::AxisStepsFor(top), steps);
        const double step = top / steps;
        // Every label is a whole multiple of 1, 2 or 5 times a power of ten.
        const double leading = step / std::pow(10.0, std::floor(std::log10(step)));
        QVERIFY2(qFuzzyCompare(leading, 1.0) || qFuzzyCompare(leading, 2.0) || qFuzzyCompare(leading, 5.0),
                 qPrintable(QString::number(step)));
    }

    void spreadLabels_data() {
        QTest::addColumn<QList<qreal>>("wanted");
        QTest::addColumn<QList<qreal>>("placed");
        QTest::newRow("apart already") << QList<qreal>{50, 5} << QList<qreal>{50, 5};
        QTest::newRow("three on one spot") << QList<qreal>{30, 30, 30} << QList<qreal>{30, 40, 50};
        QTest::newRow("pushed up from the bottom") << QList<qreal>{96, 95} << QList<qreal>{95, 85};
        QTest::newRow("kept below the top") << QList<qreal>{0} << QList<qreal>{5};
    }

    // Labels 10 high between 0 and 100.
    void spreadLabels() {
        QFETCH(QList<qreal>, wanted);
        QFETCH(QList<qreal>, placed);
        const std::vector<qreal> spread = ChartView::SpreadLabels({wanted.begin(), wanted.end()}, 10, 0, 100);
        QCOMPARE(QList<qreal>(spread.begin(), spread.end()), placed);
    }
};

QTEST_MAIN(tst_WeeklyChart)
#include "tst_WeeklyChart.moc"
