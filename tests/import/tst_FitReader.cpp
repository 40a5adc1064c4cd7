#include <QtTest>

#include <functional>
#include <string>

#include "ActivitySummary.h"
#include "FitWriter.h"
#include "import/FitReader.h"

namespace {

using Session = FitWriter::Session;

constexpr std::uint32_t Start = 1100000000; // 2024-11-08T11:33:20Z in FIT time
const Session Run{Start, 1, 3600000, 3600000, 1000000};

std::string OneSession(const Session &session, bool bigEndian = false, int headerSize = 14) {
    FitWriter writer;
    writer.AddSession(session, bigEndian);
    return writer.Bytes(headerSize);
}

// The file with its CRC computed again after a change to its bytes.
std::string WithFileCrc(std::string bytes) {
    bytes.resize(bytes.size() - 2);
    const std::uint16_t crc = FitWriter::Crc(bytes, 0, bytes.size());
    bytes.push_back(static_cast<char>(crc & 0xFF));
    bytes.push_back(static_cast<char>(crc >> 8));
    return bytes;
}

} // namespace

class tst_FitReader : public QObject {
    Q_OBJECT

private slots:
    void read_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, const std::string &bytes, const std::string &expected) {
            QTest::newRow(name) << QByteArray::fromStdString(bytes) << QString::fromStdString(expected);
        };
        const char *oneRun = "2024-11-08T11:33:20Z Running run 10000.00 m 3600.000 s";

        row("little-endian, 14-byte header", OneSession(Run), oneRun);
        row("12-byte header without its CRC", OneSession(Run, false, 12), oneRun);
        row("big-endian definitions", OneSession(Run, true), oneRun);
        std::string zeroHeaderCrc = OneSession(Run);
        zeroHeaderCrc[12] = zeroHeaderCrc[13] = 0;
        row("header CRC 0 is not checked", WithFileCrc(zeroHeaderCrc), oneRun);

        row("a pause: the timer time, not the elapsed time", OneSession({Start, 1, 4000000, 3000500, 900000}),
            "2024-11-08T11:33:20Z Running run 9000.00 m 3000.500 s");
        row("another sport", OneSession({Start, 2, 5400000, 5400000, 4000000}),
            "2024-11-08T11:33:20Z Cycling other 40000.00 m 5400.000 s");
        row("a sport without a name here", OneSession({Start, 77, 60000, 60000, 100}),
            "2024-11-08T11:33:20Z Sport 77 other 1.00 m 60.000 s");
        row("sport not given", OneSession({Start, 0xFF, 60000, 60000, 100}),
            "2024-11-08T11:33:20Z - other 1.00 m 60.000 s");
        row("timer time not given: the elapsed time", OneSession({Start, 1, 1800000, 0xFFFFFFFF, 500000}),
            "2024-11-08T11:33:20Z Running run 5000.00 m 1800.000 s");
        row("distance not given", OneSession({Start, 1, 1800000, 1800000, 0xFFFFFFFF}),
            "2024-11-08T11:33:20Z Running run 0.00 m 1800.000 s");
        row("start in device time, not a date", OneSession({1000, 1, 1800000, 1800000, 500000}),
            "no-start Running run 5000.00 m 1800.000 s");
        FitWriter noStart;
        noStart.Define(0, FitWriter::SessionMessage,
                       {{253, 4, FitWriter::Uint32Type},
                        {5, 1, FitWriter::EnumType},
                        {7, 4, FitWriter::Uint32Type},
                        {9, 4, FitWriter::Uint32Type}});
        noStart.Data(0, {Start + 3600, 1, 3600000, 1000000});
        row("no start time: the timestamp less the elapsed time", noStart.Bytes(), oneRun);
        FitWriter compressedSession;
        compressedSession.Define(0, FitWriter::RecordMessage, {{253, 4, FitWriter::Uint32Type}});
        compressedSession.Data(0, {Start + 3590});
        compressedSession.Define(1, FitWriter::SessionMessage,
                                 {{5, 1, FitWriter::EnumType}, {7, 4, FitWriter::Uint32Type}});
        compressedSession.CompressedData(1, (Start + 3600) & 0x1F, {1, 3600000});
        row("start from a compressed timestamp less the elapsed time", compressedSession.Bytes(),
            "2024-11-08T11:33:20Z Running run 0.00 m 3600.000 s");

        FitWriter multisport;
        multisport.AddSession({Start, 1, 1200000, 1200000, 400000});
        multisport.AddSession({Start + 1200, 3, 60000, 60000, 0});
        multisport.AddSession({Start + 1260, 2, 2400000, 2400000, 2000000});
        multisport.AddSession({Start + 3660, 1, 900000, 900000, 300000});
        row("several sessions, one per sport", multisport.Bytes(),
            "2024-11-08T11:33:20Z Running run 4000.00 m 1200.000 s | 2024-11-08T11:53:20Z Transition other 0.00 m "
            "60.000 s | 2024-11-08T11:54:20Z Cycling other 20000.00 m 2400.000 s | 2024-11-08T12:34:20Z Running "
            "run 3000.00 m 900.000 s");

        FitWriter records;
        records.AddRecords(Start, 100, true);
        records.AddSession(Run);
        row("records with compressed timestamps before the session", records.Bytes(), oneRun);

        FitWriter developer;
        developer.Define(3, FitWriter::RecordMessage, {{253, 4, FitWriter::Uint32Type}}, false, {2, 17, 1});
        developer.Data(3, {Start});
        developer.Data(3, {Start + 1});
        developer.AddSession(Run);
        row("developer fields skipped by their sizes", developer.Bytes(), oneRun);

        FitWriter redefined;
        redefined.Define(1, FitWriter::RecordMessage, {{253, 4, FitWriter::Uint32Type}}, true);
        redefined.Data(1, {Start});
        redefined.AddSession(Run); // local type 1 defined again as a session
        row("a local type defined again", redefined.Bytes(), oneRun);

        row("two FIT files in a row", OneSession(Run) + OneSession({Start + 86400, 1, 60000, 60000, 1000}),
            "2024-11-08T11:33:20Z Running run 10000.00 m 3600.000 s | 2024-11-09T11:33:20Z Running run 10.00 m "
            "60.000 s");

        FitWriter noSession;
        noSession.AddRecords(Start, 10);
        row("no session", noSession.Bytes(),
            "2024-11-08T11:33:20Z - run 27.00 m 9.000 s (its session is missing; the run was rebuilt from its "
            "records)");

        const std::string good = OneSession(Run);
        std::string badHeader = good;
        badHeader[12] = static_cast<char>(badHeader[12] ^ 0x01);
        row("bad header CRC", badHeader, "error: byte 0: the header's CRC is 0x");
        std::string badFile = good;
        badFile[20] = static_cast<char>(badFile[20] ^ 0x40);
        const std::string kept = "2024-11-08T11:33:20Z Running run 10000.00 m 3600.000 s (";
        row("bad file CRC", badFile, kept + "the file's CRC is 0x");
        row("truncated in the data", good.substr(0, good.size() - 10),
            "error: byte 49: the file ends before its data does (8 bytes missing)");
        row("truncated in the CRC", good.substr(0, good.size() - 1),
            kept + "the file ends before its CRC at byte 71; what came before it was kept)");
        row("truncated in the header", good.substr(0, 13), "error: byte 0: the file ends inside a FIT header");
        row("empty", std::string(), "error: not a GPX, TCX, FIT or CSV file");
        row("trailing bytes", good + std::string(16, '\0'),
            kept + "bytes after the end of the FIT data at byte 73; what came before it was kept)");

        FitWriter early;
        early.Define(0, FitWriter::RecordMessage, {{253, 4, FitWriter::Uint32Type}});
        early.Data(0, {Start});
        std::string undefined = early.Bytes();
        undefined[14 + 9] = 5; // the data message's header names local type 5
        row("data before its definition", WithFileCrc(undefined),
            "error: byte 23: a data message of local type 5 comes before its definition");
        std::string architecture = early.Bytes();
        architecture[14 + 2] = 2;
        row("architecture neither 0 nor 1", WithFileCrc(architecture),
            "error: byte 14: a definition message's architecture is 2, neither 0 nor 1");
        std::string shortData = early.Bytes();
        shortData[4] = 12; // the data ends inside the data message
        row("a message past the data's end", shortData,
            "error: byte 0: the header's CRC is"); // the header CRC covers the size
        std::string shortUnchecked = early.Bytes(12);
        shortUnchecked[4] = 12;
        row("a message past the data's end, header unchecked", WithFileCrc(shortUnchecked),
            "error: byte 21: a data message runs past the end of the FIT data");
    }
    void read() {
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        const QString summary = QString::fromStdString(ReadAndSummarize(file.toStdString()));
        QVERIFY2(summary.startsWith(expected), qPrintable(summary));
    }

    void sportNames_data() {
        QTest::addColumn<unsigned>("sport");
        QTest::addColumn<QString>("name");
        QTest::newRow("generic") << 0u << "Generic";
        QTest::newRow("running") << 1u << "Running";
        QTest::newRow("walking") << 11u << "Walking";
        QTest::newRow("hiking") << 17u << "Hiking";
        QTest::newRow("paddling") << 19u << "Paddling";
        QTest::newRow("beyond the table") << 20u << "Sport 20";
    }
    void sportNames() {
        QFETCH(unsigned, sport);
        QFETCH(QString, name);
        QCOMPARE(QString::fromStdString(pq::FitReader::SportName(sport)), name);
    }
};

QTEST_APPLESS_MAIN(tst_FitReader)
#include "tst_FitReader.moc"
