#include <QTest>

#include <deque>
#include <vector>

#include "log/LogList.h"
#include "stats/PeriodTotals.h"

using namespace pq;

namespace {

struct Row {
    const char *Date;
    const char *Distance;
};

// A snapshot reads its keys from its log, so every log made here lives as long as the test program.
TPacequillSSArray Snapshot(const std::vector<Row> &rows) {
    static std::deque<LogList> logs;
    LogList &list = logs.emplace_back();
    for (const Row &row : rows) {
        list.AppendRow(std::string(row.Date) + '\t' + row.Distance + "\t00:25:00\tNone");
    }
    return BuildSnapshot(list);
}

// The four rows of one week in March 1998, with a row without a date, in list order.
const std::vector<Row> MarchRows = {
    {"1998/03/09", "1 Marathons"}, {"1998/03/02", "3.1 Miles"}, {"No Date", "2 Miles"}, {"1998/03/08", "5 Kilometers"}};
const std::vector<Row> NewYearRows = {{"1980/01/01", "1 Miles"}, {"1980/01/06", "1 Miles"}, {"1980/01/07", "2 Miles"}};
const std::vector<Row> TurnOfYearRows = {
    {"1998/12/31", "1 Miles"}, {"1999/01/01", "1 Miles"}, {"1998/02/01", "2 Miles"}};

QString Flatten(const std::vector<PeriodRow> &rows) {
    QStringList lines;
    for (const PeriodRow &row : rows) {
        lines << QString::fromStdString(row.Label + " | " + row.Miles + " " + row.Kilometers + " " + row.Marathons);
    }
    return lines.join(QLatin1Char('\n'));
}

QString Flatten(const RangeResult &result) {
    return QString::fromStdString(result.Miles + " " + result.Kilometers + " " + result.Marathons);
}

struct Reports {
    QStringList Seen;
    UnitReporter Reporter() {
        return [this](const UnrecognizedUnit &unit) {
            Seen << QString::fromStdString(std::string(unit.Date) + " " + std::string(unit.Distance));
        };
    }
};

} // namespace

class TestPeriodTotals : public QObject {
    Q_OBJECT

private slots:
    void rowKey_data();
    void rowKey();
    void snapshotIsInDateOrder();
    void weekly_data();
    void weekly();
    void monthlyAndYearly();
    void monthlyAndYearlyAcrossYears();
    void unitConversions_data();
    void unitConversions();
    void range();
    void zeroPeriodsAreNotListed();
    void emptyLog();
    void unrecognizedUnitsAreReported();
    void rangeReportsOnlyInsideIt();
    void distanceCutBeforeReading();
    void negativeDistance();
    void yearBefore1980CountsAs1980();
};

void TestPeriodTotals::rowKey_data() {
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("distance");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("key");
    QTest::newRow("example") << "1998/03/02"
                             << "3.1 Miles"
                             << "00:25:00"
                             << "06636\t0\t1998/03/02\t3.1 Miles\t00:25:00";
    QTest::newRow("texts cut") << "2079/12/31"
                               << "12345678901234567890 Miles"
                               << "01:02:03.45"
                               << "36525\t6\t2079/12/31\t1234567890123456789\t01:02:03.";
    QTest::newRow("short groups") << "1998/3/2"
                                  << "2 Miles"
                                  << "x"
                                  << "06636\t0\t1998/3/2\t2 Miles\tx";
    QTest::newRow("day 0") << "1980/01/00"
                           << "2 Miles"
                           << ""
                           << "00000\t0\t1980/01/00\t2 Miles\t";
    QTest::newRow("before 1980") << "1975/03/02"
                                 << "2 Miles"
                                 << ""
                                 << "00062\t6\t1975/03/02\t2 Miles\t";
    QTest::newRow("last five-digit year") << "2253/01/01"
                                          << "2 Miles"
                                          << ""
                                          << "99715\t0\t2253/01/01\t2 Miles\t";
    // Rows left out: no date, and dates whose day number is undefined or does not fit five digits.
    const char *leftOut[] = {"No Date",
                             "",
                             " 1998/03/02",
                             "19980302",
                             "1998/03",
                             "2254/01/01",
                             "99999999999999999999/01/01",
                             "1998/01/99999999999",
                             "1980/01/-5",
                             "1998/13/01",
                             "1998/00/01"};
    for (const char *date : leftOut) {
        QTest::newRow(date) << QString::fromLatin1(date) << "2 Miles"
                            << ""
                            << "";
    }
}

void TestPeriodTotals::rowKey() {
    QFETCH(QString, date);
    QFETCH(QString, distance);
    QFETCH(QString, time);
    QFETCH(QString, key);
    QCOMPARE(QString::fromStdString(RowKey(date.toStdString(), distance.toStdString(), time.toStdString())), key);
}

void TestPeriodTotals::snapshotIsInDateOrder() {
    const TPacequillSSArray snapshot = Snapshot(MarchRows);
    QCOMPARE(snapshot.Size(), std::size_t(3));
    QCOMPARE(snapshot[0], std::string_view("06636\t0\t1998/03/02\t3.1 Miles\t00:25:00"));
    QCOMPARE(snapshot[1], std::string_view("06642\t6\t1998/03/08\t5 Kilometers\t00:25:00"));
    QCOMPARE(snapshot[2], std::string_view("06643\t0\t1998/03/09\t1 Marathons\t00:25:00"));
}

