#include <QtTest>

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include "ActivityTemplates.h"
#include "FitWriter.h"

using namespace ActivityTemplates;

namespace {

using Files = QMap<QString, QByteArray>;

constexpr std::int64_t Start = 1764631800; // 2025-12-01T23:30:00Z: the next day east of UTC+0:30
constexpr std::uint32_t FitStart = static_cast<std::uint32_t>(Start - FitWriter::FitEpoch);
const QByteArray Header = "Pacequill version 3.1 log file format\r\n";

QByteArray GpxRun() {
    return QByteArray::fromStdString(Gpx({GpxTrack("Easy", "running", {SteadyRun(Start, 1000)})}));
}
QByteArray TcxRide() {
    return QByteArray::fromStdString(Tcx({TcxActivity("Biking", Start + 7200, {{Start + 7200, 1800, 15000}})}));
}
QByteArray FitRuns() {
    FitWriter writer;
    writer.AddSession({FitStart + 86400, 1, 3000000, 2999600, 1000000});
    writer.AddSession({FitStart + 2 * 86400, 1, 1200000, 1200000, 500000}, false);
    return QByteArray::fromStdString(writer.Bytes());
}
QByteArray Record(const QByteArray &row) {
    return "\xA1" + row + "\r\n";
}
// A hand-edited log whose second row, on its fourth line, holds a Distance longer than a field.
QByteArray LongLog() {
    return Header + Record("2025/01/01\t1 Miles\t00:09:00\tok\r\ntwo lines") +
           Record("2025/01/02\t1234567890123456 Miles\t00:09:00\tx");
}

} // namespace

// Runs the real pquil import on files the test writes and compares the log it writes and what it reports.
class tst_PquilImport : public QObject {
    Q_OBJECT

private:
    QTemporaryDir Temp;

