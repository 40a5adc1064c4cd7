#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "DrillPrograms.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t InputBytes = std::size_t{32} << 20;
// pquil may take three times its input, plus what the program itself needs to start.
constexpr std::size_t MemoryMultiple = 3;
constexpr std::size_t ProgramAllowanceKiB = std::size_t{16} << 10;
constexpr std::size_t KiB = 1024;
constexpr auto RunLimit = std::chrono::seconds(120);
constexpr int PquilSuccess = 0;
constexpr int PquilFailure = 1;
const std::string Header = "Date,Distance,Time,Notes\r\n";
const std::string ShortestRow = "No Date,1 Miles,00:00:00,\n"; // the shortest row the entry editor could write
const std::string BadRow = "No Date,1 Miles,0:00:00,\n";
constexpr char RecordMarker = '\xA1';
// Runs a program under an address-space limit.
constexpr char UnderLimitScript[] = "ulimit -v \"$1\" && shift && exec \"$@\"";
constexpr char Shell[] = "/bin/sh";

std::string ReadText(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The header, then the body's pattern repeated to the input size, then the tail.
void WriteCsv(const fs::path &path, const std::string &pattern, const std::string &tail) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << Header;
    std::string block;
    while (block.size() < (std::size_t{1} << 16))
        block += pattern;
    for (std::size_t written = Header.size(); written + block.size() <= InputBytes; written += block.size())
        out << block;
    out << tail;
}

} // namespace

// pquil import under a limit on its address space of three times its input: a record that can never fit a row is
// refused as soon as it grows beyond one, before it costs more than the file itself; a valid file of the shortest
// rows is imported whole, and one whose last row does not fit is refused without keeping the rows before it.
class tst_ImportMemory : public QObject {
    Q_OBJECT

private slots:
    void importWithinThreeTimesItsInput_data();
    void importWithinThreeTimesItsInput();
};

void tst_ImportMemory::importWithinThreeTimesItsInput_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("tail");
    QTest::addColumn<QString>("refusal"); // empty: imported

    QTest::newRow("one line of commas") << ","
                                        << "\r\n"
                                        << "line 2: more than 4 fields in one record";
    QTest::newRow("one unquoted field") << "n"
                                        << "\r\n"
                                        << "line 2: more than 2400 bytes of text in one record";
    QTest::newRow("one quoted field of line breaks") << "\r\n"
                                                     << "\"\r\n"
                                                     << "line 2: more than 2400 bytes of text in one record";
    QTest::newRow("the shortest rows") << QString::fromStdString(ShortestRow) << "" << QString();
    QTest::newRow("the shortest rows, the last one bad")
        << QString::fromStdString(ShortestRow) << QString::fromStdString(BadRow) << "Time: '0:00:00'";
}

void tst_ImportMemory::importWithinThreeTimesItsInput() {
    if (PquilBinary.empty())
        QSKIP("pquil is not built in this configuration");
    QFETCH(QString, pattern);
    QFETCH(QString, tail);
    QFETCH(QString, refusal);
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const fs::path dir = temp.path().toStdString();
    const fs::path csv = dir / "in.csv";
    const fs::path log = dir / "out.pquil";
    const fs::path errors = dir / "errors.txt";
    // A quoted field opens at the start of the body.
    WriteCsv(csv, pattern.toStdString(), tail.toStdString());
    if (pattern == "\r\n") {
        std::fstream file(csv, std::ios::binary | std::ios::in | std::ios::out);
        file.seekp(static_cast<std::streamoff>(Header.size()));
        file.put('"');
    }
    const std::size_t size = fs::file_size(csv);
    const std::size_t limitKiB = MemoryMultiple * size / KiB + ProgramAllowanceKiB;

    ChildProcess import({Shell, "-c", UnderLimitScript, Shell, std::to_string(limitKiB), std::string(PquilBinary),
                         "import", csv.string(), log.string()},
                        std::string(ChildProcess::NullDevice), errors.string());
    QVERIFY(import.Started());
    QVERIFY(import.Wait(std::chrono::duration_cast<std::chrono::milliseconds>(RunLimit)));
    QVERIFY2(import.Exited(), "ended by a signal");
    const std::string message = ReadText(errors);
    qInfo("%zu bytes in %.2f s, peak RSS %ld KiB (%.2f times the input)", size, import.Elapsed().count(),
          import.PeakRssKiB(), static_cast<double>(import.PeakRssKiB()) * KiB / static_cast<double>(size));
    if (refusal.isEmpty()) {
        QVERIFY2(message.empty(), message.c_str());
        QCOMPARE(import.ExitCode(), PquilSuccess);
        const std::string written = ReadText(log);
        const std::size_t rows = (size - Header.size()) / ShortestRow.size();
        QCOMPARE(static_cast<std::size_t>(std::count(written.begin(), written.end(), RecordMarker)), rows);
        return;
    }
    QCOMPARE(import.ExitCode(), PquilFailure);
    QVERIFY2(QString::fromStdString(message).contains(refusal), message.c_str());
    QVERIFY(!fs::exists(log));
}

QTEST_APPLESS_MAIN(tst_ImportMemory)
#include "tst_ImportMemory.moc"
