#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>
#include <string>
#include <vector>

#include "import/CsvRows.h"
#include "log/LogList.h"

namespace {

const std::string Header = "Date,Distance,Time,Notes\r\n";

struct Rows {
    std::vector<std::string> Joined; // each row's texts joined by TABs, as a row text
    std::vector<std::size_t> Lines;
    std::optional<pq::ReadError> Error;
};

pq::CsvRowSink Collect(Rows &rows) {
    return [&rows](const pq::LogEntry &entry, std::size_t line) {
        rows.Joined.push_back(pq::LogList::JoinEntry(entry));
        rows.Lines.push_back(line);
    };
}

} // namespace

// The rows of a CSV file as the import takes them: the same from a file read in blocks as from the text held
// whole, the file's own failures named with its path.
class tst_CsvRows : public QObject {
    Q_OBJECT

private:
    QTemporaryDir Temp;

    QString Write(const QString &name, const std::string &bytes) {
        QFile file(Temp.filePath(name));
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write(bytes.data(), qint64(bytes.size()));
        return file.fileName();
    }

private slots:
    // Rows long enough to cross the blocks the file is read in at every place: inside a quoted line break,
    // between a CR and its LF, inside a doubled quote.
    void fileReadInBlocksGivesTheTextsRows() {
        std::string text = "\xEF\xBB\xBF" + Header;
        std::string notes;
        for (int row = 0; text.size() < 300000; ++row) {
            notes = std::string(static_cast<std::size_t>(row % 97), 'n') + "\"\"" + std::string(row % 5, 'q');
            text += "2020/01/01,1 Miles,00:10:" + std::to_string(10 + row % 50) + ",\"" + notes + "\r\nx\"\r\n";
        }
        const QString path = Write("big.csv", text);
        Rows fromFile;
        fromFile.Error = pq::ReadCsvFile(path.toStdString(), Collect(fromFile));
        Rows fromText;
        fromText.Error = pq::ReadCsvText(text, "big.csv", Collect(fromText));
        QVERIFY(!fromFile.Error);
        QVERIFY(!fromText.Error);
        QVERIFY(fromFile.Joined.size() > 2000);
        QVERIFY(fromFile.Joined == fromText.Joined);
        QVERIFY(fromFile.Lines == fromText.Lines);
        QCOMPARE(fromFile.Lines[1], std::size_t{4});
        QCOMPARE(fromFile.Joined[1], std::string("2020/01/01\t1 Miles\t00:10:11\tn\"q\xA0\xA0x"));
    }

    void failuresNameTheFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes"); // empty: no file is written
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("rowsBefore");

        QTest::newRow("missing") << "none.csv" << QByteArray() << "none.csv: No such file or directory" << 0;
        QTest::newRow("no header") << "rows.csv" << QByteArray("2020/01/01,1 Miles,00:10:00,\r\n")
                                   << "rows.csv: line 1: the first line must be the header Date,Distance,Time,Notes"
                                   << 0;
        QTest::newRow("a bad row after good ones")
            << "bad.csv"
            << QByteArray(
                   "Date,Distance,Time,Notes\r\n2020/01/01,1 Miles,00:10:00,\r\n\r\n2020/01/02,1 Mile,00:10:00,\r\n")
            << "bad.csv: line 4: Distance: '1 Mile': " << 1;
    }
    void failuresNameTheFile() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        QFETCH(int, rowsBefore);
        const QString path = bytes.isEmpty() ? Temp.filePath(name) : Write(name, bytes.toStdString());
        Rows rows;
        const std::optional<pq::ReadError> failure = pq::ReadCsvFile(path.toStdString(), Collect(rows));
        QVERIFY(failure);
        const QString text = QString::fromStdString(failure->Text()).remove(Temp.path() + "/");
        QVERIFY2(text.startsWith(error), qPrintable(text));
        QCOMPARE(int(rows.Joined.size()), rowsBefore);
    }

    void directoryIsRefused() {
        Rows rows;
        const std::optional<pq::ReadError> failure = pq::ReadCsvFile(Temp.path().toStdString(), Collect(rows));
        QVERIFY(failure);
        QCOMPARE(failure->Reason, std::string("Is a directory"));
    }

    void takenAsCsv_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("csv");
        QTest::newRow("content says CSV") << int(pq::FileFormat::Csv) << "export.txt" << true;
        QTest::newRow("unknown content, .csv name") << int(pq::FileFormat::Unknown) << "rows.CSV" << true;
        QTest::newRow("unknown content, other name") << int(pq::FileFormat::Unknown) << "rows.txt" << false;
        QTest::newRow("GPX content, .csv name") << int(pq::FileFormat::Gpx) << "run.csv" << false;
        QTest::newRow("the suffix alone") << int(pq::FileFormat::Unknown) << ".csv" << true;
    }
    void takenAsCsv() {
        QFETCH(int, format);
        QFETCH(QString, path);
        QFETCH(bool, csv);
        QCOMPARE(pq::TakenAsCsv(static_cast<pq::FileFormat>(format), path.toStdString()), csv);
    }
};

QTEST_APPLESS_MAIN(tst_CsvRows)
#include "tst_CsvRows.moc"
