#include <QtTest>

#include <algorithm>
#include <string>
#include <vector>

#include "log/LogFile.h"

using namespace pq;

namespace {

constexpr int ByteValues = 256;
constexpr char Nul = '\0';
constexpr std::string_view HeaderLine = "Pacequill version 3.1 log file format\r\n";

const LogEntry Before{"2001/05/31", "3 Miles", "00:24:00", "Before"};
const LogEntry Plain{"2001/06/01", "5 Miles", "00:40:00", "Easy run"};
const LogEntry After{"2001/06/02", "6 Miles", "00:48:00", "After"};

// Where the byte goes in its field: the whole field, after the first character, at the end, or twice in a row
// after the first character (a pair, which matters for 0xA0 in the notes).
enum class Place { Alone, Inside, End, Pair };
constexpr Place Places[] = {Place::Alone, Place::Inside, Place::End, Place::Pair};

const char *PlaceName(Place place) {
    switch (place) {
    case Place::Alone:
        return "alone";
    case Place::Inside:
        return "inside";
    case Place::End:
        return "end";
    default:
        return "pair";
    }
}

std::string &FieldOf(LogEntry &entry, int column) {
    std::string *fields[ColumnCount] = {&entry.Date, &entry.Distance, &entry.Time, &entry.Notes};
    return *fields[column];
}

std::string WithByte(const std::string &text, char byte, Place place) {
    switch (place) {
    case Place::Alone:
        return std::string(1, byte);
    case Place::Inside:
        return text.substr(0, 1) + byte + text.substr(1);
    case Place::End:
        return text + byte;
    default:
        return text.substr(0, 1) + byte + byte + text.substr(1);
    }
}

// The rows a record's text gives when it is read: split at TABs by the list's row-text rules, or no row at all
// when the text is empty.
std::vector<LogEntry> RowsOfText(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    LogList list;
    list.AppendRow(text);
    return {list.ReadEntry(0)};
}

// What the log reads back for the row holding the byte, case by case as the file format has it.
std::vector<LogEntry> ExpectedRows(const LogEntry &row, unsigned char byte, int column) {
    const std::string joined = LogList::JoinEntry(row);
    switch (byte) {
    case 0x00:
        // A NUL ends the record's text: the bytes after it, in this field and the later ones, are not read. A
        // NUL first in the record leaves no row at all.
        return RowsOfText(std::string_view(joined).substr(0, joined.find(Nul)));
    case 0x09:
        // Notes take everything after the third TAB, TAB included. In the first three fields a TAB is a field
        // boundary: the texts move on by one field, and a run of TABs counts as one boundary.
        return column == NotesColumn ? std::vector<LogEntry>{row} : RowsOfText(joined);
    case 0x0A:
    case 0x0D: {
        // Inside a record every CR and LF is read as the stored line-break byte, in any field.
        LogEntry expected = row;
        std::replace(FieldOf(expected, column).begin(), FieldOf(expected, column).end(), static_cast<char>(byte),
                     StoredLineBreak);
        return {expected};
    }
    case 0xA1: {
        // The record marker starts a new record: the row comes back as two, split where the byte stood (the
        // entry editor and the import refuse this byte, so a log never holds it).
        const std::size_t marker = joined.find(RecordMarker);
        const std::size_t nextMarker = joined.find(RecordMarker, marker + 1);
        std::vector<LogEntry> rows = RowsOfText(std::string_view(joined).substr(0, marker));
        if (nextMarker != std::string::npos) {
            for (LogEntry &between : RowsOfText(std::string_view(joined).substr(marker + 1, nextMarker - marker - 1)))
                rows.push_back(between);
        }
        const std::size_t last = nextMarker == std::string::npos ? marker : nextMarker;
        for (LogEntry &rest : RowsOfText(std::string_view(joined).substr(last + 1)))
            rows.push_back(rest);
        return rows;
    }
    default:
        // Every other byte, 0xA0 alone or paired included, comes back as it was.
        return {row};
    }
}

QString Describe(const LogEntry &entry) {
    QStringList fields;
    for (int column = 0; column < ColumnCount; ++column) {
        fields << QString::fromLatin1(QByteArray::fromStdString(entry.Field(column)).toHex(' '));
    }
    return fields.join(QStringLiteral(" | "));
}

std::vector<LogEntry> WriteAndRead(const std::vector<LogEntry> &rows) {
    LogList written;
    for (const LogEntry &row : rows) {
        written.AppendEntry(row);
    }
    LogList read;
    ReadLogBytes(LogBytes(written), read);
    std::vector<LogEntry> result;
    result.reserve(static_cast<std::size_t>(read.RowCount()));
    for (int i = 0; i < read.RowCount(); ++i) {
        result.push_back(read.ReadEntry(i));
    }
    return result;
}

} // namespace

class tst_EveryByteEveryField : public QObject {
    Q_OBJECT

private slots:
    void byteThroughWriteAndRead_data() {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("column");
        const char *columnNames[ColumnCount] = {"Date", "Distance", "Time", "Notes"};
        for (int byte = 0; byte < ByteValues; ++byte) {
            for (int column = 0; column < ColumnCount; ++column) {
                QTest::addRow("0x%02X in %s", byte, columnNames[column]) << byte << column;
            }
        }
    }

