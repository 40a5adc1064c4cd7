#include "stats/PeriodTotals.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "calc/RunArithmetic.h"
#include "log/LogEntry.h"
#include "log/LogList.h"

namespace pq {

namespace {

constexpr char KeySeparator = '\t';
constexpr char DateSeparator = '/';
constexpr char Blank = ' ';
constexpr std::size_t DayNumberDigits = 5;
// Day numbers must fit the five zero-padded digits so that byte order stays date order.
constexpr std::int64_t LargestKeyDayNumber = 99999;
constexpr std::int64_t SmallestKeyDayNumber = 0;
// Integers read from texts saturate here; far beyond any calendar value and safe to add and multiply.
constexpr std::int64_t IntegerCap = 1'000'000'000;
constexpr int MonthsPerYear = 12;
constexpr int DaysPerWeek = 7;
constexpr int CalendarStartYear = 1980;
constexpr int YearBeforeCalendar = 1979;
constexpr int DaysInDecember = 31;
// Room per key beyond its texts: five digits, a weekday digit and four tabs.
constexpr std::size_t KeyOverhead = DayNumberDigits + 1 + 4;
constexpr std::size_t TypicalKeyBytes = 48;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The bytes of the row's key if the row has one, else 0 for the rows left out at a glance.
std::size_t KeyBytesAtMost(std::string_view date, std::string_view distance, std::string_view time) {
    if (date.empty() || !IsDigit(date.front())) {
        return 0;
    }
    return KeyOverhead + date.size() + std::min(distance.size(), KeyDistanceWidth) +
           std::min(time.size(), KeyTimeWidth);
}

// A decimal integer at the start of a text: white space, an optional sign, digits up to the first other character.
std::int64_t ReadInteger(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsWhiteSpace(text[pos])) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    std::int64_t value = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
        value = std::min(value * 10 + (text[pos] - '0'), IntegerCap);
    }
    return negative ? -value : value;
}

std::string_view After(std::string_view text, std::size_t pos) {
    return pos == std::string_view::npos ? std::string_view() : text.substr(pos + 1);
}

// Appends the key of one row to `key`; false when the row is left out of the snapshot.
bool ComposeRowKey(std::string &key, std::string_view date, std::string_view distance, std::string_view time) {
    if (date.empty() || !IsDigit(date.front())) {
        return false;
    }
    const std::size_t firstSeparator = date.find(DateSeparator);
    if (firstSeparator == std::string_view::npos) {
        return false;
    }
    const std::size_t secondSeparator = date.find(DateSeparator, firstSeparator + 1);
    if (secondSeparator == std::string_view::npos) {
        return false;
    }
    const std::int64_t year = ReadInteger(date);
    const std::int64_t month = ReadInteger(After(date, firstSeparator));
    const std::int64_t day = ReadInteger(After(date, secondSeparator));
    if (month < 1 || month > MonthsPerYear) {
        return false;
    }
    const std::int64_t dayNumber = LongDayNumber(year, static_cast<int>(month), day);
    if (dayNumber < SmallestKeyDayNumber || dayNumber > LargestKeyDayNumber) {
        return false;
    }
    const std::size_t start = key.size();
    key.append(DayNumberDigits, '0');
    std::int64_t rest = dayNumber;
    for (std::size_t i = DayNumberDigits; i > 0 && rest > 0; --i, rest /= 10) {
        key[start + i - 1] = static_cast<char>('0' + rest % 10);
    }
    key += KeySeparator;
    key += static_cast<char>('0' + WeekdayOf(static_cast<int>(dayNumber)));
    key += KeySeparator;
    key.append(date);
    key += KeySeparator;
    key.append(distance.substr(0, KeyDistanceWidth));
    key += KeySeparator;
    key.append(time.substr(0, KeyTimeWidth));
    return true;
}

// The parts of a row key that the computations use.
struct KeyFields {
    int DayNumber = 0;
    int Weekday = 0;
    std::string_view Date;
    std::string_view Distance;
};

