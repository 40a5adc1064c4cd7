#include <QTest>

#include <cstdio>
#include <random>
#include <string>

#include "insight/ChartSeries.h"
#include "insight/ReportFormats.h"
#include "stats/PeriodTotals.h"
#include "support/RunLogs.h"

using namespace pq;

namespace {

constexpr int Monday = 0;
constexpr int Sunday = 6;

// Weekly miles and ramp marks as "miles", "miles!" or "miles!!" per bar.
QStringList Bars(const std::vector<WeekBar> &bars) {
    QStringList texts;
    for (const WeekBar &bar : bars)
        texts << QString::fromStdString(FormatHundredths(bar.Totals.Miles)) + QString(int(bar.Ramp), QLatin1Char('!'));
    return texts;
}

// Every figure of the bars, to the last bit.
std::string DescribeBars(const std::vector<WeekBar> &bars) {
    std::string text;
    char line[200];
    for (const WeekBar &bar : bars) {
        std::snprintf(line, sizeof line, "%d runs %d %a %a %a avg %d %a %a ramp %d\n", bar.FirstDay, bar.Totals.Runs,
                      bar.Totals.Miles, bar.Totals.Kilometers, bar.Totals.PacedSeconds, bar.AverageWeeks,
                      bar.AverageMiles, bar.AverageKilometers, int(bar.Ramp));
        text += line;
    }
    return text;
}

} // namespace

class tst_ChartSeries : public QObject {
    Q_OBJECT

private slots:
    void weeklyRamp_data();
    void weeklyRamp();
    void weeklyMatchesStatistics_data();
    void weeklyMatchesStatistics();
    void weeklySpansToToday();
    void weeklyFromMidWeek();
    void yearOverYear();
    void calendar();
    void streaks_data();
    void streaks();
    void weekStreaksEndWithTheLastRun();
    void weeklyWithAddedRuns_data();
    void weeklyWithAddedRuns();
};

void tst_ChartSeries::weeklyRamp_data() {
    QTest::addColumn<QStringList>("distances"); // one run on the Monday of consecutive weeks; "" for none
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("exactly ten percent is no ramp")
        << QStringList{"10", "10", "10", "10", "11"} << QStringList{"10.00", "10.00", "10.00", "10.00", "11.00"};
    QTest::newRow("a week over the ramp")
        << QStringList{"10", "10", "10", "10", "11.5"} << QStringList{"10.00", "10.00", "10.00", "10.00", "11.50!"};
    QTest::newRow("thirty percent is a warning")
        << QStringList{"10", "10", "10", "10", "13"} << QStringList{"10.00", "10.00", "10.00", "10.00", "13.00!"};
    QTest::newRow("over thirty percent is a strong warning")
        << QStringList{"10", "10", "10", "10", "13.5"} << QStringList{"10.00", "10.00", "10.00", "10.00", "13.50!!"};
    QTest::newRow("a log's first four weeks are not judged")
        << QStringList{"10", "12", "20", "30", "10"} << QStringList{"10.00", "12.00", "20.00", "30.00", "10.00"};
    QTest::newRow("only the four weeks before count")
        << QStringList{"40", "10", "10", "10", "10", "12"}
        << QStringList{"40.00", "10.00", "10.00", "10.00", "10.00", "12.00!"};
    QTest::newRow("after weeks without running")
        << QStringList{"10", "0", "0", "0", "0", "5"} << QStringList{"10.00", "0.00", "0.00", "0.00", "0.00", "5.00"};
    QTest::newRow("a break of four weeks starts the history again")
        << QStringList{"10", "10", "10", "10", "", "", "", "", "10", "12", "13", "14", "20"}
        << QStringList{"10.00", "10.00", "10.00", "10.00", "0.00",  "0.00",   "0.00",
                       "0.00",  "10.00", "12.00", "13.00", "14.00", "20.00!!"};
    QTest::newRow("a break of three weeks does not")
        << QStringList{"10", "10", "10", "10", "", "", "", "10"}
        << QStringList{"10.00", "10.00", "10.00", "10.00", "0.00", "0.00", "0.00", "10.00!!"};
}

