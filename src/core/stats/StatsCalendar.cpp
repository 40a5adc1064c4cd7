#include "stats/StatsCalendar.h"

#include <algorithm>
#include <limits>

namespace pq {

namespace {

constexpr int CalendarStartYear = 1980;
constexpr int MonthsPerYear = 12;
constexpr int CommonYearDays = 365;
constexpr int LeapCycleYears = 4;
constexpr int LeapCycleDays = LeapCycleYears * CommonYearDays + 1;
constexpr int DaysPerWeek = 7;
constexpr int February = 2;

constexpr std::array<int, MonthsPerYear> DaysBeforeMonth = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
// The last entry is 400 so that the month search always stops at December.
constexpr std::array<int, MonthsPerYear> CommonDaysThrough = {31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 400};
constexpr std::array<int, MonthsPerYear> LeapDaysThrough = {31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 400};

constexpr std::array<std::string_view, MonthsPerYear> MonthNames = {"January",   "February", "March",    "April",
                                                                    "May",       "June",     "July",     "August",
                                                                    "September", "October",  "November", "December"};

// Day indexes of the last days of short months.
constexpr int LastDayIndexShortMonth = 29;
constexpr int LastDayIndexLeapFebruary = 28;
constexpr int LastDayIndexCommonFebruary = 27;
constexpr int FebruaryIndex = 1;
constexpr std::array<int, 4> ShortMonthIndexes = {3, 5, 8, 10};

} // namespace

std::int64_t LongDayNumber(std::int64_t year, int month, std::int64_t day) {
    month = std::clamp(month, 1, MonthsPerYear);
    // Closed form of counting 365 + leap per year from 1980, where every fourth year from 1980 on is a leap year
    // (and 1980 itself, so earlier years count as 1980).
    const std::int64_t years = std::max<std::int64_t>(0, year - CalendarStartYear);
    const bool leap = years % LeapCycleYears == 0;
    std::int64_t n = years * CommonYearDays + (years + LeapCycleYears - 1) / LeapCycleYears;
    n += DaysBeforeMonth[month - 1] + day;
    if (leap && month > February) {
        n += 1;
    }
    return n;
}

int DayNumber(int year, int month, int day) {
    const std::int64_t n = LongDayNumber(year, month, day);
    return static_cast<int>(
        std::clamp<std::int64_t>(n, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

CalendarDate DateOfDayNumber(int dayNumber) {
    int n = dayNumber;
    int year = CalendarStartYear;
    if (n > LeapCycleDays) {
        // Whole four-year cycles first; each starts with a leap year, like the year-by-year count.
        const int cycles = (n - 1) / LeapCycleDays;
        n -= cycles * LeapCycleDays;
        year += cycles * LeapCycleYears;
    }
    int leap = 1;
    int k = 0;
    while (n > CommonYearDays + leap) {
        n -= CommonYearDays + leap;
        ++year;
        ++k;
        leap = k % LeapCycleYears == 0 ? 1 : 0;
    }
    const auto &through = leap ? LeapDaysThrough : CommonDaysThrough;
    int month = 1;
    while (month < MonthsPerYear && through[month - 1] < n) {
        ++month;
    }
    if (month > 1) {
        n -= through[month - 2];
    }
    return {year, month, n};
}

int WeekdayOf(int dayNumber) {
    return (dayNumber % DaysPerWeek + DaysPerWeek) % DaysPerWeek;
}

int FirstDayOfWeek(int dayNumber, int weekStart) {
    return dayNumber - WeekdayOf(dayNumber - weekStart);
}

std::string_view MonthName(int month) {
    if (month < 1 || month > MonthsPerYear) {
        return {};
    }
    return MonthNames[month - 1];
}

int ClampDay(int monthIndex, int dayIndex, int yearIndex) {
    if (monthIndex == FebruaryIndex) {
        if (dayIndex > LastDayIndexCommonFebruary) {
            return yearIndex % LeapCycleYears == 0 ? LastDayIndexLeapFebruary : LastDayIndexCommonFebruary;
        }
        return dayIndex;
    }
    if (std::find(ShortMonthIndexes.begin(), ShortMonthIndexes.end(), monthIndex) != ShortMonthIndexes.end()) {
        return std::min(dayIndex, LastDayIndexShortMonth);
    }
    return dayIndex;
}

std::optional<int> WeekdayOfName(std::string_view text) {
    const auto lower = [](char byte) {
        return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte;
    };
    std::optional<int> found;
    for (std::size_t day = 0; day < WeekdayNames.size() && !text.empty(); ++day) {
        const std::string_view name = WeekdayNames[day];
        if (text.size() <= name.size() &&
            std::equal(text.begin(), text.end(), name.begin(), [&](char a, char b) { return lower(a) == b; })) {
            if (found) {
                return std::nullopt;
            }
            found = static_cast<int>(day);
        }
    }
    return found;
}

} // namespace pq
