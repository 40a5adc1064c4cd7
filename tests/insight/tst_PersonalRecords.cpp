#include <QTest>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "insight/MarkTotals.h"
#include "insight/PersonalRecords.h"
#include "insight/ReportFormats.h"
#include "log/NoteMarks.h"
#include "support/RunLogs.h"

using namespace pq;

Q_DECLARE_METATYPE(RunRow)

namespace {

constexpr int Monday = 0;

// Label, date of the record's row and its row index, as one text per record.
QStringList Describe(const PersonalRecords &records) {
    QStringList lines;
    for (const RunRecord &record : records.Best)
        lines << QStringLiteral("%1 %2 row %3")
                     .arg(QString::fromUtf8(record.Label.data(), qsizetype(record.Label.size())))
                     .arg(QString::fromStdString(DayText(record.Run.DayNumber)))
                     .arg(record.Run.Row);
    return lines;
}

PersonalRecords Records(const LogList &list, const char *today = "2024/12/31") {
    return ComputeRecords(CountRuns(list), Day(today), Monday, MarkFilter(list, TagSign, std::string(RaceTag)));
}

// Each prediction as "label time base".
QStringList DescribePredictions(const PersonalRecords &records) {
    QStringList lines;
    for (const Prediction &prediction : records.Predictions)
        lines << QStringLiteral("%1 %2 %3")
                     .arg(QString::fromUtf8(prediction.Label.data(), qsizetype(prediction.Label.size())),
                          QString::fromStdString(ClockText(prediction.Seconds)),
                          QString::fromStdString(BaseText(prediction.Base)));
    return lines;
}

// Every figure of the records, to the last bit.
std::string DescribeAll(const PersonalRecords &records) {
    std::string text;
    char line[200];
    const auto run = [&](std::string_view label, const CountedRun &each) {
        std::snprintf(line, sizeof line, "%.*s row %d day %d %a %a %a\n", int(label.size()), label.data(), each.Row,
                      each.DayNumber, each.Miles, each.Kilometers, each.Seconds);
        text += line;
    };
    for (const std::vector<RunRecord> *list : {&records.Best, &records.PredictionBases}) {
        for (const RunRecord &record : *list)
            run(record.Label, record.Run);
        text += "--\n";
    }
    if (records.Longest)
        run(records.Longest->Label, records.Longest->Run);
    for (const std::optional<PeriodRecord> *period :
         {&records.BiggestWeek, &records.BiggestMonth, &records.BiggestYear}) {
        if (*period) {
            const RunTotals &totals = (*period)->Totals;
            std::snprintf(line, sizeof line, "period %d-%d runs %d %a %a %a %a %a %a\n", (*period)->FirstDay,
                          (*period)->LastDay, totals.Runs, totals.Miles, totals.Kilometers, totals.Seconds,
                          totals.PacedMiles, totals.PacedKilometers, totals.PacedSeconds);
            text += line;
        }
    }
    for (const Prediction &prediction : records.Predictions) {
        run(prediction.Base.Label, prediction.Base.Run);
        std::snprintf(line, sizeof line, "predicted %.*s %a\n", int(prediction.Label.size()), prediction.Label.data(),
                      prediction.Seconds);
        text += line;
    }
    return text;
}

// Runs at and near the standard distances over two years, some tagged as races, a few without a time or with
// a distance below zero.
LogList RacingLog(unsigned seed, int rows) {
    static const char *const Distances[] = {"1 Miles",    "1.6 Kilometers",  "3.1 Miles",  "5 Kilometers",
                                            "6.2 Miles",  "10 Kilometers",   "13.1 Miles", "21.1 Kilometers",
                                            "26.2 Miles", "42.2 Kilometers", "20 Miles",   "-3 Miles"};
    std::mt19937 random(seed);
    const auto pick = [&random](int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); };
    LogList list;
    char date[40];
    char time[40];
    for (int i = 0; i < rows; ++i) {
        std::snprintf(date, sizeof date, "%04d/%02d/%02d", 2023 + pick(2), 1 + pick(12), 1 + pick(28));
        std::snprintf(time, sizeof time, "%02d:%02d:%02d", pick(4), pick(60), pick(3) == 0 ? 0 : pick(60));
        list.AppendEntry({date, Distances[pick(int(std::size(Distances)))], pick(10) == 0 ? "" : time,
                          pick(4) == 0 ? "#race" : "easy"});
    }
    return list;
}

} // namespace

class tst_PersonalRecords : public QObject {
    Q_OBJECT

private slots:
    void bestTimes_data();
    void bestTimes();
    void candidateTolerance_data();
    void candidateTolerance();
    void longestRunAndBiggestPeriods();
    void biggestWeekAcrossTheYear();
    void predictions_data();
    void predictions();
    void emptyLog();
    void addedRunsUpdateTheRecords_data();
    void addedRunsUpdateTheRecords();
};

