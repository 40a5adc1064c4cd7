#pragma once

#include <string>

#include "calc/RunArithmetic.h"
#include "insight/CountedRuns.h"

namespace pq {

// How the records, summaries and charts write times, paces, dates and distances, the same in the window and in
// pquil.

// A time in whole seconds (rounded) as H:MM:SS, as in 1:05:07; a time that is not above zero gives 0:00:00.
std::string ClockText(double seconds);
// A time per unit of distance in whole seconds (rounded) as M:SS, as in 8:05; empty when the time or the
// distance is not above zero.
std::string PaceText(double seconds, double distance);
// The date of a day number as yyyy/mm/dd.
std::string DayText(int dayNumber);

// The distance of totals or of a run in miles or kilometers (any other unit gives kilometers).
double DistanceIn(const RunTotals &totals, DistanceUnit unit);
double DistanceIn(const CountedRun &run, DistanceUnit unit);

} // namespace pq