void TestPeriodTotals::weekly_data() {
    QTest::addColumn<int>("rowsIndex");
    QTest::addColumn<int>("weekStart");
    QTest::addColumn<QString>("weeks");
    QTest::newRow("march, Monday") << 0 << 0 << "March 2, 1998 | 6.21 9.99 0.24\nMarch 9, 1998 | 26.22 42.19 1.00";
    QTest::newRow("march, Sunday") << 0 << 6 << "March 1, 1998 | 3.10 4.99 0.12\nMarch 8, 1998 | 29.33 47.19 1.12";
    QTest::newRow("march, Tuesday") << 0 << 1 << "February 24, 1998 | 3.10 4.99 0.12\nMarch 3, 1998 | 29.33 47.19 1.12";
    QTest::newRow("new year, Monday") << 1 << 0
                                      << "December 31, 1979 | 2.00 3.22 0.08\nJanuary 7, 1980 | 2.00 3.22 0.08";
    QTest::newRow("new year, Tuesday") << 1 << 1 << "January 1, 1980 | 4.00 6.44 0.15";
    QTest::newRow("new year, Sunday") << 1 << 6
                                      << "December 30, 1979 | 1.00 1.61 0.04\nJanuary 6, 1980 | 3.00 4.83 0.11";
    QTest::newRow("new year, Wednesday") << 1 << 2
                                         << "December 26, 1979 | 1.00 1.61 0.04\nJanuary 2, 1980 | 3.00 4.83 0.11";
}

void TestPeriodTotals::weekly() {
    QFETCH(int, rowsIndex);
    QFETCH(int, weekStart);
    QFETCH(QString, weeks);
    const TPacequillSSArray snapshot = Snapshot(rowsIndex == 0 ? MarchRows : NewYearRows);
    QCOMPARE(Flatten(WeeklyTotals(snapshot, weekStart)), weeks);
}

void TestPeriodTotals::monthlyAndYearly() {
    const TPacequillSSArray snapshot = Snapshot(MarchRows);
    QCOMPARE(Flatten(MonthlyTotals(snapshot)), QStringLiteral("1998 - March | 32.43 52.18 1.24"));
    QCOMPARE(Flatten(YearlyTotals(snapshot)), QStringLiteral("1998 | 32.43 52.18 1.24"));
}

void TestPeriodTotals::monthlyAndYearlyAcrossYears() {
    const TPacequillSSArray snapshot = Snapshot(TurnOfYearRows);
    QCOMPARE(Flatten(MonthlyTotals(snapshot)), QStringLiteral("1998 - February | 2.00 3.22 0.08\n"
                                                              "1998 - December | 1.00 1.61 0.04\n"
                                                              "1999 - January | 1.00 1.61 0.04"));
    QCOMPARE(Flatten(YearlyTotals(snapshot)), QStringLiteral("1998 | 3.00 4.83 0.11\n1999 | 1.00 1.61 0.04"));
}

void TestPeriodTotals::unitConversions_data() {
    QTest::addColumn<QString>("distance");
    QTest::addColumn<QString>("totals");
    QTest::newRow("10 Miles") << "10 Miles"
                              << "10.00 16.09 0.38";
    QTest::newRow("10 Kilometers") << "10 Kilometers"
                                   << "6.21 10.00 0.24";
    QTest::newRow("1 Marathons") << "1 Marathons"
                                 << "26.22 42.19 1.00";
    QTest::newRow("100 Marathons") << "100 Marathons"
                                   << "2621.87 4219.50 100.00";
    QTest::newRow("Mile(s)") << "1 Mile(s)"
                             << "1.00 1.61 0.04";
    QTest::newRow("leading blanks") << "   1 Miles"
                                    << "1.00 1.61 0.04";
    QTest::newRow("not a number counts 0") << "abc Miles"
                                           << "0.00 0.00 0.00";
    QTest::newRow("overflowing number counts 0") << "1e999 Miles"
                                                 << "0.00 0.00 0.00";
}

void TestPeriodTotals::unitConversions() {
    QFETCH(QString, distance);
    QFETCH(QString, totals);
    const TPacequillSSArray snapshot = Snapshot({{"1998/03/02", qPrintable(distance)}});
    QCOMPARE(Flatten(RangeTotals(snapshot, {1980, 1, 1}, {2079, 12, 31})), totals);
}

void TestPeriodTotals::range() {
    const TPacequillSSArray snapshot = Snapshot(MarchRows);
    QCOMPARE(Flatten(RangeTotals(snapshot, {1998, 3, 2}, {1998, 3, 2})), QStringLiteral("3.10 4.99 0.12"));
    QCOMPARE(Flatten(RangeTotals(snapshot, {1998, 3, 9}, {1998, 3, 2})), QStringLiteral("0.00 0.00 0.00"));
    QCOMPARE(Flatten(RangeTotals(snapshot, {1980, 1, 1}, {2079, 12, 31})), QStringLiteral("32.43 52.18 1.24"));
    QCOMPARE(Flatten(RangeTotals(snapshot, {1998, 3, 8}, {1998, 3, 9})), QStringLiteral("29.33 47.19 1.12"));
}