void tst_PersonalRecords::bestTimes_data() {
    QTest::addColumn<QList<RunRow>>("rows");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("a mile and a 5K on the same day")
        << QList<RunRow>{{"2024/05/04", "1 Miles", "00:06:30"}, {"2024/05/04", "5 Kilometers", "00:21:00"}}
        << QStringList{"1 Mile 2024/05/04 row 0", "5K 2024/05/04 row 1"};
    QTest::newRow("the smaller time wins")
        << QList<RunRow>{{"2024/05/04", "10 Kilometers", "00:45:00"}, {"2024/06/01", "10 Kilometers", "00:44:59"}}
        << QStringList{"10K 2024/06/01 row 1"};
    QTest::newRow("equal times: the earlier date")
        << QList<RunRow>{{"2024/06/01", "5 Kilometers", "00:20:00"}, {"2024/05/04", "5 Kilometers", "00:20:00"}}
        << QStringList{"5K 2024/05/04 row 1"};
    QTest::newRow("equal times and dates: the earlier row")
        << QList<RunRow>{{"2024/05/04", "5.01 Kilometers", "00:20:00"}, {"2024/05/04", "5 Kilometers", "00:20:00"}}
        << QStringList{"5K 2024/05/04 row 0"};
    QTest::newRow("a zero time is no record")
        << QList<RunRow>{{"2024/05/04", "5 Kilometers", "00:00:00"}, {"2024/05/05", "5 Kilometers", "00:25:00"}}
        << QStringList{"5K 2024/05/05 row 1"};
    QTest::newRow("a distance without a time has no record")
        << QList<RunRow>{{"2024/05/04", "5 Kilometers", ""}} << QStringList{};
    QTest::newRow("marathons and miles") << QList<RunRow>{{"2024/04/21", "1 Marathons", "03:30:00"},
                                                          {"2024/09/29", "13.1 Miles", "01:40:00"},
                                                          {"2024/10/12", "26.2 Miles", "03:29:59"}}
                                         << QStringList{"Half Marathon 2024/09/29 row 1", "Marathon 2024/10/12 row 2"};
    QTest::newRow("a short run never counts, a long one does")
        << QList<RunRow>{{"2024/05/04", "4.94 Kilometers", "00:19:00"},
                         {"2024/05/05", "5.10 Kilometers", "00:19:30"},
                         {"2024/05/06", "5 Kilometers", "00:20:00"}}
        << QStringList{"5K 2024/05/05 row 1"};
    QTest::newRow("rows that do not count") << QList<RunRow>{{"No Date", "5 Kilometers", "00:15:00"},
                                                             {"2024/05/04", "5 kilometers", "00:15:00"},
                                                             {"2024/05/05", "5 Kilometers", "00:22:00"}}
                                            << QStringList{"5K 2024/05/05 row 2"};
}

void tst_PersonalRecords::bestTimes() {
    QFETCH(QList<RunRow>, rows);
    QFETCH(QStringList, expected);
    LogList list;
    for (const RunRow &row : rows)
        list.AppendRow(std::string(row.Date) + '\t' + row.Distance + '\t' + row.Time + '\t');
    QCOMPARE(Describe(Records(list)), expected);
}

void tst_PersonalRecords::candidateTolerance_data() {
    QTest::addColumn<double>("kilometers");
    QTest::addColumn<double>("standard");
    QTest::addColumn<bool>("candidate");
    QTest::newRow("5K exact") << 5.0 << 5.0 << true;
    QTest::newRow("5K 0.4% short") << 4.98 << 5.0 << true;
    QTest::newRow("5K 0.6% short") << 4.97 << 5.0 << false;
    QTest::newRow("a 4.94 km treadmill run") << 4.94 << 5.0 << false;
    QTest::newRow("5K 2% long") << 5.10 << 5.0 << true;
    QTest::newRow("5K 2.9% long") << 5.145 << 5.0 << true;
    QTest::newRow("5K 3.1% long") << 5.155 << 5.0 << false;
    QTest::newRow("3.1 miles for a 5K") << 3.1 * 1.609344 << 5.0 << true;
    QTest::newRow("a mile") << 1.609344 << 1.609344 << true;
    QTest::newRow("1.6 km for a mile") << 1.6 << 1.609344 << false;
    QTest::newRow("13.1 miles for a half") << 13.1 * 1.609344 << 21.0975 << true;
    QTest::newRow("one marathon") << 42.194988 << 42.195 << true;
}

void tst_PersonalRecords::candidateTolerance() {
    QFETCH(double, kilometers);
    QFETCH(double, standard);
    QFETCH(bool, candidate);
    QCOMPARE(IsCandidate(kilometers, standard), candidate);
}

