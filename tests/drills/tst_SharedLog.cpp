#include <QtTest>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "DrillPrograms.h"
#include "log/LogFile.h"

namespace fs = std::filesystem;

namespace {

constexpr int Importers = 20;
constexpr std::chrono::seconds ImportTimeout{60};

void WriteText(const fs::path &path, const std::string &text) {
    std::ofstream(path, std::ios::binary) << text;
}

// A distinct run per importer: its day, its distance and its number in the notes.
std::string Run(int i) {
    // Put together by appending, which GCC 12 at -O3 does not warn about wrongly.
    std::string day = i < 9 ? "0" : "";
    day += std::to_string(i + 1);
    std::string run = "2025/01/";
    run += day;
    run += '\t';
    run += std::to_string(i + 1);
    run += " Miles\t00:";
    run += day;
    run += ":00\trun ";
    run += std::to_string(i);
    return run;
}

} // namespace

// Many pquil imports started at once onto one log take turns through the log's lock: every one succeeds and no
// run is lost.
class tst_SharedLog : public QObject {
    Q_OBJECT

private slots:
    void concurrentAppends() {
        if (PquilBinary.empty()) {
            QSKIP("pquil is not built in this configuration");
        }
        QTemporaryDir temp;
        const fs::path dir = temp.path().toStdString();
        const fs::path log = dir / "base.pquil";
        WriteText(log, "Pacequill version 3.1 log file format\r\n\xA1"
                       "2024/12/31\t1 Miles\t00:09:00\tbase\r\n");
        std::vector<std::unique_ptr<ChildProcess>> imports;
        for (int i = 0; i < Importers; ++i) {
            const std::string run = Run(i);
            std::string csv = "Date,Distance,Time,Notes\r\n";
            csv += run;
            csv += "\r\n";
            std::replace(csv.begin(), csv.end(), '\t', ',');
            std::string name = "r";
            name += std::to_string(i);
            name += ".csv";
            const fs::path input = dir / name;
            WriteText(input, csv);
            imports.push_back(std::make_unique<ChildProcess>(std::vector<std::string>{
                std::string(PquilBinary), "import", input.string(), log.string(), "--append"}));
            QVERIFY(imports.back()->Started());
        }
        for (const auto &import : imports) {
            QVERIFY(import->Wait(ImportTimeout));
            QVERIFY(import->Exited());
            QCOMPARE(import->ExitCode(), 0);
        }
        pq::LogList list;
        QCOMPARE(pq::LoadLog(log.string(), list).Status, pq::LoadStatus::Loaded);
        QCOMPARE(list.RowCount(), Importers + 1);
        QStringList rows;
        for (int row = 0; row < list.RowCount(); ++row) {
            rows << QString::fromStdString(pq::LogList::JoinEntry(list.ReadEntry(row)));
        }
        for (int i = 0; i < Importers; ++i) {
            QVERIFY2(rows.contains(QString::fromStdString(Run(i))), qPrintable(QString::fromStdString(Run(i))));
        }
    }
};

QTEST_APPLESS_MAIN(tst_SharedLog)
#include "tst_SharedLog.moc"
