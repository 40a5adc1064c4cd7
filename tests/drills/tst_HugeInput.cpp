#include <QTemporaryDir>
#include <QtTest>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "DrillPrograms.h"
#include "log/LogFile.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uintmax_t RandomFileBytes = std::uintmax_t{1} << 30;
constexpr std::size_t LongLineBytes = std::size_t{10} << 20;
// Written in small blocks: a child's peak memory as the system counts it starts from its parent's, so the test
// itself must stay small.
constexpr std::size_t GenerateBlockWords = std::size_t{8} << 10; // 64 KiB a block
constexpr std::uint64_t RandomSeed = 0x5DEECE66DULL;
// Room for the reader's own two copies of the text (the file's bytes and the list's texts) with the rows'
// index beside them, plus the program itself.
constexpr double MemoryMultiple = 3.0;
constexpr long ProgramAllowanceKiB = 16L << 10;
// Far beyond any reading speed: reaching it means the reader hangs.
constexpr auto HangLimit = std::chrono::seconds(120);
constexpr std::uintmax_t SpareDiskBytes = std::uintmax_t{256} << 20;
constexpr int KiB = 1024;
constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyz";
constexpr std::size_t LetterCount = sizeof(Letters) - 1;
constexpr std::string_view LineEnd = "\r\n";
const std::string RandomName = "random.bin";
const std::string LongLineName = "long-line.pquil";

// xorshift64*: fast enough to write a gigabyte in about a second, and the same bytes on every run.
class FastRandom {
public:
    explicit FastRandom(std::uint64_t seed) : State(seed) {}
    std::uint64_t Next() {
        State ^= State >> 12;
        State ^= State << 25;
        State ^= State >> 27;
        return State * 0x2545F4914F6CDD1DULL;
    }

private:
    std::uint64_t State;
};

bool WriteRandomFile(const fs::path &path, std::uintmax_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    FastRandom random(RandomSeed);
    std::vector<std::uint64_t> block(GenerateBlockWords);
    const std::uintmax_t blockBytes = block.size() * sizeof(std::uint64_t);
    for (std::uintmax_t written = 0; written < size && out; written += blockBytes) {
        for (std::uint64_t &word : block) {
            word = random.Next();
        }
        out.write(reinterpret_cast<const char *>(block.data()),
                  static_cast<std::streamsize>(std::min(blockBytes, size - written)));
    }
    return static_cast<bool>(out);
}

// A current log holding one record that is a single line of letters, ten megabytes long.
bool WriteLongLineFile(const fs::path &path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << pq::LogHeader << LineEnd << pq::RecordMarker;
    std::string block(GenerateBlockWords, ' ');
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = Letters[i % LetterCount];
    }
    for (std::size_t written = 0; written < LongLineBytes; written += block.size()) {
        out.write(block.data(), static_cast<std::streamsize>(std::min(block.size(), LongLineBytes - written)));
    }
    out << LineEnd;
    return static_cast<bool>(out);
}

// Memory the readers may take: what the system has available, within this control group's limit if it has one.
std::uintmax_t AvailableMemory() {
    std::uintmax_t available = std::numeric_limits<std::uintmax_t>::max();
    std::ifstream meminfo("/proc/meminfo");
    for (std::string key; meminfo >> key;) {
        std::uintmax_t kib = 0;
        meminfo >> kib;
        if (key == "MemAvailable:") {
            available = kib * KiB;
        }
        meminfo.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    }
    std::uintmax_t limit = 0;
    std::uintmax_t used = 0;
    if ((std::ifstream("/sys/fs/cgroup/memory.max") >> limit) &&
        (std::ifstream("/sys/fs/cgroup/memory.current") >> used)) {
        available = std::min(available, limit > used ? limit - used : 0);
    }
    return available;
}

} // namespace

// Files no log should be: a gigabyte of random bytes and one ten-megabyte line. Each is read by the loader the
// windowed program uses and by pquil show, in a child process whose time and peak memory are watched.
class tst_HugeInput : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void readsWithinBounds_data();
    void readsWithinBounds();

private:
    std::unique_ptr<QTemporaryDir> Temp;
    fs::path Dir;
};

