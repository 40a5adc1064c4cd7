#include <QtTest>

#include <csignal>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>

#include "log/LogDiskState.h"
#include "log/LogFile.h"
#include "support/FileBytes.h"

using namespace pq;

namespace {

const QByteArray Header = "Pacequill version 3.1 log file format\r\n";

// A byte literal that may hold NULs.
template <std::size_t N> QByteArray Bytes(const char (&text)[N]) {
    return QByteArray(text, N - 1);
}

QByteArrayList Rows(const LogList &list) {
    QByteArrayList rows;
    for (int i = 0; i < list.RowCount(); ++i) {
        QByteArray text;
        for (int c = 0; c < ColumnCount; ++c) {
            const std::string_view field = list.Text(i, c);
            text += (c > 0 ? "|" : "") + QByteArray(field.data(), static_cast<qsizetype>(field.size()));
        }
        rows << text;
    }
    return rows;
}

LogList Read(const QByteArray &bytes) {
    LogList list;
    list.AppendRow("stale\trow");
    ReadLogBytes(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), list);
    return list;
}

void WriteFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A deterministic mess of the bytes the reader treats specially, so that markers, line breaks and NULs fall on
// every position of the chunks and of the blocks.
QByteArray ScrambledLog(int size) {
    const QByteArray alphabet = Bytes("\xA1\xA1\r\n\0\t\tN98x\xA0");
    QByteArray bytes;
    quint32 state = 12345;
    for (int i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        const int pick = static_cast<int>((state >> 16) % 64);
        // Mostly plain bytes, so that long chunks occur too.
        bytes += pick < alphabet.size() ? alphabet[pick] : 'a';
    }
    return bytes;
}

} // namespace