void tst_PersonalRecords::longestRunAndBiggestPeriods() {
    const LogList list = RunLog({{"2024/03/04", "10 Miles", "01:20:00"},
                                 {"2024/03/05", "5 Miles"},
                                 {"2024/03/11", "12 Miles", "01:40:00"},
                                 {"2024/04/01", "18 Kilometers"},
                                 {"2024/04/02", "12 Miles"},
                                 {"2023/07/01", "6 Miles"}});
    const PersonalRecords records = Records(list);
    QVERIFY(records.Longest);
    QCOMPARE(records.Longest->Label, LongestRunLabel);
    QCOMPARE(records.Longest->Run.Row, 2); // 12 miles twice: the earlier one
    QVERIFY(records.BiggestWeek && records.BiggestMonth && records.BiggestYear);
    // The week of April 1 has 11.18 + 12 miles, March 4's 15; March has 27 miles, April 23.18.
    QCOMPARE(DayText(records.BiggestWeek->FirstDay), std::string("2024/04/01"));
    QCOMPARE(DayText(records.BiggestWeek->LastDay), std::string("2024/04/07"));
    QCOMPARE(records.BiggestWeek->Totals.Runs, 2);
    QCOMPARE(DayText(records.BiggestMonth->FirstDay), std::string("2024/03/01"));
    QCOMPARE(DayText(records.BiggestMonth->LastDay), std::string("2024/03/31"));
    QCOMPARE(records.BiggestMonth->Totals.Miles, 27.0);
    QCOMPARE(DayText(records.BiggestYear->FirstDay), std::string("2024/01/01"));
    QCOMPARE(DayText(records.BiggestYear->LastDay), std::string("2024/12/31"));
    QCOMPARE(records.BiggestYear->Totals.Runs, 5);
}

// A week that starts in December and ends in January is one week.
void tst_PersonalRecords::biggestWeekAcrossTheYear() {
    const LogList list = RunLog(
        {{"2024/12/30", "8 Miles"}, {"2025/01/02", "8 Miles"}, {"2024/12/20", "15 Miles"}, {"2025/02/01", "1 Miles"}});
    const PersonalRecords records = Records(list, "2025/02/01");
    QCOMPARE(DayText(records.BiggestWeek->FirstDay), std::string("2024/12/30"));
    QCOMPARE(records.BiggestWeek->Totals.Miles, 16.0);
    QCOMPARE(DayText(records.BiggestYear->FirstDay), std::string("2024/01/01"));
    QCOMPARE(records.BiggestYear->Totals.Miles, 23.0);
    QCOMPARE(DayText(records.BiggestMonth->FirstDay), std::string("2024/12/01"));
}

