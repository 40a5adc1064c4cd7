#include <QtTest>

#include <string>
#include <string_view>
#include <vector>

#include "import/CsvReader.h"

namespace {

using Records = std::vector<std::vector<std::string>>;

constexpr pq::CsvReader::Limits Wide = {8, 64};

// The records of a text handed over in blocks of the given size, and how the reading ended.
struct Reading {
    Records Read;
    std::vector<std::size_t> Lines;
    std::string Ending; // "end", or "line N: reason"
};

Reading ReadInBlocks(std::string_view text, std::size_t blockSize, pq::CsvReader::Limits limits) {
    std::size_t pos = 0;
    pq::CsvReader reader(
        [&]() {
            const std::string_view block = text.substr(pos, blockSize);
            pos += block.size();
            return block;
        },
        limits);
    Reading reading;
    std::vector<std::string> fields;
    for (;;) {
        const pq::CsvReader::Outcome outcome = reader.Next(fields);
        if (outcome == pq::CsvReader::Outcome::Record) {
            reading.Read.push_back(fields);
            reading.Lines.push_back(reader.RecordLine());
            continue;
        }
        reading.Ending = outcome == pq::CsvReader::Outcome::End
                             ? std::string("end")
                             : "line " + std::to_string(reader.Refused().Line) + ": " + reader.Refused().Reason;
        // A refused reader stays refused.
        if (outcome == pq::CsvReader::Outcome::Refused && reader.Next(fields) != pq::CsvReader::Outcome::Refused) {
            reading.Ending = "read on after a refusal";
        }
        return reading;
    }
}

} // namespace

Q_DECLARE_METATYPE(Records)
Q_DECLARE_METATYPE(std::vector<std::size_t>)

// The records of RFC 4180 text, and the refusals with their lines, are the same however the text is cut into
// blocks: a line break, a doubled quote or a field may span any two blocks.
class tst_CsvReader : public QObject {
    Q_OBJECT

private slots:
    void sameInEveryBlockSize_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<Records>("records");
        QTest::addColumn<std::vector<std::size_t>>("lines");
        QTest::addColumn<QString>("ending");

        QTest::newRow("empty") << QByteArray() << Records{} << std::vector<std::size_t>{} << "end";
        QTest::newRow("line ends of every kind")
            << QByteArray("a,b\r\nc\nd,,e\rf") << Records{{"a", "b"}, {"c"}, {"d", "", "e"}, {"f"}}
            << std::vector<std::size_t>{1, 2, 3, 4} << "end";
        QTest::newRow("a blank line is one empty field") << QByteArray("a\r\n\r\nb\r\n") << Records{{"a"}, {""}, {"b"}}
                                                         << std::vector<std::size_t>{1, 2, 3} << "end";
        QTest::newRow("quoted fields keep commas, quotes and line breaks")
            << QByteArray("\"x,y\",\"say \"\"hi\"\"\"\r\n\"two\r\nlines\",\"\"\r\nz")
            << Records{{"x,y", "say \"hi\""}, {"two\r\nlines", ""}, {"z"}} << std::vector<std::size_t>{1, 2, 4}
            << "end";
        QTest::newRow("a quote inside an unquoted field stands")
            << QByteArray("ab\"c,d\r\n") << Records{{"ab\"c", "d"}} << std::vector<std::size_t>{1} << "end";
        QTest::newRow("a quoted field not closed")
            << QByteArray("a\r\n\"open\r\nstill") << Records{{"a"}} << std::vector<std::size_t>{1}
            << "line 2: a quoted field is not closed";
        QTest::newRow("text after a closing quote")
            << QByteArray("\"a\r\nb\"c,d") << Records{} << std::vector<std::size_t>{}
            << "line 2: text after the closing quote of a field";
        QTest::newRow("more fields than a record may hold")
            << QByteArray("ok\r\n,,,,,,,,\r\n") << Records{{"ok"}} << std::vector<std::size_t>{1}
            << "line 2: more than 8 fields in one record";
        QTest::newRow("more bytes than a record may hold, counted over its fields")
            << QByteArray("a,\"" + QByteArray(40, 'q') + "\"," + QByteArray(30, 'u') + "\r\n") << Records{}
            << std::vector<std::size_t>{} << "line 1: more than 64 bytes of text in one record";
        QTest::newRow("line breaks in a quoted field count as bytes")
            << QByteArray("\"" + QByteArray(50, '\n') + QByteArray(20, '\r') + "\"") << Records{}
            << std::vector<std::size_t>{} << "line 1: more than 64 bytes of text in one record";
        QTest::newRow("exactly the most bytes")
            << QByteArray(QByteArray(32, 'a') + "," + QByteArray(32, 'b'))
            << Records{{std::string(32, 'a'), std::string(32, 'b')}} << std::vector<std::size_t>{1} << "end";
    }
    void sameInEveryBlockSize() {
        QFETCH(QByteArray, text);
        QFETCH(Records, records);
        QFETCH(std::vector<std::size_t>, lines);
        QFETCH(QString, ending);
        const std::string_view whole(text.constData(), static_cast<std::size_t>(text.size()));
        for (std::size_t blockSize = 1; blockSize <= whole.size() + 1; ++blockSize) {
            const Reading reading = ReadInBlocks(whole, blockSize, Wide);
            QVERIFY2(reading.Read == records, qPrintable(QString("block size %1").arg(blockSize)));
            QVERIFY2(reading.Lines == lines, qPrintable(QString("block size %1").arg(blockSize)));
            QCOMPARE(QString::fromStdString(reading.Ending), ending);
        }
        pq::CsvReader held(whole, Wide);
        std::vector<std::string> fields;
        Records read;
        while (held.Next(fields) == pq::CsvReader::Outcome::Record) {
            read.push_back(fields);
        }
        QVERIFY(read == records);
    }

    // A record beyond the limit is refused while it is read, not after the whole text has come in.
    void refusesBeforeTheTextEnds() {
        std::size_t blocksAsked = 0;
        const std::string block(16, ',');
        pq::CsvReader reader(
            [&]() {
                ++blocksAsked;
                return std::string_view(block);
            },
            Wide);
        std::vector<std::string> fields;
        QCOMPARE(reader.Next(fields), pq::CsvReader::Outcome::Refused);
        QCOMPARE(blocksAsked, std::size_t{1});
    }
};

QTEST_APPLESS_MAIN(tst_CsvReader)
#include "tst_CsvReader.moc"
