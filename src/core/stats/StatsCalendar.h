#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace pq {

// Days after 31 December 1979: 1980/01/01 is day 1, 2079/12/31 is day 36525.
// A month outside 1..12 is taken as the nearest month in range; a result beyond 32 bits is saturated.
int DayNumber(int year, int month, int day);
// The same count over wide integers, for texts whose numbers may be far outside the calendar (month 1..12).
std::int64_t LongDayNumber(std::int64_t year, int month, std::int64_t day);

struct CalendarDate {
    int Year = 1980;
    int Month = 1;
    int Day = 1;
};

// The date of a day number of 1 or more.
CalendarDate DateOfDayNumber(int dayNumber);

// 0 Monday .. 6 Sunday; day 1 is a Tuesday.
int WeekdayOf(int dayNumber);
// The last day with the weekday weekStart (0 Monday .. 6 Sunday) on or before the day: where its week begins.
int FirstDayOfWeek(int dayNumber, int weekStart);

std::string_view MonthName(int month); // 1..12

// The weekdays' names, 0 Monday .. 6 Sunday, as options and the profile write them.
inline constexpr std::array<std::string_view, 7> WeekdayNames = {"monday", "tuesday",  "wednesday", "thursday",
                                                                 "friday", "saturday", "sunday"};
// The weekday (0 Monday .. 6 Sunday) a text names: one of WeekdayNames in any case or an unambiguous beginning of
// one; nothing otherwise.
std::optional<int> WeekdayOfName(std::string_view text);

// The day index (0 for the 1st) lowered where the month (index 0..11) of the year (index 0 for 1980) is shorter.
int ClampDay(int monthIndex, int dayIndex, int yearIndex);

} // namespace pq
