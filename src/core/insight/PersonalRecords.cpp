#include "insight/PersonalRecords.h"

#include <algorithm>
#include <cmath>

#include "calc/DateRules.h"
#include "insight/ReportFormats.h"
#include "stats/StatsCalendar.h"

namespace pq {

namespace {

constexpr int DaysPerWeek = 7;
constexpr int MonthsPerYear = 12;
constexpr int DaysInDecember = 31;

// Earlier date first, then earlier row: who wins a tie.
bool Earlier(const CountedRun &left, const CountedRun &right) {
    if (left.DayNumber != right.DayNumber) {
        return left.DayNumber < right.DayNumber;
    }
    return left.Row < right.Row;
}

bool FasterThan(const CountedRun &left, const CountedRun &right) {
    if (left.Seconds != right.Seconds) {
        return left.Seconds < right.Seconds;
    }
    return Earlier(left, right);
}

bool LongerThan(const CountedRun &left, const CountedRun &right) {
    if (left.Miles != right.Miles) {
        return left.Miles > right.Miles;
    }
    return Earlier(left, right);
}

// The period with the most miles; the runs come in date order, so a later period must be strictly bigger. The
// runs are handed over one by one, so that one walk over them serves every kind of period.
class BiggestPeriodScan {
public:
    BiggestPeriodScan(PeriodKind kind, int weekStart) : Kind(kind), WeekStart(weekStart) {}

    void Add(const CountedRun &run) {
        if (!Open || run.DayNumber > Current.LastDay) {
            Close();
            const DayRange range = PeriodAround(Kind, run.DayNumber, WeekStart);
            Current = {Kind, range.FirstDay, range.LastDay, {}};
            Open = true;
        }
        Current.Totals.Add(run);
    }

    std::optional<PeriodRecord> Biggest() {
        Close();
        Open = false;
        return Found;
    }

private:
    void Close() {
        if (Open && (!Found || Current.Totals.Miles > Found->Totals.Miles)) {
            Found = Current;
        }
    }

