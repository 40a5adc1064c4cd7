#include <QTest>

#include <limits>

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
    void dayNumber();
    void dayNumberMatchesYearByYearCount();
    void dateOfDayNumberMatchesYearByYearCount();
    void weekdayAndMonthName();
    void clampDay();
};

void TestStatsCalendar::dayNumber() {
    QCOMPARE(DayNumber(1980, 1, 1), 1);
    QCOMPARE(DayNumber(1980, 12, 31), 366);
    QCOMPARE(DayNumber(1981, 1, 1), 367);
    QCOMPARE(DayNumber(1998, 3, 2), 6636);
    QCOMPARE(DayNumber(2000, 2, 29), 7365);
    QCOMPARE(DayNumber(2079, 12, 31), 36525);
    QCOMPARE(DayNumber(1975, 3, 2), DayNumber(1980, 3, 2));
    QCOMPARE(DayNumber(1980, 13, 1), DayNumber(1980, 12, 1));
    QCOMPARE(DayNumber(2000000000, 12, 31), std::numeric_limits<int>::max());
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

void TestStatsCalendar::weekdayAndMonthName() {
    QCOMPARE(WeekdayOf(0), 0);
    QCOMPARE(WeekdayOf(1), 1);     // 1980/01/01, a Tuesday
    QCOMPARE(WeekdayOf(6636), 0);  // 1998/03/02, a Monday
    QCOMPARE(WeekdayOf(36525), 6); // 2079/12/31, a Sunday
    QCOMPARE(WeekdayOf(-1), 6);
    QCOMPARE(MonthName(3), std::string_view("March"));
    QCOMPARE(MonthName(12), std::string_view("December"));
    QVERIFY(MonthName(0).empty() && MonthName(13).empty());
}

void TestStatsCalendar::clampDay() {
    QCOMPARE(ClampDay(1, 30, 20), 28); // February 31st, 2000
    QCOMPARE(ClampDay(1, 30, 21), 27); // February 31st, 2001
    QCOMPARE(ClampDay(1, 28, 21), 27);
    QCOMPARE(ClampDay(1, 27, 21), 27);
    QCOMPARE(ClampDay(3, 30, 18), 29); // April 31st
    QCOMPARE(ClampDay(10, 30, 18), 29);
    QCOMPARE(ClampDay(3, 29, 18), 29);
    QCOMPARE(ClampDay(0, 30, 18), 30); // January 31st stays
    QCOMPARE(ClampDay(11, 30, 18), 30);
}

QTEST_APPLESS_MAIN(TestStatsCalendar)
#include "tst_StatsCalendar.moc"
