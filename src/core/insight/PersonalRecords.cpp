#include "insight/PersonalRecords.h"

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

PersonalRecords ComputeRecords(const std::vector<CountedRun> &runs, int today, int weekStart, const RowFilter &isRace) {
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

} // namespace pq
