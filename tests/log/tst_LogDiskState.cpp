#include <QtTest>

#include "log/ByteHash.h"
#include "log/LogDiskState.h"
#include "log/LogFile.h"

using namespace pq;

class tst_LogDiskState : public QObject {
    Q_OBJECT

private slots:
    // The hash of bytes fed in pieces is the hash of them fed whole, wherever the pieces end, and so is the sum of
    // the pieces hashed apart, taken in any order.
    void hashInPieces_data() {
        QTest::addColumn<QList<int>>("pieces");
        QTest::newRow("whole") << QList<int>{24};
        QTest::newRow("bytes one by one") << QList<int>(24, 1);
        QTest::newRow("across words") << QList<int>{3, 0, 9, 5, 7};
        QTest::newRow("whole words") << QList<int>{8, 8, 8};
    }
    void hashInPieces() {
        QFETCH(QList<int>, pieces);
        const std::string bytes = "\xA1"
                                  "2024/03/01\t3 Miles\t0\r\n\xA0";
        QCOMPARE(bytes.size(), std::size_t{24});
        ByteHash whole;
        whole.Feed(bytes);
        ByteHash fed;
        ByteHash apart;
        std::size_t at = 0;
        for (const int size : pieces) {
            const std::string_view piece = std::string_view(bytes).substr(at, static_cast<std::size_t>(size));
            fed.Feed(piece);
            ByteHash alone(at);
            alone.Feed(piece);
            // Out of order: each piece takes in those before it.
            alone.Add(apart);
            apart = alone;
            at += static_cast<std::size_t>(size);
        }
        QCOMPARE(fed.Value(), whole.Value());
        QCOMPARE(apart.Value(), whole.Value());
        whole.Feed("x");
        QVERIFY(fed.Value() != whole.Value());
        std::string oneByteOff = bytes;
        oneByteOff[5] = '5';
        ByteHash changed;
        changed.Feed(oneByteOff);
        QVERIFY(changed.Value() != fed.Value());
    }

    // The hash read in blocks equals the hash of the bytes read whole, across block ends and odd tails; a changed
    // byte or a rewrite by rename shows.
    void hashAndIdentity() {
        QTemporaryDir dir;
        const std::string path = dir.filePath("runs.pquil").toStdString();
        std::string bytes = "Pacequill version 3.1 log file format\r\n";
        while (bytes.size() < (std::size_t{3} << 20) + 5) {
            bytes += "\xA1"
                     "2024/03/01\t3 Miles\t00:24:00\tEasy\r\n";
        }
        QVERIFY(WriteFileAtomically(path, bytes).Ok);
        const LogDiskState hashed = HashLog(path);
        LogList rows;
        LogDiskState read;
        std::string error;
        QVERIFY(ReadLogWithState(path, rows, read, error));
        QVERIFY(read.Exists);
        QVERIFY(read.SameIdentity(hashed));
        QCOMPARE(read.Hash, hashed.Hash);
        QVERIFY(read.Hash != 0);

        bytes[bytes.size() - 3] = 'z';
        QVERIFY(WriteFileAtomically(path, bytes).Ok);
        const LogDiskState changed = HashLog(path);
        QVERIFY(!changed.SameIdentity(hashed));
        QVERIFY(changed.Hash != hashed.Hash);

        QVERIFY(QFile::remove(QString::fromStdString(path)));
        QVERIFY(!StatLog(path).Exists);
        QVERIFY(ReadLogWithState(path, rows, read, error));
        QVERIFY(!read.Exists);
        QCOMPARE(rows.RowCount(), 0);
    }
};

QTEST_APPLESS_MAIN(tst_LogDiskState)
#include "tst_LogDiskState.moc"
