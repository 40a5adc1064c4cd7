#include "stats/PeriodTotals.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

#include "calc/DistanceTimeParts.h"
#include "calc/RunArithmetic.h"
#include "log/LogEntry.h"
#include "log/LogList.h"
#include "stats/CompactSnapshot.h"
#include "stats/LiveSnapshot.h"

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

void Accumulate(UnitTotals &totals, const DistanceReading &reading, std::string_view date, std::string_view distance,
                const UnitReporter &report) {
    if (reading.Known) {
        AccumulateDistance(totals, reading.Value, reading.Unit);
    } else if (report) {
        report({date, distance});
    }
}

// The keys of the snapshot, each taken apart as it is read.
class SnapshotKeys {
public:
    explicit SnapshotKeys(const TPacequillSSArray &snapshot) : Snapshot(snapshot) {}
    std::size_t Size() const { return Snapshot.Size(); }
    void Read(std::size_t index) {
        Snapshot.Prefetch(index + ReadAhead);
        Fields = Snapshot.Fields(index);
    }
    int DayNumber() const { return Fields.DayNumber; }
    int Weekday() const { return Fields.Weekday; }
    std::int64_t Year() const { return DateTextYear(Fields.Date); }
    std::int64_t Month() const { return DateTextMonth(Fields.Date); }
    void AddTo(UnitTotals &totals, const UnitReporter &report) const {
        Accumulate(totals, ReadDistance(Fields.Distance), Fields.Date, Fields.Distance, report);
    }

private:
    const TPacequillSSArray &Snapshot;
    RowKeyFields Fields;
};

// The rows of a compact snapshot, whose texts were read when they were added.
class CompactKeys {
public:
    explicit CompactKeys(const CompactSnapshot &snapshot) : Snapshot(snapshot) {}
    std::size_t Size() const { return Snapshot.Size(); }
    void Read(std::size_t index) { Index = index; }
    int DayNumber() const { return Snapshot.DayNumber(Index); }
    int Weekday() const { return WeekdayOf(Snapshot.DayNumber(Index)); }
    std::int64_t Year() const { return Snapshot.Year(Index); }
    std::int64_t Month() const { return Snapshot.Month(Index); }
    void AddTo(UnitTotals &totals, const UnitReporter &report) const {
        Accumulate(totals, Snapshot.Reading(Index), Snapshot.Date(Index), Snapshot.Distance(Index), report);
    }

private:
    const CompactSnapshot &Snapshot;
    std::size_t Index = 0;
};

// The rows of the live snapshot, group by group. The walks read the rows in order, so a row's group is the one
// of the row before or, past its end, the next one holding rows, found without a search. The step to the next
// group is taken without a branch: groups of a few rows would make it a guess that often fails.
class LiveKeys {
public:
    explicit LiveKeys(const LiveSnapshot &snapshot)
        : Snapshot(snapshot), GroupEnd(snapshot.GroupCount() > 0 ? snapshot.GroupEnd(0) : 0) {}
    std::size_t Size() const { return Snapshot.Size(); }
    void Read(std::size_t index) {
        Index = index;
        Group += index >= GroupEnd ? 1 : 0;
        GroupEnd = Snapshot.GroupEnd(Group);
        // Groups left empty by edits.
        while (index >= GroupEnd) {
            GroupEnd = Snapshot.GroupEnd(++Group);
        }
    }
    int DayNumber() const { return Snapshot.GroupDayNumber(Group); }
    int Weekday() const { return WeekdayOf(Snapshot.GroupDayNumber(Group)); }
    std::int64_t Year() const { return Snapshot.GroupYear(Group); }
    std::int64_t Month() const { return Snapshot.GroupMonth(Group); }
    void AddTo(UnitTotals &totals, const UnitReporter &report) const {
        Accumulate(totals, Snapshot.Reading(Index), Snapshot.GroupDate(Group), Snapshot.Distance(Index), report);
    }

private:
    const LiveSnapshot &Snapshot;
    std::size_t Index = 0;
    std::size_t Group = 0;
    std::size_t GroupEnd;
};

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

template <class Keys> std::vector<PeriodRow> Weekly(Keys keys, int weekStart, const UnitReporter &report) {
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
    for (std::size_t i = 0; i < keys.Size(); ++i) {
        keys.Read(i);
        if (keys.DayNumber() >= week + DaysPerWeek) {
            emit();
            totals = {};
            week = keys.DayNumber() - keys.Weekday() + start - (start <= keys.Weekday() ? 0 : DaysPerWeek);
        }
        keys.AddTo(totals, report);
    }
    emit();
    return rows;
}

template <class Keys> std::vector<PeriodRow> Monthly(Keys keys, const UnitReporter &report) {
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
    for (std::size_t i = 0; i < keys.Size(); ++i) {
        keys.Read(i);
        const std::int64_t keyYear = keys.Year();
        const std::int64_t keyMonth = keys.Month();
        if (keyYear != year || keyMonth > month) {
            emit();
            totals = {};
            year = keyYear;
            month = keyMonth;
        }
        keys.AddTo(totals, report);
    }
    emit();
    return rows;
}