KeyFields ReadKey(std::string_view key) {
    KeyFields fields;
    std::string_view parts[4];
    std::size_t start = 0;
    for (std::string_view &part : parts) {
        const std::size_t tab = key.find(KeySeparator, start);
        part = key.substr(std::min(start, key.size()), tab == std::string_view::npos ? key.npos : tab - start);
        start = tab == std::string_view::npos ? key.size() + 1 : tab + 1;
    }
    fields.DayNumber = static_cast<int>(ReadInteger(parts[0]));
    fields.Weekday = static_cast<int>(ReadInteger(parts[1]));
    fields.Date = parts[2];
    fields.Distance = parts[3];
    return fields;
}

// The keys lie in the snapshot's buffer in list order, not in date order: the first bytes of a run of keys are read
// together before the run is parsed, so that their cache misses overlap instead of coming one after another.
constexpr std::size_t KeyRun = 32;
volatile unsigned char KeyRunSink = 0; // keeps the reads of a run from being left out

KeyFields KeyAt(const TPacequillSSArray &snapshot, std::size_t index) {
    if (index % KeyRun == 0) {
        unsigned char touched = 0;
        for (std::size_t i = index; i < std::min(index + KeyRun, snapshot.Size()); ++i) {
            const std::string_view key = snapshot[i];
            touched = static_cast<unsigned char>(touched ^ (key.empty() ? 0 : key.front()));
        }
        KeyRunSink = touched;
    }
    return ReadKey(snapshot[index]);
}

// Adds one key's distance: the number before the first blank after any leading blanks, the unit word after it.
void AccumulateKey(UnitTotals &totals, const KeyFields &fields, const UnitReporter &report) {
    const std::string_view distance = fields.Distance;
    const std::size_t numberStart = std::min(distance.find_first_not_of(Blank), distance.size());
    const std::size_t blank = distance.find(Blank, numberStart);
    const std::string_view number =
        distance.substr(numberStart, blank == distance.npos ? distance.npos : blank - numberStart);
    const std::string_view unitWord = After(distance, blank);
    double value = ParseNumber(number);
    // An overflowing number counts like one that is not a number, so no total becomes infinite.
    if (!std::isfinite(value)) {
        value = 0;
    }
    if (!AccumulateDistance(totals, value, unitWord) && report) {
        report({fields.Date, fields.Distance});
    }
}

bool AllNonZero(const UnitTotals &totals) {
    return totals.Miles != 0 && totals.Kilometers != 0 && totals.Marathons != 0;
}

PeriodRow MakeRow(std::string label, const UnitTotals &totals) {
    return {std::move(label), FormatHundredths(totals.Miles), FormatHundredths(totals.Kilometers),
            FormatHundredths(totals.Marathons)};
}

std::string WeekLabel(int firstDay) {
    if (firstDay <= 0) {
        return std::string(MonthName(MonthsPerYear)) + ' ' + std::to_string(firstDay + DaysInDecember) + ", " +
               std::to_string(YearBeforeCalendar);
    }
    const CalendarDate date = DateOfDayNumber(firstDay);
    return std::string(MonthName(date.Month)) + ' ' + std::to_string(date.Day) + ", " + std::to_string(date.Year);
}

std::int64_t DateYear(std::string_view date) {
    return ReadInteger(date);
}

std::int64_t DateMonth(std::string_view date) {
    return ReadInteger(After(date, date.find(DateSeparator)));
}

} // namespace

std::string RowKey(std::string_view date, std::string_view distance, std::string_view time) {
    std::string key;
    ComposeRowKey(key, date, distance, time);
    return key;
}

TPacequillSSArray BuildSnapshot(const LogList &list) {
    TPacequillSSArray snapshot;
    const int rows = list.RowCount();
    // Room for every key at once: growing the texts of a million keys would copy them all.
    std::size_t keyBytes = 0;
    for (int row = 0; row < rows; ++row) {
        keyBytes +=
            KeyBytesAtMost(list.Text(row, DateColumn), list.Text(row, DistanceColumn), list.Text(row, TimeColumn));
    }
    snapshot.Reserve(static_cast<std::size_t>(rows), keyBytes);
    std::string key;
    key.reserve(TypicalKeyBytes + KeyOverhead);
    for (int row = 0; row < rows; ++row) {
        key.clear();
        if (ComposeRowKey(key, list.Text(row, DateColumn), list.Text(row, DistanceColumn),
                          list.Text(row, TimeColumn))) {
            snapshot.AppendUnsorted(key);
        }
    }
    snapshot.Finish();
    return snapshot;
}