void tst_ChartSeries::weeklyRamp() {
    QFETCH(QStringList, distances);
    QFETCH(QStringList, expected);
    LogList list;
    int day = Day("2024/01/01"); // a Monday
    for (const QString &distance : distances) {
        if (!distance.isEmpty())
            list.AppendRow(DayText(day) + '\t' + distance.toStdString() + " Miles\t01:00:00\t");
        day += 7;
    }
    const std::vector<WeekBar> bars = WeeklySeries(CountRuns(list), day - 7, Monday);
    QCOMPARE(Bars(bars), expected);
    QCOMPARE(bars.front().AverageWeeks, 0);
    QCOMPARE(bars.back().AverageWeeks, std::min<int>(TrailingWeeks, int(bars.size()) - 1));
}

void tst_ChartSeries::weeklyMatchesStatistics_data() {
    QTest::addColumn<int>("weekStart");
    QTest::addColumn<unsigned>("seed");
    for (int weekStart = Monday; weekStart <= Sunday; weekStart += 3)
        for (unsigned seed = 1; seed <= 3; ++seed)
            QTest::addRow("week start %d, seed %u", weekStart, seed) << weekStart << seed;
}

// The chart's weeks add up exactly as the statistics' weekly totals: same sums, same order.
void tst_ChartSeries::weeklyMatchesStatistics() {
    QFETCH(int, weekStart);
    QFETCH(unsigned, seed);
    std::mt19937 random(seed);
    const char *units[] = {"Miles", "Kilometers", "Marathons"};
    LogList list;
    for (int i = 0; i < 400; ++i) {
        const int day = Day("2023/11/01") + int(random() % 200);
        const std::string distance = std::to_string(static_cast<double>(random() % 2000) / 100.0).substr(0, 5);
        list.AppendRow(DayText(day) + '\t' + distance + ' ' + units[random() % 3] + "\t00:40:00\t");
    }
    const RunList runs = CountRuns(list);
    QCOMPARE(runs.size(), 400U);
    std::vector<std::string> chart;
    for (const WeekBar &bar : WeeklySeries(runs, Day("2024/05/01"), weekStart)) {
        if (bar.Totals.Runs > 0 && bar.Totals.Miles != 0)
            chart.push_back(FormatHundredths(bar.Totals.Miles) + ' ' + FormatHundredths(bar.Totals.Kilometers));
    }
    std::vector<std::string> statistics;
    for (const PeriodRow &row : WeeklyTotals(BuildSnapshot(list), weekStart))
        statistics.push_back(row.Miles + ' ' + row.Kilometers);
    QCOMPARE(chart, statistics);
}

void tst_ChartSeries::weeklySpansToToday() {
    const LogList list = RunLog({{"2024/01/03", "3 Miles"}, {"No Date", "5 Miles"}});
    const std::vector<WeekBar> bars = WeeklySeries(CountRuns(list), Day("2024/01/31"), Sunday);
    QCOMPARE(bars.size(), 5U);
    QCOMPARE(DayText(bars.front().FirstDay), std::string("2023/12/31"));
    QCOMPARE(DayText(bars.back().FirstDay), std::string("2024/01/28"));
    QVERIFY(WeeklySeries({}, Day("2024/01/31"), Sunday).empty());
}

void tst_ChartSeries::yearOverYear() {
    const LogList list = RunLog({{"2023/12/31", "5 Miles"},
                                 {"2024/01/01", "4 Miles"},
                                 {"2024/02/29", "6 Miles"},
                                 {"2024/03/01", "1 Miles"},
                                 {"2021/06/01", "2 Miles"}});
    const YearOverYear series = YearOverYearSeries(CountRuns(list), Day("2024/03/01"));
    QCOMPARE(series.CurrentYear, 2024);
    QCOMPARE(series.DayOfYear, 61);
    QCOMPARE(series.Years.size(), 3U);
    QCOMPARE(series.Years[0].Year, 2021);
    QCOMPARE(series.Years[0].Cumulative.size(), 365U);
    QCOMPARE(series.Years[1].Cumulative.back().Miles, 5.0);
    QCOMPARE(series.Years[1].Cumulative[363].Miles, 0.0);
    const YearLine &current = series.Years[2];
    QCOMPARE(current.Cumulative.size(), 61U);
    QCOMPARE(current.Cumulative[0].Miles, 4.0);
    QCOMPARE(current.Cumulative[58].Miles, 4.0);  // February 28
    QCOMPARE(current.Cumulative[59].Miles, 10.0); // the leap day
    QCOMPARE(current.Cumulative[60].Miles, 11.0);
    QCOMPARE(current.Cumulative[60].Runs, 3);
    QCOMPARE(series.OnPaceMiles, 11.0 * 366 / 61);

    // A year without runs is still there while it is the current one.
    const YearOverYear fresh = YearOverYearSeries(CountRuns(list), Day("2025/01/01"));
    QCOMPARE(fresh.Years.back().Year, 2025);
    QCOMPARE(fresh.Years.back().Cumulative.size(), 1U);
    QCOMPARE(fresh.OnPaceMiles, 0.0);
}

