#include "insight/Streaks.h"

#include <algorithm>

#include "stats/StatsCalendar.h"

namespace pq {

namespace {

constexpr int DaysPerWeek = 7;

// Streaks over period numbers that come in ascending order, each once, with `step` between neighbours; the
// current streak must reach `last` or the period before it.
class StreakCounter {
public:
    StreakCounter(int step, int last) : Step(step), Last(last) {}

    void Add(int period) {
        if (Running.Length > 0 && period == Running.LastDay + Step) {
            ++Running.Length;
            Running.LastDay = period;
        } else {
            Running = {1, period, period};
        }
        if (Running.Length > Longest.Length) {
            Longest = Running;
        }
    }

    Streak GetLongest() const { return Longest; }
    Streak GetCurrent() const { return Running.Length > 0 && Running.LastDay >= Last - Step ? Running : Streak{}; }

private:
    int Step;
    int Last;
    Streak Running;
    Streak Longest;
};

} // namespace

Streaks ComputeStreaks(const RunList &runs, int today, int weekStart) {
    StreakCounter days(1, today);
    StreakCounter weeks(DaysPerWeek, FirstDayOfWeek(today, weekStart));
    int lastDay = 0;
    int lastWeek = 0;
    for (const CountedRun &run : runs) {
        if (run.DayNumber > today) {
            break;
        }
        // A day's later runs change neither streak: their day and week were counted with its first.
        if (run.Miles <= 0 || run.DayNumber == lastDay) {
            continue;
        }
        days.Add(run.DayNumber);
        lastDay = run.DayNumber;
        if (const int week = FirstDayOfWeek(run.DayNumber, weekStart); week != lastWeek) {
            weeks.Add(week);
            lastWeek = week;
        }
    }
    // A week streak counts weeks by their first days; it ends on its last week's last day, or on the last run
    // when that is earlier.
    const auto endOfWeeks = [lastDay](Streak streak) {
        if (streak.Length > 0) {
            streak.LastDay = std::min(streak.LastDay + DaysPerWeek - 1, lastDay);
        }
        return streak;
    };
    return {days.GetCurrent(), days.GetLongest(), endOfWeeks(weeks.GetCurrent()), endOfWeeks(weeks.GetLongest())};
}

} // namespace pq
