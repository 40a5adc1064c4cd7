#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace pq {

inline constexpr std::string_view NoDateText = "No Date";

inline constexpr std::string_view ImproperDateFormatMessage =
    "The date field must either be left blank or be of the format yyyy/mm/dd.";
inline constexpr std::string_view ImproperDateFormatCaption = "Improper date format.";
inline constexpr std::string_view InvalidDateMessage =
    "You have entered an invalid date. Valid dates are between 1980/01/01 and 2079/12/31 inclusive.";
inline constexpr std::string_view InvalidDateCaption = "Invalid date.";

inline constexpr int FirstYear = 1980;
inline constexpr int LastYear = 2079;

enum class DateCheck { Accepted, ImproperDateFormat, InvalidDate };

struct DateValidation {
    DateCheck Result = DateCheck::Accepted;
    std::string DateText; // the entry's date text when accepted
};

DateValidation ValidateDateText(std::string_view fieldText);

// The Date field's text for an entry's date: empty for "No Date", otherwise unchanged.
std::string DateFieldText(std::string_view entryDate);

struct CivilDate {
    int Year = 1980;
    int Month = 1;
    int Day = 1;
};

// The date of a text in the form yyyy/mm/dd inside the accepted range; false for any other text ("No Date" too).
bool ReadDateText(std::string_view text, CivilDate &date);

// The clock that gives today's local date; tests replace it.
using DateClock = std::function<CivilDate()>;
CivilDate SystemLocalDate();
void SetDateClock(DateClock clock); // an empty clock restores the system's
CivilDate TodayDate();              // through the current clock
std::string TodayDateText();        // through the current clock
std::string TodayDateText(const CivilDate &today);

// Days in a month of a year between 1980 and 2079 (every fourth year is a leap year there).
int DaysInMonth(int year, int month);

} // namespace pq
