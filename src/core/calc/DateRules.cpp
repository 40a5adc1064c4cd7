#include "calc/DateRules.h"

#include <ctime>

namespace pq {

namespace {

constexpr std::size_t DateTextLength = 10;
constexpr std::size_t FirstSeparator = 4;
constexpr std::size_t SecondSeparator = 7;
constexpr char DateSeparator = '/';
constexpr int MonthsPerYear = 12;
constexpr int LeapYearCycle = 4;
constexpr int YearsPerCentury = 100;
constexpr int TmYearBase = 1900;

DateClock &CurrentClock() {
    static DateClock clock;
    return clock;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int DigitsValue(std::string_view digits) {
    int value = 0;
    for (const char c : digits) {
        value = value * 10 + (c - '0');
    }
    return value;
}

void AppendTwoDigits(std::string &text, int value) {
    text += static_cast<char>('0' + value / 10 % 10);
    text += static_cast<char>('0' + value % 10);
}

// Ten characters: four digits, "/", two digits, "/", two digits.
bool HasDateForm(std::string_view text) {
    if (text.size() != DateTextLength) {
        return false;
    }
    for (std::size_t i = 0; i < DateTextLength; ++i) {
        const bool separatorPlace = i == FirstSeparator || i == SecondSeparator;
        if (separatorPlace ? text[i] != DateSeparator : !IsDigit(text[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

bool ReadDateText(std::string_view text, CivilDate &date) {
    if (!HasDateForm(text)) {
        return false;
    }
    date.Year = DigitsValue(text.substr(0, FirstSeparator));
    date.Month = DigitsValue(text.substr(FirstSeparator + 1, SecondSeparator - FirstSeparator - 1));
    date.Day = DigitsValue(text.substr(SecondSeparator + 1));
    return date.Year >= FirstYear && date.Year <= LastYear && date.Day >= 1 &&
           date.Day <= DaysInMonth(date.Year, date.Month);
}

DateValidation ValidateDateText(std::string_view fieldText) {
    if (fieldText.empty()) {
        return {DateCheck::Accepted, std::string(NoDateText)};
    }
    if (!HasDateForm(fieldText)) {
        return {DateCheck::ImproperDateFormat, {}};
    }
    CivilDate date;
    if (!ReadDateText(fieldText, date)) {
        return {DateCheck::InvalidDate, {}};
    }
    return {DateCheck::Accepted, std::string(fieldText)};
}

std::string DateFieldText(std::string_view entryDate) {
    return entryDate == NoDateText ? std::string() : std::string(entryDate);
}

CivilDate SystemLocalDate() {
    const std::time_t now = std::time(nullptr);
    // The program reads the clock on its one user-interface thread only, so the shared result is safe here.
    const std::tm *local = std::localtime(&now);
    if (local == nullptr) {
        return {};
    }
    return {local->tm_year + TmYearBase, local->tm_mon + 1, local->tm_mday};
}

void SetDateClock(DateClock clock) {
    CurrentClock() = std::move(clock);
}

CivilDate TodayDate() {
    const DateClock &clock = CurrentClock();
    return clock ? clock() : SystemLocalDate();
}

std::string TodayDateText() {
    return TodayDateText(TodayDate());
}

std::string TodayDateText(const CivilDate &today) {
    // Only the last two digits of the year are known; 80..99 belong to the 1900s, 00..79 to the 2000s.
    const int twoDigitYear = (today.Year % YearsPerCentury + YearsPerCentury) % YearsPerCentury;
    std::string text = twoDigitYear / 10 >= 8 ? "19" : "20";
    AppendTwoDigits(text, twoDigitYear);
    text += DateSeparator;
    AppendTwoDigits(text, today.Month);
    text += DateSeparator;
    AppendTwoDigits(text, today.Day);
    return text;
}

int DaysInMonth(int year, int month) {
    constexpr int Days[MonthsPerYear] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    constexpr int February = 2;
    if (month < 1 || month > MonthsPerYear) {
        return 0;
    }
    return Days[month - 1] + (month == February && year % LeapYearCycle == 0 ? 1 : 0);
}

} // namespace pq