template <class Keys> std::vector<PeriodRow> Yearly(Keys keys, const UnitReporter &report) {
    std::vector<PeriodRow> rows;
    UnitTotals totals;
    std::int64_t year = CalendarStartYear;
    const auto emit = [&] {
        if (AllNonZero(totals)) {
            rows.push_back(MakeRow(std::to_string(year), totals));
        }
    };
    for (std::size_t i = 0; i < keys.Size(); ++i) {
        keys.Read(i);
        const std::int64_t keyYear = keys.Year();
        if (keyYear > year) {
            emit();
            totals = {};
            year = keyYear;
        }
        keys.AddTo(totals, report);
    }
    emit();
    return rows;
}

template <class Keys>
RangeResult Range(Keys keys, const CalendarDate &from, const CalendarDate &thru, const UnitReporter &report) {
    const int first = DayNumber(from.Year, from.Month, from.Day);
    const int last = DayNumber(thru.Year, thru.Month, thru.Day);
    UnitTotals totals;
    for (std::size_t i = 0; i < keys.Size(); ++i) {
        keys.Read(i);
        if (keys.DayNumber() >= first && keys.DayNumber() <= last) {
            keys.AddTo(totals, report);
        }
    }
    return {FormatHundredths(totals.Miles), FormatHundredths(totals.Kilometers), FormatHundredths(totals.Marathons)};
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
    AccumulateDistance(totals, distance, unit);
    return true;
}

void AccumulateDistance(UnitTotals &totals, double distance, DistanceUnit unit) {
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
}

DistanceReading ReadDistance(std::string_view distance) {
    const DistanceParts parts = SplitDistanceText(distance);
    DistanceReading reading;
    reading.Value = ParseNumber(parts.Number);
    // An overflowing number counts like one that is not a number, so no total becomes infinite.
    if (!std::isfinite(reading.Value)) {
        reading.Value = 0;
    }
    reading.Known = RecognizeUnit(parts.UnitWord, reading.Unit);
    return reading;
}

std::int64_t DateTextYear(std::string_view date) {
    return ReadLeadingInteger(date);
}

std::int64_t DateTextMonth(std::string_view date) {
    return ReadLeadingInteger(TextAfter(date, date.find(DateSeparator)));
}

std::vector<PeriodRow> WeeklyTotals(const TPacequillSSArray &snapshot, int weekStart, const UnitReporter &report) {
    return Weekly(SnapshotKeys(snapshot), weekStart, report);
}

std::vector<PeriodRow> MonthlyTotals(const TPacequillSSArray &snapshot, const UnitReporter &report) {
    return Monthly(SnapshotKeys(snapshot), report);
}

std::vector<PeriodRow> YearlyTotals(const TPacequillSSArray &snapshot, const UnitReporter &report) {
    return Yearly(SnapshotKeys(snapshot), report);
}

RangeResult RangeTotals(const TPacequillSSArray &snapshot, const CalendarDate &from, const CalendarDate &thru,
                        const UnitReporter &report) {
    return Range(SnapshotKeys(snapshot), from, thru, report);
}

std::vector<PeriodRow> WeeklyTotals(const CompactSnapshot &snapshot, int weekStart, const UnitReporter &report) {
    return Weekly(CompactKeys(snapshot), weekStart, report);
}

std::vector<PeriodRow> MonthlyTotals(const CompactSnapshot &snapshot, const UnitReporter &report) {
    return Monthly(CompactKeys(snapshot), report);
}

std::vector<PeriodRow> YearlyTotals(const CompactSnapshot &snapshot, const UnitReporter &report) {
    return Yearly(CompactKeys(snapshot), report);
}

RangeResult RangeTotals(const CompactSnapshot &snapshot, const CalendarDate &from, const CalendarDate &thru,
                        const UnitReporter &report) {
    return Range(CompactKeys(snapshot), from, thru, report);
}

std::vector<PeriodRow> WeeklyTotals(const LiveSnapshot &snapshot, int weekStart, const UnitReporter &report) {
    return Weekly(LiveKeys(snapshot), weekStart, report);
}

std::vector<PeriodRow> MonthlyTotals(const LiveSnapshot &snapshot, const UnitReporter &report) {
    return Monthly(LiveKeys(snapshot), report);
}

std::vector<PeriodRow> YearlyTotals(const LiveSnapshot &snapshot, const UnitReporter &report) {
    return Yearly(LiveKeys(snapshot), report);
}

RangeResult RangeTotals(const LiveSnapshot &snapshot, const CalendarDate &from, const CalendarDate &thru,
                        const UnitReporter &report) {
    return Range(LiveKeys(snapshot), from, thru, report);
}

} // namespace pq