void TestPeriodTotals::zeroPeriodsAreNotListed() {
    const TPacequillSSArray snapshot = Snapshot({{"1998/03/02", "0 Miles"}, {"1998/05/02", "1 Miles"}});
    QCOMPARE(Flatten(WeeklyTotals(snapshot, 0)), QStringLiteral("April 27, 1998 | 1.00 1.61 0.04"));
    QCOMPARE(Flatten(MonthlyTotals(snapshot)), QStringLiteral("1998 - May | 1.00 1.61 0.04"));
    const TPacequillSSArray zeros = Snapshot({{"1998/03/02", "0 Miles"}, {"1999/03/02", "0 Kilometers"}});
    QVERIFY(WeeklyTotals(zeros, 3).empty());
    QVERIFY(MonthlyTotals(zeros).empty());
    QVERIFY(YearlyTotals(zeros).empty());
    QCOMPARE(Flatten(RangeTotals(zeros, {1980, 1, 1}, {2079, 12, 31})), QStringLiteral("0.00 0.00 0.00"));
}

void TestPeriodTotals::emptyLog() {
    for (const std::vector<Row> &rows : {std::vector<Row>{}, std::vector<Row>{{"No Date", "2 Miles"}}}) {
        const TPacequillSSArray snapshot = Snapshot(rows);
        QVERIFY(snapshot.Empty());
        QVERIFY(WeeklyTotals(snapshot, 0).empty());
        QVERIFY(MonthlyTotals(snapshot).empty());
        QVERIFY(YearlyTotals(snapshot).empty());
        QCOMPARE(Flatten(RangeTotals(snapshot, {1980, 1, 1}, {2079, 12, 31})), QStringLiteral("0.00 0.00 0.00"));
    }
}

void TestPeriodTotals::unrecognizedUnitsAreReported() {
    const TPacequillSSArray snapshot =
        Snapshot({{"1998/03/02", "5 miles"}, {"1998/03/03", "1 Miles"}, {"1998/03/04", "7"}, {"1998/03/05", "2 km"}});
    Reports reports;
    QCOMPARE(Flatten(WeeklyTotals(snapshot, 0, reports.Reporter())), QStringLiteral("March 2, 1998 | 1.00 1.61 0.04"));
    QCOMPARE(reports.Seen, QStringList({"1998/03/02 5 miles", "1998/03/04 7", "1998/03/05 2 km"}));
    reports.Seen.clear();
    MonthlyTotals(snapshot, reports.Reporter());
    YearlyTotals(snapshot, reports.Reporter());
    QCOMPARE(reports.Seen.size(), 6);
}

void TestPeriodTotals::rangeReportsOnlyInsideIt() {
    const TPacequillSSArray snapshot = Snapshot({{"1998/03/02", "5 miles"}, {"1998/03/09", "5 miles"}});
    Reports reports;
    const RangeResult result = RangeTotals(snapshot, {1998, 3, 9}, {1998, 3, 9}, reports.Reporter());
    QCOMPARE(Flatten(result), QStringLiteral("0.00 0.00 0.00"));
    QCOMPARE(reports.Seen, QStringList({"1998/03/09 5 miles"}));
}

void TestPeriodTotals::distanceCutBeforeReading() {
    const TPacequillSSArray snapshot =
        Snapshot({{"1998/03/02", "0.0000000000001 Miles"}, {"1998/03/03", "0.000000000001 Miles"}});
    Reports reports;
    RangeTotals(snapshot, {1998, 3, 2}, {1998, 3, 3}, reports.Reporter());
    QCOMPARE(reports.Seen, QStringList({"1998/03/02 0.0000000000001 Mil"}));
}

void TestPeriodTotals::negativeDistance() {
    const TPacequillSSArray snapshot = Snapshot({{"1998/03/02", "-3 Miles"}});
    QCOMPARE(Flatten(YearlyTotals(snapshot)), QStringLiteral("1998 | -3.00 -4.83 -0.11"));
}

void TestPeriodTotals::yearBefore1980CountsAs1980() {
    const TPacequillSSArray snapshot = Snapshot({{"1975/01/05", "1 Miles"}, {"1980/01/01", "1 Miles"}});
    QCOMPARE(Flatten(WeeklyTotals(snapshot, 0)), QStringLiteral("December 31, 1979 | 2.00 3.22 0.08"));
    QCOMPARE(Flatten(RangeTotals(snapshot, {1980, 1, 5}, {1980, 1, 5})), QStringLiteral("1.00 1.61 0.04"));
    QCOMPARE(Flatten(YearlyTotals(snapshot)), QStringLiteral("1980 | 2.00 3.22 0.08"));
}

QTEST_APPLESS_MAIN(TestPeriodTotals)
#include "tst_PeriodTotals.moc"
