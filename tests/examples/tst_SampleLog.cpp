#include <QtTest>

#include <QFile>

#include "calc/EntryForm.h"
#include "calc/RunArithmetic.h"
#include "log/LogFile.h"

using namespace pq;

// The sample log that the README's screenshots and tools/run.sh show: every row must be one the entry editor could
// have written, at a pace a runner runs.
class tst_SampleLog : public QObject {
    Q_OBJECT

    static constexpr double SlowestPace = 15.0; // minutes per mile
    static constexpr double FastestPace = 4.0;
    static constexpr int SecondsPerHour = 3600;
    static constexpr int SecondsPerMinute = 60;

    static LogList Sample() {
        QFile file(QStringLiteral(PACEQUILL_TEST_DATA "/../../examples/sample.pquil"));
        LogList list;
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = file.readAll();
            ReadLogBytes(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), list);
        }
        return list;
    }

    // Minutes per mile of a row in the editor's form ("13.1 Miles", "01:43:29").
    static double PacePerMile(const LogEntry &entry) {
        DistanceUnit unit = DistanceUnit::Miles;
        if (!RecognizeUnit(entry.Distance, unit)) {
            return 0;
        }
        const double miles = ParseNumber(entry.Distance) / UnitsPerMile(unit);
        const QStringList parts = QString::fromLatin1(entry.Time).split(u':');
        if (parts.size() != 3 || miles <= 0) {
            return 0;
        }
        const double seconds =
            parts[0].toDouble() * SecondsPerHour + parts[1].toDouble() * SecondsPerMinute + parts[2].toDouble();
        return seconds / SecondsPerMinute / miles;
    }

private slots:
    void everyRowIsARunnersRun_data() {
        QTest::addColumn<int>("row");
        const LogList list = Sample();
        QVERIFY(list.RowCount() > 0);
        for (int row = 0; row < list.RowCount(); ++row) {
            const LogEntry entry = list.ReadEntry(row);
            QTest::addRow("%d %s %s %s", row + 1, entry.Date.c_str(), entry.Distance.c_str(), entry.Time.c_str())
                << row;
        }
    }
    void everyRowIsARunnersRun() {
        QFETCH(int, row);
        const LogEntry entry = Sample().ReadEntry(row);
        const std::optional<EntryFault> fault = CheckEntryForm(entry);
        QVERIFY2(!fault, fault ? fault->Reason.c_str() : "");
        const double pace = PacePerMile(entry);
        QVERIFY2(pace >= FastestPace && pace <= SlowestPace, qPrintable(QStringLiteral("%1 min/mile").arg(pace)));
    }
};

QTEST_APPLESS_MAIN(tst_SampleLog)
#include "tst_SampleLog.moc"
