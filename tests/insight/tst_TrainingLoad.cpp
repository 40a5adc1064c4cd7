#include <QTest>

#include "insight/LoadCounter.h"
#include "insight/ReportFormats.h"
#include "insight/TrainingLoad.h"
#include "log/LogList.h"
#include "support/RunLogs.h"

using namespace pq;

namespace {

// A day of the series as "date load fitness fatigue form ratio zone", the way pquil prints it.
QString DayLine(const LoadDay &day) {
    const std::string zone = day.Ratio ? std::string(ZoneName(ZoneOf(*day.Ratio))) : std::string();
    return QString::fromStdString(DayText(day.DayNumber) + ' ' + LoadText(day.Load) + ' ' + LoadText(day.Fitness) +
                                  ' ' + LoadText(day.Fatigue) + ' ' + LoadText(day.Form) + ' ' + RatioText(day.Ratio) +
                                  ' ' + zone);
}

QList<double> Repeated(double load, int days) {
    return QList<double>(days, load);
}

} // namespace

class tst_TrainingLoad : public QObject {
    Q_OBJECT

private slots:
    // Daily loads from 2024/03/01 through the last date, and the lines of some days, worked out by hand.
    void series_data() {
        QTest::addColumn<QList<double>>("loads");
        QTest::addColumn<QString>("lastDate");
        QTest::addColumn<QStringList>("lines");

        QTest::newRow("one run") << QList<double>{150} << "2024/03/03"
                                 << QStringList{"2024/03/01 150.0 3.6 21.4 0.0  ", "2024/03/02 0.0 3.5 18.4 -17.9  ",
                                                "2024/03/03 0.0 3.4 15.7 -14.9  "};
        QTest::newRow("constant load: ratio from the 28th day, fitness reaches the load")
            << Repeated(100, 400) << "2025/04/04"
            << QStringList{"2024/03/27 100.0 47.8 98.4 -51.6  ", "2024/03/28 100.0 49.1 98.7 -50.6 1.00 steady",
                           "2025/04/04 100.0 100.0 100.0 0.0 1.00 steady"};
        QTest::newRow("four-week break") << Repeated(300, 28) + Repeated(0, 28) + QList<double>{300} << "2024/04/26"
                                         << QStringList{"2024/03/28 300.0 147.2 296.0 -151.8 1.00 steady",
                                                        "2024/04/04 0.0 124.4 100.6 10.0 0.00 low",
                                                        "2024/04/25 0.0 75.0 4.0 72.2  ",
                                                        "2024/04/26 300.0 80.3 46.2 71.0 4.00 high"};
        QTest::newRow("spike week") << Repeated(300, 28) + Repeated(600, 7) << "2024/04/04"
                                    << QStringList{"2024/03/29 600.0 158.0 339.4 -148.8 1.10 steady",
                                                   "2024/04/01 600.0 188.8 435.9 -229.8 1.38 caution",
                                                   "2024/04/04 600.0 217.5 496.7 -271.3 1.60 high"};
        QTest::newRow("last day before the first run") << QList<double>{150} << "2024/02/29" << QStringList{};
    }
    void series() {
        QFETCH(QList<double>, loads);
        QFETCH(QString, lastDate);
        QFETCH(QStringList, lines);
        const DailyLoads daily{Day("2024/03/01"), {loads.begin(), loads.end()}};
        const int lastDay = Day(lastDate.toLatin1().constData());
        const std::vector<LoadDay> days = TrainingLoadSeries(daily, lastDay);
        QCOMPARE(days.size(), std::size_t(std::max(0, lastDay - daily.FirstDay + 1)));
        for (const QString &line : lines) {
            const LoadDay *day = LoadOn(days, Day(line.left(10).toLatin1().constData()));
            QVERIFY(day != nullptr);
            QCOMPARE(DayLine(*day), line);
        }
        QCOMPARE(LoadOn(days, daily.FirstDay - 1), nullptr);
        QCOMPARE(LoadOn(days, lastDay + 1), nullptr);
    }

    // Rows as "date|time|notes": which count, and the daily loads from the first counted day.
    void counter_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("firstDate");
        QTest::addColumn<QList<double>>("loads");

