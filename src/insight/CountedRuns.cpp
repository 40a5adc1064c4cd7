#include "insight/CountedRuns.h"

#include <algorithm>
#include <optional>

#include "calc/DateRules.h"
#include "calc/RowTexts.h"
#include "log/LogEntry.h"
#include "log/LogList.h"

namespace pq {

namespace {

// A row's distance as the statistics read it: a number in front and a recognised unit word after the blank.
std::optional<UnitTotals> RowDistance(std::string_view distanceText) {
    const DistanceParts parts = SplitDistanceText(distanceText);
    const std::optional<double> value = LeadingNumber(parts.Number);
    UnitTotals totals;
    if (!value || !AccumulateDistance(totals, *value, parts.UnitWord)) {
        return std::nullopt;
    }
    return totals;
}

} // namespace

std::optional<UnitTotals> CountedRunDistance(std::string_view date, std::string_view distance) {
    CivilDate civil;
    if (!ReadDateText(date, civil)) {
        return std::nullopt;
    }
    return RowDistance(distance);
}

std::vector<CountedRun> CountRuns(const LogList &list, const RowFilter &filter) {
    // Filtered before the snapshot is sorted, so one tag's runs cost what their own rows cost.
    const TPacequillSSArray snapshot = BuildSnapshot(list, filter);
    std::vector<CountedRun> runs;
    runs.reserve(snapshot.Size());
    for (std::size_t i = 0; i < snapshot.Size(); ++i) {
        const RowKeyFields fields = snapshot.Fields(i);
        const int row = snapshot.RowAt(i);
        const std::optional<UnitTotals> distance = CountedRunDistance(fields.Date, fields.Distance);
        if (!distance) {
            continue;
        }
        runs.push_back({row, fields.DayNumber, distance->Miles, distance->Kilometers,
                        TimeTextSeconds(list.Text(row, TimeColumn))});
    }
    return runs;
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
