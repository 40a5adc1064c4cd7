#include <QtTest>

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "cli/DateRangeOption.h"
#include "cli/OutputBuffer.h"
#include "cli/RowPrinter.h"
#include "cli/TagOption.h"
#include "log/LogColumns.h"
#include "log/LogFile.h"
#include "log/LogList.h"
#include "log/LogScan.h"

#include "RandomLogs.h"

using namespace pq;
using namespace pq::cli;

// pquil's convert, export and show --tsv print each row as it is read. On random logs, small ones and ones longer
// than a read block, this checks that what they write is byte for byte what the rows read whole give (the log
// read as the windowed program reads it, filtered by the whole-row filters, printed or saved).
class tst_PquilStreamed : public QObject {
    Q_OBJECT

    QTemporaryDir Temp;
    QString LogPath;
    LogList Rows;

    struct Run {
        int ExitCode = -1;
        QByteArray Out;
        QByteArray Err;
    };

    static Run RunPquil(const QStringList &arguments) {
        QProcess process;
        process.start(QStringLiteral(PQUIL_BINARY), arguments);
        Run run;
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
            return run;
        }
        run.ExitCode = process.exitCode();
        run.Out = process.readAllStandardOutput();
        run.Err = process.readAllStandardError();
        return run;
    }

    // What the printer makes of every row of the list, in list order.
    static QByteArray Printed(const LogList &list, RowFormat format) {
        char *data = nullptr;
        std::size_t size = 0;
        std::FILE *memory = open_memstream(&data, &size);
        {
            OutputBuffer out(memory, "memory");
            RowPrinter printer(out, format);
            for (int row = 0; row < list.RowCount(); ++row) {
                printer.Print(TextsOfRow(list, row));
            }
            printer.Finish();
            out.Flush();
        }
        std::fclose(memory);
        QByteArray bytes(data, static_cast<qsizetype>(size));
        std::free(data);
        return bytes;
    }

    static DateRange Range(CalendarDate from, CalendarDate thru, const char *fromText, const char *thruText) {
        DateRange range;
        range.From = from;
        range.Thru = thru;
        range.FromText = fromText;
        range.ThruText = thruText;
        return range;
    }

    // Writes the random log, in the line ends a Unix tool would leave where asked, and reads it whole.
    void MakeLog(unsigned seed, int rows, bool lineFeedsOnly) {
        std::string bytes = RandomLogBytes(seed, static_cast<std::size_t>(rows));
        if (lineFeedsOnly) {
            for (std::size_t at = 0; (at = bytes.find("\r\n", at)) != std::string::npos;) {
                bytes.erase(at, 1);
            }
        }
        LogPath = Temp.filePath(QStringLiteral("random-%1-%2.pquil").arg(seed).arg(rows));
        QFile file(LogPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes.data(), static_cast<qint64>(bytes.size())), static_cast<qint64>(bytes.size()));
        Rows = LogList();
        ReadLogBytes(bytes, Rows);
    }

    static void Logs() {
        QTest::addColumn<unsigned>("seed");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("lineFeedsOnly");
        for (unsigned seed = 1; seed <= 3; ++seed) {
            for (const bool lineFeedsOnly : {false, true}) {
                const char *ends = lineFeedsOnly ? "LF" : "CR LF";
                QTest::addRow("seed %u, 300 rows, %s", seed, ends) << seed << 300 << lineFeedsOnly;
                // About 1.2 MB: longer than a read block, so that records are cut by a block's end.
                QTest::addRow("seed %u, 14000 rows, %s", seed, ends) << seed << 14000 << lineFeedsOnly;
            }
        }
    }