void tst_PersonalRecords::predictions_data() {
    QTest::addColumn<QStringList>("rows"); // row texts: date, distance, time, notes
    QTest::addColumn<QString>("today");
    QTest::addColumn<QStringList>("expected");

    // A base counts at its standard distance: the 5.10 km run predicts as a 5K.
    QTest::newRow("each distance from the nearest base")
        << QStringList{"2022/06/01\t5 Kilometers\t00:17:00\told, not a base", "2024/02/01\t5.10 Kilometers\t00:21:00\t",
                       "2024/05/01\t10 Kilometers\t00:42:00\t",
                       "2024/06/01\t30 Kilometers\t02:00:00\tno standard distance"}
        << "2024/12/31"
        << QStringList{"1 Mile 0:06:19 from the 5K of 2024/02/01", "5K 0:21:00 from the 5K of 2024/02/01",
                       "10K 0:42:00 from the 10K of 2024/05/01", "Half Marathon 1:32:40 from the 10K of 2024/05/01",
                       "Marathon 3:13:13 from the 10K of 2024/05/01"};
    QTest::newRow("a fast mile does not predict the marathon")
        << QStringList{"2024/03/01\t1 Miles\t00:05:10\t", "2024/04/01\t13.1 Miles\t01:35:00\t"} << "2024/12/31"
        << QStringList{"1 Mile 0:05:10 from the 1 Mile of 2024/03/01", "5K 0:17:11 from the 1 Mile of 2024/03/01",
                       "10K 0:43:03 from the Half Marathon of 2024/04/01",
                       "Half Marathon 1:35:00 from the Half Marathon of 2024/04/01",
                       "Marathon 3:18:04 from the Half Marathon of 2024/04/01"};
    QTest::newRow("13.1 miles predicts its own half")
        << QStringList{"2023/04/23\t13.1 Miles\t01:43:29\t"} << "2023/12/31"
        << QStringList{"1 Mile 0:06:46 from the Half Marathon of 2023/04/23",
                       "5K 0:22:30 from the Half Marathon of 2023/04/23",
                       "10K 0:46:54 from the Half Marathon of 2023/04/23",
                       "Half Marathon 1:43:29 from the Half Marathon of 2023/04/23",
                       "Marathon 3:35:45 from the Half Marathon of 2023/04/23"};
    QTest::newRow("a race is the base over a faster training run")
        << QStringList{"2024/03/01\t5 Kilometers\t00:19:00\ttime trial", "2024/06/01\t5 Kilometers\t00:20:00\t#race",
                       "2024/07/01\t5 Kilometers\t00:21:00\t#Race in the heat"}
        << "2024/12/31"
        << QStringList{"1 Mile 0:06:01 from the 5K of 2024/06/01", "5K 0:20:00 from the 5K of 2024/06/01",
                       "10K 0:41:42 from the 5K of 2024/06/01", "Half Marathon 1:32:00 from the 5K of 2024/06/01",
                       "Marathon 3:11:49 from the 5K of 2024/06/01"};
    QTest::newRow("a race out of the last year does not count")
        << QStringList{"2023/06/01\t5 Kilometers\t00:18:00\t#race", "2024/03/01\t5 Kilometers\t00:19:00\t"}
        << "2024/12/31"
        << QStringList{"1 Mile 0:05:43 from the 5K of 2024/03/01", "5K 0:19:00 from the 5K of 2024/03/01",
                       "10K 0:39:37 from the 5K of 2024/03/01", "Half Marathon 1:27:24 from the 5K of 2024/03/01",
                       "Marathon 3:02:14 from the 5K of 2024/03/01"};
    QTest::newRow("a year later nothing is recent enough")
        << QStringList{"2024/03/01\t5 Kilometers\t00:19:00\t"} << "2025/03/01" << QStringList{};
    QTest::newRow("the last of the 365 days")
        << QStringList{"2024/03/01\t5 Kilometers\t00:19:00\t"} << "2025/02/28"
        << QStringList{"1 Mile 0:05:43 from the 5K of 2024/03/01", "5K 0:19:00 from the 5K of 2024/03/01",
                       "10K 0:39:37 from the 5K of 2024/03/01", "Half Marathon 1:27:24 from the 5K of 2024/03/01",
                       "Marathon 3:02:14 from the 5K of 2024/03/01"};
}

void tst_PersonalRecords::predictions() {
    QFETCH(QStringList, rows);
    QFETCH(QString, today);
    QFETCH(QStringList, expected);
    LogList list;
    for (const QString &row : rows)
        list.AppendRow(row.toStdString());
    QCOMPARE(DescribePredictions(Records(list, today.toLatin1().constData())), expected);
}

void tst_PersonalRecords::emptyLog() {
    const PersonalRecords records = Records(RunLog({{"No Date", "3 Miles"}}));
    QVERIFY(records.Best.empty());
    QVERIFY(!records.Longest);
    QVERIFY(!records.BiggestWeek);
    QVERIFY(records.PredictionBases.empty());
    QVERIFY(records.Predictions.empty());
}

void tst_PersonalRecords::addedRunsUpdateTheRecords_data() {
    QTest::addColumn<unsigned>("seed");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("added");
    QTest::addColumn<int>("weekStart");
    for (unsigned seed = 1; seed <= 12; ++seed)
        QTest::addRow("seed %u", seed) << seed << int(seed * 7) << int(seed % 3) + 1 << int(seed % 7);
    QTest::addRow("first runs") << 13U << 3 << 3 << Monday;
}

// The records of a log with rows added at its end, from the records before them, equal those counted afresh.
void tst_PersonalRecords::addedRunsUpdateTheRecords() {
    QFETCH(unsigned, seed);
    QFETCH(int, rows);
    QFETCH(int, added);
    QFETCH(int, weekStart);
    const LogList list = RacingLog(seed, rows);
    const LogList before = RacingLog(seed, rows - added);
    const RowFilter isRace = MarkFilter(list, TagSign, std::string(RaceTag));
    const int today = Day("2024/10/15");
    const RunList runs = CountRuns(list);
    std::vector<CountedRun> addedRuns;
    std::copy_if(runs.begin(), runs.end(), std::back_inserter(addedRuns),
                 [&](const CountedRun &run) { return run.Row >= rows - added; });
    const PersonalRecords expected = ComputeRecords(runs, today, weekStart, isRace);
    QCOMPARE(DescribeAll(RecordsWithAddedRuns(ComputeRecords(CountRuns(before), today, weekStart, isRace), runs,
                                              addedRuns, today, weekStart, isRace)),
             DescribeAll(expected));
}

QTEST_APPLESS_MAIN(tst_PersonalRecords)
#include "tst_PersonalRecords.moc"