void tst_HugeInput::initTestCase() {
    if (LoaderBinary.empty() || PquilBinary.empty())
        QSKIP("the loading helper and pquil are not built in this configuration");
    Temp = std::make_unique<QTemporaryDir>();
    QVERIFY(Temp->isValid());
    Dir = Temp->path().toStdString();
    const std::uintmax_t available = fs::space(Dir).available;
    if (available < RandomFileBytes + LongLineBytes + SpareDiskBytes)
        QSKIP(qPrintable(
            QStringLiteral("%1 MiB free in %2, not enough for the files").arg(available >> 20).arg(Temp->path())));
    const std::uintmax_t memory = AvailableMemory();
    if (memory < static_cast<std::uintmax_t>(MemoryMultiple * RandomFileBytes))
        QSKIP(qPrintable(QStringLiteral("%1 MiB of memory available, not enough to read the files").arg(memory >> 20)));
    const auto start = std::chrono::steady_clock::now();
    QVERIFY(WriteRandomFile(Dir / RandomName, RandomFileBytes));
    QVERIFY(WriteLongLineFile(Dir / LongLineName));
    qInfo("files written in %.1f s", std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
}

void tst_HugeInput::cleanupTestCase() {
    // The gigabyte goes as soon as the drill is over.
    Temp.reset();
}

void tst_HugeInput::readsWithinBounds_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("show");

    QTest::newRow("1 GiB of random bytes, loader") << QString::fromStdString(RandomName) << false;
    QTest::newRow("1 GiB of random bytes, pquil show") << QString::fromStdString(RandomName) << true;
    QTest::newRow("one 10 MiB line, loader") << QString::fromStdString(LongLineName) << false;
    QTest::newRow("one 10 MiB line, pquil show") << QString::fromStdString(LongLineName) << true;
}

// The reader ends without a crash, within the hang limit, and its peak memory stays under three times the
// file's size (plus the program itself). The ten-megabyte line is read in 899-byte pieces, one row each.
void tst_HugeInput::readsWithinBounds() {
    QFETCH(QString, file);
    QFETCH(bool, show);
    const fs::path path = Dir / file.toStdString();
    const fs::path rowsPath = Dir / "rows.txt";
    const std::uintmax_t size = fs::file_size(path);
    const std::vector<std::string> command =
        show ? std::vector<std::string>{std::string(PquilBinary), "show", path.string()}
             : std::vector<std::string>{std::string(LoaderBinary), path.string()};

    ChildProcess reader(command, show ? std::string(ChildProcess::NullDevice) : rowsPath.string());
    QVERIFY(reader.Started());
    const bool ended = reader.Wait(std::chrono::duration_cast<std::chrono::milliseconds>(HangLimit));
    QVERIFY2(ended, "the reader did not end within the hang limit");
    QVERIFY2(reader.Exited(), qPrintable(QStringLiteral("ended by signal %1").arg(reader.Signal())));
    QCOMPARE(reader.ExitCode(), 0);

    const double multiple = static_cast<double>(reader.PeakRssKiB()) * KiB / static_cast<double>(size);
    qInfo("%s: %llu bytes read in %.2f s, peak RSS %ld KiB (%.2f times the file)", qPrintable(file),
          static_cast<unsigned long long>(size), reader.Elapsed().count(), reader.PeakRssKiB(), multiple);
    const auto limitKiB = static_cast<long>(MemoryMultiple * static_cast<double>(size) / KiB) + ProgramAllowanceKiB;
    QVERIFY2(reader.PeakRssKiB() < limitKiB,
             qPrintable(QStringLiteral("peak RSS %1 KiB, limit %2 KiB").arg(reader.PeakRssKiB()).arg(limitKiB)));

    if (!show && file.toStdString() == LongLineName) {
        std::ifstream rows(rowsPath);
        int count = 0;
        rows >> count;
        const std::size_t record = LongLineBytes + LineEnd.size();
        const std::size_t chunk = pq::ChunkBufferSize - 1;
        QCOMPARE(static_cast<std::size_t>(count), (record + chunk - 1) / chunk);
    }
}

QTEST_APPLESS_MAIN(tst_HugeInput)
#include "tst_HugeInput.moc"
