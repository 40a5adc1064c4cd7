#include <QTest>

#include <string>
#include <vector>

#include "RandomLogs.h"
#include "log/LogList.h"
#include "log/TPQLComparator.h"
#include "stats/LiveSnapshot.h"
#include "stats/PeriodTotals.h"

using namespace pq;

namespace {

// Everything the four computations give, reports included: the live snapshot after edits must give the text of
// a snapshot of the rows made afresh.
template <class Snapshot> std::string AllTotals(const Snapshot &snapshot) {
    std::string text;
    const UnitReporter report = [&text](const UnrecognizedUnit &row) {
        text.append("! ").append(row.Date).append(" | ").append(row.Distance).append("\n");
    };
    for (const int weekStart : {0, 3}) {
        for (const PeriodRow &row : WeeklyTotals(snapshot, weekStart, report))
            text.append(row.Label + " " + row.Miles + " " + row.Kilometers + " " + row.Marathons + "\n");
    }
    for (const PeriodRow &row : MonthlyTotals(snapshot, report))
        text.append(row.Label + " " + row.Miles + " " + row.Kilometers + " " + row.Marathons + "\n");
    for (const PeriodRow &row : YearlyTotals(snapshot, report))
        text.append(row.Label + " " + row.Miles + " " + row.Kilometers + " " + row.Marathons + "\n");
    const RangeResult range = RangeTotals(snapshot, {1990, 6, 1}, {2001, 5, 31}, report);
    text.append(range.Miles + " " + range.Kilometers + " " + range.Marathons + "\n");
    return text;
}

LogEntry RandomEntry(RandomRows &random) {
    LogEntry entry{random.Date(), random.Distance(), random.Time(), "notes"};
    if (random.Pick(4) == 0) {
        std::string &text = random.Pick(2) == 0 ? entry.Date : entry.Distance;
        text.insert(random.Pick(text.size() + 1), 1, '\t');
    }
    return entry;
}

} // namespace

class TestLiveSnapshot : public QObject {
    Q_OBJECT

private slots:
    // Each letter an edit of a random row, as the window makes them: a(dd), m(odify: the row leaves and its new
    // texts come last), d(elete), u (duplicate), s(ort), o (sort by Date, the order most logs are kept in),
    // r(eload: built afresh).
    void editsGiveTheTotalsOfAFreshSnapshot_data() {
        QTest::addColumn<unsigned>("seed");
        QTest::addColumn<QString>("edits");
        QTest::newRow("adds") << 1U << "aaaaaaaa";
        QTest::newRow("deletes to empty") << 2U << QString(60, 'd');
        QTest::newRow("modifies") << 3U << "mmmmmmmm";
        QTest::newRow("duplicates then deletes") << 4U << "uuuuuddddd";
        QTest::newRow("sorted between edits") << 5U << "asmsdsus";
        QTest::newRow("reloaded between edits") << 6U << "amrdurma";
        QTest::newRow("reloaded in date order") << 8U << "oraomdr";
        QTest::newRow("everything") << 7U << "aumdsraumdsraumd";
    }

    void editsGiveTheTotalsOfAFreshSnapshot() {
        QFETCH(unsigned, seed);
        QFETCH(QString, edits);
        RandomRows random(seed);
        LogList list;
        for (int i = 0; i < 50; ++i)
            list.AppendEntry(RandomEntry(random));
        LiveSnapshot live;
        live.Build(list);
        const auto remove = [&](int row) {
            live.RemoveRow(list.Text(row, DateColumn), list.Text(row, DistanceColumn), list.Text(row, TimeColumn));
            list.RemoveRow(row);
        };
        const auto append = [&](const LogEntry &entry) {
            list.AppendEntry(entry);
            live.AddRow(entry.Date, entry.Distance, entry.Time);
        };
        for (const QChar edit : edits) {
            const int row = list.RowCount() > 0 ? static_cast<int>(random.Pick(std::size_t(list.RowCount()))) : -1;
            switch (edit.toLatin1()) {
            case 'a':
                append(RandomEntry(random));
                break;
            case 'm':
                if (row >= 0) {
                    remove(row);
                    append(RandomEntry(random));
                }
                break;
            case 'd':
                if (row >= 0)
                    remove(row);
                break;
            case 'u':
                if (row >= 0)
                    append(list.ReadEntry(row));
                break;
            case 's':
                list.SortByBytes(static_cast<int>(random.Pick(ColumnCount)), random.Pick(2) == 0);
                break;
            case 'o':
                list.SortByBytes(DateColumn, true);
                break;
            default:
                live.Build(list);
                break;
            }
            QCOMPARE(AllTotals(live), AllTotals(BuildSnapshot(list)));
        }
    }
};

QTEST_APPLESS_MAIN(TestLiveSnapshot)
#include "tst_LiveSnapshot.moc"
