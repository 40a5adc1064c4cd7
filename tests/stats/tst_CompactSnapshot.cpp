#include <QTemporaryDir>
#include <QTest>

#include <string>
#include <vector>

#include "RandomLogs.h"
#include "ScanBytes.h"
#include "log/LogFile.h"
#include "log/LogList.h"
#include "stats/CompactSnapshot.h"
#include "stats/PeriodTotals.h"

using namespace pq;

namespace {

// Everything the four computations give for a snapshot, with the reports in the order they were made: the
// compact snapshot read from a file must give the same text as the snapshot of the rows read whole.
template <class Snapshot> std::string AllTotals(const Snapshot &snapshot) {
    std::string text;
    const UnitReporter report = [&text](const UnrecognizedUnit &row) {
        text.append("! ").append(row.Date).append(" | ").append(row.Distance).append("\n");
    };
    const auto add = [&text](const std::vector<PeriodRow> &rows) {
        for (const PeriodRow &row : rows) {
            text.append(row.Label + " " + row.Miles + " " + row.Kilometers + " " + row.Marathons + "\n");
        }
        text.append("--\n");
    };
    for (int weekStart = 0; weekStart < 7; ++weekStart) {
        add(WeeklyTotals(snapshot, weekStart, report));
    }
    add(MonthlyTotals(snapshot, report));
    add(YearlyTotals(snapshot, report));
    for (const auto &[from, thru] : {std::pair<CalendarDate, CalendarDate>{{1980, 1, 1}, {2079, 12, 31}},
                                     {{1996, 1, 2}, {1996, 1, 2}},
                                     {{1990, 6, 1}, {2001, 5, 31}},
                                     {{2000, 1, 1}, {1999, 1, 1}}}) {
        const RangeResult range = RangeTotals(snapshot, from, thru, report);
        text.append(range.Miles + " " + range.Kilometers + " " + range.Marathons + "\n");
    }
    return text;
}

} // namespace

class TestCompactSnapshot : public QObject {
    Q_OBJECT

    QTemporaryDir Temp;

private slots:
    void initTestCase() { QVERIFY(Temp.isValid()); }

    // Rows added one by one, with tabs and line breaks inside their texts where the file could not hold them.
    void rowsGiveTheTotalsOfTheSnapshot_data() {
        QTest::addColumn<unsigned>("seed");
        QTest::addColumn<int>("rows");
        for (unsigned seed = 1; seed <= 12; ++seed) {
            QTest::addRow("seed %u", seed) << seed << static_cast<int>(seed * 97);
        }
    }

    void rowsGiveTheTotalsOfTheSnapshot() {
        QFETCH(unsigned, seed);
        QFETCH(int, rows);
        RandomRows random(seed);
        LogList list;
        CompactSnapshot compact;
        for (int i = 0; i < rows; ++i) {
            LogEntry entry{random.Date(), random.Distance(), random.Time(), "notes"};
            if (random.Pick(4) == 0) {
                std::string &text = random.Pick(2) == 0 ? entry.Date : entry.Distance;
                text.insert(random.Pick(text.size() + 1), 1, '\t');
            }
            list.AppendEntry(entry);
            compact.AddRow(entry.Date, entry.Distance, entry.Time);
        }
        compact.Finish();
        QCOMPARE(AllTotals(compact), AllTotals(BuildSnapshot(list)));
    }

    void fileGivesTheTotalsOfTheWholeRead_data() {
        QTest::addColumn<unsigned>("seed");
        QTest::addColumn<int>("parts");
        QTest::addColumn<int>("blockSize");
        for (unsigned seed = 1; seed <= 6; ++seed) {
            for (const int parts : {1, 2, 3}) {
                for (const int blockSize : {1, 7, 899, 900, 4096, 1 << 20}) {
                    QTest::addRow("seed %u, %d parts, blocks of %d", seed, parts, blockSize)
                        << seed << parts << blockSize;
                }
            }
        }
    }

    void fileGivesTheTotalsOfTheWholeRead() {
        QFETCH(unsigned, seed);
        QFETCH(int, parts);
        QFETCH(int, blockSize);
        CompareWithWholeRead(RandomLogBytes(seed, 400), parts, blockSize);
    }

    // An older log whose header line comes only after its first records: the parts after the one holding it must
    // be read in the current format, whatever the start of the file suggested.
    void headerLineInsideALog_data() {
        QTest::addColumn<int>("oldRecords");
        QTest::addColumn<int>("parts");
        for (const int oldRecords : {0, 1, 150, 300, 600, 900}) {
            for (const int parts : {2, 3}) {
                QTest::addRow("%d older records, %d parts", oldRecords, parts) << oldRecords << parts;
            }
        }
    }

    void headerLineInsideALog() {
        QFETCH(int, oldRecords);
        QFETCH(int, parts);
        std::string bytes;
        for (int i = 0; i < 600 + oldRecords; ++i) {
            if (i == oldRecords) {
                bytes.append(1, RecordMarker).append(LogHeader).append("\r\n");
            }
            bytes.append("\xA1"
                         "9" +
                         std::to_string(i % 10) + "/03/0" + std::to_string(1 + i % 9) + "\t" + std::to_string(i % 7) +
                         " Miles\t00:30:00\tEasy\r\n");
        }
        CompareWithWholeRead(bytes, parts, 1 << 20);
    }

private:
    void CompareWithWholeRead(const std::string &bytes, int parts, int blockSize) {
        LogList list;
        ReadLogBytes(bytes, list);
        CompactSnapshot snapshot =
            ScanBytesInParts<CompactSnapshot>(bytes, Temp.filePath(QStringLiteral("log.pquil")).toStdString(),
                                              static_cast<std::size_t>(parts), static_cast<std::size_t>(blockSize));
        snapshot.Finish();
        QCOMPARE(AllTotals(snapshot), AllTotals(BuildSnapshot(list)));
    }
};

QTEST_APPLESS_MAIN(TestCompactSnapshot)
#include "tst_CompactSnapshot.moc"