    // The row holding the byte comes back as the format says, and the rows before and after it are untouched.
    void byteThroughWriteAndRead() {
        QFETCH(int, byte);
        QFETCH(int, column);
        for (const Place place : Places) {
            LogEntry row = Plain;
            FieldOf(row, column) = WithByte(Plain.Field(column), static_cast<char>(byte), place);

            std::vector<LogEntry> expected{Before};
            for (const LogEntry &middle : ExpectedRows(row, static_cast<unsigned char>(byte), column)) {
                expected.push_back(middle);
            }
            expected.push_back(After);

            const std::vector<LogEntry> read = WriteAndRead({Before, row, After});
            QVERIFY2(read.size() == expected.size(), qPrintable(QStringLiteral("%1: %2 rows read, %3 expected")
                                                                    .arg(PlaceName(place))
                                                                    .arg(read.size())
                                                                    .arg(expected.size())));
            for (std::size_t i = 0; i < read.size(); ++i) {
                QVERIFY2(read[i] == expected[i], qPrintable(QStringLiteral("%1, row %2: read %3, expected %4")
                                                                .arg(PlaceName(place))
                                                                .arg(i)
                                                                .arg(Describe(read[i]), Describe(expected[i]))));
            }
        }
    }

    void byteOutcomesStatedPlainly_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QList<QByteArrayList>>("rows");
        const auto rows = [](std::initializer_list<QByteArrayList> list) { return QList<QByteArrayList>(list); };

        QTest::newRow("no-break space alone in notes")
            << 3 << QByteArray("a\xA0z") << rows({{"2001/06/01", "5 Miles", "00:40:00", "a\xA0z"}});
        QTest::newRow("line break in notes")
            << 3 << QByteArray("a\xA0\xA0z") << rows({{"2001/06/01", "5 Miles", "00:40:00", "a\xA0\xA0z"}});
        QTest::newRow("three 0xA0 in notes")
            << 3 << QByteArray("a\xA0\xA0\xA0z") << rows({{"2001/06/01", "5 Miles", "00:40:00", "a\xA0\xA0\xA0z"}});
        QTest::newRow("CR LF in notes") << 3 << QByteArray("a\r\nz")
                                        << rows({{"2001/06/01", "5 Miles", "00:40:00", "a\xA0\xA0z"}});
        QTest::newRow("TAB in notes") << 3 << QByteArray("a\tz")
                                      << rows({{"2001/06/01", "5 Miles", "00:40:00", "a\tz"}});
        QTest::newRow("TAB in date") << 0 << QByteArray("2001\t06")
                                     << rows({{"2001", "06", "5 Miles", "00:40:00\tEasy run"}});
        QTest::newRow("LF in time") << 2 << QByteArray("00:40\n00")
                                    << rows({{"2001/06/01", "5 Miles",
                                              "00:40\xA0"
                                              "00",
                                              "Easy run"}});
        QTest::newRow("NUL in distance") << 1 << QByteArray("5\0 Miles", 8) << rows({{"2001/06/01", "5", "", ""}});
        QTest::newRow("NUL first in date") << 0 << QByteArray("\0", 1) << rows({});
        QTest::newRow("marker in notes") << 3 << QByteArray("Easy\xA1run")
                                         << rows({{"2001/06/01", "5 Miles", "00:40:00", "Easy"}, {"run", "", "", ""}});
        QTest::newRow("empty date") << 0 << QByteArray() << rows({{"5 Miles", "00:40:00", "Easy run", ""}});
        QTest::newRow("empty distance") << 1 << QByteArray() << rows({{"2001/06/01", "00:40:00", "Easy run", ""}});
        QTest::newRow("empty time") << 2 << QByteArray() << rows({{"2001/06/01", "5 Miles", "Easy run", ""}});
        QTest::newRow("empty notes") << 3 << QByteArray() << rows({{"2001/06/01", "5 Miles", "00:40:00", ""}});
    }

    // The outcomes above, row by row as a reader of the file sees them.
    void byteOutcomesStatedPlainly() {
        QFETCH(int, column);
        QFETCH(QByteArray, text);
        QFETCH(QList<QByteArrayList>, rows);
        LogEntry row = Plain;
        FieldOf(row, column) = text.toStdString();
        std::vector<LogEntry> expected{Before};
        for (const QByteArrayList &fields : rows) {
            expected.push_back(
                {fields[0].toStdString(), fields[1].toStdString(), fields[2].toStdString(), fields[3].toStdString()});
        }
        expected.push_back(After);
        const std::vector<LogEntry> read = WriteAndRead({Before, row, After});
        QCOMPARE(read.size(), expected.size());
        for (std::size_t i = 0; i < read.size(); ++i) {
            QVERIFY2(read[i] == expected[i], qPrintable(Describe(read[i])));
        }
    }

    // Stored line breaks go to the file as CR LF, a lone 0xA0 as itself; nothing else of the notes changes.
    void notesBytesInTheFile() {
        LogList list;
        list.AppendEntry({"2001/06/01", "5 Miles", "00:40:00",
                          "a\xA0\xA0"
                          "b\xA0"
                          "c\xA0\xA0\xA0"});
        const std::string expected = std::string(HeaderLine) + "\xA1"
                                                               "2001/06/01\t5 Miles\t00:40:00\ta\r\nb\xA0"
                                                               "c\r\n\xA0\r\n";
        QCOMPARE(LogBytes(list), expected);
    }
};

QTEST_APPLESS_MAIN(tst_EveryByteEveryField)
#include "tst_EveryByteEveryField.moc"
