#pragma once

#include <vector>

#include "insight/CountedRuns.h"

namespace pq {

// Consecutive days (or weeks) with a run. For weeks, Length counts weeks, FirstDay is the first day of the first
// week and LastDay the last day of the last week, or the day of the last run when that week holds it, so a streak
// never ends after today or after the last run. A streak of length 0 has no days.
struct Streak {
    int Length = 0;
    int FirstDay = 0;
    int LastDay = 0;
};

struct Streaks {
    Streak CurrentDays;
    Streak LongestDays;
    Streak CurrentWeeks;
    Streak LongestWeeks;
};

// Streaks of days and weeks with a run (a counted run of more than zero distance) up to today. The current streak
// ends today, or yesterday while today has no run yet; the current week streak likewise ends this week or last
// week. The longest streak is the first of the longest ones. Weeks begin on weekStart (0 Monday .. 6 Sunday).
Streaks ComputeStreaks(const RunList &runs, int today, int weekStart);

} // namespace pq
