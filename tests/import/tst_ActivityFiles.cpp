#include <QtTest>

#include <QTemporaryDir>

#include "ActivitySummary.h"
#include "FitWriter.h"
#include "import/ActivityFiles.h"
#include "import/IsoTime.h"

class tst_ActivityFiles : public QObject {
    Q_OBJECT

private slots:
    void detect_data() {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<int>("format");
        const auto fit = [] {
            FitWriter writer;
            writer.AddSession({});
            return QByteArray::fromStdString(writer.Bytes());
        };
        QTest::newRow("FIT") << fit() << int(pq::FileFormat::Fit);
        QTest::newRow("FIT named nothing like it, 12-byte header")
            << QByteArray("\x0c\x10\x00\x00\x00\x00\x00\x00.FIT", 12) << int(pq::FileFormat::Fit);
        QTest::newRow("GPX") << QByteArray("<?xml version=\"1.0\"?>\n<gpx version=\"1.1\">")
                             << int(pq::FileFormat::Gpx);
        QTest::newRow("GPX with BOM, comment and prefix")
            << QByteArray("\xEF\xBB\xBF<!-- x --><!DOCTYPE g><g:gpx xmlns:g=\"http://www.topografix.com/GPX/1/1\">")
            << int(pq::FileFormat::Gpx);
        QTest::newRow("TCX") << QByteArray("<TrainingCenterDatabase xmlns=\"x\">") << int(pq::FileFormat::Tcx);
        QTest::newRow("CSV") << QByteArray("Date,Distance,Time,Notes\r\n") << int(pq::FileFormat::Csv);
        QTest::newRow("CSV, BOM and any case") << QByteArray("\xEF\xBB\xBF"
                                                             "DATE,distance,Time,notes\n")
                                               << int(pq::FileFormat::Csv);
        QTest::newRow("another CSV") << QByteArray("Date,Miles\n") << int(pq::FileFormat::Unknown);
        QTest::newRow("a log") << QByteArray("Pacequill version 3.1 log file format\r\n")
                               << int(pq::FileFormat::Unknown);
        QTest::newRow("KML") << QByteArray("<kml>") << int(pq::FileFormat::Unknown);
        QTest::newRow("comment not closed") << QByteArray("<!-- <gpx>") << int(pq::FileFormat::Unknown);
        QTest::newRow("empty") << QByteArray() << int(pq::FileFormat::Unknown);
    }
    void detect() {
        QFETCH(QByteArray, head);
        QFETCH(int, format);
        QCOMPARE(int(pq::DetectFormat(head.toStdString())), format);
    }

    void isoTime_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("seconds"); // -1: not a time
        QTest::newRow("epoch") << "1970-01-01T00:00:00Z" << 0.0;
        QTest::newRow("leap day") << "2024-02-29T12:00:00Z" << 1709208000.0;
        QTest::newRow("fraction") << "2024-02-29T12:00:00.25Z" << 1709208000.25;
        QTest::newRow("east of UTC") << "2024-02-29T13:30:00+01:30" << 1709208000.0;
        QTest::newRow("west of UTC") << "2024-02-29T07:00:00-05:00" << 1709208000.0;
        QTest::newRow("no zone is UTC") << " 2024-02-29T12:00:00 " << 1709208000.0;
        QTest::newRow("no leap day") << "2023-02-29T12:00:00Z" << -1.0;
        QTest::newRow("month 13") << "2023-13-01T12:00:00Z" << -1.0;
        QTest::newRow("date only") << "2023-01-01" << -1.0;
        QTest::newRow("text after") << "2023-01-01T00:00:00Zx" << -1.0;
        QTest::newRow("empty fraction") << "2023-01-01T00:00:00.Z" << -1.0;
    }
    void isoTime() {
        QFETCH(QString, text);
        QFETCH(double, seconds);
        const std::optional<double> parsed = pq::ParseIsoTime(text.toStdString());
        QCOMPARE(parsed.value_or(-1.0), seconds);
    }

    // Files checked by hand (see the comments inside the text files). session.fit: a 14-byte header, one
    // big-endian definition of the session message with start time, sport, timer time and distance, one data
    // message: start 1118000000 (2025-06-04T19:33:20Z), sport 1, timer 1800500 ms, distance 500000 cm.
    void goldenFiles_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("expected");
        QTest::newRow("GPX") << "two-segments.gpx"
                             << "2025-06-14T05:30:00Z running run 3335.85 m 900.000 s 'Tempo & hills'";
        QTest::newRow("TCX") << "brick.tcx"
                             << "2025-06-14T05:00:00Z Biking other 10000.00 m 1200.000 s | 2025-06-14T05:25:00Z "
                                "Running run 3218.69 m 845.600 s";
        QTest::newRow("FIT") << "session.fit"
                             << "2025-06-04T19:33:20Z Running run 5000.00 m 1800.500 s";
    }
    void goldenFiles() {
        QFETCH(QString, file);
        QFETCH(QString, expected);
        const std::string path = PACEQUILL_TEST_DATA "/import/" + file.toStdString();
        QCOMPARE(QString::fromStdString(Summarize(pq::ReadActivityFile(path))), expected);
    }

    void unreadableFiles() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const std::string missing = dir.filePath("missing.gpx").toStdString();
        pq::FileActivities result = pq::ReadActivityFile(missing);
        QVERIFY(result.Error);
        QCOMPARE(result.Error->Text(), missing + ": No such file or directory");
        result = pq::ReadActivityFile(dir.path().toStdString());
        QVERIFY(result.Error);
        QCOMPARE(result.Error->Reason, std::string("not a regular file"));
    }

    // A file larger than one block is read in blocks, so a record cut by a block's end must still be read.
    void largeFit() {
        FitWriter writer;
        writer.AddRecords(1100000000, 200000, true);
        writer.AddSession({1100000000, 1, 200000000, 200000000, 60000000});
        const std::string bytes = writer.Bytes();
        QVERIFY(bytes.size() > 2 * pq::ActivityBlockSize);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile file(dir.filePath("large.bin"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), qint64(bytes.size()));
        file.close();
        QCOMPARE(Summarize(pq::ReadActivityFile(file.fileName().toStdString())),
                 std::string("2024-11-08T11:33:20Z Running run 600000.00 m 200000.000 s"));
    }
};

QTEST_APPLESS_MAIN(tst_ActivityFiles)
#include "tst_ActivityFiles.moc"
