#include <QtTest>

#include <string>

#include "ActivitySummary.h"
#include "ActivityTemplates.h"

using namespace ActivityTemplates;

namespace {

constexpr std::int64_t Start = 1764572400; // 2025-12-01T07:00:00Z

} // namespace

class tst_TcxReader : public QObject {
    Q_OBJECT

private slots:
    void read_data();
    void read();
};

void tst_TcxReader::read_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char *name, const std::string &bytes, const char *expected) {
        QTest::newRow(name) << QByteArray::fromStdString(bytes) << QString::fromUtf8(expected);
    };

    row("one lap", Tcx({TcxActivity("Running", Start, {{Start, 1500.5, 5000}})}),
        "2025-12-01T07:00:00Z Running run 5000.00 m 1500.500 s");
    // Laps' times leave out the pause between them; the track points' running distance is not the lap's.
    row("several laps with a pause between them",
        Tcx({TcxActivity("Running", Start,
                         {{Start, 300, 1000}, {Start + 900, 310.25, 1000.5}, {Start + 1300, 60, 0}})}),
        "2025-12-01T07:00:00Z Running run 2000.50 m 670.250 s");
    row("another sport", Tcx({TcxActivity("Biking", Start, {{Start + 5, 3600, 30000}})}),
        "2025-12-01T07:00:05Z Biking other 30000.00 m 3600.000 s");
    row("several activities",
        Tcx({TcxActivity("Other", Start, {{Start, 60, 10}}),
             TcxActivity("Running", Start + 86400, {{Start + 86400, 60, 200}})}),
        "2025-12-01T07:00:00Z Other other 10.00 m 60.000 s | 2025-12-02T07:00:00Z Running run 200.00 m 60.000 s");
    row("the Id when the lap has no StartTime",
        "<TrainingCenterDatabase><Activities><Activity Sport=\"Running\"><Id>2025-12-01T07:00:00Z</Id><Lap>"
        "<TotalTimeSeconds>10</TotalTimeSeconds><DistanceMeters>20</DistanceMeters></Lap></Activity></Activities>"
        "</TrainingCenterDatabase>",
        "2025-12-01T07:00:00Z Running run 20.00 m 10.000 s");
    row("a lap without distance",
        "<TrainingCenterDatabase><Activities><Activity Sport=\"Running\"><Lap StartTime=\"2025-12-01T07:00:00Z\">"
        "<TotalTimeSeconds>10</TotalTimeSeconds></Lap></Activity></Activities></TrainingCenterDatabase>",
        "2025-12-01T07:00:00Z Running run 0.00 m 10.000 s");
    row("courses only", "<TrainingCenterDatabase><Courses/></TrainingCenterDatabase>",
        "error: no activity found in the file");
    row("an activity without a lap",
        "<TrainingCenterDatabase><Activities><Activity Sport=\"Running\"><Id>2025-12-01T07:00:00Z</Id></Activity>"
        "</Activities></TrainingCenterDatabase>",
        "error: line 1, column 92: the activity has no lap");
    row("a time that is not a number",
        "<TrainingCenterDatabase><Activities><Activity Sport=\"Running\"><Lap><TotalTimeSeconds>ten"
        "</TotalTimeSeconds></Lap></Activity></Activities></TrainingCenterDatabase>",
        "error: line 1, column 89: the lap's TotalTimeSeconds 'ten' is not a number of 0 or more");
    row("a negative distance",
        "<TrainingCenterDatabase><Activities><Activity Sport=\"Running\"><Lap><DistanceMeters>-5"
        "</DistanceMeters></Lap></Activity></Activities></TrainingCenterDatabase>",
        "error: line 1, column 86: the lap's DistanceMeters '-5' is not a number of 0 or more");
    row("a bad StartTime",
        "<TrainingCenterDatabase><Activities><Activity Sport=\"Running\"><Lap StartTime=\"soon\"/></Activity>"
        "</Activities></TrainingCenterDatabase>",
        "error: line 1, column 63: the lap's StartTime 'soon' is not a date and time");
    const std::string whole = Tcx({TcxActivity("Running", Start, {{Start, 1500, 5000}})});
    row("truncated", whole.substr(0, whole.size() / 2), "error: line ");
}

void tst_TcxReader::read() {
    QFETCH(QByteArray, file);
    QFETCH(QString, expected);
    const QString summary = QString::fromStdString(ReadAndSummarize(file.toStdString()));
    QVERIFY2(summary.startsWith(expected), qPrintable(summary));
}

QTEST_APPLESS_MAIN(tst_TcxReader)
#include "tst_TcxReader.moc"
