#include <QTest>

#include <string>

#include "insight/GoalProgress.h"
#include "insight/LogProfile.h"
#include "log/LogList.h"
#include "support/RunLogs.h"

using namespace pq;

namespace {

constexpr int Monday = 0;

// A year through a leap day, with a run on the first and the last day of 2024 and on either side of it.
LogList GoalLog() {
    LogList list;
    for (const char *row : {"2023/12/31\t10 Miles\t01:20:00\t#tempo", "2024/01/01\t5 Miles\t00:40:00\tNew year",
                            "2024/02/29\t6.2 Miles\t00:50:00\t#Tempo", "2024/03/01\t10 Kilometers\t00:50:00\tNone",
                            "2024/12/31\t4 Miles\t00:32:00\tLast", "2025/01/01\t3 Miles\t00:24:00\tNone"}) {
        list.AppendRow(row);
    }
    return list;
}

std::string Optional(const std::optional<double> &value) {
    return value ? FormatHundredths(*value) : std::string("-");
}

} // namespace

class TestGoalProgress : public QObject {
    Q_OBJECT

private slots:
    void progress_data() {
        QTest::addColumn<QByteArray>("profile");
        QTest::addColumn<QByteArray>("today");
        // label | target | done | percent | projected | needed per week ("-" for none)
        QTest::addColumn<QByteArray>("progress");

        QTest::newRow("year, on its first day, half a percent rounded up")
            << QByteArray("goal year 1000 mi") << QByteArray("2024/01/01")
            << QByteArray("2024|1000.00|5.00|1|1830.00|19.03");
        QTest::newRow("year, on its last day") << QByteArray("goal year 1000 mi") << QByteArray("2024/12/31")
                                               << QByteArray("2024|1000.00|21.41|2|21.41|6850.10");
        QTest::newRow("month of a leap February, on its last day")
            << QByteArray("goal month 20 mi") << QByteArray("2024/02/29")
            << QByteArray("2024/02|20.00|6.20|31|6.20|96.60");
        QTest::newRow("week from the profile's week start, reached")
            << QByteArray("goal week 10 km\nweek-start sunday") << QByteArray("2024/03/01")
            << QByteArray("Week of 2024/02/25|10.00|19.98|200|23.31|0.00");
        QTest::newRow("a share too big for a whole number held at its limit")
            << QByteArray("goal year 1e-12 mi") << QByteArray("2024/01/01")
            << QByteArray("2024|0.00|5.00|2147483647|1830.00|0.00");
        QTest::newRow("tag filter") << QByteArray("goal year 100 mi tag TEMPO") << QByteArray("2024/06/30")
                                    << QByteArray("2024|100.00|6.20|6|12.47|3.55");
        QTest::newRow("stretch ended") << QByteArray("goal 20 mi from 2023/12/31 thru 2024/01/01")
                                       << QByteArray("2024/03/01")
                                       << QByteArray("2023/12/31 to 2024/01/01|20.00|15.00|75|15.00|-");
        QTest::newRow("stretch not begun")
            << QByteArray("goal 70 km from 2025/01/01 thru 2025/01/14") << QByteArray("2024/12/31")
            << QByteArray("2025/01/01 to 2025/01/14|70.00|0.00|0|-|35.00");
        QTest::newRow("stretch on its first day")
            << QByteArray("goal 50 km from 2024/03/01 thru 2024/03/10") << QByteArray("2024/03/01")
            << QByteArray("2024/03/01 to 2024/03/10|50.00|10.00|20|100.00|28.00");
    }
    void progress() {
        QFETCH(QByteArray, profile);
        QFETCH(QByteArray, today);
        QFETCH(QByteArray, progress);
        const LogProfile parsed = ParseProfile(profile.toStdString());
        QVERIFY(parsed.Problems.empty());
        const std::vector<GoalProgress> goals = ComputeGoals(GoalLog(), parsed, Day(today.constData()), Monday);
        QCOMPARE(goals.size(), std::size_t{1});
        const GoalProgress &goal = goals.front();
        const std::string text = goal.Label + '|' + FormatHundredths(goal.Target) + '|' + FormatHundredths(goal.Done) +
                                 '|' + std::to_string(goal.Percent) + '|' + Optional(goal.Projected) + '|' +
                                 Optional(goal.NeededPerWeek);
        QCOMPARE(QByteArray::fromStdString(text), progress);
    }
};

QTEST_APPLESS_MAIN(TestGoalProgress)
#include "tst_GoalProgress.moc"