void tst_ChartSeries::calendar() {
    const LogList list = RunLog({{"2024/02/29", "3 Miles"},
                                 {"2024/02/29", "2 Miles"},
                                 {"2023/03/05", "9 Miles"},
                                 {"2023/03/06", "1 Miles"},
                                 {"2024/03/06", "7 Miles"}});
    const ConsistencyCalendar calendar = ConsistencySeries(CountRuns(list), Day("2024/03/06"), Monday);
    // 52 whole weeks before this one, which has run from Monday to today (a Wednesday).
    QCOMPARE(DayText(calendar.FirstDay), std::string("2023/03/06"));
    QCOMPARE(calendar.Days.size(), std::size_t(52 * 7 + 3));
    QCOMPARE(calendar.Days.front().Miles, 1.0); // the Sunday before is not shown
    QCOMPARE(calendar.Days[std::size_t(Day("2024/02/29") - calendar.FirstDay)].Runs, 2);
    QCOMPARE(calendar.Days[std::size_t(Day("2024/02/29") - calendar.FirstDay)].Miles, 5.0);
    QCOMPARE(calendar.MostMiles, 7.0);
    QCOMPARE(calendar.DayAndWeekStreaks.CurrentDays.Length, 1);
}

void tst_ChartSeries::streaks_data() {
    QTest::addColumn<QStringList>("dates");
    QTest::addColumn<QString>("today");
    QTest::addColumn<QString>("expected"); // current days, longest days (first..last), current weeks, longest weeks

    QTest::newRow("running today") << QStringList{"2024/03/01", "2024/03/02", "2024/03/03"} << "2024/03/03"
                                   << "3 3 2024/03/01..2024/03/03 1 1";
    QTest::newRow("not yet today") << QStringList{"2024/03/01", "2024/03/02"} << "2024/03/03"
                                   << "2 2 2024/03/01..2024/03/02 1 1";
    QTest::newRow("a day missed") << QStringList{"2024/03/01", "2024/03/02"} << "2024/03/04"
                                  << "0 2 2024/03/01..2024/03/02 1 1";
    QTest::newRow("the first longest one")
        << QStringList{"2024/01/01", "2024/01/02", "2024/01/10", "2024/01/11", "2024/01/20"} << "2024/01/20"
        << "1 2 2024/01/01..2024/01/02 3 3";
    QTest::newRow("across the turn of the year and a leap day")
        << QStringList{"2023/12/31", "2024/01/01", "2024/02/28", "2024/02/29", "2024/03/01"} << "2024/03/01"
        << "3 3 2024/02/28..2024/03/01 1 2";
    QTest::newRow("two runs a day count once") << QStringList{"2024/03/01", "2024/03/01", "2024/03/02"} << "2024/03/02"
                                               << "2 2 2024/03/01..2024/03/02 1 1";
    QTest::newRow("weeks gone by") << QStringList{"2024/01/01", "2024/01/08", "2024/01/15"} << "2024/02/01"
                                   << "0 1 2024/01/01..2024/01/01 0 3";
    QTest::newRow("later runs are not yet") << QStringList{"2024/03/01", "2024/03/05"} << "2024/03/02"
                                            << "1 1 2024/03/01..2024/03/01 1 1";
    QTest::newRow("no runs") << QStringList{} << "2024/03/02"
                             << "0 0 1980/01/01..1980/01/01 0 0";
}