    void Write(const QString &name, const QByteArray &bytes) {
        QFile file(Temp.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }

private slots:
    void initTestCase() { QVERIFY(Temp.isValid()); }

    void import_data() {
        QTest::addColumn<Files>("files");
        QTest::addColumn<QStringList>("arguments"); // names in the temporary folder; "out.pquil" is written
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("log"); // empty: no log written
        QTest::addColumn<QByteArray>("err"); // "@" stands for the temporary folder and a slash

        const Files mix = {{"run.gpx", GpxRun()},
                           {"ride.tcx", TcxRide()},
                           {"runs.fit", FitRuns()},
                           {"rows.csv", "Date,Distance,Time,Notes\r\n2025/11/30,3 Miles,00:24:00,Typed\r\n"}};
        const QByteArray gpxRow = Record("2025/12/01\t1.86 Miles\t00:16:40\tEasy");
        const QByteArray fitRows =
            Record("2025/12/02\t6.21 Miles\t00:50:00\tRunning") + Record("2025/12/03\t3.11 Miles\t00:20:00\tRunning");
        const QByteArray csvRow = Record("2025/11/30\t3 Miles\t00:24:00\tTyped");

        QTest::newRow("every format, only runs")
            << mix << QStringList{"run.gpx", "ride.tcx", "runs.fit", "rows.csv", "out.pquil"} << QByteArray("UTC") << 0
            << Header + gpxRow + fitRows + csvRow
            << QByteArray("pquil: @ride.tcx: activity 1 (2025/12/02, Biking) is not a run, skipped (--all-sports "
                          "imports it)\n");
        QTest::newRow("all sports, in kilometers")
            << mix << QStringList{"ride.tcx", "run.gpx", "out.pquil", "--all-sports", "--unit=km"} << QByteArray("UTC")
            << 0
            << Header + Record("2025/12/02\t15.0 Kilometers\t00:30:00\tBiking") +
                   Record("2025/12/01\t3.00 Kilometers\t00:16:40\tEasy")
            << QByteArray();
        QTest::newRow("unit kilometers by name")
            << mix << QStringList{"runs.fit", "out.pquil", "--unit=Kilometers"} << QByteArray("UTC") << 0
            << Header + Record("2025/12/02\t10.0 Kilometers\t00:50:00\tRunning") +
                   Record("2025/12/03\t5.00 Kilometers\t00:20:00\tRunning")
            << QByteArray();
        QTest::newRow("dates in the zone of TZ")
            << mix << QStringList{"run.gpx", "out.pquil"} << QByteArray("Asia/Tokyo") << 0
            << Header + Record("2025/12/02\t1.86 Miles\t00:16:40\tEasy") << QByteArray();
        QTest::newRow("told apart by content, not by name")
            << Files{{"fit.gpx", FitRuns()}, {"gpx.csv", GpxRun()}} << QStringList{"fit.gpx", "gpx.csv", "out.pquil"}
            << QByteArray("UTC") << 0 << Header + fitRows + gpxRow << QByteArray();
        QTest::newRow("the same run twice: the second is a duplicate")
            << Files{{"a.gpx", GpxRun()}, {"b.gpx", GpxRun()}} << QStringList{"a.gpx", "b.gpx", "out.pquil"}
            << QByteArray("UTC") << 0 << Header + gpxRow
            << QByteArray("pquil: @b.gpx: activity 1 (2025/12/01 1.86 Miles 00:16:40) is already in the log, "
                          "skipped\n");

        const Files broken = {{"run.gpx", GpxRun()},
                              {"cut.fit", FitRuns().left(30)},
                              {"notes.txt", "hello"},
                              {"bad.csv", "Date,Distance,Time,Notes\r\n2025/11/30,,00:24:00,x\r\n"}};
        const QByteArray brokenErr = "pquil: @cut.fit: byte 25: the file ends before its data does (63 bytes "
                                     "missing)\npquil: @notes.txt: not a GPX, TCX, FIT or CSV file\npquil: @bad.csv: "
                                     "line 2: Distance: empty (a log row needs a Date, a Distance and a Time)\n";
        QTest::newRow("unreadable files are reported, the others imported")
            << broken << QStringList{"cut.fit", "run.gpx", "notes.txt", "bad.csv", "out.pquil"} << QByteArray("UTC")
            << 1 << Header + gpxRow << brokenErr;
        QTest::newRow("strict: nothing written")
            << broken << QStringList{"cut.fit", "run.gpx", "notes.txt", "bad.csv", "out.pquil", "--strict"}
            << QByteArray("UTC") << 1 << QByteArray()
            << brokenErr + "pquil: 3 of 4 file(s) could not be read; nothing was written\n";
        QTest::newRow("nothing readable: nothing written")
            << broken << QStringList{"notes.txt", "out.pquil"} << QByteArray("UTC") << 1 << QByteArray()
            << QByteArray("pquil: @notes.txt: not a GPX, TCX, FIT or CSV file\npquil: 1 of 1 file(s) could not be "
                          "read; nothing was written\n");
        QTest::newRow("missing file") << Files{{"run.gpx", GpxRun()}} << QStringList{"run.gpx", "gone.fit", "out.pquil"}
                                      << QByteArray("UTC") << 1 << Header + gpxRow
                                      << QByteArray("pquil: @gone.fit: No such file or directory\n");
    }
    void import() {
        QFETCH(Files, files);
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, zone);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, log);
        QFETCH(QByteArray, err);
        for (auto file = files.cbegin(); file != files.cend(); ++file) {
            Write(file.key(), file.value());
        }
        QFile::remove(Temp.filePath("out.pquil"));
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TZ", QString::fromLatin1(zone));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(Temp.path());
        QStringList paths;
        for (const QString &argument : arguments) {
            paths << (argument.startsWith("--") ? argument : Temp.filePath(argument));
        }
        process.start(QStringLiteral(PQUIL_BINARY), QStringList{"import"} + paths);
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(process.readAllStandardError()),
                 QString::fromUtf8(err).replace("@", Temp.path() + "/"));
        QCOMPARE(process.exitCode(), exitCode);
        QFile out(Temp.filePath("out.pquil"));
        if (log.isEmpty()) {
            QVERIFY(!out.exists());
        } else {
            QVERIFY(out.open(QIODevice::ReadOnly));
            QCOMPARE(out.readAll(), log);
        }
    }

    void appendKeepsRowsAndSkipsDuplicates() {
        const QByteArray existing = Header + Record("1999/01/01\t1 Miles\t00:09:00\tOld") +
                                    Record("2025/12/02\t6.21 Miles\t00:50:00\tTyped by hand") +
                                    Record("1998/01/01\t2 Miles\t00:18:00\tOlder");
        Write("log.pquil", existing);
        Write("runs.fit", FitRuns());
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TZ", "UTC");
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(PQUIL_BINARY),
                      {"import", "--append", Temp.filePath("runs.fit"), Temp.filePath("log.pquil")});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.readAllStandardError(),
                 "pquil: " + Temp.filePath("runs.fit").toUtf8() +
                     ": activity 1 (2025/12/02 6.21 Miles 00:50:00) is already in the log, skipped\n");
        QCOMPARE(process.exitCode(), 0);
        QFile out(Temp.filePath("log.pquil"));
        QVERIFY(out.open(QIODevice::ReadOnly));
        QCOMPARE(out.readAll(), existing + Record("2025/12/03\t3.11 Miles\t00:20:00\tRunning"));
    }

    // The profile's default shoe marks the runs of device files, not the rows of a CSV file; a bad profile line is
    // reported and changes no exit status; the shoe taken over its limit is named.
    void defaultShoeAndLimit() {
        const QByteArray existing = Header + Record("2025/11/01\t4 Miles\t00:32:00\t@Daily");
        Write("shoes.pquil", existing);
        Write("shoes.pquil.profile", "shoe @Daily default limit 10 mi\nbogus\n");
        Write("run.gpx", GpxRun());
        Write("runs.fit", FitRuns());
        Write("rows.csv", "Date,Distance,Time,Notes\r\n2025/11/30,3 Miles,00:24:00,Typed\r\n");
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TZ", "UTC");
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(PQUIL_BINARY),
                      {"import", "--append", Temp.filePath("run.gpx"), Temp.filePath("runs.fit"),
                       Temp.filePath("rows.csv"), Temp.filePath("shoes.pquil")});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.readAllStandardError(), "pquil: " + Temp.filePath("shoes.pquil.profile").toUtf8() +
                                                     ": line 2: unknown setting 'bogus' (shoe, goal or week-start)\n"
                                                     "pquil: @Daily is now over its limit: 15.18 of 10.00 Miles\n");
        QCOMPARE(process.exitCode(), 0);
        QFile out(Temp.filePath("shoes.pquil"));
        QVERIFY(out.open(QIODevice::ReadOnly));
        QCOMPARE(out.readAll(), existing + Record("2025/12/01\t1.86 Miles\t00:16:40\tEasy @Daily") +
                                    Record("2025/12/02\t6.21 Miles\t00:50:00\tRunning @Daily") +
                                    Record("2025/12/03\t3.11 Miles\t00:20:00\tRunning @Daily") +
                                    Record("2025/11/30\t3 Miles\t00:24:00\tTyped"));
    }

    void appendWithForceCutsLongRows() {
        Write("long.pquil", LongLog());
        Write("a.gpx", GpxRun());
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TZ", "UTC");
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(PQUIL_BINARY),
                      {"import", Temp.filePath("a.gpx"), Temp.filePath("long.pquil"), "--append", "--force"});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.readAllStandardError(),
                 "pquil: warning: " + Temp.filePath("long.pquil").toUtf8() +
                     ": 1 row(s) held texts longer than a log field, cut as a save cuts them (the first is on line "
                     "4)\n");
        QCOMPARE(process.exitCode(), 0);
        QFile out(Temp.filePath("long.pquil"));
        QVERIFY(out.open(QIODevice::ReadOnly));
        QCOMPARE(out.readAll(), Header + Record("2025/01/01\t1 Miles\t00:09:00\tok\r\ntwo lines") +
                                    Record("2025/01/02\t123456789012345\t00:09:00\tx") +
                                    Record("2025/12/01\t1.86 Miles\t00:16:40\tEasy"));
    }

    // Each refusal leaves every file as it was and makes no new one.
    void refusals_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("err");
        QTest::newRow("unknown unit") << QStringList{"a.gpx", "out.pquil", "--unit", "furlongs"} << 2
                                      << QByteArray("pquil: import: unknown unit 'furlongs' for --unit: miles, "
                                                    "kilometers, mi or km (see 'pquil import --help')\n");
        QTest::newRow("no output") << QStringList{"a.gpx"} << 2
                                   << QByteArray("pquil: import: missing OUT (see 'pquil import --help')\n");
        QTest::newRow("append to a missing log") << QStringList{"a.gpx", "none.pquil", "--append"} << 1
                                                 << QByteArray("pquil: @none.pquil: No such file or directory\n");
        QTest::newRow("output is an input") << QStringList{"a.gpx", "a.gpx", "--append"} << 1
                                            << QByteArray("pquil: @a.gpx: is the input file; the input is never "
                                                          "overwritten\n");
        const QByteArray notALog = ": OUT does not look like a Pacequill log: nothing was written\n";
        QTest::newRow("OUT is a GPX file")
            << QStringList{"a.gpx", "b.gpx", "--append"} << 2 << "pquil: @b.gpx" + notALog;
        QTest::newRow("OUT is a FIT file")
            << QStringList{"a.gpx", "c.fit", "--append"} << 2 << "pquil: @c.fit" + notALog;
        QTest::newRow("OUT is a FIT file, with --force")
            << QStringList{"a.gpx", "c.fit", "--force"} << 2 << "pquil: @c.fit" + notALog;
        QTest::newRow("append onto a row that would be cut")
            << QStringList{"a.gpx", "long.pquil", "--append"} << 1
            << QByteArray("pquil: @long.pquil:4: a row holds a text longer than a log field, which writing the log "
                          "would cut; nothing was written (--force cuts it)\n");
        QTest::newRow("nothing but refused activities")
            << QStringList{"ride.tcx", "none.pquil"} << 1
            << QByteArray("pquil: @ride.tcx: activity 1 (2025/12/02, Biking) is not a run, skipped (--all-sports "
                          "imports it)\npquil: no run left to import; nothing was written\n");
        QTest::newRow("every run already there")
            << QStringList{"a.gpx", "same.pquil", "--append"} << 0
            << QByteArray("pquil: @a.gpx: activity 1 (2025/12/01 1.86 Miles 00:16:40) is already in the log, "
                          "skipped\npquil: 0 new runs (every run is already in the log); nothing was written\n");
    }
    void refusals() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, err);
        const Files files = {
            {"a.gpx", GpxRun()},       {"b.gpx", GpxRun()},
            {"c.fit", FitRuns()},      {"ride.tcx", TcxRide()},
            {"long.pquil", LongLog()}, {"same.pquil", Header + Record("2025/12/01\t1.86 Miles\t00:16:40\tEasy")}};
        for (auto file = files.cbegin(); file != files.cend(); ++file) {
            Write(file.key(), file.value());
        }
        QStringList paths;
        for (const QString &argument : arguments) {
            paths << (argument.contains('.') ? Temp.filePath(argument) : argument);
        }
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TZ", "UTC");
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(PQUIL_BINARY), QStringList{"import"} + paths);
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(process.readAllStandardError()),
                 QString::fromUtf8(err).replace("@", Temp.path() + "/"));
        QCOMPARE(process.exitCode(), exitCode);
        QVERIFY(!QFile::exists(Temp.filePath("none.pquil")));
        for (auto file = files.cbegin(); file != files.cend(); ++file) {
            QFile written(Temp.filePath(file.key()));
            QVERIFY(written.open(QIODevice::ReadOnly));
            QCOMPARE(written.readAll(), file.value());
        }
    }
};

QTEST_APPLESS_MAIN(tst_PquilImport)
#include "tst_PquilImport.moc"
