#include <QtTest>

#include <string>

#include "ActivitySummary.h"
#include "ActivityTemplates.h"
#include "import/GreatCircle.h"

using namespace ActivityTemplates;

namespace {

constexpr std::int64_t Start = 1764572400; // 2025-12-01T07:00:00Z

// Points a known distance apart: 0.001 degrees of latitude along a meridian.
constexpr double Step = 0.001;
const double StepMeters = pq::HaversineMeters(0, 0, Step, 0);

} // namespace

class tst_GpxReader : public QObject {
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void haversine_data();
    void haversine();
};

void tst_GpxReader::read_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char *name, const std::string &bytes, const QString &expected) {
        QTest::newRow(name) << QByteArray::fromStdString(bytes) << expected;
    };
    const Segment three = {{0, 0, Start}, {Step, 0, Start + 60}, {2 * Step, 0, Start + 120}};
    const QString twoSteps = QString::number(2 * StepMeters, 'f', 2);

    row("a run without a type", Gpx({GpxTrack("Morning Run", "", {three})}),
        "2025-12-01T07:00:00Z - run " + twoSteps + " m 120.000 s 'Morning Run'");
    row("type running", Gpx({GpxTrack("", "running", {three})}),
        "2025-12-01T07:00:00Z running run " + twoSteps + " m 120.000 s");
    row("type trail_running", Gpx({GpxTrack("", "trail_running", {three})}),
        "2025-12-01T07:00:00Z trail_running run " + twoSteps + " m 120.000 s");
    row("another sport", Gpx({GpxTrack("Commute", "cycling", {three})}),
        "2025-12-01T07:00:00Z cycling other " + twoSteps + " m 120.000 s 'Commute'");

    // A pause that starts a new segment: neither the gap in space nor the gap in time counts.
    const Segment after = {{10 * Step, 0, Start + 600}, {11 * Step, 0, Start + 630}};
    row("a pause between segments", Gpx({GpxTrack("", "", {three, after})}),
        "2025-12-01T07:00:00Z - run " + QString::number(3 * StepMeters, 'f', 2) + " m 150.000 s");

    // Points without a time still count for the distance; the time runs from the first to the last timed point.
    const Segment partlyTimed = {
        {0, 0, std::nullopt}, {Step, 0, Start + 10}, {2 * Step, 0, Start + 70}, {3 * Step, 0, std::nullopt}};
    row("untimed points at the ends", Gpx({GpxTrack("", "", {partlyTimed})}),
        "2025-12-01T07:00:10Z - run " + QString::number(3 * StepMeters, 'f', 2) + " m 60.000 s");

    row("several tracks", Gpx({GpxTrack("One", "", {three}), GpxTrack("Two", "", {after})}),
        "2025-12-01T07:00:00Z - run " + twoSteps + " m 120.000 s 'One' | 2025-12-01T07:10:00Z - run " +
            QString::number(StepMeters, 'f', 2) + " m 30.000 s 'Two'");

    const Segment untimed = {{0, 0, std::nullopt}, {Step, 0, std::nullopt}};
    row("no timed points", Gpx({GpxTrack("Plan", "", {untimed})}),
        "error: no timed points: its tracks are planned routes, not recorded activities");
    row("an untimed track beside a timed one", Gpx({GpxTrack("Plan", "", {untimed}), GpxTrack("Done", "", {three})}),
        "2025-12-01T07:00:00Z - run " + twoSteps + " m 120.000 s 'Done'");
    row("no track", Gpx({}), "error: no activity found in the file");

    row("GPX 1.0 and zones in times",
        "<gpx xmlns=\"http://www.topografix.com/GPX/1/0\"><trk><trkseg>"
        "<trkpt lat=\"0\" lon=\"0\"><time>2025-12-01T08:00:00+01:00</time></trkpt>"
        "<trkpt lat=\"0.001\" lon=\"0\"><time>2025-12-01T07:00:01.5Z</time></trkpt></trkseg></trk></gpx>",
        "2025-12-01T07:00:00Z - run " + QString::number(StepMeters, 'f', 2) + " m 1.500 s");

    // Slower than 0.5 m/s between two timed points is a stop: left out of the moving time.
    const Segment stop = {{0, 0, Start}, {Step, 0, Start + 60}, {Step, 0, Start + 660}, {2 * Step, 0, Start + 720}};
    row("a stop inside a segment", Gpx({GpxTrack("", "", {stop})}),
        "2025-12-01T07:00:00Z - run " + twoSteps + " m 120.000 s");
    const Segment slow = {{0, 0, Start}, {Step, 0, Start + static_cast<std::int64_t>(StepMeters / 0.49)}};
    row("just below the stop speed", Gpx({GpxTrack("", "", {slow})}),
        "2025-12-01T07:00:00Z - run " + QString::number(StepMeters, 'f', 2) + " m 0.000 s");
    row("no namespace",
        "<gpx><trk><trkseg><trkpt lat=\"0\" lon=\"0\"><time>2025-12-01T07:00:00Z</time></trkpt>"
        "<trkpt lat=\"0.001\" lon=\"0\"><time>2025-12-01T07:00:30Z</time></trkpt></trkseg></trk></gpx>",
        "2025-12-01T07:00:00Z - run " + QString::number(StepMeters, 'f', 2) + " m 30.000 s");
    row("another namespace's trk is not a track",
        "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\" xmlns:x=\"urn:x\"><x:trk><trkseg><trkpt lat=\"0\" "
        "lon=\"0\"><time>2025-12-01T07:00:00Z</time></trkpt></trkseg></x:trk></gpx>",
        "error: no activity found in the file");
    row("a name with markup and entities", Gpx({GpxTrack("Caf&#233; &amp; <![CDATA[park]]>", "", {three})}),
        "2025-12-01T07:00:00Z - run " + twoSteps + " m 120.000 s 'Caf\u00e9 & park'");

    row("bad latitude", "<gpx><trk><trkseg><trkpt lat=\"91\" lon=\"0\"/></trkseg></trk></gpx>",
        "error: line 1, column 19: the point has no latitude between -90 and 90 (lat)");
    row("missing longitude", "<gpx><trk><trkseg><trkpt lat=\"1\"/></trkseg></trk></gpx>",
        "error: line 1, column 19: the point has no longitude between -180 and 180 (lon)");
    row("bad time", "<gpx><trk><trkseg><trkpt lat=\"1\" lon=\"1\"><time>yesterday</time></trkpt></trkseg></trk></gpx>",
        "error: line 1, column 57: the point's time 'yesterday' is not a date and time");
    const std::string whole = Gpx({GpxTrack("", "", {three})});
    row("truncated", whole.substr(0, whole.size() - 20),
        "error: line 9, column 3: not well-formed XML: unclosed token");
    row("not well-formed", "<gpx><trk></gpx>", "error: line 1, column 13: not well-formed XML: mismatched tag");
    row("another document", "<?xml version=\"1.0\"?><kml/>", "error: not a GPX, TCX, FIT or CSV file");

    // No token may pass 1 MiB; one just below is read.
    const std::string huge(std::size_t{1} << 21, 'x');
    const std::string large((std::size_t{1} << 20) - 100, 'x');
    const QString tooLong = "a name, value, comment or text is longer than 1 MiB";
    row("a huge attribute value", "<gpx creator=\"" + huge + "\"><trk/></gpx>", "error: line 1, column 1: " + tooLong);
    row("a huge comment", "<gpx><!--" + huge + "--><trk/></gpx>", "error: line 1, column 6: " + tooLong);
    row("a huge text", "<gpx><desc>" + huge + "</desc><trk/></gpx>", "error: ");
    row("a huge name", "<gpx><" + huge + "/></gpx>", "error: line 1, column 6: " + tooLong);
    row("a large comment", Gpx({"<!--" + large + "-->", GpxTrack("", "", {three})}),
        "2025-12-01T07:00:00Z - run " + twoSteps + " m 120.000 s");
}

