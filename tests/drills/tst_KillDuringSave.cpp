#include <QtTest>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <string>
#include <thread>

#include "ChildProcess.h"
#include "DrillPrograms.h"
#include "log/LogFile.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr std::size_t LogBytesWanted = std::size_t{50} << 20;
constexpr int Kills = 20;
constexpr unsigned Seed = 20240308;
constexpr auto PollInterval = 1ms;
constexpr double WriteShare = 2.0;
constexpr auto RunLimit = std::chrono::milliseconds(60000);
const std::string InputName = "input.pquil";
const std::string TargetName = "target.pquil";
const std::string ReferenceName = "reference.pquil";
// The temporary file of an atomic save: a fixed hidden prefix and six more characters.
const std::regex TempName(R"(\.pacequill-save-[A-Za-z0-9]{6})");
// The patterns of the Open dialog, so that a temporary file never shows among the logs.
const std::regex LogPattern(R"(.*\.(pquil|pql))", std::regex::icase);

// A log of about the wanted size whose rows all carry the word, so that old and new differ all through.
std::string MakeLog(const std::string &word) {
    constexpr std::size_t recordFraming = 3; // the record marker and CR LF
    pq::LogList list;
    for (std::size_t size = pq::LogHeader.size(); size < LogBytesWanted;) {
        const int i = list.RowCount();
        const std::string row = std::to_string(2001 + i % 20) + "/06/" + std::to_string(10 + i % 19) + "\t" +
                                std::to_string(i % 30) + " Miles\t00:" + std::to_string(10 + i % 50) + ":00\t" + word +
                                " run " + std::to_string(i) + ", easy pace along the river and back";
        list.AppendRow(row);
        size += row.size() + recordFraming;
    }
    return pq::LogBytes(list);
}

void WriteFile(const fs::path &path, const std::string &bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool TempFileExists(const fs::path &dir) {
    for (const fs::directory_entry &entry : fs::directory_iterator(dir)) {
        if (std::regex_match(entry.path().filename().string(), TempName)) {
            return true;
        }
    }
    return false;
}

} // namespace

// pquil convert --force writes a 50 MB log over an older one and is killed at varied moments, half of them while
// its temporary file is being written. The target must always be the old log or the new one, byte for byte.
class tst_KillDuringSave : public QObject {
    Q_OBJECT

private slots:
    void killedSaveLeavesOldOrNew();
};

void tst_KillDuringSave::killedSaveLeavesOldOrNew() {
    if (PquilBinary.empty())
        QSKIP("pquil is not built in this configuration");
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const fs::path dir = temp.path().toStdString();
    const fs::path target = dir / TargetName;
    const std::string oldBytes = MakeLog("Old");
    WriteFile(dir / InputName, MakeLog("New"));
    const std::vector<std::string> convert{std::string(PquilBinary), "convert", (dir / InputName).string(),
                                           target.string(), "--force"};

    // An undisturbed run gives the new bytes and the times to aim at: the whole run and the write of its
    // temporary file.
    WriteFile(target, oldBytes);
    std::chrono::duration<double> untilTemp{};
    std::chrono::duration<double> whole{};
    {
        ChildProcess run(convert);
        QVERIFY(run.Started());
        const auto start = std::chrono::steady_clock::now();
        while (run.Running() && !TempFileExists(dir)) {
            std::this_thread::sleep_for(PollInterval);
        }
        untilTemp = std::chrono::steady_clock::now() - start;
        QVERIFY(run.Wait(RunLimit));
        QCOMPARE(run.ExitCode(), 0);
        whole = run.Elapsed();
    }
    const std::string newBytes = ReadFile(target);
    QVERIFY(newBytes != oldBytes);
    fs::rename(target, dir / ReferenceName);
    // The measured write also holds the rename and the exit; the first half of it is the write itself.
    const auto writing = std::max((whole - untilTemp) / WriteShare, std::chrono::duration<double>(PollInterval));

    std::mt19937 random(Seed);
    int endedOld = 0;
    int endedNew = 0;
    int killedWhileWriting = 0;
    int leftovers = 0;
    for (int round = 0; round < Kills; ++round) {
        WriteFile(target, oldBytes);
        ChildProcess run(convert);
        QVERIFY(run.Started());
        const bool aimAtWrite = round % 2 == 1;
        if (aimAtWrite) {
            while (run.Running() && !TempFileExists(dir)) {
                std::this_thread::sleep_for(PollInterval);
            }
        }
        const double span = (aimAtWrite ? writing : whole).count();
        std::this_thread::sleep_for(std::chrono::duration<double>(std::uniform_real_distribution(0.0, span)(random)));
        const bool writingNow = TempFileExists(dir);
        run.Kill();
        QVERIFY(run.Wait(RunLimit));
        if (run.Signal() == SIGKILL && writingNow) {
            ++killedWhileWriting;
        }

        const std::string after = ReadFile(target);
        QVERIFY2(after == oldBytes || after == newBytes,
                 qPrintable(QStringLiteral("round %1: the log is neither the old nor the new one (%2 bytes)")
                                .arg(round)
                                .arg(after.size())));
        if (after == oldBytes) {
            ++endedOld;
        } else {
            ++endedNew;
        }
        for (const fs::directory_entry &entry : fs::directory_iterator(dir)) {
            const std::string name = entry.path().filename().string();
            if (name == InputName || name == TargetName || name == ReferenceName) {
                continue;
            }
            QVERIFY2(std::regex_match(name, TempName),
                     qPrintable(QStringLiteral("unexpected file %1").arg(QString::fromStdString(name))));
            QVERIFY(!std::regex_match(name, LogPattern));
            ++leftovers;
            fs::remove(entry.path());
        }
    }
    qInfo("%d kills: %d left the old log, %d the new one; %d while the temporary file was being written; "
          "%d temporary files left behind; a whole run took %.3f s, its write %.3f s",
          Kills, endedOld, endedNew, killedWhileWriting, leftovers, whole.count(), writing.count());
    QVERIFY(killedWhileWriting > 0);

    // A run killed while it writes leaves its temporary file; the next save in the folder removes it.
    {
        ChildProcess run(convert);
        QVERIFY(run.Started());
        while (run.Running() && !TempFileExists(dir)) {
            std::this_thread::sleep_for(PollInterval);
        }
        run.Kill();
        QVERIFY(run.Wait(RunLimit));
    }
    QVERIFY(TempFileExists(dir));
    ChildProcess next(convert);
    QVERIFY(next.Started());
    QVERIFY(next.Wait(RunLimit));
    QCOMPARE(next.ExitCode(), 0);
    QVERIFY(!TempFileExists(dir));
    QVERIFY(ReadFile(target) == newBytes);
}

QTEST_APPLESS_MAIN(tst_KillDuringSave)
#include "tst_KillDuringSave.moc"
