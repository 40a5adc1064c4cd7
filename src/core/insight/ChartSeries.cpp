#include "insight/ChartSeries.h"

#include <algorithm>
#include <utility>

#include "stats/StatsCalendar.h"

namespace pq {

namespace {

constexpr int DaysPerWeek = 7;
constexpr int PercentBase = 100;

int DaysInYear(int year) {
    return DayNumber(year + 1, 1, 1) - DayNumber(year, 1, 1);
}

// The first days of the first and the last week of the series.
std::pair<int, int> SeriesWeeks(const RunList &runs, int today, int weekStart) {
    return {FirstDayOfWeek(runs.front().DayNumber, weekStart),
            FirstDayOfWeek(std::max(today, runs.back().DayNumber), weekStart)};
}

// Each bar's average over the weeks before it and its ramp, from the bars' totals.
void MarkRamps(std::vector<WeekBar> &bars) {
    std::size_t historyStart = 0;
    std::size_t weeksWithoutRun = 0;
    for (std::size_t i = 0; i < bars.size(); ++i) {
        if (bars[i].Totals.Miles <= 0) {
            ++weeksWithoutRun;
        } else {
            if (weeksWithoutRun >= BreakWeeks) {
                historyStart = i;
            }
            weeksWithoutRun = 0;
        }
        WeekBar &bar = bars[i];
        bar.Ramp = RampLevel::None;
        const std::size_t count = std::min<std::size_t>(i, TrailingWeeks);
        if (count == 0) {
            continue;
        }
        double miles = 0;
        double kilometers = 0;
        for (std::size_t k = i - count; k < i; ++k) {
            miles += bars[k].Totals.Miles;
            kilometers += bars[k].Totals.Kilometers;
        }
        bar.AverageWeeks = static_cast<int>(count);
        bar.AverageMiles = miles / static_cast<double>(count);
        bar.AverageKilometers = kilometers / static_cast<double>(count);
        if (i - historyStart >= TrailingWeeks) {
            bar.Ramp = RampOf(bar.Totals.Miles, bar.AverageMiles);
        }
    }
}

} // namespace

RampLevel RampOf(double distance, double average) {
    if (!(average > 0)) {
        return RampLevel::None;
    }
    if (distance * PercentBase > average * (PercentBase + StrongRampPercent)) {
        return RampLevel::Strong;
    }
    if (distance * PercentBase > average * (PercentBase + RampPercent)) {
        return RampLevel::Warning;
    }
    return RampLevel::None;
}

std::vector<WeekBar> WeeklySeries(const RunList &runs, int today, int weekStart) {
    std::vector<WeekBar> bars;
    if (runs.empty()) {
        return bars;
    }
    const auto [firstWeek, lastWeek] = SeriesWeeks(runs, today, weekStart);
    bars.resize(static_cast<std::size_t>((lastWeek - firstWeek) / DaysPerWeek) + 1);
    for (std::size_t i = 0; i < bars.size(); ++i) {
        bars[i].FirstDay = firstWeek + static_cast<int>(i) * DaysPerWeek;
    }
    for (const CountedRun &run : runs) {
        bars[static_cast<std::size_t>((run.DayNumber - firstWeek) / DaysPerWeek)].Totals.Add(run);
    }
    MarkRamps(bars);
    return bars;
}

// A week's runs are next to each other in the runs' order, so its totals added up again equal those of a walk
// over every run.
std::vector<WeekBar> WeeklySeriesWithAddedRuns(std::vector<WeekBar> bars, const RunList &runs,
                                               const std::vector<CountedRun> &added, int today, int weekStart) {
    if (runs.empty() || bars.empty() ||
        SeriesWeeks(runs, today, weekStart) != std::pair(bars.front().FirstDay, bars.back().FirstDay)) {
        return WeeklySeries(runs, today, weekStart);
    }
    for (const CountedRun &run : added) {
        WeekBar &bar = bars[static_cast<std::size_t>((run.DayNumber - bars.front().FirstDay) / DaysPerWeek)];
        bar.Totals = TotalsBetween(runs, bar.FirstDay, bar.FirstDay + DaysPerWeek - 1);
    }
    MarkRamps(bars);
    return bars;
}

void KeepLastWeeks(std::vector<WeekBar> &bars, int today, int weekStart, std::size_t count) {
    const int thisWeek = FirstDayOfWeek(today, weekStart);
    bars.erase(
        std::find_if(bars.begin(), bars.end(), [thisWeek](const WeekBar &bar) { return bar.FirstDay > thisWeek; }),
        bars.end());
    if (count > 0 && bars.size() > count) {
        bars.erase(bars.begin(), bars.end() - static_cast<std::ptrdiff_t>(count));
    }
}

YearOverYear YearOverYearSeries(const RunList &runs, int today) {
    YearOverYear series;
    const CalendarDate todayDate = DateOfDayNumber(today);
    series.CurrentYear = todayDate.Year;
    series.DayOfYear = today - DayNumber(todayDate.Year, 1, 1) + 1;

    // Runs come by date: a run's year is read only when it falls after the year of the run before.
    std::vector<int> years;
    int nextYearStart = 0;
    for (const CountedRun &run : runs) {
        if (years.empty() || run.DayNumber >= nextYearStart) {
            const int year = DateOfDayNumber(run.DayNumber).Year;
            if (years.empty() || years.back() != year) {
                years.push_back(year);
            }
            nextYearStart = DayNumber(year + 1, 1, 1);
        }
    }
    if (!std::binary_search(years.begin(), years.end(), series.CurrentYear)) {
        years.insert(std::upper_bound(years.begin(), years.end(), series.CurrentYear), series.CurrentYear);
    }

    auto run = runs.begin();
    for (const int year : years) {
        const int firstDay = DayNumber(year, 1, 1);
        const int days = year == series.CurrentYear ? series.DayOfYear : DaysInYear(year);
        YearLine line{year, std::vector<RunTotals>(static_cast<std::size_t>(days))};
        RunTotals sum;
        while (run != runs.end() && run->DayNumber < firstDay) {
            ++run;
        }
        for (int day = 0; day < days; ++day) {
            for (; run != runs.end() && run->DayNumber == firstDay + day; ++run) {
                sum.Add(*run);
            }
            line.Cumulative[static_cast<std::size_t>(day)] = sum;
        }
        if (year == series.CurrentYear) {
            const double scale = static_cast<double>(DaysInYear(year)) / series.DayOfYear;
            series.OnPaceMiles = sum.Miles * scale;
            series.OnPaceKilometers = sum.Kilometers * scale;
        }
        series.Years.push_back(std::move(line));
    }
    return series;
}

ConsistencyCalendar ConsistencySeries(const RunList &runs, int today, int weekStart) {
    ConsistencyCalendar calendar;
    calendar.FirstDay = FirstDayOfWeek(today, weekStart) - (CalendarWeeks - 1) * DaysPerWeek;
    calendar.LastDay = today;
    calendar.Days.resize(static_cast<std::size_t>(today - calendar.FirstDay) + 1);
    for (auto run = FirstRunFrom(runs, calendar.FirstDay); run != runs.end() && run->DayNumber <= today; ++run) {
        calendar.Days[static_cast<std::size_t>(run->DayNumber - calendar.FirstDay)].Add(*run);
    }
    for (const RunTotals &day : calendar.Days) {
        calendar.MostMiles = std::max(calendar.MostMiles, day.Miles);
    }
    calendar.DayAndWeekStreaks = ComputeStreaks(runs, today, weekStart);
    return calendar;
}

} // namespace pq
