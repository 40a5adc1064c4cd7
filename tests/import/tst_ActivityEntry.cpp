#include <QtTest>

#include <cstdlib>
#include <ctime>

#include "import/ActivityEntry.h"
#include "import/DuplicateCheck.h"
#include "log/LogList.h"

class tst_ActivityEntry : public QObject {
    Q_OBJECT

private:
    static void SetZone(const QByteArray &zone) {
        qputenv("TZ", zone);
        tzset();
    }

private slots:
    void cleanup() { SetZone("UTC"); }

    void date_data() {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<qint64>("start");
        QTest::addColumn<QString>("date");
        // 2025-12-01T23:30:00Z: the same moment is a different day in Tokyo.
        QTest::newRow("UTC") << QByteArray("UTC") << qint64(1764631800) << "2025/12/01";
        QTest::newRow("Tokyo, the next day") << QByteArray("Asia/Tokyo") << qint64(1764631800) << "2025/12/02";
        QTest::newRow("New York, still the day")
            << QByteArray("America/New_York") << qint64(1764631800) << "2025/12/01";
        // 2026-01-01T03:00:00Z is New Year's Eve in Los Angeles.
        QTest::newRow("Los Angeles, the year before")
            << QByteArray("America/Los_Angeles") << qint64(1767236400) << "2025/12/31";
        QTest::newRow("POSIX rule") << QByteArray("XST-14") << qint64(1764572400) << "2025/12/01";
        QTest::newRow("before 1980") << QByteArray("UTC") << qint64(315532799) << "No Date";
        QTest::newRow("first day") << QByteArray("UTC") << qint64(315532800) << "1980/01/01";
        QTest::newRow("after 2079") << QByteArray("UTC") << qint64(3471292800) << "No Date";
    }
    void date() {
        QFETCH(QByteArray, zone);
        QFETCH(qint64, start);
        QFETCH(QString, date);
        SetZone(zone);
        QCOMPARE(QString::fromStdString(pq::ActivityDateText(start)), date);
    }

    void noStartHasNoDate() { QCOMPARE(pq::ActivityDateText(std::nullopt), std::string("No Date")); }

    void distance_data() {
        QTest::addColumn<double>("meters");
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("text");
        QTest::newRow("10 km in miles") << 10000.0 << 0 << "6.21 Miles";
        QTest::newRow("a marathon in miles") << 42195.0 << 0 << "26.22 Miles";
        QTest::newRow("a mile") << 1609.344 << 0 << "1.00 Miles";
        QTest::newRow("nothing") << 0.0 << 0 << "0.00 Miles";
        QTest::newRow("5 km") << 5000.0 << 1 << "5.00 Kilometers";
        QTest::newRow("9.999 km rounds to 10: tenths") << 9999.0 << 1 << "10.0 Kilometers";
        QTest::newRow("9.994 km keeps hundredths") << 9994.0 << 1 << "9.99 Kilometers";
        QTest::newRow("10 km: tenths so the row holds it") << 10000.0 << 1 << "10.0 Kilometers";
        QTest::newRow("a marathon in km") << 42195.0 << 1 << "42.2 Kilometers";
        QTest::newRow("100 km: whole kilometers") << 100000.0 << 1 << "100 Kilometers";
        QTest::newRow("widest miles") << 99999.99 * 1609.344 << 0 << "99999.99 Miles";
        QTest::newRow("too far for a row") << 1e12 << 1 << "";
    }
    void distance() {
        QFETCH(double, meters);
        QFETCH(int, unit);
        QFETCH(QString, text);
        const std::string made = pq::ActivityDistanceText(meters, static_cast<pq::DistanceUnit>(unit));
        QCOMPARE(QString::fromStdString(made), text);
        QVERIFY(made.size() <= pq::DistanceWidth);
    }

