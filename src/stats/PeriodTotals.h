#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "stats/StatsCalendar.h"
#include "stats/TPacequillSSArray.h"

namespace pq {

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

} // namespace pq
