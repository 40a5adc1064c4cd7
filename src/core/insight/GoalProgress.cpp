#include "insight/GoalProgress.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

#include "calc/DateRules.h"
#include "insight/MarkTotals.h"
#include "insight/ReportFormats.h"
#include "log/LogList.h"
#include "log/NoteMarks.h"
#include "stats/StatsCalendar.h"

namespace pq {

namespace {

constexpr int DaysPerWeek = 7;
constexpr double WholePercent = 100;
constexpr int MonthDigits = 2;
constexpr int LastMonth = 12;
constexpr std::string_view WeekLabel = "Week of ";
constexpr std::string_view StretchJoin = " to ";

std::string PeriodLabel(const Goal &goal, int firstDay, int lastDay) {
    const CalendarDate first = DateOfDayNumber(firstDay);
    std::string label;
    switch (goal.Period) {
    case GoalPeriod::Year:
        label = std::to_string(first.Year);
        break;
    case GoalPeriod::Month: {
        label = std::to_string(first.Year);
        label += '/';
        const std::string month = std::to_string(first.Month);
        label.append(MonthDigits - month.size(), '0');
        label += month;
        break;
    }
    case GoalPeriod::Week:
        label = WeekLabel;
        label += DayText(firstDay);
        break;
    case GoalPeriod::Stretch:
        label = DayText(firstDay);
        label += StretchJoin;
        label += DayText(lastDay);
        break;
    }
    return label;
}

// Rounded half away from zero; a share too big for an int (a tiny target, a huge distance) is held at its limit.
int WholePercentOf(double done, double target) {
    const double percent = std::round(done * WholePercent / target);
    if (std::isnan(percent)) {
        return 0;
    }
    constexpr double Largest = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(percent, -Largest, Largest));
}

} // namespace

void GoalPeriodDays(const Goal &goal, int today, int weekStart, int &firstDay, int &lastDay) {
    const CalendarDate date = DateOfDayNumber(today);
    switch (goal.Period) {
    case GoalPeriod::Year:
        firstDay = DayNumber(date.Year, 1, 1);
        lastDay = DayNumber(date.Year, LastMonth, DaysInMonth(date.Year, LastMonth));
        break;
    case GoalPeriod::Month:
        firstDay = DayNumber(date.Year, date.Month, 1);
        lastDay = firstDay + DaysInMonth(date.Year, date.Month) - 1;
        break;
    case GoalPeriod::Week:
        firstDay = FirstDayOfWeek(today, weekStart);
        lastDay = firstDay + DaysPerWeek - 1;
        break;
    case GoalPeriod::Stretch:
        firstDay = goal.FirstDay;
        lastDay = goal.LastDay;
        break;
    }
}

GoalProgress ComputeGoalProgress(const Goal &goal, const RunList &runs, int today, int weekStart) {
    GoalProgress progress;
    GoalPeriodDays(goal, today, weekStart, progress.FirstDay, progress.LastDay);
    progress.Label = PeriodLabel(goal, progress.FirstDay, progress.LastDay);
    progress.Unit = goal.Target.Unit;
    progress.Target = goal.Target.Value;
    const int lastCounted = std::min(today, progress.LastDay);
    progress.Done = DistanceIn(TotalsBetween(runs, progress.FirstDay, lastCounted), progress.Unit);
    progress.Percent = WholePercentOf(progress.Done, progress.Target);
    const int days = progress.LastDay - progress.FirstDay + 1;
    const double remaining = std::max(0.0, progress.Target - progress.Done);
    if (today < progress.FirstDay) {
        progress.Done = 0;
        progress.Percent = 0;
        progress.NeededPerWeek = progress.Target / days * DaysPerWeek;
    } else if (today > progress.LastDay) {
        progress.Projected = progress.Done;
    } else {
        const int elapsed = today - progress.FirstDay + 1;
        const int left = progress.LastDay - today + 1;
        progress.Projected = progress.Done / elapsed * days;
        progress.NeededPerWeek = remaining / left * DaysPerWeek;
    }
    return progress;
}

std::vector<GoalProgress> ComputeGoals(const LogList &list, const LogProfile &profile, int today, int chartWeekStart) {
    const int weekStart = profile.WeekStart.value_or(chartWeekStart);
    // The runs are counted once for every goal without a tag and once for each tag.
    std::map<std::string, RunList> runsByTag;
    std::vector<GoalProgress> goals;
    goals.reserve(profile.Goals.size());
    for (const Goal &goal : profile.Goals) {
        const std::string key = MarkKey(goal.Tag);
        auto found = runsByTag.find(key);
        if (found == runsByTag.end()) {
            found = runsByTag
                        .emplace(key, goal.Tag.empty() ? CountRuns(list)
                                                       : CountRuns(list, MarkFilter(list, TagSign, goal.Tag)))
                        .first;
        }
        goals.push_back(ComputeGoalProgress(goal, found->second, today, weekStart));
    }
    return goals;
}

} // namespace pq
