#include <QTest>

#include <vector>

#include "insight/CountedRuns.h"
#include "insight/ReportFormats.h"
#include "support/RunLogs.h"

using namespace pq;

class tst_CountedRuns : public QObject {
    Q_OBJECT

private slots:
    void whichRowsCount_data();
    void whichRowsCount();
    void statisticsOrder();
    void filterPicksRows();
    void totalsBetween();
    void texts_data();
    void texts();
};

void tst_CountedRuns::whichRowsCount_data() {
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("distance");
    QTest::addColumn<QString>("time");
    QTest::addColumn<bool>("counts");
    QTest::addColumn<double>("miles");
    QTest::addColumn<double>("seconds");

    QTest::newRow("miles") << "2024/03/01"
                           << "3.1 Miles"
                           << "00:25:00" << true << 3.1 << 1500.0;
    QTest::newRow("kilometers") << "2024/03/01"
                                << "10 Kilometers"
                                << "00:50:00" << true << 6.21371192237334 << 3000.0;
    QTest::newRow("marathons") << "2024/03/01"
                               << "1 Marathons"
                               << "03:30:00" << true << 26.218749741089844 << 12600.0;
    QTest::newRow("leap day") << "2024/02/29"
                              << "5 Miles"
                              << "00:40:00" << true << 5.0 << 2400.0;
    QTest::newRow("fraction of a second") << "2024/03/01"
                                          << "1 Miles"
                                          << "00:05:07.5" << true << 1.0 << 307.5;
    QTest::newRow("no time") << "2024/03/01"
                             << "1 Miles"
                             << "" << true << 1.0 << 0.0;
    QTest::newRow("unit word anywhere") << "2024/03/01"
                                        << "4 Kilometres"
                                        << "00:20:00" << true << 4 * 0.621371192237334 << 1200.0;
    QTest::newRow("no date") << "No Date"
                             << "3 Miles"
                             << "00:25:00" << false << 0.0 << 0.0;
    QTest::newRow("date outside the rules") << "1998/3/2"
                                            << "3 Miles"
                                            << "00:25:00" << false << 0.0 << 0.0;
    QTest::newRow("not a day") << "2023/02/29"
                               << "3 Miles"
                               << "00:25:00" << false << 0.0 << 0.0;
    QTest::newRow("before 1980") << "1979/12/31"
                                 << "3 Miles"
                                 << "00:25:00" << false << 0.0 << 0.0;
    QTest::newRow("unknown unit") << "2024/03/01"
                                  << "3 miles"
                                  << "00:25:00" << false << 0.0 << 0.0;
    QTest::newRow("no unit word") << "2024/03/01"
                                  << "3Miles"
                                  << "00:25:00" << false << 0.0 << 0.0;
    QTest::newRow("no number") << "2024/03/01"
                               << "abc Miles"
                               << "00:25:00" << false << 0.0 << 0.0;
    QTest::newRow("infinite number") << "2024/03/01"
                                     << "1e999 Miles"
                                     << "00:25:00" << false << 0.0 << 0.0;
    QTest::newRow("point then digits") << "2024/03/01"
                                       << ".5 Miles"
                                       << "00:04:00" << true << 0.5 << 240.0;
}

void tst_CountedRuns::whichRowsCount() {
    QFETCH(QString, date);
    QFETCH(QString, distance);
    QFETCH(QString, time);
    QFETCH(bool, counts);
    QFETCH(double, miles);
    QFETCH(double, seconds);
    const std::string dateText = date.toStdString();
    const std::string distanceText = distance.toStdString();
    const std::string timeText = time.toStdString();
    const LogList list = RunLog({{"No Date", "1 Miles"}, {dateText.c_str(), distanceText.c_str(), timeText.c_str()}});
    const RunList runs = CountRuns(list);
    QCOMPARE(runs.size(), counts ? 1U : 0U);
    if (counts) {
        QCOMPARE(runs[0].Row, 1);
        QCOMPARE(runs[0].DayNumber, Day(dateText.c_str()));
        QCOMPARE(runs[0].Miles, miles);
        QCOMPARE(runs[0].Seconds, seconds);
    }
}