bool AccumulateDistance(UnitTotals &totals, double distance, std::string_view unitWord) {
    DistanceUnit unit = DistanceUnit::Miles;
    if (!RecognizeUnit(unitWord, unit)) {
        return false;
    }
    switch (unit) {
    case DistanceUnit::Miles:
        totals.Miles += distance;
        totals.Kilometers += distance * MilesToKilometers;
        totals.Marathons += distance * MilesToMarathons;
        break;
    case DistanceUnit::Kilometers:
        totals.Miles += distance * KilometersToMiles;
        totals.Kilometers += distance;
        totals.Marathons += distance * KilometersToMarathons;
        break;
    case DistanceUnit::Marathons:
        totals.Miles += distance * MarathonsToMiles;
        totals.Kilometers += distance * MarathonsToKilometers;
        totals.Marathons += distance;
        break;
    }
    return true;
}

std::vector<PeriodRow> WeeklyTotals(const TPacequillSSArray &snapshot, int weekStart, const UnitReporter &report) {
    const int start = WeekdayOf(weekStart);
    std::vector<PeriodRow> rows;
    UnitTotals totals;
    // The current week starts on the last day with the start weekday on or before day 0.
    int week = start == 0 ? 0 : start - DaysPerWeek;
    const auto emit = [&] {
        if (AllNonZero(totals)) {
            rows.push_back(MakeRow(WeekLabel(week), totals));
        }
    };
    for (std::size_t i = 0; i < snapshot.Size(); ++i) {
        const KeyFields key = KeyAt(snapshot, i);
        if (key.DayNumber >= week + DaysPerWeek) {
            emit();
            totals = {};
            week = key.DayNumber - key.Weekday + start - (start <= key.Weekday ? 0 : DaysPerWeek);
        }
        AccumulateKey(totals, key, report);
    }
    emit();
    return rows;
}

std::vector<PeriodRow> MonthlyTotals(const TPacequillSSArray &snapshot, const UnitReporter &report) {
    std::vector<PeriodRow> rows;
    UnitTotals totals;
    std::int64_t year = CalendarStartYear;
    std::int64_t month = 1;
    const auto emit = [&] {
        if (AllNonZero(totals)) {
            rows.push_back(
                MakeRow(std::to_string(year) + " - " + std::string(MonthName(static_cast<int>(month))), totals));
        }
    };
    for (std::size_t i = 0; i < snapshot.Size(); ++i) {
        const KeyFields key = KeyAt(snapshot, i);
        const std::int64_t keyYear = DateYear(key.Date);
        const std::int64_t keyMonth = DateMonth(key.Date);
        if (keyYear != year || keyMonth > month) {
            emit();
            totals = {};
            year = keyYear;
            month = keyMonth;
        }
        AccumulateKey(totals, key, report);
    }
    emit();
    return rows;
}

std::vector<PeriodRow> YearlyTotals(const TPacequillSSArray &snapshot, const UnitReporter &report) {
    std::vector<PeriodRow> rows;
    UnitTotals totals;
    std::int64_t year = CalendarStartYear;
    const auto emit = [&] {
        if (AllNonZero(totals)) {
            rows.push_back(MakeRow(std::to_string(year), totals));
        }
    };
    for (std::size_t i = 0; i < snapshot.Size(); ++i) {
        const KeyFields key = KeyAt(snapshot, i);
        const std::int64_t keyYear = DateYear(key.Date);
        if (keyYear > year) {
            emit();
            totals = {};
            year = keyYear;
        }
        AccumulateKey(totals, key, report);
    }
    emit();
    return rows;
}

RangeResult RangeTotals(const TPacequillSSArray &snapshot, const CalendarDate &from, const CalendarDate &thru,
                        const UnitReporter &report) {
    const int first = DayNumber(from.Year, from.Month, from.Day);
    const int last = DayNumber(thru.Year, thru.Month, thru.Day);
    UnitTotals totals;
    for (std::size_t i = 0; i < snapshot.Size(); ++i) {
        const KeyFields key = KeyAt(snapshot, i);
        if (key.DayNumber >= first && key.DayNumber <= last) {
            AccumulateKey(totals, key, report);
        }
    }
    return {FormatHundredths(totals.Miles), FormatHundredths(totals.Kilometers), FormatHundredths(totals.Marathons)};
}

} // namespace pq