void tst_ChartSeries::streaks() {
    QFETCH(QStringList, dates);
    QFETCH(QString, today);
    QFETCH(QString, expected);
    LogList list;
    for (const QString &date : dates)
        list.AppendRow(date.toStdString() + "\t3 Miles\t00:30:00\t");
    list.AppendRow("2024/01/05\t0 Miles\t00:30:00\t"); // no distance: not a day with a run
    const Streaks streaks = ComputeStreaks(CountRuns(list), Day(today.toLatin1().constData()), Monday);
    const Streak &longest = streaks.LongestDays;
    const QString actual = QStringLiteral("%1 %2 %3..%4 %5 %6")
                               .arg(streaks.CurrentDays.Length)
                               .arg(longest.Length)
                               .arg(QString::fromStdString(DayText(longest.Length > 0 ? longest.FirstDay : 1)),
                                    QString::fromStdString(DayText(longest.Length > 0 ? longest.LastDay : 1)))
                               .arg(streaks.CurrentWeeks.Length)
                               .arg(streaks.LongestWeeks.Length);
    QCOMPARE(actual, expected);
}

// A log that starts on a Sunday: its first full week is not judged against that one day.
void tst_ChartSeries::weeklyFromMidWeek() {
    const LogList list = RunLog({{"2024/01/07", "7.2 Miles"}, {"2024/01/08", "23.97 Miles"}});
    QCOMPARE(Bars(WeeklySeries(CountRuns(list), Day("2024/01/08"), Monday)), QStringList({"7.20", "23.97"}));
}

// The week streaks end on the last run's day when their last week holds it, never after it or today.
void tst_ChartSeries::weekStreaksEndWithTheLastRun() {
    const LogList list = RunLog(
        {{"2025/03/17", "3 Miles"}, {"2025/03/24", "3 Miles"}, {"2025/03/26", "3 Miles"}, {"2025/04/02", "3 Miles"}});
    const Streaks streaks = ComputeStreaks(CountRuns(list), Day("2025/03/27"), Monday);
    QCOMPARE(streaks.CurrentWeeks.Length, 2);
    QCOMPARE(DayText(streaks.CurrentWeeks.FirstDay), std::string("2025/03/17"));
    QCOMPARE(DayText(streaks.CurrentWeeks.LastDay), std::string("2025/03/26"));
    QCOMPARE(DayText(streaks.LongestWeeks.LastDay), std::string("2025/03/26"));
}

void tst_ChartSeries::weeklyWithAddedRuns_data() {
    QTest::addColumn<unsigned>("seed");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("added");
    for (unsigned seed = 1; seed <= 8; ++seed)
        QTest::addRow("seed %u", seed) << seed << int(seed * 9) << int(seed % 3) + 1;
    QTest::addRow("first runs") << 9U << 2 << 2;
}

// The series of a log with runs added at its end, from the series before them, equals the one counted afresh,
// also when a run is added before the first week or after today, or after a break.
void tst_ChartSeries::weeklyWithAddedRuns() {
    QFETCH(unsigned, seed);
    QFETCH(int, rows);
    QFETCH(int, added);
    static const char *const Distances[] = {"3 Miles", "5 Kilometers", "0 Miles", "10.5 Miles", "-2 Miles"};
    std::mt19937 random(seed);
    const auto pick = [&random](int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); };
    LogList list;
    LogList before;
    char date[40];
    for (int i = 0; i < rows; ++i) {
        std::snprintf(date, sizeof date, "2024/%02d/%02d", 1 + pick(12), 1 + pick(28));
        const std::string row = std::string(date) + '\t' + Distances[pick(int(std::size(Distances)))] + "\t00:30:00\t";
        list.AppendRow(row);
        if (i < rows - added)
            before.AppendRow(row);
    }
    const int today = Day("2024/10/15");
    const RunList runs = CountRuns(list);
    std::vector<CountedRun> addedRuns;
    std::copy_if(runs.begin(), runs.end(), std::back_inserter(addedRuns),
                 [&](const CountedRun &run) { return run.Row >= rows - added; });
    QCOMPARE(DescribeBars(WeeklySeriesWithAddedRuns(WeeklySeries(CountRuns(before), today, Monday), runs, addedRuns,
                                                    today, Monday)),
             DescribeBars(WeeklySeries(runs, today, Monday)));
}

QTEST_APPLESS_MAIN(tst_ChartSeries)
#include "tst_ChartSeries.moc"