    void time_data() {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0.0 << "00:00:00";
        QTest::newRow("rounds down") << 59.49 << "00:00:59";
        QTest::newRow("rounds up into a minute") << 59.5 << "00:01:00";
        QTest::newRow("an hour") << 3600.0 << "01:00:00";
        QTest::newRow("over a day") << 100 * 3600.0 + 61 << "100:01:01";
        QTest::newRow("longest that fits") << 999999999 * 3600.0 + 3599 << "999999999:59:59";
        QTest::newRow("too long for a row") << 1e13 << "";
        QTest::newRow("far too long") << 1e19 << "";
        QTest::newRow("negative") << -5.0 << "";
        QTest::newRow("not a number") << std::nan("") << "";
        QTest::newRow("infinite") << HUGE_VAL << "";
    }
    void time() {
        QFETCH(double, seconds);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(pq::MovingTimeText(seconds)), text);
    }

    void notes_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("sport");
        QTest::addColumn<bool>("running");
        QTest::addColumn<QByteArray>("notes");
        QTest::newRow("name") << "Morning Run"
                              << "running" << true << QByteArray("Morning Run");
        QTest::newRow("sport") << ""
                               << "Running" << true << QByteArray("Running");
        QTest::newRow("neither") << ""
                                 << "" << true << QByteArray("None");
        QTest::newRow("other sport follows the name") << "Commute"
                                                      << "Cycling" << false << QByteArray("Commute (Cycling)");
        QTest::newRow("code page") << "Caf\u00e9 \u20ac5"
                                   << "" << true
                                   << QByteArray("Caf\xE9 \x80"
                                                 "5");
        QTest::newRow("beyond the code page") << "Run \u2713 \U0001F3C3"
                                              << "" << true << QByteArray("Run ? ?");
        QTest::newRow("reserved bytes and controls") << "a\tb\nc\u00a0d\u00a1e"
                                                     << "" << true << QByteArray("a b c d e");
        QTest::newRow("blanks only") << "  \t"
                                     << "" << true << QByteArray("None");
        QTest::newRow("cut to the notes' width") << QString(800, 'n') << "" << true << QByteArray(755, 'n');
    }
    void notes() {
        QFETCH(QString, name);
        QFETCH(QString, sport);
        QFETCH(bool, running);
        QFETCH(QByteArray, notes);
        pq::Activity activity;
        activity.Name = name.toStdString();
        activity.Sport = sport.toStdString();
        activity.Running = running;
        QCOMPARE(QByteArray::fromStdString(pq::ActivityNotes(activity)), notes);
    }

    void sportWords_data() {
        QTest::addColumn<QString>("sport");
        QTest::addColumn<bool>("running");
        QTest::addColumn<QString>("words");
        QTest::newRow("a run that names none") << "" << true << "Running";
        QTest::newRow("nothing said of a non-run") << "" << false << "Other";
        QTest::newRow("named") << "Running" << true << "Running";
        QTest::newRow("TCX Biking") << "Biking" << false << "Cycling";
        QTest::newRow("underscores") << "trail_running" << true << "Trail running";
        QTest::newRow("a bare number") << "9" << false << "Other (9)";
        QTest::newRow("FIT code without a name") << "Sport 200" << false << "Other (200)";
    }
    void sportWords() {
        QFETCH(QString, sport);
        QFETCH(bool, running);
        QFETCH(QString, words);
        pq::Activity activity;
        activity.Sport = sport.toStdString();
        activity.Running = running;
        QCOMPARE(QString::fromStdString(pq::SportWords(activity)), words);
    }

    void malformedUtf8InNotes() {
        pq::Activity activity;
        activity.Name = "ab\xC3\xE9";
        activity.Running = true;
        QCOMPARE(pq::ActivityNotes(activity), std::string("ab??"));
    }

    void entry() {
        pq::Activity activity;
        activity.Start = 1764572400;
        activity.DistanceMeters = 10000;
        activity.MovingSeconds = 2999.6;
        activity.Sport = "Running";
        activity.Running = true;
        pq::LogEntry entry;
        QCOMPARE(pq::MakeActivityEntry(activity, pq::DistanceUnit::Miles, pq::RowTime::Moving, entry),
                 std::string_view());
        QCOMPARE(pq::LogList::JoinEntry(entry), std::string("2025/12/01\t6.21 Miles\t00:50:00\tRunning"));
        activity.MovingSeconds = 1e13;
        QCOMPARE(pq::MakeActivityEntry(activity, pq::DistanceUnit::Miles, pq::RowTime::Moving, entry), pq::TimeTooLong);
        activity.DistanceMeters = 1e15;
        QCOMPARE(pq::MakeActivityEntry(activity, pq::DistanceUnit::Miles, pq::RowTime::Moving, entry),
                 pq::DistanceTooLong);
    }

    void duplicates() {
        pq::LogList list;
        list.AppendRow("2025/12/01\t6.21 Miles\t00:50:00\tMorning");
        pq::DuplicateCheck check(list);
        const auto entry = [](const char *date, const char *distance, const char *time, const char *notes) {
            return pq::LogEntry{date, distance, time, notes};
        };
        QVERIFY(!check.Contains(entry("2025/12/01", "6.21 Miles", "00:50:00", "before the row is counted")));
        check.CountRowsBefore(list.RowCount());
        QVERIFY(check.Contains(entry("2025/12/01", "6.21 Miles", "00:50:00", "other notes")));
        QVERIFY(!check.Contains(entry("2025/12/01", "6.21 Miles", "00:50:01", "Morning")));
        QVERIFY(!check.Contains(entry("2025/12/01", "10.0 Kilometers", "00:50:00", "Morning")));
        QVERIFY(!check.Contains(entry("2025/12/02", "6.21 Miles", "00:50:00", "Morning")));
        // The texts are told apart where they end, not only by what they hold together.
        QVERIFY(!check.Contains(entry("2025/12/016.21", " Miles", "00:50:00", "")));
        list.AppendRow("2025/12/02\t1.00 Miles\t00:08:00\t");
        QVERIFY(!check.Contains(entry("2025/12/02", "1.00 Miles", "00:08:00", "x")));
        check.CountRowsBefore(list.RowCount());
        QVERIFY(check.Contains(entry("2025/12/02", "1.00 Miles", "00:08:00", "x")));
        check.Clear();
        QVERIFY(!check.Contains(entry("2025/12/02", "1.00 Miles", "00:08:00", "x")));
    }

    // A table that grows many times over finds every row it counts and none it does not.
    void duplicatesAmongManyRows() {
        constexpr int Rows = 20000;
        pq::LogList list;
        const auto time = [](int i) {
            return QString::asprintf("%02d:%02d:%02d", i / 3600, i / 60 % 60, i % 60).toStdString();
        };
        for (int i = 0; i < Rows; ++i) {
            list.AppendEntry({"No Date", "1 Miles", time(i), ""});
        }
        pq::DuplicateCheck check(list);
        check.CountRowsBefore(Rows / 2);
        QCOMPARE(check.Counted(), Rows / 2);
        for (int i = 0; i < Rows; ++i) {
            QCOMPARE(check.Contains({"No Date", "1 Miles", time(i), ""}), i < Rows / 2);
        }
        check.CountRowsBefore(Rows);
        for (int i = 0; i < Rows; ++i) {
            QVERIFY(check.Contains({"No Date", "1 Miles", time(i), ""}));
        }
        QVERIFY(!check.Contains({"No Date", "2 Miles", time(0), ""}));
    }

    // Rows of equal texts among others: each key is found once counted, and a key first seen late still is.
    void duplicatesOfEqualRows() {
        pq::LogList list;
        for (int i = 0; i < 5000; ++i) {
            list.AppendEntry({"No Date", "3 Miles", "00:24:00", std::to_string(i)});
            if (i % 1000 == 999) {
                list.AppendEntry({"No Date", "3 Miles", "00:24:0" + std::to_string(i / 1000), ""});
            }
        }
        pq::DuplicateCheck check(list);
        check.CountRowsBefore(list.RowCount());
        QCOMPARE(check.Counted(), list.RowCount());
        for (int i = 0; i < 5; ++i) {
            QVERIFY(check.Contains({"No Date", "3 Miles", "00:24:0" + std::to_string(i), ""}));
        }
        QVERIFY(!check.Contains({"No Date", "3 Miles", "00:24:05", ""}));
    }
};

QTEST_APPLESS_MAIN(tst_ActivityEntry)
#include "tst_ActivityEntry.moc"
