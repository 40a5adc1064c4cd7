#include "stats/PeriodTotals.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

#include "calc/RowTexts.h"
#include "calc/RunArithmetic.h"
#include "log/LogEntry.h"
#include "log/LogList.h"

namespace pq {

namespace {

constexpr char DateSeparator = '/';
constexpr int DaysPerWeek = 7;
constexpr int MonthsPerYear = 12;
constexpr int CalendarStartYear = 1980;
constexpr int YearBeforeCalendar = 1979;
constexpr int DaysInDecember = 31;
// How many keys ahead of the one being read the walks announce theirs (TPacequillSSArray::Prefetch).
constexpr std::size_t ReadAhead = 16;

// The key at an index of a walk from first to last.
RowKeyFields KeyAt(const TPacequillSSArray &snapshot, std::size_t index) {
    snapshot.Prefetch(index + ReadAhead);
    return snapshot.Fields(index);
}

// Adds one key's distance: the number before the first blank after any leading blanks, the unit word after it.
void AccumulateKey(UnitTotals &totals, const RowKeyFields &fields, const UnitReporter &report) {
    const DistanceParts parts = SplitDistanceText(fields.Distance);
    double value = ParseNumber(parts.Number);
    // An overflowing number counts like one that is not a number, so no total becomes infinite.
    if (!std::isfinite(value)) {
        value = 0;
    }
    if (!AccumulateDistance(totals, value, parts.UnitWord) && report) {
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
    return ReadLeadingInteger(date);
}

std::int64_t DateMonth(std::string_view date) {
    return ReadLeadingInteger(TextAfter(date, date.find(DateSeparator)));
}

} // namespace

TPacequillSSArray BuildSnapshot(const LogList &list, const SnapshotRowFilter &takeRow) {
    TPacequillSSArray snapshot(list);
    const int rows = list.RowCount();
    snapshot.Reserve(static_cast<std::size_t>(rows), 0);
    for (int row = 0; row < rows; ++row) {
        if (takeRow && !takeRow(row)) {
            continue;
        }
        if (const std::optional<int> dayNumber = KeyDayNumber(list.Text(row, DateColumn))) {
            snapshot.AppendRowKey(row, *dayNumber);
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
        const RowKeyFields key = KeyAt(snapshot, i);
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
        const RowKeyFields key = KeyAt(snapshot, i);
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
        const RowKeyFields key = KeyAt(snapshot, i);
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
        const RowKeyFields key = KeyAt(snapshot, i);
        if (key.DayNumber >= first && key.DayNumber <= last) {
            AccumulateKey(totals, key, report);
        }
    }
    return {FormatHundredths(totals.Miles), FormatHundredths(totals.Kilometers), FormatHundredths(totals.Marathons)};
}

} // namespace pq