// Rows come by date whatever the list order; on one day by their distance texts, then in list order.
void tst_CountedRuns::statisticsOrder() {
    const LogList list = RunLog({{"2024/03/02", "5 Miles"},
                                 {"2024/03/01", "3 Miles"},
                                 {"2024/03/02", "10 Kilometers"},
                                 {"2024/03/02", "5 Miles"},
                                 {"2023/12/31", "1 Miles"}});
    std::vector<int> rows;
    for (const CountedRun &run : CountRuns(list))
        rows.push_back(run.Row);
    QCOMPARE(rows, (std::vector<int>{4, 1, 2, 0, 3}));
}

void tst_CountedRuns::filterPicksRows() {
    const LogList list = RunLog({{"2024/03/01", "3 Miles"}, {"2024/03/02", "4 Miles"}, {"2024/03/03", "5 Miles"}});
    const RunList runs = CountRuns(list, [](int row) { return row != 1; });
    QCOMPARE(runs.size(), 2U);
    QCOMPARE(runs[0].Row, 0);
    QCOMPARE(runs[1].Row, 2);
}

void tst_CountedRuns::totalsBetween() {
    const LogList list = RunLog({{"2023/12/31", "1 Miles", "00:10:00"},
                                 {"2024/01/01", "2 Miles", "00:16:00"},
                                 {"2024/01/05", "3 Miles", ""},
                                 {"2024/01/06", "0 Miles", "00:10:00"},
                                 {"2024/01/07", "4 Miles", "00:40:00"}});
    const RunTotals totals = TotalsBetween(CountRuns(list), Day("2024/01/01"), Day("2024/01/06"));
    QCOMPARE(totals.Runs, 3);
    QCOMPARE(totals.Miles, 5.0);
    QCOMPARE(totals.Seconds, 26.0 * 60);
    // Only the run with both a distance and a time gives the pace: 16 minutes over 2 miles.
    QCOMPARE(totals.PacePerMile(), 8.0 * 60);
    QCOMPARE(PaceText(totals.PacedSeconds, totals.PacedMiles), std::string("8:00"));
}

void tst_CountedRuns::texts_data() {
    QTest::addColumn<double>("seconds");
    QTest::addColumn<double>("distance");
    QTest::addColumn<QString>("clock");
    QTest::addColumn<QString>("pace");
    QTest::newRow("whole") << 3907.0 << 1.0 << "1:05:07"
                           << "65:07";
    QTest::newRow("half second rounds up") << 484.5 << 1.0 << "0:08:05"
                                           << "8:05";
    QTest::newRow("pace rounds to the second") << 1500.0 << 3.1 << "0:25:00"
                                               << "8:04";
    QTest::newRow("a minute carried") << 59.6 << 1.0 << "0:01:00"
                                      << "1:00";
    QTest::newRow("many hours") << 100.0 * 3600 << 100.0 << "100:00:00"
                                << "60:00";
    QTest::newRow("zero time") << 0.0 << 3.0 << "0:00:00"
                               << "";
    QTest::newRow("zero distance") << 600.0 << 0.0 << "0:10:00"
                                   << "";
    QTest::newRow("negative time") << -60.0 << 1.0 << "0:00:00"
                                   << "";
}

void tst_CountedRuns::texts() {
    QFETCH(double, seconds);
    QFETCH(double, distance);
    QFETCH(QString, clock);
    QFETCH(QString, pace);
    QCOMPARE(QString::fromStdString(ClockText(seconds)), clock);
    QCOMPARE(QString::fromStdString(PaceText(seconds, distance)), pace);
}

QTEST_APPLESS_MAIN(tst_CountedRuns)
#include "tst_CountedRuns.moc"
