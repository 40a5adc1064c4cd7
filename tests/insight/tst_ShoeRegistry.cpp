#include <QTest>

#include <string>

#include "insight/LogProfile.h"
#include "insight/ShoeRegistry.h"
#include "log/LogList.h"

using namespace pq;

namespace {

LogList ShoeLog(int rows = 5) {
    LogList list;
    for (const char *row :
         {"2024/03/01\t10 Miles\t01:20:00\t@Pegasus", "2024/03/02\t5 Kilometers\t00:25:00\t@pegasus @Kinvara",
          "2024/03/03\t20 Miles\t03:00:00\t@Kinvara", "No Date\t3 Miles\t00:24:00\t@Zoom",
          "2024/04/01\t3 Miles\t00:24:00\t@Kinvara"}) {
        if (rows-- > 0) {
            list.AppendRow(row);
        }
    }
    return list;
}

// One line per shoe: name, runs, distance, limit and left in miles, status.
QStringList Describe(const std::vector<ShoeRow> &shoes) {
    QStringList lines;
    for (const ShoeRow &shoe : shoes) {
        lines << QString::fromStdString(shoe.Name + ' ' + std::to_string(shoe.Runs) + ' ' +
                                        FormatHundredths(DistanceIn(shoe, DistanceUnit::Miles)) + ' ' +
                                        FormatHundredths(LimitIn(shoe, DistanceUnit::Miles)) + ' ' +
                                        FormatHundredths(LeftIn(shoe, DistanceUnit::Miles)) + ' ' +
                                        std::string(ShoeStatusText(shoe.Status)));
    }
    return lines;
}

} // namespace

class TestShoeRegistry : public QObject {
    Q_OBJECT

private slots:
    void registry_data() {
        QTest::addColumn<QByteArray>("profile");
        QTest::addColumn<double>("globalMiles");
        QTest::addColumn<QStringList>("shoes");

        QTest::newRow("no profile: the global limit")
            << QByteArray() << 20.0
            << QStringList{"Kinvara 3 26.11 20.00 -6.11 over", "Pegasus 2 13.11 20.00 6.89 active",
                           "Zoom 0 0.00 20.00 20.00 active"};
        QTest::newRow("a start and an own limit, compared in its unit")
            << QByteArray("shoe @PEGASUS start 100 km limit 20 km") << 500.0
            << QStringList{"Kinvara 3 26.11 500.00 473.89 active", "Pegasus 2 75.24 12.43 -62.82 over",
                           "Zoom 0 0.00 500.00 500.00 active"};
        QTest::newRow("retired: runs after it counted, listed last, never over")
            << QByteArray("shoe @kinvara retired 2024/03/15") << 20.0
            << QStringList{"Pegasus 2 13.11 20.00 6.89 active", "Zoom 0 0.00 20.00 20.00 active",
                           "Kinvara 3 26.11 20.00 -6.11 retired"};
        QTest::newRow("a shoe of the profile without runs")
            << QByteArray("shoe @Spare start 12.5 mi limit 300 mi") << 500.0
            << QStringList{"Kinvara 3 26.11 500.00 473.89 active", "Pegasus 2 13.11 500.00 486.89 active",
                           "Spare 0 12.50 300.00 287.50 active", "Zoom 0 0.00 500.00 500.00 active"};
    }
    void registry() {
        QFETCH(QByteArray, profile);
        QFETCH(double, globalMiles);
        QFETCH(QStringList, shoes);
        const std::vector<ShoeRow> rows =
            CollectShoes(ShoeLog(), ParseProfile(profile.toStdString()), {globalMiles, DistanceUnit::Miles});
        QCOMPARE(Describe(rows), shoes);
    }

    void defaultShoe_data() {
        QTest::addColumn<QByteArray>("notes");
        QTest::addColumn<QByteArray>("marked");
        QTest::newRow("after a blank") << QByteArray("Easy") << QByteArray("Easy @Daily");
        QTest::newRow("empty notes") << QByteArray() << QByteArray("@Daily");
        QTest::newRow("a shoe already") << QByteArray("Easy @other") << QByteArray("Easy @other");
        QTest::newRow("an address is no shoe") << QByteArray("me@home") << QByteArray("me@home @Daily");
        QTest::newRow("fits the notes exactly") << QByteArray(748, 'x') << QByteArray(748, 'x') + " @Daily";
        QTest::newRow("would not fit") << QByteArray(749, 'x') << QByteArray(749, 'x');
    }
    void defaultShoe() {
        QFETCH(QByteArray, notes);
        QFETCH(QByteArray, marked);
        std::string text = notes.toStdString();
        QCOMPARE(AddDefaultShoe(text, "Daily"), notes != marked);
        QCOMPARE(QByteArray::fromStdString(text), marked);
    }

    // The last run takes Kinvara from 23.11 to 26.11 miles: over the profile's 25 miles, not Pegasus' 10 km,
    // which it was over already.
    void importTakesShoesOverTheirLimits() {
        const LogProfile profile = ParseProfile("shoe @Kinvara limit 25 mi\nshoe @Pegasus limit 10 km");
        const ProfileDistance limit{DefaultShoeLimitMiles, DistanceUnit::Miles};
        const std::vector<ShoeRow> before = CollectShoes(ShoeLog(4), profile, limit);
        const std::vector<ShoeRow> after = CollectShoes(ShoeLog(), profile, limit);
        const std::vector<const ShoeRow *> over = ShoesTakenOver(before, after);
        QCOMPARE(over.size(), std::size_t{1});
        QCOMPARE(TakenOverText(*over.front()), std::string("@Kinvara is now over its limit: 26.11 of 25.00 Miles"));
        const std::vector<ShoeRow> overBy = ShoesTakenOverBy(ShoeLog(), 4, profile, limit);
        QCOMPARE(overBy.size(), std::size_t{1});
        QCOMPARE(TakenOverText(overBy.front()), TakenOverText(*over.front()));
        QVERIFY(ShoesTakenOverBy(ShoeLog(), 5, profile, limit).empty());
    }
};

QTEST_APPLESS_MAIN(TestShoeRegistry)
#include "tst_ShoeRegistry.moc"
