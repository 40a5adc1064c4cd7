#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/RunArithmetic.h"
#include "stats/StatsCalendar.h"
#include "stats/TPacequillSSArray.h"

namespace pq {

class CompactSnapshot;
class LiveSnapshot;
class LogList;

inline constexpr std::string_view RunningTotalsErrorMessage = "Running totals error";
inline constexpr std::string_view RunningTotalsErrorCaption = "Debug";

// Conversion factors of one row into the three totals.
inline constexpr double MilesToKilometers = 1.609344;
inline constexpr double MilesToMarathons = 0.038140644;
inline constexpr double KilometersToMiles = 0.621371192237334;
inline constexpr double KilometersToMarathons = 0.023699497200947182;
inline constexpr double MarathonsToMiles = 26.218749741089844;
inline constexpr double MarathonsToKilometers = 42.194988;

// The dated rows of the list, in list order, as row keys sorted by date. The snapshot reads its keys from the
// list, which must outlive it unchanged.
// A row predicate, when given, leaves out the rows it refuses before any key is made.
using SnapshotRowFilter = std::function<bool(int row)>;
TPacequillSSArray BuildSnapshot(const LogList &list, const SnapshotRowFilter &takeRow = {});
TPacequillSSArray BuildSnapshot(const LogList &&list, const SnapshotRowFilter &takeRow = {}) = delete;

struct UnitTotals {
    double Miles = 0;
    double Kilometers = 0;
    double Marathons = 0;
};

// Adds the row's contribution; false (and nothing added) when the unit word is not recognised.
bool AccumulateDistance(UnitTotals &totals, double distance, std::string_view unitWord);
void AccumulateDistance(UnitTotals &totals, double distance, DistanceUnit unit);

// A key's Distance text as the totals read it: the number before the first blank after any leading blanks (0
// when it is not a finite number) and the unit word after that blank, when it is recognised.
struct DistanceReading {
    double Value = 0;
    bool Known = false;
    DistanceUnit Unit = DistanceUnit::Miles;
};
DistanceReading ReadDistance(std::string_view distance);

// The year and the month that the yearly and monthly totals read from a key's Date text: the numbers before its
// first "/" and after it.
std::int64_t DateTextYear(std::string_view date);
std::int64_t DateTextMonth(std::string_view date);

// A row whose unit was not recognised, reported while a computation runs.
struct UnrecognizedUnit {
    std::string_view Date;
    std::string_view Distance;
};
using UnitReporter = std::function<void(const UnrecognizedUnit &)>;

struct PeriodRow {
    std::string Label;
    std::string Miles;
    std::string Kilometers;
    std::string Marathons;
    bool operator==(const PeriodRow &) const = default;
};

struct RangeResult {
    std::string Miles;
    std::string Kilometers;
    std::string Marathons;
    bool operator==(const RangeResult &) const = default;
};

std::vector<PeriodRow> WeeklyTotals(const TPacequillSSArray &snapshot, int weekStart, const UnitReporter &report = {});
std::vector<PeriodRow> MonthlyTotals(const TPacequillSSArray &snapshot, const UnitReporter &report = {});
std::vector<PeriodRow> YearlyTotals(const TPacequillSSArray &snapshot, const UnitReporter &report = {});
RangeResult RangeTotals(const TPacequillSSArray &snapshot, const CalendarDate &from, const CalendarDate &thru,
                        const UnitReporter &report = {});

// The same computations over the compact and the live snapshot; the results and reports are those of the snapshot
// of the same rows.
std::vector<PeriodRow> WeeklyTotals(const CompactSnapshot &snapshot, int weekStart, const UnitReporter &report = {});
std::vector<PeriodRow> MonthlyTotals(const CompactSnapshot &snapshot, const UnitReporter &report = {});
std::vector<PeriodRow> YearlyTotals(const CompactSnapshot &snapshot, const UnitReporter &report = {});
RangeResult RangeTotals(const CompactSnapshot &snapshot, const CalendarDate &from, const CalendarDate &thru,
                        const UnitReporter &report = {});
std::vector<PeriodRow> WeeklyTotals(const LiveSnapshot &snapshot, int weekStart, const UnitReporter &report = {});
std::vector<PeriodRow> MonthlyTotals(const LiveSnapshot &snapshot, const UnitReporter &report = {});
std::vector<PeriodRow> YearlyTotals(const LiveSnapshot &snapshot, const UnitReporter &report = {});
RangeResult RangeTotals(const LiveSnapshot &snapshot, const CalendarDate &from, const CalendarDate &thru,
                        const UnitReporter &report = {});

} // namespace pq
