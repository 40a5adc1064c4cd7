#include "insight/CountedRuns.h"

#include <algorithm>
#include <optional>

#include "calc/DateRules.h"
#include "calc/RowTexts.h"
#include "insight/RunCounter.h"

namespace pq {

std::optional<UnitTotals> RunDistance(std::string_view distanceText) {
    const DistanceParts parts = SplitDistanceText(distanceText);
    const std::optional<double> value = LeadingNumber(parts.Number);
    UnitTotals totals;
    if (!value || !AccumulateDistance(totals, *value, parts.UnitWord)) {
        return std::nullopt;
    }
    return totals;
}

std::optional<UnitTotals> CountedRunDistance(std::string_view date, std::string_view distance) {
    CivilDate civil;
    if (!ReadDateText(date, civil)) {
        return std::nullopt;
    }
    return RunDistance(distance);
}

std::vector<CountedRun> CountRuns(const LogList &list, const RowFilter &filter) {
    RunCounter counter;
    counter.AddRows(list, filter);
    return counter.Finish();
}

void RunTotals::Add(const CountedRun &run) {
    ++Runs;
    Miles += run.Miles;
    Kilometers += run.Kilometers;
    if (run.Seconds > 0) {
        Seconds += run.Seconds;
    }
    if (run.Miles > 0 && run.Seconds > 0) {
        PacedMiles += run.Miles;
        PacedKilometers += run.Kilometers;
        PacedSeconds += run.Seconds;
    }
}

double RunTotals::PacePerMile() const {
    return PacedMiles > 0 ? PacedSeconds / PacedMiles : 0;
}

double RunTotals::PacePerKilometer() const {
    return PacedKilometers > 0 ? PacedSeconds / PacedKilometers : 0;
}

std::vector<CountedRun>::const_iterator FirstRunFrom(const std::vector<CountedRun> &runs, int dayNumber) {
    return std::lower_bound(runs.begin(), runs.end(), dayNumber,
                            [](const CountedRun &run, int day) { return run.DayNumber < day; });
}

RunTotals TotalsBetween(const std::vector<CountedRun> &runs, int firstDay, int lastDay) {
    RunTotals totals;
    for (auto run = FirstRunFrom(runs, firstDay); run != runs.end() && run->DayNumber <= lastDay; ++run) {
        totals.Add(*run);
    }
    return totals;
}

} // namespace pq