    PeriodKind Kind;
    int WeekStart;
    std::optional<PeriodRecord> Found;
    PeriodRecord Current;
    bool Open = false;
};

} // namespace

bool IsCandidate(double kilometers, double standardKilometers) {
    return kilometers >= standardKilometers * (1 - CandidateShortBy) &&
           kilometers <= standardKilometers * (1 + CandidateLongBy);
}

double RiegelTime(double seconds, double fromKilometers, double toKilometers) {
    return seconds * std::pow(toKilometers / fromKilometers, RiegelExponent);
}

std::string BaseText(const RunRecord &base) {
    return "from the " + std::string(base.Label) + " of " + DayText(base.Run.DayNumber);
}

DayRange PeriodAround(PeriodKind kind, int dayNumber, int weekStart) {
    switch (kind) {
    case PeriodKind::Week: {
        const int first = FirstDayOfWeek(dayNumber, weekStart);
        return {first, first + DaysPerWeek - 1};
    }
    case PeriodKind::Month: {
        const CalendarDate date = DateOfDayNumber(dayNumber);
        return {DayNumber(date.Year, date.Month, 1),
                DayNumber(date.Year, date.Month, DaysInMonth(date.Year, date.Month))};
    }
    case PeriodKind::Year: {
        const CalendarDate date = DateOfDayNumber(dayNumber);
        return {DayNumber(date.Year, 1, 1), DayNumber(date.Year, MonthsPerYear, DaysInDecember)};
    }
    }
    return {dayNumber, dayNumber};
}

namespace {

// Each standard distance predicted from the base nearest to it; baseStandards gives the standard distance each
// of records.PredictionBases counts at.
void AddPredictions(PersonalRecords &records, const std::vector<std::size_t> &baseStandards) {
    if (baseStandards.empty()) {
        return;
    }
    for (const StandardDistance &target : StandardDistances) {
        // The nearest base on a logarithmic scale; bases come shortest first, so a later one wins a tie.
        std::size_t nearest = 0;
        double nearestGap = 0;
        for (std::size_t k = 0; k < baseStandards.size(); ++k) {
            const double gap = std::fabs(std::log(StandardDistances[baseStandards[k]].Kilometers / target.Kilometers));
            if (k == 0 || gap <= nearestGap) {
                nearest = k;
                nearestGap = gap;
            }
        }
        // At its own distance a base predicts exactly its own time: the ratio of the distances is 1.
        const RunRecord &base = records.PredictionBases[nearest];
        records.Predictions.push_back(
            {target.Label, target.Kilometers,
             RiegelTime(base.Run.Seconds, StandardDistances[baseStandards[nearest]].Kilometers, target.Kilometers),
             base});
    }
}

} // namespace

PersonalRecords ComputeRecords(const RunList &runs, int today, int weekStart, const RowFilter &isRace) {
    PersonalRecords records;
    constexpr std::size_t Standards = StandardDistances.size();
    std::array<std::optional<CountedRun>, Standards> best;
    std::array<std::optional<CountedRun>, Standards> recent;
    std::array<std::optional<CountedRun>, Standards> recentRace;
    std::optional<CountedRun> longest;
    const int firstRecentDay = today - PredictionDays + 1;
    const auto keepFaster = [](std::optional<CountedRun> &kept, const CountedRun &run) {
        if (!kept || FasterThan(run, *kept)) {
            kept = run;
        }
    };
    BiggestPeriodScan weeks(PeriodKind::Week, weekStart);
    BiggestPeriodScan months(PeriodKind::Month, weekStart);
    BiggestPeriodScan years(PeriodKind::Year, weekStart);
    for (const CountedRun &run : runs) {
        weeks.Add(run);
        months.Add(run);
        years.Add(run);
        if (run.Miles > 0 && (!longest || LongerThan(run, *longest))) {
            longest = run;
        }
        if (run.Seconds <= 0) {
            continue;
        }
        for (std::size_t i = 0; i < Standards; ++i) {
            if (!IsCandidate(run.Kilometers, StandardDistances[i].Kilometers)) {
                continue;
            }
            keepFaster(best[i], run);
            if (run.DayNumber >= firstRecentDay && run.DayNumber <= today) {
                keepFaster(recent[i], run);
                if (isRace && isRace(run.Row)) {
                    keepFaster(recentRace[i], run);
                }
            }
        }
    }
    // Indexes into StandardDistances of the bases, kept beside them for the distances they count at.
    std::vector<std::size_t> baseStandards;
    for (std::size_t i = 0; i < Standards; ++i) {
        if (best[i]) {
            records.Best.push_back({StandardDistances[i].Label, *best[i]});
        }
        if (const std::optional<CountedRun> &base = recentRace[i] ? recentRace[i] : recent[i]) {
            records.PredictionBases.push_back({StandardDistances[i].Label, *base});
            baseStandards.push_back(i);
        }
    }
    if (longest) {
        records.Longest = RunRecord{LongestRunLabel, *longest};
    }
    records.BiggestWeek = weeks.Biggest();
    records.BiggestMonth = months.Biggest();
    records.BiggestYear = years.Biggest();
    AddPredictions(records, baseStandards);
    return records;
}

namespace {

// The record kept under the label in a list in the order of StandardDistances, or where it goes.
std::vector<RunRecord>::iterator RecordOf(std::vector<RunRecord> &list, std::size_t standard) {
    return std::find_if(list.begin(), list.end(), [standard](const RunRecord &record) {
        const auto known = std::find_if(StandardDistances.begin(), StandardDistances.end(),
                                        [&record](const StandardDistance &each) { return each.Label == record.Label; });
        return static_cast<std::size_t>(known - StandardDistances.begin()) >= standard;
    });
}

// Keeps the run at the standard distance when it is faster than the one kept, or the first one there.
void KeepFasterAt(std::vector<RunRecord> &list, std::size_t standard, const CountedRun &run) {
    const auto kept = RecordOf(list, standard);
    if (kept == list.end() || kept->Label != StandardDistances[standard].Label) {
        list.insert(kept, {StandardDistances[standard].Label, run});
    } else if (FasterThan(run, kept->Run)) {
        kept->Run = run;
    }
}

// The period of the added run's day with its totals now, against the biggest before: it is the biggest when it
// was already, or when it is now bigger, or as big and earlier.
void UpdateBiggest(std::optional<PeriodRecord> &biggest, PeriodKind kind, const RunList &runs, const CountedRun &run,
                   int weekStart) {
    const DayRange range = PeriodAround(kind, run.DayNumber, weekStart);
    const PeriodRecord period{kind, range.FirstDay, range.LastDay, TotalsBetween(runs, range.FirstDay, range.LastDay)};
    if (!biggest || biggest->FirstDay == period.FirstDay || period.Totals.Miles > biggest->Totals.Miles ||
        (period.Totals.Miles == biggest->Totals.Miles && period.FirstDay < biggest->FirstDay)) {
        biggest = period;
    }
}

} // namespace

PersonalRecords RecordsWithAddedRuns(PersonalRecords records, const RunList &runs, const std::vector<CountedRun> &added,
                                     int today, int weekStart, const RowFilter &isRace) {
    // A run of less than no distance makes its periods smaller, so a period's place among the others is lost.
    if (std::any_of(added.begin(), added.end(), [](const CountedRun &run) { return !(run.Miles >= 0); })) {
        return ComputeRecords(runs, today, weekStart, isRace);
    }
    const int firstRecentDay = today - PredictionDays + 1;
    const auto raced = [&isRace](const CountedRun &run) { return isRace && isRace(run.Row); };
    for (const CountedRun &run : added) {
        UpdateBiggest(records.BiggestWeek, PeriodKind::Week, runs, run, weekStart);
        UpdateBiggest(records.BiggestMonth, PeriodKind::Month, runs, run, weekStart);
        UpdateBiggest(records.BiggestYear, PeriodKind::Year, runs, run, weekStart);
        if (run.Miles > 0 && (!records.Longest || LongerThan(run, records.Longest->Run))) {
            records.Longest = RunRecord{LongestRunLabel, run};
        }
        if (run.Seconds <= 0) {
            continue;
        }
        for (std::size_t i = 0; i < StandardDistances.size(); ++i) {
            if (!IsCandidate(run.Kilometers, StandardDistances[i].Kilometers)) {
                continue;
            }
            KeepFasterAt(records.Best, i, run);
            if (run.DayNumber < firstRecentDay || run.DayNumber > today) {
                continue;
            }
            // A race run is a base before any other; among runs alike the faster one is.
            const auto base = RecordOf(records.PredictionBases, i);
            if (base != records.PredictionBases.end() && base->Label == StandardDistances[i].Label &&
                raced(run) != raced(base->Run)) {
                if (raced(run)) {
                    base->Run = run;
                }
                continue;
            }
            KeepFasterAt(records.PredictionBases, i, run);
        }
    }
    std::vector<std::size_t> baseStandards;
    for (const RunRecord &base : records.PredictionBases) {
        baseStandards.push_back(static_cast<std::size_t>(
            std::find_if(StandardDistances.begin(), StandardDistances.end(),
                         [&base](const StandardDistance &each) { return each.Label == base.Label; }) -
            StandardDistances.begin()));
    }
    records.Predictions.clear();
    AddPredictions(records, baseStandards);
    return records;
}

} // namespace pq
