#include <QTest>

#include <cstdint>

#include "insight/PaceBand.h"

using namespace pq;

namespace {

constexpr std::int64_t Hour = 360000;
constexpr std::int64_t Minute = 6000;
constexpr std::int64_t Hundredth = 1;

// One "end split elapsed" text per split.
QStringList Flatten(const PaceBand &band) {
    QStringList lines;
    for (const PaceSplit &split : band.Splits) {
        lines << QStringLiteral("%1%2 %3 %4")
                     .arg(split.End, 0, 'f', 2)
                     .arg(split.Whole ? "" : "~")
                     .arg(QString::fromStdString(FormatSplitTime(split.Split)))
                     .arg(QString::fromStdString(FormatSplitTime(split.Elapsed)));
    }
    return lines;
}

} // namespace

class TestPaceBand : public QObject {
    Q_OBJECT

private slots:
    void bands_data() {
        QTest::addColumn<double>("distance");
        QTest::addColumn<qint64>("time");
        QTest::addColumn<double>("percent");
        QTest::addColumn<QStringList>("splits");

        QTest::newRow("even whole") << 3.0 << qint64(24 * Minute) << 0.0
                                    << QStringList{"1.00 0:08:00.00 0:08:00.00", "2.00 0:08:00.00 0:16:00.00",
                                                   "3.00 0:08:00.00 0:24:00.00"};
        QTest::newRow("even with a partial last split")
            << 2.5 << qint64(20 * Minute) << 0.0
            << QStringList{"1.00 0:08:00.00 0:08:00.00", "2.00 0:08:00.00 0:16:00.00", "2.50~ 0:04:00.00 0:20:00.00"};
        QTest::newRow("shorter than one unit")
            << 0.5 << qint64(4 * Minute) << 0.0 << QStringList{"0.50~ 0:04:00.00 0:04:00.00"};
        // 2 units: first half 1 unit at p, second at 0.9p, p + 0.9p = 19:00.
        QTest::newRow("negative 10 percent") << 2.0 << qint64(19 * Minute) << 10.0
                                             << QStringList{"1.00 0:10:00.00 0:10:00.00", "2.00 0:09:00.00 0:19:00.00"};
        // 3 units, halfway inside the second split: 1.5p + 1.5·0.8p = 27:00 → p = 10:00.
        QTest::newRow("negative split across the half")
            << 3.0 << qint64(27 * Minute) << 20.0
            << QStringList{"1.00 0:10:00.00 0:10:00.00", "2.00 0:09:00.00 0:19:00.00", "3.00 0:08:00.00 0:27:00.00"};
        // Thirds of a hundredth round at every elapsed time, and the last split takes the rest.
        QTest::newRow("rounding keeps the total")
            << 3.0 << qint64(100) << 0.0
            << QStringList{"1.00 0:00:00.33 0:00:00.33", "2.00 0:00:00.34 0:00:00.67", "3.00 0:00:00.33 0:00:01.00"};
        QTest::newRow("within half a hundredth of whole")
            << 2.004 << qint64(20 * Minute) << 0.0
            << QStringList{"1.00 0:09:58.80 0:09:58.80", "2.00 0:10:01.20 0:20:00.00"};
        QTest::newRow("long hours") << 1.0 << qint64(123 * Hour + 4 * Minute + 505) << 0.0
                                    << QStringList{"1.00 123:04:05.05 123:04:05.05"};
    }

    void bands() {
        QFETCH(double, distance);
        QFETCH(qint64, time);
        QFETCH(double, percent);
        QFETCH(QStringList, splits);
        const PaceBand band = ComputePaceBand(distance, time, percent, Hundredth);
        QCOMPARE(band.Error, PaceBandError::None);
        QCOMPARE(Flatten(band), splits);
    }

    // Whatever the rounding, the splits add up to the race time to the hundredth and the last elapsed is it.
    void totalsAddUp_data() {
        QTest::addColumn<double>("distance");
        QTest::addColumn<qint64>("time");
        QTest::addColumn<double>("percent");
        QTest::addColumn<int>("count");

        QTest::newRow("marathon in miles") << 26.218749741 << qint64(3 * Hour + 29 * Minute + 3601) << 0.0 << 27;
        QTest::newRow("marathon in km, negative 2") << 42.195 << qint64(2 * Hour + 59 * Minute + 5999) << 2.0 << 43;
        QTest::newRow("half in miles, negative 3.5") << 13.109375 << qint64(Hour + 7 * Minute + 1) << 3.5 << 14;
        QTest::newRow("10 km, odd time") << 10.0 << qint64(41 * Minute + 7) << 1.0 << 10;
    }

