#include <QtTest>

#include <chrono>
#include <thread>

#include "RandomLogs.h"
#include "log/LogEntry.h"
#include "log/LogList.h"
#include "log/LogTableModel.h"
#include "log/TPQLComparator.h"
#include "stats/LiveSnapshot.h"
#include "stats/PeriodTotals.h"
#include "stats/SnapshotKeeper.h"

namespace {

// More rows than the keeper takes only when asked, so that it takes them in the background, and few enough that
// an edit can stop it close to their end.
constexpr int LogRows = 24'600;
constexpr int Attempts = 40;
constexpr std::chrono::microseconds WaitStep{100};

pq::LogList RandomList(unsigned seed) {
    RandomRows random(seed);
    pq::LogList list;
    for (int row = 0; row < LogRows; ++row)
        list.AppendEntry({random.Date(), random.Distance(), random.Time(), "notes"});
    return list;
}

} // namespace

class TestSnapshotKeeper : public QObject {
    Q_OBJECT

private slots:
    // A row added stops the build under way wherever it is; a sort then puts other rows first, so the build must
    // not go on from where it stopped. Each attempt lets the build run a little longer before the row comes.
    void sortAfterAStoppedBuildGivesTheTotalsOfTheRows() {
        const pq::LogList rows = RandomList(1);
        for (int attempt = 0; attempt < Attempts; ++attempt) {
            LogTableModel model;
            model.ReplaceRows(pq::LogList(rows));
            SnapshotKeeper keeper(model);
            std::this_thread::sleep_for(attempt * WaitStep);
            model.AppendRow("1997/01/02\t3 Miles\t00:20:00\t");
            model.SortRows(pq::TPQLStringComparator(model.List(), pq::DistanceColumn, false));
            QVERIFY(pq::WeeklyTotals(keeper.Current(), 0) == pq::WeeklyTotals(pq::BuildSnapshot(model.List()), 0));
        }
    }
};

QTEST_MAIN(TestSnapshotKeeper)
#include "tst_SnapshotKeeper.moc"
