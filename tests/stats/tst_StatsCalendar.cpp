#include <QTest>

#include "stats/StatsCalendar.h"

using namespace pq;

namespace {

constexpr int DaysBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
constexpr int CommonThrough[12] = {31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 400};
constexpr int LeapThrough[12] = {31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 400};

// The year-by-year count the closed form must reproduce.
int ReferenceDayNumber(int year, int month, int day) {
    int n = 0;
    int leap = 1;
    int k = 0;
    for (int i = 0; i < year - 1980; ++i) {
        n += 365 + leap;
        ++k;
        leap = k % 4 == 0 ? 1 : 0;
    }
    n += DaysBefore[month - 1] + day;
    if (leap == 1 && month > 2) {
        ++n;
    }
    return n;
}

CalendarDate ReferenceDate(int n) {
    int year = 1980;
    int leap = 1;
    int k = 0;
    while (n > 365 + leap) {
        n -= 365 + leap;
        ++year;
        ++k;
        leap = k % 4 == 0 ? 1 : 0;
    }
    const int *through = leap ? LeapThrough : CommonThrough;
    int month = 1;
    while (through[month - 1] < n) {
        ++month;
    }
    if (month > 1) {
        n -= through[month - 2];
    }
    return {year, month, n};
}

} // namespace

class TestStatsCalendar : public QObject {
    Q_OBJECT

private slots:
    void dayNumber_data();
    void dayNumber();
    void dayNumberMatchesYearByYearCount();
    void dateOfDayNumberMatchesYearByYearCount();
    void dateOfDayNumberInvertsDayNumber();
    void weekday_data();
    void weekday();
    void monthName();
    void clampDay_data();
    void clampDay();
};

void TestStatsCalendar::dayNumber_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("number");
    QTest::newRow("1980/01/01") << 1980 << 1 << 1 << 1;
    QTest::newRow("1980/12/31") << 1980 << 12 << 31 << 366;
    QTest::newRow("1981/01/01") << 1981 << 1 << 1 << 367;
    QTest::newRow("1998/03/02") << 1998 << 3 << 2 << 6636;
    QTest::newRow("2000/02/29") << 2000 << 2 << 29 << 7365;
    QTest::newRow("2079/12/31") << 2079 << 12 << 31 << 36525;
    QTest::newRow("1975/03/02 as 1980") << 1975 << 3 << 2 << 62;
    QTest::newRow("month out of range clamped") << 1980 << 13 << 1 << 336;
    QTest::newRow("saturated") << 2000000000 << 12 << 31 << 2147483647;
}

void TestStatsCalendar::dayNumber() {
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(int, number);
    QCOMPARE(DayNumber(year, month, day), number);
}

void TestStatsCalendar::dayNumberMatchesYearByYearCount() {
    for (int year = 1970; year <= 2260; ++year) {
        for (int month = 1; month <= 12; ++month) {
            for (int day = 0; day <= 32; ++day) {
                if (DayNumber(year, month, day) != ReferenceDayNumber(year, month, day)) {
                    QFAIL(qPrintable(QStringLiteral("%1/%2/%3").arg(year).arg(month).arg(day)));
                }
            }
        }
    }
}

void TestStatsCalendar::dateOfDayNumberMatchesYearByYearCount() {
    for (int n = -3; n <= 120000; ++n) {
        const CalendarDate date = DateOfDayNumber(n);
        const CalendarDate expected = ReferenceDate(n);
        if (date.Year != expected.Year || date.Month != expected.Month || date.Day != expected.Day) {
            QFAIL(qPrintable(QStringLiteral("day number %1").arg(n)));
        }
    }
}

void TestStatsCalendar::dateOfDayNumberInvertsDayNumber() {
    const CalendarDate date = DateOfDayNumber(6636);
    QCOMPARE(date.Year, 1998);
    QCOMPARE(date.Month, 3);
    QCOMPARE(date.Day, 2);
    const CalendarDate last = DateOfDayNumber(36525);
    QCOMPARE(last.Year, 2079);
    QCOMPARE(last.Month, 12);
    QCOMPARE(last.Day, 31);
}

void TestStatsCalendar::weekday_data() {
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("weekday");
    QTest::newRow("day 0 Monday") << 0 << 0;
    QTest::newRow("1980/01/01 Tuesday") << 1 << 1;
    QTest::newRow("1998/03/02 Monday") << 6636 << 0;
    QTest::newRow("2079/12/31 Sunday") << 36525 << 6;
    QTest::newRow("negative stays in range") << -1 << 6;
}

void TestStatsCalendar::weekday() {
    QFETCH(int, number);
    QFETCH(int, weekday);
    QCOMPARE(WeekdayOf(number), weekday);
}

void TestStatsCalendar::monthName() {
    QCOMPARE(MonthName(1), std::string_view("January"));
    QCOMPARE(MonthName(3), std::string_view("March"));
    QCOMPARE(MonthName(12), std::string_view("December"));
    QVERIFY(MonthName(0).empty());
    QVERIFY(MonthName(13).empty());
}

void TestStatsCalendar::clampDay_data() {
    QTest::addColumn<int>("monthIndex");
    QTest::addColumn<int>("dayIndex");
    QTest::addColumn<int>("yearIndex");
    QTest::addColumn<int>("result");
    QTest::newRow("february 31st in 2000") << 1 << 30 << 20 << 28;
    QTest::newRow("february 31st in 2001") << 1 << 30 << 21 << 27;
    QTest::newRow("february 29th in 2001") << 1 << 28 << 21 << 27;
    QTest::newRow("february 28th in 2001") << 1 << 27 << 21 << 27;
    QTest::newRow("april 31st") << 3 << 30 << 18 << 29;
    QTest::newRow("november 31st") << 10 << 30 << 18 << 29;
    QTest::newRow("april 30th") << 3 << 29 << 18 << 29;
    QTest::newRow("january 31st") << 0 << 30 << 18 << 30;
    QTest::newRow("december 31st") << 11 << 30 << 18 << 30;
}

void TestStatsCalendar::clampDay() {
    QFETCH(int, monthIndex);
    QFETCH(int, dayIndex);
    QFETCH(int, yearIndex);
    QFETCH(int, result);
    QCOMPARE(ClampDay(monthIndex, dayIndex, yearIndex), result);
}

QTEST_APPLESS_MAIN(TestStatsCalendar)
#include "tst_StatsCalendar.moc"