    void totalsAddUp() {
        QFETCH(double, distance);
        QFETCH(qint64, time);
        QFETCH(double, percent);
        QFETCH(int, count);
        const PaceBand band = ComputePaceBand(distance, time, percent, Hundredth);
        QCOMPARE(band.Error, PaceBandError::None);
        QCOMPARE(static_cast<int>(band.Splits.size()), count);
        std::int64_t sum = 0;
        for (const PaceSplit &split : band.Splits) {
            QVERIFY(split.Split > 0);
            sum += split.Split;
            QCOMPARE(split.Elapsed, sum);
        }
        QCOMPARE(sum, time);
        if (percent > 0) {
            QVERIFY(band.Splits[1].Split > band.Splits[count - 2].Split);
        }
    }

    void refused_data() {
        QTest::addColumn<double>("distance");
        QTest::addColumn<qint64>("time");
        QTest::addColumn<double>("percent");
        QTest::addColumn<PaceBandError>("error");

        QTest::newRow("zero distance") << 0.0 << qint64(100) << 0.0 << PaceBandError::Distance;
        QTest::newRow("negative distance") << -1.0 << qint64(100) << 0.0 << PaceBandError::Distance;
        QTest::newRow("infinite distance") << qInf() << qint64(100) << 0.0 << PaceBandError::Distance;
        QTest::newRow("zero time") << 1.0 << qint64(0) << 0.0 << PaceBandError::Time;
        QTest::newRow("percent 100") << 1.0 << qint64(100) << 100.0 << PaceBandError::Negative;
        QTest::newRow("percent below 0") << 1.0 << qint64(100) << -1.0 << PaceBandError::Negative;
        QTest::newRow("too many splits") << 1001.0 << qint64(100) << 0.0 << PaceBandError::TooManySplits;
        QTest::newRow("under half a second") << 1.0 << qint64(49) << 0.0 << PaceBandError::Time;
    }

    void refused() {
        QFETCH(double, distance);
        QFETCH(qint64, time);
        QFETCH(double, percent);
        QFETCH(PaceBandError, error);
        const PaceBand band = ComputePaceBand(distance, time, percent, HundredthsPerSecond);
        QCOMPARE(band.Error, error);
        QVERIFY(band.Splits.empty());
    }

    // Whole seconds: each elapsed time is the exact one rounded to the second, each split the difference, so a
    // band's splits no longer alternate in their hundredths and the last elapsed time is the race time.
    void wholeSeconds_data() {
        QTest::addColumn<double>("distance");
        QTest::addColumn<qint64>("time");
        QTest::addColumn<QStringList>("splits");
        QTest::newRow("thirds of a second")
            << 3.0 << qint64(100 * 100) << QStringList{"1 0:33 0:33", "2 0:34 1:07", "3 0:33 1:40"};
        QTest::newRow("a race time with hundredths is rounded first")
            << 2.0 << qint64(16 * Minute + 151) << QStringList{"1 8:01 8:01", "2 8:01 16:02"};
        // 26.21875 miles in 3:30:00 is 8:00.57 a mile.
        QTest::newRow("a marathon's last splits")
            << 26.21875 << qint64(3 * Hour + 30 * Minute)
            << QStringList{"25 8:00 3:20:14", "26 8:01 3:28:15", "26.219 1:45 3:30:00"};
        QTest::newRow("a kilometer race to the meter")
            << 42.195 << qint64(3 * Hour) << QStringList{"41 4:16 2:54:54", "42 4:16 2:59:10", "42.195 0:50 3:00:00"};
    }

    void wholeSeconds() {
        QFETCH(double, distance);
        QFETCH(qint64, time);
        QFETCH(QStringList, splits);
        const PaceBand band = ComputePaceBand(distance, time, 0, HundredthsPerSecond);
        QCOMPARE(band.Error, PaceBandError::None);
        QStringList lines;
        for (const PaceSplit &split : band.Splits) {
            lines << QString::fromStdString(SplitEndText(split) + ' ' + FormatSplitSeconds(split.Split) + ' ' +
                                            FormatSplitSeconds(split.Elapsed));
        }
        QCOMPARE(lines.mid(lines.size() - splits.size()), splits);
    }

    void mostSplitsAccepted() { QCOMPARE(ComputePaceBand(1000.0, 100000, 0, Hundredth).Splits.size(), MostPaceSplits); }
};

QTEST_APPLESS_MAIN(TestPaceBand)
#include "tst_PaceBand.moc"