void tst_GpxReader::read() {
    QFETCH(QByteArray, file);
    QFETCH(QString, expected);
    const QString summary = QString::fromStdString(ReadAndSummarize(file.toStdString()));
    QVERIFY2(summary.startsWith(expected), qPrintable(summary));
}

void tst_GpxReader::haversine_data() {
    QTest::addColumn<double>("lat1");
    QTest::addColumn<double>("lon1");
    QTest::addColumn<double>("lat2");
    QTest::addColumn<double>("lon2");
    QTest::addColumn<double>("meters");
    // Worked by hand: a quarter of the meridian is r pi / 2, one degree of the equator r pi / 180; London to Paris
    // worked through the formula step by step.
    QTest::newRow("same point") << 51.5 << -0.1 << 51.5 << -0.1 << 0.0;
    QTest::newRow("equator to pole") << 0.0 << 0.0 << 90.0 << 0.0 << 10007557.22;
    QTest::newRow("one degree of the equator") << 0.0 << 179.5 << 0.0 << -179.5 << 111195.08;
    QTest::newRow("antipodes") << 0.0 << 0.0 << 0.0 << 180.0 << 20015114.44;
    QTest::newRow("London to Paris") << 51.5074 << -0.1278 << 48.8566 << 2.3522 << 343556.54;
}

void tst_GpxReader::haversine() {
    QFETCH(double, lat1);
    QFETCH(double, lon1);
    QFETCH(double, lat2);
    QFETCH(double, lon2);
    QFETCH(double, meters);
    QVERIFY2(std::abs(pq::HaversineMeters(lat1, lon1, lat2, lon2) - meters) < 0.01,
             qPrintable(QString::number(pq::HaversineMeters(lat1, lon1, lat2, lon2), 'f', 3)));
}

QTEST_APPLESS_MAIN(tst_GpxReader)
#include "tst_GpxReader.moc"
