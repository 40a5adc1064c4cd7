#include "insight/PersonalRecords.h"

#include <cmath>

#include "calc/DateRules.h"
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

// Riegel's rating of an effort: the smaller, the faster at every distance.
double EffortScore(const CountedRun &run) {
    return run.Seconds / std::pow(run.Kilometers, RiegelExponent);
}

bool BetterEffort(const CountedRun &left, const CountedRun &right) {
    const double leftScore = EffortScore(left);
    const double rightScore = EffortScore(right);
    if (leftScore != rightScore) {
        return leftScore < rightScore;
    }
    return Earlier(left, right);
}

// The label of the standard distance the run is a candidate for; empty when none.
std::string_view CandidateLabel(const CountedRun &run) {
    for (const StandardDistance &standard : StandardDistances) {
        if (IsCandidate(run.Kilometers, standard.Kilometers)) {
            return standard.Label;
        }
    }
    return {};
}

// The period with the most miles; the runs come in date order, so a later period must be strictly bigger.
std::optional<PeriodRecord> BiggestPeriod(const std::vector<CountedRun> &runs, PeriodKind kind, int weekStart) {
    std::optional<PeriodRecord> biggest;
    PeriodRecord current;
    bool open = false;
    const auto close = [&] {
        if (open && (!biggest || current.Totals.Miles > biggest->Totals.Miles)) {
            biggest = current;
        }
    };
    for (const CountedRun &run : runs) {
        if (!open || run.DayNumber > current.LastDay) {
            close();
            const DayRange range = PeriodAround(kind, run.DayNumber, weekStart);
            current = {kind, range.FirstDay, range.LastDay, {}};
            open = true;
        }
        current.Totals.Add(run);
    }
    close();
    return biggest;
}

} // namespace

bool IsCandidate(double kilometers, double standardKilometers) {
    return std::fabs(kilometers - standardKilometers) <= standardKilometers * CandidateTolerance;
}

double RiegelTime(double seconds, double fromKilometers, double toKilometers) {
    return seconds * std::pow(toKilometers / fromKilometers, RiegelExponent);
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

PersonalRecords ComputeRecords(const std::vector<CountedRun> &runs, int today, int weekStart) {
    PersonalRecords records;
    std::array<std::optional<CountedRun>, StandardDistances.size()> best;
    std::optional<CountedRun> longest;
    std::optional<RunRecord> base;
    const int firstRecentDay = today - PredictionDays + 1;
    for (const CountedRun &run : runs) {
        if (run.Miles > 0 && (!longest || LongerThan(run, *longest))) {
            longest = run;
        }
        if (run.Seconds <= 0) {
            continue;
        }
        for (std::size_t i = 0; i < StandardDistances.size(); ++i) {
            if (IsCandidate(run.Kilometers, StandardDistances[i].Kilometers) &&
                (!best[i] || FasterThan(run, *best[i]))) {
                best[i] = run;
            }
        }
        if (run.DayNumber < firstRecentDay || run.DayNumber > today) {
            continue;
        }
        if (const std::string_view label = CandidateLabel(run);
            !label.empty() && (!base || BetterEffort(run, base->Run))) {
            base = RunRecord{label, run};
        }
    }
    for (std::size_t i = 0; i < StandardDistances.size(); ++i) {
        if (best[i]) {
            records.Best.push_back({StandardDistances[i].Label, *best[i]});
        }
    }
    if (longest) {
        records.Longest = RunRecord{LongestRunLabel, *longest};
    }
    records.BiggestWeek = BiggestPeriod(runs, PeriodKind::Week, weekStart);
    records.BiggestMonth = BiggestPeriod(runs, PeriodKind::Month, weekStart);
    records.BiggestYear = BiggestPeriod(runs, PeriodKind::Year, weekStart);
    records.PredictionBase = base;
    if (base) {
        for (const StandardDistance &standard : StandardDistances) {
            records.Predictions.push_back({standard.Label, standard.Kilometers,
                                           RiegelTime(base->Run.Seconds, base->Run.Kilometers, standard.Kilometers)});
        }
    }
    return records;
}

} // namespace pq