private slots:
    void initTestCase() {
        QVERIFY(Temp.isValid());
        QVERIFY(RandomLogBytes(1, 14000).size() > LoadBlockSize);
    }

    void printsWhatTheWholeRowsGive_data() { Logs(); }

    void printsWhatTheWholeRowsGive() {
        QFETCH(unsigned, seed);
        QFETCH(int, rows);
        QFETCH(bool, lineFeedsOnly);
        MakeLog(seed, rows, lineFeedsOnly);
        const struct {
            QStringList Arguments;
            RowFormat Format;
        } commands[] = {{{"show", "--tsv"}, RowFormat::Tsv},
                        {{"export"}, RowFormat::Csv},
                        {{"export", "--format", "json"}, RowFormat::Json}};
        for (const auto &command : commands) {
            const Run run = RunPquil(command.Arguments + QStringList{LogPath});
            QCOMPARE(run.ExitCode, 0);
            QCOMPARE(run.Err, QByteArray());
            QVERIFY2(run.Out == Printed(Rows, command.Format), qPrintable(command.Arguments.join(' ')));
        }
    }

    // --tag and --from/--thru keep, row by row, the rows that the filters of the whole log keep.
    void filtersTakeTheRowsOfTheWholeLog_data() { Logs(); }

    void filtersTakeTheRowsOfTheWholeLog() {
        QFETCH(unsigned, seed);
        QFETCH(int, rows);
        QFETCH(bool, lineFeedsOnly);
        MakeLog(seed, rows, lineFeedsOnly);
        const DateRange days = Range({1996, 1, 2}, {1997, 2, 4}, "1996/01/02", "1997/02/04");
        const DateRange everyDay = Range({1980, 1, 1}, {2079, 12, 31}, "1980/01/01", "2079/12/31");
        const struct {
            QStringList Arguments;
            std::optional<std::string> Tag;
            std::optional<DateRange> Days;
        } filters[] = {
            {{"--tag", "tempo"}, "tempo", std::nullopt},
            {{"--from", "1996/01/02", "--thru", "1997/02/04"}, std::nullopt, days},
            {{"--thru", "2079/12/31"}, std::nullopt, everyDay},
            {{"--tag", "#tempo", "--from", "1996/01/02", "--thru", "1997/02/04"}, "tempo", days},
        };
        for (const auto &filter : filters) {
            LogList expected = RowsWithTag(Rows, filter.Tag);
            if (filter.Days) {
                expected = RowsInRange(expected, *filter.Days);
            }
            QVERIFY(expected.RowCount() > 0);
            const Run run = RunPquil(QStringList{"show", "--tsv", LogPath} + filter.Arguments);
            QCOMPARE(run.ExitCode, 0);
            QVERIFY2(run.Out == Printed(expected, RowFormat::Tsv), qPrintable(filter.Arguments.join(' ')));
        }
    }

    // The converted file is what a save of the rows read whole writes, and the warning counts the rows it cut.
    void convertWritesWhatASaveWrites_data() { Logs(); }

    void convertWritesWhatASaveWrites() {
        QFETCH(unsigned, seed);
        QFETCH(int, rows);
        QFETCH(bool, lineFeedsOnly);
        MakeLog(seed, rows, lineFeedsOnly);
        const QString converted = Temp.filePath(QStringLiteral("converted.pquil"));
        QFile::remove(converted);
        const Run run = RunPquil({"convert", LogPath, converted});
        QCOMPARE(run.ExitCode, 0);
        QFile file(converted);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const std::string bytes = LogBytes(Rows);
        QVERIFY(file.readAll() == QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));

        int cut = 0;
        int first = 0;
        for (int row = 0; row < Rows.RowCount(); ++row) {
            for (int column = 0; column < ColumnCount; ++column) {
                if (Rows.Text(row, column).size() > FieldWidths[column]) {
                    first = cut++ == 0 ? row + 1 : first;
                    break;
                }
            }
        }
        QVERIFY(cut > 0);
        const QString warning = QStringLiteral(": %1 row(s) held texts longer than a log field, cut as a save cuts "
                                               "them (the first is row %2)\n")
                                    .arg(cut)
                                    .arg(first);
        QVERIFY2(QString::fromUtf8(run.Err).endsWith(warning), run.Err.constData());
    }
};

QTEST_APPLESS_MAIN(tst_PquilStreamed)
#include "tst_PquilStreamed.moc"