class tst_LogFile : public QObject {
    Q_OBJECT

private slots:
    void readLogBytes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArrayList>("expected");
        const QByteArray x899(899, 'x');
        QTest::newRow("empty file") << QByteArray() << QByteArrayList{};
        QTest::newRow("header only") << Header << QByteArrayList{};
        QTest::newRow("header without line end") << Header.chopped(2) << QByteArrayList{};
        QTest::newRow("old 79 and 80") << QByteArray("\xA1"
                                                     "79/1/1\ta\tb\tc\r\n\xA1"
                                                     "80/1/1\ta\tb\tc\r\n")
                                       << QByteArrayList{"2079/1/1|a|b|c", "1980/1/1|a|b|c"};
        QTest::newRow("old No Date") << QByteArray("\xA1No Date\ta\tb\tc\r\n") << QByteArrayList{"No Date|a|b|c"};
        QTest::newRow("old other bytes") << QByteArray("\xA1:x\r\n\xA1\x7F\r\n\xA1\x80\r\n\xA1nope\r\n")
                                         << QByteArrayList{"19:x|||", "19\x7F|||", "20\x80|||", "19nope|||"};
        QTest::newRow("current takes dates as they stand") << Header + "\xA1"
                                                                       "96/07/04\ta\tb\tc\r\n"
                                                           << QByteArrayList{"96/07/04|a|b|c"};
        QTest::newRow("header in the middle") << QByteArray("junk\xA1") + Header +
                                                     "\xA1"
                                                     "96/1/1\ta\tb\tc\r\n"
                                              << QByteArrayList{"19junk|||", "96/1/1|a|b|c"};
        QTest::newRow("near-header is a record") << QByteArray("Pacequill version 3.1 log file format \r\n")
                                                 << QByteArrayList{"19Pacequill version 3.1 log file format |||"};
        QTest::newRow("line breaks in notes") << Header + "\xA1"
                                                          "d\tx\tt\tone\r\ntwo\rthree\nfour\r\n"
                                              << QByteArrayList{"d|x|t|one\xA0\xA0two\xA0three\xA0"
                                                                "four"};
        QTest::newRow("no line end keeps last two bytes") << Header + "\xA1"
                                                                      "d\tx\tt\tab\r\ncd\xA1"
                                                                      "d\tx\tt\tx\r\n\r"
                                                          << QByteArrayList{"d|x|t|ab\xA0\xA0"
                                                                            "cd",
                                                                            "d|x|t|x\xA0\n\r"};
        // Only a log whose header line ends in LF alone has records ended by LF alone.
        QTest::newRow("CR LF log keeps a last LF") << Header + "\xA1"
                                                               "01/08/12\t2.01 Miles\t\n\xA1"
                                                               "d\tx\tt\ta\nb\r\n"
                                                   << QByteArrayList{"01/08/12|2.01 Miles|\n|", "d|x|t|a\xA0"
                                                                                                "b"};
        QTest::newRow("older log keeps a last LF") << QByteArray("\xA1"
                                                                 "96/07/04\ta\tb\tc\n")
                                                   << QByteArrayList{"1996/07/04|a|b|c\n"};
        QTest::newRow("LF log") << QByteArray("Pacequill version 3.1 log file format\n\xA1"
                                              "d\tx\tt\ta\nb\n")
                                << QByteArrayList{"d|x|t|a\xA0\xA0"
                                                  "b"};
        QTest::newRow("lone line break bytes") << Header + "\xA1\n\xA1\r\n\xA1\r" << QByteArrayList{"\n|||", "\r|||"};
        QTest::newRow("empty records skipped") << Header + "\xA1\xA1\r\n\xA1"
                                                           "d\r\n"
                                               << QByteArrayList{"d|||"};
        QTest::newRow("899 bytes then marker") << Header + "\xA1" + x899 +
                                                      "\xA1"
                                                      "d\r\n"
                                               << QByteArrayList{x899 + "|||", "d|||"};
        QTest::newRow("900 bytes split") << Header + "\xA1" + x899 + "y\r\n" << QByteArrayList{x899 + "|||", "y|||"};
        QTest::newRow("long chunk split with its line breaks")
            << Header + "\xA1" + QByteArray(896, 'x') + "\r\nyab\r\n"
            << QByteArrayList{QByteArray(896, 'x') + "\xA0\ny|||", "ab|||"};
        QTest::newRow("long chunk ending in CR LF") << Header + "\xA1" + QByteArray(897, 'x') + "\r\nab\r\n"
                                                    << QByteArrayList{QByteArray(897, 'x') + "|||", "ab|||"};
        QTest::newRow("NUL ends the text") << Header + Bytes("\xA1"
                                                             "d\tx\tt\tab\0cd\r\n\xA1"
                                                             "e\r\n")
                                           << QByteArrayList{"d|x|t|ab", "e|||"};
        QTest::newRow("NUL does not stretch the chunk") << Header +
                                                               Bytes("\xA1"
                                                                     "d\0") +
                                                               QByteArray(900, 'z')
                                                        << QByteArrayList{"d|||", QByteArray(3, 'z') + "|||"};
        QTest::newRow("NUL at the start") << Header + Bytes("\xA1\0abc\r\n") << QByteArrayList{};
    }
    void readLogBytes() {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArrayList, expected);
        const LogList list = Read(bytes);
        QCOMPARE(Rows(list), expected);
        QVERIFY(!list.SelectedRow());
    }

    // A log whose CR LF line ends a tool turned into LF alone reads as the same log, and saves with CR LF again.
    void lineFeedLogReadsAsCrLf_data() {
        QTest::addColumn<QByteArray>("crLf");
        QTest::newRow("current log") << Header + "\xA1"
                                                 "2023/01/01\t5 Miles\t00:40:00\tEasy\r\n\xA1"
                                                 "No Date\t1 Marathons\t03:30:00\t\r\n";
        QTest::newRow("notes on three lines") << Header + "\xA1"
                                                          "2023/01/02\t3 Miles\t00:21:00\tone\r\ntwo\r\nthree\r\n";
        QTest::newRow("header only") << Header;
        QTest::newRow("last record without line end") << Header + "\xA1"
                                                                  "2023/01/03\t1 Miles\t00:08:00\tx\r\n\xA1"
                                                                  "2023/01/04\t2 Miles\t00:16:00\tlast";
    }
    void lineFeedLogReadsAsCrLf() {
        QFETCH(QByteArray, crLf);
        QByteArray lineFeed = crLf;
        lineFeed.replace("\r\n", "\n");
        const LogList fromCrLf = Read(crLf);
        const LogList fromLineFeed = Read(lineFeed);
        QCOMPARE(Rows(fromLineFeed), Rows(fromCrLf));
        QCOMPARE(LogBytes(fromLineFeed), LogBytes(fromCrLf));
        QVERIFY(QByteArray::fromStdString(LogBytes(fromLineFeed)).startsWith(Header));
    }

    void goldenFiles_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArrayList>("expected");
        QTest::newRow("older log") << "old-headerless.pql"
                                   << QByteArrayList{"1996/07/04|6.2 Miles|00:45:10|Hot day",
                                                     "2003/07/04|10 Kilometers|00:50:00|First line\xA0\xA0Second line",
                                                     "No Date|1 Marathons|03:30:00|None",
                                                     "2079/12/31|3 Miles|00:21:00|None",
                                                     "1980/01/01|4 Miles|00:30:00|New year"};
        QTest::newRow("current log") << "current.pquil"
                                     << QByteArrayList{
                                            "1996/07/04|6.2 Miles|00:45:10|Hot day",
                                            "2003/07/04|10 Kilometers|00:50:00|First line\xA0\xA0Second line",
                                            "No Date|1 Marathons|03:30:00|None",
                                            "2024/03/01|5 Miles|00:40:00|Easy\xA0pace"};
        QTest::newRow("damaged log") << "damaged.pquil"
                                     << QByteArrayList{"2001/01/01|5 Miles|00:40:00|before NUL",
                                                       QByteArray(899, 'x') + "|||", QByteArray(101, 'x') + "|||",
                                                       "\xFF\xFE\x01|\x80||", "2002/02/02|3 Miles|00:20:00|cut off\n"};
    }
    void goldenFiles() {
        QFETCH(QString, file);
        QFETCH(QByteArrayList, expected);
        LogList list;
        const LoadResult result = LoadLog(QStringLiteral(PACEQUILL_TEST_DATA "/%1").arg(file).toStdString(), list);
        QCOMPARE(result.Status, LoadStatus::Loaded);
        QCOMPARE(Rows(list), expected);
        QCOMPARE(list.SelectedRow().value_or(-1), expected.size() - 1);
    }

    void loadInBlocksMatchesWholeRead_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray x899(899, 'x');
        for (const char *file : {"current.pquil", "old-headerless.pql", "damaged.pquil"}) {
            QTest::newRow(file) << FileBytes(QStringLiteral(PACEQUILL_TEST_DATA "/") + file);
        }
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("ends with a marker") << Header + "\xA1"
                                                        "d\tx\tt\tn\r\n\xA1";
        QTest::newRow("long notes") << Header +
                                           "\xA1"
                                           "d\tx\tt\t" +
                                           QByteArray(2500, 'n') + "\r\n\xA1" + "e\tx\tt\t" + QByteArray(1797, 'm') +
                                           "\r\n";
        QTest::newRow("marker at the 899 boundary") << QByteArray("\xA1") + x899 + "\xA1" + x899 + "\xA1\xA1" + x899;
        QTest::newRow("CR LF at chunk ends") << Header + "\xA1" + QByteArray(897, 'x') + "\r\n" + QByteArray(897, 'y') +
                                                    "\r\n" + QByteArray(898, 'z') + "\r\nab\r";
        QTest::newRow("NULs") << Header +
                                     Bytes("\xA1\0abc\r\n\xA1"
                                           "d\0") +
                                     QByteArray(1800, 'z') + Bytes("\0\0\xA1\0");
        QTest::newRow("header in the middle") << QByteArray("96/1/1\ta\xA1") + x899 + Header +
                                                     "\xA1"
                                                     "96/1/1\tb\r\n";
        QTest::newRow("scrambled") << ScrambledLog(20000);
    }
    // The loader reads the file in blocks; the rows must not depend on where the blocks end.
    void loadInBlocksMatchesWholeRead() {
        QFETCH(QByteArray, bytes);
        const QByteArrayList expected = Rows(Read(bytes));
        QTemporaryDir dir;
        const QString path = dir.filePath("run.pquil");
        WriteFile(path, bytes);
        for (const std::size_t blockSize : {1, 2, 3, 7, 898, 899, 900, 1801}) {
            LogList list;
            list.AppendRow("stale\trow");
            QCOMPARE(LoadLog(path.toStdString(), list, blockSize).Status, LoadStatus::Loaded);
            QCOMPARE(Rows(list), expected);
            QCOMPARE(list.SelectedRow().value_or(-1), expected.size() - 1);
        }
    }

    // A file read in parts at once gives the rows, the answer whether it looks like a log and the hash that the
    // plain read of its bytes gives, wherever the parts begin (formats, headers and line ends as in the tables
    // above, and a byte-order mark).
    void parallelLoadMatchesPlainRead_data() {
        loadInBlocksMatchesWholeRead_data();
        QTest::newRow("older log") << QByteArray("\xA1"
                                                 "79/1/1\ta\tb\tc\r\n\xA1"
                                                 "80/1/1\ta\tb\tc\r\n\xA1No Date\ta\tb\tc\r\n");
        QTest::newRow("LF log") << QByteArray("Pacequill version 3.1 log file format\n\xA1"
                                              "d\tx\tt\ta\nb\n\xA1"
                                              "e\tx\tt\ta\n");
        QTest::newRow("byte order mark") << "\xEF\xBB\xBF" + Header +
                                                "\xA1"
                                                "d\tx\tt\tn\r\n\xA1"
                                                "e\tx\tt\tn\r\n";
        QTest::newRow("not a log") << QByteArray("Date,Distance\r\n\xA1x\r\n\xA1y\r\n");
    }
    void parallelLoadMatchesPlainRead() {
        QFETCH(QByteArray, bytes);
        LogList plain;
        const bool looksLikeLog =
            ReadLogBytes(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), plain);
        QTemporaryDir dir;
        const QString path = dir.filePath("run.pquil");
        WriteFile(path, bytes);
        for (const std::size_t blockSize : {std::size_t{1}, std::size_t{7}, LoadBlockSize}) {
            LogList list;
            const LoadResult result = LoadLog(path.toStdString(), list, blockSize, 0);
            QCOMPARE(result.Status, LoadStatus::Loaded);
            QCOMPARE(Rows(list), Rows(plain));
            QCOMPARE(result.LooksLikeLog, looksLikeLog);
            QCOMPARE(result.Hash, HashLog(path.toStdString()).Hash);
        }
    }

    // Whether a file is a log at all is decided by its first bytes, however the loader's blocks divide them.
    void looksLikeLog_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("log");
        QTest::newRow("empty file") << QByteArray() << true;
        QTest::newRow("header only") << Header << true;
        QTest::newRow("header and a record") << Header + "\xA1"
                                                         "2024/03/01\t5 Miles\t00:40:00\tNone\r\n"
                                             << true;
        QTest::newRow("header text without its line end")
            << QByteArray("Pacequill version 3.1 log file format") << true;
        QTest::newRow("older headerless log") << QByteArray("\xA1"
                                                            "96/07/04\t3 Miles\t00:24:00\tNone\r\n")
                                              << true;
        QTest::newRow("record marker alone") << QByteArray("\xA1") << true;
        QTest::newRow("CSV") << QByteArray("Date,Distance,Time,Notes\r\n2024/03/01,5 Miles,00:40:00,None\r\n") << false;
        QTest::newRow("passwd") << QByteArray("root:x:0:0:root:/root:/bin/bash\n") << false;
        QTest::newRow("start of the header only") << QByteArray("Pacequill version") << false;
        QTest::newRow("header of another version")
            << QByteArray("Pacequill version 3.0 log file format\r\n\xA1") << false;
        QTest::newRow("byte order mark before the header") << "\xEF\xBB\xBF" + Header << true;
        QTest::newRow("blank line before a record") << QByteArray("\r\n\xA1"
                                                                  "96/07/04\t3 Miles\t00:24:00\tNone")
                                                    << true;
        QTest::newRow("LF blank lines before a record") << QByteArray("\n\n\xA1") << true;
        QTest::newRow("byte order mark and a blank line before the header") << "\xEF\xBB\xBF\r\n" + Header << true;
        QTest::newRow("byte order mark before CSV") << QByteArray("\xEF\xBB\xBF"
                                                                  "Date,Distance\r\n")
                                                    << false;
        QTest::newRow("blank line before a letter") << QByteArray("\r\nDear runner,\r\n") << false;
    }
    void looksLikeLog() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, log);
        LogList read;
        QCOMPARE(ReadLogBytes(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), read), log);
        QTemporaryDir dir;
        const QString path = dir.filePath("file");
        WriteFile(path, bytes);
        for (const std::size_t blockSize : {std::size_t{1}, std::size_t{5}, LoadBlockSize}) {
            LogList list;
            const LoadResult result = LoadLog(path.toStdString(), list, blockSize);
            QCOMPARE(result.Status, LoadStatus::Loaded);
            QCOMPARE(result.LooksLikeLog, log);
            // The file's rows are read either way; whether to show them is the caller's choice.
            QCOMPARE(Rows(list), Rows(read));
        }
    }

    void currentLogWritesBackIdentically() {
        const QByteArray bytes = FileBytes(QStringLiteral(PACEQUILL_TEST_DATA "/current.pquil"));
        const std::string written = LogBytes(Read(bytes));
        QCOMPARE(QByteArray::fromStdString(written), bytes);
    }

    void logBytes_data() {
        QTest::addColumn<QByteArrayList>("rows");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("empty log") << QByteArrayList{} << Header;
        QTest::newRow("two rows") << QByteArrayList{"a\tb\tc\td", "e\tf\tg\th"}
                                  << Header + "\xA1"
                                              "a\tb\tc\td\r\n\xA1"
                                              "e\tf\tg\th\r\n";
        QTest::newRow("line break pair") << QByteArrayList{"a\tb\tc\tone\xA0\xA0two"}
                                         << Header + "\xA1"
                                                     "a\tb\tc\tone\r\ntwo\r\n";
        QTest::newRow("lone 0xA0 unchanged") << QByteArrayList{"a\tb\tc\tno\xA0"
                                                               "break\xA0"}
                                             << Header + "\xA1"
                                                         "a\tb\tc\tno\xA0"
                                                         "break\xA0\r\n";
        QTest::newRow("three 0xA0") << QByteArrayList{"a\tb\tc\t\xA0\xA0\xA0"}
                                    << Header + "\xA1"
                                                "a\tb\tc\t\r\n\xA0\r\n";
        QTest::newRow("fields cut") << QByteArrayList{QByteArray(20, 'd') + "\t" + QByteArray(16, 'e') + "\t" +
                                                      QByteArray(15, 't') + "\t" + QByteArray(800, 'n')}
                                    << Header + "\xA1" + QByteArray(15, 'd') + "\t" + QByteArray(15, 'e') + "\t" +
                                           QByteArray(15, 't') + "\t" + QByteArray(755, 'n') + "\r\n";
        QTest::newRow("empty fields") << QByteArrayList{"a"}
                                      << Header + "\xA1"
                                                  "a\t\t\t\r\n";
    }
    void logBytes() {
        QFETCH(QByteArrayList, rows);
        QFETCH(QByteArray, expected);
        LogList list;
        for (const QByteArray &row : rows) {
            list.AppendRow(row.toStdString());
        }
        QCOMPARE(QByteArray::fromStdString(LogBytes(list)), expected);
    }

    void writeThenLoad() {
        QTemporaryDir dir;
        const QString path = dir.filePath("run.pquil");
        LogList list;
        list.AppendRow("2001/01/01\t5 Miles\t00:40:00\tone\xA0\xA0two");
        list.AppendRow("No Date\t1 Marathons\t03:30:00\tNone");
        const WriteResult written = WriteLog(list, path.toStdString());
        QVERIFY2(written.Ok, written.Error.c_str());
        QCOMPARE(FileBytes(path), QByteArray::fromStdString(LogBytes(list)));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"run.pquil"});

        LogList loaded;
        QCOMPARE(LoadLog(path.toStdString(), loaded).Status, LoadStatus::Loaded);
        QCOMPARE(Rows(loaded), Rows(list));
        QCOMPARE(loaded.SelectedRow().value_or(-1), 1);
    }

    void writeKeepsPermissions() {
        QTemporaryDir dir;
        const std::string path = dir.filePath("run.pquil").toStdString();
        WriteFile(QString::fromStdString(path), "old");
        QCOMPARE(::chmod(path.c_str(), 0640), 0);
        QVERIFY(WriteFileAtomically(path, "new").Ok);
        struct stat info {};
        QCOMPARE(::stat(path.c_str(), &info), 0);
        QCOMPARE(info.st_mode & 07777, mode_t{0640});
        QCOMPARE(FileBytes(QString::fromStdString(path)), QByteArray("new"));
    }

    void writeThroughSymlinkReplacesTarget() {
        QTemporaryDir dir;
        const QString target = dir.filePath("real.pquil");
        const QString link = dir.filePath("link.pquil");
        WriteFile(target, "old");
        QVERIFY(QFile::link(target, link));
        QVERIFY(WriteFileAtomically(link.toStdString(), "new").Ok);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(FileBytes(target), QByteArray("new"));
    }

    void writeFailures_data() {
        QTest::addColumn<QString>("relativePath");
        QTest::addColumn<QString>("cause");
        QTest::newRow("missing directory") << "no/such/dir/run.pquil"
                                           << "No such file or directory";
        QTest::newRow("path is a directory") << "adir"
                                             << "Is a directory";
    }
    void writeFailures() {
        QFETCH(QString, relativePath);
        QFETCH(QString, cause);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("adir"));
        const std::string path = dir.filePath(relativePath).toStdString();
        const WriteResult result = WriteFileAtomically(path, "bytes");
        QVERIFY(!result.Ok);
        QVERIFY2(result.Error.find(path) != std::string::npos, result.Error.c_str());
        QVERIFY2(QString::fromStdString(result.Error).contains(cause), result.Error.c_str());
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"adir"});
    }

    void writeToDeviceRefused() {
        const WriteResult result = WriteFileAtomically("/dev/null", "bytes");
        QVERIFY(!result.Ok);
        QVERIFY2(result.Error.find("/dev/null") != std::string::npos, result.Error.c_str());
        QVERIFY(QFileInfo("/dev/null").exists() && !QFileInfo("/dev/null").isFile());
    }

    // A file size limit makes the write itself fail, even for root, as a full disk would.
    void failedWriteLeavesOldFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("run.pquil");
        const QByteArray old = Header + "\xA1"
                                        "a\tb\tc\td\r\n";
        WriteFile(path, old);
        rlimit saved{};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 16;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const WriteResult result = WriteFileAtomically(path.toStdString(), std::string(4096, 'n'));
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
        QVERIFY(!result.Ok);
        QVERIFY2(QString::fromStdString(result.Error).startsWith(path + ": "), result.Error.c_str());
        QCOMPARE(FileBytes(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"run.pquil"});
    }

    void loadMissingClearsList() {
        QTemporaryDir dir;
        LogList list;
        list.AppendRow("a\tb\tc\td");
        list.Select(0);
        const LoadResult result = LoadLog(dir.filePath("none.pquil").toStdString(), list);
        QCOMPARE(result.Status, LoadStatus::Missing);
        QCOMPARE(list.RowCount(), 0);
        QVERIFY(!list.SelectedRow());
    }

    void loadUnreadableKeepsList() {
        QTemporaryDir dir;
        LogList list;
        list.AppendRow("a\tb\tc\td");
        list.Select(0);
        const std::string path = dir.path().toStdString();
        const LoadResult result = LoadLog(path, list);
        QCOMPARE(result.Status, LoadStatus::Unreadable);
        QCOMPARE(QString::fromStdString(result.Error), QString::fromStdString(path) + ": Is a directory");
        QCOMPARE(Rows(list), QByteArrayList{"a|b|c|d"});
        QCOMPARE(list.SelectedRow().value_or(-1), 0);
    }
};

QTEST_APPLESS_MAIN(tst_LogFile)
#include "tst_LogFile.moc"
