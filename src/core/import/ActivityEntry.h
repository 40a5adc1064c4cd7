#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "calc/RunArithmetic.h"
#include "import/Activity.h"
#include "log/LogEntry.h"

namespace pq {

inline constexpr double MetersPerMile = 1609.344;
inline constexpr double MetersPerKilometer = 1000;

// The local date (the process's time zone) of a start time as "yyyy/mm/dd"; "No Date" without a start time or
// for a date a log cannot hold (before 1980 or after 2079).
std::string ActivityDateText(std::optional<std::int64_t> start);

// The distance in the unit as the statistics write a total, a blank and the unit word: "6.21 Miles". A text that
// would not fit a log row's 15 bytes drops the hundredths, then the tenths ("42.2 Kilometers", "100 Kilometers");
// empty when even that does not fit.
std::string ActivityDistanceText(double meters, DistanceUnit unit);

// Seconds rounded to the whole second as "hh:mm:ss", the hours at least two digits.
std::string MovingTimeText(double seconds);

// The sport as shown to the user: the file's word for it, "Running" for a run that names none, else empty.
std::string SportLabel(const Activity &activity);

// The sport in words for the review: "Running" for a run that names none, "Other" for anything else that names
// none, "Cycling" for "Biking", a name with underscores as words ("trail_running" gives "Trail running"), and a
// sport given only by its number (a bare number, or a FIT sport code without a name) as "Other (9)".
std::string SportWords(const Activity &activity);

// The row's notes in Windows-1252: the activity's name, else its sport, else "None"; for a sport other than
// running the sport follows the name in brackets. Characters a log cannot hold become '?' or a blank, and the
// text is cut to the width of the notes.
std::string ActivityNotes(const Activity &activity);

// The row for an activity; false when its distance does not fit a row.
bool MakeActivityEntry(const Activity &activity, DistanceUnit unit, LogEntry &entry);

} // namespace pq
