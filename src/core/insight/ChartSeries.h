#pragma once

#include <vector>

#include "insight/CountedRuns.h"
#include "insight/Streaks.h"

namespace pq {

// The data behind the charts, from counted runs in the statistics' order (CountRuns). Weeks begin on weekStart
// (0 Monday .. 6 Sunday); `today` is a day number.

// A week's bar is compared with the average of up to this many weeks before it.
inline constexpr int TrailingWeeks = 4;
// A bar more than this many percent above that average is a ramp warning, more than StrongRampPercent a strong one.
inline constexpr int RampPercent = 10;
inline constexpr int StrongRampPercent = 30;
// After this many weeks or more without a run (of more than zero distance), the history starts again with the next.
inline constexpr int BreakWeeks = 4;
// The consistency calendar shows this many weeks, the current one last.
inline constexpr int CalendarWeeks = 53;

enum class RampLevel { None, Warning, Strong };

struct WeekBar {
    int FirstDay = 0;
    RunTotals Totals;
    int AverageWeeks = 0; // how many weeks before this one the average is over (0: no average)
    double AverageMiles = 0;
    double AverageKilometers = 0;
    RampLevel Ramp = RampLevel::None;
};

// One bar for every week from the week of the first run through the week of today (or of the last run, when that
// is later), empty weeks included. The average is over the weeks of the series before the bar, at most
// TrailingWeeks of them. A bar's ramp is judged only when the TrailingWeeks before it all lie in its history,
// which starts with the week of the first run and again with the week of the first run after BreakWeeks or more
// weeks without one: a log's first weeks and the weeks back from a break are not measured against empty ones.
std::vector<WeekBar> WeeklySeries(const RunList &runs, int today, int weekStart);
// The weekly series of `runs` after runs were added at the end of the log, from the series before them (of the
// same today and weekStart): `runs` holds the added runs already, every other run is as it was. The same as
// WeeklySeries over `runs`, with only the added runs' weeks added up again.
std::vector<WeekBar> WeeklySeriesWithAddedRuns(std::vector<WeekBar> bars, const RunList &runs,
                                               const std::vector<CountedRun> &added, int today, int weekStart);

// Keeps the last `count` weeks through the week of today (all of them through it for a count of 0): weeks after
// this one, of runs dated later than today, are dropped.
void KeepLastWeeks(std::vector<WeekBar> &bars, int today, int weekStart, std::size_t count);

// How far a distance is above a positive average: more than RampPercent, more than StrongRampPercent.
RampLevel RampOf(double distance, double average);

struct YearLine {
    int Year = 0;
    // The totals from the year's first day through each day: index 0 is 1 January. The current year's line ends
    // today; other years' lines run through 31 December.
    std::vector<RunTotals> Cumulative;
};

struct YearOverYear {
    std::vector<YearLine> Years; // every year with a run, and the current year, oldest first
    int CurrentYear = 0;
    int DayOfYear = 0; // today's, 1 for 1 January
    // The current year's distance so far, scaled to the whole year.
    double OnPaceMiles = 0;
    double OnPaceKilometers = 0;
};

YearOverYear YearOverYearSeries(const RunList &runs, int today);

struct ConsistencyCalendar {
    int FirstDay = 0;            // the first day of the first week shown; may lie before 1980 (day 1)
    int LastDay = 0;             // today
    std::vector<RunTotals> Days; // from FirstDay through LastDay
    double MostMiles = 0;        // the biggest day's miles, for shading
    Streaks DayAndWeekStreaks;
};

ConsistencyCalendar ConsistencySeries(const RunList &runs, int today, int weekStart);

} // namespace pq
