#pragma once

#include <optional>
#include <string>
#include <vector>

#include "insight/CountedRuns.h"
#include "insight/LogProfile.h"

namespace pq {

class LogList;

// Where a goal stands on a day, its distances in the goal's unit.
struct GoalProgress {
    std::string Label; // "2025", "2025/07", "Week of 2025/06/30", "2025/01/06 to 2025/04/27"
    int FirstDay = 0;  // the period's first and last day numbers
    int LastDay = 0;
    DistanceUnit Unit = DistanceUnit::Miles;
    double Target = 0;
    double Done = 0;                     // the runs of the period dated up to today
    int Percent = 0;                     // done of the target, whole, half away from zero, not capped
    std::optional<double> Projected;     // at the rate so far, for the whole period; none before it begins
    std::optional<double> NeededPerWeek; // for the rest of it; 0 once reached, none after it ended
};

// The period of a goal that holds today (a stretch's own days), its weeks beginning on weekStart (0 Monday .. 6
// Sunday).
void GoalPeriodDays(const Goal &goal, int today, int weekStart, int &firstDay, int &lastDay);

// A goal's progress from its runs (counted with its tag already) on the day today.
GoalProgress ComputeGoalProgress(const Goal &goal, const RunList &runs, int today, int weekStart);

// Every goal of the profile on the day today, in the file's order. Weeks begin on the profile's week-start, else
// on chartWeekStart.
std::vector<GoalProgress> ComputeGoals(const LogList &list, const LogProfile &profile, int today, int chartWeekStart);

} // namespace pq