        QTest::newRow("effort from the notes, 5 without")
            << QStringList{"2024/03/01|0:30:00|rpe:8 tempo", "2024/03/02|0:30:00|easy"} << "2024/03/01"
            << QList<double>{240, 150};
        QTest::newRow("two runs on one day add up")
            << QStringList{"2024/03/01|0:30:00|RPE:8", "2024/03/01|0:20:00|"} << "2024/03/01" << QList<double>{340};
        QTest::newRow("markers out of range are passed over")
            << QStringList{"2024/03/01|1:00:00|rpe:11 then rpe:2", "2024/03/02|1:00:00|rpe:0"} << "2024/03/01"
            << QList<double>{120, 300};
        QTest::newRow("leap day between two runs")
            << QStringList{"2024/03/01|0:10:00|", "2024/02/28|0:10:30|"} << "2024/02/28" << QList<double>{52.5, 0, 50};
        QTest::newRow("no date, no time and no real date count nothing; distance does not matter")
            << QStringList{"No Date|1:00:00|", "2024/03/05|0:00:00|", "2023/02/29|1:00:00|", "2024/03/04|0:01|"}
            << "2024/03/04" << QList<double>{5};
        QTest::newRow("nothing counted") << QStringList{"No Date|1:00:00|"} << "" << QList<double>{};
    }
    void counter() {
        QFETCH(QStringList, rows);
        QFETCH(QString, firstDate);
        QFETCH(QList<double>, loads);
        LogList list;
        for (const QString &row : rows) {
            const QStringList texts = row.split('|');
            list.AppendRow((texts[0] + "\t9 Furlongs\t" + texts[1] + '\t' + texts[2]).toStdString());
        }
        LoadCounter counter;
        counter.AddRows(list, {});
        const DailyLoads daily = counter.Finish();
        QCOMPARE(QList<double>(daily.Loads.begin(), daily.Loads.end()), loads);
        if (!loads.isEmpty())
            QCOMPARE(daily.FirstDay, Day(firstDate.toLatin1().constData()));
    }

    void partsAppendInFileOrder() {
        LoadCounter first;
        LoadCounter second;
        first.TakeRow("2024/03/02\t1 Miles\t0:10:00\t");
        second.TakeRow("2024/03/01\t1 Miles\t0:10:00\trpe:1");
        first.Append(second);
        const DailyLoads daily = first.Finish();
        QCOMPARE(daily.FirstDay, Day("2024/03/01"));
        QCOMPARE(QList<double>(daily.Loads.begin(), daily.Loads.end()), (QList<double>{10, 50}));
    }

    void zones_data() {
        QTest::addColumn<double>("ratio");
        QTest::addColumn<QString>("zone");
        QTest::newRow("below 0.8") << 0.79 << "low";
        QTest::newRow("0.8") << 0.8 << "steady";
        QTest::newRow("1.3") << 1.3 << "steady";
        QTest::newRow("above 1.3") << 1.3000001 << "caution";
        QTest::newRow("1.5") << 1.5 << "caution";
        QTest::newRow("above 1.5") << 1.5000001 << "high";
    }
    void zones() {
        QFETCH(double, ratio);
        QFETCH(QString, zone);
        QCOMPARE(QString::fromStdString(std::string(ZoneName(ZoneOf(ratio)))), zone);
        QCOMPARE(IsLoadWarning(ratio), ratio > SteadyRatio);
    }

    void texts() {
        QCOMPARE(LoadText(41.25), "41.3");
        QCOMPARE(LoadText(-41.25), "-41.3");
        QCOMPARE(LoadText(-0.04), "0.0");
        QCOMPARE(RatioText(1.125), "1.13");
        QCOMPARE(RatioText(std::nullopt), "");
        QCOMPARE(LoadSummaryText({0, 0, 41.3, 55, -9.4, 1.42}),
                 "Fitness 41.3, fatigue 55.0, form -9.4; ACWR 1.42 (caution)");
        QCOMPARE(LoadSummaryText({0, 0, 41.3, 55, -9.4, std::nullopt}), "Fitness 41.3, fatigue 55.0, form -9.4");
    }
};

QTEST_APPLESS_MAIN(tst_TrainingLoad)
#include "tst_TrainingLoad.moc"
