#include <QTest>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "RandomLogs.h"
#include "insight/CountedRuns.h"
#include "insight/LiveRuns.h"
#include "insight/LoadCounter.h"
#include "insight/MarkTotals.h"
#include "insight/PartThreads.h"
#include "log/LogList.h"
#include "log/NoteMarks.h"

using namespace pq;

namespace {

// A figure to its last bit.
std::string Exact(double figure) {
    char text[64];
    std::snprintf(text, sizeof text, "%a ", figure);
    return text;
}

// Runs and loads as text, every figure to the last bit: the kept ones must be those of a count made afresh.
std::string Describe(const RunList &runs, const DailyLoads &loads) {
    std::string text;
    for (const CountedRun &run : runs) {
        for (const double figure : {double(run.Row), double(run.DayNumber), run.Miles, run.Kilometers, run.Seconds})
            text.append(Exact(figure));
        text.append("\n");
    }
    text.append("loads from ").append(std::to_string(loads.FirstDay)).append(":");
    for (const double load : loads.Loads)
        text.append(Exact(load));
    return text;
}

// Random rows, many of them on the same few days so that the order within a day is put to work.
LogEntry RandomEntry(RandomRows &random) {
    static const char *const Efforts[] = {"", "rpe:3 ", "RPE:9", "rpe:11"};
    LogEntry entry{random.Date(), random.Distance(), random.Time(), Efforts[random.Pick(std::size(Efforts))]};
    entry.Notes.append(random.Notes());
    if (random.Pick(2) == 0)
        entry.Date = std::string("2001/05/0").append(std::to_string(1 + random.Pick(4)));
    if (random.Pick(3) != 0)
        entry.Distance = std::to_string(1 + random.Pick(3)).append(" Miles");
    if (random.Pick(3) != 0)
        entry.Time = std::string("00:2").append(std::to_string(random.Pick(3))).append(":00");
    if (random.Pick(6) == 0) {
        std::string &text = random.Pick(2) == 0 ? entry.Date : entry.Distance;
        text.insert(random.Pick(text.size() + 1), 1, '\t');
    }
    return entry;
}

} // namespace

class TestLiveRuns : public QObject {
    Q_OBJECT

private slots:
    // Each letter an edit of a random row, as the window makes them: a(dd), m(odify: the row leaves and its new
    // texts come last), d(elete), b (delete a block of up to eight rows at once), u (duplicate), s(ort, then
    // counted again), r(eload: counted again), t(ag: only the rows tagged #tempo take part, or all again).
    void editsGiveAFreshCount_data() {
        QTest::addColumn<unsigned>("seed");
        QTest::addColumn<QString>("edits");
        QTest::addColumn<int>("rows");
        QTest::newRow("adds") << 1U << "aaaaaaaa" << 50;
        QTest::newRow("deletes to empty") << 2U << QString(60, 'd') << 50;
        QTest::newRow("modifies") << 3U << "mmmmmmmm" << 50;
        QTest::newRow("duplicates then deletes") << 4U << "uuuuuddddd" << 50;
        QTest::newRow("sorted between edits") << 5U << "asmsdsus" << 50;
        QTest::newRow("reloaded between edits") << 6U << "amrdurma" << 50;
        QTest::newRow("tag taken and dropped") << 7U << "tamdutamdu" << 50;
        QTest::newRow("block deletes") << 10U << "bbbabbbb" << 50;
        QTest::newRow("everything") << 8U << "aumdsraumdtsrbaumd" << 50;
        QTest::newRow("counted in parts") << 9U << "umtd" << ParallelCountMinimum + 7;
    }

    void editsGiveAFreshCount() {
        QFETCH(unsigned, seed);
        QFETCH(QString, edits);
        QFETCH(int, rows);
        RandomRows random(seed);
        LogList list;
        for (int i = 0; i < rows; ++i)
            list.AppendEntry(RandomEntry(random));
        LiveRuns live(list);
        live.Count({});
        live.Loads();
        const auto remove = [&](int first, int last) {
            live.RowsAboutToBeRemoved(first, last);
            for (int row = last; row >= first; --row)
                list.RemoveRow(row);
            live.RowsRemoved(first, last);
        };
        const auto append = [&](const LogEntry &entry) {
            list.AppendEntry(entry);
            live.RowsInserted(list.RowCount() - 1, list.RowCount() - 1);
        };
        for (const QChar edit : edits) {
            const int row = list.RowCount() > 0 ? static_cast<int>(random.Pick(std::size_t(list.RowCount()))) : -1;
            switch (edit.toLatin1()) {
            case 'a':
                append(RandomEntry(random));
                break;
            case 'm':
                if (row >= 0) {
                    remove(row, row);
                    append(RandomEntry(random));
                }
                break;
            case 'd':
                if (row >= 0)
                    remove(row, row);
                break;
            case 'b':
                if (row >= 0)
                    remove(row, std::min(row + static_cast<int>(random.Pick(8)), list.RowCount() - 1));
                break;
            case 'u':
                if (row >= 0)
                    append(list.ReadEntry(row));
                break;
            case 's':
                list.SortByBytes(static_cast<int>(random.Pick(ColumnCount)), random.Pick(2) == 0);
                live.Count(live.Filter());
                break;
            case 't':
                live.Count(live.Filter() ? RowFilter() : MarkFilter(list, TagSign, "tempo"));
                break;
            default:
                live.Count(live.Filter());
                break;
            }
            LoadCounter loads;
            loads.AddRows(list, live.Filter());
            QCOMPARE(Describe(live.Runs(), live.Loads()), Describe(CountRuns(list, live.Filter()), loads.Finish()));
        }
    }

    // Rows removed at once that leave the first two days without a load: the first day narrows the days, and the
    // second, then outside them, has nothing left to change.
    void removingTheFirstDaysAtOnce() {
        LogList list;
        for (const char *date : {"2024/03/01", "2024/03/02", "2024/03/03"})
            list.AppendEntry({date, "5 Kilometers", "0:30:00", ""});
        LiveRuns live(list);
        live.Count({});
        live.Loads();
        live.RowsAboutToBeRemoved(0, 1);
        list.RemoveRow(1);
        list.RemoveRow(0);
        live.RowsRemoved(0, 1);
        LoadCounter loads;
        loads.AddRows(list, {});
        QCOMPARE(Describe(live.Runs(), live.Loads()), Describe(CountRuns(list), loads.Finish()));
    }
};

QTEST_APPLESS_MAIN(TestLiveRuns)
#include "tst_LiveRuns.moc"
