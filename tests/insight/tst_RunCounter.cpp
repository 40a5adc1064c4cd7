#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "DescribedRuns.h"
#include "RandomLogs.h"
#include "ScanBytes.h"
#include "calc/DistanceTimeParts.h"
#include "insight/CountedRuns.h"
#include "log/LogEntry.h"
#include "log/LogFile.h"
#include "log/LogList.h"
#include "stats/RowKey.h"

using namespace pq;

namespace {

// The counted runs as the statistics define them, the slow way: every dated row's key composed, the keys sorted
// with equal keys in list order, and the key's Date and Distance texts deciding whether the row counts.
std::vector<CountedRun> RunsByKeys(const LogList &list, const RowFilter &filter = {}) {
    std::vector<std::pair<std::string, int>> keys;
    for (int row = 0; row < list.RowCount(); ++row) {
        std::string key =
            RowKey(list.Text(row, DateColumn), list.Text(row, DistanceColumn), list.Text(row, TimeColumn));
        if ((!filter || filter(row)) && !key.empty()) {
            keys.emplace_back(std::move(key), row);
        }
    }
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto &left, const auto &right) { return left.first < right.first; });
    std::vector<CountedRun> runs;
    for (const auto &[key, row] : keys) {
        const RowKeyFields fields = ReadRowKey(key);
        if (const std::optional<UnitTotals> distance = CountedRunDistance(fields.Date, fields.Distance)) {
            runs.push_back({row, fields.DayNumber, distance->Miles, distance->Kilometers,
                            TimeTextSeconds(list.Text(row, TimeColumn))});
        }
    }
    return runs;
}

// Random rows, some with a tab inside a text where a file could not hold one.
LogList RandomList(unsigned seed, int rows) {
    RandomRows random(seed);
    LogList list;
    for (int i = 0; i < rows; ++i) {
        LogEntry entry{random.Date(), random.Distance(), random.Time(), "notes"};
        if (random.Pick(6) == 0) {
            std::string &text = random.Pick(2) == 0 ? entry.Date : entry.Distance;
            text.insert(random.Pick(text.size() + 1), 1, '\t');
        }
        list.AppendEntry(entry);
    }
    return list;
}

} // namespace

class TestRunCounter : public QObject {
    Q_OBJECT

    QTemporaryDir Temp;

private slots:
    void initTestCase() { QVERIFY(Temp.isValid()); }

    void runsOfRandomRowsAreThoseOfTheirKeys_data() {
        QTest::addColumn<unsigned>("seed");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("filtered");
        QTest::addColumn<int>("parts");
        for (unsigned seed = 1; seed <= 10; ++seed) {
            const int parts = static_cast<int>(seed % 4) + 1;
            QTest::addRow("seed %u, %d parts", seed, parts) << seed << static_cast<int>(seed * 151) << false << parts;
            QTest::addRow("seed %u, %d parts, every third row left out", seed, parts)
                << seed << static_cast<int>(seed * 151) << true << parts;
        }
    }

    void runsOfRandomRowsAreThoseOfTheirKeys() {
        QFETCH(unsigned, seed);
        QFETCH(int, rows);
        QFETCH(bool, filtered);
        QFETCH(int, parts);
        const LogList list = RandomList(seed, rows);
        const RowFilter filter = filtered ? RowFilter([](int row) { return row % 3 != 0; }) : RowFilter();
        const std::vector<CountedRun> expected = RunsByKeys(list, filter);
        QVERIFY(!expected.empty());
        QCOMPARE(DescribedRuns(CountRunsInParts(list, filter, static_cast<std::size_t>(parts))),
                 DescribedRuns(expected));
    }

    // Many rows of one day with equal keys: their Time texts differ only after the part a key holds, so their
    // seconds tell whether they stayed in list order (a sort that is not stable mixes them once a day has more
    // than a few rows).
    void equalKeysKeepListOrder_data() {
        QTest::addColumn<int>("rows");
        for (const int rows : {2, 17, 40, 200}) {
            QTest::addRow("%d rows", rows) << rows;
        }
    }

    void equalKeysKeepListOrder() {
        QFETCH(int, rows);
        LogList list;
        for (int i = 0; i < rows; ++i) {
            list.AppendEntry({"2024/03/05", "5 Kilometers", "0:20:00.0" + std::to_string(i % 10), ""});
            list.AppendEntry({"2024/03/05", "5 Kilometers", "0:19:59", ""});
        }
        const RunList runs = CountRuns(list);
        QCOMPARE(runs.size(), static_cast<std::size_t>(2 * rows));
        for (int i = 0; i < rows; ++i) {
            QCOMPARE(runs[static_cast<std::size_t>(i)].Row, 2 * i + 1);
            QCOMPARE(runs[static_cast<std::size_t>(rows + i)].Row, 2 * i);
        }
    }

    // A file read in parts on several threads counts the runs of the whole read, with the rows' own texts.
    void fileInPartsCountsTheRunsOfTheWholeRead_data() {
        QTest::addColumn<unsigned>("seed");
        QTest::addColumn<int>("parts");
        QTest::addColumn<int>("blockSize");
        for (unsigned seed = 1; seed <= 4; ++seed) {
            for (const int parts : {1, 2, 3}) {
                for (const int blockSize : {7, 900, 1 << 20}) {
                    QTest::addRow("seed %u, %d parts, blocks of %d", seed, parts, blockSize)
                        << seed << parts << blockSize;
                }
            }
        }
    }

    void fileInPartsCountsTheRunsOfTheWholeRead() {
        QFETCH(unsigned, seed);
        QFETCH(int, parts);
        QFETCH(int, blockSize);
        const std::string bytes = RandomLogBytes(seed, 500);
        LogList list;
        ReadLogBytes(bytes, list);

        RunCounter counter =
            ScanBytesInParts<RunCounter>(bytes, Temp.filePath(QStringLiteral("log.pquil")).toStdString(),
                                         static_cast<std::size_t>(parts), static_cast<std::size_t>(blockSize));
        const RunList runs = counter.Finish();
        QCOMPARE(DescribedRuns(runs), DescribedRuns(RunsByKeys(list)));
        for (const CountedRun &run : runs) {
            const RunTexts texts = counter.Texts(runs, run.Row);
            QCOMPARE(texts.Date, list.Text(run.Row, DateColumn));
            QCOMPARE(texts.Distance, list.Text(run.Row, DistanceColumn));
            QCOMPARE(texts.Time, list.Text(run.Row, TimeColumn));
        }
    }
};

QTEST_APPLESS_MAIN(TestRunCounter)
#include "tst_RunCounter.moc"
