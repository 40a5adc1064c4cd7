#include <QImage>
#include <QRegion>
#include <QtTest>

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
};

QTEST_MAIN(tst_WeeklyChart)
#include "tst_WeeklyChart.moc"
