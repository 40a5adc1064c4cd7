#include <QtTest>

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include "support/FileBytes.h"

// Runs the real pquil on the logs under tests/data/cli and compares what it prints and writes with the expected
// texts kept beside them (expected/<case>.out and expected/<case>.err; a missing file means nothing is printed).
class tst_Pquil : public QObject {
    Q_OBJECT

private:
    struct Run {
        int ExitCode = -1;
        QByteArray Out;
        QByteArray Err;
    };

    static QString DataDir() { return QStringLiteral(PACEQUILL_TEST_DATA "/cli"); }

    static void WriteFile(const QString &path, const QByteArray &bytes) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    // "@TMP@" in an argument stands for the test's temporary folder.
    Run RunPquil(QStringList arguments) {
        for (QString &argument : arguments) {
            argument.replace(QStringLiteral("@TMP@"), Temp.path());
        }
        QProcess process;
        process.setWorkingDirectory(DataDir());
        process.start(QStringLiteral(PQUIL_BINARY), arguments);
        Run run;
        if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit) {
            return run;
        }
        run.ExitCode = process.exitCode();
        run.Out = process.readAllStandardOutput();
        run.Err = process.readAllStandardError();
        return run;
    }

    QTemporaryDir Temp;

private slots:
    void initTestCase() { QVERIFY(Temp.isValid()); }

    void output_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");

        QTest::newRow("version") << QStringList{"--version"} << 0;
        QTest::newRow("unknown-command") << QStringList{"frobnicate"} << 2;
        QTest::newRow("show") << QStringList{"show", "sample.pquil"} << 0;
        QTest::newRow("show-tsv") << QStringList{"show", "--tsv", "sample.pquil"} << 0;
        QTest::newRow("show-old") << QStringList{"show", "old.pql"} << 0;
        QTest::newRow("show-long-fields") << QStringList{"show", "long.pquil"} << 0;
        QTest::newRow("show-missing") << QStringList{"show", "missing.pquil"} << 1;
        QTest::newRow("show-directory") << QStringList{"show", "."} << 1;
        QTest::newRow("show-unknown-option") << QStringList{"show", "sample.pquil", "--wide"} << 2;
        QTest::newRow("show-extra-operand") << QStringList{"show", "sample.pquil", "old.pql"} << 2;
        QTest::newRow("show-no-log") << QStringList{"show"} << 2;
        QTest::newRow("show-not-a-log") << QStringList{"show", "not-a-log.csv", "--tsv"} << 0;
        QTest::newRow("stats-yearly-not-a-log") << QStringList{"stats", "yearly", "not-a-log.csv"} << 0;
        QTest::newRow("show-empty") << QStringList{"show", "empty.pquil"} << 0;

        QTest::newRow("show-controls") << QStringList{"show", "controls.pquil"} << 0;
        QTest::newRow("show-controls-tsv") << QStringList{"show", "controls.pquil", "--tsv"} << 0;
        QTest::newRow("export-controls-json") << QStringList{"export", "controls.pquil", "--format", "json"} << 0;
        QTest::newRow("export-controls-csv") << QStringList{"export", "controls.pquil"} << 0;
        QTest::newRow("stats-yearly-old-log") << QStringList{"stats", "yearly", "old.pql", "--tsv"} << 0;
        QTest::newRow("convert-missing-input") << QStringList{"convert", "missing.pquil", "@TMP@/never.pquil"} << 1;
        QTest::newRow("convert-unwritable") << QStringList{"convert", "old.pql", "/nonexistent/never.pquil"} << 1;
        QTest::newRow("import-missing-operand") << QStringList{"import", "runs.csv"} << 2;

        QTest::newRow("stats-weekly") << QStringList{"stats", "weekly", "sample.pquil"} << 0;
        QTest::newRow("stats-weekly-sunday-tsv")
            << QStringList{"stats", "weekly", "sample.pquil", "--week-start", "SU", "--tsv"} << 0;
        QTest::newRow("stats-weekly-tuesday-tsv")
            << QStringList{"stats", "weekly", "--week-start=tue", "--tsv", "sample.pquil"} << 0;
        QTest::newRow("stats-weekly-ambiguous")
            << QStringList{"stats", "weekly", "sample.pquil", "--week-start", "t"} << 2;
        QTest::newRow("stats-weekly-empty") << QStringList{"stats", "weekly", "empty.pquil"} << 0;
        QTest::newRow("stats-monthly-tsv") << QStringList{"stats", "monthly", "sample.pquil", "--tsv"} << 0;
        QTest::newRow("stats-yearly") << QStringList{"stats", "yearly", "sample.pquil"} << 0;
        QTest::newRow("stats-range") << QStringList{"stats",      "range",  "sample.pquil", "--from",
                                                    "1998/03/02", "--thru", "1998/03/08"}
                                     << 0;
        QTest::newRow("stats-range-unit-error-inside")
            << QStringList{"stats", "range", "sample.pquil", "--from", "1998/04/01", "--thru", "1998/04/01", "--tsv"}
            << 0;
        QTest::newRow("stats-range-empty-log")
            << QStringList{"stats", "range", "empty.pquil", "--from=1980/01/01", "--thru=2079/12/31", "--tsv"} << 0;
        QTest::newRow("stats-range-invalid")
            << QStringList{"stats", "range", "sample.pquil", "--from", "2023/02/29", "--thru", "2023/03/01"} << 2;
        QTest::newRow("stats-range-improper")
            << QStringList{"stats", "range", "sample.pquil", "--from", "1998/03/01", "--thru", "1998-03-08"} << 2;
        QTest::newRow("stats-range-empty-date")
            << QStringList{"stats", "range", "sample.pquil", "--from", "", "--thru", "1998/03/08"} << 2;
        QTest::newRow("stats-range-no-thru")
            << QStringList{"stats", "range", "sample.pquil", "--from", "1998/03/01"} << 2;
        QTest::newRow("stats-range-reversed")
            << QStringList{"stats", "range", "sample.pquil", "--from", "1998/03/08", "--thru", "1998/03/02"} << 0;
        QTest::newRow("show-range") << QStringList{"show",       "sample.pquil", "--from",
                                                   "1998/03/02", "--thru",       "1998/03/08"}
                                    << 0;
        QTest::newRow("show-from") << QStringList{"show", "sample.pquil", "--from=1998/03/09", "--tsv"} << 0;
        QTest::newRow("show-thru") << QStringList{"show", "--thru", "1998/03/08", "sample.pquil", "--tsv"} << 0;
        QTest::newRow("show-one-day") << QStringList{"show",   "sample.pquil", "--from", "1999/01/01",
                                                     "--thru", "1999/01/01",   "--tsv"}
                                      << 0;
        QTest::newRow("show-range-reversed")
            << QStringList{"show", "sample.pquil", "--from", "1998/03/08", "--thru", "1998/03/02"} << 0;
        QTest::newRow("show-range-invalid") << QStringList{"show", "sample.pquil", "--from", "2023/02/29"} << 2;
        QTest::newRow("show-range-improper") << QStringList{"show", "sample.pquil", "--thru", "98/03/08"} << 2;
        QTest::newRow("stats-unknown-period") << QStringList{"stats", "daily", "sample.pquil"} << 2;

        QTest::newRow("calc-distance") << QStringList{"calc", "distance", "--time", "1", "--pace", "8"} << 0;
        QTest::newRow("calc-distance-km-tsv")
            << QStringList{"calc", "distance", "--time", "1::", "--pace", "8:0", "--unit", "kilometers", "--tsv"} << 0;
        QTest::newRow("calc-time-marathon-tsv")
            << QStringList{"calc", "time", "--distance", "1", "--unit", "Mar", "--pace", "8", "--tsv"} << 0;
        QTest::newRow("calc-bad-pace-unit")
            << QStringList{"calc", "time", "--distance", "10", "--unit", "k", "--pace", "5", "--pace-unit", "marathon"}
            << 2;
        QTest::newRow("calc-pace-abbreviations-tsv")
            << QStringList{"calc",   "pace", "--distance",  "10", "--unit", "KM",
                           "--time", ":50",  "--pace-unit", "mi", "--tsv"}
            << 0;
        QTest::newRow("calc-time-abbreviations-tsv")
            << QStringList{"calc",   "time", "--distance",  "3.1", "--unit", "Mi",
                           "--pace", "5",    "--pace-unit", "km",  "--tsv"}
            << 0;
        QTest::newRow("calc-time-10k-tsv") << QStringList{"calc",   "time", "--distance",  "10",         "--unit", "k",
                                                          "--pace", "5",    "--pace-unit", "kilometers", "--tsv"}
                                           << 0;
        QTest::newRow("calc-pace") << QStringList{"calc",   "pace",       "--distance", "10",
                                                  "--unit", "kilometers", "--time",     ":50"}
                                   << 0;
        QTest::newRow("calc-pace-no-carry-tsv")
            << QStringList{"calc", "pace", "--distance", "1", "--time", "0:7:59.996", "--tsv"} << 0;
        QTest::newRow("calc-missing-input") << QStringList{"calc", "time", "--distance", "abc", "--pace", "8"} << 1;
        QTest::newRow("calc-missing-option") << QStringList{"calc", "pace", "--time", "1"} << 1;
        QTest::newRow("calc-too-many-parts")
            << QStringList{"calc", "pace", "--distance", "5", "--time", "1:2:3:4"} << 2;
        QTest::newRow("calc-ambiguous-unit")
            << QStringList{"calc", "pace", "--distance", "5", "--time", "1", "--unit", "m"} << 2;
        QTest::newRow("calc-option-of-other-mode")
            << QStringList{"calc", "distance", "--distance", "5", "--time", "1", "--pace", "8"} << 2;

        QTest::newRow("date-accepted") << QStringList{"date", "2024/02/29"} << 0;
        QTest::newRow("date-empty") << QStringList{"date", ""} << 0;
        QTest::newRow("date-invalid") << QStringList{"date", "2023/02/29"} << 1;
        QTest::newRow("date-improper") << QStringList{"date", "2024/2/29"} << 1;
        QTest::newRow("date-unencodable") << QStringList{"date", QString::fromUtf8("2024/02/2\u2713")} << 1;

        QTest::newRow("export-csv") << QStringList{"export", "sample.pquil"} << 0;
        QTest::newRow("export-json") << QStringList{"export", "sample.pquil", "--format", "json"} << 0;
        QTest::newRow("export-json-empty") << QStringList{"export", "empty.pquil", "--format=JSON"} << 0;
        QTest::newRow("export-bad-format") << QStringList{"export", "sample.pquil", "--format", "xml"} << 2;

        QTest::newRow("tags") << QStringList{"tags", "tagged.pquil"} << 0;
        QTest::newRow("tags-tsv") << QStringList{"tags", "tagged.pquil", "--tsv"} << 0;
        QTest::newRow("tags-empty") << QStringList{"tags", "empty.pquil"} << 0;
        QTest::newRow("shoes") << QStringList{"shoes", "tagged.pquil"} << 0;
        QTest::newRow("shoes-km-limit-tsv")
            << QStringList{"shoes", "tagged.pquil", "--unit", "km", "--limit", "50", "--tsv"} << 0;
        QTest::newRow("shoes-bad-limit") << QStringList{"shoes", "tagged.pquil", "--limit", "-1"} << 2;
        // profiled.pquil has a profile beside it: shoes with a start, limits and a retirement, goals of every
        // kind, a Sunday week start and two lines that cannot be read.
        const QString goalDay = "--today=2025/07/09";
        QTest::newRow("goals") << QStringList{"goals", "profiled.pquil", goalDay} << 0;
        QTest::newRow("goals-tsv") << QStringList{"goals", "profiled.pquil", goalDay, "--tsv"} << 0;
        QTest::newRow("goals-without-profile") << QStringList{"goals", "sample.pquil"} << 0;
        QTest::newRow("shoes-profile") << QStringList{"shoes", "profiled.pquil"} << 0;
        QTest::newRow("shoes-profile-km-limit-tsv")
            << QStringList{"shoes", "profiled.pquil", "--unit", "km", "--limit", "600", "--tsv"} << 0;
        QTest::newRow("show-tag") << QStringList{"show", "tagged.pquil", "--tag", "TEMPO"} << 0;
        QTest::newRow("show-tag-code-page")
            << QStringList{"show", "tagged.pquil", "--tag", QString::fromUtf8("#r\u00e9cup"), "--tsv"} << 0;
        QTest::newRow("show-tag-not-a-name") << QStringList{"show", "tagged.pquil", "--tag", "a b"} << 2;
        QTest::newRow("stats-yearly-tag-tsv")
            << QStringList{"stats", "yearly", "tagged.pquil", "--tag=easy", "--tsv"} << 0;
        QTest::newRow("summary-tag-tsv") << QStringList{"summary", "tagged.pquil", "--tag", "Tempo", "--tsv"} << 0;
        QTest::newRow("records-tag-tsv") << QStringList{"records", "tagged.pquil", "--tag", "race", "--tsv"} << 0;
        QTest::newRow("chart-weekly-tag-tsv") << QStringList{"chart",   "weekly",     "tagged.pquil", "--tag", "easy",
                                                             "--today", "2024/03/11", "--weeks",      "2",     "--tsv"}
                                              << 0;
        QTest::newRow("streaks-tag-tsv") << QStringList{"streaks", "tagged.pquil", "--tag", "easy",
                                                        "--today", "2024/03/11",   "--tsv"}
                                         << 0;
        QTest::newRow("summary-tag-unencodable")
            << QStringList{"summary", "tagged.pquil", "--tag", QString::fromUtf8("\u2713")} << 2;
        QTest::newRow("calc-splits") << QStringList{"calc",   "splits", "--distance", "5",
                                                    "--unit", "km",     "--time",     ":20"}
                                     << 0;
        QTest::newRow("calc-splits-marathon-negative-tsv")
            << QStringList{"calc", "splits", "--distance", "26.21875", "--time", "3:30:00", "--negative", "2", "--tsv"}
            << 0;
        QTest::newRow("calc-splits-per-km-tsv")
            << QStringList{"calc",  "splits", "--distance", "10",        "--unit", "mi",
                           "--per", "km",     "--time",     ":59:59.99", "--tsv"}
            << 0;
        QTest::newRow("calc-splits-hours-note")
            << QStringList{"calc", "splits", "--distance", "5", "--unit", "km", "--time", "20:00"} << 0;
        QTest::newRow("calc-splits-hundredths-tsv")
            << QStringList{"calc",  "splits", "--distance", "42.195", "--unit",       "km",
                           "--per", "km",     "--time",     "3:30",   "--hundredths", "--tsv"}
            << 0;
        QTest::newRow("calc-splits-bad-time")
            << QStringList{"calc", "splits", "--distance", "5", "--time", "1:x:00"} << 2;
        QTest::newRow("calc-splits-bad-negative")
            << QStringList{"calc", "splits", "--distance", "5", "--time", "1", "--negative", "100"} << 2;
        QTest::newRow("calc-splits-zero-distance")
            << QStringList{"calc", "splits", "--distance", "0", "--time", "1"} << 2;

        // load.pquil: four steady weeks with effort markers, then a spike through the leap day; rows without a
        // date, a time or a real date; two runs on one day; markers out of range or with a leading zero.
        QTest::newRow("load") << QStringList{"load", "load.pquil", "--thru", "2024/03/03"} << 0;
        QTest::newRow("load-range-tsv") << QStringList{"load",   "load.pquil", "--from", "2024/02/14",
                                                       "--thru", "2024/03/05", "--tsv"}
                                        << 0;
        QTest::newRow("load-tag-today-tsv")
            << QStringList{"load", "load.pquil", "--tag", "race", "--today", "2024/03/01", "--tsv"} << 0;
        QTest::newRow("load-before-first-run") << QStringList{"load", "load.pquil", "--thru", "2024/01/21"} << 0;
        QTest::newRow("load-empty") << QStringList{"load", "empty.pquil"} << 0;
        QTest::newRow("load-bad-date") << QStringList{"load", "load.pquil", "--from", "2024/02/30"} << 2;
        QTest::newRow("load-missing") << QStringList{"load", "missing.pquil"} << 1;

        // insight.pquil: a mile and a 5K on one day, equal 5K times, weeks over the ramp, the turn of a year, a
        // leap day, a row without a date and one with an unknown unit.
        const QString today = "--today=2024/03/05";
        QTest::newRow("records") << QStringList{"records", "insight.pquil", today} << 0;
        QTest::newRow("records-tsv") << QStringList{"records", "insight.pquil", "--tsv", today} << 0;
        QTest::newRow("records-no-predictions") << QStringList{"records", "insight.pquil", "--today=2025/06/01"} << 0;
        QTest::newRow("records-empty") << QStringList{"records", "empty.pquil", "--tsv"} << 0;
        QTest::newRow("summary") << QStringList{"summary", "insight.pquil"} << 0;
        QTest::newRow("summary-range-tsv")
            << QStringList{"summary", "insight.pquil", "--from", "2024/01/01", "--thru", "2024/02/29", "--tsv"} << 0;
        QTest::newRow("summary-empty-tsv") << QStringList{"summary", "empty.pquil", "--tsv"} << 0;
        QTest::newRow("summary-bad-date") << QStringList{"summary", "insight.pquil", "--from", "2024/02/30"} << 2;
        QTest::newRow("chart-weekly") << QStringList{"chart", "weekly", "insight.pquil", today, "--width=60"} << 0;
        QTest::newRow("chart-weekly-km-tsv")
            << QStringList{"chart", "weekly", "insight.pquil", today, "--tsv", "--weeks", "6", "--unit", "km"} << 0;
        QTest::newRow("chart-weekly-sunday-all-tsv")
            << QStringList{"chart", "weekly", "insight.pquil", today, "--tsv", "--weeks=all", "--week-start=su"} << 0;
        QTest::newRow("chart-weekly-narrow")
            << QStringList{"chart", "weekly", "insight.pquil", today, "--weeks=3", "--width=20"} << 0;
        QTest::newRow("chart-bad-unit") << QStringList{"chart", "weekly", "insight.pquil", "--unit", "miles"} << 2;
        QTest::newRow("chart-bad-weeks") << QStringList{"chart", "weekly", "insight.pquil", "--weeks", "0"} << 2;
        QTest::newRow("chart-not-weekly") << QStringList{"chart", "monthly", "insight.pquil"} << 2;
        QTest::newRow("streaks") << QStringList{"streaks", "insight.pquil", today} << 0;
        QTest::newRow("streaks-sunday-tsv")
            << QStringList{"streaks", "insight.pquil", today, "--week-start", "sunday", "--tsv"} << 0;
        QTest::newRow("streaks-empty-tsv") << QStringList{"streaks", "empty.pquil", "--tsv"} << 0;
        const QString racesToday = "--today=2024/04/15";
        QTest::newRow("records-races") << QStringList{"records", "races.pquil", racesToday} << 0;
        QTest::newRow("records-races-km-sunday-tsv")
            << QStringList{"records", "races.pquil", racesToday, "--unit", "km", "--week-start", "sunday", "--tsv"}
            << 0;
        QTest::newRow("records-bad-unit") << QStringList{"records", "races.pquil", "--unit", "miles"} << 2;
        QTest::newRow("summary-km") << QStringList{"summary", "races.pquil", "--unit", "km"} << 0;
        QTest::newRow("summary-km-tsv") << QStringList{"summary", "races.pquil", "--unit=km", "--tsv"} << 0;
        QTest::newRow("tags-km") << QStringList{"tags", "tagged.pquil", "--unit", "km"} << 0;
        QTest::newRow("tags-km-tsv") << QStringList{"tags", "tagged.pquil", "--unit", "km", "--tsv"} << 0;
        QTest::newRow("streaks-end-with-the-last-run")
            << QStringList{"streaks", "races.pquil", "--today=2024/04/15", "--week-start=sunday"} << 0;
    }
    void output() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        const QString expected = DataDir() + "/expected/" + QTest::currentDataTag();
        const Run run = RunPquil(arguments);
        // After a deliberate change of the output, PQUIL_UPDATE_EXPECTED=1 rewrites the expected texts for review.
        if (qEnvironmentVariableIsSet("PQUIL_UPDATE_EXPECTED")) {
            for (const auto &[suffix, text] : {std::pair{".err", run.Err}, std::pair{".out", run.Out}}) {
                QFile::remove(expected + suffix);
                if (!text.isEmpty()) {
                    WriteFile(expected + suffix, text);
                }
            }
        }
        QCOMPARE(run.Err, FileBytes(expected + ".err"));
        QCOMPARE(run.Out, FileBytes(expected + ".out"));
        QCOMPARE(run.ExitCode, exitCode);
    }

    void help_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("synopsis");
        QTest::newRow("top") << QStringList{"--help"} << QByteArray("Usage: pquil COMMAND");
        QTest::newRow("help command") << QStringList{"help", "export"} << QByteArray("Usage: pquil export LOG");
        for (const char *command : {"show", "calc", "date", "convert", "export", "import", "tags", "shoes", "goals",
                                    "records", "summary", "chart", "streaks", "load"}) {
            QTest::newRow(command) << QStringList{command, "--help"}
                                   << QByteArray("Usage: pquil ") + QByteArray(command) + ' ';
        }
        QTest::newRow("stats") << QStringList{"stats", "--help"} << QByteArray("Usage: pquil stats weekly");
        QTest::newRow("help beats errors")
            << QStringList{"stats", "weekly", "--bogus", "--help"} << QByteArray("Usage: pquil stats weekly");
    }
    void help() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, synopsis);
        const Run run = RunPquil(arguments);
        QCOMPARE(run.ExitCode, 0);
        QVERIFY2(run.Out.startsWith(synopsis), run.Out.constData());
        QCOMPARE(run.Err, QByteArray());
    }

    void noArgumentsPrintsUsageAsError() {
        const Run run = RunPquil({});
        QCOMPARE(run.ExitCode, 2);
        QVERIFY(run.Err.startsWith("Usage: pquil COMMAND"));
        QCOMPARE(run.Out, QByteArray());
    }

    void convert_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QByteArray>("warning");
        QTest::newRow("older log gets header and centuries") << "old.pql"
                                                             << "expected/old-converted.pquil" << QByteArray();
        QTest::newRow("current log is unchanged") << "sample.pquil"
                                                  << "sample.pquil" << QByteArray();
        QTest::newRow("long texts are cut with a warning")
            << "long.pquil"
            << "expected/long-converted.pquil"
            << QByteArray("pquil: warning: long.pquil: 2 row(s) held texts longer than a log field, cut as a save "
                          "cuts them (the first is row 1)\n");
    }
    void convert() {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QFETCH(QByteArray, warning);
        const QString out = Temp.filePath(QTest::currentDataTag());
        const Run run = RunPquil({"convert", input, out});
        QCOMPARE(run.Err, warning);
        QCOMPARE(run.ExitCode, 0);
        QCOMPARE(FileBytes(out), FileBytes(DataDir() + "/" + expected));
    }

    void outputFileIsProtected() {
        const QString out = Temp.filePath("existing.pquil");
        WriteFile(out, "keep me");
        Run run = RunPquil({"convert", "old.pql", out});
        QCOMPARE(run.ExitCode, 1);
        QCOMPARE(run.Err, "pquil: " + out.toUtf8() + ": file exists (use --force to replace it)\n");
        QCOMPARE(FileBytes(out), QByteArray("keep me"));

        // Only a log is replaced.
        run = RunPquil({"convert", "old.pql", out, "--force"});
        QCOMPARE(run.ExitCode, 2);
        QCOMPARE(run.Err, "pquil: " + out.toUtf8() + ": OUT does not look like a Pacequill log: nothing was written\n");
        QCOMPARE(FileBytes(out), QByteArray("keep me"));

        WriteFile(out, "");
        run = RunPquil({"convert", "old.pql", out, "--force"});
        QCOMPARE(run.ExitCode, 0);
        QCOMPARE(FileBytes(out), FileBytes(DataDir() + "/expected/old-converted.pquil"));

        // The input itself, by its own name or through a link, is never written, not even with --force.
        const QString input = Temp.filePath("input.pql");
        WriteFile(input, FileBytes(DataDir() + "/old.pql"));
        const QString link = Temp.filePath("link.pql");
        QVERIFY(QFile::link(input, link));
        for (const QString &target : {input, link}) {
            run = RunPquil({"convert", input, target, "--force"});
            QCOMPARE(run.ExitCode, 1);
            QCOMPARE(run.Err, "pquil: " + target.toUtf8() + ": is the input file; the input is never overwritten\n");
            QCOMPARE(FileBytes(input), FileBytes(DataDir() + "/old.pql"));
        }
        const QString csv = Temp.filePath("self.csv");
        WriteFile(csv, "Date,Distance,Time,Notes\r\n");
        run = RunPquil({"import", csv, csv, "--force"});
        QCOMPARE(run.ExitCode, 1);
        QCOMPARE(FileBytes(csv), QByteArray("Date,Distance,Time,Notes\r\n"));
    }

    // A log whose rows the entry editor wrote comes back byte for byte; one with a row it could not have written
    // is refused at that row.
    void exportImportRoundTrip_data() {
        QTest::addColumn<QString>("log");
        QTest::addColumn<QByteArray>("refusal");
        QTest::newRow("editor's rows") << QStringLiteral(PACEQUILL_TEST_DATA "/../../examples/sample.pquil")
                                       << QByteArray();
        QTest::newRow("unit in lower case")
            << DataDir() + "/sample.pquil" << QByteArray("line 7: Distance: '4 miles': the unit after the number");
    }
    void exportImportRoundTrip() {
        QFETCH(QString, log);
        QFETCH(QByteArray, refusal);
        const Run exported = RunPquil({"export", log});
        QCOMPARE(exported.ExitCode, 0);
        const QString csv = Temp.filePath(QStringLiteral("round-%1.csv").arg(QTest::currentDataTag()));
        WriteFile(csv, exported.Out);
        const QString out = Temp.filePath(QStringLiteral("round-%1.pquil").arg(QTest::currentDataTag()));
        const Run imported = RunPquil({"import", csv, out});
        if (refusal.isEmpty()) {
            QCOMPARE(imported.Err, QByteArray());
            QCOMPARE(imported.ExitCode, 0);
            QCOMPARE(FileBytes(out), FileBytes(log));
        } else {
            QVERIFY2(imported.Err.startsWith("pquil: " + csv.toUtf8() + ": " + refusal), imported.Err.constData());
            QCOMPARE(imported.ExitCode, 1);
            QVERIFY(!QFile::exists(out));
        }
    }

    void import_data() {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QByteArray>("log"); // the records written after the header line

        QTest::newRow("LF endings, BOM, header in any case, blank lines")
            << QByteArray("\xEF\xBB\xBF"
                          "date,DISTANCE,time,notes\n\n1998/03/02,3.1 Miles,00:25:00,None\n")
            << QByteArray("\xA1"
                          "1998/03/02\t3.1 Miles\t00:25:00\tNone\r\n");
        QTest::newRow("line breaks of any kind in notes")
            << QByteArray("Date,Distance,Time,Notes\r\nNo Date,1 Miles,00:08:00,\"a\nb\rc\r\nd\"\r\n")
            << QByteArray("\xA1No Date\t1 Miles\t00:08:00\ta\r\nb\r\nc\r\nd\r\n");
        QTest::newRow("code page characters, TAB and lone no-break space in notes")
            << QByteArray("Date,Distance,Time,Notes\r\n1998/03/02,5 Kilometers,00:24:10,"
                          "\"Caf\xC3\xA9 \xE2\x82\xAC\t\xC2\xA0x, \"\"q\"\"\"\r\n")
            << QByteArray("\xA1"
                          "1998/03/02\t5 Kilometers\t00:24:10\tCaf\xE9 \x80\t\xA0x, \"q\"\r\n");
        QTest::newRow("widest fields") << "Date,Distance,Time,Notes\r\n2079/12/31,123456789 Miles,12:34:56.789012," +
                                              QByteArray(755, 'n') + "\r\n"
                                       << "\xA1"
                                          "2079/12/31\t123456789 Miles\t12:34:56.789012\t" +
                                              QByteArray(755, 'n') + "\r\n";
        QTest::newRow("the editor's forms")
            << QByteArray("Date,Distance,Time,Notes\r\nNo Date,.5 Kilometers,00:03:00.5,\r\n"
                          "2024/02/29,1 Marathons,100:00:00,x\r\n")
            << QByteArray("\xA1No Date\t.5 Kilometers\t00:03:00.5\t\r\n\xA1"
                          "2024/02/29\t1 Marathons\t100:00:00\tx\r\n");
        QByteArray accents;
        for (int i = 0; i < 755; ++i) {
            accents += "\xC3\xA9";
        }
        QTest::newRow("width counted in the code page")
            << "Date,Distance,Time,Notes\r\n1998/03/02,1 Miles,00:08:00," + accents + "\r\n"
            << "\xA1"
               "1998/03/02\t1 Miles\t00:08:00\t" +
                   QByteArray(755, '\xE9') + "\r\n";
    }
    void import() {
        QFETCH(QByteArray, csv);
        QFETCH(QByteArray, log);
        const QString in = Temp.filePath(QStringLiteral("in-%1.csv").arg(QTest::currentDataTag()));
        const QString out = Temp.filePath(QStringLiteral("out-%1.pquil").arg(QTest::currentDataTag()));
        WriteFile(in, csv);
        const Run run = RunPquil({"import", in, out});
        QCOMPARE(run.Err, QByteArray());
        QCOMPARE(run.ExitCode, 0);
        QCOMPARE(FileBytes(out), "Pacequill version 3.1 log file format\r\n" + log);
    }

    // Files a.pquil, b.pquil and base.pquil (a null one is not written) merged into the named OUT, which --force
    // lets be any log.
    void merge_data() {
        QTest::addColumn<QByteArray>("a");
        QTest::addColumn<QByteArray>("b");
        QTest::addColumn<QByteArray>("base");
        QTest::addColumn<QString>("out");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("merged"); // null: OUT not written
        QTest::addColumn<QByteArray>("report"); // "@" stands for OUT; the standard output, or error on failure
        const QByteArray header = "Pacequill version 3.1 log file format\r\n";
        const auto log = [&header](const QByteArrayList &rows) {
            QByteArray bytes = header;
            for (const QByteArray &row : rows) {
                bytes += "\xA1" + row + "\r\n";
            }
            return bytes;
        };
        const QByteArray r1 = "2025/01/01\t1 Miles\t00:09:00\t";
        const QByteArray r2 = "2025/01/02\t2 Miles\t00:18:00\tx";
        const QByteArray r3 = "2025/01/03\t3 Miles\t00:27:00\ty";
        QTest::newRow("conflict copy into A") << log({r1, r2}) << log({r1, r3, r1}) << QByteArray() << "a.pquil" << 0
                                              << log({r1, r2, r3, r1}) << QByteArray("@: 4 run(s), 2 from B\n");
        QTest::newRow("with a base, removals stay")
            << log({r1, r2}) << log({r2, r3}) << log({r1, r2}) << "out.pquil" << 0 << log({r2, r3})
            << QByteArray("@: 2 run(s), 1 from B, 1 removed as B removed them\n");
        QTest::newRow("an older headerless copy")
            << log({"2025/01/01\t1 Miles\t00:09:00\t"})
            << QByteArray("\xA1"
                          "25/01/03\t3 Miles\t00:27:00\ty\r\n")
            << QByteArray() << "b.pquil" << 0 << log({r1, r3}) << QByteArray("@: 2 run(s), 1 from B\n");
        QTest::newRow("B not a log") << log({r1}) << QByteArray("<gpx/>") << QByteArray() << "out.pquil" << 2
                                     << QByteArray()
                                     << QByteArray("pquil: b.pquil: does not look like a Pacequill log: nothing was "
                                                   "written\n");
        QTest::newRow("OUT not a log") << log({r1}) << log({r2}) << QByteArray() << "base.pquil" << 2 << QByteArray()
                                       << QByteArray("pquil: @: OUT does not look like a Pacequill "
                                                     "log: nothing was written\n");
    }
    void merge() {
        QFETCH(QByteArray, a);
        QFETCH(QByteArray, b);
        QFETCH(QByteArray, base);
        QFETCH(QString, out);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, merged);
        QFETCH(QByteArray, report);
        QTemporaryDir dir;
        WriteFile(dir.filePath("a.pquil"), a);
        WriteFile(dir.filePath("b.pquil"), b);
        QFile::remove(dir.filePath("base.pquil"));
        QStringList arguments = {"merge", "a.pquil", "b.pquil", out, "--force"};
        if (!base.isNull()) {
            WriteFile(dir.filePath("base.pquil"), base);
            arguments << "--base"
                      << "base.pquil";
        } else if (out == "base.pquil") {
            WriteFile(dir.filePath(out), "keep me");
        }
        const QByteArray before = FileBytes(dir.filePath(out));
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.start(QStringLiteral(PQUIL_BINARY), arguments);
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), exitCode);
        report.replace("@", out.toUtf8());
        QCOMPARE(exitCode == 0 ? process.readAllStandardOutput() : process.readAllStandardError(), report);
        QCOMPARE(FileBytes(dir.filePath(out)), merged.isNull() ? before : merged);
    }

    void importRefuses_data() {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QByteArray>("cause");
        const QByteArray header = "Date,Distance,Time,Notes\r\n";
        const QByteArray good = "1998/03/02,3.1 Miles,00:25:00,None\r\n";
        // A quoted note over two lines before the bad record, so its line number counts physical lines.
        const QByteArray twoLines = "1998/03/03,3 Miles,00:24:00,\"one\r\ntwo\"\r\n";

        QTest::newRow("empty file") << QByteArray()
                                    << QByteArray("line 1: the first line must be the header Date,Distance,Time,Notes");
        QTest::newRow("no header") << good << QByteArray("line 1: the first line must be the header");
        QTest::newRow("three fields") << header + good + "1998/03/02,3.1 Miles,00:25:00\r\n"
                                      << QByteArray("line 3: 3 field(s); a row has 4: Date,Distance,Time,Notes");
        QTest::newRow("five fields") << header + "a,b,c,d,e\r\n" << QByteArray("line 2: more than 4 fields");
        QTest::newRow("a line of commas") << header + good + QByteArray(1 << 20, ',') + "\r\n"
                                          << QByteArray("line 3: more than 4 fields in one record");
        QTest::newRow("a field beyond any row") << header + "1998/03/02,1 Miles,00:08:00," + QByteArray(2401, 'n')
                                                << QByteArray("line 2: more than 2400 bytes of text in one record");
        QTest::newRow("a quoted field beyond any row")
            << header + "1998/03/02,1 Miles,00:08:00,\"" + QByteArray(1200, '\n') + QByteArray(2402, '"') + "\""
            << QByteArray("line 2: more than 2400 bytes of text in one record");
        QTest::newRow("distance too long") << header + twoLines + "1998/03/02,1234567890 Miles,00:25:00,x\r\n"
                                           << QByteArray("line 4: Distance: 16 bytes in Windows-1252; a log row "
                                                         "holds at most 15");
        QTest::newRow("notes too long") << header + "1998/03/02,1 Miles,00:08:00," + QByteArray(756, 'n') + "\r\n"
                                        << QByteArray("line 2: Notes: 756 bytes in Windows-1252; a log row holds at "
                                                      "most 755");
        QTest::newRow("line break counts twice in notes")
            << header + "1998/03/02,1 Miles,00:08:00,\"" + QByteArray(754, 'n') + "\n\"\r\n"
            << QByteArray("line 2: Notes: 756 bytes");
        QTest::newRow("TAB in time") << header + "1998/03/02,1 Miles,\"00:08\t:00\",x\r\n"
                                     << QByteArray("line 2: Time: a TAB separates the fields");
        QTest::newRow("line break in date") << header + "\"1998/03\n/02\",1 Miles,00:08:00,x\r\n"
                                            << QByteArray("line 2: Date: a line break cannot be held");
        QTest::newRow("empty distance") << header + "1998/03/02,,00:08:00,x\r\n"
                                        << QByteArray("line 2: Distance: empty");
        QTest::newRow("record marker") << header + twoLines + "1998/03/02,1 Miles,00:08:00,Ol\xC3\xA9 \xC2\xA1\r\n"
                                       << QByteArray("line 4: Notes: the character '\xC2\xA1' (U+00A1) starts a "
                                                     "record");
        QTest::newRow("character outside the code page")
            << header + "1998/03/02,1 Miles,00:08:00,done \xE2\x9C\x93\r\n"
            << QByteArray("line 2: Notes: the character '\xE2\x9C\x93' (U+2713) cannot be held by Windows-1252");
        QTest::newRow("not UTF-8") << header + "1998/03/02,1 Miles,00:08:00,caf\xE9\r\n"
                                   << QByteArray("line 2: Notes: bytes that are not UTF-8");
        QTest::newRow("NUL") << header + QByteArray("1998/03/02,1 Miles,00:08:00,a\0b\r\n", 33)
                             << QByteArray("line 2: Notes: a NUL character");
        QTest::newRow("no-break spaces that would read back as a line break")
            << header + "1998/03/02,1 Miles,00:08:00,a\xC2\xA0\xC2\xA0z\r\n"
            << QByteArray("line 2: Notes: a no-break space (U+00A0) next to another");
        // Rows the entry editor could not have written, which the statistics would leave out without a word.
        QTest::newRow("date with dashes") << header + good + "2024-03-01,5 Miles,00:40:00,x\r\n"
                                          << QByteArray("line 3: Date: '2024-03-01': not a date of the form "
                                                        "yyyy/mm/dd (four-digit year, two-digit month and day), nor "
                                                        "No Date\n");
        QTest::newRow("no such day") << header + twoLines + "2024/02/30,5 Miles,00:40:00,x\r\n"
                                     << QByteArray("line 4: Date: '2024/02/30': not a day of the calendar between "
                                                   "1980/01/01 and 2079/12/31");
        QTest::newRow("one-digit month") << header + "2024/3/05,5 Miles,00:40:00,x\r\n"
                                         << QByteArray("line 2: Date: '2024/3/05': not a date of the form");
        QTest::newRow("misspelt unit") << header + "2024/03/05,5 Mlies,00:40:00,x\r\n"
                                       << QByteArray("line 2: Distance: '5 Mlies': the unit after the number is "
                                                     "not one of Miles, Kilometers and Marathons");
        QTest::newRow("unit in lower case") << header + "2024/03/05,5 miles,00:40:00,x\r\n"
                                            << QByteArray("line 2: Distance: '5 miles': the unit");
        QTest::newRow("bare number") << header + "2024/03/05,5,00:40:00,x\r\n"
                                     << QByteArray("line 2: Distance: '5': a number, a blank and a unit word are "
                                                   "needed, as in 5 Miles");
        QTest::newRow("not a number") << header + "2024/03/05,five Miles,00:40:00,x\r\n"
                                      << QByteArray("line 2: Distance: 'five Miles': the distance before the blank is "
                                                    "not a number");
        QTest::newRow("time without hours") << header + "2024/03/05,5 Miles,40:00,x\r\n"
                                            << QByteArray("line 2: Time: '40:00': not a time of the form hh:mm:ss");
        QTest::newRow("quote not closed") << header + good + "1998/03/02,1 Miles,00:08:00,\"open\r\n"
                                          << QByteArray("line 3: a quoted field is not closed");
        QTest::newRow("text after closing quote") << header + "1998/03/02,1 Miles,\"00:08:00\"x,n\r\n"
                                                  << QByteArray("line 2: text after the closing quote");
    }
    void importRefuses() {
        QFETCH(QByteArray, csv);
        QFETCH(QByteArray, cause);
        const QString in = Temp.filePath(QStringLiteral("refused-%1.csv").arg(QTest::currentDataTag()));
        const QString out = Temp.filePath(QStringLiteral("refused-%1.pquil").arg(QTest::currentDataTag()));
        WriteFile(in, csv);
        const Run run = RunPquil({"import", in, out});
        QCOMPARE(run.ExitCode, 1);
        const QByteArray prefix = "pquil: " + in.toUtf8() + ": ";
        QVERIFY2(run.Err.startsWith(prefix + cause), run.Err.constData());
        QVERIFY2(run.Err.endsWith("; nothing was written\n"), run.Err.constData());
        QVERIFY(!QFile::exists(out));
    }
};

QTEST_APPLESS_MAIN(tst_Pquil)
#include "tst_Pquil.moc"
